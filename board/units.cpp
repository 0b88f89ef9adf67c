// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/units.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace board {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

std::optional<double> ParseNumber(std::string_view text, DecimalMark mark) {
    text = Trim(text);
    // The grammar is checked here; from_chars, which never looks at the locale, converts. Its input is
    // copied with the decimal mark as a point and without a leading '+', which it does not take.
    char buffer[128];
    std::size_t n = 0;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (negative)
        buffer[n++] = '-';
    std::size_t digits = 0;
    auto copyDigits = [&] {
        while (i < text.size() && IsDigit(text[i])) {
            if (n + 8 >= sizeof buffer)
                return false;
            buffer[n++] = text[i++];
            ++digits;
        }
        return true;
    };
    if (!copyDigits())
        return std::nullopt;
    if (i < text.size() && (text[i] == '.' || (text[i] == ',' && mark == DecimalMark::PointOrComma))) {
        buffer[n++] = '.';
        ++i;
        if (!copyDigits())
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        buffer[n++] = 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            buffer[n++] = text[i++];
        const std::size_t before = digits;
        if (!copyDigits() || digits == before)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(buffer, buffer + n, value);
    if (ec != std::errc() || end != buffer + n || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ParseQuantity(std::string_view text, std::span<const Unit> units, const Unit* bare,
                                    DecimalMark mark) {
    text = Trim(text);
    // The unit is the run of letters at the end; an exponent's 'e' is followed by digits, never last.
    std::size_t end = text.size();
    while (end > 0 &&
           ((text[end - 1] >= 'a' && text[end - 1] <= 'z') || (text[end - 1] >= 'A' && text[end - 1] <= 'Z')))
        --end;
    const std::string_view suffix = text.substr(end);
    const Unit* unit = bare;
    if (!suffix.empty()) {
        unit = nullptr;
        for (const Unit& u : units)
            if (EqualsIgnoringCase(suffix, u.name))
                unit = &u;
    }
    if (unit == nullptr)
        return std::nullopt;
    const std::optional<double> value = ParseNumber(text.substr(0, end), mark);
    if (!value)
        return std::nullopt;
    return *value / unit->divisor;
}

} // namespace board
