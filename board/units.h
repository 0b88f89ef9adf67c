// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Units of the board model (inch, pound, second; acceleration in g) and the strict reading of numbers
// and quantities from text, independent of the process locale.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace board {

// Standard gravity in in/s² (9.80665 m/s² / 0.0254 m, to the seven digits the method quotes).
inline constexpr double kGravity = 386.0886;
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kKilogramsPerPound = 0.45359237;
// One pound-force per square inch in pascal (4.4482216152605 N / 0.00064516 m²), in gigapascal.
inline constexpr double kGigapascalsPerPsi = 6894.757293168361e-9;

// How the fraction of a number may be marked. Spreadsheets in comma-decimal locales write "0,062".
enum class DecimalMark { Point, PointOrComma };

// The whole text as one number: blanks around it, an optional sign, digits with an optional fraction
// (at least one digit in all), an optional exponent. Nothing else: no "inf", "nan", hex or thousands
// separators. A number beyond the double range is not read either. nullopt when it is not a number.
std::optional<double> ParseNumber(std::string_view text, DecimalMark mark = DecimalMark::Point);

// A unit a quantity may carry, and what its value is divided by to give the model's unit.
struct Unit {
    std::string_view name; // matched case-insensitively
    double divisor;
};

inline constexpr Unit kInch{"in", 1.0};
inline constexpr Unit kMillimetre{"mm", kMillimetresPerInch};
inline constexpr Unit kLengthUnits[] = {
    kInch, {"\"", 1.0}, kMillimetre, {"cm", kMillimetresPerInch / 10.0}, {"mil", 1000.0}};
inline constexpr Unit kMassUnits[] = {
    {"lb", 1.0}, {"lbs", 1.0}, {"kg", kKilogramsPerPound}, {"g", kKilogramsPerPound * 1000.0}, {"oz", 16.0}};
inline constexpr Unit kModulusUnits[] = {{"psi", 1.0}, {"GPa", kGigapascalsPerPsi}};
inline constexpr Unit kFrequencyUnits[] = {{"Hz", 1.0}, {"kHz", 1.0e-3}};
// Densities in lb/in³; g/cm³ first, as laminate data sheets give it.
inline constexpr double kGramsPerCubicCentimetre = 453.59237 / 16.387064; // in one lb/in³
inline constexpr Unit kDensityUnits[] = {{"g/cm3", kGramsPerCubicCentimetre},
                                         {"g/cc", kGramsPerCubicCentimetre},
                                         {"kg/m3", kGramsPerCubicCentimetre * 1000.0},
                                         {"lb/in3", 1.0}};

// A number followed by one of `units` (blanks allowed between, case ignored), converted to the model's
// unit. Without a unit the number counts in `bare`, or is refused when `bare` is null.
std::optional<double> ParseQuantity(std::string_view text, std::span<const Unit> units, const Unit* bare,
                                    DecimalMark mark = DecimalMark::Point);

// The text split after its number: the number's text and what follows it, trimmed ("25.4 mm" gives
// "25.4" and "mm"). The number's text is empty when the text does not start with one.
struct NumberAndUnit {
    std::string_view number;
    std::string_view unit;
};
NumberAndUnit SplitUnit(std::string_view text, DecimalMark mark = DecimalMark::Point);

// The unit of `units` named `name` (case ignored), or null.
const Unit* FindUnit(std::span<const Unit> units, std::string_view name);

// A length: in, ", mm, cm or mil; a bare number counts in `bare` (inches, as in the dialog, by default).
inline std::optional<double> ParseLength(std::string_view text, DecimalMark mark = DecimalMark::Point,
                                         const Unit* bare = &kInch) {
    return ParseQuantity(text, kLengthUnits, bare, mark);
}

// Text without blanks (space, tab) at either end.
std::string_view Trim(std::string_view text);

// ASCII case-insensitive equality.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace board
