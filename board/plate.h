// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The first natural frequency of a populated board, estimated as a uniformly loaded rectangular plate.
#pragma once

namespace board {

enum class Supports { Simple, Clamped };

// Epoxy-glass laminate.
inline constexpr double kEpoxyGlassModulus = 2.0e6; // lb/in²
inline constexpr double kEpoxyGlassPoisson = 0.12;
// FR-4 laminate, 1.85 g/cm³, in lb/in³ (1 g/cm³ = 0.0361273 lb/in³).
inline constexpr double kFr4Density = 1.85 * 16.387064 / 453.59237;

struct Plate {
    double a = 0.0;      // length, inch
    double b = 0.0;      // width, inch
    double h = 0.0;      // thickness, inch
    double weight = 0.0; // of the populated board, lb
    double modulus = kEpoxyGlassModulus;
    double poisson = kEpoxyGlassPoisson;
};

// Flexural rigidity D = E·h³ / (12·(1 − ν²)), lb·in.
double FlexuralRigidity(const Plate& plate);

// fn in Hz, with D and the mass per area ρ = W / (g·a·b):
//   all edges simply supported: fn = (π/2)·√(D/ρ)·(1/a² + 1/b²), the exact first mode;
//   all edges clamped: fn = (2π/3)·√(D/ρ)·√(3/a⁴ + 3/b⁴ + 2/(a²·b²)), Rayleigh's estimate, about 3 %
//   above the exact first mode on a square plate.
double PlateFrequency(const Plate& plate, Supports supports);

} // namespace board
