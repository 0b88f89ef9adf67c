// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/displacement.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace calc {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

// Same bits: tells -0 from 0 and compares NaN with NaN.
::testing::AssertionResult SameBits(double actual, double expected) {
    if (std::bit_cast<std::uint64_t>(actual) == std::bit_cast<std::uint64_t>(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hexfloat << actual << " is not " << expected;
}

// The C library's text for one double, the oracle for ResultText and ConstantText.
std::string Printf(const char* format, double v) {
    char buf[512];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Rows 1-5 are worked examples; the last one tells the stated order, (B × 0.00022) / (((√L × C) × r) × h),
// from C·h·r·√L. `bits` is the IEEE double that order gives, bit for bit.
struct FormulaRow {
    const char* name;
    double B, h, L, C, r;
    std::uint64_t bits;
    double approx;
    const char* text;
} const kFormula[] = {
    {"Overview", 6, 0.062, 1, 1.0, 1.0, 0x3F95CD215CD215CD, 0.02129032258, "     0.0213 "},
    {"DipHalfX", 8, 0.093, 2, 1.26, 0.707, 0x3F8EC3CCCE1CB5AE, 0.0150218964, "      0.015 "},
    {"AllOnes", 1, 1, 1, 1, 1, 0x3F2CD5F99C38B04B, 0.00022, "    0.00022 "},
    {"LargeZ", 1000, 0.01, 0.01, 0.75, 0.5, 0x4082555555555555, 586.6666667, "        587 "},
    {"TinyZ", 0.001, 0.5, 100, 2.25, 1.0, 0x3E54FF63E2DA22B6, 1.955555556e-08, "   1.96e-08 "},
    {"OrderSensitive", 8, 0.093, 3, 1.75, 0.707, 0x3F8216018479A6E3, 0.008831035476, "    0.00883 "},
};

TEST(RelativeDisplacementLimit, WorkedRows) {
    for (const FormulaRow& row : kFormula) {
        SCOPED_TRACE(row.name);
        const double z = RelativeDisplacementLimit(row.B, row.h, row.L, row.C, row.r);
        EXPECT_TRUE(SameBits(z, std::bit_cast<double>(row.bits)));
        EXPECT_NEAR(z, row.approx, row.approx * 1e-9);
        EXPECT_EQ(ResultText(z), row.text);
    }
}

const double kJustBelow = std::nextafter(0.0001, 0.0); // rounds to 1.00e-04: still fixed form
const double kResultValues[] = {0.0001, kJustBelow, 0.000099995, 0.0000999, 0.00099995, 0.0213, 9.995,
                                1.125,  1.375,      999.4,       999.5,     1000,       1005,   1025,
                                1e5,    123456789,  1e-300,      5e-324,    1e300,      kMax,   0.0,
                                -0.0,   -1.5,       kInf,        -kInf,     kNaN};

const double kConstantValues[] = {0.75,  1.0,   1.26,  2.25, 1.75,    0.0,   -0.0, 123.456, 1e7, 0.125,
                                  0.375, 0.005, 2.675, -1.5, 999.995, 1e300, kMax, kInf,    kNaN};

TEST(NumberTexts, MatchCLibraryInCLocale) {
    for (double v : kResultValues) {
        SCOPED_TRACE(::testing::Message() << v);
        EXPECT_EQ(ResultText(v), Printf("%11.3g ", v));
    }
    for (double v : kConstantValues) {
        SCOPED_TRACE(::testing::Message() << v);
        EXPECT_EQ(ConstantText(v), Printf("C = %6.2lf ", v));
    }
}

struct FieldRow {
    const char* name;
    std::string_view text;
    double expected;
};

const std::string kHalfwayPlus = "9007199254740993." + std::string(982, '0') + "1"; // 1000 digits
const std::string kThirds = "0." + std::string(999, '3');

// clang-format off
const FieldRow kFields[] = {
    {"Plain", "6", 6}, {"LeadingBlanks", "  6", 6}, {"AllWhiteSpace", " \t\n\v\f\r6", 6}, {"Plus", "+6", 6},
    {"Minus", "-6", -6}, {"NoIntegerPart", ".5", 0.5}, {"NoFraction", "5.", 5}, {"DotOnly", ".", 0},
    {"SignOnly", "-", 0}, {"SignDotExp", "+.5e1", 5}, {"BareE", "1e", 1}, {"ESignOnly", "1e+", 1},
    {"ExpThenText", "1e-3xyz", 0.001}, {"CapitalE", "2.5E-1", 0.25}, {"Unit", "6 in", 6},
    {"UnitWord", "2 inch", 2}, {"Letters", "abc", 0}, {"Empty", "", 0}, {"Blank", " ", 0}, {"Hex", "0x1A", 0},
    {"Inf", "inf", 0}, {"NaN", "nan", 0}, {"Infinity", "infinity", 0}, {"Overflow", "1e999", kInf},
    {"NegOverflow", "-1e999", -kInf}, {"Underflow", "1e-400", 0}, {"Subnormal4.9e-324", "4.9e-324", 5e-324},
    {"Subnormal1e-310", "1e-310", std::strtod("1e-310", nullptr)}, {"Thickness", "0.062", 0.062},
    {"Comma", "1,5", 1}, {"LeadingZeros", "00012", 12}, {"NegativeZero", "-0", -0.0},
    {"TwoDots", "1.2.3", 1.2}, {"SpaceAfterSign", "- 6", 0}, {"SpaceBeforeExp", "1 e5", 1},
    {"NulFirst", std::string_view("\0006", 2), 0}, {"NotTerminated", std::string_view("1234", 2), 12},
    {"ExpNotTerminated", std::string_view("1e5", 2), 1}, {"LongThirds", kThirds, 1.0 / 3.0},
    {"LongRoundsUp", kHalfwayPlus, 9007199254740994.0},
    {"LongTieToEven", std::string_view(kHalfwayPlus).substr(0, 17), 9007199254740992.0},
};
// clang-format on

TEST(FieldValue, Grammar) {
    for (const FieldRow& row : kFields) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(SameBits(FieldValue(row.text), row.expected));
    }
}

// Switches the process to a German locale (decimal comma) for one test, and back to "C" after. The
// locale's name is the C library's: glibc's, else that of the Windows C runtime.
class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
            std::setlocale(LC_ALL, "German_Germany.1252") == nullptr)
            GTEST_SKIP() << "no German locale is installed";
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.1f", 1.5);
        ASSERT_STREQ(buf, "1,5") << "the locale switch had no effect";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(GermanLocale, TextsKeepThePoint) {
    EXPECT_EQ(ResultText(0.0212903), "     0.0213 ");
    EXPECT_EQ(ResultText(1.96e-8), "   1.96e-08 ");
    EXPECT_EQ(ConstantText(1.26), "C =   1.26 ");
    EXPECT_EQ(ConstantText(123.456), "C = 123.46 ");
}

TEST_F(GermanLocale, FieldsKeepThePoint) {
    EXPECT_EQ(FieldValue("0.062"), 0.062);
    EXPECT_EQ(FieldValue("1,5"), 1.0);
}

} // namespace
} // namespace calc
