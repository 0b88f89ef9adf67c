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
inline constexpr Unit kLengthUnits[] = {kInch, kMillimetre};
inline constexpr Unit kMassUnits[] = {{"lb", 1.0}, {"kg", kKilogramsPerPound}};
inline constexpr Unit kModulusUnits[] = {{"psi", 1.0}, {"GPa", kGigapascalsPerPsi}};

// A number followed by one of `units` (blanks allowed between), converted to the model's unit. Without a
// unit the number counts in `bare`, or is refused when `bare` is null.
std::optional<double> ParseQuantity(std::string_view text, std::span<const Unit> units, const Unit* bare,
                                    DecimalMark mark = DecimalMark::Point);

// A length: in or mm; a bare number is inches, as in the dialog.
inline std::optional<double> ParseLength(std::string_view text, DecimalMark mark = DecimalMark::Point) {
    return ParseQuantity(text, kLengthUnits, &kInch, mark);
}

// Text without blanks (space, tab) at either end.
std::string_view Trim(std::string_view text);

// ASCII case-insensitive equality.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace board
