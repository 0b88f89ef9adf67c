// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/tables.h"

#include "calc/displacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <string>

namespace calc {
namespace {

TEST(Tables, ConstantModes) {
    EXPECT_STREQ(ConstantModeTexts[kModeManual], "Enter constant manually");
    EXPECT_STREQ(ConstantModeTexts[kModeComponent], "Select component from list");
}

const ComponentRow kComponents[] = {
    {"Resistor (axial lead or surface mount)", "Resistor (axial lead or surface mount) ", "0.75", 0.75},
    {"Capacitor (axial lead or surface mount)", "Capacitor (axial lead or surface mount) ", "0.75", 0.75},
    {"Diode (axial lead or surface mount)", "Diode (axial lead or surface mount) ", "0.75", 0.75},
    {"Standard DIP", "Standard DIP ", "1.0", 1.0},
    {"DIP with side-brazed lead wires", "DIP with side-brazed lead wires ", "1.26", 1.26},
    {"Through-hole PGA", "Through-hole PGA ", "1.0", 1.0},
    {"Surface-mounted LCCC with castellations", "Surface-mounted LCCC with castellations ", "2.25", 2.25},
    {"Surface-mounted LCCC with J wires", "Surface-mounted LCCC with J wires ", "1.26", 1.26},
    {"Surface-mounted BGA", "Surface-mounted BGA ", "1.75", 1.75},
    {"Fine-pitch surface mount axial lead with bonded corners",
     "Fine-pitch surface mount axial lead with bonded corners ", "0.75", 0.75},
    {"Any component with two parallel rows of wires", "Component with two parallel rows of wires ", "1.26",
     1.26},
};

TEST(Tables, Components) {
    ASSERT_EQ(ComponentTable.size(), std::size(kComponents));
    for (std::size_t i = 0; i < ComponentTable.size(); ++i) {
        const ComponentRow& row = ComponentTable[i];
        const ComponentRow& want = kComponents[i];
        SCOPED_TRACE(want.listText);
        EXPECT_STREQ(row.listText, want.listText);
        EXPECT_STREQ(row.description, want.description);
        EXPECT_STREQ(row.cText, want.cText);
        EXPECT_EQ(row.c, want.c);
        const std::string list = row.listText, description = row.description;
        EXPECT_NE(list.back(), ' ');
        EXPECT_TRUE(description.ends_with(" ") && !description.ends_with("  "));
        ASSERT_NE(ComponentAt(static_cast<int>(i)), nullptr);
        EXPECT_STREQ(ComponentAt(static_cast<int>(i))->listText, want.listText);
    }
}

TEST(Tables, PositionFactors) {
    const PositionRow want[] = {
        {"1.00  Center", 1.0}, {"0.707  Half X.  Quarter Y.", 0.707}, {"0.50  Quarter X.  Quarter Y.", 0.5}};
    ASSERT_EQ(PositionFactorTable.size(), std::size(want));
    for (std::size_t i = 0; i < PositionFactorTable.size(); ++i) {
        SCOPED_TRACE(want[i].text);
        EXPECT_STREQ(PositionFactorTable[i].text, want[i].text);
        EXPECT_EQ(PositionFactorTable[i].r, want[i].r);
        ASSERT_NE(PositionAt(static_cast<int>(i)), nullptr);
        EXPECT_EQ(PositionAt(static_cast<int>(i))->r, want[i].r);
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
