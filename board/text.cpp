// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/text.h"

#include <charconv>
#include <system_error>

namespace board {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void AppendNumber(std::string& out, double value, char point) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::size_t start = out.size();
    out.append(buffer, ec == std::errc() ? end : buffer);
    if (point != '.')
        for (std::size_t i = start; i < out.size(); ++i)
            if (out[i] == '.')
                out[i] = point;
}

std::string OneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string Quote(std::string_view text) {
    constexpr std::size_t kLongest = 60;
    // Appended piece by piece: MinGW's GCC 12 warns falsely (-Wrestrict) of "'" + std::string.
    std::string out = "'";
    out += OneLine(text.substr(0, kLongest));
    out += text.size() > kLongest ? "...'" : "'";
    return out;
}

std::string FormatNumber(double value) {
    std::string out;
    AppendNumber(out, value);
    return out;
}

std::string FormatSignificant(double value, int digits) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

} // namespace board
