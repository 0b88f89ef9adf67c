// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The text of a file as UTF-8, whatever of UTF-8 and UTF-16 a spreadsheet saved it in: the one step
// between a file's bytes and the parts list or profile readers.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace board {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

// "UTF-8", "UTF-8 with byte-order mark", "UTF-16 LE", "UTF-16 BE".
std::string_view EncodingName(Encoding encoding);

struct DecodedText {
    std::optional<std::string> text; // UTF-8; none when the bytes cannot be read
    std::string error;               // one sentence, when there is no text
    Encoding encoding = Encoding::Utf8;
};

// A file's bytes as UTF-8 text. The file's characters are kept one for one, its byte-order mark too (as
// UTF-8's EF BB BF, which the readers skip and the CSV reader records):
// - UTF-8, with or without a byte-order mark, passes through unchanged (it is not checked);
// - UTF-16 little- or big-endian with its byte-order mark is converted, surrogate pairs joined; an odd
//   number of bytes or a surrogate without its pair is an error;
// - bytes without a UTF-16 byte-order mark that hold a NUL are refused as UTF-16 without its mark.
DecodedText DecodeText(std::string_view bytes);

} // namespace board
