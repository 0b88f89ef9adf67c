// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/plate.h"

#include "board/units.h"

#include <cmath>

namespace board {

double FlexuralRigidity(const Plate& plate) {
    return plate.modulus * plate.h * plate.h * plate.h / (12.0 * (1.0 - plate.poisson * plate.poisson));
}

double PlateFrequency(const Plate& plate, Supports supports) {
    const double rho = plate.weight / (kGravity * plate.a * plate.b);
    const double root = std::sqrt(FlexuralRigidity(plate) / rho);
    const double a2 = plate.a * plate.a;
    const double b2 = plate.b * plate.b;
    if (supports == Supports::Simple)
        return kPi / 2.0 * root * (1.0 / a2 + 1.0 / b2);
    return 2.0 * kPi / 3.0 * root * std::sqrt(3.0 / (a2 * a2) + 3.0 / (b2 * b2) + 2.0 / (a2 * b2));
}

} // namespace board
