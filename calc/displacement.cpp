// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/displacement.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace calc {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// Length of the longest prefix of `text` that is a decimal number of the field grammar, 0 if none.
std::size_t NumberPrefixLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t intStart = i;
    i = SkipDigits(text, i);
    std::size_t mantissaDigits = i - intStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracEnd = SkipDigits(text, i + 1);
        mantissaDigits += fracEnd - (i + 1);
        if (mantissaDigits > 0)
            i = fracEnd;
    }
    if (mantissaDigits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t expEnd = SkipDigits(text, j);
        if (expEnd > j)
            i = expEnd; // an exponent needs at least one digit, else "e" is just trailing text
    }
    return i;
}

// strtod in the C locale, whatever the process locale is.
#if defined(_WIN32)
double StrtodC(const char* text) {
    static const _locale_t c = _create_locale(LC_ALL, "C");
    return _strtod_l(text, nullptr, c);
}
#else
double StrtodC(const char* text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text, nullptr, c);
}
#endif

std::string PadLeft(std::string_view digits, std::size_t width) {
    std::string out;
    if (digits.size() < width)
        out.assign(width - digits.size(), ' ');
    out.append(digits);
    return out;
}

} // namespace

double RelativeDisplacementLimit(double B, double h, double L, double C, double r) {
    const double numerator = B * kSteinbergConstant;
    const double denominator = ((std::sqrt(L) * C) * r) * h;
    return numerator / denominator;
}

double FieldValue(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start]))
        ++start;
    const std::string_view rest = text.substr(start);
    const std::size_t length = NumberPrefixLength(rest);
    if (length == 0)
        return 0.0;
    // Only the matched prefix goes to the conversion, so nothing beyond the grammar above ("0x1A",
    // "inf", "nan") can be read; the C locale object keeps the decimal point a "." whatever the
    // process locale is. strtod gives ±HUGE_VAL on overflow and a correctly rounded 0 or subnormal
    // on underflow, which is what is wanted.
    const std::string prefix(rest.substr(0, length));
    return StrtodC(prefix.c_str());
}

std::string ResultText(double z) {
    char digits[64];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, z, std::chars_format::general, 3);
    std::string out = PadLeft(std::string_view(digits, ec == std::errc() ? end : digits), 11);
    out.push_back(' ');
    return out;
}

std::string ConstantText(double c) {
    // A fixed-notation double may need up to 309 digits before the point.
    char digits[400];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, c, std::chars_format::fixed, 2);
    std::string out = "C = ";
    out += PadLeft(std::string_view(digits, ec == std::errc() ? end : digits), 6);
    out.push_back(' ');
    return out;
}

} // namespace calc
