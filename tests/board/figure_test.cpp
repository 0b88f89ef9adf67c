// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The figure model: ticks, scales and the margin's colour scale, and the figures built from a report.
#include "board/analysis.h"
#include "board/figure.h"
#include "board/figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace board::figure;

std::vector<std::string> Labels(const std::vector<Tick>& ticks) {
    std::vector<std::string> labels;
    for (const Tick& t : ticks)
        if (!t.label.empty())
            labels.push_back(t.label);
    return labels;
}

struct TickRow {
    const char* name;
    double lo, hi;
    bool log;
    std::vector<std::string> labels;
};

TEST(Ticks, AreOneTwoFivePerDecadeOrStep) {
    const TickRow rows[] = {
        {"a vibration band, log", 20, 2000, true, {"20", "50", "100", "200", "500", "1000", "2000"}},
        {"levels below one, log", 0.002, 0.1, true, {"0.002", "0.005", "0.01", "0.02", "0.05", "0.1"}},
        {"seven decades label only their ones",
         1e-3,
         1e4,
         true,
         {"0.001", "0.01", "0.1", "1", "10", "100", "1000", "10000"}},
        {"a small displacement, log", 2e-5, 1e-4, true, {"2e-05", "5e-05", "0.0001"}},
        {"zero to one: tenths would be eleven ticks", 0, 1, false, {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
        {"zero to nine, linear", 0, 9, false, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"zero to 229 mm, linear", 0, 229, false, {"0", "50", "100", "150", "200"}},
        {"across zero, linear", -3, 7, false, {"-2", "0", "2", "4", "6"}},
    };
    for (const TickRow& row : rows)
        EXPECT_EQ(Labels(Ticks(row.lo, row.hi, row.log)), row.labels) << row.name;
}

TEST(Ticks, LogScaleHasMinorTicksOnlyOverAFewDecades) {
    const std::vector<Tick> few = Ticks(10, 1000, true);
    EXPECT_EQ(few.size(), 19u); // 10 … 90, 100 … 900, 1000
    const std::vector<Tick> many = Ticks(1e-6, 1, true);
    for (const Tick& t : many)
        EXPECT_FALSE(t.label.empty()) << t.value;
}

TEST(Ticks, AnEmptyOrInvalidRangeHasNone) {
    EXPECT_TRUE(Ticks(5, 5, false).empty());
    EXPECT_TRUE(Ticks(0, 10, true).empty());
    EXPECT_TRUE(Ticks(10, 1, true).empty());
}

TEST(Scale, MapsLinearlyAndByLogarithm) {
    const Scale log{10, 1000, 100, 300, true};
    EXPECT_DOUBLE_EQ(log.Map(10), 100);
    EXPECT_DOUBLE_EQ(log.Map(100), 200);
    EXPECT_NEAR(log.Map(std::sqrt(10.0) * 100), 250, 1e-9);
    const Scale down{0, 7, 500, 10, false}; // a board's y, drawn upwards
    EXPECT_DOUBLE_EQ(down.Map(0), 500);
    EXPECT_DOUBLE_EQ(down.Map(3.5), 255);
}

TEST(Scale, EndsRoundOutToOneTwoFive) {
    const struct {
        double value, down, up;
    } rows[] = {{20, 20, 20},          {68.16, 50, 100}, {2000, 2000, 2000},
                {0.0093, 0.005, 0.01}, {3.1, 2, 5},      {7, 5, 10}};
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(RoundDown125(row.value), row.down) << row.value;
        EXPECT_DOUBLE_EQ(RoundUp125(row.value), row.up) << row.value;
    }
}

TEST(ColourScale, LightnessRisesWithTheMarginEverywhere) {
    double previous = -1.0;
    for (int i = 0; i <= 200; ++i) {
        const double l = Lightness(RampColour(i / 200.0));
        EXPECT_GT(l, previous) << "t = " << i / 200.0;
        previous = l;
    }
    for (int band = 1; band < kMarginBands; ++band)
        EXPECT_GT(Lightness(BandColour(band)) - Lightness(BandColour(band - 1)), 5.0)
            << "bands " << band - 1 << " and " << band << " must differ in grey";
}

TEST(ColourScale, FailingMarginsTakeTheDarkSide) {
    // CIE L* of the reference colours: white 100, black 0, mid grey #777777 about 50.
    EXPECT_NEAR(Lightness({255, 255, 255}), 100.0, 1e-6);
    EXPECT_NEAR(Lightness({0, 0, 0}), 0.0, 1e-6);
    EXPECT_NEAR(Lightness({0x77, 0x77, 0x77}), 50.0, 0.5);
    const double darkestPassing = Lightness(MarginColour(1.0));
    for (const double failing : {0.0, 0.1, 0.3, 0.6, 0.9, 0.999})
        EXPECT_LT(Lightness(MarginColour(failing)), darkestPassing) << failing;
    for (const double passing : {1.0, 1.2, 3.0, 100.0})
        EXPECT_GE(MarginBand(passing), MarginBand(1.0)) << passing;
    EXPECT_NE(MarginColour(0.999), MarginColour(1.0));
    EXPECT_EQ(BandLabel(0), "below 0.25");
    EXPECT_EQ(BandLabel(3), "0.75 to 1");
    EXPECT_EQ(BandLabel(kMarginBands - 1), "4 and above");
}

// The README's board: 9 × 7 × 0.08 in, 1.2 lb, flat 0.04 g²/Hz from 20 to 2000 Hz.
board::Report ReadmeBoard(board::EdgeSupports edges = {}) {
    board::BoardInput in;
    in.a = 9;
    in.b = 7;
    in.h = 0.08;
    in.weight = 1.2;
    in.edges = edges;
    std::string error;
    in.psd = *board::Psd::Make({{20, 0.04}, {2000, 0.04}}, error);
    const auto list = board::ReadPartsList("ref,kind,L,parallel,x,y,r\n"
                                           "U1,bga,1.4,a,4.5,3.5,\n"
                                           "U3,dip,1.0,a,7.2,1.8,\n"
                                           "R1,resistor,0.4,b,1.0,1.0,\n"
                                           "J1,two-row,2.5,a,,,0.5\n");
    return *board::Analyse(in, *list.list).report;
}

template <typename T>
std::vector<const board::figure::Item*> WithRole(const Figure& f, const std::string& role) {
    std::vector<const board::figure::Item*> out;
    for (const board::figure::Item& item : f.items)
        if (item.role.starts_with(role) && std::holds_alternative<T>(item.shape))
            out.push_back(&item);
    return out;
}

TEST(BoardMap, DrawsEachPlacedPartAtItsPlaceAndSize) {
    const board::Report report = ReadmeBoard();
    const Figure map = BoardMap(report);
    const auto parts = WithRole<Rect>(map, "part");
    ASSERT_EQ(parts.size(), 3u); // J1 is placed by r
    // The board's corners: 9 in across and 7 in up, one scale both ways.
    const double s = (map.x.scale.Map(9) - map.x.scale.Map(0)) / 9.0;
    EXPECT_NEAR((map.y.scale.Map(0) - map.y.scale.Map(7)) / 7.0, s, 1e-9);
    for (const auto* item : parts) {
        const Rect& r = std::get<Rect>(item->shape);
        if (item->title.starts_with("U1")) { // a BGA: a square of its length, 4.5 in across and 3.5 in up
            EXPECT_NEAR(r.centre.x, map.x.scale.Map(0) + 4.5 * s, 1e-9);
            EXPECT_NEAR(r.centre.y, map.y.scale.Map(0) - 3.5 * s, 1e-9);
            EXPECT_NEAR(r.width, 1.4 * s, 1e-9);
            EXPECT_NEAR(r.height, 1.4 * s, 1e-9);
            EXPECT_EQ(item->role, "part fail");
            EXPECT_LT(Lightness(r.fill), Lightness(MarginColour(1.0)));
        } else if (item->title.starts_with("R1")) { // along b: turned a quarter
            EXPECT_NEAR(r.width, 0.4 * s, 1e-9);
            EXPECT_DOUBLE_EQ(std::abs(r.rotation), 90.0);
        }
    }
    EXPECT_EQ(WithRole<Path>(map, "edge-simple").size(), 4u);
    EXPECT_TRUE(WithRole<Path>(map, "mode-contour").empty()); // the plain simply supported board
}

// A part from a layout is drawn as the layout draws it: its side across as given, turned as it is placed
// (counter-clockwise on the board, whose y runs up; clockwise on the canvas, whose y runs down).
TEST(BoardMap, DrawsALayoutsBodyTurnedAsPlaced) {
    board::Report report = ReadmeBoard();
    for (board::PartResult& p : report.parts)
        if (p.ref == "U3") {
            p.across = 0.25;
            p.direction = 30.0;
        }
    const Figure map = BoardMap(report);
    const double s = (map.x.scale.Map(9) - map.x.scale.Map(0)) / 9.0;
    bool found = false;
    for (const auto* item : WithRole<Rect>(map, "part")) {
        if (!item->title.starts_with("U3"))
            continue;
        found = true;
        const Rect& r = std::get<Rect>(item->shape);
        EXPECT_NEAR(r.height, 0.25 * s, 1e-9);
        EXPECT_DOUBLE_EQ(r.rotation, -30.0);
        // Its length's end, half of L along 30 degrees from its centre, lands up and to the right.
        const double c = std::cos(r.rotation * std::numbers::pi / 180.0),
                     sn = std::sin(r.rotation * std::numbers::pi / 180.0);
        const double endX = r.centre.x + r.width / 2.0 * c, endY = r.centre.y + r.width / 2.0 * sn;
        EXPECT_GT(endX, r.centre.x);
        EXPECT_LT(endY, r.centre.y);
        EXPECT_NEAR(std::atan2(r.centre.y - endY, endX - r.centre.x) * 180.0 / std::numbers::pi, 30.0, 1e-9);
    }
    EXPECT_TRUE(found);
}

TEST(BoardMap, ShowsTheModeShapeAndClampedEdgesOfAModelledBoard) {
    using S = board::EdgeSupport;
    const Figure map = BoardMap(ReadmeBoard({S::Clamped, S::Clamped, S::Free, S::Free}));
    EXPECT_EQ(WithRole<Path>(map, "edge-clamped").size(), 2u);
    EXPECT_FALSE(WithRole<Path>(map, "mode-contour").empty());
}

TEST(ResponseFigure, MarksFnWhereTheAxisPutsIt) {
    const board::Report report = ReadmeBoard();
    Outcome outcome;
    outcome.worstZ = report.parts[0].zAllow;
    outcome.requiredFn = 208.2;
    const Figure f = ResponseFigure(report, outcome);
    const auto fn = WithRole<Path>(f, "fn");
    ASSERT_EQ(fn.size(), 1u);
    // The axis from 20 to 2000 Hz spans two decades over the plot's width.
    ASSERT_DOUBLE_EQ(f.x.scale.lo, 20);
    ASSERT_DOUBLE_EQ(f.x.scale.hi, 2000);
    const double x = f.left + (f.right - f.left) * std::log10(report.board.response.fn / 20.0) / 2.0;
    EXPECT_NEAR(std::get<Path>(fn[0]->shape).runs[0][0].x, x, 1e-9);
    // The board's own point at fn lies on the curve drawn across the band: both are Miles' response.
    const auto curve = WithRole<Path>(f, "z3sigma");
    const auto point = WithRole<Marker>(f, "fn-point");
    ASSERT_EQ(curve.size(), 1u);
    ASSERT_EQ(point.size(), 1u);
    const Point at = std::get<Marker>(point[0]->shape).at;
    const std::vector<Point>& run = std::get<Path>(curve[0]->shape).runs[0];
    for (std::size_t i = 0; i + 1 < run.size(); ++i)
        if (run[i].x <= at.x && at.x <= run[i + 1].x) {
            const double t = (at.x - run[i].x) / (run[i + 1].x - run[i].x);
            EXPECT_NEAR(run[i].y + t * (run[i + 1].y - run[i].y), at.y, 0.05);
        }
}

} // namespace
