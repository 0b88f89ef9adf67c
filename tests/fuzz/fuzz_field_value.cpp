// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as the text of a field. FieldValue must give bit for bit what an independent
// longest-match scanner followed by strtod_l in the C locale gives, never NaN, and whatever the process
// locale is. The number texts of that value must equal the C library's "%11.3g " and "C = %6.2lf ".
#include "calc/displacement.h"

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctype.h>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

void Require(bool ok, const char* what, std::string_view text, double value) {
    if (ok)
        return;
    std::fprintf(stderr, "MISMATCH %s: value %a, input %zu bytes: \"%.*s\"\n", what, value, text.size(),
                 static_cast<int>(text.size() < 200 ? text.size() : 200), text.data());
    std::abort();
}

// Length of the longest prefix that is [sign] (digits [. [digits]] | . digits) [(e|E) [sign] digits],
// found with a state machine that remembers the last position where a number could end.
std::size_t ReferencePrefix(std::string_view s) {
    enum State { Start, Sign, Int, LoneDot, Frac, Exp, ExpSign, ExpInt, Dead };
    constexpr bool kCanEnd[] = {false, false, true, false, true, false, false, true, false};
    State state = Start;
    std::size_t longest = 0;
    for (std::size_t i = 0; i < s.size() && state != Dead; ++i) {
        const char c = s[i];
        const bool digit = isdigit_l(static_cast<unsigned char>(c), CLocale()) != 0;
        const bool sign = c == '+' || c == '-';
        const bool e = c == 'e' || c == 'E';
        // clang-format off
        switch (state) {
        case Start: state = sign ? Sign : digit ? Int : c == '.' ? LoneDot : Dead; break;
        case Sign: state = digit ? Int : c == '.' ? LoneDot : Dead; break;
        case Int: state = digit ? Int : c == '.' ? Frac : e ? Exp : Dead; break;
        case LoneDot: state = digit ? Frac : Dead; break;
        case Frac: state = digit ? Frac : e ? Exp : Dead; break;
        case Exp: state = sign ? ExpSign : digit ? ExpInt : Dead; break;
        case ExpSign:
        case ExpInt: state = digit ? ExpInt : Dead; break;
        case Dead: break;
        }
        // clang-format on
        if (kCanEnd[state])
            longest = i + 1;
    }
    return longest;
}

std::string CText(const char* format, double v) {
    const locale_t previous = uselocale(CLocale());
    char buf[512]; // "%6.2lf" of the largest double needs 312 characters
    std::snprintf(buf, sizeof buf, format, v);
    uselocale(previous);
    return buf;
}

} // namespace

// A decimal-comma process locale, when installed, shows that nothing follows the process locale.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = calc::FieldValue(text);
    Require(!std::isnan(value), "FieldValue is NaN", text, value);

    std::size_t start = 0;
    while (start < size && isspace_l(data[start], CLocale()))
        ++start;
    const std::string_view rest = text.substr(start);
    const std::string prefix(rest.substr(0, ReferencePrefix(rest)));
    const double expected = strtod_l(prefix.c_str(), nullptr, CLocale());
    Require(std::memcmp(&value, &expected, sizeof value) == 0, "FieldValue", text, value);

    Require(calc::ResultText(value) == CText("%11.3g ", value), "ResultText", text, value);
    Require(calc::ConstantText(value) == CText("C = %6.2lf ", value), "ConstantText", text, value);
    return 0;
}
