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

NumberAndUnit SplitUnit(std::string_view text, DecimalMark mark) {
    text = Trim(text);
    // The number's grammar as ParseNumber reads it: sign, digits, fraction, and an exponent only where
    // digits follow the 'e' ("2em" is 2 and a unit "em").
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    auto skipDigits = [&] {
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    };
    skipDigits();
    if (i < text.size() && (text[i] == '.' || (text[i] == ',' && mark == DecimalMark::PointOrComma))) {
        ++i;
        skipDigits();
    }
    if (digits == 0)
        return {{}, text};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            i = j;
            while (i < text.size() && IsDigit(text[i]))
                ++i;
        }
    }
    return {text.substr(0, i), Trim(text.substr(i))};
}

const Unit* FindUnit(std::span<const Unit> units, std::string_view name) {
    for (const Unit& u : units)
        if (EqualsIgnoringCase(name, u.name))
            return &u;
    return nullptr;
}

std::optional<double> ParseQuantity(std::string_view text, std::span<const Unit> units, const Unit* bare,
                                    DecimalMark mark) {
    const NumberAndUnit split = SplitUnit(text, mark);
    const Unit* unit = split.unit.empty() ? bare : FindUnit(units, split.unit);
    if (unit == nullptr || split.number.empty())
        return std::nullopt;
    const std::optional<double> value = ParseNumber(split.number, mark);
    if (!value)
        return std::nullopt;
    return *value / unit->divisor;
}

} // namespace board
