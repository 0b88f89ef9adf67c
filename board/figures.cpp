// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/figures.h"

#include "board/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iterator>
#include <numbers>

namespace board::figure {

namespace {

std::string Sig(double v, int digits = 4) {
    return FormatSignificant(v, digits);
}

std::string KindName(const PartResult& p) {
    return p.kind >= 0 && static_cast<std::size_t>(p.kind) < std::size(kKindShortNames)
               ? std::string(kKindShortNames[p.kind])
               : std::string("C given");
}

std::string Slope(double dbPerOctave) {
    // Shown to a tenth: a slope that rounds to nothing is a flat segment, without a sign.
    if (!(std::abs(dbPerOctave) >= 0.05))
        return "0 dB/oct";
    const double slope = dbPerOctave;
    char text[32] = {slope < 0.0 ? '-' : '+'};
    const auto written =
        std::to_chars(text + 1, text + sizeof text, std::abs(slope), std::chars_format::fixed, 1);
    return std::string(text, written.ptr) + " dB/oct";
}

// The hover text of a part: its row.
std::string PartTitle(const PartResult& p, const LengthShown& unit) {
    const auto length = [&unit](double inches) { return Sig(inches * unit.perInch) + " " + unit.name; };
    std::string t = p.ref + ", " + KindName(p) + ", edge " + (p.parallel == Edge::A ? "a" : "b");
    t += ", L " + length(p.L);
    if (p.x && p.y)
        t += ", at " + length(*p.x) + ", " + length(*p.y);
    t += ", C " + Sig(p.C, 3) + ", r " + Sig(p.r, 3) + ", Z allow " + Sig(p.zAllow * unit.perInch, 3) + " " +
         unit.name + ", margin " + Sig(p.margin, 3) + ", " + Sig(p.cycles, 3) + " cycles, " +
         (p.pass ? "pass" : "FAIL");
    return t;
}

Stroke EdgeStroke(EdgeSupport support) {
    switch (support) {
    case EdgeSupport::Clamped:
        return {kInk, 5.0, Stroke::Dash::Solid};
    case EdgeSupport::Simple:
        return {kInk, 3.0, Stroke::Dash::Dashed};
    case EdgeSupport::Free:
        break;
    }
    return {kInk, 1.0, Stroke::Dash::Solid};
}

const char* EdgeRole(EdgeSupport support) {
    switch (support) {
    case EdgeSupport::Clamped:
        return "edge-clamped";
    case EdgeSupport::Simple:
        return "edge-simple";
    case EdgeSupport::Free:
        break;
    }
    return "edge-free";
}

// One contour level of w on a grid (row by row from the first y), in straight pieces across each cell.
std::vector<std::vector<Point>> Contour(const std::vector<double>& w, int columns, int rows, double level,
                                        const Scale& sx, const Scale& sy, double x0, double y0, double dx,
                                        double dy) {
    std::vector<std::vector<Point>> pieces;
    const auto at = [&](int i, int j) { return w[static_cast<std::size_t>(j * columns + i)]; };
    const auto point = [&](double gx, double gy) {
        return Point{sx.Map(x0 + gx * dx), sy.Map(y0 + gy * dy)};
    };
    for (int j = 0; j + 1 < rows; ++j)
        for (int i = 0; i + 1 < columns; ++i) {
            const std::array<double, 4> v{at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            const std::array<std::array<double, 2>, 4> corner{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
            std::vector<Point> crossings;
            for (int e = 0; e < 4; ++e) {
                const auto p = static_cast<std::size_t>(e), q = static_cast<std::size_t>((e + 1) % 4);
                if ((v[p] < level) == (v[q] < level))
                    continue;
                const double t = (level - v[p]) / (v[q] - v[p]);
                crossings.push_back(point(i + corner[p][0] + t * (corner[q][0] - corner[p][0]),
                                          j + corner[p][1] + t * (corner[q][1] - corner[p][1])));
            }
            for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
                pieces.push_back({crossings[k], crossings[k + 1]});
        }
    return pieces;
}

// The corners of a rotated rectangle.
std::vector<Point> Corners(const Rect& r) {
    const double c = std::cos(r.rotation * std::numbers::pi / 180.0);
    const double s = std::sin(r.rotation * std::numbers::pi / 180.0);
    std::vector<Point> corners;
    for (const auto& [u, v] : std::array<std::array<double, 2>, 4>{{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}}) {
        const double px = u * r.width / 2.0, py = v * r.height / 2.0;
        corners.push_back({r.centre.x + px * c - py * s, r.centre.y + px * s + py * c});
    }
    return corners;
}

void AddLegendSwatch(Figure& f, double x, double y, Colour fill, const std::string& label,
                     const std::string& role) {
    Rect swatch{{x + 9.0, y}, 18.0, 12.0, 0.0, {kInk, 0.6}, fill};
    f.Add(swatch, role, label);
    f.Add(Text{{x + 24.0, y}, label, Text::Anchor::Start, Text::Baseline::Middle, 11.0}, "legend");
}

void AddLegendLine(Figure& f, double x, double y, Stroke stroke, const std::string& label,
                   const std::string& role) {
    Path line;
    line.runs.push_back({{x, y}, {x + 18.0, y}});
    line.stroke = stroke;
    f.Add(std::move(line), role);
    f.Add(Text{{x + 24.0, y}, label, Text::Anchor::Start, Text::Baseline::Middle, 11.0}, "legend");
}

// A vertical line across the plot at a frequency, with its label at the top.
void MarkFrequency(Figure& f, double hz, const std::string& label, const std::string& role, Stroke stroke,
                   double labelRow) {
    const double x = f.x.scale.Map(hz);
    Path line;
    line.runs.push_back({{x, f.top}, {x, f.bottom}});
    line.stroke = stroke;
    f.Add(std::move(line), role, label);
    const bool right = x > (f.left + f.right) / 2.0;
    f.Add(Text{{right ? x - 4.0 : x + 4.0, f.top + 4.0 + labelRow * 14.0},
               label,
               right ? Text::Anchor::End : Text::Anchor::Start,
               Text::Baseline::Top,
               11.0},
          role + "-label");
}

// The frequency axis of both plots: the band and fn, out to 1-2-5 values.
Scale FrequencyScale(const Report& report, std::optional<double> requiredFn) {
    double lo = report.input.psd.Low(), hi = report.input.psd.High();
    const double fn = report.board.response.fn;
    lo = std::min(lo, fn);
    hi = std::max(hi, fn);
    if (requiredFn) {
        lo = std::min(lo, *requiredFn);
        hi = std::max(hi, *requiredFn);
    }
    Scale s;
    s.lo = RoundDown125(lo);
    s.hi = RoundUp125(hi);
    s.log = true;
    return s;
}

} // namespace

Body BodyOf(const PartResult& part) {
    Body body;
    body.x = part.x.value_or(0.0);
    body.y = part.y.value_or(0.0);
    body.along = part.L;
    body.across = part.across.value_or(IsFourSided(part.kind) ? part.L : part.L / 3.0);
    // As the layout turns the body where it gives it; else along the edge the part was evaluated on.
    body.direction = part.direction.value_or(part.parallel == Edge::B ? 90.0 : 0.0);
    body.alongB = std::abs(std::remainder(body.direction, 180.0)) > 45.0;
    return body;
}

Figure BoardMap(const Report& report, const LengthShown& unit) {
    const BoardInput& in = report.input;
    const double a = report.board.a, b = report.board.b;
    Figure f;
    f.title = "Board map";
    constexpr double kLeft = 50.0, kTop = 20.0, kPlot = 540.0, kLegend = 230.0;
    const double scale = std::min(kPlot / a, kPlot / b);
    f.width = kLeft + a * scale + 30.0 + kLegend;
    f.height = std::max(kTop + b * scale + 70.0, 360.0);
    f.x.scale = {0.0, a, kLeft, kLeft + a * scale, false};
    f.y.scale = {0.0, b, kTop + b * scale, kTop, false};
    f.x.label = "x";
    f.y.label = "y";
    f.x.unit = f.y.unit = "in";
    f.left = kLeft;
    f.right = kLeft + a * scale;
    f.top = kTop;
    f.bottom = kTop + b * scale;
    const auto map = [&f](double x, double y) { return Point{f.x.scale.Map(x), f.y.scale.Map(y)}; };

    // The board, its cutouts left open.
    Path board;
    board.closed = true;
    board.filled = true;
    board.fill = {0xe9, 0xf2, 0xe4};
    board.stroke = EdgeStroke(EdgeSupport::Free);
    if (in.outline.empty()) {
        board.runs.push_back({map(0, 0), map(a, 0), map(a, b), map(0, b)});
    } else {
        for (const Polygon& polygon : in.outline) {
            std::vector<Point> run;
            for (const PlatePoint& p : polygon)
                run.push_back(map(p.x, p.y));
            board.runs.push_back(std::move(run));
        }
    }
    f.Add(std::move(board), "outline", "the board's outline");

    // The mode shape's contour lines, where the plate was modelled.
    std::size_t placed = 0;
    for (const PartResult& p : report.parts)
        placed += p.x && p.y ? 1u : 0u;
    if (report.board.plate) {
        const PlateMode& mode = report.board.plate->mode;
        const int columns = 61;
        const int rows = std::max(3, static_cast<int>(std::lround(60.0 * mode.height() / mode.width())) + 1);
        const std::vector<double> w = mode.Grid(columns, rows);
        const double dx = mode.width() / (columns - 1), dy = mode.height() / (rows - 1);
        for (const double level : {0.2, 0.4, 0.6, 0.8, -0.2, -0.4, -0.6, -0.8}) {
            Path contour;
            contour.runs =
                Contour(w, columns, rows, level, f.x.scale, f.y.scale, mode.xMin(), mode.yMin(), dx, dy);
            if (contour.runs.empty())
                continue;
            contour.stroke = {
                {0x7a, 0x5c, 0x99}, 0.8, level > 0 ? Stroke::Dash::Solid : Stroke::Dash::Dashed, false};
            f.Add(std::move(contour), "mode-contour", "mode shape, w = " + TickLabel(level) + " of its peak");
        }
    }

    // The edges by their support; a polygon outline is held along its whole boundary alike.
    if (in.outline.empty()) {
        const std::array<std::pair<EdgeSupport, std::array<Point, 2>>, 4> edges{{
            {in.edges.y0, {map(0, 0), map(a, 0)}},
            {in.edges.yb, {map(0, b), map(a, b)}},
            {in.edges.x0, {map(0, 0), map(0, b)}},
            {in.edges.xa, {map(a, 0), map(a, b)}},
        }};
        for (const auto& [support, ends] : edges) {
            if (support == EdgeSupport::Free)
                continue;
            Path edge;
            edge.runs.push_back({ends[0], ends[1]});
            edge.stroke = EdgeStroke(support);
            f.Add(std::move(edge), EdgeRole(support));
        }
    } else if (in.outlineSupport != EdgeSupport::Free) {
        Path edge;
        edge.closed = true;
        edge.runs.push_back({});
        for (const PlatePoint& p : in.outline.front())
            edge.runs.back().push_back(map(p.x, p.y));
        edge.stroke = EdgeStroke(in.outlineSupport);
        f.Add(std::move(edge), EdgeRole(in.outlineSupport));
    }

    // The parts, worst last so that it is drawn on top.
    std::vector<const PartResult*> order;
    for (const PartResult& p : report.parts)
        if (p.x && p.y)
            order.push_back(&p);
    std::stable_sort(order.begin(), order.end(),
                     [](const PartResult* x, const PartResult* y) { return x->margin > y->margin; });
    const bool oneByOne = placed <= kPartsDrawnOneByOne;
    std::array<Path, kMarginBands> bands;
    for (const PartResult* p : order) {
        const Body body = BodyOf(*p);
        Rect r;
        r.centre = map(body.x, body.y);
        r.width = body.along * scale;
        r.height = body.across * scale;
        // The canvas turns clockwise, its y being down; a rectangle turned by half a turn is itself.
        r.rotation = std::remainder(-body.direction, 180.0);
        if (r.rotation <= -90.0)
            r.rotation += 180.0;
        r.fill = MarginColour(p->margin);
        r.stroke = p->pass ? Stroke{kInk, 0.6} : Stroke{kInk, 1.6};
        if (!oneByOne) {
            Path& band = bands[static_cast<std::size_t>(MarginBand(p->margin))];
            band.runs.push_back(Corners(r));
            continue;
        }
        f.Add(r, p->pass ? "part" : "part fail", PartTitle(*p, unit));
        const double fontSize = 10.0;
        const double textWidth = 0.6 * fontSize * static_cast<double>(p->ref.size());
        const double across = body.alongB ? r.height : r.width;
        const double up = body.alongB ? r.width : r.height;
        if (textWidth <= across - 2.0 && fontSize <= up - 1.0)
            f.Add(Text{r.centre, p->ref, Text::Anchor::Middle, Text::Baseline::Middle, fontSize, 0.0, false,
                       false, TextOn(r.fill)},
                  "part-label");
    }
    if (!oneByOne)
        for (int i = 0; i < kMarginBands; ++i) {
            Path& band = bands[static_cast<std::size_t>(i)];
            if (band.runs.empty())
                continue;
            band.closed = true;
            band.filled = true;
            band.fill = BandColour(i);
            band.stroke = {kInk, 0.2};
            f.Add(std::move(band), "part-band",
                  "margin " + BandLabel(i) + (i < MarginBand(1.0) ? ", FAIL" : ", pass"));
        }

    // Point supports.
    for (const PlatePoint& p : in.points)
        f.Add(Marker{Marker::Shape::CrossedCircle, map(p.x, p.y), 10.0, {kInk, 1.4}, false}, "support-point",
              "point support at " + Sig(p.x * unit.perInch) + ", " + Sig(p.y * unit.perInch) + " " +
                  unit.name);

    // Parts placed by r have no place on the map: named below it.
    std::string byR;
    std::size_t unplaced = 0;
    for (const PartResult& p : report.parts)
        if (!(p.x && p.y)) {
            if (++unplaced <= 20)
                byR += (byR.empty() ? "" : ", ") + p.ref;
        }
    if (unplaced > 20)
        byR += ", and " + std::to_string(unplaced - 20) + " more";
    if (unplaced > 0)
        f.Add(Text{{kLeft, f.bottom + 16.0},
                   "placed by r, not drawn: " + byR,
                   Text::Anchor::Start,
                   Text::Baseline::Top,
                   11.0},
              "note");
    f.Add(Text{{kLeft, f.bottom + (unplaced > 0 ? 32.0 : 16.0)},
               Sig(a * unit.perInch) + " x " + Sig(b * unit.perInch) + " " + unit.name +
                   ", seen from the top; x along a, y along b",
               Text::Anchor::Start,
               Text::Baseline::Top,
               11.0},
          "note");

    // The legend: what the colours, the edges and the symbols mean.
    const double lx = f.right + 30.0;
    double ly = kTop + 6.0;
    f.Add(Text{{lx, ly},
               "margin (Z allowable / Z 3-sigma)",
               Text::Anchor::Start,
               Text::Baseline::Middle,
               11.0,
               0.0,
               true},
          "legend");
    ly += 18.0;
    for (int i = kMarginBands - 1; i >= 0; --i, ly += 16.0)
        AddLegendSwatch(f, lx, ly, BandColour(i), BandLabel(i) + (i < MarginBand(1.0) ? "  FAIL" : "  pass"),
                        "legend-band");
    ly += 8.0;
    f.Add(Text{{lx, ly}, "edges", Text::Anchor::Start, Text::Baseline::Middle, 11.0, 0.0, true}, "legend");
    ly += 18.0;
    AddLegendLine(f, lx, ly, EdgeStroke(EdgeSupport::Free), "free", "legend-edge");
    AddLegendLine(f, lx, ly + 16.0, EdgeStroke(EdgeSupport::Simple), "simply supported", "legend-edge");
    AddLegendLine(f, lx, ly + 32.0, EdgeStroke(EdgeSupport::Clamped), "clamped", "legend-edge");
    ly += 52.0;
    f.Add(Marker{Marker::Shape::CrossedCircle, {lx + 9.0, ly}, 10.0, {kInk, 1.4}, false}, "legend-point");
    f.Add(Text{{lx + 24.0, ly},
               "point support (screw, standoff)",
               Text::Anchor::Start,
               Text::Baseline::Middle,
               11.0},
          "legend");
    if (report.board.plate) {
        ly += 16.0;
        AddLegendLine(f, lx, ly, {{0x7a, 0x5c, 0x99}, 0.8, Stroke::Dash::Solid, false},
                      "mode shape: 0.2 to 0.8 of its peak", "legend-contour");
    }
    f.height = std::max(f.height, ly + 20.0);
    f.description = "The board seen from the top with each placed part's body coloured by its margin band; "
                    "failing parts have a heavier outline.";
    return f;
}

Figure PsdFigure(const Report& report) {
    const Psd& psd = report.input.psd;
    Figure f;
    f.title = "Input profile";
    f.width = 720.0;
    f.height = 400.0;
    Axis x{FrequencyScale(report, std::nullopt), "frequency", "Hz"};
    double lo = psd.Points().front().level, hi = lo;
    for (const Breakpoint& p : psd.Points()) {
        lo = std::min(lo, p.level);
        hi = std::max(hi, p.level);
    }
    Axis y{
        {RoundDown125(lo / 2.0), RoundUp125(hi * 2.0), 0, 1, true}, "acceleration spectral density", "g²/Hz"};
    DrawAxes(f, x, y, 80.0, 20.0, 700.0, 330.0);
    const auto map = [&f](double hz, double level) { return Point{f.x.scale.Map(hz), f.y.scale.Map(level)}; };

    Path curve;
    curve.runs.push_back({});
    for (const Breakpoint& p : psd.Points())
        curve.runs.back().push_back(map(p.hz, p.level));
    curve.stroke = {{0x1f, 0x4e, 0x99}, 2.2, Stroke::Dash::Solid, false};
    f.Add(std::move(curve), "psd", "the input profile, straight between its breakpoints on log-log axes");
    for (const Breakpoint& p : psd.Points())
        f.Add(Marker{Marker::Shape::Square,
                     map(p.hz, p.level),
                     6.0,
                     {{0x1f, 0x4e, 0x99}, 1.0, Stroke::Dash::Solid, false},
                     true,
                     {0x1f, 0x4e, 0x99}},
              "breakpoint", Sig(p.hz) + " Hz, " + Sig(p.level) + " g²/Hz");
    for (const PsdSegment& s : Segments(psd)) {
        const double mid = std::sqrt(s.f1 * s.f2);
        const Point at = map(mid, psd.At(mid));
        // Above the line, on the side it falls away from: left of a rising segment, right of a falling one.
        const bool flat = std::abs(s.dbPerOctave) < 0.05;
        const Text::Anchor anchor = flat                ? Text::Anchor::Middle
                                    : s.dbPerOctave > 0 ? Text::Anchor::End
                                                        : Text::Anchor::Start;
        f.Add(Text{{at.x, at.y - 6.0}, Slope(s.dbPerOctave), anchor, Text::Baseline::Bottom, 11.0}, "slope",
              Sig(s.f1) + " to " + Sig(s.f2) + " Hz: " + Slope(s.dbPerOctave));
    }
    f.Add(Text{{f.right - 8.0, f.bottom - 8.0},
               Sig(psd.Grms(), 3) + " G rms",
               Text::Anchor::End,
               Text::Baseline::Bottom,
               13.0,
               0.0,
               true},
          "grms");
    const double fn = report.board.response.fn;
    MarkFrequency(f, fn, "fn " + Sig(fn) + " Hz", "fn",
                  {{0xb0, 0x30, 0x20}, 1.6, Stroke::Dash::Dashed, false}, 0);
    f.description = "The input profile on log-log axes with its breakpoints and slopes, and the board's fn.";
    return f;
}

Figure ResponseFigure(const Report& report, const Outcome& outcome, const LengthShown& unit) {
    const Psd& psd = report.input.psd;
    Figure f;
    f.title = "Displacement across the band";
    f.width = 720.0;
    f.height = 400.0;
    Axis x{FrequencyScale(report, outcome.requiredFn), "board frequency fn", "Hz"};

    // Z3σ at log-spaced frequencies of the band and at each breakpoint, where the curve bends.
    std::vector<double> hz;
    const int steps = 200;
    for (int i = 0; i <= steps; ++i)
        hz.push_back(psd.Low() * std::pow(psd.High() / psd.Low(), static_cast<double>(i) / steps));
    for (const Breakpoint& p : psd.Points())
        hz.push_back(p.hz);
    std::sort(hz.begin(), hz.end());
    hz.erase(std::unique(hz.begin(), hz.end()), hz.end());
    std::vector<Point> values;
    double lo = 0.0, hi = 0.0;
    for (const double f0 : hz) {
        const double z = MilesResponse(f0, report.input.q, psd).z3sigma * unit.perInch;
        values.push_back({f0, z});
        lo = lo == 0.0 ? z : std::min(lo, z);
        hi = std::max(hi, z);
    }
    const double zfn = report.board.response.z3sigma * unit.perInch;
    lo = std::min(lo, zfn);
    hi = std::max(hi, zfn);
    if (outcome.worstZ) {
        lo = std::min(lo, *outcome.worstZ * unit.perInch);
        hi = std::max(hi, *outcome.worstZ * unit.perInch);
    }
    Axis y{{RoundDown125(lo), RoundUp125(hi), 0, 1, true}, "Z 3-sigma", unit.name};
    DrawAxes(f, x, y, 80.0, 20.0, 700.0, 330.0);
    const auto map = [&f](double hz0, double z) { return Point{f.x.scale.Map(hz0), f.y.scale.Map(z)}; };

    Path curve;
    curve.runs.push_back({});
    for (const Point& v : values)
        curve.runs.back().push_back(map(v.x, v.y));
    curve.stroke = {{0x1f, 0x4e, 0x99}, 2.2, Stroke::Dash::Solid, false};
    f.Add(std::move(curve), "z3sigma",
          "the board's Z 3-sigma as if fn were each frequency, Q by the same rule");
    if (outcome.worstZ) {
        const double z = *outcome.worstZ * unit.perInch;
        Path allow;
        allow.runs.push_back({map(x.scale.lo, z), map(x.scale.hi, z)});
        allow.stroke = {{0x9a, 0x62, 0x00}, 1.8, Stroke::Dash::Solid, false};
        const std::string label = "Z allowable of " + outcome.worstRef + ": " + Sig(z, 3) + " " + unit.name;
        f.Add(std::move(allow), "z-allow", label);
        // Below the line in the plot's upper half, clear of the frequencies' labels at its top.
        const double lineY = f.y.scale.Map(z);
        const bool upper = lineY < (f.top + f.bottom) / 2.0;
        f.Add(Text{{f.right - 8.0, upper ? lineY + 4.0 : lineY - 4.0},
                   label,
                   Text::Anchor::End,
                   upper ? Text::Baseline::Top : Text::Baseline::Bottom,
                   11.0},
              "z-allow-label");
    }
    const double fn = report.board.response.fn;
    MarkFrequency(f, fn, "fn " + Sig(fn) + " Hz", "fn",
                  {{0xb0, 0x30, 0x20}, 1.6, Stroke::Dash::Dashed, false}, 0);
    f.Add(Marker{Marker::Shape::Circle,
                 map(fn, zfn),
                 8.0,
                 {{0xb0, 0x30, 0x20}, 1.0, Stroke::Dash::Solid, false},
                 true,
                 {0xb0, 0x30, 0x20}},
          "fn-point", "at fn " + Sig(fn) + " Hz: Z 3-sigma " + Sig(zfn, 3) + " " + unit.name);
    if (outcome.requiredFn)
        MarkFrequency(f, *outcome.requiredFn,
                      "required fn " + Sig(*outcome.requiredFn) + " Hz" +
                          (outcome.requiredFnWithLife ? ", for margin and life" : ""),
                      "required-fn", {{0x2e, 0x7d, 0x32}, 1.6, Stroke::Dash::Dotted, false}, 1);
    f.description =
        "The board's 3-sigma displacement against frequency, the worst part's allowable Z, fn and "
        "the required fn.";
    return f;
}

} // namespace board::figure
