// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Files read whole, and output written whole or not at all.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace board_cli {

// The file's bytes, or nullopt with `error` saying why ("-" is standard input).
std::optional<std::string> ReadWhole(const std::string& path, std::string& error);

// Whether two paths name the same existing file (by identity, not by spelling: a link, "./", another case
// on Windows).
bool SameFile(const std::string& a, const std::string& b);

// Standard input and output carry bytes as they are (no CR LF translation on Windows).
void UseBinaryStandardStreams();

// Where the report goes: standard output, or a file that holds either its old contents or the whole
// report. The file is written beside its place under another name and renamed over it by Commit; until
// then, and whenever anything fails, the old file is untouched.
class Output {
public:
    Output() = default;
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output(); // removes a temporary file that was not committed

    // Standard output without a path.
    bool Open(const std::optional<std::string>& path, std::string& error);
    bool Write(std::string_view data);
    bool Commit(std::string& error);

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temporary_;
    bool failed_ = false;
    int errno_ = 0;
};

} // namespace board_cli
