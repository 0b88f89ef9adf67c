// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/kicad.h"

#include "board/sexpr.h"
#include "board/text.h"
#include "board/units.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>

namespace board {

namespace {

// The largest number of mm (or degrees) read: far beyond any board, small enough that every sum and
// product of coordinates stays finite.
constexpr double kLargest = 1.0e6;
constexpr double kJoin = 1.0e-3;         // mm, how near two ends must lie to join
constexpr double kChord = 5.0e-3;        // mm, how far a chord may stray from its arc
constexpr std::size_t kMaxChords = 1000; // per arc or circle
constexpr double kDegree = kPi / 180.0;

// What stops the reading; caught in ReadKicadBoard.
struct Failure {
    std::string message;
};

[[noreturn]] void Fail(const SNode& node, const std::string& what) {
    throw Failure{Where(node) + what};
}

// A point in the file's frame: mm, y down.
struct Pt {
    double x = 0.0, y = 0.0;
};

Pt operator+(Pt a, Pt b) {
    return {a.x + b.x, a.y + b.y};
}
Pt operator-(Pt a, Pt b) {
    return {a.x - b.x, a.y - b.y};
}
double Distance(Pt a, Pt b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// `p` turned by `radians` in the file's numbers: with y down, a positive turn is clockwise on screen.
Pt Turn(Pt p, double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

// A footprint's placement: its position, and its angle as KiCad gives it (counter-clockwise on screen).
struct Placement {
    Pt at;
    double degrees = 0.0;
    Pt Apply(Pt p) const { return at + Turn(p, -degrees * kDegree); }
};

// Messages are built piece by piece: MinGW's GCC 12 warns falsely (-Wrestrict) of "(" + std::string.
std::string Mm(Pt p) {
    std::string out = "(";
    out += FormatNumber(p.x);
    out += ", ";
    out += FormatNumber(p.y);
    out += ") mm";
    return out;
}

// "(head)".
std::string Parenthesised(std::string_view head) {
    std::string out = "(";
    out += head;
    out += ")";
    return out;
}

// The n-th value of a list as a number of at most kLargest in size.
double Number(const SNode& list, std::size_t n) {
    const SNode* atom = AtomAt(list, n);
    if (!atom)
        Fail(list, Parenthesised(Head(list)) + " lacks its value " + std::to_string(n + 1));
    const auto value = ParseNumber(atom->text);
    if (!value)
        Fail(*atom, "expected a number, found " + Quote(atom->text));
    if (std::abs(*value) > kLargest)
        Fail(*atom, "the number " + Quote(atom->text) + " is out of range");
    return *value;
}

// The n-th value as a number where it is one, else `fallback`.
double OptionalNumber(const SNode& list, std::size_t n, double fallback) {
    const SNode* atom = AtomAt(list, n);
    if (!atom || !ParseNumber(atom->text))
        return fallback;
    return Number(list, n);
}

Pt PointOf(const SNode& list) {
    return {Number(list, 0), Number(list, 1)};
}

// The point of the item's child (head x y).
Pt PointIn(const SNode& item, std::string_view head) {
    const SNode* child = Child(item, head);
    if (!child)
        Fail(item, Parenthesised(Head(item)) + " has no " + Parenthesised(std::string(head) + " x y"));
    return PointOf(*child);
}

std::string_view LayerOf(const SNode& item) {
    const SNode* layer = Child(item, "layer");
    if (!layer)
        return {};
    return AtomText(*layer, 0).value_or(std::string_view{});
}

std::size_t ChordsFor(double radius, double radians) {
    double step = kPi / 2.0;
    if (radius > kChord)
        step = std::min(step, 2.0 * std::acos(1.0 - kChord / radius));
    const double chords = std::ceil(std::abs(radians) / step);
    return std::clamp<std::size_t>(chords >= 1.0 ? static_cast<std::size_t>(std::min(chords, 1.0e6)) : 1, 1,
                                   kMaxChords);
}

// The arc from `start` about `centre` through `radians` (positive clockwise on screen), its ends included.
std::vector<Pt> ArcPoints(Pt centre, Pt start, double radians) {
    const std::size_t chords = ChordsFor(Distance(start, centre), radians);
    std::vector<Pt> points;
    points.reserve(chords + 1);
    for (std::size_t i = 0; i <= chords; ++i)
        points.push_back(
            centre + Turn(start - centre, radians * static_cast<double>(i) / static_cast<double>(chords)));
    return points;
}

// The angle of `p` about `centre` in [0, 2π).
double AngleAbout(Pt centre, Pt p) {
    double a = std::atan2(p.y - centre.y, p.x - centre.x);
    return a < 0.0 ? a + 2.0 * kPi : a;
}

double Wrap(double radians) {
    radians = std::fmod(radians, 2.0 * kPi);
    return radians < 0.0 ? radians + 2.0 * kPi : radians;
}

// The arc from `start` through `mid` to `end`; a straight line when the three lie on one.
std::vector<Pt> ArcThrough(Pt start, Pt mid, Pt end) {
    if (Distance(start, end) <= kJoin) {
        const Pt centre{(start.x + mid.x) / 2.0, (start.y + mid.y) / 2.0};
        auto points = ArcPoints(centre, start, 2.0 * kPi);
        points.back() = start;
        return points;
    }
    const Pt b = mid - start, c = end - start;
    const double d = 2.0 * (b.x * c.y - b.y * c.x);
    const double scale = std::max({std::abs(b.x), std::abs(b.y), std::abs(c.x), std::abs(c.y)});
    if (std::abs(d) <= 1e-12 * scale * scale)
        return {start, end};
    const double bb = b.x * b.x + b.y * b.y, cc = c.x * c.x + c.y * c.y;
    const Pt centre = start + Pt{(c.y * bb - b.y * cc) / d, (b.x * cc - c.x * bb) / d};
    const double from = AngleAbout(centre, start);
    const double toEnd = Wrap(AngleAbout(centre, end) - from);
    const double toMid = Wrap(AngleAbout(centre, mid) - from);
    const double radians = toMid < toEnd ? toEnd : toEnd - 2.0 * kPi;
    auto points = ArcPoints(centre, start, radians);
    points.back() = end;
    return points;
}

// A cubic Bézier curve as 32 chords.
std::vector<Pt> Bezier(const std::vector<Pt>& c) {
    std::vector<Pt> points;
    constexpr int kSteps = 32;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = i / double(kSteps), u = 1.0 - t;
        const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
        points.push_back({w0 * c[0].x + w1 * c[1].x + w2 * c[2].x + w3 * c[3].x,
                          w0 * c[0].y + w1 * c[1].y + w2 * c[2].y + w3 * c[3].y});
    }
    return points;
}

// The points of (pts (xy x y) ... (arc (start) (mid) (end)) ...).
std::vector<Pt> PolyPoints(const SNode& item) {
    const SNode* pts = Child(item, "pts");
    if (!pts)
        Fail(item, Parenthesised(Head(item)) + " has no (pts ...)");
    std::vector<Pt> points;
    for (const SNode& p : pts->children) {
        if (Head(p) == "xy") {
            points.push_back(PointOf(p));
        } else if (Head(p) == "arc") {
            const auto arc = ArcThrough(PointIn(p, "start"), PointIn(p, "mid"), PointIn(p, "end"));
            points.insert(points.end(), arc.begin(), arc.end());
        }
    }
    return points;
}

// A drawn item as a polyline in its own frame; `closed` when its last point joins its first. Empty for
// what is not a shape (text, dimensions).
struct Shape {
    std::vector<Pt> points;
    bool closed = false;
};

Shape ShapeOf(const SNode& item) {
    std::string_view head = Head(item);
    if (head.starts_with("gr_") || head.starts_with("fp_"))
        head.remove_prefix(3);
    Shape shape;
    if (head == "line") {
        shape.points = {PointIn(item, "start"), PointIn(item, "end")};
    } else if (head == "rect") {
        const Pt a = PointIn(item, "start"), b = PointIn(item, "end");
        shape.points = {a, {b.x, a.y}, b, {a.x, b.y}};
        shape.closed = true;
    } else if (head == "poly") {
        shape.points = PolyPoints(item);
        shape.closed = true;
    } else if (head == "circle") {
        const Pt centre = PointIn(item, "center");
        const Pt on = PointIn(item, "end");
        shape.points = ArcPoints(centre, on, 2.0 * kPi);
        shape.points.pop_back();
        shape.closed = true;
    } else if (head == "arc") {
        if (Child(item, "mid")) { // KiCad 6 and later: start, mid, end
            shape.points = ArcThrough(PointIn(item, "start"), PointIn(item, "mid"), PointIn(item, "end"));
        } else { // KiCad 5: the centre as start, the first point as end, the angle clockwise on screen
            const SNode* angle = Child(item, "angle");
            if (!angle)
                Fail(item, Parenthesised(Head(item)) + " has neither (mid x y) nor (angle degrees)");
            shape.points =
                ArcPoints(PointIn(item, "start"), PointIn(item, "end"), Number(*angle, 0) * kDegree);
        }
    } else if (head == "curve") {
        const auto control = PolyPoints(item);
        if (control.size() != 4)
            Fail(item, Parenthesised(Head(item)) + " needs four points");
        shape.points = Bezier(control);
    }
    return shape;
}

bool IsDrawing(std::string_view head) {
    return head == "line" || head == "rect" || head == "poly" || head == "circle" || head == "arc" ||
           head == "curve";
}

// An open piece of the outline, and the item it came from.
struct Piece {
    std::vector<Pt> points;
    const SNode* item;
};

double Area(const std::vector<Pt>& polygon) {
    double twice = 0.0;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
        twice += (polygon[j].x + polygon[i].x) * (polygon[j].y - polygon[i].y);
    return std::abs(twice) / 2.0;
}

bool Inside(const std::vector<Pt>& polygon, Pt p) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Pt a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

void AppendJoined(std::vector<Pt>& chain, const std::vector<Pt>& points, bool reversed) {
    const std::size_t n = points.size();
    for (std::size_t k = 1; k < n; ++k)
        chain.push_back(points[reversed ? n - 1 - k : k]);
}

// The closed contours that the shapes and pieces make.
struct Contour {
    std::vector<Pt> points;
    const SNode* item;
};

// An outline item's shape, as a closed contour or as a piece to join with others.
void AddEdge(Shape shape, const SNode& item, std::vector<Piece>& pieces, std::vector<Contour>& closed) {
    if (shape.closed)
        closed.push_back({std::move(shape.points), &item});
    else if (shape.points.size() >= 2 && Distance(shape.points.front(), shape.points.back()) > 0.0)
        pieces.push_back({std::move(shape.points), &item});
    else if (shape.points.size() > 2)
        closed.push_back({std::move(shape.points), &item});
}

// The pieces' ends filed by the cell of a kJoin grid they lie in: an end within kJoin of a point lies in
// the point's cell or in one of the eight around it, so that joining n pieces takes some n steps, not n².
class PieceEnds {
public:
    explicit PieceEnds(const std::vector<Piece>& pieces) : pieces_(pieces) {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            cells_[Key(pieces[i].points.front())].push_back(i);
            cells_[Key(pieces[i].points.back())].push_back(i);
        }
    }

    // The first piece in the file's order, not yet used, with an end within kJoin of `p`; and whether
    // it is its start that meets `p`.
    std::optional<std::pair<std::size_t, bool>> Find(Pt p, const std::vector<bool>& used) const {
        std::optional<std::pair<std::size_t, bool>> best;
        const auto [cx, cy] = Cell(p);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto found = cells_.find(Key(cx + dx, cy + dy));
                if (found == cells_.end())
                    continue;
                for (const std::size_t j : found->second) {
                    if (used[j] || (best && best->first <= j))
                        continue;
                    const std::vector<Pt>& points = pieces_[j].points;
                    const bool forward = Distance(points.front(), p) <= kJoin;
                    if (forward || Distance(points.back(), p) <= kJoin)
                        best = std::pair{j, forward};
                }
            }
        return best;
    }

private:
    static std::pair<std::int64_t, std::int64_t> Cell(Pt p) {
        // Coordinates are read no larger than kLargest, and arcs stay near them: the cells fit easily.
        auto index = [](double v) {
            return static_cast<std::int64_t>(
                std::floor(std::clamp(v, -4.0 * kLargest, 4.0 * kLargest) / kJoin));
        };
        return {index(p.x), index(p.y)};
    }
    static std::uint64_t Key(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }
    static std::uint64_t Key(Pt p) {
        const auto [x, y] = Cell(p);
        return Key(x, y);
    }

    const std::vector<Piece>& pieces_;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells_;
};

std::vector<Contour> JoinPieces(const std::vector<Piece>& pieces) {
    std::vector<Contour> contours;
    std::vector<bool> used(pieces.size(), false);
    const PieceEnds ends(pieces);
    for (std::size_t first = 0; first < pieces.size(); ++first) {
        if (used[first])
            continue;
        used[first] = true;
        std::vector<Pt> chain = pieces[first].points;
        const SNode* last = pieces[first].item;
        for (;;) {
            if (chain.size() > 2 && Distance(chain.back(), chain.front()) <= kJoin) {
                chain.pop_back();
                break;
            }
            const auto next = ends.Find(chain.back(), used);
            if (!next) {
                std::string message =
                    "the board outline does not close: nothing on Edge.Cuts meets the end of this ";
                message += Head(*last);
                message += " at " + Mm(chain.back());
                Fail(*last, message);
            }
            const auto [j, forward] = *next;
            AppendJoined(chain, pieces[j].points, !forward);
            used[j] = true;
            last = pieces[j].item;
        }
        contours.push_back({std::move(chain), pieces[first].item});
    }
    return contours;
}

// The board's contours in the file's frame, the outer one first.
std::vector<std::vector<Pt>> Outline(std::vector<Contour> contours, std::vector<std::string>& notes) {
    std::erase_if(contours, [&](const Contour& c) {
        if (c.points.size() >= 3 && Area(c.points) > 1e-9)
            return false;
        notes.push_back(Where(*c.item) + "an Edge.Cuts contour encloses no area and is left out");
        return true;
    });
    if (contours.empty())
        return {};
    std::size_t outer = 0;
    for (std::size_t i = 1; i < contours.size(); ++i)
        if (Area(contours[i].points) > Area(contours[outer].points))
            outer = i;
    std::swap(contours[0], contours[outer]);
    std::vector<std::vector<Pt>> outline;
    for (std::size_t i = 0; i < contours.size(); ++i) {
        const auto& points = contours[i].points;
        // A cutout has a vertex inside the outer contour; a second board has none. Sixteen of its
        // vertices, spread along it, tell which.
        bool inside = i == 0;
        const std::size_t step = std::max<std::size_t>(1, points.size() / 16);
        for (std::size_t k = 0; k < points.size() && !inside; k += step)
            inside = Inside(contours[0].points, points[k]);
        if (!inside)
            Fail(*contours[i].item, "this Edge.Cuts contour lies outside the board's outer contour: the file "
                                    "holds more than one board");
        outline.push_back(points);
    }
    return outline;
}

// The bounding box of points in a footprint's frame.
struct Box {
    double minX = std::numeric_limits<double>::infinity(), minY = minX, maxX = -minX, maxY = -minX;
    void Add(Pt p) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    bool HasArea() const { return maxX > minX && maxY > minY; }
};

std::string TextOf(const SNode& fp, std::string_view property, std::string_view fpText) {
    for (const SNode* p : Children(fp, "property"))
        if (AtomText(*p, 0) == property)
            return std::string(AtomText(*p, 1).value_or(""));
    for (const SNode* t : Children(fp, "fp_text"))
        if (AtomText(*t, 0) == fpText)
            return std::string(AtomText(*t, 1).value_or(""));
    return {};
}

struct ReadFootprint {
    Footprint footprint;
    Placement placement; // in the file's frame
};

ReadFootprint ReadOne(const SNode& fp, std::vector<Piece>& pieces, std::vector<Contour>& closed,
                      std::vector<std::string>& notes) {
    ReadFootprint read;
    Footprint& f = read.footprint;
    f.line = fp.line;
    f.ref = TextOf(fp, "Reference", "reference");
    if (f.ref.empty())
        Fail(fp, "a footprint without a reference");
    f.libId = std::string(AtomText(fp, 0).value_or(""));
    f.value = TextOf(fp, "Value", "value");
    const SNode* at = Child(fp, "at");
    if (!at)
        Fail(fp, "footprint " + Quote(f.ref) + " has no (at x y)");
    read.placement = {PointOf(*at), OptionalNumber(*at, 2, 0.0)};
    const std::string_view layer = LayerOf(fp);
    f.bottom = layer == "B.Cu";
    if (layer != "F.Cu" && layer != "B.Cu")
        notes.push_back(Where(fp) + "footprint " + Quote(f.ref) + " is on layer " + Quote(layer) +
                        ", neither F.Cu nor B.Cu: taken as on the top side");
    const double turn = std::fmod(read.placement.degrees, 360.0);
    f.rotation = turn < 0.0 ? turn + 360.0 : turn + 0.0; // + 0.0: no -0
    if (f.rotation >= 360.0)
        f.rotation = 0.0;

    const SNode* attr = Child(fp, "attr");
    f.smd = attr && HasAtom(*attr, "smd");
    f.throughHole = attr ? HasAtom(*attr, "through_hole") : Head(fp) == "module";
    const bool virtualPart = attr && HasAtom(*attr, "virtual"); // KiCad 5: on the board only
    f.boardOnly = virtualPart || (attr && HasAtom(*attr, "board_only"));
    f.excludeFromBom = virtualPart || (attr && HasAtom(*attr, "exclude_from_bom"));
    f.excludeFromPos = virtualPart || (attr && HasAtom(*attr, "exclude_from_pos_files"));
    f.dnp = attr && HasAtom(*attr, "dnp");

    Box fab, courtyard, pads;
    for (const SNode& item : fp.children) {
        const std::string_view head = Head(item);
        if (head == "pad") {
            const SNode* padAt = Child(item, "at");
            const SNode* size = Child(item, "size");
            if (!padAt || !size)
                continue;
            const Pt centre = PointOf(*padAt);
            const double own = (OptionalNumber(*padAt, 2, 0.0) - read.placement.degrees) * kDegree;
            const double w = Number(*size, 0) / 2.0, h = Number(*size, 1) / 2.0;
            for (Pt corner : {Pt{-w, -h}, Pt{w, -h}, Pt{w, h}, Pt{-w, h}})
                pads.Add(centre + Turn(corner, -own));
            continue;
        }
        if (!head.starts_with("fp_") || !IsDrawing(head.substr(3)))
            continue;
        const std::string_view itemLayer = LayerOf(item);
        const bool isFab = itemLayer == "F.Fab" || itemLayer == "B.Fab";
        const bool isCourtyard = itemLayer == "F.CrtYd" || itemLayer == "B.CrtYd";
        const bool isEdge = itemLayer == "Edge.Cuts";
        if (!isFab && !isCourtyard && !isEdge)
            continue;
        Shape shape = ShapeOf(item);
        if (isEdge) {
            for (Pt& p : shape.points)
                p = read.placement.Apply(p);
            AddEdge(std::move(shape), item, pieces, closed);
            continue;
        }
        Box& box = isFab ? fab : courtyard;
        if (head == "fp_circle") { // its extent exactly, not its polygon's
            const Pt centre = PointIn(item, "center");
            const double r = Distance(centre, PointIn(item, "end"));
            box.Add(centre - Pt{r, r});
            box.Add(centre + Pt{r, r});
        }
        for (Pt p : shape.points)
            box.Add(p);
    }
    const Box* body = fab.HasArea()         ? &fab
                      : courtyard.HasArea() ? &courtyard
                      : pads.HasArea()      ? &pads
                                            : nullptr;
    if (body) {
        f.bodyX = (body->maxX - body->minX) / kMillimetresPerInch;
        f.bodyY = (body->maxY - body->minY) / kMillimetresPerInch;
        // KiCad keeps a bottom footprint's drawing mirrored, as seen from the top; the layout's body centre
        // is in the footprint's own frame, which a bottom footprint mirrors in x.
        f.bodyCentreX = (f.bottom ? -1.0 : 1.0) * (body->minX + body->maxX) / 2.0 / kMillimetresPerInch;
        f.bodyCentreY = -(body->minY + body->maxY) / 2.0 / kMillimetresPerInch;
    }
    // Without a drawing the body is left unknown, and said so only where it matters: a footprint that is
    // evaluated takes its body from its name or its rule, or is a bad row that says neither gives one.
    return read;
}

// The thickness in mm: the general section's, else the stackup's copper and dielectric layers summed.
std::optional<double> Thickness(const SNode& root, std::vector<std::string>& notes) {
    if (const SNode* general = Child(root, "general"))
        if (const SNode* thickness = Child(*general, "thickness")) {
            const double mm = Number(*thickness, 0);
            if (mm > 0.0)
                return mm;
            notes.push_back(Where(*thickness) + "the board's thickness is not positive and is left out");
            return std::nullopt;
        }
    const SNode* setup = Child(root, "setup");
    const SNode* stackup = setup ? Child(*setup, "stackup") : nullptr;
    if (stackup) {
        double sum = 0.0;
        for (const SNode* layer : Children(*stackup, "layer")) {
            const SNode* type = Child(*layer, "type");
            const std::string_view kind = type ? AtomText(*type, 0).value_or("") : "";
            const SNode* thickness = Child(*layer, "thickness");
            if (thickness && (kind == "copper" || kind == "core" || kind == "prepreg"))
                sum += Number(*thickness, 0);
        }
        if (sum > 0.0) {
            notes.push_back(Where(*stackup) +
                            "the thickness is the stackup's copper and dielectric layers summed");
            return sum;
        }
    }
    notes.push_back("the file gives no board thickness");
    return std::nullopt;
}

Layout Read(const SNode& root, std::vector<std::string>& notes) {
    Layout layout;
    if (const auto mm = Thickness(root, notes))
        layout.thickness = *mm / kMillimetresPerInch;

    std::vector<Piece> pieces;
    std::vector<Contour> closed;
    std::vector<ReadFootprint> footprints;
    for (const SNode& item : root.children) {
        const std::string_view head = Head(item);
        if (head == "footprint" || head == "module") {
            footprints.push_back(ReadOne(item, pieces, closed, notes));
        } else if (head.starts_with("gr_") && IsDrawing(head.substr(3)) && LayerOf(item) == "Edge.Cuts") {
            AddEdge(ShapeOf(item), item, pieces, closed);
        }
    }
    std::vector<Contour> contours = JoinPieces(pieces);
    contours.insert(contours.end(), std::make_move_iterator(closed.begin()),
                    std::make_move_iterator(closed.end()));
    const auto outline = Outline(std::move(contours), notes);

    // The board frame's origin in the file's: the outer contour's lower-left corner, that is its least x
    // and greatest y.
    Pt origin;
    if (outline.empty()) {
        notes.push_back("the file has no outline on Edge.Cuts: positions count from the file's origin");
    } else {
        origin = outline[0][0];
        for (Pt p : outline[0]) {
            origin.x = std::min(origin.x, p.x);
            origin.y = std::max(origin.y, p.y);
        }
    }
    auto toBoard = [&](Pt p) {
        return PlatePoint{(p.x - origin.x) / kMillimetresPerInch, (origin.y - p.y) / kMillimetresPerInch};
    };
    for (const auto& contour : outline) {
        Polygon& polygon = layout.outline.emplace_back();
        for (Pt p : contour)
            polygon.push_back(toBoard(p));
    }
    for (ReadFootprint& read : footprints) {
        const PlatePoint at = toBoard(read.placement.at);
        read.footprint.x = at.x;
        read.footprint.y = at.y;
        layout.footprints.push_back(std::move(read.footprint));
    }
    return layout;
}

} // namespace

bool LooksLikeKicadBoard(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    };
    auto skipBlanks = [&] {
        while (!text.empty() && blank(text[0]))
            text.remove_prefix(1);
    };
    skipBlanks();
    if (!text.starts_with('('))
        return false;
    text.remove_prefix(1);
    skipBlanks();
    constexpr std::string_view kHead = "kicad_pcb";
    if (!text.starts_with(kHead))
        return false;
    text.remove_prefix(kHead.size());
    return text.empty() || blank(text[0]) || text[0] == '(' || text[0] == ')' || text[0] == '"';
}

KicadReading ReadKicadBoard(std::string_view text) {
    KicadReading reading;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    SexprReading sexpr = ReadSexpr(text);
    if (!sexpr.error.empty()) {
        reading.error = std::move(sexpr.error);
        return reading;
    }
    if (sexpr.nodes.empty()) {
        reading.error = "not a KiCad board file: the text is empty";
        return reading;
    }
    const SNode& root = sexpr.nodes.front();
    const std::string_view head = Head(root);
    if (head != "kicad_pcb") {
        if (head == "footprint" || head == "module")
            reading.error = Where(root) + "a footprint library file, not a board file: it starts with '(" +
                            std::string(head) + "', a board with '(kicad_pcb'";
        else
            reading.error = Where(root) + "not a KiCad board file: it starts with " +
                            (root.IsList() ? Quote(std::string(1, '(').append(head)) : Quote(root.text)) +
                            " where a board starts with '(kicad_pcb'";
        return reading;
    }
    try {
        reading.layout = Read(root, reading.notes);
    } catch (const Failure& failure) {
        reading.layout.reset();
        reading.error = failure.message;
        reading.notes.clear();
    }
    return reading;
}

} // namespace board
