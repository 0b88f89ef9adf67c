// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Placement files as KiCad, Altium and JLCPCB write them, and the rows and files that are refused.
#include "board/placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Placed {
    std::string ref;
    double x, y, rotation; // inch, degrees
    bool bottom;
    std::string libId, value;
};

void ExpectPlaced(const board::PlacementReading& reading, const std::vector<Placed>& expected,
                  const std::string& name) {
    ASSERT_EQ(reading.footprints.size(), expected.size()) << name << ": " << reading.error;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const board::Footprint& fp = reading.footprints[i];
        const Placed& e = expected[i];
        EXPECT_EQ(fp.ref, e.ref) << name;
        EXPECT_NEAR(fp.x, e.x, 1e-9) << name << " " << e.ref;
        EXPECT_NEAR(fp.y, e.y, 1e-9) << name << " " << e.ref;
        EXPECT_NEAR(fp.rotation, e.rotation, 1e-9) << name << " " << e.ref;
        EXPECT_EQ(fp.bottom, e.bottom) << name << " " << e.ref;
        EXPECT_EQ(fp.libId, e.libId) << name << " " << e.ref;
        EXPECT_EQ(fp.value, e.value) << name << " " << e.ref;
    }
}

// The same three parts, as each tool writes them: R1 at 25.4, 12.7 mm turned 90°, U1 on the bottom at 50.8,
// 38.1 mm turned 180°, C1 at 12.7, 6.35 mm turned 270°.
const std::vector<Placed> kThree{
    {"R1", 1.0, 0.5, 90.0, false, "R_0805_2012Metric", "10k"},
    {"U1", 2.0, 1.5, 180.0, true, "SOIC-8_3.9x4.9mm_P1.27mm", "LM358"},
    {"C1", 0.5, 0.25, 270.0, false, "C_0603_1608Metric", "100n"},
};

TEST(Placement, EachToolsFileLandsOnTheSamePositions) {
    struct Row {
        const char* name;
        std::string text;
        const char* format;
        bool hasPackage; // JLCPCB's CPL names no package
    };
    const std::vector<Row> rows{
        {"KiCad .pos",
         "### Footprint positions - created on 2026-01-01 ###\n"
         "### Printed by KiCad version 8.0.1\n"
         "## Unit = mm, Angle = deg.\n"
         "## Side : all\n"
         "# Ref     Val       Package                    PosX       PosY       Rot  Side\n"
         "R1        10k       R_0805_2012Metric       25.4000    12.7000    90.0000  top\n"
         "U1        LM358     SOIC-8_3.9x4.9mm_P1.27mm  50.8000   38.1000  180.0000  bottom\n"
         "C1        \"100n\"    C_0603_1608Metric       12.7000     6.3500   270.0000  top\n"
         "## End\n",
         "KiCad .pos", true},
        {"KiCad CSV, CRLF",
         "Ref,Val,Package,PosX,PosY,Rot,Side\r\n"
         "\"R1\",\"10k\",\"R_0805_2012Metric\",25.4000,12.7000,90.0000,top\r\n"
         "\"U1\",\"LM358\",\"SOIC-8_3.9x4.9mm_P1.27mm\",50.8000,38.1000,180.0000,bottom\r\n"
         "\"C1\",\"100n\",\"C_0603_1608Metric\",12.7000,6.3500,270.0000,top\r\n",
         "KiCad CSV", true},
        {"Altium text, mil in the cells, free text before the header",
         "Altium Designer Pick and Place Locations\n"
         "C:\\Boards\\Project Outputs\\Pick Place for Board.txt\n"
         "\n"
         "========================================================================\n"
         "File Design Information:\n"
         "\n"
         "Date:       01.01.26\n"
         "Units used: mil\n"
         "\n"
         "Designator Footprint                 Mid X    Mid Y    Ref X    Ref Y    Pad X    Pad Y    Layer "
         "Rotation Comment\n"
         "\n"
         "R1         R_0805_2012Metric         1000mil  500mil   1000mil  500mil   960mil   500mil   T     "
         "90.00    10k\n"
         "U1         SOIC-8_3.9x4.9mm_P1.27mm  2000mil  1500mil  2000mil  1500mil  1950mil  1400mil  B     "
         "180.00   LM358\n"
         "C1         C_0603_1608Metric         500      250      500      250      470      250      T     "
         "270.00   100n\n",
         "Altium", true},
        {"Altium CSV, units in the header",
         "Altium Designer Pick and Place Locations\n"
         "\n"
         "\"Designator\",\"Comment\",\"Layer\",\"Footprint\",\"Center-X(mm)\",\"Center-Y(mm)\",\"Rotation\","
         "\"Description\"\n"
         "\"R1\",\"10k\",\"TopLayer\",\"R_0805_2012Metric\",\"25.4\",\"12.7\",\"90\",\"Resistor\"\n"
         "\"U1\",\"LM358\",\"BottomLayer\",\"SOIC-8_3.9x4.9mm_P1.27mm\",\"50.8\",\"38.1\",\"180\",\"Op "
         "amp\"\n"
         "\"C1\",\"100n\",\"TopLayer\",\"C_0603_1608Metric\",\"12.7\",\"6.35\",\"270\",\"\"\n",
         "Altium", true},
        {"JLCPCB CPL, mm in some cells",
         "Designator,Mid X,Mid Y,Layer,Rotation\n"
         "R1,25.4mm,12.7mm,Top,90\n"
         "U1,50.8,38.1,Bottom,180\n"
         "C1,12.7 mm,6.35,Top,-90\n",
         "JLCPCB CPL", false},
    };
    for (const Row& row : rows) {
        const board::PlacementReading reading = board::ReadPlacement(row.text);
        EXPECT_EQ(reading.error, "") << row.name;
        EXPECT_EQ(reading.format, row.format) << row.name;
        EXPECT_TRUE(reading.errors.empty()) << row.name;
        std::vector<Placed> expected = kThree;
        if (!row.hasPackage)
            for (Placed& p : expected)
                p.libId = p.value = "";
        ExpectPlaced(reading, expected, row.name);
    }
}

// One KiCad CSV row with the given rotation and position cells.
std::string OneRow(const std::string& x, const std::string& rot, const std::string& side = "top") {
    return "Ref,Val,Package,PosX,PosY,Rot,Side\nR1,1k,R_0805," + x + ",0," + rot + "," + side + "\n";
}

TEST(Placement, RotationsAndLengthsReadAsWritten) {
    struct Row {
        const char* name;
        std::string x, rot;
        double inch, degrees;
    };
    const std::vector<Row> rows{
        {"0", "0", "0", 0.0, 0.0},
        {"90", "1", "90", 1.0 / 25.4, 90.0},
        {"180", "1", "180", 1.0 / 25.4, 180.0},
        {"270", "1", "270.0000", 1.0 / 25.4, 270.0},
        {"45", "1", "45", 1.0 / 25.4, 45.0},
        {"30", "1", "30", 1.0 / 25.4, 30.0},
        {"negative", "1", "-90", 1.0 / 25.4, 270.0},
        {"a full turn is none", "1", "360", 1.0 / 25.4, 0.0},
        {"more than a turn", "1", "-450.5", 1.0 / 25.4, 269.5},
        {"with deg", "1", "30 deg", 1.0 / 25.4, 30.0},
        {"inch in the cell", "2in", "0", 2.0, 0.0},
        {"mil in the cell", "2310mil", "0", 2.31, 0.0},
        {"cm in the cell", "2.54cm", "0", 1.0, 0.0},
        {"negative position", "-254", "0", -10.0, 0.0},
    };
    for (const Row& row : rows) {
        const board::PlacementReading reading = board::ReadPlacement(OneRow(row.x, row.rot));
        ASSERT_EQ(reading.footprints.size(), 1u) << row.name;
        EXPECT_NEAR(reading.footprints[0].x, row.inch, 1e-12) << row.name;
        EXPECT_EQ(reading.footprints[0].rotation, row.degrees) << row.name;
    }
}

TEST(Placement, OriginAndBareUnitMoveEveryPosition) {
    board::PlacementOptions options;
    options.originX = 1.0;
    options.originY = 0.5;
    options.bareLength = &board::kInch;
    const board::PlacementReading reading = board::ReadPlacement(
        "Designator,Mid X,Mid Y,Layer,Rotation\nR1,1.25,0.5,Top,0\nR2,25.4mm,0,Top,0\n", options);
    ExpectPlaced(reading, {{"R1", 0.25, 0.0, 0.0, false, "", ""}, {"R2", 0.0, -0.5, 0.0, false, "", ""}},
                 "origin");

    // KiCad's .pos in inches says so in its header; the option does not override it.
    const board::PlacementReading inches =
        board::ReadPlacement("## Unit = in, Angle = deg.\n# Ref Val Package PosX PosY Rot Side\n"
                             "J1 \"USB C\" USB_C_Receptacle 1.5 0.25 0 top\n");
    ExpectPlaced(inches, {{"J1", 1.5, 0.25, 0.0, false, "USB_C_Receptacle", "USB C"}}, "inch .pos");
}

TEST(Placement, ColumnMapReadsAnyTable) {
    std::string error;
    const auto map =
        board::ParseColumnMap("ref=Part, x=X (mm), y=Y (mm), rot=Angle, side=Face, package=Case", error);
    ASSERT_TRUE(map) << error;
    board::PlacementOptions options;
    options.columns = map;
    const board::PlacementReading reading =
        board::ReadPlacement("Part;Case;X (mm);Y (mm);Angle;Face\nQ1;SOT-23;2.54;5.08;45;bottom\n", options);
    EXPECT_EQ(reading.format, "columns");
    ExpectPlaced(reading, {{"Q1", 0.1, 0.2, 45.0, true, "SOT-23", ""}}, "map");

    // The same table without the map names no known column.
    EXPECT_NE(
        board::ReadPlacement("Part;Case;X (mm);Y (mm);Angle;Face\nQ1;SOT-23;2.54;5.08;45;bottom\n").error,
        "");

    struct Bad {
        const char* text;
        const char* message;
    };
    for (const Bad& bad : std::vector<Bad>{
             {"ref=Part,y=Y", "the column map must name ref, x and y"},
             {"ref=Part,x=X,y=Y,colour=C",
              "column map key 'colour' is not ref, x, y, rot, side, package or value"},
             {"ref=Part,x", "column map entry 'x' is not key=column"},
             {"ref=,x=X,y=Y", "column map key 'ref' names no column"},
         }) {
        std::string message;
        EXPECT_FALSE(board::ParseColumnMap(bad.text, message)) << bad.text;
        EXPECT_EQ(message, bad.message) << bad.text;
    }
}

TEST(Placement, BadRowsAreErrorsAtTheirLines) {
    const std::string text = "Ref,Val,Package,PosX,PosY,Rot,Side\n"
                             "R1,1k,R_0805,1,2,0,top\n"
                             ",1k,R_0805,1,2,0,top\n"
                             "R2,1k,R_0805,one,2,0,top\n"
                             "R3,1k,R_0805,1,2 furlongs,0,top\n"
                             "R4,1k,R_0805,1,2,north,top\n"
                             "R5,1k,R_0805,1,2,0,middle\n"
                             "R1,1k,R_0805,1,2,0,top\n"
                             "\n"
                             "R6,1k,R_0805,1,2,0,top,extra\n"
                             "R7,1k,R_0805,1,,0,top\n"
                             "R8,1k,R_0805,1,2,nan,top\n"
                             "R9,1k,R_0805,1,2,0,bottom\n";
    struct Expected {
        std::size_t line;
        const char* message;
    };
    const std::vector<Expected> expected{
        {3, "no ref"},
        {4, "x 'one' is not a length (a number, mm, in or mil)"},
        {5, "y '2 furlongs' is not a length (a number, mm, in or mil)"},
        {6, "rotation 'north' is not an angle in degrees"},
        {7, "side 'middle' is not top or bottom"},
        {8, "ref 'R1' is on an earlier row"},
        {10, "the row has 8 cells, the header 7"},
        {11, "no y"},
        {12, "rotation 'nan' is not an angle in degrees"},
    };
    const board::PlacementReading reading = board::ReadPlacement(text);
    ASSERT_EQ(reading.errors.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reading.errors[i].line, expected[i].line);
        EXPECT_EQ(reading.errors[i].message, expected[i].message);
    }
    ASSERT_EQ(reading.footprints.size(), 2u);
    EXPECT_EQ(reading.footprints[0].line, 2u);
    EXPECT_EQ(reading.footprints[1].ref, "R9");
    EXPECT_EQ(reading.footprints[1].line, 13u);
}

TEST(Placement, UnusableFilesSayWhy) {
    struct Row {
        const char* name;
        std::string text;
        const char* contains;
    };
    const std::vector<Row> rows{
        {"empty", "", "no header row"},
        {"a bill of materials", "Name,Qty,Footprint\nR1,2,R_0805\n", "no header row"},
        {"unknown unit", "## Unit = furlong, Angle = deg.\n# Ref Val Package PosX PosY Rot Side\n",
         "line 1: the file's unit 'furlong' is not mm, in or mil"},
    };
    for (const Row& row : rows) {
        const board::PlacementReading reading = board::ReadPlacement(row.text);
        EXPECT_NE(reading.error.find(row.contains), std::string::npos) << row.name << ": " << reading.error;
        EXPECT_TRUE(reading.footprints.empty() && reading.errors.empty()) << row.name;
    }
}

// KiCad's "negative X for the bottom side" writes the bottom mirrored: such a file is refused, while a
// board whose origin lies right of every part (all X negative) is read as it stands.
TEST(Placement, MirroredBottomIsRefused) {
    const std::string header = "## Unit = mm, Angle = deg.\n# Ref Val Package PosX PosY Rot Side\n";
    struct Row {
        const char* name;
        std::string text;
        bool refused;
    };
    const std::vector<Row> rows{
        {"bottom negated, top positive",
         header + "R1 1k R_0805 10 5 0 top\nR2 1k R_0805 -20 5 0 bottom\nR3 1k R_0805 -30 5 0 bottom\n",
         true},
        {"bottom only, negated", header + "R2 1k R_0805 -20 5 0 bottom\n", true},
        {"KiCad CSV too", "Ref,Val,Package,PosX,PosY,Rot,Side\nR1,1k,R,10,5,0,top\nR2,1k,R,-20,5,0,bottom\n",
         true},
        {"origin on the right", header + "R1 1k R_0805 -10 5 0 top\nR2 1k R_0805 -20 5 0 bottom\n", false},
        {"one bottom part left of the origin",
         header + "R1 1k R_0805 10 5 0 top\nR2 1k R_0805 -20 5 0 bottom\nR3 1k R_0805 20 5 0 bottom\n",
         false},
        {"top only", header + "R1 1k R_0805 10 5 0 top\n", false},
    };
    for (const Row& row : rows) {
        const board::PlacementReading reading = board::ReadPlacement(row.text);
        EXPECT_EQ(reading.error.find("negated") != std::string::npos, row.refused) << row.name;
        EXPECT_EQ(reading.footprints.empty(), row.refused) << row.name;
    }
}

} // namespace
