// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Resources in the binary resource format that resource compilers write (.res): the directory of a
// module's resources, and the layouts the window system reads from them (dialog templates, string
// blocks, group icons, device-independent bitmaps, the version block). Plain C++: every read is
// checked against the data's end, and malformed data is a clear failure, never a read past it.
#pragma once

#include "ui/afx/afxtypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace afx {

using Bytes = std::span<const std::uint8_t>;

// A resource type or name: an integer ID (ordinal) or a string.
struct ResourceId {
    bool isOrdinal = true;
    WORD ordinal = 0;
    std::string name; // UTF-8, upper case as the resource compiler stores it

    static ResourceId FromA(LPCSTR id); // MAKEINTRESOURCEA value or a string
    bool Matches(const ResourceId& other) const;
};

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    WORD language = 0;
    Bytes data;
};

// The resources of a module: every entry of one or more .res streams laid end to end.
class ResourceDirectory {
public:
    ResourceDirectory() = default;
    // Reads the stream; on malformed data returns nothing and says why in `error`.
    static std::optional<ResourceDirectory> Read(Bytes data, std::string* error = nullptr);

    // The first entry of that type and name, whatever its language, or nullptr.
    const ResourceEntry* Find(const ResourceId& type, const ResourceId& name) const;
    const std::vector<ResourceEntry>& Entries() const { return m_entries; }

private:
    std::vector<ResourceEntry> m_entries;
};

// The predefined window classes of dialog items, by their ordinals 0x80 to 0x85 or their names.
enum class ControlClass { Button, Edit, Static, ListBox, ScrollBar, ComboBox, Custom };

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0; // control ID; a 16-bit template's 0xFFFF reads as −1 (IDC_STATIC)
    ControlClass cls = ControlClass::Custom;
    std::string className; // for ControlClass::Custom
    std::string text;      // UTF-8 title
    int imageId = 0;       // a title given as an ordinal: the icon or bitmap of a picture static
    std::vector<std::uint8_t> creationData;
};

// A dialog template (DLGTEMPLATE or DLGTEMPLATEEX) with its items in template order.
struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    ResourceId menu;
    ResourceId windowClass;
    std::string title;
    int pointSize = 0; // with DS_SETFONT
    int weight = 0;
    bool italic = false;
    int charset = 0;
    std::string fontName;
    std::vector<DialogItemTemplate> items;
};

std::optional<DialogTemplate> ReadDialogTemplate(Bytes data, std::string* error = nullptr);

// String `id` from the block that holds it (block `id / 16 + 1`, sixteen counted UTF-16 strings);
// nothing when the block lacks it or the string is empty.
std::optional<std::string> ReadStringFromBlock(Bytes block, UINT id);

// One image of a group icon.
struct GroupIconEntry {
    int width = 0; // 0 in the directory means 256
    int height = 0;
    int colorCount = 0;
    int planes = 0;
    int bitCount = 0;
    DWORD bytes = 0;
    WORD iconId = 0; // the RT_ICON resource with the image
};

std::optional<std::vector<GroupIconEntry>> ReadGroupIcon(Bytes data, std::string* error = nullptr);

// An uncompressed 1-, 4- or 8-bit device-independent bitmap, decoded: palette indices row by row from
// the top, and for an icon image its AND mask (true = transparent).
struct Dib {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<std::uint8_t> indices;  // width × height
    std::vector<bool> transparent;      // width × height for an icon, else empty
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
};

// `icon`: the DIB of an icon image (twice the height, with the AND mask after the pixels).
// `bitsOffset`: where the pixels begin, 0 = right after the colour table.
std::optional<Dib> ReadDib(Bytes data, bool icon, std::size_t bitsOffset = 0, std::string* error = nullptr);

// The version block: its fixed part's file version (four numbers) and a string of the
// "StringFileInfo" table `table` ("040904B0"), like VerQueryValue.
struct VersionNumbers {
    WORD part[4] = {0, 0, 0, 0};
};
std::optional<VersionNumbers> ReadFileVersion(Bytes versionBlock);
std::optional<std::string> ReadVersionString(Bytes versionBlock, const std::string& table,
                                             const std::string& key);

} // namespace afx
