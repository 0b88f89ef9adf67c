// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/psd.h"

#include "board/text.h"
#include "board/units.h"

#include <algorithm>
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
        if (!(p.hz > 0.0) || !std::isfinite(p.hz)) {
            error = "frequency " + FormatNumber(p.hz) + " Hz is not above 0";
            return std::nullopt;
        }
        if (!(p.level > 0.0) || !std::isfinite(p.level)) {
            error =
                "level " + FormatNumber(p.level) + " g^2/Hz at " + FormatNumber(p.hz) + " Hz is not above 0";
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

double Psd::Grms() const {
    double area = 0.0;
    for (std::size_t i = 0; i + 1 < points_.size(); ++i) {
        const Breakpoint& p1 = points_[i];
        const Breakpoint& p2 = points_[i + 1];
        // ∫ P1·(f/f1)^n df from f1 to f2 = P1·f1·(R^(n+1) − 1)/(n+1), R = f2/f1. Written as
        // P1·f1·ln R·expm1(x)/x with x = (n+1)·ln R, it is exact as n → −1, where the area is P1·f1·ln R.
        const double logRatio = std::log(p2.hz / p1.hz);
        const double x = (Slope(i) + 1.0) * logRatio;
        const double growth = x == 0.0 ? 1.0 : std::expm1(x) / x;
        area += p1.level * p1.hz * logRatio * growth;
    }
    return std::sqrt(area);
}

const Psd& Navmat() {
    static const Psd navmat = [] {
        std::string error;
        return *Psd::Make({{20.0, 0.01}, {80.0, 0.04}, {350.0, 0.04}, {2000.0, 0.007}}, error);
    }();
    return navmat;
}

namespace {

PsdReading Made(std::vector<Breakpoint> points) {
    PsdReading out;
    out.psd = Psd::Make(std::move(points), out.error);
    return out;
}

PsdReading Failed(std::string error) {
    PsdReading out;
    out.error = std::move(error);
    return out;
}

} // namespace

PsdReading ParsePsdBreakpoints(std::string_view text) {
    if (EqualsIgnoringCase(Trim(text), "navmat"))
        return PsdReading{Navmat(), {}};
    std::vector<Breakpoint> points;
    for (std::string_view item : Split(text, ',')) {
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            return Failed("breakpoint " + Quote(Trim(item)) + " is not FREQUENCY:LEVEL");
        const auto hz = ParseNumber(item.substr(0, colon));
        const auto level = ParseNumber(item.substr(colon + 1));
        if (!hz || !level)
            return Failed("breakpoint " + Quote(Trim(item)) + " is not two numbers FREQUENCY:LEVEL");
        points.push_back({*hz, *level});
    }
    return Made(std::move(points));
}

PsdReading ParsePsdText(std::string_view text) {
    std::vector<Breakpoint> points;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::size_t lineNumber = 0;
    for (std::string_view line : Split(text, '\n')) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        DecimalMark mark = DecimalMark::Point;
        std::size_t split = std::string_view::npos;
        if ((split = line.find(';')) != std::string_view::npos ||
            (split = line.find('\t')) != std::string_view::npos)
            mark = DecimalMark::PointOrComma;
        else if ((split = line.find(',')) == std::string_view::npos)
            split = line.find(' ');
        if (split == std::string_view::npos)
            return Failed(where + Quote(line) + " is not two columns, frequency and level");
        const auto hz = ParseNumber(line.substr(0, split), mark);
        const auto level = ParseNumber(Trim(line.substr(split + 1)), mark);
        if (!hz || !level)
            return Failed(where + Quote(line) + " is not two numbers, frequency and level");
        points.push_back({*hz, *level});
    }
    if (points.empty())
        return Failed("no breakpoints");
    return Made(std::move(points));
}

} // namespace board
