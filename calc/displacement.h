// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The displacement-limit formula, the rule that turns field text into numbers, and the number texts.
#pragma once

#include <string>
#include <string_view>

namespace calc {

// The constant of Steinberg's criterion (inch), the double nearest to 0.00022.
inline constexpr double kSteinbergConstant = 0.00022;

// Z = 0.00022·B / (C·h·r·√L), evaluated in exactly this order:
//   numerator = B × 0.00022;  denominator = ((√L × C) × r) × h;  Z = numerator ÷ denominator.
// B, h, L in inch; C and r have no unit; Z in inch (3-sigma, 20 million cycles).
double RelativeDisplacementLimit(double B, double h, double L, double C, double r);

// Field text → number, as atof does in the C locale: leading white space is skipped, the longest prefix
// of the form [sign] digits [. digits] [(e|E) [sign] digits] (at least one mantissa digit) is converted
// with correct rounding, the rest is ignored; no such prefix gives 0.0. Beyond the double range the
// result is ±infinity; below it, 0 or a subnormal as rounding gives. Independent of the process locale.
double FieldValue(std::string_view text);

// "%11.3g " in the C locale: three significant digits, right-aligned in 11 characters, one blank after.
std::string ResultText(double z);

// "C = %6.2lf " in the C locale, the C display after a component was picked.
std::string ConstantText(double c);

} // namespace calc
