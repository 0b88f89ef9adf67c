// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a file's text. Text or an error, never both; UTF-8 passes unchanged;
// UTF-16 converted to UTF-8 and written back as UTF-16 of the same byte order gives the bytes read.
#include "require.h"

#include "board/encoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using fuzz::Require;

namespace {

// UTF-8 as DecodeText writes it, back to UTF-16 code units in the given byte order.
std::string ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    auto unit = [&](std::uint32_t u) {
        const auto high = static_cast<char>(static_cast<unsigned char>(u >> 8));
        const auto low = static_cast<char>(static_cast<unsigned char>(u & 0xFF));
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        Require(lead < 0x80 || lead >= 0xC2, "a UTF-8 lead byte");
        Require(i + length <= text.size(), "a whole UTF-8 sequence");
        std::uint32_t code = length == 1 ? lead : lead & (0xFFu >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            Require((next & 0xC0) == 0x80, "a UTF-8 continuation byte");
            code = (code << 6) | (next & 0x3Fu);
        }
        i += length;
        Require(code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF), "a Unicode scalar value");
        if (code < 0x10000) {
            unit(code);
        } else {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const board::DecodedText decoded = board::DecodeText(bytes);
    Require(decoded.text.has_value() == decoded.error.empty(), "text or an error");
    if (!decoded.text)
        return 0;
    switch (decoded.encoding) {
    case board::Encoding::Utf8:
    case board::Encoding::Utf8Bom:
        Require(*decoded.text == bytes, "UTF-8 unchanged");
        break;
    case board::Encoding::Utf16Le:
    case board::Encoding::Utf16Be:
        Require(ToUtf16(*decoded.text, decoded.encoding == board::Encoding::Utf16Be) == bytes,
                "UTF-16 written back gives the bytes read");
        break;
    }
    return 0;
}
