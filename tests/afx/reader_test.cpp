// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The resource reader on the compiled test resources and on data cut short or lying about sizes.
#include "tests/afx/afx_test_resource.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxresource.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

afx::Bytes Resource(LPCSTR name, LPCSTR type) {
    HINSTANCE module = AfxGetInstanceHandle();
    const HRSRC info = FindResourceA(module, name, type);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info)));
    return data ? afx::Bytes(data, SizeofResource(module, info)) : afx::Bytes();
}

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(Bytes& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// One entry of a .res stream: type and name as ordinals or strings, data padded to four bytes.
Bytes Entry(const afx::ResourceId& type, const afx::ResourceId& name, const Bytes& data) {
    Bytes header;
    for (const afx::ResourceId* id : {&type, &name}) {
        if (id->isOrdinal) {
            Put16(header, 0xFFFF);
            Put16(header, id->ordinal);
        } else {
            for (const char c : id->name)
                Put16(header, static_cast<unsigned char>(c));
            Put16(header, 0);
        }
    }
    while (header.size() % 4 != 0)
        header.push_back(0);
    Put32(header, 0);      // DataVersion
    Put16(header, 0x1030); // MemoryFlags
    Put16(header, 0x0409); // LanguageId
    Put32(header, 0);      // Version
    Put32(header, 0);      // Characteristics
    Bytes entry;
    Put32(entry, static_cast<unsigned>(data.size()));
    Put32(entry, static_cast<unsigned>(header.size() + 8));
    entry.insert(entry.end(), header.begin(), header.end());
    entry.insert(entry.end(), data.begin(), data.end());
    while (entry.size() % 4 != 0)
        entry.push_back(0);
    return entry;
}

afx::ResourceId Ordinal(WORD n) {
    return afx::ResourceId{true, n, {}};
}
afx::ResourceId Named(const char* s) {
    return afx::ResourceId{false, 0, s};
}

TEST(ResourceDirectory, ReadsEntriesOrSaysWhatIsWrong) {
    const Bytes empty = Entry(Ordinal(0), Ordinal(0), {});
    const Bytes dialog = Entry(Ordinal(5), Ordinal(7), {1, 2, 3});
    const Bytes named = Entry(Named("MYTYPE"), Named("THING"), {9});
    Bytes bigData = dialog;
    bigData[0] = 0xF0; // data size beyond the end
    Bytes smallHeader = dialog;
    smallHeader[4] = 16; // header size below the fixed part
    const struct {
        const char* name;
        Bytes data;
        bool ok;
        std::size_t entries;
    } rows[] = {
        {"nothing", {}, true, 0},
        {"the empty first entry only", empty, true, 0},
        {"two streams laid end to end",
         [&] {
             Bytes b = empty;
             b.insert(b.end(), dialog.begin(), dialog.end());
             b.insert(b.end(), empty.begin(), empty.end());
             b.insert(b.end(), named.begin(), named.end());
             return b;
         }(),
         true, 2},
        {"a header cut short", Bytes(dialog.begin(), dialog.begin() + 6), false, 0},
        {"an entry cut short", Bytes(dialog.begin(), dialog.end() - 4), false, 0},
        {"data larger than the stream", bigData, false, 0},
        {"a header smaller than its fixed part", smallHeader, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string why;
        const auto dir = afx::ResourceDirectory::Read(row.data, &why);
        ASSERT_EQ(dir.has_value(), row.ok) << why;
        EXPECT_EQ(why.empty(), row.ok);
        if (dir) {
            EXPECT_EQ(dir->Entries().size(), row.entries);
        }
    }
    Bytes stream = dialog;
    stream.insert(stream.end(), named.begin(), named.end());
    const auto dir = afx::ResourceDirectory::Read(stream);
    ASSERT_TRUE(dir);
    ASSERT_NE(dir->Find(Ordinal(5), Ordinal(7)), nullptr);
    EXPECT_EQ(dir->Find(Ordinal(5), Ordinal(7))->data.size(), 3u);
    EXPECT_NE(dir->Find(afx::ResourceId::FromA("mytype"), afx::ResourceId::FromA("Thing")), nullptr)
        << "names match whatever their case";
    EXPECT_NE(dir->Find(afx::ResourceId::FromA("#5"), afx::ResourceId::FromA(MAKEINTRESOURCEA(7))), nullptr);
    EXPECT_EQ(dir->Find(Ordinal(5), Ordinal(8)), nullptr);
}

// Every proper prefix of a real resource fails cleanly; the whole of it reads.
TEST(ResourceLayouts, EveryPrefixOfARealResourceFailsAndTheWholeReads) {
    const struct {
        const char* name;
        afx::Bytes data;
        std::function<bool(afx::Bytes)> read;
    } rows[] = {
        {"extended dialog template", Resource(MAKEINTRESOURCEA(IDD_PROBE), RT_DIALOG),
         [](afx::Bytes b) { return afx::ReadDialogTemplate(b).has_value(); }},
        {"plain dialog template", Resource(MAKEINTRESOURCEA(IDD_SMALL), RT_DIALOG),
         [](afx::Bytes b) { return afx::ReadDialogTemplate(b).has_value(); }},
        {"group icon", Resource(MAKEINTRESOURCEA(IDI_PICTURE), RT_GROUP_ICON),
         [](afx::Bytes b) { return afx::ReadGroupIcon(b).has_value(); }},
        {"icon image", Resource(MAKEINTRESOURCEA(1), RT_ICON),
         [](afx::Bytes b) { return afx::ReadDib(b, true).has_value(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.data.empty());
        EXPECT_TRUE(row.read(row.data));
        for (std::size_t n = 0; n < row.data.size(); ++n)
            if (row.read(row.data.first(n)))
                ADD_FAILURE() << "a prefix of " << n << " of " << row.data.size() << " bytes reads";
    }
}

TEST(DialogTemplate, ReadsBothLayoutsWithFontTitleAndItems) {
    const afx::DialogTemplate probe =
        *afx::ReadDialogTemplate(Resource(MAKEINTRESOURCEA(IDD_PROBE), RT_DIALOG));
    EXPECT_TRUE(probe.extended);
    EXPECT_EQ(probe.title, "Probe form  with  blanks ");
    EXPECT_EQ(probe.fontName, "Arial");
    EXPECT_EQ(probe.pointSize, 10);
    EXPECT_EQ(probe.charset, 1);
    ASSERT_EQ(probe.items.size(), 21u);
    EXPECT_EQ(probe.items[4].id, IDC_EDIT_B);
    EXPECT_EQ(probe.items[4].cls, afx::ControlClass::Edit);
    EXPECT_EQ(probe.items[2].cls, afx::ControlClass::Button) << "a group box";
    EXPECT_EQ(probe.items[2].id, IDC_STATIC);

    const afx::DialogTemplate small =
        *afx::ReadDialogTemplate(Resource(MAKEINTRESOURCEA(IDD_SMALL), RT_DIALOG));
    EXPECT_FALSE(small.extended);
    EXPECT_EQ(small.fontName, "MS Sans Serif");
    EXPECT_EQ(small.pointSize, 8);
    ASSERT_EQ(small.items.size(), 3u);
    EXPECT_EQ(small.items[0].id, IDC_STATIC) << "0xFFFF in a plain template";
    EXPECT_EQ(small.items[0].imageId, IDI_PICTURE);
    EXPECT_EQ(small.items[0].style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(small.items[2].id, IDOK);
}

TEST(DialogTemplate, AnItemCountBeyondTheDataFails) {
    const afx::Bytes real = Resource(MAKEINTRESOURCEA(IDD_SMALL), RT_DIALOG);
    Bytes lying(real.begin(), real.end());
    lying[8] = 0xFF; // cdit of a DLGTEMPLATE
    lying[9] = 0xFF;
    std::string why;
    EXPECT_FALSE(afx::ReadDialogTemplate(lying, &why));
    EXPECT_EQ(why, "more dialog items than the data holds");
}

TEST(StringBlock, CountedStringsOfABlock) {
    Bytes block;
    for (int i = 0; i < 16; ++i) {
        const std::u16string text = i == 3 ? u"\u00fcber" : i == 15 ? u"last" : u"";
        Put16(block, static_cast<unsigned>(text.size()));
        for (const char16_t c : text)
            Put16(block, c);
    }
    const struct {
        const char* name;
        Bytes data;
        UINT id;
        std::optional<std::string> text;
    } rows[] = {
        {"non-ASCII text as UTF-8", block, 16 * 2 + 3,
         "\xC3\xBC"
         "ber"},
        {"the last of the block", block, 15, "last"},
        {"an empty slot", block, 4, std::nullopt},
        {"a block cut short", Bytes(block.begin(), block.end() - 2), 15, std::nullopt},
        {"a length beyond the block", Bytes{0xFF, 0x7F, 'a', 0}, 0, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(afx::ReadStringFromBlock(row.data, row.id), row.text);
    }
}

TEST(Dib, DecodesPaletteIndicesBottomUpOrRejectsWhatItCannotRead) {
    // 2 × 2, 1 bit: black and white, rows bottom up, each padded to four bytes.
    Bytes dib;
    for (const unsigned v : {40u, 2u, 2u})
        Put32(dib, v);
    Put16(dib, 1);
    Put16(dib, 1);
    for (int i = 0; i < 6; ++i)
        Put32(dib, 0);
    Put32(dib, 0x000000);
    Put32(dib, 0xFFFFFF);
    for (const std::uint8_t row : {std::uint8_t{0x40}, std::uint8_t{0x80}}) // bottom row: 0 1; top row: 1 0
        for (const std::uint8_t b : {row, std::uint8_t{0}, std::uint8_t{0}, std::uint8_t{0}})
            dib.push_back(b);
    const auto decoded = afx::ReadDib(dib, false);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->indices, (std::vector<std::uint8_t>{1, 0, 0, 1}));
    EXPECT_EQ(decoded->palette, (std::vector<std::uint32_t>{0x000000, 0xFFFFFF}));

    const auto with = [&](std::size_t offset, std::uint8_t value) {
        Bytes b = dib;
        b[offset] = value;
        return b;
    };
    const struct {
        const char* name;
        Bytes data;
    } bad[] = {
        {"another header size", with(0, 12)},
        {"24 bits a pixel", with(14, 24)},
        {"compressed", with(16, 1)},
        {"no width", with(4, 0)},
        {"top-down (negative height)", with(11, 0xFF)},
        {"pixels cut short", Bytes(dib.begin(), dib.end() - 1)},
        {"an icon without its mask", with(8, 4)},
    };
    for (const auto& row : bad) {
        SCOPED_TRACE(row.name);
        std::string why;
        const bool icon = std::string(row.name).starts_with("an icon");
        EXPECT_FALSE(afx::ReadDib(row.data, icon, 0, &why));
        EXPECT_FALSE(why.empty());
    }
}

} // namespace
