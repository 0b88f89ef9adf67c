// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// S-expressions and KiCad board files written by hand from KiCad's published file format: outlines of
// lines, rectangles, arcs of both KiCad generations, polygons and a cut-out circle; parts on both sides
// and at several angles; the files and items that are refused.
#include "board/kicad.h"
#include "board/sexpr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kMm = 1.0 / 25.4; // inch
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------------------------------
// S-expressions

// The tree written back: lists in parentheses, symbols bare, strings in <angle brackets>.
std::string Show(const board::SNode& node) {
    if (node.kind == board::SNode::Kind::Symbol)
        return std::string(node.text);
    // Built piece by piece: MinGW's GCC 12 warns falsely (-Wrestrict) of "<" + std::string.
    std::string out = node.kind == board::SNode::Kind::String ? "<" : "(";
    if (node.kind == board::SNode::Kind::String) {
        out += node.text;
        out += ">";
        return out;
    }
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (i > 0)
            out += " ";
        out += Show(node.children[i]);
    }
    out += ")";
    return out;
}

std::string ShowAll(const board::SexprReading& reading) {
    std::string out;
    for (const auto& node : reading.nodes)
        out += Show(node) + ";";
    return out;
}

TEST(Sexpr, ReadsListsAtomsAndStrings) {
    struct Row {
        const char* name;
        std::string text;
        std::string tree;
    };
    const std::vector<Row> rows{
        {"nested lists", "(a (b 1 2.5) (c))", "(a (b 1 2.5) (c));"},
        {"empty list", "()", "();"},
        {"blanks of every kind", " \t(a\r\n  b\f)\n", "(a b);"},
        {"atoms touching parentheses", "(a(b)c)", "(a (b) c);"},
        {"strings with blanks and parentheses", "(p \"a (b) c\" \"\")", "(p <a (b) c> <>);"},
        {"escapes", R"((s "q\"uote" "back\\slash" "t\tn\nx\z"))", "(s <q\"uote> <back\\slash> <t\tn\nxz>);"},
        {"string ending an atom", "(a\"b\"c)", "(a <b> c);"},
        {"several top-level expressions and atoms", "(a) b (c)", "(a);b;(c);"},
        {"nothing", "  \n ", ""},
        {"UTF-8 inside a string", "(t \"\xC2\xB5m\")", "(t <\xC2\xB5m>);"},
    };
    for (const Row& row : rows) {
        const auto reading = board::ReadSexpr(row.text);
        EXPECT_EQ(reading.error, "") << row.name;
        EXPECT_EQ(ShowAll(reading), row.tree) << row.name;
    }
}

TEST(Sexpr, NodesKnowTheirLineAndColumn) {
    // Columns count characters: the two-byte µ counts once.
    const auto reading = board::ReadSexpr("(kicad_pcb\n  (a \"\xC2\xB5\" b)\n\t(c \"x\ny\" d))");
    ASSERT_EQ(reading.error, "");
    const board::SNode& root = reading.nodes.at(0);
    const board::SNode& a = root.children.at(1);
    EXPECT_EQ(root.line, 1u);
    EXPECT_EQ(root.column, 1u);
    EXPECT_EQ(a.line, 2u);
    EXPECT_EQ(a.column, 3u);
    EXPECT_EQ(a.children.at(1).column, 6u);  // the string
    EXPECT_EQ(a.children.at(2).column, 10u); // b, after the three characters "µ"
    const board::SNode& c = root.children.at(2);
    EXPECT_EQ(c.line, 3u);
    EXPECT_EQ(c.column, 2u);
    EXPECT_EQ(c.children.at(2).line, 4u); // d, after the string's line break
    EXPECT_EQ(c.children.at(2).column, 4u);
}

// The reader keeps a list's items together in blocks of its own: a list longer than a block, and more
// lists than one block holds, nested as deep as allowed, keep every item in its place.
TEST(Sexpr, LongListsAndManyListsKeepTheirItems) {
    constexpr std::size_t kCount = 40000; // more than a block's room
    std::string text = "(long";
    for (std::size_t i = 0; i < kCount; ++i)
        text.append(" a").append(std::to_string(i));
    text += ")\n";
    for (std::size_t i = 0; i < kCount; ++i)
        text.append("(l ").append(std::to_string(i)).append(" (m x))\n");
    text += std::string(board::kMaxSexprDepth, '(') + "deep" + std::string(board::kMaxSexprDepth, ')');
    const board::SexprReading reading = board::ReadSexpr(text);
    ASSERT_EQ(reading.error, "");
    ASSERT_EQ(reading.nodes.size(), kCount + 2); // the long list, the short ones, the deep one
    const board::SNode& list = reading.nodes[0];
    ASSERT_EQ(list.children.size(), kCount + 1);
    for (std::size_t i = 0; i < kCount; ++i)
        ASSERT_EQ(list.children[i + 1].text, std::string(1, 'a').append(std::to_string(i))) << i;
    for (std::size_t i = 0; i < kCount; ++i) {
        const board::SNode& l = reading.nodes[i + 1];
        ASSERT_EQ(board::AtomText(l, 0), std::to_string(i)) << i;
        ASSERT_EQ(l.line, i + 2) << i;
        const board::SNode* m = board::Child(l, "m");
        ASSERT_NE(m, nullptr) << i;
        ASSERT_EQ(board::AtomText(*m, 0), "x") << i;
    }
    const board::SNode* deep = &reading.nodes.back();
    for (std::size_t depth = 1; depth < board::kMaxSexprDepth; ++depth) {
        ASSERT_EQ(deep->children.size(), 1u) << depth;
        deep = &deep->children.front();
    }
    EXPECT_EQ(board::Head(*deep), "deep");
}

TEST(Sexpr, RefusesWhatIsNotWellFormed) {
    struct Row {
        const char* name;
        std::string text;
        std::string error;
    };
    const std::vector<Row> rows{
        {"unclosed list, at its opening", "(a\n  (b 1)\n  (c 2", "line 3, column 3: unclosed '('"},
        {"close without open", "(a)\n )", "line 2, column 2: unexpected ')' with no '(' open"},
        {"unterminated string, at its quote", "(a\n (b \"xyz)\n)", "line 2, column 5: unterminated string"},
        {"string ending in a backslash", "(a \"\\", "line 1, column 4: unterminated string"},
        {"too deep", std::string(1001, '(') + std::string(1001, ')'),
         "line 1, column 1001: lists nested deeper than 1000 levels"},
    };
    for (const Row& row : rows) {
        const auto reading = board::ReadSexpr(row.text);
        EXPECT_EQ(reading.error, row.error) << row.name;
        EXPECT_TRUE(reading.nodes.empty()) << row.name;
    }
    // As deep as allowed.
    EXPECT_EQ(board::ReadSexpr(std::string(1000, '(') + std::string(1000, ')')).error, "");
}

TEST(Sexpr, Helpers) {
    const auto reading = board::ReadSexpr("(fp (at 1.5 -2 90) (layer \"F.Cu\") (at 3 4) x \"1,5\" 2e1)");
    ASSERT_EQ(reading.error, "");
    const board::SNode& fp = reading.nodes.at(0);
    EXPECT_EQ(board::Head(fp), "fp");
    EXPECT_EQ(board::Head(fp.children.at(5)), ""); // an atom
    EXPECT_EQ(board::Children(fp, "at").size(), 2u);
    ASSERT_NE(board::Child(fp, "at"), nullptr);
    EXPECT_EQ(board::AtomNumber(*board::Child(fp, "at"), 1), -2.0);
    EXPECT_EQ(board::AtomNumber(*board::Child(fp, "at"), 3), std::nullopt);
    EXPECT_EQ(board::AtomText(*board::Child(fp, "layer"), 0), "F.Cu");
    EXPECT_EQ(board::Child(fp, "missing"), nullptr);
    // Atoms after the head, lists skipped; a decimal comma is not a number.
    EXPECT_EQ(board::AtomText(fp, 0), "x");
    EXPECT_EQ(board::AtomNumber(fp, 1), std::nullopt);
    EXPECT_EQ(board::AtomNumber(fp, 2), 20.0);
    EXPECT_TRUE(board::HasAtom(fp, "x"));
    EXPECT_FALSE(board::HasAtom(fp, "fp"));
}

// ---------------------------------------------------------------------------------------------------
// Board files

// A KiCad 8 board around `items`.
std::string Board8(const std::string& items, const std::string& general = "(general (thickness 1.6))") {
    return "(kicad_pcb (version 20240108) (generator \"pcbnew\") (generator_version \"8.0\")\n" + general +
           "\n(layers (0 \"F.Cu\" signal) (31 \"B.Cu\" signal) (44 \"Edge.Cuts\" user))\n" + items + ")\n";
}

// The 100 × 80 mm rectangle from (90, 40) to (190, 120): its lower-left corner is (90, 120).
const std::string kRect = R"((gr_rect (start 90 40) (end 190 120) (stroke (width 0.05) (type default))
  (fill none) (layer "Edge.Cuts") (uuid "a0000000-0000-0000-0000-000000000001")))";

board::Layout Read(const std::string& text, std::vector<std::string>* notes = nullptr) {
    const auto reading = board::ReadKicadBoard(text);
    EXPECT_EQ(reading.error, "");
    if (notes)
        *notes = reading.notes;
    return reading.layout.value_or(board::Layout{});
}

double Area(const board::Polygon& p) {
    double twice = 0.0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const auto& a = p[i];
        const auto& b = p[(i + 1) % p.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2.0;
}

struct Extent {
    double minX, minY, maxX, maxY;
};

Extent ExtentOf(const board::Polygon& p) {
    Extent e{1e300, 1e300, -1e300, -1e300};
    for (const auto& v : p) {
        e.minX = std::min(e.minX, v.x);
        e.minY = std::min(e.minY, v.y);
        e.maxX = std::max(e.maxX, v.x);
        e.maxY = std::max(e.maxY, v.y);
    }
    return e;
}

// The rounded rectangle 100 × 80 mm from (0, 0), corners of radius 5, as KiCad 8 draws it (arcs by
// start, mid, end) and as KiCad 5 does (centre, first point, angle clockwise on screen; one corner
// drawn the other way round with a negative angle).
const std::string kRoundedLines = R"(
(gr_line (start 5 0) (end 95 0) (layer "Edge.Cuts"))
(gr_line (start 100 5) (end 100 75) (layer "Edge.Cuts"))
(gr_line (start 95 80) (end 5 80) (layer "Edge.Cuts"))
(gr_line (start 0 75) (end 0 5) (layer "Edge.Cuts")))";
const std::string kRounded8 = kRoundedLines + R"(
(gr_arc (start 0 5) (mid 1.464466 1.464466) (end 5 0) (layer "Edge.Cuts"))
(gr_arc (start 95 0) (mid 98.535534 1.464466) (end 100 5) (layer "Edge.Cuts"))
(gr_arc (start 100 75) (mid 98.535534 78.535534) (end 95 80) (layer "Edge.Cuts"))
(gr_arc (start 0 75) (mid 1.464466 78.535534) (end 5 80) (layer "Edge.Cuts")))";
const std::string kRounded5 = kRoundedLines + R"(
(gr_arc (start 5 5) (end 0 5) (angle 90) (layer Edge.Cuts) (width 0.05))
(gr_arc (start 95 5) (end 95 0) (angle 90) (layer Edge.Cuts) (width 0.05))
(gr_arc (start 95 75) (end 100 75) (angle 90) (layer Edge.Cuts) (width 0.05))
(gr_arc (start 5 75) (end 0 75) (angle -90) (layer Edge.Cuts) (width 0.05)))";

// A circle of radius 50 mm about (50, 50) drawn as n lines, given out of order (every 7919th) and every
// other one reversed, as an outline imported from a drawing often is.
std::string ManyLines(std::size_t n) {
    auto number = [](double v) {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6).ptr;
        return std::string(buffer, end);
    };
    auto point = [&](std::size_t i) {
        const double t = 2.0 * kPi * static_cast<double>(i % n) / static_cast<double>(n);
        return number(50.0 + 50.0 * std::cos(t)) + " " + number(50.0 + 50.0 * std::sin(t));
    };
    std::string items;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = k * 7919 % n;
        const bool reversed = k % 2 == 1;
        items.append("(gr_line (start ")
            .append(point(reversed ? i + 1 : i))
            .append(") (end ")
            .append(point(reversed ? i : i + 1))
            .append(") (layer \"Edge.Cuts\"))\n");
    }
    return items;
}

TEST(Kicad, Outlines) {
    const double rounded = 8000.0 - (4.0 - kPi) * 25.0; // mm², the corners' squares less quarter circles
    constexpr std::size_t kLines = 10000;
    const double manyLines = kLines / 2.0 * 2500.0 * std::sin(2.0 * kPi / kLines); // the regular polygon's
    struct Row {
        const char* name;
        std::string items;
        double area;   // mm², of the outer contour
        double width;  // mm, of its extent
        double height; // mm
        double areaTolerance;
    };
    const std::vector<Row> rows{
        {"four lines, one reversed, out of order",
         R"((gr_line (start 90 40) (end 190 40) (layer "Edge.Cuts"))
            (gr_line (start 190 120) (end 90 120) (layer "Edge.Cuts"))
            (gr_line (start 90 40) (end 90 120) (layer "Edge.Cuts"))
            (gr_line (start 190 40) (end 190 120) (layer "Edge.Cuts"))
            (gr_line (start 0 0) (end 500 500) (layer "F.SilkS")))",
         8000.0, 100.0, 80.0, 1e-9},
        {"rectangle", kRect, 8000.0, 100.0, 80.0, 1e-9},
        {"ends within a micrometre join",
         R"((gr_line (start 0 0) (end 100 0) (layer "Edge.Cuts"))
            (gr_line (start 100.0005 0) (end 100 80) (layer "Edge.Cuts"))
            (gr_line (start 100 80) (end 0 80) (layer "Edge.Cuts"))
            (gr_line (start 0 80) (end 0 0.0005) (layer "Edge.Cuts")))",
         8000.0, 100.0, 80.0, 0.1},
        {"rounded corners, KiCad 8 arcs", kRounded8, rounded, 100.0, 80.0, 0.2},
        {"rounded corners, KiCad 5 arcs", kRounded5, rounded, 100.0, 80.0, 0.2},
        {"L-shaped polygon",
         R"((gr_poly (pts (xy 0 0) (xy 60 0) (xy 60 30) (xy 100 30) (xy 100 80) (xy 0 80))
            (stroke (width 0.1) (type solid)) (fill none) (layer "Edge.Cuts")))",
         60.0 * 30.0 + 100.0 * 50.0, 100.0, 80.0, 1e-9},
        {"circle", R"((gr_circle (center 50 50) (end 50 20) (layer "Edge.Cuts")))", kPi * 900.0, 60.0, 60.0,
         2.0 * kPi * 30.0 * 0.005},
        // A footprint at (100, 100) turned 90°: its 40 × 20 mm rectangle of lines stands 20 wide, 40 high.
        {"a footprint's lines, turned with it",
         R"((footprint "Board:Outline" (layer "F.Cu") (at 100 100 90)
              (property "Reference" "B1")
              (fp_line (start 0 0) (end 40 0) (layer "Edge.Cuts"))
              (fp_line (start 40 0) (end 40 20) (layer "Edge.Cuts"))
              (fp_line (start 40 20) (end 0 20) (layer "Edge.Cuts"))
              (fp_line (start 0 20) (end 0 0) (layer "Edge.Cuts"))))",
         800.0, 20.0, 40.0, 1e-9},
        {"10,000 lines out of order, half of them reversed", ManyLines(kLines), manyLines, 100.0, 100.0,
         0.05},
    };
    for (const Row& row : rows) {
        const board::Layout layout = Read(Board8(row.items));
        ASSERT_EQ(layout.outline.size(), 1u) << row.name;
        const board::Polygon& outer = layout.outline[0];
        EXPECT_GE(outer.size(), 3u) << row.name;
        EXPECT_NEAR(Area(outer), row.area * kMm * kMm, row.areaTolerance * kMm * kMm) << row.name;
        const Extent e = ExtentOf(outer);
        EXPECT_NEAR(e.minX, 0.0, 1e-12) << row.name;
        EXPECT_NEAR(e.minY, 0.0, 1e-12) << row.name;
        EXPECT_NEAR(e.maxX, row.width * kMm, 0.01 * kMm) << row.name;
        EXPECT_NEAR(e.maxY, row.height * kMm, 0.01 * kMm) << row.name;
    }
}

TEST(Kicad, ArcsStayWithinTheirChordTolerance) {
    // Every vertex of the rounded corners lies on its circle, and no chord is longer than a sagitta of
    // 0.01 mm allows on a radius of 5 mm: 2·√(2·5·0.01) ≈ 0.63 mm.
    for (const std::string& items : {kRounded8, kRounded5}) {
        const board::Polygon outer = Read(Board8(items)).outline.at(0);
        for (std::size_t i = 0; i < outer.size(); ++i) {
            const auto& a = outer[i];
            const auto& b = outer[(i + 1) % outer.size()];
            const double x = a.x / kMm, y = a.y / kMm; // mm, y up from the lower-left corner
            const double cx = std::clamp(x, 5.0, 95.0), cy = std::clamp(y, 5.0, 75.0);
            if (cx != x && cy != y) {
                EXPECT_NEAR(std::hypot(x - cx, y - cy), 5.0, 1e-5) << x << ", " << y;
            }
            const double chord = std::hypot(b.x - a.x, b.y - a.y) / kMm;
            const bool straight = std::abs(b.x - a.x) < 1e-12 || std::abs(b.y - a.y) < 1e-12;
            if (!straight) {
                EXPECT_LT(chord, 0.64);
            }
        }
    }
}

TEST(Kicad, ACircleInsideIsACutout) {
    const board::Layout layout =
        Read(Board8(kRect + R"((gr_circle (center 140 80) (end 150 80) (layer "Edge.Cuts")))"));
    ASSERT_EQ(layout.outline.size(), 2u);
    EXPECT_NEAR(Area(layout.outline[0]), 8000.0 * kMm * kMm, 1e-9);
    const board::Polygon& hole = layout.outline[1];
    EXPECT_NEAR(Area(hole), kPi * 100.0 * kMm * kMm, 0.4 * kMm * kMm);
    // The circle's centre (140, 80) lies 50 mm right of the corner (90, 120) and 40 mm above it.
    double x = 0.0, y = 0.0;
    for (const auto& v : hole) {
        x += v.x / static_cast<double>(hole.size());
        y += v.y / static_cast<double>(hole.size());
    }
    EXPECT_NEAR(x, 50.0 * kMm, 1e-3);
    EXPECT_NEAR(y, 40.0 * kMm, 1e-3);
}

// Parts on a KiCad 8 board whose outline's lower-left corner is (90, 120) mm.
const std::string kParts = kRect + R"(
(footprint "Package_SO:SOIC-8" (layer "F.Cu") (uuid "b0000000-0000-0000-0000-000000000001") (at 100 50 90)
  (property "Reference" "U1" (at 0 -3 90) (layer "F.SilkS"))
  (property "Value" "LM358" (at 0 3 90) (layer "F.Fab"))
  (attr smd)
  (fp_rect (start -2 -1.5) (end 4 0.5) (stroke (width 0.1) (type solid)) (fill none) (layer "F.Fab"))
  (fp_rect (start -5 -5) (end 5 5) (layer "F.CrtYd"))
  (pad "1" smd rect (at -1 0 90) (size 1 1) (layers "F.Cu")))
(footprint "R:R_0603" (layer "F.Cu") (at 150 100 180) (property "Reference" "R1") (attr smd))
(footprint "C:C_0603" (layer "F.Cu") (at 120 60 270) (property "Reference" "C1") (attr smd))
(footprint "D:D_SOD" (layer "F.Cu") (at 130 80 45) (property "Reference" "D1") (attr smd dnp))
(footprint "Q:SOT" (layer "F.Cu") (at 140 90 -90) (property "Reference" "Q1") (attr through_hole))
(footprint "Package_SO:SOIC-8" (layer "B.Cu") (at 160 70 90)
  (property "Reference" "U2") (property "Value" "TL072")
  (attr smd)
  (fp_line (start -3 -1) (end 1 -1) (layer "B.Fab"))
  (fp_line (start 1 -1) (end 1 2) (layer "B.Fab"))
  (fp_line (start 1 2) (end -3 2) (layer "B.Fab")))
(footprint "MountingHole:MountingHole_3.2mm_M3" (layer "F.Cu") (at 95 45)
  (property "Reference" "H1")
  (attr exclude_from_pos_files exclude_from_bom)
  (fp_circle (center 0 0) (end 3.45 0) (layer "F.CrtYd"))
  (pad "" np_thru_hole circle (at 0 0) (size 3.2 3.2) (drill 3.2) (layers "*.Cu" "*.Mask")))
(footprint "R:R_0805" (layer "F.Cu") (at 170 110 90)
  (property "Reference" "R2")
  (pad "1" smd roundrect (at -1 0 90) (size 1 1.2) (layers "F.Cu"))
  (pad "2" smd roundrect (at 1 0 90) (size 1 1.2) (layers "F.Cu")))
(footprint "Logo:Logo" (layer "F.Cu") (at 180 50) (property "Reference" "G1")
  (attr board_only exclude_from_pos_files exclude_from_bom))
)";

const board::Footprint& Find(const board::Layout& layout, const std::string& ref) {
    for (const auto& f : layout.footprints)
        if (f.ref == ref)
            return f;
    ADD_FAILURE() << ref << " not read";
    static const board::Footprint none;
    return none;
}

TEST(Kicad, PartsLandInTheBoardFrame) {
    const board::Layout layout = Read(Board8(kParts));
    ASSERT_EQ(layout.footprints.size(), 9u);
    struct Row {
        const char* ref;
        double x, y; // mm from the corner (90, 120), y up
        double rotation;
        bool bottom;
    };
    const std::vector<Row> rows{
        {"U1", 10, 70, 90, false}, {"R1", 60, 20, 180, false}, {"C1", 30, 60, 270, false},
        {"D1", 40, 40, 45, false}, {"Q1", 50, 30, 270, false}, {"U2", 70, 50, 90, true},
        {"H1", 5, 75, 0, false},   {"R2", 80, 10, 90, false},  {"G1", 90, 70, 0, false},
    };
    for (const Row& row : rows) {
        const board::Footprint& f = Find(layout, row.ref);
        EXPECT_NEAR(f.x, row.x * kMm, 1e-12) << row.ref;
        EXPECT_NEAR(f.y, row.y * kMm, 1e-12) << row.ref;
        EXPECT_EQ(f.rotation, row.rotation) << row.ref;
        EXPECT_EQ(f.bottom, row.bottom) << row.ref;
    }
    const board::Footprint& u1 = Find(layout, "U1");
    EXPECT_EQ(u1.libId, "Package_SO:SOIC-8");
    EXPECT_EQ(u1.value, "LM358");
    EXPECT_EQ(u1.line, 6u);
    EXPECT_EQ(Find(layout, "U2").value, "TL072");
}

TEST(Kicad, BodiesLandWhereKicadDrawsThem) {
    const board::Layout layout = Read(Board8(kParts));
    struct Row {
        const char* ref;
        double bodyX, bodyY; // mm
        double x, y;         // mm, the body's centre in the board frame
    };
    // U1 at (100, 50) turned 90° on screen: its fabrication box's centre (1, -0.5) (y down) turns to
    // (-0.5, -1), so KiCad draws it at (99.5, 49): 9.5 right of and 71 above the corner (90, 120).
    // U2 on the bottom at (160, 70), 90°: its drawing as stored, centre (-1, 0.5), turns to (0.5, 1) and
    // lands at (160.5, 71). R2's pads carry its own 90° in their angle: unturned they span 3 × 1.2 mm.
    const std::vector<Row> rows{
        {"U1", 6.0, 2.0, 9.5, 71.0},
        {"U2", 4.0, 3.0, 70.5, 49.0},
        {"H1", 6.9, 6.9, 5.0, 75.0},
        {"R2", 3.0, 1.2, 80.0, 10.0},
    };
    for (const Row& row : rows) {
        const board::Footprint& f = Find(layout, row.ref);
        ASSERT_TRUE(f.bodyX && f.bodyY) << row.ref;
        EXPECT_NEAR(*f.bodyX, row.bodyX * kMm, 0.01 * kMm) << row.ref;
        EXPECT_NEAR(*f.bodyY, row.bodyY * kMm, 0.01 * kMm) << row.ref;
        // The layout's convention: the footprint's own frame, mirrored in x on the bottom side, then turned.
        const double r = f.rotation * kPi / 180.0;
        const double cx = f.bottom ? -f.bodyCentreX : f.bodyCentreX;
        const double x = f.x + std::cos(r) * cx - std::sin(r) * f.bodyCentreY;
        const double y = f.y + std::sin(r) * cx + std::cos(r) * f.bodyCentreY;
        EXPECT_NEAR(x, row.x * kMm, 1e-9) << row.ref;
        EXPECT_NEAR(y, row.y * kMm, 1e-9) << row.ref;
    }
    EXPECT_FALSE(Find(layout, "R1").bodyX.has_value());
}

TEST(Kicad, Attributes) {
    const board::Layout layout = Read(Board8(kParts));
    struct Row {
        const char* ref;
        bool smd, throughHole, boardOnly, excludeFromBom, excludeFromPos, dnp;
    };
    const std::vector<Row> rows{
        {"U1", true, false, false, false, false, false}, {"D1", true, false, false, false, false, true},
        {"Q1", false, true, false, false, false, false}, {"H1", false, false, false, true, true, false},
        {"G1", false, false, true, true, true, false},   {"R2", false, false, false, false, false, false},
    };
    for (const Row& row : rows) {
        const board::Footprint& f = Find(layout, row.ref);
        EXPECT_EQ(f.smd, row.smd) << row.ref;
        EXPECT_EQ(f.throughHole, row.throughHole) << row.ref;
        EXPECT_EQ(f.boardOnly, row.boardOnly) << row.ref;
        EXPECT_EQ(f.excludeFromBom, row.excludeFromBom) << row.ref;
        EXPECT_EQ(f.excludeFromPos, row.excludeFromPos) << row.ref;
        EXPECT_EQ(f.dnp, row.dnp) << row.ref;
    }
}

// A KiCad 5 board: modules, unquoted strings, fp_text references, a bottom-side part.
const std::string kKicad5 = R"((kicad_pcb (version 20171130) (host pcbnew 5.1.9)
  (general (thickness 1.2) (drawings 4) (tracks 0) (modules 3) (nets 1))
  (page A4)
  (layers (0 F.Cu signal) (31 B.Cu signal) (44 Edge.Cuts user))
  (gr_line (start 10 10) (end 60 10) (layer Edge.Cuts) (width 0.05))
  (gr_line (start 60 10) (end 60 50) (layer Edge.Cuts) (width 0.05))
  (gr_line (start 60 50) (end 10 50) (layer Edge.Cuts) (width 0.05))
  (gr_line (start 10 50) (end 10 10) (layer Edge.Cuts) (width 0.05))
  (module Capacitor_THT:CP_Radial_D5.0mm (layer F.Cu) (tedit 5AE50EF0) (tstamp 5C000001) (at 20 40 180)
    (fp_text reference C1 (at 2.5 -3.75) (layer F.SilkS) (effects (font (size 1 1) (thickness 0.15))))
    (fp_text value 10u (at 2.5 3.75) (layer F.Fab))
    (fp_circle (center 2.5 0) (end 5 0) (layer F.Fab) (width 0.1))
    (pad 1 thru_hole rect (at 0 0 180) (size 1.6 1.6) (drill 0.8) (layers *.Cu *.Mask)))
  (module Resistor_SMD:R_0603 (layer B.Cu) (tedit 5B301BBD) (tstamp 5C000002) (at 40 20 270)
    (fp_text reference R7 (at 0 1.43 90) (layer B.SilkS) (effects (font (size 1 1)) (justify mirror)))
    (fp_text value 4k7 (at 0 -1.43 90) (layer B.Fab))
    (fp_line (start -0.8 0.4) (end -0.8 -0.4) (layer B.Fab) (width 0.1))
    (fp_line (start -0.8 -0.4) (end 0.8 -0.4) (layer B.Fab) (width 0.1))
    (fp_line (start 0.8 -0.4) (end 0.8 0.4) (layer B.Fab) (width 0.1))
    (attr smd))
  (module Fiducial:Fiducial_1mm (layer F.Cu) (tedit 0) (tstamp 5C000003) (at 15 15)
    (fp_text reference FID1 (at 0 -2) (layer F.SilkS))
    (attr virtual))
))";

TEST(Kicad, ReadsKicad5) {
    std::vector<std::string> notes;
    const board::Layout layout = Read(kKicad5, &notes);
    ASSERT_TRUE(layout.thickness);
    EXPECT_NEAR(*layout.thickness, 1.2 * kMm, 1e-15);
    ASSERT_EQ(layout.outline.size(), 1u);
    EXPECT_NEAR(Area(layout.outline[0]), 2000.0 * kMm * kMm, 1e-9);
    ASSERT_EQ(layout.footprints.size(), 3u);

    const board::Footprint& c1 = layout.footprints[0];
    EXPECT_EQ(c1.ref, "C1");
    EXPECT_EQ(c1.libId, "Capacitor_THT:CP_Radial_D5.0mm");
    EXPECT_EQ(c1.value, "10u");
    EXPECT_EQ(c1.line, 9u);
    EXPECT_NEAR(c1.x, 10.0 * kMm, 1e-12);
    EXPECT_NEAR(c1.y, 10.0 * kMm, 1e-12);
    EXPECT_EQ(c1.rotation, 180.0);
    EXPECT_TRUE(c1.throughHole); // a module without attr is through-hole in KiCad 5
    EXPECT_FALSE(c1.smd);
    // The Fab circle of diameter 5 around (2.5, 0), turned 180°: its centre lands at (17.5, 40).
    ASSERT_TRUE(c1.bodyX);
    EXPECT_NEAR(*c1.bodyX, 5.0 * kMm, 0.01 * kMm);
    EXPECT_NEAR(c1.x - c1.bodyCentreX, 7.5 * kMm, 1e-9);

    const board::Footprint& r7 = layout.footprints[1];
    EXPECT_EQ(r7.ref, "R7");
    EXPECT_EQ(r7.value, "4k7");
    EXPECT_TRUE(r7.bottom);
    EXPECT_TRUE(r7.smd);
    EXPECT_EQ(r7.rotation, 270.0);
    EXPECT_NEAR(r7.x, 30.0 * kMm, 1e-12);
    EXPECT_NEAR(r7.y, 30.0 * kMm, 1e-12);
    ASSERT_TRUE(r7.bodyX && r7.bodyY);
    EXPECT_NEAR(*r7.bodyX, 1.6 * kMm, 1e-12);
    EXPECT_NEAR(*r7.bodyY, 0.8 * kMm, 1e-12);

    const board::Footprint& fid = layout.footprints[2];
    EXPECT_TRUE(fid.boardOnly && fid.excludeFromBom && fid.excludeFromPos);
    EXPECT_FALSE(fid.throughHole);
    EXPECT_FALSE(fid.bodyX);
    EXPECT_TRUE(notes.empty()); // a fiducial without a drawing is skipped, its body never asked for
}

TEST(Kicad, Thickness) {
    struct Row {
        const char* name;
        std::string general;
        std::optional<double> mm;
    };
    const std::string stackup = R"((setup (stackup
        (layer "F.SilkS" (type "Top Silk Screen"))
        (layer "F.Mask" (type "Top Solder Mask") (thickness 0.01))
        (layer "F.Cu" (type "copper") (thickness 0.035))
        (layer "dielectric 1" (type "core") (thickness 0.7) (material "FR4"))
        (layer "In1.Cu" (type "copper") (thickness 0.035))
        (layer "dielectric 2" (type "prepreg") (thickness 0.7))
        (layer "B.Cu" (type "copper") (thickness 0.035))
        (layer "B.Mask" (type "Bottom Solder Mask") (thickness 0.01)))))";
    const std::vector<Row> rows{
        {"general", "(general (thickness 1.6))", 1.6},
        {"general before the stackup", "(general (thickness 0.8))" + stackup, 0.8},
        {"the stackup's copper and dielectric", "(general (drawings 0))" + stackup, 1.505},
        {"none", "(general)", std::nullopt},
    };
    for (const Row& row : rows) {
        const board::Layout layout = Read(Board8(kRect, row.general));
        ASSERT_EQ(layout.thickness.has_value(), row.mm.has_value()) << row.name;
        if (row.mm) {
            EXPECT_NEAR(*layout.thickness, *row.mm * kMm, 1e-12) << row.name;
        }
    }
}

TEST(Kicad, AFileWithoutAnOutlineCountsFromItsOrigin) {
    std::vector<std::string> notes;
    const board::Layout layout =
        Read(Board8(R"((footprint "X" (layer "F.Cu") (at 25.4 50.8) (property "Reference" "X1")))"), &notes);
    EXPECT_TRUE(layout.outline.empty());
    ASSERT_EQ(layout.footprints.size(), 1u);
    EXPECT_NEAR(layout.footprints[0].x, 1.0, 1e-12);
    EXPECT_NEAR(layout.footprints[0].y, -2.0, 1e-12);
    EXPECT_NE(std::find(notes.begin(), notes.end(),
                        "the file has no outline on Edge.Cuts: positions count from the file's origin"),
              notes.end());
}

TEST(Kicad, RefusesWhatItCannotRead) {
    struct Row {
        const char* name;
        std::string text;
        std::string error;
    };
    const std::vector<Row> rows{
        {"empty", "", "not a KiCad board file: the text is empty"},
        {"a schematic", "(kicad_sch (version 20231120))",
         "line 1, column 1: not a KiCad board file: it starts with '(kicad_sch' where a board starts with "
         "'(kicad_pcb'"},
        {"a footprint library file", "\n(footprint \"R_0603\" (layer \"F.Cu\"))",
         "line 2, column 1: a footprint library file, not a board file: it starts with '(footprint', a board "
         "with '(kicad_pcb'"},
        {"an atom first", "kicad_pcb",
         "line 1, column 1: not a KiCad board file: it starts with 'kicad_pcb' "
         "where a board starts with '(kicad_pcb'"},
        {"unclosed", "(kicad_pcb (version 1)\n  (general (thickness 1.6)\n)",
         "line 1, column 1: unclosed '('"},
        {"a footprint without a reference",
         Board8("(footprint \"R:R\" (layer \"F.Cu\") (at 1 2)\n (property \"Value\" \"1k\"))"),
         "line 4, column 1: a footprint without a reference"},
        {"a footprint without a position", Board8("(footprint \"R:R\" (property \"Reference\" \"R1\"))"),
         "line 4, column 1: footprint 'R1' has no (at x y)"},
        {"a coordinate that is not a number",
         Board8("(gr_line (start 0 0) (end 1,5 2) (layer \"Edge.Cuts\"))"),
         "line 4, column 27: expected a number, found '1,5'"},
        {"a coordinate out of range", Board8("(gr_line (start 0 0) (end 1e7 2) (layer \"Edge.Cuts\"))"),
         "line 4, column 27: the number '1e7' is out of range"},
        {"a line without its end", Board8("(gr_line (start 0 0) (layer \"Edge.Cuts\"))"),
         "line 4, column 1: (gr_line) has no (end x y)"},
        {"an outline with a gap",
         Board8("(gr_line (start 0 0) (end 100 0) (layer \"Edge.Cuts\"))\n"
                "(gr_line (start 100 0) (end 100 80) (layer \"Edge.Cuts\"))\n"
                "(gr_line (start 100 80) (end 0 80) (layer \"Edge.Cuts\"))\n"
                "(gr_line (start 0 80) (end 0 0.01) (layer \"Edge.Cuts\"))"),
         "line 7, column 1: the board outline does not close: nothing on Edge.Cuts meets the end of this "
         "gr_line at (0, 0.01) mm"},
        {"two boards", Board8(kRect + "\n(gr_rect (start 300 40) (end 400 120) (layer \"Edge.Cuts\"))"),
         "line 6, column 1: this Edge.Cuts contour lies outside the board's outer contour: the file holds "
         "more than one board"},
        {"a KiCad 5 arc without its angle", Board8("(gr_arc (start 0 0) (end 1 0) (layer Edge.Cuts))"),
         "line 4, column 1: (gr_arc) has neither (mid x y) nor (angle degrees)"},
    };
    for (const Row& row : rows) {
        const auto reading = board::ReadKicadBoard(row.text);
        EXPECT_FALSE(reading.layout.has_value()) << row.name;
        EXPECT_EQ(reading.error, row.error) << row.name;
    }
}

TEST(Kicad, LooksLikeABoard) {
    struct Row {
        std::string text;
        bool board;
    };
    const std::vector<Row> rows{
        {"(kicad_pcb (version 20240108))", true},
        {"\xEF\xBB\xBF\r\n  ( kicad_pcb\n", true},
        {"(kicad_pcb)", true},
        {"(kicad_pcbnew)", false},
        {"(kicad_sch (version 1))", false},
        {"ref,x,y\nU1,1,2\n", false},
        {"", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(board::LooksLikeKicadBoard(row.text), row.board) << row.text;
}

} // namespace
