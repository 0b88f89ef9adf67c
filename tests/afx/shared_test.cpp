// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// What the backends share and needs no window system: text copied out as the A calls copy it, dialog
// units in pixels, and the names assistive technology reads for a template's controls.
#include "ui/afx/afxbackend.h"
#include "ui/afx/afxlayout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(CopyOut, AtMostSizeLessOneBytesAndANul) {
    struct Row {
        const char* name;
        std::string text;
        std::size_t size;
        int copied;
        std::string result;
    };
    const std::vector<Row> rows = {
        {"fits with room", "abc", 8, 3, "abc"}, {"fits exactly with its NUL", "abc", 4, 3, "abc"},
        {"one byte short", "abc", 3, 2, "ab"},  {"room for the NUL only", "abc", 1, 0, ""},
        {"empty text", "", 4, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        char buffer[8];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(AfxCopyOut(row.text.data(), row.text.size(), buffer, row.size), row.copied);
        EXPECT_EQ(std::string(buffer), row.result);
        for (std::size_t i = row.size; i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], '#') << "written beyond the buffer at " << i;
    }
}

TEST(CopyOut, NoBufferTakesNothing) {
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(AfxCopyOut("abc", 3, nullptr, 4), 0);
    EXPECT_EQ(AfxCopyOut("abc", 3, buffer, 0), 0);
    EXPECT_EQ(buffer[0], '#');
}

// Windows' MulDiv rounds the exact quotient half away from zero ("MulDiv function", Microsoft
// Learn: "the result is rounded to the nearest integer").
TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
    struct Row {
        int value, numerator, denominator, result;
    };
    for (const Row& r : std::vector<Row>{{1, 1, 2, 1},
                                         {3, 1, 2, 2},
                                         {-1, 1, 2, -1},
                                         {-3, 1, 2, -2},
                                         {5, 6, 4, 8},
                                         {7, 13, 8, 11},
                                         {0, 13, 8, 0},
                                         {1, 1, 3, 0},
                                         {2'000'000, 3'000, 4, 1'500'000'000}}) {
        SCOPED_TRACE(std::to_string(r.value) + "*" + std::to_string(r.numerator) + "/" +
                     std::to_string(r.denominator));
        EXPECT_EQ(afx::MulDiv(r.value, r.numerator, r.denominator), r.result);
    }
}

// Microsoft Learn, "GetDialogBaseUnits" and "MapDialogRect": the average width is the width of the
// 52 letters over 26, halved and rounded; a horizontal dialog unit is a quarter of it, a vertical one
// an eighth of the font's height. MS Sans Serif 8 at 96 dpi: 6 × 13.
TEST(DialogUnits, BaseUnitsAndRectangles) {
    const afx::BaseUnits base = afx::DialogBaseUnits(311, 13); // 311 / 26 = 11, (11 + 1) / 2 = 6
    EXPECT_EQ(base.cx, 6);
    EXPECT_EQ(base.cy, 13);
    const afx::PixelBox box = afx::DialogUnitsToPixels(base, 4, 8, 40, 14);
    EXPECT_EQ(box.x, 6);
    EXPECT_EQ(box.y, 13);
    EXPECT_EQ(box.cx, 60);
    EXPECT_EQ(box.cy, 23); // 14 × 13 / 8 = 22.75
}

afx::DialogItemTemplate Item(afx::ControlClass cls, std::string text, short x, short y, short cx, short cy,
                             DWORD style = 0) {
    afx::DialogItemTemplate item;
    item.cls = cls;
    item.text = std::move(text);
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.style = style;
    return item;
}

TEST(AccessibleName, WhatNamesAControl) {
    using C = afx::ControlClass;
    struct Row {
        const char* name;
        std::vector<afx::DialogItemTemplate> items; // the last is the one named
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"a button by its text, access key dropped",
         {Item(C::Button, "&Calculate", 0, 0, 50, 14)},
         "Calculate"},
        {"an edit by the symbol of the label to its left",
         {Item(C::Static, "B =  ", 0, 2, 20, 8), Item(C::Edit, "", 24, 0, 40, 12)},
         "B"},
        {"an edit by the label above it",
         {Item(C::Static, "Span:  inches", 0, 0, 60, 8), Item(C::Edit, "", 0, 10, 40, 12)},
         "Span"},
        {"the nearer of two labels to the left",
         {Item(C::Static, "far", 0, 2, 10, 8), Item(C::Static, "h = ", 14, 2, 10, 8),
          Item(C::Edit, "", 26, 0, 40, 12)},
         "h"},
        {"a label too far away names nothing",
         {Item(C::Static, "B = ", 0, 2, 20, 8), Item(C::Edit, "", 40, 0, 40, 12)},
         ""},
        {"an edit without a label by its group box",
         {Item(C::Button, "Inputs", 0, 0, 200, 100, BS_GROUPBOX), Item(C::Edit, "", 60, 40, 40, 12)},
         "Inputs"},
        {"a list by the smallest group box around it",
         {Item(C::Button, "Outer", 0, 0, 300, 200, BS_GROUPBOX),
          Item(C::Button, "&Component", 10, 10, 200, 150, BS_GROUPBOX),
          Item(C::ListBox, "", 20, 30, 100, 80)},
         "Component"},
        {"a list without a group by its caption above",
         {Item(C::Static, "Mode", 0, 0, 40, 8), Item(C::ListBox, "", 0, 10, 100, 40)},
         "Mode"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        afx::DialogTemplate t;
        t.items = row.items;
        EXPECT_EQ(afx::AccessibleName(t, t.items.size() - 1), row.expected);
    }
}

} // namespace
