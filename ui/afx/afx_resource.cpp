// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Reading the binary resource format and the layouts inside it.
#include "ui/afx/afxresource.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace afx {

namespace {

// A cursor over little-endian data that fails, rather than reads, past the end.
class Reader {
public:
    explicit Reader(Bytes data, std::size_t offset = 0) : m_data(data), m_pos(offset) {
        if (offset > data.size())
            m_ok = false;
    }

    bool Ok() const { return m_ok; }
    std::size_t Pos() const { return m_pos; }
    std::size_t Left() const { return m_ok ? m_data.size() - m_pos : 0; }

    std::uint8_t U8() { return static_cast<std::uint8_t>(Take(1)); }
    WORD U16() { return static_cast<WORD>(Take(2)); }
    DWORD U32() { return static_cast<DWORD>(Take(4)); }
    short S16() { return static_cast<short>(U16()); }

    void Skip(std::size_t n) {
        if (!m_ok || n > Left())
            m_ok = false;
        else
            m_pos += n;
    }
    // To the next multiple of `n` counted from `base`.
    void Align(std::size_t n, std::size_t base = 0) {
        const std::size_t rel = m_pos - base;
        Skip((n - rel % n) % n);
    }
    Bytes Slice(std::size_t n) {
        if (!m_ok || n > Left()) {
            m_ok = false;
            return {};
        }
        const Bytes s = m_data.subspan(m_pos, n);
        m_pos += n;
        return s;
    }

    // A NUL-terminated UTF-16 string, as UTF-8.
    std::string String() {
        std::u16string units;
        for (;;) {
            const WORD c = U16();
            if (!m_ok || c == 0)
                break;
            units.push_back(static_cast<char16_t>(c));
        }
        return ToUtf8(units);
    }
    // An ordinal (0xFFFF, then the number), no value (0) or a string.
    ResourceId NameOrOrdinal() {
        ResourceId id;
        const WORD first = Peek16();
        if (first == 0xFFFF) {
            Skip(2);
            id.ordinal = U16();
        } else if (first == 0) {
            Skip(2);
        } else {
            id.isOrdinal = false;
            id.name = String();
        }
        return id;
    }

    static std::string ToUtf8(const std::u16string& units) {
        std::string out;
        for (std::size_t i = 0; i < units.size(); ++i) {
            std::uint32_t c = units[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(units[i + 1]) - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c < 0xE000) {
                c = 0xFFFD; // a lone surrogate
            }
            if (c < 0x80) {
                out.push_back(static_cast<char>(c));
            } else if (c < 0x800) {
                out.push_back(static_cast<char>(0xC0 | (c >> 6)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else if (c < 0x10000) {
                out.push_back(static_cast<char>(0xE0 | (c >> 12)));
                out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else {
                out.push_back(static_cast<char>(0xF0 | (c >> 18)));
                out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
        return out;
    }

private:
    std::uint64_t Take(std::size_t n) {
        if (!m_ok || n > Left()) {
            m_ok = false;
            return 0;
        }
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= static_cast<std::uint64_t>(m_data[m_pos + i]) << (8 * i);
        m_pos += n;
        return v;
    }
    WORD Peek16() const {
        if (!m_ok || Left() < 2)
            return 0;
        return static_cast<WORD>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    }

    Bytes m_data;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

template <typename T> std::optional<T> Fail(std::string* error, const char* why) {
    if (error != nullptr)
        *error = why;
    return std::nullopt;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

ControlClass ClassOf(const ResourceId& id, std::string* name) {
    if (id.isOrdinal) {
        if (id.ordinal >= 0x80 && id.ordinal <= 0x85)
            return static_cast<ControlClass>(id.ordinal - 0x80);
        return ControlClass::Custom;
    }
    static const char* const kNames[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    const std::string upper = Upper(id.name);
    for (std::size_t i = 0; i < std::size(kNames); ++i)
        if (upper == kNames[i])
            return static_cast<ControlClass>(i);
    *name = id.name;
    return ControlClass::Custom;
}

// The title of a dialog item: text, or an ordinal naming an icon or bitmap.
void ReadItemTitle(Reader& r, DialogItemTemplate& item) {
    const ResourceId title = r.NameOrOrdinal();
    if (title.isOrdinal)
        item.imageId = title.ordinal;
    else
        item.text = title.name;
}

} // namespace

ResourceId ResourceId::FromA(LPCSTR id) {
    ResourceId r;
    if (IS_INTRESOURCE(id)) {
        r.ordinal = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(id));
    } else if (id[0] == '#') {
        r.ordinal = static_cast<WORD>(std::strtoul(id + 1, nullptr, 10));
    } else {
        r.isOrdinal = false;
        r.name = Upper(id);
    }
    return r;
}

bool ResourceId::Matches(const ResourceId& other) const {
    if (isOrdinal != other.isOrdinal)
        return false;
    return isOrdinal ? ordinal == other.ordinal : Upper(name) == Upper(other.name);
}

std::optional<ResourceDirectory> ResourceDirectory::Read(Bytes data, std::string* error) {
    ResourceDirectory dir;
    std::size_t offset = 0;
    while (offset < data.size()) {
        Reader r(data, offset);
        const DWORD dataSize = r.U32();
        const DWORD headerSize = r.U32();
        if (!r.Ok())
            return Fail<ResourceDirectory>(error, "resource header cut short");
        if (headerSize < 32 || headerSize > r.Left() + 8 || dataSize > r.Left() + 8 - headerSize)
            return Fail<ResourceDirectory>(error, "resource entry larger than the data");
        Reader header(data.first(offset + headerSize), offset + 8);
        ResourceEntry entry;
        entry.type = header.NameOrOrdinal();
        entry.name = header.NameOrOrdinal();
        header.Align(4, offset);
        header.Skip(6); // DataVersion, MemoryFlags
        entry.language = header.U16();
        if (!header.Ok())
            return Fail<ResourceDirectory>(error, "resource header malformed");
        entry.data = data.subspan(offset + headerSize, dataSize);
        // The empty entry that starts every .res file names nothing.
        if (!(entry.type.isOrdinal && entry.type.ordinal == 0))
            dir.m_entries.push_back(std::move(entry));
        offset += headerSize + dataSize;
        offset = (offset + 3) & ~std::size_t{3};
    }
    return dir;
}

const ResourceEntry* ResourceDirectory::Find(const ResourceId& type, const ResourceId& name) const {
    for (const ResourceEntry& e : m_entries)
        if (e.type.Matches(type) && e.name.Matches(name))
            return &e;
    return nullptr;
}

namespace {

// The styles that open a dialog's header and each item: help ID, extended style and style in an
// extended template, style and extended style in a 16-bit one.
template <typename T> void ReadStyles(Reader& r, bool extended, T& into) {
    if (extended) {
        into.helpId = r.U32();
        into.exStyle = r.U32();
        into.style = r.U32();
    } else {
        into.style = r.U32();
        into.exStyle = r.U32();
    }
}

} // namespace

std::optional<DialogTemplate> ReadDialogTemplate(Bytes data, std::string* error) {
    Reader r(data);
    DialogTemplate t;
    WORD count = 0;
    if (data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        t.extended = true;
        r.Skip(4);
    }
    ReadStyles(r, t.extended, t);
    count = r.U16();
    t.x = r.S16();
    t.y = r.S16();
    t.cx = r.S16();
    t.cy = r.S16();
    t.menu = r.NameOrOrdinal();
    t.windowClass = r.NameOrOrdinal();
    t.title = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.U16();
        if (t.extended) {
            t.weight = r.U16();
            t.italic = r.U8() != 0;
            t.charset = r.U8();
        }
        t.fontName = r.String();
    }
    if (!r.Ok())
        return Fail<DialogTemplate>(error, "dialog header cut short");
    // Every item is the size of its fixed part at least; a count beyond that is a lie.
    if (count > r.Left() / 18)
        return Fail<DialogTemplate>(error, "more dialog items than the data holds");
    t.items.reserve(count);
    for (WORD i = 0; i < count; ++i) {
        r.Align(4);
        DialogItemTemplate item;
        ReadStyles(r, t.extended, item);
        item.x = r.S16();
        item.y = r.S16();
        item.cx = r.S16();
        item.cy = r.S16();
        item.id =
            t.extended ? static_cast<int>(static_cast<std::int32_t>(r.U32())) : static_cast<int>(r.S16());
        item.cls = ClassOf(r.NameOrOrdinal(), &item.className);
        ReadItemTitle(r, item);
        const WORD extra = r.U16();
        if (extra > 0) {
            // A 16-bit template counts the size word itself.
            const std::size_t n = t.extended ? extra : std::max<std::size_t>(extra, 2) - 2;
            const Bytes bytes = r.Slice(n);
            item.creationData.assign(bytes.begin(), bytes.end());
        }
        if (!r.Ok())
            return Fail<DialogTemplate>(error, "dialog item cut short");
        t.items.push_back(std::move(item));
    }
    return t;
}

std::optional<std::string> ReadStringFromBlock(Bytes block, UINT id) {
    Reader r(block);
    for (UINT i = 0; i < id % 16; ++i)
        r.Skip(2 * std::size_t{r.U16()});
    const WORD length = r.U16();
    const Bytes chars = r.Slice(2 * std::size_t{length});
    if (!r.Ok() || length == 0)
        return std::nullopt;
    std::u16string units;
    for (std::size_t i = 0; i < length; ++i)
        units.push_back(static_cast<char16_t>(chars[2 * i] | (chars[2 * i + 1] << 8)));
    return Reader::ToUtf8(units);
}

std::optional<std::vector<GroupIconEntry>> ReadGroupIcon(Bytes data, std::string* error) {
    Reader r(data);
    r.Skip(2);
    const WORD type = r.U16();
    const WORD count = r.U16();
    if (!r.Ok() || type != 1)
        return Fail<std::vector<GroupIconEntry>>(error, "not a group icon");
    if (count > r.Left() / 14)
        return Fail<std::vector<GroupIconEntry>>(error, "more icon images than the data holds");
    std::vector<GroupIconEntry> entries;
    for (WORD i = 0; i < count; ++i) {
        GroupIconEntry e;
        e.width = r.U8();
        e.height = r.U8();
        e.colorCount = r.U8();
        r.Skip(1);
        e.planes = r.U16();
        e.bitCount = r.U16();
        e.bytes = r.U32();
        e.iconId = r.U16();
        if (e.width == 0)
            e.width = 256;
        if (e.height == 0)
            e.height = 256;
        entries.push_back(e);
    }
    return entries;
}

std::optional<Dib> ReadDib(Bytes data, bool icon, std::size_t bitsOffset, std::string* error) {
    Reader r(data);
    if (r.U32() != 40)
        return Fail<Dib>(error, "not a BITMAPINFOHEADER");
    Dib dib;
    const auto width = static_cast<std::int32_t>(r.U32());
    const auto fullHeight = static_cast<std::int32_t>(r.U32());
    r.Skip(2); // planes
    const WORD bits = r.U16();
    const DWORD compression = r.U32();
    r.Skip(4); // image size
    dib.dotsPerMeterX = static_cast<std::int32_t>(r.U32());
    dib.dotsPerMeterY = static_cast<std::int32_t>(r.U32());
    DWORD colours = r.U32();
    if (!r.Ok())
        return Fail<Dib>(error, "bitmap header cut short");
    const std::int32_t height = icon ? fullHeight / 2 : fullHeight;
    if (width <= 0 || width > 1024 || height <= 0 || height > 1024)
        return Fail<Dib>(error, "bitmap size out of range (bottom-up, at most 1024 pixels a side)");
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8))
        return Fail<Dib>(error, "not an uncompressed 1-, 4- or 8-bit bitmap");
    if (colours == 0 || colours > (1u << bits))
        colours = 1u << bits;
    const std::size_t tableEnd = 40 + 4 * std::size_t{colours};
    if (bitsOffset == 0)
        bitsOffset = tableEnd;
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::size_t stride = (w * bits + 31) / 32 * 4;
    const std::size_t maskStride = (w + 31) / 32 * 4;
    if (bitsOffset < tableEnd || bitsOffset > data.size() ||
        data.size() - bitsOffset < stride * h + (icon ? maskStride * h : 0))
        return Fail<Dib>(error, "bitmap pixels cut short");
    dib.width = width;
    dib.height = height;
    for (std::size_t i = 0; i < colours; ++i) {
        const std::uint8_t* quad = &data[40 + 4 * i];
        dib.palette.push_back((std::uint32_t{quad[2]} << 16) | (std::uint32_t{quad[1]} << 8) | quad[0]);
    }
    // Rows are stored bottom up.
    dib.indices.resize(w * h);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* row = &data[bitsOffset + stride * (h - 1 - y)];
        for (std::size_t x = 0; x < w; ++x) {
            const std::size_t bit = x * bits;
            dib.indices[y * w + x] =
                static_cast<std::uint8_t>((row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1));
        }
    }
    if (icon) {
        // An icon's pixels are followed by its AND mask: 1 bit a pixel, set where it is transparent.
        const std::size_t maskStart = bitsOffset + stride * h;
        dib.transparent.resize(w * h);
        for (std::size_t y = 0; y < h; ++y) {
            const std::uint8_t* row = &data[maskStart + maskStride * (h - 1 - y)];
            for (std::size_t x = 0; x < w; ++x)
                dib.transparent[y * w + x] = ((row[x / 8] >> (7 - x % 8)) & 1) != 0;
        }
    }
    return dib;
}

namespace {

// A node of the version block: wLength, wValueLength, wType, szKey, padding, value, children.
struct VersionNode {
    std::string key;
    Bytes value;
    Bytes children;
};

std::optional<VersionNode> ReadVersionNode(Bytes data, std::size_t& offset) {
    Reader r(data, offset);
    const std::size_t start = offset;
    const WORD length = r.U16();
    const WORD valueLength = r.U16();
    const WORD type = r.U16();
    if (!r.Ok() || length < 6 || length > data.size() - start)
        return std::nullopt;
    Reader node(data.first(start + length), start + 6);
    VersionNode n;
    n.key = node.String();
    node.Align(4, 0);
    // Text values count UTF-16 units, binary ones bytes.
    const std::size_t valueBytes = type == 1 ? 2 * std::size_t{valueLength} : valueLength;
    n.value = node.Slice(std::min(valueBytes, node.Left()));
    if (!node.Ok())
        return std::nullopt;
    // Children start at the next multiple of four, if the node goes on that far.
    const std::size_t children = std::min((node.Pos() + 3) & ~std::size_t{3}, start + length);
    n.children = data.subspan(children, start + length - children);
    offset = (start + length + 3) & ~std::size_t{3};
    return n;
}

// The child of `parent` with that key.
std::optional<VersionNode> VersionChild(const VersionNode& parent, const std::string& key) {
    std::size_t offset = 0;
    while (offset < parent.children.size()) {
        const std::optional<VersionNode> child = ReadVersionNode(parent.children, offset);
        if (!child)
            return std::nullopt;
        if (Upper(child->key) == Upper(key))
            return child;
    }
    return std::nullopt;
}

std::optional<VersionNode> VersionRoot(Bytes block) {
    std::size_t offset = 0;
    std::optional<VersionNode> root = ReadVersionNode(block, offset);
    if (!root || root->key != "VS_VERSION_INFO")
        return std::nullopt;
    return root;
}

} // namespace

std::optional<VersionNumbers> ReadFileVersion(Bytes versionBlock) {
    const std::optional<VersionNode> root = VersionRoot(versionBlock);
    if (!root)
        return std::nullopt;
    Reader r(root->value);
    if (r.U32() != 0xFEEF04BD)
        return std::nullopt;
    r.Skip(4); // dwStrucVersion
    const DWORD ms = r.U32();
    const DWORD ls = r.U32();
    if (!r.Ok())
        return std::nullopt;
    return VersionNumbers{{HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls)}};
}

std::optional<std::string> ReadVersionString(Bytes versionBlock, const std::string& table,
                                             const std::string& key) {
    std::optional<VersionNode> node = VersionRoot(versionBlock);
    for (const std::string& step : {std::string("StringFileInfo"), table, key}) {
        if (!node)
            return std::nullopt;
        node = VersionChild(*node, step);
    }
    if (!node)
        return std::nullopt;
    Reader r(node->value);
    std::string text = r.String();
    return text;
}

} // namespace afx
