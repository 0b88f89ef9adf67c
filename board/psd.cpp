// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/psd.h"

#include "board/csv.h"
#include "board/text.h"
#include "board/units.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <utility>

namespace board {

std::optional<Psd> Psd::Make(std::vector<Breakpoint> points, std::string& error) {
    if (points.size() < 2) {
        error = "a profile needs at least two breakpoints";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Breakpoint& p = points[i];
        if (!(p.hz > 0.0)) {
            error = "frequency " + FormatNumber(p.hz) + " Hz is not above 0";
            return std::nullopt;
        }
        if (!(p.hz >= kLowestHz && p.hz <= kHighestHz)) {
            error = "frequency " + FormatNumber(p.hz) + " Hz is outside 0.001 Hz to 1000000 Hz";
            return std::nullopt;
        }
        if (!(p.level > 0.0)) {
            error =
                "level " + FormatNumber(p.level) + " g^2/Hz at " + FormatNumber(p.hz) + " Hz is not above 0";
            return std::nullopt;
        }
        if (!(p.level >= kLowestLevel && p.level <= kHighestLevel)) {
            error = "level " + FormatNumber(p.level) + " g^2/Hz at " + FormatNumber(p.hz) +
                    " Hz is outside 1e-12 to 1000000 g^2/Hz";
            return std::nullopt;
        }
        if (i > 0 && !(p.hz > points[i - 1].hz)) {
            error = "frequencies must increase: " + FormatNumber(p.hz) + " Hz follows " +
                    FormatNumber(points[i - 1].hz) + " Hz";
            return std::nullopt;
        }
    }
    Psd psd(std::move(points));
    const double grms = psd.Grms();
    if (!(grms > 0.0 && std::isfinite(grms))) {
        error = "the profile's overall level is beyond the range of numbers";
        return std::nullopt;
    }
    return psd;
}

std::size_t Psd::SegmentAt(double hz) const {
    // The first breakpoint above hz ends the segment; the top of the band belongs to the last segment.
    const auto above = std::upper_bound(points_.begin(), points_.end(), hz,
                                        [](double f, const Breakpoint& p) { return f < p.hz; });
    const auto index = static_cast<std::size_t>(above - points_.begin());
    return std::clamp<std::size_t>(index, 1, points_.size() - 1) - 1;
}

double Psd::Slope(std::size_t segment) const {
    const Breakpoint& p1 = points_[segment];
    const Breakpoint& p2 = points_[segment + 1];
    return std::log(p2.level / p1.level) / std::log(p2.hz / p1.hz);
}

double Psd::At(double hz) const {
    const std::size_t i = SegmentAt(hz);
    const Breakpoint& p1 = points_[i];
    if (hz == p1.hz)
        return p1.level;
    if (hz == points_[i + 1].hz)
        return points_[i + 1].level;
    return p1.level * std::pow(hz / p1.hz, Slope(i));
}

double Psd::SegmentArea(std::size_t segment) const {
    const Breakpoint& p1 = points_[segment];
    const Breakpoint& p2 = points_[segment + 1];
    // ∫ P1·(f/f1)^n df from f1 to f2 = P1·f1·(R^(n+1) − 1)/(n+1), R = f2/f1. Written as
    // P1·f1·ln R·expm1(x)/x with x = (n+1)·ln R, it is exact as n → −1, where the area is P1·f1·ln R.
    const double logRatio = std::log(p2.hz / p1.hz);
    const double x = (Slope(segment) + 1.0) * logRatio;
    const double growth = x == 0.0 ? 1.0 : std::expm1(x) / x;
    return p1.level * p1.hz * logRatio * growth;
}

double Psd::Grms() const {
    double area = 0.0;
    for (std::size_t i = 0; i + 1 < points_.size(); ++i)
        area += SegmentArea(i);
    return std::sqrt(area);
}

std::vector<PsdSegment> Segments(const Psd& psd) {
    const auto& points = psd.Points();
    const double total = psd.Grms() * psd.Grms();
    std::vector<PsdSegment> out;
    out.reserve(points.size() - 1);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const Breakpoint& p1 = points[i];
        const Breakpoint& p2 = points[i + 1];
        out.push_back({p1.hz, p2.hz, p1.level, p2.level,
                       10.0 * std::log10(p2.level / p1.level) / std::log2(p2.hz / p1.hz),
                       psd.SegmentArea(i) / total});
    }
    return out;
}

double LevelAfterSlope(double level, double f1, double f2, double dbPerOctave) {
    return level * std::pow(f2 / f1, dbPerOctave / (10.0 * std::log10(2.0)));
}

namespace {

// A breakpoint as written: a level, or a slope in dB per octave from the breakpoint before.
struct Written {
    double hz = 0.0;
    double value = 0.0;
    bool slope = false;
};

// The breakpoints with each slope replaced by the level it reaches. A slope first is refused.
std::optional<std::vector<Breakpoint>> Resolve(const std::vector<Written>& written, std::string& error) {
    std::vector<Breakpoint> points;
    points.reserve(written.size());
    for (const Written& w : written) {
        if (!w.slope) {
            points.push_back({w.hz, w.value});
            continue;
        }
        if (points.empty()) {
            error = "the first breakpoint, at " + FormatNumber(w.hz) +
                    " Hz, is a slope: it needs a level in g^2/Hz to start from";
            return std::nullopt;
        }
        const Breakpoint& before = points.back();
        points.push_back({w.hz, LevelAfterSlope(before.level, before.hz, w.hz, w.value)});
    }
    return points;
}

// A level, or a slope "+6dB/oct", "-3 dB/octave" (the unit in any case, blanks before it allowed).
std::optional<Written> ParseLevel(std::string_view text, DecimalMark mark) {
    text = Trim(text);
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::string_view unit : {"db/octave", "db/oct"}) {
        if (!std::string_view(lower).ends_with(unit))
            continue;
        const auto db = ParseNumber(text.substr(0, text.size() - unit.size()), mark);
        if (!db)
            return std::nullopt;
        return Written{0.0, *db, true};
    }
    const auto level = ParseNumber(text, mark);
    if (!level)
        return std::nullopt;
    return Written{0.0, *level, false};
}

// Only for the profiles of this file, which are valid.
Psd MadeFrom(const std::vector<Written>& written) {
    std::string error;
    return *Psd::Make(*Resolve(written, error), error);
}

} // namespace

const Psd& Navmat() {
    static const Psd navmat = [] {
        std::string error;
        return *Psd::Make({{20.0, 0.01}, {80.0, 0.04}, {350.0, 0.04}, {2000.0, 0.007}}, error);
    }();
    return navmat;
}

std::span<const NamedProfile> NamedProfiles() {
    // GEVS's acceptance level is its qualification level less 3 dB.
    static const double accept = std::pow(10.0, -0.3);
    static const std::array<Psd, 3> made{
        // The standard tabulates 2000 Hz at 0.01 g²/Hz, its "-6 dB/oct" rounded (exactly, 0.01005).
        MadeFrom({{20.0, 0.04, false}, {1000.0, 0.04, false}, {2000.0, 0.01, false}}),
        // GEVS tabulates its slopes' ends: 0.16 at 50 Hz and 0.026 at 2000 Hz (+6 and -6 dB/oct, rounded).
        MadeFrom({{20.0, 0.026, false}, {50.0, 0.16, false}, {800.0, 0.16, false}, {2000.0, 0.026, false}}),
        MadeFrom({{20.0, 0.026 * accept, false},
                  {50.0, 0.16 * accept, false},
                  {800.0, 0.16 * accept, false},
                  {2000.0, 0.026 * accept, false}}),
    };
    static const std::array<NamedProfile, 4> profiles{{
        {"navmat", "NAVMAT P-9492 random screen: 20 Hz 0.01, 80 Hz 0.04, 350 Hz 0.04, 2000 Hz 0.007 g^2/Hz.",
         Navmat()},
        {"mil-std-810-integrity",
         "MIL-STD-810 general minimum integrity: 0.04 g^2/Hz from 20 to 1000 Hz, -6 dB/oct to 0.01 g^2/Hz at "
         "2000 Hz.",
         made[0]},
        {"gevs-qual",
         "GSFC-STD-7000 (GEVS) component qualification: 20 Hz 0.026 g^2/Hz, +6 dB/oct to 0.16 g^2/Hz at 50 "
         "Hz, 0.16 g^2/Hz to 800 Hz, -6 dB/oct to 0.026 g^2/Hz at 2000 Hz.",
         made[1]},
        {"gevs-accept",
         "GSFC-STD-7000 (GEVS) component acceptance: the qualification profile less 3 dB (levels times "
         "10^-0.3): 20 Hz 0.013 g^2/Hz, +6 dB/oct to 0.08 g^2/Hz at 50 Hz, 0.08 g^2/Hz to 800 Hz, -6 dB/oct "
         "to "
         "0.013 g^2/Hz at 2000 Hz.",
         made[2]},
    }};
    return profiles;
}

namespace {

PsdReading Made(const std::vector<Written>& written) {
    PsdReading out;
    if (auto points = Resolve(written, out.error))
        out.psd = Psd::Make(std::move(*points), out.error);
    return out;
}

// A number written with thousands separators, "1,000" or "1.000,5", as it reads without them; nullopt
// when `text` is not such a number.
std::optional<std::string> WithoutThousands(std::string_view text) {
    text = Trim(text);
    for (const auto& [group, point] : {std::pair{',', '.'}, std::pair{'.', ','}}) {
        std::string plain;
        std::size_t digits = 0; // in the current group
        std::size_t groups = 0;
        bool fraction = false;
        bool ok = !text.empty();
        for (std::size_t i = 0; ok && i < text.size(); ++i) {
            const char c = text[i];
            if (c >= '0' && c <= '9') {
                plain.push_back(c);
                ++digits;
            } else if (c == group && !fraction) {
                ok = (groups == 0 ? digits >= 1 && digits <= 3 : digits == 3);
                ++groups;
                digits = 0;
            } else if (c == point && !fraction && groups > 0) {
                ok = digits == 3;
                fraction = true;
                plain.push_back('.');
            } else {
                ok = false;
            }
        }
        if (ok && groups > 0 && (fraction || digits == 3) && !plain.ends_with('.'))
            return plain;
    }
    return std::nullopt;
}

PsdReading Failed(std::string error) {
    PsdReading out;
    out.error = std::move(error);
    return out;
}

} // namespace

PsdReading ParsePsdBreakpoints(std::string_view text) {
    for (const NamedProfile& named : NamedProfiles()) {
        if (EqualsIgnoringCase(Trim(text), named.name))
            return PsdReading{named.psd, {}, std::string(named.name)};
    }
    std::vector<Written> written;
    for (std::string_view item : Split(text, ',')) {
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            return Failed("breakpoint " + Quote(Trim(item)) + " is not FREQUENCY:LEVEL");
        const auto hz = ParseNumber(item.substr(0, colon));
        const auto level = ParseLevel(item.substr(colon + 1), DecimalMark::Point);
        if (!hz || !level)
            return Failed("breakpoint " + Quote(Trim(item)) + " is not two numbers FREQUENCY:LEVEL");
        written.push_back({*hz, level->value, level->slope});
    }
    return Made(written);
}

PsdReading ParsePsdText(std::string_view text) {
    std::vector<Written> written;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::optional<char> separator; // named by a "sep=" line
    bool header = true;            // the next line that holds a breakpoint may be a header
    std::size_t lineNumber = 0;
    for (std::string_view line : Split(text, '\n')) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (lineNumber == 1 && (separator = SeparatorLine(line)))
            continue;
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        if (std::exchange(header, false) &&
            (std::isalpha(static_cast<unsigned char>(line.front())) || line.front() == '"'))
            continue;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        DecimalMark mark = DecimalMark::Point;
        std::size_t split = std::string_view::npos;
        if (separator) {
            split = line.find(*separator);
            if (*separator != ',')
                mark = DecimalMark::PointOrComma;
        } else if ((split = line.find(';')) != std::string_view::npos ||
                   (split = line.find('\t')) != std::string_view::npos) {
            mark = DecimalMark::PointOrComma;
        } else if ((split = line.find(',')) == std::string_view::npos) {
            split = line.find(' ');
        }
        if (split == std::string_view::npos)
            return Failed(where + Quote(line) + " is not two columns, frequency and level");
        const std::string_view first = Trim(line.substr(0, split));
        const std::string_view second = Trim(line.substr(split + 1));
        const auto hz = ParseNumber(first, mark);
        const auto level = ParseLevel(second, mark);
        if (hz && level) {
            written.push_back({*hz, level->value, level->slope});
            continue;
        }
        std::string error = where + Quote(line) + " is not two numbers, frequency and level";
        // "1,000,0.04": a frequency with a thousands comma in a file of comma columns.
        std::optional<std::string> plain;
        const char column = line[split];
        if (column == ',' && mark == DecimalMark::Point) {
            for (std::size_t next = line.find(',', split + 1); !plain && next != std::string_view::npos;
                 next = line.find(',', next + 1)) {
                if (ParseLevel(line.substr(next + 1), mark))
                    plain = WithoutThousands(line.substr(0, next));
            }
        }
        if (!plain && !hz)
            plain = WithoutThousands(first);
        if (!plain && hz && !level)
            plain = WithoutThousands(second);
        if (plain)
            error += "; thousands separators are not read: write " + *plain;
        return Failed(std::move(error));
    }
    if (written.empty())
        return Failed("no breakpoints");
    return Made(written);
}

} // namespace board
