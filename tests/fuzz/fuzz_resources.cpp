// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// libFuzzer target: any bytes as a module's compiled resources, and as each layout inside them. The
// reader must never read outside the data (AddressSanitizer watches every byte) and must either read
// or fail with a reason; what it reads must hold together (items within their count, strings within
// the block). The seeds include the bare pictures (the formula's DIB, each icon image, a cut DIB),
// so that mutations reach the bitmap and icon decoding directly.
#include "require.h"

#include "ui/afx/afxresource.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using fuzz::Require;

namespace {

// Every layout over the same bytes.
void ReadLayouts(afx::Bytes data) {
    std::string why;
    if (const auto t = afx::ReadDialogTemplate(data, &why)) {
        for (const afx::DialogItemTemplate& item : t->items)
            Require(item.creationData.size() <= data.size(), "creation data larger than the template");
    } else {
        Require(!why.empty(), "a dialog template failed without a reason");
    }
    why.clear();
    if (const auto icons = afx::ReadGroupIcon(data, &why))
        Require(icons->size() * 14 + 6 <= data.size(), "more icon entries than bytes");
    else
        Require(!why.empty(), "a group icon failed without a reason");
    for (const bool icon : {false, true}) {
        why.clear();
        if (const auto dib = afx::ReadDib(data, icon, 0, &why)) {
            Require(dib->indices.size() ==
                        static_cast<std::size_t>(dib->width) * static_cast<std::size_t>(dib->height),
                    "pixel count");
            Require(dib->transparent.size() == (icon ? dib->indices.size() : 0), "mask size");
            Require(!dib->palette.empty() && dib->palette.size() <= 256, "palette size");
        } else
            Require(!why.empty(), "a bitmap failed without a reason");
    }
    for (UINT id = 0; id < 16; ++id)
        if (const auto text = afx::ReadStringFromBlock(data, id))
            Require(text->size() <= 3 * data.size(), "a string longer than its block");
    (void)afx::ReadFileVersion(data);
    (void)afx::ReadVersionString(data, "040904B0", "FileDescription");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const afx::Bytes bytes(data, size);
    std::string why;
    if (const auto dir = afx::ResourceDirectory::Read(bytes, &why)) {
        for (const afx::ResourceEntry& entry : dir->Entries()) {
            Require(entry.data.data() >= data && entry.data.data() + entry.data.size() <= data + size,
                    "an entry outside the data");
            ReadLayouts(entry.data);
        }
    } else {
        Require(!why.empty(), "a directory failed without a reason");
    }
    ReadLayouts(bytes);
    return 0;
}
