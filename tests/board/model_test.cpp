// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The board's physics against published values: plate frequencies, Miles' equation, the NAVMAT profile,
// the life rule and the required frequency.
#include "board/plate.h"
#include "board/psd.h"
#include "board/response.h"
#include "board/text.h"
#include "board/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using board::kGravity;
using board::kPi;

constexpr double kRelative = 1e-12;

::testing::AssertionResult Near(double actual, double expected, double relative = kRelative) {
    if (std::abs(actual - expected) <= relative * std::abs(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << board::FormatNumber(actual) << " is not within " << relative
                                         << " of " << board::FormatNumber(expected);
}

// The frequency parameter λ = ω·a²·√(ρ/D) of a plate, which tables of plate modes list.
double Lambda(const board::Plate& plate, board::Supports supports) {
    const double rho = plate.weight / (kGravity * plate.a * plate.b);
    return 2.0 * kPi * board::PlateFrequency(plate, supports) * plate.a * plate.a *
           std::sqrt(rho / board::FlexuralRigidity(plate));
}

// Leissa, "Vibration of Plates" (NASA SP-160, 1969), the square plate's first mode: λ = 2π² = 19.7392
// with all edges simply supported, 35.992 with all edges clamped.
TEST(PlateFrequency, SquareSimplySupportedIsTheExactFirstMode) {
    const board::Plate square{8.0, 8.0, 0.062, 0.9};
    EXPECT_TRUE(Near(Lambda(square, board::Supports::Simple), 19.7392, 1e-5));
}

TEST(PlateFrequency, SquareClampedIsRayleighsEstimateAboutThreePercentHigh) {
    const board::Plate square{8.0, 8.0, 0.062, 0.9};
    const double ratio = Lambda(square, board::Supports::Clamped) / 35.992;
    EXPECT_GT(ratio, 1.03);
    EXPECT_LT(ratio, 1.04);
}

TEST(PlateFrequency, FollowsThePlateLaws) {
    // fn ∝ √(D/ρ) ∝ √(h³/W): twice the thickness raises it by 2^1.5; four times the weight halves it; the
    // two edges may be swapped; clamping stiffens.
    const board::Plate base{9.0, 7.0, 0.08, 1.2};
    for (board::Supports s : {board::Supports::Simple, board::Supports::Clamped}) {
        board::Plate thick = base;
        thick.h *= 2.0;
        board::Plate heavy = base;
        heavy.weight *= 4.0;
        const board::Plate turned{7.0, 9.0, 0.08, 1.2};
        const double fn = board::PlateFrequency(base, s);
        EXPECT_TRUE(Near(board::PlateFrequency(thick, s), std::pow(2.0, 1.5) * fn));
        EXPECT_TRUE(Near(board::PlateFrequency(heavy, s), fn / 2.0));
        EXPECT_TRUE(Near(board::PlateFrequency(turned, s), fn));
    }
    EXPECT_GT(board::PlateFrequency(base, board::Supports::Clamped),
              board::PlateFrequency(base, board::Supports::Simple));
}

// NAVMAT P-9492's random screen is quoted as 6.06 G rms. Its falling segment has a slope of exactly −1 on
// log-log axes (0.04·350 = 0.007·2000), where the area is P·f·ln(f2/f1).
TEST(Psd, NavmatIs606GrmsWithTheLogarithmicSegmentExact) {
    const board::Psd& navmat = board::Navmat();
    EXPECT_EQ(board::FormatSignificant(navmat.Grms(), 3), "6.06");
    const double area = 0.01 / 20.0 * (80.0 * 80.0 - 20.0 * 20.0) / 2.0 + 0.04 * (350.0 - 80.0) +
                        0.04 * 350.0 * std::log(2000.0 / 350.0);
    EXPECT_TRUE(Near(navmat.Grms(), std::sqrt(area), 1e-14));
}

TEST(Psd, InterpolatesOnLogLogAxes) {
    const board::Psd& navmat = board::Navmat();
    struct Row {
        const char* name;
        double hz;
        double level;
    };
    const std::vector<Row> rows{
        {"breakpoint exactly", 80.0, 0.04},
        {"band's foot", 20.0, 0.01},
        {"band's top", 2000.0, 0.007},
        {"+3 dB/octave: one octave above 20 Hz", 40.0, 0.02},
        {"flat", 200.0, 0.04},
        {"-3 dB/octave: 700 Hz", 700.0, 0.02},
    };
    for (const Row& row : rows)
        EXPECT_TRUE(Near(navmat.At(row.hz), row.level, 1e-14)) << row.name;
}

TEST(Psd, FlatProfileAreaIsLevelTimesBandwidth) {
    std::string error;
    const auto flat = board::Psd::Make({{20.0, 0.04}, {2000.0, 0.04}}, error);
    ASSERT_TRUE(flat) << error;
    EXPECT_TRUE(Near(flat->Grms(), std::sqrt(0.04 * 1980.0)));
}

// Miles' equation and the displacement it implies, in the form NASA GSFC's FEMCI notes give it
// (Simmons, "Miles' Equation", 2001): Y_rms = √(Q·ASD / (32·π³·fn³)) in g·s², times g for inches.
TEST(Miles, ResponseMatchesTheDisplacementForm) {
    const board::Transmissibility q;
    for (double fn : {20.0, 68.157, 200.0, 350.0, 1999.0}) {
        const board::Response r = board::MilesResponse(fn, q, board::Navmat());
        const double psd = board::Navmat().At(fn);
        EXPECT_TRUE(Near(r.grms, std::sqrt(kPi / 2.0 * fn * std::sqrt(fn) * psd))) << fn;
        EXPECT_TRUE(
            Near(r.z1sigma, kGravity * std::sqrt(r.q * psd / (32.0 * kPi * kPi * kPi * fn * fn * fn))))
            << fn;
        EXPECT_EQ(r.z3sigma, 3.0 * r.z1sigma);
    }
}

// Steinberg's rule of thumb for a resonant board: displacement (inch) = 9.8·G / fn².
TEST(Miles, DisplacementIsSteinbergsNinePointEightRule) {
    const board::Response r = board::MilesResponse(300.0, {}, board::Navmat());
    EXPECT_EQ(board::FormatSignificant(r.z1sigma * 300.0 * 300.0 / r.grms, 2), "9.8");
}

// The life is anchored at 2×10⁷ cycles where the board's 3σ displacement equals the allowable Z, and
// grows with the ratio to the power 6.4: with Steinberg's exponent for leads and solder joints, halving
// the displacement multiplies the life by some 84.
TEST(Life, AnchoredAtTwentyMillionCyclesWithExponentSixPointFour) {
    EXPECT_EQ(board::LifeCycles(0.02, 0.02), 2.0e7);
    EXPECT_EQ(board::FormatSignificant(board::LifeCycles(0.02, 0.01) / 2.0e7, 2), "84");
    EXPECT_TRUE(Near(board::LifeCycles(0.04, 0.02) / board::LifeCycles(0.02, 0.02), std::pow(2.0, 6.4)));
    EXPECT_TRUE(Near(board::LifeCycles(0.01, 0.02), 2.0e7 / std::pow(2.0, 6.4)));
    // 2×10⁷ cycles at 200 Hz is 100 000 s.
    EXPECT_TRUE(Near(board::LifeHours(2.0e7, 200.0), 1.0e5 / 3600.0));
}

// With Q = √f and a flat profile Z3σ = 3g/(4π²)·√(π/2·P)·f^−1.25, so the board needs
// f = (3g/(4π²)·√(π/2·P)/Z)^0.8.
TEST(RequiredFrequency, FlatProfileClosedForm) {
    std::string error;
    const auto flat = board::Psd::Make({{20.0, 0.04}, {2000.0, 0.04}}, error);
    ASSERT_TRUE(flat);
    for (double z : {0.005, 0.01, 0.0222, 0.05}) {
        const double expected =
            std::pow(3.0 * kGravity / (4.0 * kPi * kPi) * std::sqrt(kPi / 2.0 * 0.04) / z, 0.8);
        const auto f = board::RequiredFrequency(z, {}, *flat);
        ASSERT_TRUE(f) << z;
        EXPECT_TRUE(Near(*f, expected)) << z;
    }
}

TEST(RequiredFrequency, EdgesOfTheBand) {
    std::string error;
    const auto flat = board::Psd::Make({{20.0, 0.04}, {2000.0, 0.04}}, error);
    ASSERT_TRUE(flat);
    EXPECT_FALSE(board::RequiredFrequency(1e-6, {}, *flat)) << "the top of the band fails";
    EXPECT_EQ(board::RequiredFrequency(10.0, {}, *flat), 20.0) << "the whole band passes";
}

// On any profile the answer is where Z3σ meets the allowable Z, and above it Z3σ stays within it.
TEST(RequiredFrequency, IsTheLowestFrequencyFromWhichEveryHigherOnePasses) {
    std::string error;
    // A profile whose response rises again at the top: Z3σ is not monotonic over the band.
    const auto bumpy =
        board::Psd::Make({{20.0, 0.01}, {100.0, 0.05}, {300.0, 0.002}, {1000.0, 2.0}, {2000.0, 2.0}}, error);
    ASSERT_TRUE(bumpy) << error;
    for (const board::Psd* psd : {&board::Navmat(), &*bumpy}) {
        for (double z : {0.0005, 0.002, 0.005, 0.02}) {
            for (board::Transmissibility q :
                 {board::Transmissibility{},
                  board::Transmissibility{board::Transmissibility::Rule::Fixed, 12.0}}) {
                const auto f = board::RequiredFrequency(z, q, *psd);
                auto z3 = [&](double hz) { return board::MilesResponse(hz, q, *psd).z3sigma; };
                if (!f) {
                    EXPECT_GT(z3(psd->High()), z);
                    continue;
                }
                if (*f > psd->Low()) {
                    EXPECT_TRUE(Near(z3(*f), z, 1e-9)) << "z " << z << " f " << *f;
                }
                for (double hz = *f; hz <= psd->High(); hz *= 1.01)
                    EXPECT_LE(z3(hz), z * (1 + 1e-9)) << "z " << z << " at " << hz;
                if (*f > psd->Low()) {
                    EXPECT_GT(z3(*f * 0.999), z) << "z " << z << " just below " << *f;
                }
            }
        }
    }
}

TEST(Psd, ProfilesAreRefused) {
    struct Row {
        const char* name;
        const char* text;
        const char* error;
    };
    const std::vector<Row> rows{
        {"one breakpoint", "20:0.04", "a profile needs at least two breakpoints"},
        {"frequencies not increasing", "20:0.01,80:0.04,80:0.05",
         "frequencies must increase: 80 Hz follows 80 Hz"},
        {"frequencies falling", "100:0.01,50:0.04", "frequencies must increase: 50 Hz follows 100 Hz"},
        {"zero level", "20:0.01,80:0", "level 0 g^2/Hz at 80 Hz is not above 0"},
        {"negative level", "20:-0.01,80:0.04", "level -0.01 g^2/Hz at 20 Hz is not above 0"},
        {"zero frequency", "0:0.01,80:0.04", "frequency 0 Hz is not above 0"},
        {"no colon", "20 0.01,80:0.04", "breakpoint '20 0.01' is not FREQUENCY:LEVEL"},
        {"decimal comma", "20:0,01,80:0,04", "breakpoint '01' is not FREQUENCY:LEVEL"},
        {"empty", "", "breakpoint '' is not FREQUENCY:LEVEL"},
        {"not a number", "20:abc,80:0.04", "breakpoint '20:abc' is not two numbers FREQUENCY:LEVEL"},
        {"frequency beyond any profile", "1e200:1e200,1e300:1e300",
         "frequency 1e+200 Hz is outside 0.001 Hz to 1000000 Hz"},
    };
    for (const Row& row : rows) {
        const board::PsdReading r = board::ParsePsdBreakpoints(row.text);
        EXPECT_FALSE(r.psd) << row.name;
        EXPECT_EQ(r.error, row.error) << row.name;
    }
}

TEST(Psd, SpecsAndFilesRead) {
    struct Row {
        const char* name;
        std::string text;
        bool file;
        std::vector<board::Breakpoint> points;
    };
    const std::vector<Row> rows{
        {"named profile, any case", " NavMat ", false, board::Navmat().Points()},
        {"breakpoints with blanks", "20 : 0.01, 2000:4e-2", false, {{20, 0.01}, {2000, 0.04}}},
        {"file: blanks and comments",
         "# MIL screen\n20 0.01\n\n 2000   0.04 # top\n",
         true,
         {{20, 0.01}, {2000, 0.04}}},
        {"file: commas, CRLF and BOM",
         "\xEF\xBB\xBF"
         "20,0.01\r\n2000,0.04\r\n",
         true,
         {{20, 0.01}, {2000, 0.04}}},
        {"file: semicolons and decimal commas", "20;0,01\n2000;0,04\n", true, {{20, 0.01}, {2000, 0.04}}},
        {"file: tabs", "20\t0.01\n2000\t0,04\n", true, {{20, 0.01}, {2000, 0.04}}},
    };
    for (const Row& row : rows) {
        const board::PsdReading r =
            row.file ? board::ParsePsdText(row.text) : board::ParsePsdBreakpoints(row.text);
        ASSERT_TRUE(r.psd) << row.name << ": " << r.error;
        ASSERT_EQ(r.psd->Points().size(), row.points.size()) << row.name;
        for (std::size_t i = 0; i < row.points.size(); ++i) {
            EXPECT_EQ(r.psd->Points()[i].hz, row.points[i].hz) << row.name;
            EXPECT_EQ(r.psd->Points()[i].level, row.points[i].level) << row.name;
        }
    }
}

TEST(Psd, FileErrorsNameTheLine) {
    EXPECT_EQ(board::ParsePsdText("# profile\n20 0.01\n80\n").error,
              "line 3: '80' is not two columns, frequency and level");
    EXPECT_EQ(board::ParsePsdText("20 0.01\n80 x\n").error,
              "line 2: '80 x' is not two numbers, frequency and level");
    EXPECT_EQ(board::ParsePsdText("# nothing\n\n").error, "no breakpoints");
}

TEST(Units, QuantitiesConvert) {
    struct Row {
        const char* text;
        std::optional<double> inches;
    };
    const std::vector<Row> lengths{
        {"1", 1.0},      {"0.062", 0.062}, {"25.4mm", 1.0}, {"25.4 MM", 1.0}, {" 2 in ", 2.0},
        {"1e-1in", 0.1}, {"+.5", 0.5},     {"2.", 2.0},     {"2 ft", {}},     {"mm", {}},
        {"1,5", {}},     {"0x10", {}},     {"inf", {}},     {"nan", {}},      {"1e999", {}},
        {"1 2", {}},     {"", {}},         {"--1", {}},     {"1e", {}},       {"1e+", {}},
    };
    for (const Row& row : lengths)
        EXPECT_EQ(board::ParseLength(row.text), row.inches) << "'" << row.text << "'";
    EXPECT_EQ(board::ParseLength("1,5", board::DecimalMark::PointOrComma), 1.5);
    EXPECT_EQ(board::ParseLength("38,1mm", board::DecimalMark::PointOrComma), 38.1 / 25.4);
    EXPECT_EQ(board::ParseQuantity("0.45359237kg", board::kMassUnits, nullptr), 1.0);
    EXPECT_EQ(board::ParseQuantity("1.2", board::kMassUnits, nullptr), std::nullopt)
        << "a mass needs its unit";
    // 1 psi = 6894.757293168 Pa: 13.79 GPa is 2.0×10⁶ psi to four digits.
    EXPECT_EQ(board::FormatSignificant(
                  *board::ParseQuantity("13.79GPa", board::kModulusUnits, &board::kModulusUnits[0]), 4),
              "2e+06");
}

} // namespace
