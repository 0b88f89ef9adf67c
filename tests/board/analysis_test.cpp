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
    EXPECT_TRUE(analysis.report) << analysis.error;
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
        const std::string csv = "ref,L,C,r\nU1," + board::FormatNumber(row.L) + "," +
                                board::FormatNumber(row.C) + "," + board::FormatNumber(row.r) + "\n";
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
    const board::Report report = Evaluate(in, "ref,L,C,r,x,y\nlow-C,1,0.5,1,,\nhigh-C,1,2.5,1,,\nedge,1,1,,0."
                                              "5,0.5\nplain,1,1.75,1,,\nbeyond,1,1,1.2,,\n");
    ASSERT_EQ(report.parts.size(), 5u);
    const std::vector<std::vector<std::string>> expected{
        {"C 0.5 is outside the typical range 0.75 to 2.25"},
        {"C 2.5 is outside the typical range 0.75 to 2.25"},
        {"r 0.0386 is below 0.5, the lowest the criterion tabulates"}, // sin 10° · sin(180°/14)
        {},
        {"r 1.2 is above 1, the value at the board's centre"},
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(board::NoteTexts(report.parts[i], report.requiredHours), expected[i])
            << report.parts[i].ref;
    EXPECT_EQ(report.board.notes,
              (std::vector<std::string>{"h 0.6 in is above 0.5 in, beyond the criterion's usual range"}));
}

TEST(Analysis, InputsThatCannotBeEvaluatedAreBadRows) {
    const board::Report report = Evaluate(Board(), "ref,L,C,r,x,y\n"
                                                   "zero-L,0,1,1,,\n"
                                                   "negative-C,1,-1,1,,\n"
                                                   "zero-r,1,1,0,,\n"
                                                   "off-board,1,1,,10,3\n"
                                                   "on-edge,1,1,,0,3\n"
                                                   "good,1,1,1,,\n");
    ASSERT_EQ(report.parts.size(), 1u);
    EXPECT_EQ(report.parts[0].ref, "good");
    std::vector<std::string> messages;
    std::vector<std::size_t> lines;
    for (const board::RowError& e : report.errors) {
        messages.push_back(e.message);
        lines.push_back(e.line);
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{2, 3, 4, 5, 6}));
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "L must be > 0",
                            "C must be > 0",
                            "r must be > 0",
                            "position x 10 in, y 3 in is not inside the board (9 in by 7 in)",
                            "position x 0 in, y 3 in is not inside the board (9 in by 7 in)",
                        }));
}

TEST(Analysis, MarginLifeAndPass) {
    // With fn given, Z3σ is fixed; a part whose Z is exactly Z3σ lasts 2×10⁷ cycles and passes.
    board::BoardInput in = Board(200.0);
    const double z3 = board::MilesResponse(200.0, {}, in.psd).z3sigma;
    const board::Report report = Evaluate(in, "ref,L,C,r\nbig,0.1,0.75,1\nsmall,16,2.25,0.5\n");
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
    const board::Report loose = Evaluate(in, "ref,L,C,r\nU1,0.1,0.75,1\n");
    ASSERT_EQ(loose.parts.size(), 1u);
    const double hours = loose.parts[0].hours;
    ASSERT_GT(loose.parts[0].margin, 1.0);

    in.requiredHours = hours * 2.0;
    const board::Report strict = Evaluate(in, "ref,L,C,r\nU1,0.1,0.75,1\n");
    EXPECT_FALSE(strict.parts[0].pass);
    EXPECT_EQ(board::NoteTexts(strict.parts[0], strict.requiredHours),
              (std::vector<std::string>{"life below the required " +
                                        board::FormatSignificant(hours * 2.0, 6) + " hours"}));
    in.requiredHours = hours;
    EXPECT_TRUE(Evaluate(in, "ref,L,C,r\nU1,0.1,0.75,1\n").parts[0].pass)
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
    in.supports = board::Supports::Clamped;
    const board::Report clamped = Evaluate(in, "ref,L,kind,r\nU1,1,dip,1\n");
    EXPECT_EQ(clamped.board.fnFrom, board::FnSource::Clamped);
    EXPECT_GT(clamped.board.response.fn, simple.board.response.fn);
    // The assumptions say where fn came from and what the life rests on.
    EXPECT_EQ(clamped.assumptions.front(), board::kLifeAssumption);
    bool saysRayleigh = false;
    for (const std::string& a : clamped.assumptions)
        saysRayleigh = saysRayleigh || a.find("Rayleigh") != std::string::npos;
    EXPECT_TRUE(saysRayleigh);
}

TEST(Analysis, BoardsThatCannotBeEvaluated) {
    struct Row {
        const char* name;
        board::BoardInput in;
        std::string error;
    };
    board::BoardInput noFn = Board();
    noFn.fn.reset();
    board::BoardInput low = Board(10.0);
    board::BoardInput high = Board(2500.0);
    board::BoardInput light = Board();
    light.fn.reset();
    light.weight = 1e-6; // a board this light rings far above the band
    board::BoardInput flat = Board();
    flat.h = 0.0;
    board::BoardInput nu = Board();
    nu.fn.reset();
    nu.weight = 1.0;
    nu.poisson = 0.5;
    const std::vector<Row> rows{
        {"neither fn nor mass", noFn, "no board frequency: give --fn, or --mass to estimate it"},
        {"fn below the band", low,
         "fn 10 Hz is outside the profile's band, 20 Hz to 2000 Hz: Miles' equation needs the input level at "
         "fn"},
        {"fn above the band", high,
         "fn 2500 Hz is outside the profile's band, 20 Hz to 2000 Hz: Miles' equation needs the input level "
         "at fn"},
        {"estimate above the band", light,
         "fn " +
             board::FormatSignificant(board::PlateFrequency({9.0, 7.0, 0.08, 1e-6}, board::Supports::Simple),
                                      4) +
             " Hz (estimated) is outside the profile's band, 20 Hz to 2000 Hz: Miles' equation needs the "
             "input "
             "level at fn"},
        {"no thickness", flat, "the board's length, width and thickness must be > 0"},
        {"Poisson's ratio 0.5", nu, "Poisson's ratio must be at least 0 and below 0.5"},
    };
    for (const Row& row : rows) {
        board::PartsReading parts = board::ReadPartsList("ref,L,kind,r\nU1,1,dip,1\n");
        const board::Analysis analysis = board::Analyse(row.in, std::move(*parts.list));
        EXPECT_FALSE(analysis.report) << row.name;
        EXPECT_EQ(analysis.error, row.error) << row.name;
    }
}

TEST(Analysis, TheBandsEdgesAreInside) {
    for (double fn : {20.0, 2000.0}) {
        const board::Report report = Evaluate(Board(fn), "ref,L,kind,r\nU1,1,dip,1\n");
        EXPECT_EQ(report.board.response.fn, fn);
    }
}

} // namespace
