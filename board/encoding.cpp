// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/encoding.h"

#include <cstddef>
#include <cstdint>

namespace board {

std::string_view EncodingName(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return "UTF-8";
    case Encoding::Utf8Bom:
        return "UTF-8 with byte-order mark";
    case Encoding::Utf16Le:
        return "UTF-16 LE";
    case Encoding::Utf16Be:
        return "UTF-16 BE";
    }
    return "UTF-8";
}

namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
    auto byte = [&](std::uint32_t b) { out.push_back(static_cast<char>(static_cast<unsigned char>(b))); };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xC0 | (code >> 6));
        byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        byte(0xE0 | (code >> 12));
        byte(0x80 | ((code >> 6) & 0x3F));
        byte(0x80 | (code & 0x3F));
    } else {
        byte(0xF0 | (code >> 18));
        byte(0x80 | ((code >> 12) & 0x3F));
        byte(0x80 | ((code >> 6) & 0x3F));
        byte(0x80 | (code & 0x3F));
    }
}

DecodedText FromUtf16(std::string_view bytes, bool bigEndian) {
    DecodedText out;
    out.encoding = bigEndian ? Encoding::Utf16Be : Encoding::Utf16Le;
    const char* name = bigEndian ? "UTF-16 BE" : "UTF-16 LE";
    if (bytes.size() % 2 != 0) {
        out.error = std::string("the file is ") + name +
                    " by its byte-order mark but has an odd number of bytes (" +
                    std::to_string(bytes.size()) + ")";
        return out;
    }
    auto unit = [&](std::size_t at) {
        const auto first = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
        const auto second = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1]));
        return bigEndian ? (first << 8) | second : (second << 8) | first;
    };
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const std::uint32_t u = unit(at);
        if (u >= 0xDC00 && u <= 0xDFFF) {
            out.error = std::string("the ") + name +
                        " file has a low surrogate without a high one before it at byte " +
                        std::to_string(at);
            return out;
        }
        if (u < 0xD800 || u > 0xDBFF) {
            AppendUtf8(text, u);
            continue;
        }
        const std::uint32_t low = at + 2 < bytes.size() ? unit(at + 2) : 0;
        if (!(low >= 0xDC00 && low <= 0xDFFF)) {
            out.error = std::string("the ") + name +
                        " file has a high surrogate without a low one after it at byte " + std::to_string(at);
            return out;
        }
        AppendUtf8(text, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        at += 2;
    }
    out.text = std::move(text);
    return out;
}

} // namespace

DecodedText DecodeText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return FromUtf16(bytes, false);
    if (bytes.starts_with("\xFE\xFF"))
        return FromUtf16(bytes, true);
    DecodedText out;
    out.encoding = bytes.starts_with("\xEF\xBB\xBF") ? Encoding::Utf8Bom : Encoding::Utf8;
    if (bytes.find('\0') != std::string_view::npos) {
        out.error = "the file holds NUL bytes: it may be UTF-16 without a byte-order mark; save it as UTF-8";
        return out;
    }
    out.text = std::string(bytes);
    return out;
}

} // namespace board
