// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A random-vibration input: acceleration spectral density (g²/Hz) given at breakpoints and joined by
// straight lines on log-log axes, as vibration test requirements draw it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct Breakpoint {
    double hz = 0.0;
    double level = 0.0; // g²/Hz
};

// The range of frequencies and levels a profile may hold, far beyond any real one, so that every figure
// computed from a profile stays within the range of numbers.
inline constexpr double kLowestHz = 1e-3;
inline constexpr double kHighestHz = 1e6;
inline constexpr double kLowestLevel = 1e-12; // g²/Hz
inline constexpr double kHighestLevel = 1e6;  // g²/Hz

class Psd {
public:
    // Frequencies strictly increasing within kLowestHz to kHighestHz, levels within kLowestLevel to
    // kHighestLevel, at least two breakpoints; else nullopt and `error` says what is wrong.
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

    // The area under segment i, g², in closed form.
    double SegmentArea(std::size_t segment) const;

    // The input's overall level: the square root of the area under the curve, each segment integrated
    // in closed form.
    double Grms() const;

private:
    explicit Psd(std::vector<Breakpoint> points) : points_(std::move(points)) {}
    std::vector<Breakpoint> points_;
};

// A segment of a profile as the input applies it: its ends, its slope in dB per octave
// (10·log10(P2/P1) / log2(f2/f1)) and its share of the input's mean square (its area over the whole).
struct PsdSegment {
    double f1 = 0.0, f2 = 0.0; // Hz
    double p1 = 0.0, p2 = 0.0; // g²/Hz
    double dbPerOctave = 0.0;
    double share = 0.0;
};
std::vector<PsdSegment> Segments(const Psd& psd);

// The level a slope of `dbPerOctave` reaches at f2 from `level` at f1: level·(f2/f1)^(dB/(10·log10 2)).
double LevelAfterSlope(double level, double f1, double f2, double dbPerOctave);

// NAVMAT P-9492's random profile: 20 Hz 0.01, 80 Hz 0.04, 350 Hz 0.04, 2000 Hz 0.007 g²/Hz (6.06 G rms).
const Psd& Navmat();

// A profile known by name: the name ParsePsdBreakpoints reads (in any case), a sentence saying where it
// comes from, and the profile.
struct NamedProfile {
    std::string_view name;
    std::string_view source;
    const Psd& psd;
};

// navmat, mil-std-810-integrity, gevs-qual and gevs-accept, in that order.
std::span<const NamedProfile> NamedProfiles();

// What reading a profile gave: the profile, or one line saying what is wrong. `name` is the named
// profile's name when the text named one, else empty.
struct PsdReading {
    std::optional<Psd> psd;
    std::string error;
    std::string name;
};

// A named profile (any case), or breakpoints "F:P,F:P,…" (Hz:g²/Hz, decimal points, blanks allowed
// around each number). A level after the first may be a slope from the breakpoint before, "+6dB/oct" or
// "-3 dB/octave" (any case); the profile holds the level it reaches.
PsdReading ParsePsdBreakpoints(std::string_view text);

// A text file of two columns, frequency and level (or slope, as above), one breakpoint a line; '#' starts
// a comment, blank lines are skipped. The columns are separated by blanks, a comma, a semicolon or a
// tab; with a semicolon or a tab the numbers may have a decimal comma. As spreadsheets export it: a first
// line "sep=;" (or "sep=,", "sep=" and a tab) sets the separator, and a first row that starts with a
// letter or a quote is a header and skipped. A UTF-8 byte-order mark is skipped. Errors name the line
// ("line 3: …").
PsdReading ParsePsdText(std::string_view text);

} // namespace board
