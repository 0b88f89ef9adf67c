// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A file's bytes as UTF-8: what spreadsheets save, and the UTF-16 that cannot be read.
#include "board/encoding.h"
#include "board/parts.h"
#include "board/psd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using board::Encoding;
using namespace std::string_literals;

// The code units and UTF-8 bytes are the Unicode Standard's (chapter 3, "Unicode Encoding Forms"):
// U+00E9 é is C3 A9; U+20AC € is 20AC in UTF-16 and E2 82 AC in UTF-8; U+1F600 is the surrogate pair
// D83D DE00 and F0 9F 98 80 in UTF-8.
TEST(Encoding, FilesReadAsUtf8) {
    struct Row {
        const char* name;
        std::string bytes;
        Encoding encoding;
        std::string text;
    };
    const std::vector<Row> rows{
        {"ASCII", "ref,L\nU1,1\n", Encoding::Utf8, "ref,L\nU1,1\n"},
        {"UTF-8 passes unchanged", "caf\xC3\xA9", Encoding::Utf8, "caf\xC3\xA9"},
        {"UTF-8 byte-order mark kept", "\xEF\xBB\xBFHz", Encoding::Utf8Bom, "\xEF\xBB\xBFHz"},
        {"empty", "", Encoding::Utf8, ""},
        {"UTF-16 LE",
         "\xFF\xFE"
         "H\0z\0\n\0"s,
         Encoding::Utf16Le, "\xEF\xBB\xBFHz\n"},
        {"UTF-16 BE",
         "\xFE\xFF"
         "\0H\0z\0\n"s,
         Encoding::Utf16Be, "\xEF\xBB\xBFHz\n"},
        {"UTF-16 LE, two- and three-byte UTF-8", "\xFF\xFE\xE9\0\xAC\x20"s, Encoding::Utf16Le,
         "\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC"},
        {"UTF-16 LE surrogate pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, Encoding::Utf16Le,
         "\xEF\xBB\xBF\xF0\x9F\x98\x80"},
        {"UTF-16 BE surrogate pair", "\xFE\xFF\xD8\x3D\xDE\x00"s, Encoding::Utf16Be,
         "\xEF\xBB\xBF\xF0\x9F\x98\x80"},
        {"UTF-16 mark only", "\xFF\xFE", Encoding::Utf16Le, "\xEF\xBB\xBF"},
    };
    for (const Row& row : rows) {
        const board::DecodedText d = board::DecodeText(row.bytes);
        ASSERT_TRUE(d.text) << row.name << ": " << d.error;
        EXPECT_EQ(*d.text, row.text) << row.name;
        EXPECT_EQ(d.encoding, row.encoding) << row.name;
        EXPECT_TRUE(d.error.empty()) << row.name;
    }
}

TEST(Encoding, BrokenUtf16IsRefused) {
    struct Row {
        const char* name;
        std::string bytes;
        Encoding encoding;
        std::string error;
    };
    const std::vector<Row> rows{
        {"odd length",
         "\xFF\xFE"
         "H\0z"s,
         Encoding::Utf16Le,
         "the file is UTF-16 LE by its byte-order mark but has an odd number of bytes (5)"},
        {"high surrogate at the end", "\xFE\xFF\0H\xD8\x3D"s, Encoding::Utf16Be,
         "the UTF-16 BE file has a high surrogate without a low one after it at byte 4"},
        {"high surrogate before a letter", "\xFF\xFE\x3D\xD8H\0"s, Encoding::Utf16Le,
         "the UTF-16 LE file has a high surrogate without a low one after it at byte 2"},
        {"lone low surrogate", "\xFF\xFEH\0\x00\xDE"s, Encoding::Utf16Le,
         "the UTF-16 LE file has a low surrogate without a high one before it at byte 4"},
        {"UTF-16 without its mark", "H\0z\0"s, Encoding::Utf8,
         "the file holds NUL bytes: it may be UTF-16 without a byte-order mark; save it as UTF-8"},
    };
    for (const Row& row : rows) {
        const board::DecodedText d = board::DecodeText(row.bytes);
        EXPECT_FALSE(d.text) << row.name;
        EXPECT_EQ(d.error, row.error) << row.name;
        EXPECT_EQ(d.encoding, row.encoding) << row.name;
    }
}

std::string Utf16Le(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

// What Excel saves as "Unicode Text" (UTF-16 LE, tabs) reads as a profile and as a parts list once decoded.
TEST(Encoding, Utf16FilesRead) {
    const board::DecodedText profile = board::DecodeText(Utf16Le("Hz\tg2/Hz\r\n20\t0,01\r\n2000\t0,04\r\n"));
    ASSERT_TRUE(profile.text) << profile.error;
    const board::PsdReading r = board::ParsePsdText(*profile.text);
    ASSERT_TRUE(r.psd) << r.error;
    EXPECT_EQ(r.psd->Points().back().level, 0.04);

    const board::DecodedText parts = board::DecodeText(Utf16Le("ref\tL\tC\tr\r\nU1\t0,5\t1\t1\r\n"));
    ASSERT_TRUE(parts.text) << parts.error;
    const board::PartsReading list = board::ReadPartsList(*parts.text);
    ASSERT_TRUE(list.list) << list.error;
    ASSERT_EQ(list.list->parts.size(), 1u);
    EXPECT_EQ(list.list->parts[0].L, 0.5);
    EXPECT_TRUE(list.list->dialect.bom);
}

} // namespace
