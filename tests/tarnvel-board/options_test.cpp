// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// tarnvel-board's command line read in-process: what each option stores, what it refuses and how; and
// what the reports carry of their origin (SHA-256, the time of the run).
#include "tarnvel-board/options.h"
#include "tarnvel-board/provenance.h"

#include "board/units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

board_cli::CommandLine Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "tarnvel-board");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    return board_cli::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> With(std::vector<std::string> more) {
    std::vector<std::string> args{"--psd", "navmat"};
    args.insert(args.end(), more.begin(), more.end());
    args.push_back("parts.csv"); // last, after an option that takes values
    return args;
}

TEST(Options, WhatEachOptionStores) {
    using Opt = board_cli::Options;
    struct Row {
        const char* name;
        std::vector<std::string> args;
        bool (*holds)(const Opt&);
    };
    const std::vector<Row> rows{
        {"a page and two figures, the parts list after them still the parts list",
         {"--board", "9x7x0.08in", "--report", "Board.HTML", "--plot", "PSD", "p.svg", "--plot", "board",
          "b.svg"},
         [](const Opt& o) {
             return o.report == "Board.HTML" && o.plots.size() == 2 &&
                    o.plots[0].kind == board_cli::PlotKind::Psd && o.plots[1].file == "b.svg" &&
                    o.parts == "parts.csv";
         }},
        {"board in inch",
         {"--board", "9x7x0.08in"},
         [](const Opt& o) { return o.board.a == 9 && o.board.h == 0.08; }},
        {"board in mm",
         {"--board", "254x127x2.54mm"},
         [](const Opt& o) { return o.board.a == 10 && o.board.b == 5 && o.board.h == 0.1; }},
        {"board, each length its own unit",
         {"--board", "10in x 127mm x 100mil"},
         [](const Opt& o) { return o.board.a == 10 && o.board.b == 5 && o.board.h == 0.1; }},
        {"board in inch marks", {"--board", "9\"x7\"x0.08\""}, [](const Opt& o) { return o.board.b == 7; }},
        {"mass in grams",
         {"--board", "9x7x0.08in", "--mass", "453.59237 g"},
         [](const Opt& o) { return *o.board.weight == 1.0 && o.massText == "453.59237 g"; }},
        {"mass in ounces",
         {"--board", "9x7x0.08in", "--mass", "24oz"},
         [](const Opt& o) { return *o.board.weight == 1.5; }},
        {"fn in kHz",
         {"--board", "9x7x0.08in", "--fn", "0.3 kHz"},
         [](const Opt& o) { return *o.board.fn == 300; }},
        {"density in kg/m3",
         {"--board", "9x7x0.08in", "--density", "1850 kg/m3"},
         [](const Opt& o) { return std::abs(o.board.density - board::kFr4Density) < 1e-12; }},
        {"a fixed Q of 1",
         {"--board", "9x7x0.08in", "--q", "1"},
         [](const Opt& o) {
             return o.board.q.rule == board::Transmissibility::Rule::Fixed && o.board.q.fixed == 1;
         }},
        {"Q by rule, any case",
         {"--board", "9x7x0.08in", "--q", "2SQRT"},
         [](const Opt& o) { return o.board.q.rule == board::Transmissibility::Rule::TwoSqrt; }},
        {"no floor of r",
         {"--board", "9x7x0.08in", "--r-min", "0"},
         [](const Opt& o) { return o.board.rMin == 0; }},
        {"the floor by default", {"--board", "9x7x0.08in"}, [](const Opt& o) { return o.board.rMin == 0.5; }},
        {"millimetres",
         {"--board", "9x7x0.08in", "--units", "mm"},
         [](const Opt& o) { return o.units == board_cli::LengthUnit::Millimetre; }},
        {"CSV in capitals",
         {"--board", "9x7x0.08in", "--format", "CSV"},
         [](const Opt& o) { return o.format == board_cli::Format::Csv; }},
        {"clamped in capitals",
         {"--board", "9x7x0.08in", "--supports", "CLAMPED"},
         [](const Opt& o) { return board::EdgeLetters(o.board.edges) == "CCCC"; }},
        {"edges by letters, any case",
         {"--board", "9x7x0.08in", "--supports", "ssFf"},
         [](const Opt& o) { return board::EdgeLetters(o.board.edges) == "SSFF"; }},
        {"four screws, each in its unit or the Y's",
         {"--board", "9x7x0.08in", "--point", "0.25in,0.25in", "--point", "203.2,6.35mm", "--point",
          "0.25,6.75in", "--point", "8.75in,171.45mm"},
         [](const Opt& o) {
             return o.board.points.size() == 4 && o.board.points[1].x == 8.0 && o.board.points[1].y == 0.25 &&
                    o.board.points[3].y == 6.75;
         }},
    };
    for (const Row& row : rows) {
        const board_cli::CommandLine c = Parse(With(row.args));
        ASSERT_EQ(c.status, board_cli::CommandLine::Status::Run) << row.name << ": " << c.text;
        EXPECT_TRUE(row.holds(c.options)) << row.name;
    }
}

TEST(Options, RefusalsNameTheOptionInOneLine) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Row> rows{
        {"millimetres typed without the unit",
         {"--board", "233.35x160x1.6"},
         "--board: '233.35x160x1.6' has no unit: 233.35 x 160 x 1.6 in, or mm?"},
        {"an unknown unit", {"--board", "9x7x2ft"}, "--board: '9x7x2ft' is not AxBxH"},
        {"a damping ratio as Q", {"--board", "9x7x0.08in", "--q", "0.05"}, "0.05 as zeta is Q 10"},
        {"Q below 1", {"--board", "9x7x0.08in", "--q", "0.8"}, "--q: Q 0.8 is below 1"},
        {"a mass without its unit",
         {"--board", "9x7x0.08in", "--mass", "750"},
         "--mass: '750' is not a mass with its unit: g, kg, lb or oz"},
        {"a floor above 1",
         {"--board", "9x7x0.08in", "--r-min", "1.5"},
         "--r-min: '1.5' is not between 0 and 1"},
        {"a negative floor",
         {"--board", "9x7x0.08in", "--r-min=-0.1"},
         "--r-min: '-0.1' is not between 0 and 1"},
        {"unknown units", {"--board", "9x7x0.08in", "--units", "cm"}, "--units: 'cm' is not in or mm"},
        {"an edge letter that is none",
         {"--board", "9x7x0.08in", "--supports", "SSXF"},
         "--supports: 'SSXF' is not four edge letters S, C or F"},
        {"three edges", {"--board", "9x7x0.08in", "--supports", "SSF"}, "--supports: 'SSF' is not four edge"},
        {"a point without its unit",
         {"--board", "9x7x0.08in", "--point", "5,5"},
         "--point: '5,5' has no unit: 5, 5 in, or mm?"},
        {"a point of one length", {"--board", "9x7x0.08in", "--point", "5mm"}, "--point: '5mm' is not X,Y"},
        {"unknown format",
         {"--board", "9x7x0.08in", "--format", "xml"},
         "--format: 'xml' is not table, csv or json"},
        {"no output name", {"--board", "9x7x0.08in", "-o", ""}, "--output: no file name"},
    };
    for (const Row& row : rows) {
        const board_cli::CommandLine c = Parse(With(row.args));
        EXPECT_EQ(c.status, board_cli::CommandLine::Status::Error) << row.name;
        EXPECT_NE(c.text.find(row.message), std::string::npos) << row.name << ": " << c.text;
        EXPECT_EQ(c.text.find('\n'), std::string::npos) << row.name;
    }
}

// FIPS 180-2, appendix B: the SHA-256 of "abc", of the two-block message, and of a million 'a'; and the
// well-known digest of nothing. Both ways of computing it: the processor's SHA extensions (where this one
// has them) and the portable rounds.
TEST(Provenance, Sha256OfThePublishedExamples) {
    const struct {
        std::string message, digest;
    } rows[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& row : rows)
        for (const bool hardware : {true, false})
            EXPECT_EQ(board_cli::Sha256Hex(row.message, hardware), row.digest)
                << row.message.size() << " bytes, hardware " << hardware;
}

// Every length around the block's and the padding's limits, of bytes that are not all alike.
TEST(Provenance, Sha256TheSameInHardwareAndPortably) {
    if (!board_cli::Sha256InHardware())
        GTEST_SKIP() << "this processor has no SHA extensions";
    std::string bytes;
    for (std::size_t n = 0; n <= 300; ++n) {
        EXPECT_EQ(board_cli::Sha256Hex(bytes, true), board_cli::Sha256Hex(bytes, false)) << n << " bytes";
        bytes.push_back(static_cast<char>((n * 151 + 7) % 256));
    }
}

TEST(Provenance, TheTimeOfTheRun) {
    EXPECT_EQ(board_cli::IsoTime(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(board_cli::IsoTime(1000000000), "2001-09-09T01:46:40Z");
    EXPECT_EQ(board_cli::RunTime("1000000000"), std::time_t{1000000000}) << "SOURCE_DATE_EPOCH";
    EXPECT_EQ(board_cli::RunTime("soon"), std::nullopt);
    EXPECT_TRUE(board_cli::RunTime(nullptr).has_value());
}

} // namespace
