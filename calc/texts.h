// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The messages that the calculation shows to the user, character for character.
#pragma once

namespace calc {

inline constexpr char kRangeWarning[] = "Warning, the typical range is:  0.75 <= C <= 2.25 ";
inline constexpr char kThicknessWarning[] = "Warning.  Thickness value is very high. ";
inline constexpr char kInputError[] = "Input Error.  All input values must be > 0";

} // namespace calc
