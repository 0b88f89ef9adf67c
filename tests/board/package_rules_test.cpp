// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Footprints as parts: the built-in rules for KiCad's libraries and placement files' package names, the
// caller's rules before them, bodies read from names, the edge a part lies along, and what is skipped.
#include "board/package_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

using What = board::Resolved::What;
constexpr double kMm = 1.0 / 25.4;

board::Footprint Placed(std::string libId, double rotation = 0.0) {
    board::Footprint fp;
    fp.ref = "X1";
    fp.libId = std::move(libId);
    fp.x = 2.0;
    fp.y = 1.0;
    fp.rotation = rotation;
    fp.line = 7;
    return fp;
}

TEST(PackageRules, EachFamilyIsItsKind) {
    struct Row {
        const char* libId;
        const char* kind; // a short name of the component table
        double L;         // mm, the body's longer side
    };
    const std::vector<Row> rows{
        {"Resistor_SMD:R_0805_2012Metric", "resistor", 2.0},
        {"Resistor_THT:R_Axial_DIN0207_L6.3mm_D2.5mm_P10.16mm_Horizontal", "resistor", 6.3},
        {"Capacitor_SMD:C_0603_1608Metric", "capacitor", 1.6},
        {"Capacitor_THT:CP_Radial_D5.0mm_P2.00mm", "capacitor", 5.0},
        {"Diode_SMD:D_SOD-123", "diode", 2.7},
        {"LED_SMD:LED_0805_2012Metric", "diode", 2.0},
        {"Inductor_SMD:L_1210_3225Metric", "resistor", 3.2},
        {"Package_DIP:DIP-8_W7.62mm", "dip", 10.16},
        {"Package_BGA:BGA-256_17.0x17.0mm_Layout16x16_P1.0mm_Ball0.5mm_Pad0.4mm", "bga", 17.0},
        {"Package_CSP:WLCSP-20_1.934x2.434mm_Layout4x5_P0.4mm", "bga", 2.434},
        {"Package_LCC:PLCC-44_SMD-Socket_16.6x16.6mm", "lccc-j", 16.6},
        {"Package_LCC:LCC-20_8.9x8.9mm", "lccc", 8.9},
        {"Package_DFN_QFN:QFN-32-1EP_5x5mm_P0.5mm_EP3.45x3.45mm", "lccc", 5.0},
        {"Package_QFP:LQFP-64_10x10mm_P0.5mm", "fine-pitch", 10.0},
        {"Package_SO:SOIC-8_3.9x4.9mm_P1.27mm", "two-row", 4.9},
        {"Package_TO_SOT_SMD:SOT-23", "two-row", 2.9},
        {"Package_SON:WSON-8-1EP_2x2mm_P0.5mm", "two-row", 2.0},
        {"Connector_PinHeader_2.54mm:PinHeader_2x05_P2.54mm_Vertical", "two-row", 12.7},
        // Placement files' package texts.
        {"0805", "resistor", 2.0},
        {"R_0805_2012Metric", "resistor", 2.0},
        {"SOIC-8_3.9x4.9mm_P1.27mm", "two-row", 4.9},
        {"QFN-32-1EP_5x5mm", "lccc", 5.0},
        {"BGA-256_17.0x17.0mm", "bga", 17.0},
        {"LQFP-64_10x10mm", "fine-pitch", 10.0},
    };
    for (const Row& row : rows) {
        const board::Resolved r = board::Resolve(Placed(row.libId), {}, 0.0, 0.0);
        ASSERT_EQ(r.what, What::Part) << row.libId << ": " << r.reason;
        EXPECT_EQ(r.part.kind, board::FindKind(row.kind)) << row.libId;
        EXPECT_NEAR(r.part.L, row.L * kMm, 1e-12) << row.libId;
        EXPECT_FALSE(r.reason.empty()) << row.libId;
        EXPECT_EQ(r.part.ref, "X1");
        EXPECT_EQ(r.part.line, 7u);
    }
}

TEST(PackageRules, NotPartsAreSkippedSayingWhy) {
    struct Row {
        const char* name;
        const char* libId;
        bool dnp, boardOnly, excludeFromBom;
        What what;
        const char* reason;
    };
    const std::vector<Row> rows{
        {"mounting hole", "MountingHole:MountingHole_3.2mm_M3", false, true, true, What::Support,
         "mounting hole"},
        {"a hole's name alone", "MountingHole_3.2mm_M3_Pad", false, false, false, What::Support,
         "mounting hole"},
        {"fiducial", "Fiducial:Fiducial_1mm_Mask2mm", false, false, false, What::Skip, "fiducial"},
        {"test point", "TestPoint:TestPoint_Pad_D1.0mm", false, false, false, What::Skip, "test point"},
        {"logo", "Symbol:OSHW-Logo2_9.8x8mm_SilkScreen", false, false, false, What::Skip, "logo"},
        {"dnp", "Resistor_SMD:R_0805_2012Metric", true, false, false, What::Skip, "dnp"},
        {"board only", "Resistor_SMD:R_0805_2012Metric", false, true, false, What::Skip, "board only"},
        {"out of the BOM", "Resistor_SMD:R_0805_2012Metric", false, false, true, What::Skip,
         "excluded from the BOM"},
        {"not fitted needs no rule", "ESP32-C3_SuperMini:ESP32-C3_SuperMini", true, false, false, What::Skip,
         "dnp"},
        {"no rule", "ESP32-C3_SuperMini:ESP32-C3_SuperMini", false, false, false, What::NoRule,
         "no rule for footprint 'ESP32-C3_SuperMini:ESP32-C3_SuperMini' (add one)"},
        {"a rule but no size", "Connector_Generic:Conn_01x02", false, false, false, What::NoRule,
         "no body size for footprint 'Connector_Generic:Conn_01x02' in the file or its name (add a rule with "
         "L)"},
    };
    for (const Row& row : rows) {
        board::Footprint fp = Placed(row.libId);
        fp.dnp = row.dnp;
        fp.boardOnly = row.boardOnly;
        fp.excludeFromBom = row.excludeFromBom;
        const board::Resolved r = board::Resolve(fp, {}, 0.0, 0.0);
        EXPECT_EQ(r.what, row.what) << row.name;
        EXPECT_EQ(r.reason, row.reason) << row.name;
        EXPECT_EQ(r.part.ref, "X1") << row.name;
    }
}

TEST(PackageRules, BodiesFromNames) {
    struct Row {
        const char* name;
        double x, y, centreX, centreY; // mm
    };
    const std::vector<Row> rows{
        {"BGA-256_17.0x17.0mm", 17.0, 17.0, 0, 0},
        {"R_0805_2012Metric", 2.0, 1.2, 0, 0},
        {"Resistor_SMD:R_0603_1608Metric_Pad0.98x0.95mm_HandSolder", 1.6, 0.8, 0, 0},
        {"SOIC-8_3.9x4.9mm_P1.27mm", 3.9, 4.9, 0, 0},
        {"QFN-32-1EP_5x5mm_P0.5mm_EP3.45x3.45mm", 5.0, 5.0, 0, 0},
        {"0805", 2.0, 1.25, 0, 0},
        {"C0603", 1.6, 0.8, 0, 0},
        {"01005", 0.4, 0.2, 0, 0},
        {"R_Axial_DIN0207_L6.3mm_D2.5mm_P10.16mm_Horizontal", 6.3, 2.5, 5.08, 0},
        {"CP_Radial_D5.0mm_P2.00mm", 5.0, 5.0, 1.0, 0},
        {"C_Disc_D3.0mm_W1.6mm_P2.50mm", 3.0, 1.6, 1.25, 0},
        // Four pins a row, 0.1 in apart, rows 0.3 in apart; pin 1 at the origin.
        {"DIP-8_W7.62mm", 7.62 - 1.27, 10.16, 3.81, -3.81},
        {"PinHeader_2x05_P2.54mm_Vertical", 5.08, 12.7, 1.27, -5.08},
        {"SOT-23-5", 1.3, 2.9, 0, 0},
        {"SOT-223-3_TabPin2", 3.5, 6.5, 0, 0},
    };
    for (const Row& row : rows) {
        const auto body = board::BodyFromName(row.name);
        ASSERT_TRUE(body) << row.name;
        EXPECT_NEAR(body->x, row.x * kMm, 1e-12) << row.name;
        EXPECT_NEAR(body->y, row.y * kMm, 1e-12) << row.name;
        EXPECT_NEAR(body->centreX, row.centreX * kMm, 1e-12) << row.name;
        EXPECT_NEAR(body->centreY, row.centreY * kMm, 1e-12) << row.name;
    }
    for (const char* none : {"ESP32-C3_SuperMini", "SOT-2", "Conn_01x02", "R_Axial_P10mm", "x5mm", "_5xmm"})
        EXPECT_FALSE(board::BodyFromName(none)) << none;
}

// A 0.4 × 0.2 in body turned by the footprint: the edge its length runs along, or none near a diagonal or
// for a near-square body; and, for the board map, the direction of its length and its side across.
TEST(PackageRules, TheLongerSideChoosesTheEdge) {
    struct Row {
        const char* name;
        double bodyX, bodyY, rotation;
        std::optional<board::Edge> parallel;
        double direction; // of the longer side, degrees from x modulo 180, for the board map
    };
    using board::Edge;
    const std::vector<Row> rows{
        {"0", 0.4, 0.2, 0, Edge::A, 0},
        {"90", 0.4, 0.2, 90, Edge::B, 90},
        {"180", 0.4, 0.2, 180, Edge::A, 0},
        {"270", 0.4, 0.2, 270, Edge::B, 90},
        {"30", 0.4, 0.2, 30, Edge::A, 30},
        {"34.9", 0.4, 0.2, 34.9, Edge::A, 34.9},
        {"35.1: within 10 degrees of 45", 0.4, 0.2, 35.1, std::nullopt, 35.1},
        {"45", 0.4, 0.2, 45, std::nullopt, 45},
        {"135", 0.4, 0.2, 135, std::nullopt, 135},
        {"54.9", 0.4, 0.2, 54.9, std::nullopt, 54.9},
        {"55.1", 0.4, 0.2, 55.1, Edge::B, 55.1},
        {"long along y", 0.2, 0.4, 0, Edge::B, 90},
        {"long along y, 90", 0.2, 0.4, 90, Edge::A, 0},
        {"sides 9 % apart", 0.2, 0.182, 0, std::nullopt, 0},
        {"sides 11 % apart", 0.2, 0.178, 0, Edge::A, 0},
        {"square", 0.3, 0.3, 0, std::nullopt, 0},
    };
    for (const Row& row : rows) {
        board::Footprint fp = Placed("Package_SO:whatever", row.rotation);
        fp.bodyX = row.bodyX;
        fp.bodyY = row.bodyY;
        const board::Resolved r = board::Resolve(fp, {}, 0.0, 0.0);
        ASSERT_EQ(r.what, What::Part) << row.name;
        EXPECT_EQ(r.part.parallel, row.parallel) << row.name;
        EXPECT_DOUBLE_EQ(r.part.L, std::max(row.bodyX, row.bodyY)) << row.name;
        EXPECT_EQ(r.part.kind, board::FindKind("two-row")) << row.name;
        EXPECT_EQ(r.part.C, 1.26) << row.name;
        ASSERT_TRUE(r.part.direction && r.part.across) << row.name;
        EXPECT_NEAR(*r.part.direction, row.direction, 1e-9) << row.name;
        EXPECT_DOUBLE_EQ(*r.part.across, std::min(row.bodyX, row.bodyY)) << row.name;
    }
}

// The body's centre, 0.1 in along the footprint's x, seen from the top after the turn (and the mirror on
// the bottom side).
TEST(PackageRules, PositionIsTheBodysCentre) {
    struct Row {
        const char* name;
        double rotation;
        bool bottom;
        double x, y;
    };
    const std::vector<Row> rows{
        {"top, 0", 0, false, 2.1, 1.0},
        {"top, 90", 90, false, 2.0, 1.1},
        {"top, 180", 180, false, 1.9, 1.0},
        {"top, 270", 270, false, 2.0, 0.9},
        {"bottom, 0", 0, true, 1.9, 1.0},
        {"bottom, 90", 90, true, 2.0, 0.9},
        {"top, 30", 30, false, 2.0 + 0.1 * std::sqrt(3.0) / 2.0, 1.05},
    };
    for (const Row& row : rows) {
        board::Footprint fp = Placed("Package_SO:whatever", row.rotation);
        fp.bottom = row.bottom;
        fp.bodyX = 0.3;
        fp.bodyY = 0.1;
        fp.bodyCentreX = 0.1;
        const board::Resolved r = board::Resolve(fp, {}, 0.0, 0.0);
        EXPECT_NEAR(r.part.x, row.x, 1e-12) << row.name;
        EXPECT_NEAR(r.part.y, row.y, 1e-12) << row.name;
    }
    // A DIP's origin is pin 1: its centre lies half the rows across and half the pins down.
    const board::Resolved dip = board::Resolve(Placed("Package_DIP:DIP-14_W7.62mm"), {}, 0.0, 0.0);
    EXPECT_NEAR(dip.part.x, 2.0 + 0.15, 1e-12);
    EXPECT_NEAR(dip.part.y, 1.0 - 0.3, 1e-12);
    EXPECT_EQ(dip.part.parallel, board::Edge::B);

    // Off a 3 × 2 in board it is still a part, and the reason says so.
    EXPECT_EQ(board::Resolve(Placed("R_0805_2012Metric"), {}, 3.0, 2.0).reason, "resistor");
    const board::Resolved off = board::Resolve(Placed("R_0805_2012Metric"), {}, 1.5, 2.0);
    EXPECT_EQ(off.what, What::Part);
    EXPECT_EQ(off.reason, "resistor; its centre is off the board");
}

TEST(PackageRules, TheCallersRulesComeFirst) {
    std::vector<board::RowError> errors;
    const auto rules = board::ReadRules("pattern,kind,C,L,mass,action,why\n"
                                        "Resistor_SMD:R_2512*,bga,,,2 g,,heavy shunt\n"
                                        "Resistor_SMD:R_2512*,capacitor,,,,,never reached\n"
                                        "R_1206*,,1.5,5mm,,part,\n"
                                        "Resistor_SMD:*,,,,,skip,not checked here\n"
                                        "ESP32*,two-row,,18 mm,3g\n"
                                        "Custom:Standoff*,,,,,support,standoff\n",
                                        errors);
    ASSERT_TRUE(rules) << (errors.empty() ? "" : errors[0].message);
    ASSERT_TRUE(errors.empty()) << errors[0].message;
    ASSERT_EQ(rules->size(), 6u);

    const board::Resolved shunt = board::Resolve(Placed("Resistor_SMD:R_2512_6332Metric"), *rules, 0, 0);
    EXPECT_EQ(shunt.part.kind, board::FindKind("bga"));
    EXPECT_EQ(shunt.part.C, 1.75);
    EXPECT_NEAR(*shunt.part.weight, 0.002 / 0.45359237, 1e-15);
    EXPECT_NEAR(shunt.part.L, 6.3 * kMm, 1e-12);
    EXPECT_EQ(shunt.reason, "heavy shunt");

    const board::Resolved given = board::Resolve(Placed("Resistor_SMD:R_1206_3216Metric"), *rules, 0, 0);
    EXPECT_EQ(given.part.kind, -1);
    EXPECT_EQ(given.part.C, 1.5);
    EXPECT_NEAR(given.part.L, 5 * kMm, 1e-12);
    EXPECT_EQ(given.part.parallel, board::Edge::A); // the name's body still gives the direction
    EXPECT_EQ(given.reason, "rules file, line 4");

    const board::Resolved skipped = board::Resolve(Placed("Resistor_SMD:R_0805_2012Metric"), *rules, 0, 0);
    EXPECT_EQ(skipped.what, What::Skip);
    EXPECT_EQ(skipped.reason, "not checked here");

    const board::Resolved module =
        board::Resolve(Placed("ESP32-C3_SuperMini:ESP32-C3_SuperMini"), *rules, 0, 0);
    EXPECT_EQ(module.what, What::Part);
    EXPECT_NEAR(module.part.L, 18 * kMm, 1e-12);
    EXPECT_FALSE(module.part.parallel); // no body: both edges are tried
    EXPECT_EQ(module.part.x, 2.0);

    EXPECT_EQ(board::Resolve(Placed("Custom:Standoff_M3"), *rules, 0, 0).what, What::Support);
    // Without the caller's rules the built-in ones answer.
    EXPECT_EQ(board::Resolve(Placed("Resistor_SMD:R_2512_6332Metric"), {}, 0, 0).part.kind,
              board::FindKind("resistor"));
}

TEST(PackageRules, BadRulesAreErrorsAtTheirLines) {
    std::vector<board::RowError> errors;
    const auto rules = board::ReadRules("Pattern;Kind;L (mm);Mass\n"
                                        "R_*;resistor;2;\n"
                                        ";resistor;;\n"
                                        "X*;flux capacitor;;\n"
                                        "Y*;;;\n"
                                        "Z*;bga;-1;\n"
                                        "W*;bga;1;12\n"
                                        "V*;bga;1 parsec;\n",
                                        errors);
    ASSERT_TRUE(rules);
    ASSERT_EQ(rules->size(), 1u);
    EXPECT_NEAR(*(*rules)[0].L, 2 * kMm, 1e-12);
    struct Expected {
        std::size_t line;
        const char* message;
    };
    const std::vector<Expected> expected{
        {3, "no pattern"},
        {4, "unknown kind 'flux capacitor'"},
        {5, "no kind or C for a part"},
        {6, "L '-1' is not a positive length (a number, in, mm, cm or mil)"},
        {7, "mass '12' is not a mass with its unit (g, kg, lb or oz)"},
        {8, "L '1 parsec' is not a positive length (a number, in, mm, cm or mil)"},
    };
    ASSERT_EQ(errors.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(errors[i].line, expected[i].line);
        EXPECT_EQ(errors[i].message, expected[i].message);
    }
    EXPECT_EQ(errors[1].kind, board::RowError::Kind::UnknownKind);

    errors.clear();
    EXPECT_FALSE(board::ReadRules("kind,C\nbga,1\n", errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].message, "the rules file has no pattern column");
    errors.clear();
    EXPECT_FALSE(board::ReadRules("", errors));
    EXPECT_EQ(errors.size(), 1u);
}

TEST(PackageRules, Globs) {
    struct Row {
        const char* pattern;
        const char* text;
        bool match;
    };
    const std::vector<Row> rows{
        {"R_*", "r_0805", true},
        {"*PLCC*", "Package_LCC:PLCC-44", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"**x", "x", true},
        {"*:*", "Lib:Name", true},
        {"Lib:*", "Library:Name", false},
        {"*a", "aaaaaaaaaaaaaaaab", false},
        {"0805", "0805x", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(board::GlobMatch(row.pattern, row.text), row.match) << row.pattern << " / " << row.text;
}

} // namespace
