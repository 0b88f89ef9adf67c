// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Small text helpers of the board model: splitting, and numbers written independently of the locale.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace board {

// The pieces between separators; n separators give n + 1 pieces.
std::vector<std::string_view> Split(std::string_view text, char separator);

// The shortest text that reads back as the same double ("0.1", "2e-07", "inf").
std::string FormatNumber(double value);

// `digits` significant digits, general notation, no padding ("0.0213", "1.96e-08").
std::string FormatSignificant(double value, int digits);

// Text on one line: control characters written as \n, \t or \xNN, so that nothing read can break a
// message's line or move a terminal's cursor.
std::string OneLine(std::string_view text);

// Text from a file or the command line as a message quotes it: OneLine, in single quotes, shortened to
// its first 60 bytes and "...".
std::string Quote(std::string_view text);

// Appends FormatNumber(value) with the decimal point written as `point`.
void AppendNumber(std::string& out, double value, char point = '.');

} // namespace board
