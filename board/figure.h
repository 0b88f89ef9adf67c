// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A figure as plain shapes on a canvas of abstract units (x to the right, y down, as a device context
// draws): lines, filled paths, rotated rectangles, markers and anchored text, each with the role it plays
// and the text to show on hovering it. Axes with linear or logarithmic scales and ticks at 1, 2 and 5 per
// decade, and the colour scale of a part's margin. Nothing here knows how a figure is written or drawn.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace board::figure {

struct Point {
    double x = 0.0, y = 0.0;
};

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
};

// The ink of text, axes and outlines: the page's own text colour where the writer has one.
inline constexpr Colour kInk{0x20, 0x20, 0x20};

struct Stroke {
    Colour colour = kInk;
    double width = 1.0; // canvas units; 0: none
    enum class Dash { Solid, Dashed, Dotted } dash = Dash::Solid;
    bool ink = true; // drawn in the page's text colour where the writer has one, else `colour`
};

// Open or closed runs of points: an axis, a curve, contour lines, an outline with its cutouts (filled by
// the even-odd rule).
struct Path {
    std::vector<std::vector<Point>> runs;
    bool closed = false;
    Stroke stroke;
    bool filled = false;
    Colour fill;
};

// A rectangle of width × height centred at `centre`, turned by `rotation` degrees (clockwise on the
// canvas, which is counter-clockwise on a board drawn with y up).
struct Rect {
    Point centre;
    double width = 0.0, height = 0.0;
    double rotation = 0.0;
    Stroke stroke;
    Colour fill;
};

struct Marker {
    enum class Shape { Circle, Square, CrossedCircle } shape = Shape::Circle;
    Point at;
    double size = 6.0; // diameter or side
    Stroke stroke;
    bool filled = true;
    Colour fill = kInk;
};

struct Text {
    Point at;
    std::string text;
    enum class Anchor { Start, Middle, End } anchor = Anchor::Start;
    enum class Baseline { Top, Middle, Bottom } baseline = Baseline::Bottom;
    double size = 12.0; // the font's height, canvas units
    double rotation = 0.0;
    bool bold = false;
    bool ink = true; // the page's text colour, else `colour`
    Colour colour = kInk;
};

// One shape with the role it plays in the figure ("part", "fn", "psd", …, which a writer may use to
// style it and a test to find it) and the text shown on hovering it.
struct Item {
    std::variant<Path, Rect, Marker, Text> shape;
    std::string role;
    std::string title;
};

// A scale from data values to canvas units: linear, or logarithmic (the values then above 0).
struct Scale {
    double lo = 0.0, hi = 1.0;   // data
    double from = 0.0, to = 1.0; // canvas
    bool log = false;
    double Map(double value) const;
};

struct Tick {
    double value = 0.0;
    std::string label; // empty for a minor tick
};

// Ticks at 1, 2 and 5 times a power of ten within [lo, hi] (ends included within a part in 10⁹). On a log
// scale each decade's 1, 2 and 5 are labelled, and its other integers (3, 4, 6 to 9) are minor ticks
// where a decade spans no more than a few; on a linear scale the step is the 1-2-5 value giving 4 to
// 10 ticks.
std::vector<Tick> Ticks(double lo, double hi, bool log);

// The 1-2-5 value at or below `value` (down) or at or above it (up), for axis ends; value above 0.
double RoundDown125(double value);
double RoundUp125(double value);

// A number as an axis labels it: up to three significant digits, locale-free; 1e-5 and beyond in
// exponent form.
std::string TickLabel(double value);

struct Axis {
    Scale scale;
    std::string label; // "frequency", with its unit "Hz"
    std::string unit;
};

struct Figure {
    double width = 0.0, height = 0.0; // canvas
    std::string title;
    std::string description; // what the figure shows, in one sentence, for those who cannot see it
    std::vector<Item> items; // in drawing order
    // The plot's axes where it has them, and the plot area: a test or a window maps values with them.
    Axis x, y;
    bool hasAxes = false;
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;

    void Add(Path path, std::string role, std::string title = {});
    void Add(Rect rect, std::string role, std::string title = {});
    void Add(Marker marker, std::string role, std::string title = {});
    void Add(Text text, std::string role, std::string title = {});
};

// Sets the figure's axes over the plot area (left, top) to (right, bottom) and draws them: the frame,
// ticks, a light grid at each labelled tick, the labels and the axes' titles with their units.
void DrawAxes(Figure& figure, Axis x, Axis y, double left, double top, double right, double bottom);

// A part's margin on a colour scale of bands, from dark (far short) to light (far above), its lightness
// rising with the margin so that it reads in grey and with any colour-vision deficiency (a ramp after
// cividis). The bands' edges are kMarginBandEdges; margins below 1 fail and take the darker half.
inline constexpr double kMarginBandEdges[] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 4.0};
inline constexpr int kMarginBands = 8;
int MarginBand(double margin);      // 0 … kMarginBands − 1
Colour BandColour(int band);        // the band's colour
Colour MarginColour(double margin); // BandColour(MarginBand(margin))
std::string BandLabel(int band);    // "< 0.25", "0.25 to 0.5", …, "4 and above"
Colour RampColour(double t);        // the ramp itself, t in [0, 1]
// The colour on which text is legible over a fill: the ink or white.
Colour TextOn(Colour fill);
// CIE L* of an sRGB colour, 0 (black) to 100 (white).
double Lightness(Colour colour);

} // namespace board::figure
