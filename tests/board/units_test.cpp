// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Quantities as engineers type them: the units of each kind, a blank before the unit, any case.
#include "board/plate.h"
#include "board/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

struct Row {
    const char* text;
    std::optional<double> value; // in the model's unit
};

// Conversion factors from NIST SP 811 (2008), appendix B: 1 in = 25.4 mm exactly, 1 mil = 0.001 in,
// 1 lb = 0.45359237 kg exactly, 1 oz (avoirdupois) = 1/16 lb, 1 g/cm³ = 0.036127292 lb/in³.
void Check(std::span<const board::Unit> units, const board::Unit* bare, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        const std::optional<double> got = board::ParseQuantity(row.text, units, bare);
        ASSERT_EQ(got.has_value(), row.value.has_value()) << "'" << row.text << "'";
        if (got) {
            EXPECT_NEAR(*got, *row.value, 1e-9 * std::abs(*row.value)) << "'" << row.text << "'";
        }
    }
}

TEST(Units, Lengths) {
    Check(board::kLengthUnits, &board::kInch,
          {{"1", 1.0},
           {"25.4mm", 1.0},
           {"25.4 MM", 1.0},
           {"2.54cm", 1.0},
           {"2.54 Cm", 1.0},
           {"62 mil", 0.062},
           {"62MIL", 0.062},
           {"3\"", 3.0},
           {"3 \"", 3.0},
           {"0.5 In", 0.5},
           {"1 ft", {}},
           {"1 m", {}},
           {"mm", {}},
           {"1 mm mm", {}}});
    EXPECT_EQ(board::ParseLength("10", board::DecimalMark::Point, &board::kMillimetre), 10.0 / 25.4)
        << "bare numbers in millimetres";
    EXPECT_EQ(board::ParseLength("10", board::DecimalMark::Point, nullptr), std::nullopt)
        << "a length that must carry its unit";
}

TEST(Units, Masses) {
    Check(board::kMassUnits, nullptr,
          {{"1.2lb", 1.2},
           {"1.2 LBS", 1.2},
           {"0.45359237 kg", 1.0},
           {"453.59237g", 1.0},
           {"453.59237 G", 1.0},
           {"16 oz", 1.0},
           {"8oz", 0.5},
           {"1.2", {}},
           {"1 t", {}}});
}

TEST(Units, FrequenciesAndDensities) {
    Check(board::kFrequencyUnits, &board::kFrequencyUnits[0],
          {{"300", 300.0}, {"300 Hz", 300.0}, {"0.3kHz", 300.0}, {"0.3 KHZ", 300.0}, {"1 MHz", {}}});
    Check(board::kDensityUnits, &board::kDensityUnits[0],
          {{"1", 0.036127292}, {"1 g/cm3", 0.036127292}, {"1000 kg/m3", 0.036127292}, {"1 lb/in3", 1.0}});
    // FR-4 at 1.85 g/cm³ is 0.0668 lb/in³.
    EXPECT_NEAR(board::kFr4Density, 0.066835, 1e-6);
}

// The number ends where its grammar does; an 'e' is an exponent only where digits follow it.
TEST(Units, TheNumberEndsWhereItsGrammarDoes) {
    struct Split {
        const char* text;
        const char* number;
        const char* unit;
    };
    for (const Split& row : std::vector<Split>{{"1e3Hz", "1e3", "Hz"},
                                               {"2em", "2", "em"},
                                               {" 4.5 g/cm3 ", "4.5", "g/cm3"},
                                               {"-1e-2in", "-1e-2", "in"},
                                               {"in", "", "in"}}) {
        const board::NumberAndUnit got = board::SplitUnit(row.text);
        EXPECT_EQ(got.number, row.number) << row.text;
        EXPECT_EQ(got.unit, row.unit) << row.text;
    }
}

} // namespace
