// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/response.h"

#include "board/units.h"

#include <algorithm>
#include <cmath>

namespace board {

double Transmissibility::At(double fn) const {
    switch (rule) {
    case Rule::Sqrt:
        return std::sqrt(fn);
    case Rule::TwoSqrt:
        return 2.0 * std::sqrt(fn);
    case Rule::Fixed:
        return fixed;
    }
    return std::sqrt(fn);
}

Response MilesResponse(double fn, const Transmissibility& q, const Psd& psd) {
    Response out;
    out.fn = fn;
    out.q = q.At(fn);
    out.psd = psd.At(fn);
    out.grms = std::sqrt(kPi / 2.0 * fn * out.q * out.psd);
    const double omega = 2.0 * kPi * fn;
    out.z1sigma = kGravity * out.grms / (omega * omega);
    out.z3sigma = 3.0 * out.z1sigma;
    return out;
}

double LifeCycles(double zAllow, double z3sigma) {
    return kAnchorCycles * std::pow(zAllow / z3sigma, kFatigueExponent);
}

double LifeHours(double cycles, double fn) {
    return cycles / (fn * 3600.0);
}

std::optional<double> RequiredFrequency(double zAllow, const Transmissibility& q, const Psd& psd) {
    const auto& points = psd.Points();
    auto z3 = [&](double f) { return MilesResponse(f, q, psd).z3sigma; };
    if (!(z3(psd.High()) <= zAllow))
        return std::nullopt;
    // Down the band, segment by segment: the top of each segment is known to be within zAllow. On a
    // segment P ∝ f^n and Q ∝ f^k, so Z3σ ∝ f^((1 + k + n)/2 − 2), monotonic: the segment is within
    // zAllow when its foot is, else the one crossing is where the power law reaches zAllow.
    for (std::size_t i = points.size() - 1; i-- > 0;) {
        const double foot = points[i].hz;
        const double top = points[i + 1].hz;
        const double zFoot = z3(foot);
        if (zFoot <= zAllow)
            continue;
        const double exponent = (1.0 + q.Exponent() + psd.Slope(i)) / 2.0 - 2.0;
        if (exponent == 0.0)
            return top;
        const double crossing = foot * std::pow(zAllow / zFoot, 1.0 / exponent);
        return std::clamp(crossing, foot, top);
    }
    return psd.Low();
}

} // namespace board
