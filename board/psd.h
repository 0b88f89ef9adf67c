// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A random-vibration input: acceleration spectral density (g²/Hz) given at breakpoints and joined by
// straight lines on log-log axes, as vibration test requirements draw it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct Breakpoint {
    double hz = 0.0;
    double level = 0.0; // g²/Hz
};

class Psd {
public:
    // Frequencies strictly increasing and positive, levels positive, at least two breakpoints; else
    // nullopt and `error` says what is wrong.
    static std::optional<Psd> Make(std::vector<Breakpoint> points, std::string& error);

    const std::vector<Breakpoint>& Points() const { return points_; }
    double Low() const { return points_.front().hz; }
    double High() const { return points_.back().hz; }
    bool Covers(double hz) const { return hz >= Low() && hz <= High(); }

    // The level at a frequency of the band, interpolated on log-log axes; exact at a breakpoint.
    double At(double hz) const;

    // The index of the segment [points[i], points[i+1]] that holds a frequency of the band.
    std::size_t SegmentAt(double hz) const;

    // The slope of segment i on log-log axes: level ∝ f^slope.
    double Slope(std::size_t segment) const;

    // The input's overall level: the square root of the area under the curve, each segment integrated
    // in closed form.
    double Grms() const;

private:
    explicit Psd(std::vector<Breakpoint> points) : points_(std::move(points)) {}
    std::vector<Breakpoint> points_;
};

// NAVMAT P-9492's random profile: 20 Hz 0.01, 80 Hz 0.04, 350 Hz 0.04, 2000 Hz 0.007 g²/Hz (6.06 G rms).
const Psd& Navmat();

// What reading a profile gave: the profile, or one line saying what is wrong.
struct PsdReading {
    std::optional<Psd> psd;
    std::string error;
};

// "navmat", or breakpoints "F:P,F:P,…" (Hz:g²/Hz, decimal points, blanks allowed around each number).
PsdReading ParsePsdBreakpoints(std::string_view text);

// A text file of two columns, frequency and level, one breakpoint a line; '#' starts a comment, blank
// lines are skipped. The columns are separated by blanks, a comma, a semicolon or a tab; with a
// semicolon or a tab the numbers may have a decimal comma. Errors name the line ("line 3: …").
PsdReading ParsePsdText(std::string_view text);

} // namespace board
