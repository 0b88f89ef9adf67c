// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A whole board: the dialog's own Z for every part, positions, notes, pass and fail, and the refusals.
#include "board/analysis.h"
#include "board/text.h"

#include "calc/displacement.h"
#include "calc/evaluation.h"
#include "calc/tables.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

board::BoardInput Board(double fn = 300.0) {
    board::BoardInput in;
    in.a = 9.0;
    in.b = 7.0;
    in.h = 0.08;
    in.fn = fn;
    return in;
}

board::Report Evaluate(const board::BoardInput& in, const std::string& csv) {
    board::PartsReading parts = board::ReadPartsList(csv);
    EXPECT_TRUE(parts.list) << parts.error;
    board::Analysis analysis = board::Analyse(in, std::move(*parts.list));
    EXPECT_TRUE(analysis.report) << static_cast<int>(analysis.problem.kind);
    return analysis.report ? std::move(*analysis.report) : board::Report{};
}

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

// The dialog's worked values (board edge, thickness, length, C, r → Z) give the same double here, through
// a parts list, as through the dialog's own Calculate.
TEST(Analysis, AllowableZIsTheDialogsBitForBit) {
    struct Row {
        double B, h, L, C, r;
        const char* shown;
    };
    const std::vector<Row> rows{
        {6, 0.062, 1, 1.0, 1.0, "0.0213"},
        {8, 0.093, 2, 1.26, 0.707, "0.015"},
        {1, 1, 1, 1, 1, "0.00022"},
        {1000, 0.01, 0.01, 0.75, 0.5, "587"},
    };
    for (const Row& row : rows) {
        board::BoardInput in = Board();
        in.a = row.B;
        in.b = 1.0;
        in.h = row.h;
        const std::string csv = "ref,L,C,r,parallel\nU1," + board::FormatNumber(row.L) + "," +
                                board::FormatNumber(row.C) + "," + board::FormatNumber(row.r) + ",a\n";
        const board::Report report = Evaluate(in, csv);
        ASSERT_EQ(report.parts.size(), 1u);
        const calc::Evaluation dialog = calc::Evaluate({row.L, row.C, row.B, row.h, row.r}, true);
        ASSERT_TRUE(dialog.succeeded);
        EXPECT_EQ(Bits(report.parts[0].zAllow), Bits(dialog.z)) << row.shown;
        EXPECT_EQ(board::FormatSignificant(report.parts[0].zAllow, 3), row.shown);
    }
}

TEST(Analysis, TheEdgeAPartRunsAlongIsB) {
    const board::Report report = Evaluate(Board(), "ref,L,kind,r,parallel\nA,1,dip,1,a\nB,1,dip,1,b\n");
    ASSERT_EQ(report.parts.size(), 2u);
    EXPECT_EQ(report.parts[0].B, 9.0);
    EXPECT_EQ(report.parts[1].B, 7.0);
    EXPECT_EQ(Bits(report.parts[1].zAllow), Bits(calc::RelativeDisplacementLimit(7.0, 0.08, 1.0, 1.0, 1.0)));
}

// The first mode of a simply supported board puts the dialog's three positions at r = 1, 0.707 and 0.5.
TEST(Analysis, PositionGivesTheDialogsThreeRows) {
    const board::Report report = Evaluate(
        Board(),
        "ref,L,kind,x,y\ncentre,1,dip,4.5,3.5\nhalf-quarter,1,dip,4.5,1.75\nquarter,1,dip,2.25,5.25\n"
        "mm,1,dip,114.3mm,88.9mm\n");
    ASSERT_EQ(report.parts.size(), 4u);
    EXPECT_EQ(report.parts[0].r, calc::PositionFactorTable[0].r) << "exactly 1 at the centre";
    EXPECT_EQ(board::FormatSignificant(report.parts[1].r, 3), "0.707");
    EXPECT_NEAR(report.parts[2].r, calc::PositionFactorTable[2].r, 1e-15);
    EXPECT_EQ(report.parts[2].notes & board::kNoteRBelowHalf, 0u)
        << "a quarter/quarter part is not below 0.5";
    EXPECT_EQ(report.parts[3].r, 1.0) << "the centre given in millimetres";
}

TEST(Analysis, NotesOnUnusualInputs) {
    board::BoardInput in = Board();
    in.h = 0.6;
    const std::string csv =
        "ref,L,C,r,x,y,parallel\nlow-C,1,0.5,1,,,a\nhigh-C,1,2.5,1,,,a\nedge,1,1,,0.5,0.5,a\n"
        "plain,1,1.75,1,,,a\nlow-r,1,1,0.3,,,a\n";
    const board::Report report = Evaluate(in, csv);
    ASSERT_EQ(report.parts.size(), 5u);
    const std::vector<std::vector<std::string>> expected{
        {"C 0.5 is outside the typical range 0.75 to 2.25"},
        {"C 2.5 is outside the typical range 0.75 to 2.25"},
        // sin 10° · sin(180°/14), raised to the floor
        {"r 0.0386 from the position is below the floor 0.5, which is used"},
        {},
        {"r 0.3 is below 0.5, the lowest the criterion tabulates"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(board::NoteTexts(report.parts[i], report.requiredHours), expected[i])
            << report.parts[i].ref;
    EXPECT_EQ(report.parts[2].r, 0.5);
    EXPECT_EQ(board::FormatSignificant(*report.parts[2].rComputed, 3), "0.0386");
    EXPECT_EQ(report.board.notes,
              (std::vector<std::string>{"h 0.6 in is above 0.5 in, beyond the criterion's usual range"}));

    // Without the floor, the shape's own value, as a note of its own.
    in.rMin = 0.0;
    const board::Report unfloored = Evaluate(in, csv);
    EXPECT_EQ(board::FormatSignificant(unfloored.parts[2].r, 3), "0.0386");
    EXPECT_EQ(board::NoteTexts(unfloored.parts[2], {}),
              (std::vector<std::string>{"r 0.0386 is below 0.5, the lowest the criterion tabulates"}));
}

TEST(Analysis, InputsThatCannotBeEvaluatedAreBadRows) {
    const board::Report report = Evaluate(Board(), "ref,L,C,r,x,y,parallel\n"
                                                   "zero-L,0,1,1,,,a\n"
                                                   "negative-C,1,-1,1,,,a\n"
                                                   "zero-r,1,1,0,,,a\n"
                                                   "off-board,1,1,,10,3,a\n"
                                                   "on-edge,1,1,,0,3,a\n"
                                                   "longer-than-b,8,1,1,,,b\n"
                                                   "past-the-edge,2,1,,8.5,3,a\n"
                                                   "longer-than-both,10,1,1,,,\n"
                                                   "good,1,1,1,,,a\n");
    ASSERT_EQ(report.parts.size(), 1u);
    EXPECT_EQ(report.parts[0].ref, "good");
    std::vector<std::string> messages;
    std::vector<std::size_t> lines;
    for (const board::RowError& e : report.errors) {
        messages.push_back(e.message);
        lines.push_back(e.line);
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "L must be > 0",
                            "C must be > 0",
                            "r must be > 0",
                            "position x 10 in, y 3 in is not inside the board (9 in by 7 in)",
                            "position x 0 in, y 3 in is not inside the board (9 in by 7 in)",
                            "L 8 in is longer than edge b (7 in)",
                            "the part, 2 in long along edge a at x 8.5 in, reaches past the board's edge",
                            "L 10 in is longer than edge a (9 in); L 10 in is longer than edge b (7 in)",
                        }));
}

// A part whose edge is not given, and a four-sided package whatever its edge, is evaluated along both
// edges: the criterion's Z grows with B, so on a 9 × 7 board the shorter edge b is the worse.
TEST(Analysis, BothEdgesWhereTheEdgeIsNotGivenOrTheJointsRunBothWays) {
    struct Row {
        const char* name;
        const char* kind;
        const char* parallel;
        board::Edge used;
        bool both;
        unsigned note;
    };
    const std::vector<Row> rows{
        {"dip along a", "dip", "a", board::Edge::A, false, 0},
        {"dip along x, which is a", "dip", "x", board::Edge::A, false, 0},
        {"dip along y, which is b", "dip", "Y", board::Edge::B, false, 0},
        {"dip, edge not given", "dip", "", board::Edge::B, true, board::kNoteEdgeNotGiven},
        {"bga said to lie along a", "bga", "a", board::Edge::B, true, board::kNoteFourSided},
        {"pga", "pga", "a", board::Edge::B, true, board::kNoteFourSided},
        {"lccc", "lccc", "a", board::Edge::B, true, board::kNoteFourSided},
        {"lccc-j", "lccc-j", "a", board::Edge::B, true, board::kNoteFourSided},
        {"fine-pitch", "fine-pitch", "a", board::Edge::B, true, board::kNoteFourSided},
        {"two-row along a", "two-row", "a", board::Edge::A, false, 0},
    };
    for (const Row& row : rows) {
        const board::Report report = Evaluate(Board(), std::string("ref,L,kind,r,parallel\nU1,1,") +
                                                           row.kind + ",1," + row.parallel + "\n");
        ASSERT_EQ(report.parts.size(), 1u) << row.name;
        const board::PartResult& p = report.parts[0];
        EXPECT_EQ(p.parallel, row.used) << row.name;
        EXPECT_EQ(p.bothEdges, row.both) << row.name;
        EXPECT_EQ(p.B, row.used == board::Edge::A ? 9.0 : 7.0) << row.name;
        EXPECT_EQ(Bits(p.zAllow), Bits(calc::RelativeDisplacementLimit(p.B, 0.08, 1.0, p.C, 1.0)))
            << row.name;
        EXPECT_EQ(p.notes & (board::kNoteEdgeNotGiven | board::kNoteFourSided), row.note) << row.name;
        EXPECT_EQ(p.parallelGiven, row.parallel) << row.name;
    }
    // A part that fits along one edge only lies along that one.
    const board::Report tall = Evaluate(Board(), "ref,L,kind,r,parallel\nJ1,8,two-row,1,\n");
    ASSERT_EQ(tall.parts.size(), 1u);
    EXPECT_EQ(tall.parts[0].parallel, board::Edge::A);
}

TEST(Analysis, MarginLifeAndPass) {
    // With fn given, Z3σ is fixed; a part whose Z is exactly Z3σ lasts 2×10⁷ cycles and passes.
    board::BoardInput in = Board(200.0);
    const double z3 = board::MilesResponse(200.0, {}, in.psd).z3sigma;
    const board::Report report = Evaluate(in, "ref,L,C,r,parallel\nbig,0.1,0.75,1,a\nsmall,8,2.25,0.5,a\n");
    ASSERT_EQ(report.parts.size(), 2u);
    for (const board::PartResult& p : report.parts) {
        EXPECT_EQ(p.margin, p.zAllow / z3);
        EXPECT_EQ(p.cycles, board::LifeCycles(p.zAllow, z3));
        EXPECT_EQ(p.hours, p.cycles / (200.0 * 3600.0));
        EXPECT_EQ(p.pass, p.margin >= 1.0) << p.ref;
    }
    EXPECT_TRUE(report.parts[0].pass);
    EXPECT_FALSE(report.parts[1].pass);
    EXPECT_FALSE(report.AllPass());
    EXPECT_EQ(report.board.requiredFn, board::RequiredFrequency(report.parts[1].zAllow, {}, in.psd))
        << "the board frequency is the worst part's";
}

TEST(Analysis, RequiredLifeFailsAPartWithMargin) {
    board::BoardInput in = Board(200.0);
    const board::Report loose = Evaluate(in, "ref,L,C,r,parallel\nU1,0.1,0.75,1,a\n");
    ASSERT_EQ(loose.parts.size(), 1u);
    const double hours = loose.parts[0].hours;
    ASSERT_GT(loose.parts[0].margin, 1.0);

    in.requiredHours = hours * 2.0;
    const board::Report strict = Evaluate(in, "ref,L,C,r,parallel\nU1,0.1,0.75,1,a\n");
    EXPECT_FALSE(strict.parts[0].pass);
    EXPECT_EQ(board::NoteTexts(strict.parts[0], strict.requiredHours),
              (std::vector<std::string>{"life below the required " +
                                        board::FormatSignificant(hours * 2.0, 6) + " hours"}));
    in.requiredHours = hours;
    EXPECT_TRUE(Evaluate(in, "ref,L,C,r,parallel\nU1,0.1,0.75,1,a\n").parts[0].pass)
        << "exactly the required life passes";
}

TEST(Analysis, EstimatedFrequency) {
    board::BoardInput in = Board();
    in.fn.reset();
    in.weight = 1.2;
    const board::Report simple = Evaluate(in, "ref,L,kind,r\nU1,1,dip,1\n");
    EXPECT_EQ(simple.board.fnFrom, board::FnSource::Simple);
    EXPECT_EQ(simple.board.response.fn,
              board::PlateFrequency({9.0, 7.0, 0.08, 1.2}, board::Supports::Simple));
    in.edges = *board::ParseEdgeLetters("CCCC");
    const board::Report clamped = Evaluate(in, "ref,L,kind,r\nU1,1,dip,1\n");
    EXPECT_EQ(clamped.board.fnFrom, board::FnSource::FiniteElements);
    ASSERT_TRUE(clamped.board.plate);
    EXPECT_TRUE(clamped.board.plate->converged);
    // Rayleigh's estimate with the clamped beams' (1 - cos) shapes is an upper bound, some 3 % high.
    const double rayleigh = board::PlateFrequency({9.0, 7.0, 0.08, 1.2}, board::Supports::Clamped);
    EXPECT_LT(clamped.board.response.fn, rayleigh);
    EXPECT_GT(clamped.board.response.fn, 0.95 * rayleigh);
    // The assumptions say where fn came from and what the life rests on.
    EXPECT_EQ(clamped.assumptions.front(), board::kLifeAssumption);
    bool saysFiniteElements = false;
    for (const std::string& a : clamped.assumptions)
        saysFiniteElements =
            saysFiniteElements || a.find("finite elements (Bogner-Fox-Schmit") != std::string::npos;
    EXPECT_TRUE(saysFiniteElements);
}

TEST(Analysis, BoardsThatCannotBeEvaluated) {
    using Kind = board::BoardProblem::Kind;
    struct Row {
        const char* name;
        board::BoardInput in;
        Kind kind;
        double value;
    };
    board::BoardInput noFn = Board();
    noFn.fn.reset();
    board::BoardInput low = Board(10.0);
    board::BoardInput flat = Board();
    flat.h = 0.0;
    board::BoardInput nu = Board();
    nu.fn.reset();
    nu.weight = 1.0;
    nu.poisson = 0.5;
    board::BoardInput damping = Board();
    damping.q.rule = board::Transmissibility::Rule::Fixed;
    damping.q.fixed = 0.05;
    board::BoardInput floor = Board();
    floor.rMin = 1.5;
    // 9 × 7 × 0.08 in of FR-4 at 1.85 g/cm³ weighs 5.04 in³ · 0.066835 lb/in³ = 0.33685 lb.
    board::BoardInput light = Board();
    light.weight = 0.16;
    const std::vector<Row> rows{
        {"neither fn nor mass", noFn, Kind::NoFrequency, 0.0},
        {"fn below the band", low, Kind::FnBelowBand, 10.0},
        {"no thickness", flat, Kind::SizeNotPositive, 0.0},
        {"Poisson's ratio 0.5", nu, Kind::PoissonOutOfRange, 0.5},
        {"a damping ratio given as Q", damping, Kind::QBelowOne, 0.05},
        {"a floor of r above 1", floor, Kind::RMinOutOfRange, 1.5},
        {"lighter than half the bare laminate", light, Kind::WeightBelowLaminate, 0.16},
    };
    for (const Row& row : rows) {
        board::BoardProblem problem;
        EXPECT_FALSE(board::BoardEvaluator::Make(row.in, problem)) << row.name;
        EXPECT_EQ(problem.kind, row.kind) << row.name;
        EXPECT_EQ(problem.value, row.value) << row.name;
    }
    board::BoardProblem problem;
    board::BoardEvaluator::Make(light, problem);
    EXPECT_NEAR(problem.limit, 0.33685, 1e-5) << "the laminate's weight";
    light.weight = 0.17;
    EXPECT_TRUE(board::BoardEvaluator::Make(light, problem)) << "more than half the laminate";
}

// Above the band Miles' single term vanishes and the board moves with the input: its response is the
// input's G rms, its displacement g·G/(2π·fn)², which is Steinberg's 9.8·G/fn² inch.
TEST(Analysis, AboveTheBandTheBoardFollowsTheInput) {
    const board::Report report = Evaluate(Board(2500.0), "ref,L,kind,r,parallel\nU1,1,dip,1,a\n");
    const board::Response& r = report.board.response;
    EXPECT_TRUE(report.board.rigidBody);
    EXPECT_EQ(r.grms, report.input.psd.Grms());
    EXPECT_NEAR(r.z1sigma, 9.8 * r.grms / (2500.0 * 2500.0), 3e-3 * r.z1sigma)
        << "9.8 rounds g / (4 pi^2) = 9.78";
    EXPECT_EQ(r.z3sigma, 3.0 * r.z1sigma);
    ASSERT_FALSE(report.board.notes.empty());
    EXPECT_NE(report.board.notes[0].find("rigid body"), std::string::npos);
}

TEST(Analysis, NotesAndCrossChecksOnTheBoard) {
    // A given fn is used; the plate estimate from the mass stands beside it.
    board::BoardInput both = Board(300.0);
    both.weight = 1.2;
    const board::Report crossChecked = Evaluate(both, "ref,L,kind,r,parallel\nU1,1,dip,1,a\n");
    EXPECT_EQ(crossChecked.board.response.fn, 300.0);
    EXPECT_EQ(crossChecked.board.fnFrom, board::FnSource::Given);
    EXPECT_EQ(crossChecked.board.plateFn,
              board::PlateFrequency({9.0, 7.0, 0.08, 1.2}, board::Supports::Simple));
    // 300 Hz is 4.4 times the plate's 68.16 Hz: a mass or an fn mistyped, or a board held otherwise.
    EXPECT_EQ(
        crossChecked.board.notes,
        (std::vector<std::string>{"the given fn 300 Hz is 4.4 times the plate estimate 68.16 Hz from the "
                                  "mass: check both"}));
    both.fn = 100.0;
    EXPECT_TRUE(Evaluate(both, "ref,L,kind,r,parallel\nU1,1,dip,1,a\n").board.notes.empty())
        << "within a factor of two";
    // More than 20 times the bare laminate, and Q above 50: noted, not refused.
    board::BoardInput heavy = Board(30.0); // near the plate estimate for 7 lb, 28.3 Hz
    heavy.weight = 7.0;
    heavy.q.rule = board::Transmissibility::Rule::Fixed;
    heavy.q.fixed = 60.0;
    const board::Report noted = Evaluate(heavy, "ref,L,kind,r,parallel\nU1,1,dip,1,a\n");
    ASSERT_EQ(noted.board.notes.size(), 2u);
    EXPECT_NE(noted.board.notes[0].find("more than 20 times the bare laminate's 0.337 lb"), std::string::npos)
        << noted.board.notes[0];
    EXPECT_EQ(noted.board.notes[1], "Q 60 is above 50, more than circuit boards show");
}

TEST(Analysis, TheBandsEdgesAreInside) {
    for (double fn : {20.0, 2000.0}) {
        const board::Report report = Evaluate(Board(fn), "ref,L,kind,r\nU1,1,dip,1\n");
        EXPECT_EQ(report.board.response.fn, fn);
    }
}

} // namespace

namespace {

board::BoardInput Held(const char* edges, double weight = 0.6) {
    board::BoardInput in = Board();
    in.fn.reset();
    in.h = 0.062;
    in.weight = weight;
    in.rMin = 0.0;
    in.edges = *board::ParseEdgeLetters(edges);
    return in;
}

} // namespace

// The board's own bending gives r. Simply supported all round it is sin(πx/a)·sin(πy/b), exactly when the
// plate is plain and within the mesh's per cent when it is modelled (a weightless part's mass makes it so).
// Across a clamped edge the board bends most: a BGA 12 mm from it takes r near 2, the clamped-clamped
// beam's (1 - cos) shape's curvature at its ends relative to the half-sine's, and fails where the
// simply supported shape let it pass.
TEST(Analysis, RFromTheBoardsBending) {
    const std::string bga = "ref,L,kind,x,y,parallel\nU1,15mm,bga,4.5in,12mm,a\n";
    const board::Report simple = Evaluate(Held("SSSS"), bga);
    ASSERT_EQ(simple.parts.size(), 1u);
    EXPECT_DOUBLE_EQ(simple.parts[0].r,
                     std::sin(board::kPi / 2.0) * std::sin(board::kPi * (12.0 / 25.4) / 7.0));
    EXPECT_TRUE(simple.parts[0].pass);

    board::BoardInput modelled = Held("SSSS");
    modelled.masses.push_back({1.0, 1.0, 0.0, 0.1});
    const board::Report fe = Evaluate(modelled, bga);
    ASSERT_TRUE(fe.board.plate);
    EXPECT_NEAR(fe.parts[0].r, simple.parts[0].r, 0.01 * simple.parts[0].r);

    const board::Report clamped = Evaluate(Held("CCCC"), bga);
    ASSERT_EQ(clamped.parts.size(), 1u);
    const board::PartResult& p = clamped.parts[0];
    EXPECT_EQ(p.parallel, board::Edge::B) << "across the edge";
    EXPECT_GT(p.r, 1.8);
    EXPECT_LT(p.r, 2.0);
    EXPECT_TRUE(p.notes & board::kNoteBendsMore);
    EXPECT_FALSE(p.pass);
}

// A part along each edge takes that edge's own r; card guides (SSFF) bend the board across them only.
TEST(Analysis, EachEdgeItsOwnR) {
    const board::Report report =
        Evaluate(Held("SSFF"), "ref,L,kind,x,y,parallel\nA,0.5,dip,4.5,3.5,a\nB,0.5,dip,4.5,3.5,b\n");
    ASSERT_EQ(report.parts.size(), 2u);
    // The mode is nearly the guides' half-sine across b, hardly bent along a; its peak is at the free
    // ends, so the middle bends a little less than a half-sine of peak 1.
    EXPECT_LT(report.parts[0].r, 0.1);
    EXPECT_GT(report.parts[1].r, 0.9);
    EXPECT_LT(report.parts[1].r, 1.0);
}

TEST(Analysis, HeldBoardsThatCannotBeEvaluated) {
    using Plate = board::PlateProblem::Kind;
    struct Row {
        const char* name;
        board::BoardInput in;
        Plate kind;
    };
    board::BoardInput loose = Held("FFFF");
    board::BoardInput hinged = Held("SFFF");
    board::BoardInput oneLine = Held("FFFF");
    oneLine.points = {{1, 1}, {2, 2}, {3, 3}};
    board::BoardInput outside = Held("FFFF");
    outside.points = {{1, 1}, {8, 1}, {10, 6}};
    board::BoardInput twice = Held("SSSS");
    twice.points = {{1, 1}, {1, 1}};
    board::BoardInput heavy = Held("CCCC", 0.5);
    heavy.masses = {{2, 2, 0.3, 0.5}, {6, 4, 0.3, 0.5}};
    const std::vector<Row> rows{
        {"all edges free, no screws", loose, Plate::RigidBody},
        {"one edge simply supported, the rest free", hinged, Plate::RigidBody},
        {"three screws on one line", oneLine, Plate::RigidBody},
        {"a screw off the board", outside, Plate::PointOutside},
        {"two screws in one place", twice, Plate::PointsTooClose},
        {"parts heavier than the board", heavy, Plate::MassesReachWeight},
    };
    for (const Row& row : rows) {
        board::BoardProblem problem;
        EXPECT_FALSE(board::BoardEvaluator::Make(row.in, problem)) << row.name;
        EXPECT_EQ(problem.kind, board::BoardProblem::Kind::Plate) << row.name;
        EXPECT_EQ(problem.plate.kind, row.kind) << row.name;
    }
    // A clamped edge alone holds a board: a cantilever (which rings below NAVMAT's band: fn given).
    board::BoardInput cantilever = Held("CFFF");
    cantilever.fn = 100.0;
    board::BoardProblem problem;
    EXPECT_TRUE(board::BoardEvaluator::Make(cantilever, problem)) << static_cast<int>(problem.kind);
}

// A given fn with a held board: the mode still comes from the model, for r; without a mass the shape is
// the bare laminate's.
TEST(Analysis, AGivenFnKeepsTheModelsShape) {
    board::BoardInput in = Held("CCFF");
    in.weight.reset();
    in.fn = 200.0;
    const board::Report report = Evaluate(in, "ref,L,kind,x,y,parallel\nU1,0.5,dip,4.5,0.5,b\n");
    EXPECT_EQ(report.board.response.fn, 200.0);
    ASSERT_TRUE(report.board.plate);
    EXPECT_TRUE(report.board.plate->weightAssumed);
    EXPECT_FALSE(report.board.plateFn) << "no estimate of fn without a mass";
    EXPECT_GT(report.parts[0].r, 1.0) << "near the clamped edge";
}
