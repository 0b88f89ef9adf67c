// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/displacement.h"
#include "calc/evaluation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace calc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct CheckRow {
    const char* name;
    bool (*check)(double);
    double value;
    bool expected;
};

TEST(Checks, RangeAndThicknessWarnings) {
    const CheckRow rows[] = {
        {"RangeLow", NeedsRangeWarning, 0.75, false},
        {"RangeHigh", NeedsRangeWarning, 2.25, false},
        {"RangeOne", NeedsRangeWarning, 1.0, false},
        {"RangeBelowLow", NeedsRangeWarning, std::nextafter(0.75, 0.0), true},
        {"RangeAboveHigh", NeedsRangeWarning, std::nextafter(2.25, 3.0), true},
        {"RangeZero", NeedsRangeWarning, 0.0, true},
        {"RangeNegativeZero", NeedsRangeWarning, -0.0, true},
        {"RangeNaN", NeedsRangeWarning, kNaN, true},
        {"RangeInfinity", NeedsRangeWarning, kInf, true},
        {"ThicknessAtLimit", NeedsThicknessWarning, 0.5, false},
        {"ThicknessAbove", NeedsThicknessWarning, 0.51, true},
        {"ThicknessNaN", NeedsThicknessWarning, kNaN, false},
        {"ThicknessInfinity", NeedsThicknessWarning, kInf, true},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.check(row.value), row.expected);
    }
}

TEST(Checks, AllPositive) {
    EXPECT_TRUE(AllPositive(1, 1, 6, 0.062, 1));
    EXPECT_TRUE(AllPositive(kInf, kInf, kInf, kInf, kInf));
    for (double bad : {0.0, -0.0, -1.0, kNaN}) {
        for (int position = 0; position < 5; ++position) { // L, C, B, h, r
            SCOPED_TRACE(::testing::Message() << bad << " at position " << position);
            double v[5] = {1, 1, 6, 0.062, 1};
            v[position] = bad;
            EXPECT_FALSE(AllPositive(v[0], v[1], v[2], v[3], v[4]));
        }
    }
}

using enum Message;

struct EvaluateRow {
    const char* name;
    Readings in; // L, C, B, h, r
    bool checkRange;
    std::vector<Message> messages;
    const char* resultText; // nullptr: the calculation fails
};

const EvaluateRow kEvaluations[] = {
    {"Overview", {1, 1, 6, 0.062, 1}, true, {}, "     0.0213 "},
    {"ManualCBelowRange", {1, 0.5, 6, 0.062, 1}, true, {RangeWarning}, "     0.0426 "},
    {"ManualCBlank", {1, 0, 6, 0.062, 1}, true, {RangeWarning, InputError}, nullptr},
    {"ManualCNaN", {1, kNaN, 6, 0.062, 1}, true, {RangeWarning, InputError}, nullptr},
    {"CAtLow", {1, 0.75, 6, 0.062, 1}, true, {}, "     0.0284 "},
    {"CAtHigh", {1, 2.25, 6, 0.062, 1}, true, {}, "    0.00946 "},
    {"ThicknessAtLimit", {1, 1, 6, 0.5, 1}, true, {}, "    0.00264 "},
    {"ThicknessHigh", {1, 1, 6, 0.51, 1}, true, {ThicknessWarning}, "    0.00259 "},
    {"ThicknessHighAndNoLength", {0, 1, 6, 0.6, 1}, true, {ThicknessWarning, InputError}, nullptr},
    {"ListCLow", {1, 0.75, 6, 0.062, 1}, false, {}, "     0.0284 "},
    {"ListCHigh", {1, 2.25, 6, 0.062, 1}, false, {}, "    0.00946 "},
    {"ListCOutOfRange", {1, 0.5, 6, 0.062, 1}, false, {}, "     0.0426 "},
    {"ListCZero", {1, 0, 6, 0.062, 1}, false, {InputError}, nullptr},
    {"AllThree", {1, 3, 0, 0.6, 1}, true, {RangeWarning, ThicknessWarning, InputError}, nullptr},
    {"NegativeR", {1, 1, 6, 0.062, -1}, true, {InputError}, nullptr},
    {"ZInfinite", {1, 1, FieldValue("1e999"), 0.062, 1}, true, {InputError}, nullptr},
    {"ZOverflows", {1, 1, 1e300, 1e-300, 1}, true, {InputError}, nullptr},
    {"ZUnderflows", {1, 1, 1e-300, 1e300, 1}, true, {ThicknessWarning, InputError}, nullptr},
    {"ZNaN", {1, 1, kInf, kInf, 1}, true, {ThicknessWarning, InputError}, nullptr},
    {"ZSubnormal", {1, 1, 1e-300, 1e10, 1}, true, {ThicknessWarning}, "   2.2e-314 "},
};

TEST(Evaluate, MessagesAndResult) {
    for (const EvaluateRow& row : kEvaluations) {
        SCOPED_TRACE(row.name);
        const Evaluation e = Evaluate(row.in, row.checkRange);
        EXPECT_EQ(std::vector<Message>(e.Messages().begin(), e.Messages().end()), row.messages);
        EXPECT_EQ(e.succeeded, row.resultText != nullptr);
        EXPECT_EQ(e.resultText, row.resultText ? row.resultText : "");
    }
}

} // namespace
} // namespace calc
