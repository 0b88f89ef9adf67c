// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The board's response to random vibration (Miles), the fatigue life it leaves a part, and the lowest
// board frequency at which the worst part lasts.
#pragma once

#include "board/psd.h"

#include <optional>
#include <string>

namespace board {

// Transmissibility at resonance.
struct Transmissibility {
    enum class Rule { Sqrt, TwoSqrt, Fixed };
    Rule rule = Rule::Sqrt; // Q = √fn, Steinberg's rule for circuit boards
    double fixed = 0.0;     // Q when rule is Fixed

    double At(double fn) const;
    // The exponent of f in Q: 0.5 for the √f rules, 0 for a fixed Q.
    double Exponent() const { return rule == Rule::Fixed ? 0.0 : 0.5; }
};

// The number of cycles at which a part's life is anchored, where the board's 3σ displacement equals
// the part's allowable Z, and the fatigue exponent of leads and solder joints.
inline constexpr double kAnchorCycles = 2.0e7;
inline constexpr double kFatigueExponent = 6.4;

struct Response {
    double fn = 0.0;      // Hz
    double q = 0.0;       // transmissibility at fn
    double psd = 0.0;     // input level at fn, g²/Hz
    double grms = 0.0;    // response, G rms: √(π/2 · fn · Q · P(fn))
    double z1sigma = 0.0; // centre displacement, inch: g·G / (2π·fn)²
    double z3sigma = 0.0; // 3 · z1sigma
};

// Miles' equation at fn, which must lie in the profile's band.
Response MilesResponse(double fn, const Transmissibility& q, const Psd& psd);

// N = 2×10⁷ · (zAllow / z3sigma)^6.4.
double LifeCycles(double zAllow, double z3sigma);

// Cycles at fn, in hours.
double LifeHours(double cycles, double fn);

// The lowest frequency f of the profile's band at which the board's 3σ displacement (Q by the same rule
// at f) is within zAllow at f and at every higher frequency of the band; nullopt when the top of the
// band fails. With `hours` (positive) the life at f, LifeHours(LifeCycles(zAllow, Z3σ(f)), f), must also
// reach `hours` at f and at every higher frequency of the band. Both conditions tighten as zAllow falls,
// so the part with the smallest zAllow decides for a whole list. Exact on each segment of the profile,
// where the displacement is a power of f.
std::optional<double> RequiredFrequency(double zAllow, const Transmissibility& q, const Psd& psd,
                                        std::optional<double> hours = std::nullopt);

// A board whose fn lies above the profile's band: Miles' resonant term has no input there, and the
// board follows its supports as a rigid body. grms is the input's overall G rms, z1sigma = g·grms /
// (2π·fn)², z3sigma = 3·z1sigma; q is 1 (the board moves with its supports) and psd is 0 (the profile has
// no level at fn).
Response RigidBodyResponse(double fn, const Psd& psd);

} // namespace board
