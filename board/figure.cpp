// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/figure.h"

#include "board/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace board::figure {

namespace {

// A value within this share of an end counts as on it.
constexpr double kEndTolerance = 1e-9;

double Pow10(int exponent) {
    return std::pow(10.0, exponent);
}

} // namespace

double Scale::Map(double value) const {
    double t = 0.0;
    if (log)
        t = (std::log10(value) - std::log10(lo)) / (std::log10(hi) - std::log10(lo));
    else
        t = (value - lo) / (hi - lo);
    return from + t * (to - from);
}

double RoundDown125(double value) {
    const int exponent = static_cast<int>(std::floor(std::log10(value)));
    const double decade = Pow10(exponent);
    for (const double m : {10.0, 5.0, 2.0, 1.0})
        if (m * decade <= value * (1.0 + kEndTolerance))
            return m * decade;
    return decade / 2.0;
}

double RoundUp125(double value) {
    const int exponent = static_cast<int>(std::floor(std::log10(value)));
    const double decade = Pow10(exponent);
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= value * (1.0 - kEndTolerance))
            return m * decade;
    return 20.0 * decade;
}

std::string TickLabel(double value) {
    if (value == 0.0)
        return "0";
    const double magnitude = std::abs(value);
    char buffer[64];
    if (magnitude < 1e-4 || magnitude >= 1e6) {
        const auto written =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 3);
        return std::string(buffer, written.ptr);
    }
    const int exponent = static_cast<int>(std::floor(std::log10(magnitude) + kEndTolerance));
    const int decimals = std::max(0, 2 - exponent);
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, written.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

std::vector<Tick> Ticks(double lo, double hi, bool log) {
    std::vector<Tick> ticks;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi) || (log && !(lo > 0.0)))
        return ticks;
    const double low = lo - std::abs(lo) * kEndTolerance;
    const double high = hi + std::abs(hi) * kEndTolerance;
    if (log) {
        const int first = static_cast<int>(std::floor(std::log10(lo)));
        const int last = static_cast<int>(std::ceil(std::log10(hi)));
        const int decades = last - first;
        for (int d = first; d <= last; ++d)
            for (int m = 1; m <= 9; ++m) {
                const double value = m * Pow10(d);
                if (value < low || value > high)
                    continue;
                const bool major = m == 1 || ((m == 2 || m == 5) && decades <= 6);
                if (major)
                    ticks.push_back({value, TickLabel(value)});
                else if (decades <= 3)
                    ticks.push_back({value, {}});
            }
        return ticks;
    }
    const double raw = (hi - lo) / 10.0;
    const double decade = Pow10(static_cast<int>(std::floor(std::log10(raw))));
    for (const double m : {1.0, 2.0, 5.0, 10.0, 20.0}) {
        const double step = m * decade;
        const double k0 = std::ceil(low / step), k1 = std::floor(high / step);
        if (k1 - k0 + 1.0 <= 10.0) {
            for (double k = k0; k <= k1; k += 1.0) {
                const double value = k * step;
                ticks.push_back({value, TickLabel(std::abs(value) < step * 1e-6 ? 0.0 : value)});
            }
            break;
        }
    }
    return ticks;
}

void Figure::Add(Path path, std::string role, std::string hover) {
    items.push_back({std::move(path), std::move(role), std::move(hover)});
}
void Figure::Add(Rect rect, std::string role, std::string hover) {
    items.push_back({std::move(rect), std::move(role), std::move(hover)});
}
void Figure::Add(Marker marker, std::string role, std::string hover) {
    items.push_back({std::move(marker), std::move(role), std::move(hover)});
}
void Figure::Add(Text text, std::string role, std::string hover) {
    items.push_back({std::move(text), std::move(role), std::move(hover)});
}

void DrawAxes(Figure& figure, Axis x, Axis y, double left, double top, double right, double bottom) {
    x.scale.from = left;
    x.scale.to = right;
    y.scale.from = bottom;
    y.scale.to = top;
    figure.hasAxes = true;
    figure.left = left;
    figure.top = top;
    figure.right = right;
    figure.bottom = bottom;

    constexpr double kTick = 5.0, kMinor = 3.0, kFont = 11.0;
    Path grid;
    grid.stroke = {{0xc8, 0xc8, 0xc8}, 0.6, Stroke::Dash::Solid, false};
    Path ticks;
    ticks.stroke.width = 1.0;
    std::vector<Text> labels;
    for (const Tick& t : Ticks(x.scale.lo, x.scale.hi, x.scale.log)) {
        const double px = x.scale.Map(t.value);
        ticks.runs.push_back({{px, bottom}, {px, bottom + (t.label.empty() ? kMinor : kTick)}});
        if (t.label.empty())
            continue;
        grid.runs.push_back({{px, top}, {px, bottom}});
        labels.push_back(
            {{px, bottom + kTick + 2.0}, t.label, Text::Anchor::Middle, Text::Baseline::Top, kFont});
    }
    for (const Tick& t : Ticks(y.scale.lo, y.scale.hi, y.scale.log)) {
        const double py = y.scale.Map(t.value);
        ticks.runs.push_back({{left - (t.label.empty() ? kMinor : kTick), py}, {left, py}});
        if (t.label.empty())
            continue;
        grid.runs.push_back({{left, py}, {right, py}});
        labels.push_back(
            {{left - kTick - 3.0, py}, t.label, Text::Anchor::End, Text::Baseline::Middle, kFont});
    }
    figure.Add(std::move(grid), "grid");
    Path frame;
    frame.closed = true;
    frame.runs.push_back({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
    figure.Add(std::move(frame), "frame");
    figure.Add(std::move(ticks), "ticks");
    for (Text& label : labels)
        figure.Add(std::move(label), "tick-label");
    const std::string xTitle = x.unit.empty() ? x.label : x.label + " (" + x.unit + ")";
    const std::string yTitle = y.unit.empty() ? y.label : y.label + " (" + y.unit + ")";
    figure.Add(Text{{(left + right) / 2.0, bottom + kTick + 20.0},
                    xTitle,
                    Text::Anchor::Middle,
                    Text::Baseline::Top,
                    12.0},
               "axis-title");
    figure.Add(Text{{left - 52.0, (top + bottom) / 2.0},
                    yTitle,
                    Text::Anchor::Middle,
                    Text::Baseline::Bottom,
                    12.0,
                    -90.0},
               "axis-title");
    figure.x = std::move(x);
    figure.y = std::move(y);
}

namespace {

// Cividis (Nuñez, Anderton and Renslow, 2018) at nine evenly spaced points: a blue to yellow ramp whose
// lightness rises evenly and whose hues people with any common colour-vision deficiency tell apart alike.
constexpr std::array<Colour, 9> kRamp{{{0x00, 0x22, 0x4e},
                                       {0x12, 0x35, 0x70},
                                       {0x3b, 0x49, 0x6c},
                                       {0x57, 0x5d, 0x6d},
                                       {0x70, 0x71, 0x73},
                                       {0x8a, 0x86, 0x78},
                                       {0xa5, 0x9c, 0x74},
                                       {0xc3, 0xb3, 0x69},
                                       {0xfe, 0xe8, 0x38}}};

double Linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

Colour RampColour(double t) {
    t = std::clamp(t, 0.0, 1.0) * static_cast<double>(kRamp.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(t), kRamp.size() - 2);
    const double f = t - static_cast<double>(i);
    const auto mix = [f](std::uint8_t p, std::uint8_t q) {
        return static_cast<std::uint8_t>(std::lround(p + f * (q - p)));
    };
    return {mix(kRamp[i].r, kRamp[i + 1].r), mix(kRamp[i].g, kRamp[i + 1].g),
            mix(kRamp[i].b, kRamp[i + 1].b)};
}

int MarginBand(double margin) {
    int band = 0;
    for (const double edge : kMarginBandEdges)
        if (margin >= edge)
            ++band;
    return band;
}

Colour BandColour(int band) {
    return RampColour((band + 0.5) / kMarginBands);
}

Colour MarginColour(double margin) {
    return BandColour(MarginBand(margin));
}

std::string BandLabel(int band) {
    if (band <= 0)
        return "below " + TickLabel(kMarginBandEdges[0]);
    if (band >= kMarginBands - 1)
        return TickLabel(kMarginBandEdges[kMarginBands - 2]) + " and above";
    return TickLabel(kMarginBandEdges[band - 1]) + " to " + TickLabel(kMarginBandEdges[band]);
}

double Lightness(Colour colour) {
    const double y = 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) + 0.0722 * Linear(colour.b);
    return y <= 216.0 / 24389.0 ? y * 24389.0 / 27.0 : 116.0 * std::cbrt(y) - 16.0;
}

Colour TextOn(Colour fill) {
    return Lightness(fill) < 55.0 ? Colour{0xff, 0xff, 0xff} : kInk;
}

} // namespace board::figure
