// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a profile, both as --psd breakpoints and as a profile file. A profile
// read has increasing frequencies and positive levels; its G rms is finite and positive; a level inside a
// segment lies between the segment's ends; the required frequency lies in the band.
#include "require.h"

#include "board/psd.h"
#include "board/response.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

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
    for (double z : {1e-4, 1e-2, 1.0}) {
        const auto f = board::RequiredFrequency(z, {}, psd);
        Require(!f || (*f >= psd.Low() && *f <= psd.High()), "required frequency in the band");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Check(board::ParsePsdBreakpoints(text));
    Check(board::ParsePsdText(text));
    return 0;
}
