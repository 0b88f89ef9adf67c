// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/output.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace board_cli {

namespace {

// A file name as the C runtime takes it, for std::filesystem. On Windows the program's manifest makes
// UTF-8 the process code page, so that fopen, remove and the arguments all speak UTF-8; std::filesystem
// would read a narrow string byte by byte instead, and name another file.
std::filesystem::path FilePath(const std::string& name) {
#if defined(_WIN32)
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
    return std::filesystem::path(name);
#endif
}

std::string Reason(int error) {
    return error != 0 ? std::strerror(error) : "write error";
}

// The data on the disk, not only in the system's cache, before the rename makes it the file.
bool Synced(std::FILE* file) {
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

} // namespace

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(FilePath(a), FilePath(b), ec) && !ec;
}

void UseBinaryStandardStreams() {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::optional<std::string> ReadWhole(const std::string& path, std::string& error) {
    const bool standardInput = path == "-";
    std::error_code ec;
    if (!standardInput && std::filesystem::is_directory(FilePath(path), ec)) {
        error = "is a folder";
        return std::nullopt;
    }
    std::FILE* file = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = Reason(errno);
        return std::nullopt;
    }
    // A file is read in one piece into a string of its size; standard input, or a file that grows while
    // it is read, in further pieces.
    std::string data;
    std::size_t used = 0;
    if (!standardInput) {
        const auto size = std::filesystem::file_size(FilePath(path), ec);
        if (!ec)
            data.resize(static_cast<std::size_t>(size));
    }
    // The file's own size first, in one piece; what follows (standard input, or a file that grew) in
    // pieces of 64 KiB, so that a whole file is never held twice.
    used = std::fread(data.data(), 1, data.size(), file);
    data.resize(used);
    char piece[1 << 16];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, file)) > 0;)
        data.append(piece, n);
    used = data.size();
    const bool failed = std::ferror(file) != 0;
    const int readError = errno;
    if (!standardInput)
        std::fclose(file);
    if (failed) {
        error = Reason(readError);
        return std::nullopt;
    }
    return data;
}

Output::~Output() {
    if (file_ != nullptr && file_ != stdout)
        std::fclose(file_);
    if (!temporary_.empty())
        std::remove(temporary_.c_str());
}

bool Output::Open(const std::optional<std::string>& path, std::string& error) {
    if (!path) {
        file_ = stdout;
        return true;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(FilePath(*path), ec)) {
        error = "is a folder";
        return false;
    }
    path_ = *path;
    std::random_device random;
    temporary_ = path_ + ".tmp-" + std::to_string(random() & 0xffffffu);
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (file_ == nullptr) {
        error = Reason(errno);
        temporary_.clear();
        return false;
    }
    return true;
}

bool Output::Write(std::string_view data) {
    if (failed_)
        return false;
    if (std::fwrite(data.data(), 1, data.size(), file_) != data.size()) {
        failed_ = true;
        errno_ = errno;
    }
    return !failed_;
}

bool Output::Commit(std::string& error) {
    if (!failed_ && std::fflush(file_) != 0) {
        failed_ = true;
        errno_ = errno;
    }
    if (file_ == stdout) {
        if (failed_)
            error = Reason(errno_);
        return !failed_;
    }
    if (!failed_ && !Synced(file_)) {
        failed_ = true;
        errno_ = errno;
    }
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (!failed_ && closed != 0) {
        failed_ = true;
        errno_ = errno;
    }
    if (failed_) {
        error = Reason(errno_);
        return false;
    }
    std::error_code ec;
    // Replaces an existing file in one step on Windows too (MoveFileEx with MOVEFILE_REPLACE_EXISTING).
    std::filesystem::rename(FilePath(temporary_), FilePath(path_), ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    temporary_.clear();
    return true;
}

} // namespace board_cli
