// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as S-expressions and as a KiCad board file. Reading never crashes; an error
// or a result, never both; every node and every error names a line inside the text, and no list is
// deeper than the cap. A board read has a positive thickness if any, outline polygons of three or more
// finite vertices with the outer one's lower-left corner at the origin, and footprints with finite
// positions, a rotation in [0, 360), positive body extents and a line inside the text. A node's line and
// column, counted afresh from the text's start, land on its first byte: '(' for a list, '"' for a string,
// the atom itself for a symbol.
#include "require.h"

#include "board/kicad.h"
#include "board/sexpr.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using fuzz::Require;

namespace {

// The line an error names, 0 when it names none.
std::size_t ErrorLine(const std::string& error) {
    if (!error.starts_with("line "))
        return 0;
    std::size_t line = 0;
    for (std::size_t i = 5; i < error.size() && error[i] >= '0' && error[i] <= '9'; ++i)
        line = line * 10 + static_cast<std::size_t>(error[i] - '0');
    Require(line > 0, "an error's line is a number");
    Require(error.find(", column ") != std::string::npos, "an error's line comes with a column");
    return line;
}

// Whether one of the bytes at a line and column (1-based; a column counts the characters before it on its
// line, UTF-8 continuation bytes not counted) satisfies `starts`.
template <typename Starts>
bool SomeByteAt(std::string_view text, std::size_t line, std::size_t column, Starts starts) {
    std::size_t l = 1, c = 1;
    for (std::size_t i = 0; i < text.size() && l <= line; ++i) {
        const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (l == line && c == column && starts(i))
            return true;
        if (text[i] == '\n') {
            ++l;
            c = 1;
        } else if (!continuation) {
            ++c;
        }
    }
    return false;
}

void CheckPlace(const board::SNode& node, std::string_view text) {
    const bool found = SomeByteAt(text, node.line, node.column, [&](std::size_t at) {
        switch (node.kind) {
        case board::SNode::Kind::List:
            return text[at] == '(';
        case board::SNode::Kind::String:
            return text[at] == '"';
        case board::SNode::Kind::Symbol:
            return text.substr(at, node.text.size()) == node.text;
        }
        return false;
    });
    Require(found, "a node's line and column land on its first byte");
}

void CheckSexpr(const board::SexprReading& reading, std::string_view text, std::size_t lines) {
    Require(reading.error.empty() || reading.nodes.empty(), "nodes or an error");
    Require(ErrorLine(reading.error) <= lines, "an error's line inside the text");
    Require(reading.error.empty() || ErrorLine(reading.error) > 0, "an S-expression error has a place");
    std::vector<std::pair<const board::SNode*, std::size_t>> stack; // node, depth
    for (const board::SNode& node : reading.nodes)
        stack.emplace_back(&node, 0);
    std::size_t placed = 0; // counting afresh is slow: the first few hundred nodes
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        if (placed++ < 300)
            CheckPlace(*node, text);
        Require(node->line >= 1 && node->line <= lines && node->column >= 1,
                "a node's place inside the text");
        Require(node->IsList() || node->children.empty(), "atoms have no children");
        if (node->IsList())
            Require(depth < board::kMaxSexprDepth, "lists no deeper than the cap");
        for (const board::SNode& child : node->children) {
            Require(child.line > node->line || (child.line == node->line && child.column > node->column),
                    "a child starts after its list");
            stack.emplace_back(&child, depth + 1);
        }
    }
}

void CheckBoard(const board::KicadReading& reading, std::string_view text, std::size_t lines) {
    Require(reading.layout.has_value() == reading.error.empty(), "a layout or an error");
    Require(ErrorLine(reading.error) <= lines, "an error's line inside the text");
    if (!reading.layout)
        return;
    Require(board::LooksLikeKicadBoard(text), "a board read looks like one");
    const board::Layout& layout = *reading.layout;
    Require(!layout.thickness || (std::isfinite(*layout.thickness) && *layout.thickness > 0.0),
            "a positive thickness");
    for (std::size_t i = 0; i < layout.outline.size(); ++i) {
        const board::Polygon& polygon = layout.outline[i];
        Require(polygon.size() >= 3, "three vertices");
        for (const board::PlatePoint& p : polygon)
            Require(std::isfinite(p.x) && std::isfinite(p.y), "finite vertices");
        if (i == 0) {
            double minX = polygon[0].x, minY = polygon[0].y;
            for (const board::PlatePoint& p : polygon) {
                minX = std::min(minX, p.x);
                minY = std::min(minY, p.y);
            }
            Require(minX == 0.0 && minY == 0.0, "the outer contour's lower-left corner at the origin");
        }
    }
    for (const board::Footprint& f : layout.footprints) {
        Require(!f.ref.empty(), "a reference");
        Require(std::isfinite(f.x) && std::isfinite(f.y), "a finite position");
        Require(f.rotation >= 0.0 && f.rotation < 360.0, "a rotation in [0, 360)");
        Require(f.bodyX.has_value() == f.bodyY.has_value(), "both body extents or neither");
        if (f.bodyX)
            Require(std::isfinite(*f.bodyX) && std::isfinite(*f.bodyY) && *f.bodyX > 0.0 && *f.bodyY > 0.0,
                    "positive body extents");
        Require(std::isfinite(f.bodyCentreX) && std::isfinite(f.bodyCentreY), "a finite body centre");
        Require(f.line >= 1 && f.line <= lines, "a footprint's line inside the text");
    }
    for (const std::string& note : reading.notes)
        Require(ErrorLine(note) <= lines, "a note's line inside the text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    CheckSexpr(board::ReadSexpr(text), text, lines);
    CheckBoard(board::ReadKicadBoard(text), text, lines);
    return 0;
}
