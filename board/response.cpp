// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/response.h"

#include "board/units.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

std::optional<double> RequiredFrequency(double zAllow, const Transmissibility& q, const Psd& psd,
                                        std::optional<double> hours) {
    // Each condition is Z3σ(f)·f^a ≤ limit: a = 0 and limit = zAllow for the margin; for the life,
    // 2×10⁷·(zAllow/Z3σ)^6.4 / (3600·f) ≥ T, that is Z3σ·f^(1/6.4) ≤ zAllow·(2×10⁷/(3600·T))^(1/6.4).
    struct Condition {
        double power;
        double limit;
    };
    std::vector<Condition> conditions{{0.0, zAllow}};
    if (hours && *hours > 0.0)
        conditions.push_back({1.0 / kFatigueExponent,
                              zAllow * std::pow(kAnchorCycles / (3600.0 * *hours), 1.0 / kFatigueExponent)});
    const auto& points = psd.Points();
    auto z3 = [&](double f) { return MilesResponse(f, q, psd).z3sigma; };
    auto measure = [&](const Condition& c, double f) { return z3(f) * std::pow(f, c.power); };
    for (const Condition& c : conditions) {
        if (!(measure(c, psd.High()) <= c.limit))
            return std::nullopt;
    }
    // Down the band, segment by segment: the top of each segment is known to meet every condition. On a
    // segment P ∝ f^n and Q ∝ f^k, so Z3σ·f^a ∝ f^((1 + k + n)/2 − 2 + a), monotonic: a condition holds
    // on the whole segment when it holds at its foot, else from the one frequency where the power law
    // reaches its limit. Where the foot fails, the answer is the highest of these.
    for (std::size_t i = points.size() - 1; i-- > 0;) {
        const double foot = points[i].hz;
        const double top = points[i + 1].hz;
        double from = foot;
        bool footFails = false;
        for (const Condition& c : conditions) {
            const double atFoot = measure(c, foot);
            if (atFoot <= c.limit)
                continue;
            footFails = true;
            const double exponent = (1.0 + q.Exponent() + psd.Slope(i)) / 2.0 - 2.0 + c.power;
            const double crossing =
                exponent == 0.0 ? top : foot * std::exp(std::log(c.limit / atFoot) / exponent);
            from = std::max(from, std::clamp(crossing, foot, top));
        }
        if (footFails)
            return from;
    }
    return psd.Low();
}

Response RigidBodyResponse(double fn, const Psd& psd) {
    Response out;
    out.fn = fn;
    out.q = 1.0;
    out.psd = 0.0;
    out.grms = psd.Grms();
    const double omega = 2.0 * kPi * fn;
    out.z1sigma = kGravity * out.grms / (omega * omega);
    out.z3sigma = 3.0 * out.z1sigma;
    return out;
}

} // namespace board
