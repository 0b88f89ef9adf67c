// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/tables.h"

#include "calc/displacement.h"
#include "calc/evaluation.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <set>
#include <string>

namespace calc {
namespace {

// The constant-mode list as the user sees it, each mode on its own row.
TEST(Tables, ConstantModes) {
    EXPECT_STREQ(ConstantModeTexts[kModeManual], "Enter constant manually");
    EXPECT_STREQ(ConstantModeTexts[kModeComponent], "Select component from list");
}

// What every component row must satisfy: C is what the field rule makes of the text the row writes
// into the C field, and lies in the typical range, so that choosing a kind never warns; the
// description, shown once the row is chosen, names the kind as its list text does (the list text
// or its end, "Any component …" being described as "Component …") and ends with one blank; the
// list names each kind once, with no trailing blank.
TEST(Tables, EveryComponentRowIsConsistent) {
    std::set<std::string> kinds;
    for (std::size_t i = 0; i < ComponentTable.size(); ++i) {
        const ComponentRow& row = ComponentTable[i];
        const std::string list = row.listText, description = row.description;
        SCOPED_TRACE(list);
        EXPECT_EQ(row.c, FieldValue(row.cText)) << row.cText;
        EXPECT_FALSE(NeedsRangeWarning(row.c));
        EXPECT_TRUE(kinds.insert(list).second) << "listed twice";
        ASSERT_FALSE(list.empty());
        EXPECT_NE(list.back(), ' ');
        ASSERT_TRUE(description.ends_with(" ") && !description.ends_with("  ")) << '"' << description << '"';
        std::string named = description.substr(0, description.size() - 1);
        ASSERT_FALSE(named.empty());
        ASSERT_TRUE(list.ends_with(named.substr(1))) << '"' << description << '"';
        const std::size_t start = list.size() - named.size();
        EXPECT_EQ(std::tolower(static_cast<unsigned char>(named[0])),
                  std::tolower(static_cast<unsigned char>(list[start])))
            << '"' << description << '"';
        EXPECT_TRUE(start == 0 || list[start - 1] == ' ') << '"' << description << '"';
        EXPECT_EQ(ComponentAt(static_cast<int>(i)), &row);
    }
}

// Steinberg's component constants C (D. S. Steinberg, Vibration Analysis for Electronic Equipment,
// 3rd ed., Wiley 2000, the constants of the relative displacement criterion), each kind with the
// text the user sees in the component list.
struct PublishedConstant {
    const char* kind;
    double c;
} const kPublishedConstants[] = {
    {"Resistor (axial lead or surface mount)", 0.75},
    {"Capacitor (axial lead or surface mount)", 0.75},
    {"Diode (axial lead or surface mount)", 0.75},
    {"Standard DIP", 1.0},
    {"DIP with side-brazed lead wires", 1.26},
    {"Through-hole PGA", 1.0},
    {"Surface-mounted LCCC with castellations", 2.25},
    {"Surface-mounted LCCC with J wires", 1.26},
    {"Surface-mounted BGA", 1.75},
    {"Fine-pitch surface mount axial lead with bonded corners", 0.75},
    {"Any component with two parallel rows of wires", 1.26},
};

TEST(Tables, TheComponentListIsSteinbergsKindsInOrder) {
    ASSERT_EQ(ComponentTable.size(), std::size(kPublishedConstants));
    for (std::size_t i = 0; i < ComponentTable.size(); ++i) {
        SCOPED_TRACE(kPublishedConstants[i].kind);
        EXPECT_STREQ(ComponentTable[i].listText, kPublishedConstants[i].kind);
        EXPECT_EQ(ComponentTable[i].c, kPublishedConstants[i].c);
    }
}

// Steinberg's relative position factors r (same source): 1 at the board's centre, 0.707 at half the
// length and a quarter of the width, 0.5 at a quarter of each. Each row's text starts with its r.
struct PublishedPosition {
    const char* text;
    double r;
} const kPublishedPositions[] = {
    {"1.00  Center", 1.0},
    {"0.707  Half X.  Quarter Y.", 0.707},
    {"0.50  Quarter X.  Quarter Y.", 0.5},
};

TEST(Tables, ThePositionListIsSteinbergsFactorsInOrder) {
    ASSERT_EQ(PositionFactorTable.size(), std::size(kPublishedPositions));
    for (std::size_t i = 0; i < PositionFactorTable.size(); ++i) {
        const PositionRow& row = PositionFactorTable[i];
        SCOPED_TRACE(kPublishedPositions[i].text);
        EXPECT_STREQ(row.text, kPublishedPositions[i].text);
        EXPECT_EQ(row.r, kPublishedPositions[i].r);
        const std::string text = row.text;
        EXPECT_EQ(FieldValue(text.substr(0, text.find(' '))), row.r);
        EXPECT_EQ(PositionAt(static_cast<int>(i)), &row);
    }
}

TEST(Tables, IndexOutsideTheListIsNoRow) {
    for (int index : {-1, INT_MIN, INT_MAX, static_cast<int>(ComponentTable.size())}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ComponentAt(index), nullptr);
        EXPECT_EQ(PositionAt(index), nullptr);
    }
    EXPECT_EQ(PositionAt(static_cast<int>(PositionFactorTable.size())), nullptr);
}

} // namespace
} // namespace calc
