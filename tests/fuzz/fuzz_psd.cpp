// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a profile, both as --psd breakpoints and as a profile file. A profile
// read has increasing frequencies and positive levels; its G rms is finite and positive; a level inside a
// segment lies between the segment's ends; its segments' shares of the mean square sum to 1; the required
// frequency, with or without a required life, lies in the band and agrees with a scan of the band: there
// is one when the top of the band passes, every frequency above it passes, and it is no higher than the
// lowest scanned frequency from which every higher one passes.
#include "require.h"

#include "board/psd.h"
#include "board/response.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

using fuzz::Require;

namespace {

void Check(const board::PsdReading& reading) {
    Require(reading.psd.has_value() != !reading.error.empty(), "a profile or an error");
    if (!reading.psd)
        return;
    const board::Psd& psd = *reading.psd;
    const auto& points = psd.Points();
    Require(points.size() >= 2, "two breakpoints");
    for (std::size_t i = 0; i < points.size(); ++i) {
        Require(points[i].hz > 0.0 && points[i].level > 0.0, "positive breakpoint");
        Require(i == 0 || points[i].hz > points[i - 1].hz, "increasing frequencies");
    }
    const double grms = psd.Grms();
    Require(!std::isnan(grms) && grms > 0.0, "G rms positive");
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double mid = std::sqrt(points[i].hz * points[i + 1].hz);
        if (!(mid > points[i].hz && mid < points[i + 1].hz))
            continue;
        const double level = psd.At(mid);
        const double low = std::min(points[i].level, points[i + 1].level);
        const double high = std::max(points[i].level, points[i + 1].level);
        Require(level >= low * (1 - 1e-9) && level <= high * (1 + 1e-9), "level between the segment's ends");
    }
    double shares = 0.0;
    for (const board::PsdSegment& s : board::Segments(psd))
        shares += s.share;
    Require(std::abs(shares - 1.0) < 1e-9, "shares sum to 1");

    // The scan: log-spaced frequencies of the band and its breakpoints, in order.
    std::vector<double> scan;
    constexpr int kScan = 200;
    for (int i = 0; i < kScan; ++i)
        scan.push_back(psd.Low() * std::pow(psd.High() / psd.Low(), i / (kScan - 1.0)));
    for (const board::Breakpoint& p : points)
        scan.push_back(p.hz);
    std::sort(scan.begin(), scan.end());
    for (double& f : scan)
        f = std::clamp(f, psd.Low(), psd.High());
    for (double z : {1e-4, 1e-2, 1.0}) {
        for (std::optional<double> hours : {std::optional<double>{}, std::optional<double>{1000.0}}) {
            const auto f = board::RequiredFrequency(z, {}, psd, hours);
            Require(!f || (*f >= psd.Low() && *f <= psd.High()), "required frequency in the band");
            // How far a frequency is from failing: at most 1 where it passes.
            auto load = [&](double hz) {
                const double z3 = board::MilesResponse(hz, {}, psd).z3sigma;
                double worst = z3 / z;
                if (hours)
                    worst = std::max(worst, *hours / board::LifeHours(board::LifeCycles(z, z3), hz));
                return worst;
            };
            const double top = load(psd.High());
            if (top <= 1.0 - 1e-9)
                Require(f.has_value(), "a required frequency when the top of the band passes");
            if (top > 1.0 + 1e-9)
                Require(!f, "no required frequency when the top of the band fails");
            if (!f)
                continue;
            double from = psd.High(); // the lowest scanned frequency from which every higher one passes
            bool passing = true;
            for (std::size_t i = scan.size(); i-- > 0;) {
                const double l = load(scan[i]);
                if (scan[i] >= *f * (1 + 1e-9))
                    Require(l <= 1.0 + 1e-6, "every frequency above the required one passes");
                passing = passing && l <= 1.0 - 1e-6;
                if (passing)
                    from = scan[i];
            }
            Require(!(top <= 1.0 - 1e-6) || *f <= from * (1 + 1e-9), "the lowest frequency that passes");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(board::ParsePsdBreakpoints(text));
    Check(board::ParsePsdText(text));
    return 0;
}
