// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The reports in-process: each format written for a small board built by hand and compared against the
// text it must be, or read back; the worked table of the README from its own command line.
#include "tarnvel-board/columns.h"
#include "tarnvel-board/options.h"
#include "tarnvel-board/report.h"

#include "board/analysis.h"
#include "board/parts.h"
#include "board/psd.h"
#include "board/units.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using board_cli::LengthUnit;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Split(const std::string& text, const std::string& between) {
    std::vector<std::string> out;
    std::size_t at = 0;
    for (std::size_t next; (next = text.find(between, at)) != std::string::npos; at = next + between.size())
        out.push_back(text.substr(at, next - at));
    out.push_back(text.substr(at));
    return out;
}

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

// A 9 x 7 x 0.08 in board at a given 300 Hz under NAVMAT, and three parts built by hand: one placed by
// position with its r floored, one whose C was given and whose ref needs quoting, one whose ref is not
// UTF-8. U1 and R9 tie on margin; C1's life is beyond what the table writes.
board::Report SmallReport(std::optional<double> requiredHours = std::nullopt) {
    board::BoardInput in;
    in.a = 9;
    in.b = 7;
    in.h = 0.08;
    in.fn = 300;
    in.requiredHours = requiredHours;
    board::BoardProblem problem;
    const auto evaluator = board::BoardEvaluator::Make(in, problem);
    EXPECT_TRUE(evaluator) << static_cast<int>(problem.kind);
    board::Report report = evaluator->Start();

    const board::PartResult u1{.line = 2,
                               .ref = "U1",
                               .kind = board::FindKind("bga"),
                               .parallelGiven = "x",
                               .parallel = board::Edge::A,
                               .x = 4.5,
                               .y = 3.5,
                               .rComputed = 0.3,
                               .B = 9,
                               .L = 1.4,
                               .C = 1.75,
                               .r = 0.5,
                               .zAllow = 0.0123,
                               .margin = 0.25,
                               .cycles = 10000,
                               .hours = 0.05,
                               .notes = board::kNoteRFloored,
                               .across = {},
                               .direction = {}};
    const board::PartResult c1{.line = 3,
                               .ref = "C,1 \"big\"",
                               .parallelGiven = {},
                               .parallel = board::Edge::B,
                               .bothEdges = true,
                               .x = {},
                               .y = {},
                               .rComputed = {},
                               .B = 7,
                               .L = 10 / 25.4,
                               .C = 0.1 + 0.2,
                               .r = 0.9,
                               .zAllow = 0.2,
                               .margin = 4,
                               .cycles = 6.9e18,
                               .hours = 2e13,
                               .pass = true,
                               .notes = board::kNoteCOutsideRange,
                               .across = {},
                               .direction = {}};
    board::PartResult r9 = u1;
    r9.line = 5;
    r9.ref = "R\xff"
             "9";
    r9.kind = board::FindKind("resistor");
    r9.parallelGiven = "b";
    r9.parallel = board::Edge::B;
    r9.B = 7;
    r9.zAllow = 0.0124;
    r9.notes = 0;

    report.parts = {u1, c1, r9};
    report.errors = {{4, "L 'x' is not a length (a number, in or mm)"}};
    report.board.requiredFn = 123.4;
    return report;
}

board_cli::Provenance SmallProvenance(LengthUnit units = LengthUnit::Inch) {
    board_cli::Provenance from;
    from.parts = "parts.csv";
    from.psd = "navmat";
    from.profileName = "NAVMAT P-9492";
    from.profileSource = "NAVMAT P-9492, 1979";
    from.board = "9x7x0.08in";
    from.fn = "300";
    from.units = units;
    from.files = {{"parts", "parts.csv", 123, std::string(64, 'a').replace(0, 12, "0123456789ab")}};
    from.version = "tarnvel-board 9.8.7";
    from.time = "2026-12-09T17:15:00Z";
    return from;
}

// ---- The one list of columns

TEST(ReportColumns, EveryColumnIsInEveryFormat) {
    const board::Report report = SmallReport();
    for (const LengthUnit units : {LengthUnit::Inch, LengthUnit::Millimetre}) {
        const board_cli::Provenance from = SmallProvenance(units);
        const std::vector<std::string> csv = Split(Split(board_cli::CsvText(report, from), "\n")[0], ",");
        const auto json = nlohmann::json::parse(board_cli::JsonText(report, from));
        const std::string table = board_cli::TableText(report, from);
        const std::string headings = table.substr(
            table.find("\n  ref "), table.find('\n', table.find("\n  ref ") + 1) - table.find("\n  ref "));
        std::set<std::string> keys;
        for (const board_cli::Column& column : board_cli::kPartColumns) {
            const std::string key = board_cli::ColumnKey(column, units);
            EXPECT_TRUE(keys.insert(key).second) << key << " twice";
            EXPECT_NE(std::find(csv.begin(), csv.end(), key), csv.end()) << key;
            // The JSON has every length in inch and in millimetres whatever the unit.
            for (const LengthUnit either : {LengthUnit::Inch, LengthUnit::Millimetre})
                EXPECT_TRUE(json["parts"][0].contains(board_cli::ColumnKey(column, either)))
                    << board_cli::ColumnKey(column, either);
            const std::string heading = board_cli::ColumnHeading(column, units);
            if (!heading.empty()) {
                EXPECT_NE(headings.find("  " + heading), std::string::npos) << heading << "\n" << headings;
            }
        }
        EXPECT_EQ(csv.size(), board_cli::kPartColumnCount);
    }
}

// ---- CSV

TEST(CsvReport, TheListsDialectAndFullPrecision) {
    struct Row {
        const char* name;
        board::Dialect dialect;
        LengthUnit units;
        std::string expected;
    };
    const std::string inch =
        "line,ref,kind,parallel_given,parallel,B_in,L_in,x_in,y_in,C,r_computed,r,z_allow_in,margin,cycles,"
        "life_hours,pass,notes\n"
        "2,U1,bga,x,a,9,1.4,4.5,3.5,1.75,0.3,0.5,0.0123,0.25,10000,0.05,fail,\"r 0.3 from the position is "
        "below the "
        "floor 0.5, which is used\"\n"
        "3,\"C,1 \"\"big\"\"\",,,b,7,0.3937007874015748,,,0.30000000000000004,,0.9,0.2,4,6.9e+18,2e+13,pass,"
        "C 0.30000000000000004 is outside the typical range 0.75 to 2.25\n"
        "5,R\xff"
        "9,resistor,b,b,7,1.4,4.5,3.5,1.75,0.3,0.5,0.0124,0.25,10000,0.05,fail,\n";
    const std::string semicolons =
        "\xEF\xBB\xBFline;ref;kind;parallel_given;parallel;B_mm;L_mm;x_mm;y_mm;C;r_computed;r;z_allow_mm;"
        "margin;cycles;life_hours;pass;notes\r\n"
        "2;U1;bga;x;a;228,6;35,559999999999995;114,3;88,89999999999999;1,75;0,3;0,5;0,31242;0,25;10000;0,05;"
        "fail;r 0.3 from the position is below the floor 0.5, which is used\r\n"
        "3;\"C,1 "
        "\"\"big\"\"\";;;b;177,79999999999998;10;;;0,30000000000000004;;0,9;5,08;4;6,9e+18;2e+13;pass;"
        "C 0.30000000000000004 is outside the typical range 0.75 to 2.25\r\n"
        "5;R\xff"
        "9;resistor;b;b;177,79999999999998;35,559999999999995;114,3;88,89999999999999;1,75;0,3;0,5;0,"
        "31495999999999996;"
        "0,25;10000;0,05;fail;\r\n";
    const std::vector<Row> rows{
        {"commas, LF, inch", {}, LengthUnit::Inch, inch},
        {"semicolons, decimal comma, CRLF, byte-order mark, mm",
         {';', true, true, true},
         LengthUnit::Millimetre,
         semicolons},
    };
    for (const Row& row : rows)
        EXPECT_EQ(board_cli::CsvText(SmallReport(), SmallProvenance(row.units), row.dialect), row.expected)
            << row.name;
}

// ---- JSON

TEST(JsonReport, PartsReadBackAsTheVeryDoubles) {
    board::Report report = SmallReport();
    // Numbers whose shortest text is long, tiny or huge.
    report.parts[0].zAllow = 0.1 + 0.2;
    report.parts[0].cycles = 1.7976931348623157e308;
    report.parts[0].hours = 5e-324;
    report.parts[1].margin = 1e21;
    const auto json = nlohmann::json::parse(board_cli::JsonText(report, SmallProvenance()));
    ASSERT_EQ(json["parts"].size(), report.parts.size());
    for (std::size_t i = 0; i < report.parts.size(); ++i) {
        const board::PartResult& p = report.parts[i];
        const auto& j = json["parts"][i];
        EXPECT_EQ(j["line"].get<std::size_t>(), p.line);
        for (const auto& [key, value] : std::vector<std::pair<const char*, double>>{{"B_in", p.B},
                                                                                    {"L_in", p.L},
                                                                                    {"C", p.C},
                                                                                    {"r", p.r},
                                                                                    {"z_allow_in", p.zAllow},
                                                                                    {"margin", p.margin},
                                                                                    {"cycles", p.cycles},
                                                                                    {"life_hours", p.hours}})
            EXPECT_EQ(Bits(j[key].get<double>()), Bits(value)) << i << " " << key;
        // The millimetres are the inches times 25.4, the same double.
        EXPECT_EQ(Bits(j["z_allow_mm"].get<double>()), Bits(p.zAllow * 25.4)) << i;
        EXPECT_EQ(Bits(j["L_mm"].get<double>()), Bits(p.L * 25.4)) << i;
        EXPECT_EQ(j["pass"].get<bool>(), p.pass);
    }
    const auto& u1 = json["parts"][0];
    EXPECT_EQ(u1["kind"], "bga");
    EXPECT_EQ(u1["parallel_given"], "x");
    EXPECT_EQ(u1["parallel"], "a");
    EXPECT_EQ(u1["x_in"].get<double>(), 4.5);
    EXPECT_EQ(u1["y_mm"].get<double>(), 3.5 * 25.4);
    EXPECT_EQ(u1["r_computed"].get<double>(), 0.3);
    const auto& c1 = json["parts"][1];
    EXPECT_EQ(c1["ref"], "C,1 \"big\"");
    for (const char* absent : {"kind", "parallel_given", "x_in", "y_in", "x_mm", "y_mm", "r_computed"})
        EXPECT_TRUE(c1[absent].is_null()) << absent;
    EXPECT_EQ(c1["parallel"], "b");
    EXPECT_EQ(c1["notes"],
              nlohmann::json::array({"C 0.30000000000000004 is outside the typical range 0.75 to 2.25"}));
    // A ref that is not UTF-8 is written with the replacement character rather than ending the run.
    EXPECT_EQ(json["parts"][2]["ref"], "R\xEF\xBF\xBD"
                                       "9");
}

TEST(JsonReport, TheInputsAndWhereTheyCameFrom) {
    const board::Report report = SmallReport(1000.0);
    const auto json = nlohmann::json::parse(board_cli::JsonText(report, SmallProvenance()));
    EXPECT_EQ(json["schema"], 2);
    EXPECT_EQ(json["program"], (nlohmann::json{{"name", "tarnvel-board"}, {"version", "9.8.7"}}));
    EXPECT_EQ(json["time"], "2026-12-09T17:15:00Z");
    // The inputs as given and as used: NAVMAT P-9492's breakpoints and its 6.06 G rms, FR-4's density.
    const std::vector<std::pair<const char*, nlohmann::json>> inputs{
        {"/board", "9x7x0.08in"},
        {"/a_in", 9.0},
        {"/h_mm", 0.08 * 25.4},
        {"/mass", nullptr},
        {"/weight_lb", nullptr},
        {"/fn", "300"},
        {"/fn_hz", 300.0},
        {"/modulus_psi", 2e6},
        {"/poisson", 0.12},
        {"/supports", "SSSS"},
        {"/density_lb_in3", 1.85 * 16.387064 / 453.59237},
        {"/q_rule", "sqrt"},
        {"/required_hours", 1000.0},
        {"/r_min", 0.5},
        {"/units", "in"},
        {"/profile/name", "NAVMAT P-9492"},
        {"/profile/as_given", "navmat"},
        {"/profile/breakpoints",
         nlohmann::json::parse("[[20, 0.01], [80, 0.04], [350, 0.04], [2000, 0.007]]")},
    };
    for (const auto& [pointer, value] : inputs)
        EXPECT_EQ(json["inputs"][nlohmann::json::json_pointer(pointer)], value) << pointer;
    EXPECT_NEAR(json["inputs"]["profile"]["grms"].get<double>(), 6.06, 0.005);
    // The board: the figures that were there, in inch and in mm, and those known only at the end.
    const auto& b = json["board"];
    for (const char* name : {"a_in", "b_in", "h_in", "fn_hz", "fn_from", "q", "psd_at_fn", "input_grms",
                             "response_grms", "z1sigma_in", "z3sigma_in", "notes", "a_mm", "b_mm", "h_mm",
                             "z1sigma_mm", "z3sigma_mm", "plate_fn_hz", "laminate_weight_lb"})
        EXPECT_TRUE(b.contains(name)) << name;
    EXPECT_EQ(b["required_fn_hz"].get<double>(), 123.4);
    EXPECT_EQ(Bits(b["z3sigma_mm"].get<double>()), Bits(b["z3sigma_in"].get<double>() * 25.4));
    EXPECT_EQ(b["rigid_body"], false);
    EXPECT_EQ(b["required_fn_with_life"], true) << "the required fn holds the 1000 hours too";
    const auto& segments = json["inputs"]["profile"]["segments"];
    ASSERT_EQ(segments.size(), 3u) << "NAVMAT's three segments";
    EXPECT_NEAR(segments[1]["db_per_octave"].get<double>(), 0.0, 1e-12);
    EXPECT_NEAR(segments[0]["share"].get<double>() + segments[1]["share"].get<double>() +
                    segments[2]["share"].get<double>(),
                1.0, 1e-12);
    EXPECT_EQ(json["worst_part"]["ref"], "U1");
    const nlohmann::json errors =
        nlohmann::json::array({{{"line", 4}, {"message", "L 'x' is not a length (a number, in or mm)"}}});
    EXPECT_EQ(json["errors"], errors);
    EXPECT_EQ(json["required_life_hours"].get<double>(), 1000.0);
    EXPECT_NE(json["assumptions"].dump().find("anchored at 2e7 cycles"), std::string::npos);
}

TEST(JsonReport, ABoardWithoutPartsIsStillOneDocument) {
    board::Report report = SmallReport();
    report.parts.clear();
    report.board.requiredFn.reset();
    const auto json = nlohmann::json::parse(board_cli::JsonText(report, board_cli::Provenance{}));
    EXPECT_EQ(json["parts"], nlohmann::json::array());
    EXPECT_TRUE(json["board"]["required_fn_hz"].is_null());
    EXPECT_TRUE(json["worst_part"].is_null());
    EXPECT_TRUE(json["time"].is_null());
    EXPECT_EQ(json["program"]["name"], "tarnvel-board");
}

// ---- Table

TEST(TableReport, TheInputsOnOneScreen) {
    const std::string table = board_cli::TableText(SmallReport(1000.0), SmallProvenance());
    const std::string expected =
        "tarnvel-board: parts.csv, 3 parts on a 9 x 7 x 0.08 in board\n"
        "\n"
        "Inputs\n"
        "  board    9x7x0.08in           9 x 7 x 0.08 in\n"
        "  fn       300                  300 Hz\n"
        "  profile  NAVMAT P-9492        6.06 G rms\n"
        "                                NAVMAT P-9492, 1979\n"
        "  Q rule   sqrt(fn)\n"
        "  life     1000 hours required\n"
        "  r min    0.5                  floor of r from a position\n"
        "  units    in\n"
        "  files    parts parts.csv      123 bytes, sha256 0123456789ab\n"
        "  program  tarnvel-board 9.8.7  2026-12-09T17:15:00Z\n"
        "\n"
        "Profile as used\n"
        // NAVMAT's areas by hand: 0.01/20 (80² − 20²)/2 = 1.5, 0.04 · 270 = 10.8 and 0.04 · 350 ln(2000/350)
        // = 24.40 g²; slopes of ±10 log10(4)/2 = ±3.01 dB/oct.
        "  Hz           g^2/Hz         dB/oct  share of G^2\n"
        "  20 to 80     0.01 to 0.04   +3.01   4.09 %\n"
        "  80 to 350    0.04 to 0.04   +0.00   29.4 %\n"
        "  350 to 2000  0.04 to 0.007  -3.01   66.5 %\n"
        "\n"
        "Board\n";
    EXPECT_EQ(table.substr(0, expected.size()), expected);
}

TEST(TableReport, PartsWorstMarginFirstInTheReportsUnit) {
    struct Row {
        const char* name;
        LengthUnit units;
        std::vector<std::string> lines; // in order, each somewhere after the one before
    };
    const std::vector<Row> rows{
        {"inch",
         LengthUnit::Inch,
         {"  Z 3-sigma    0.00589 in\n",
          "\n  ref        kind      edge  B in  L in    x in  y in  C     r    Z allow in  margin  cycles   "
          "hours   "
          "result  notes\n",
          "\n  U1         bga       a     9     1.4     4.5   3.5   1.75  0.5  0.0123      0.25    1e+04    "
          "0.05    "
          "FAIL    r 0.3 from the position is below the floor 0.5, which is used\n",
          "\n  R\xff"
          "9        resistor  b     7     1.4     4.5   3.5   1.75  0.5  0.0124      0.25    1e+04    0.05   "
          " FAIL\n",
          "\n  C,1 \"big\"            b     7     0.3937              0.3   0.9  0.2         4       6.9e+18 "
          " > 1e12  "
          "pass    C 0.30000000000000004 is outside",
          "\n  not evaluated: 1 row (line 4), see the errors\n\nLife assumes"}},
        {"millimetre",
         LengthUnit::Millimetre,
         {"on a 228.6 x 177.8 x 2.032 mm board", "  Z 3-sigma    0.15 mm\n", "  B mm   L mm   x mm   y mm ",
          "\n  U1         bga       a     228.6  35.56  114.3  88.9  1.75  0.5  0.312       0.25"}},
    };
    for (const Row& row : rows) {
        const std::string table = board_cli::TableText(SmallReport(), SmallProvenance(row.units));
        std::size_t at = 0;
        for (const std::string& line : row.lines) {
            const std::size_t found = table.find(line, at);
            ASSERT_NE(found, std::string::npos) << row.name << ": " << line << "\n" << table;
            at = found + 1;
        }
    }
}

TEST(TableReport, WhatTheRequiredFrequencyGuarantees) {
    struct Row {
        const char* name;
        std::optional<double> hours;
        bool withLife;
        std::optional<double> requiredFn;
        const char* line;
    };
    const std::vector<Row> rows{
        {"the margin alone", std::nullopt, false, 123.4, "  required fn  123.4 Hz     for the worst part\n"},
        {"the margin and the life", 5000.0, true, 123.4,
         "  required fn  123.4 Hz     margin >= 1 and life >= 5000 h for every part\n"},
        {"none in the band", std::nullopt, false, std::nullopt,
         "  required fn  none in the band: the top of the band fails\n"},
    };
    for (const Row& row : rows) {
        board::Report report = SmallReport(row.hours);
        report.board.requiredFnWithLife = row.withLife;
        report.board.requiredFn = row.requiredFn;
        const std::string table = board_cli::TableText(report, SmallProvenance());
        EXPECT_NE(table.find(row.line), std::string::npos) << row.name << "\n" << table;
    }
}

// Many rows, many of them tied: the table's order is by margin, ties in input order, whatever order the rows
// came in; the JSON and CSV keep input order.
TEST(TableReport, ManyRowsSortedStably) {
    board::Report report = SmallReport();
    const board::PartResult model = report.parts[0];
    report.parts.clear();
    std::mt19937 random(7);
    for (std::size_t i = 0; i < 20000; ++i) {
        board::PartResult p = model;
        p.line = i + 2;
        p.ref = "P" + std::to_string(i);
        p.margin = static_cast<double>(random() % 50) / 10.0;
        report.parts.push_back(p);
    }
    const std::string table = board_cli::TableText(report, SmallProvenance());
    std::vector<std::pair<double, std::size_t>> expected;
    for (std::size_t i = 0; i < report.parts.size(); ++i)
        expected.emplace_back(report.parts[i].margin, i);
    std::sort(expected.begin(), expected.end());
    std::size_t at = table.find("\n  ref ");
    ASSERT_NE(at, std::string::npos);
    at = table.find('\n', at + 1) + 1;
    for (const auto& [margin, index] : expected) {
        const std::string ref = "  P" + std::to_string(index) + " ";
        ASSERT_EQ(table.compare(at, ref.size(), ref), 0)
            << "part " << index << " at " << table.substr(at, 40);
        at = table.find('\n', at) + 1;
    }
    const auto json = nlohmann::json::parse(board_cli::JsonText(report, SmallProvenance()));
    ASSERT_EQ(json["parts"].size(), report.parts.size());
    EXPECT_EQ(json["parts"][19999]["ref"], "P19999");
}

// Cells of any length are put aside and read back whole.
TEST(TableReport, LongCellsComeBackWhole) {
    board::Report report = SmallReport();
    report.parts[0].ref = std::string(300, 'a');
    report.parts[1].ref = std::string(70000, 'b');
    report.parts[2].ref = "short";
    const std::string table = board_cli::TableText(report, SmallProvenance());
    for (const board::PartResult& p : report.parts)
        EXPECT_NE(table.find("\n  " + p.ref + "  "), std::string::npos) << p.ref.size();
}

// A sink that stops taking text: every writer says so.
TEST(ReportWriters, AFailedWriteIsReported) {
    for (const board_cli::Format format :
         {board_cli::Format::Table, board_cli::Format::Csv, board_cli::Format::Json}) {
        const board::Report report = SmallReport();
        std::size_t pieces = 0;
        const auto writer = board_cli::MakeWriter(format, SmallProvenance(), {}, [&pieces](std::string_view) {
            ++pieces;
            return false;
        });
        bool ok = writer->Start(report);
        for (std::size_t i = 0; i < 100000 && ok; ++i)
            ok = writer->Row(board::PartResult(report.parts[i % 3]));
        ok = ok && writer->Finish(board_cli::EndingOf(report));
        EXPECT_FALSE(ok) << static_cast<int>(format);
        EXPECT_GT(pieces, 0u) << static_cast<int>(format);
    }
}

// ---- The worst part, gathered as the rows go

TEST(Tally, TheRequiredFrequencyIsTheWholeReportsOne) {
    board::BoardInput in;
    in.a = 9;
    in.b = 7;
    in.h = 0.08;
    in.fn = 120;
    board::PartsList list;
    for (const auto& [line, L, kind, r] : std::vector<std::tuple<std::size_t, double, const char*, double>>{
             {2, 1.0, "dip", 0.8}, {3, 2.0, "bga", 0.9}, {4, 0.5, "resistor", 1.0}, {6, 2.0, "bga", 0.9}}) {
        board::Part part;
        part.line = line;
        part.ref = "P" + std::to_string(line);
        part.L = L;
        part.kind = board::FindKind(kind);
        part.C = part.kind == board::FindKind("dip")   ? 1.0
                 : part.kind == board::FindKind("bga") ? 1.75
                                                       : 0.75;
        part.r = r;
        list.parts.push_back(part);
    }
    board::Analysis whole = board::Analyse(in, list);
    ASSERT_TRUE(whole.report) << static_cast<int>(whole.problem.kind);
    board_cli::Tally tally;
    tally.Add(board::RowError{9, "late"});
    for (const board::PartResult& p : whole.report->parts)
        tally.Add(p);
    tally.Add(board::RowError{5, "early"});
    const board_cli::Ending ending = tally.Finish(in);
    ASSERT_TRUE(whole.report->board.requiredFn);
    ASSERT_TRUE(ending.requiredFn);
    EXPECT_EQ(Bits(*ending.requiredFn), Bits(*whole.report->board.requiredFn));
    ASSERT_TRUE(ending.worst);
    EXPECT_EQ(ending.worst->ref, "P3") << "the first of two equal parts";
    ASSERT_EQ(ending.errors.size(), 2u);
    EXPECT_EQ(ending.errors[0].line, 5u);
    EXPECT_EQ(ending.errors[1].line, 9u);
}

// ---- The worked table of the README

// The lines of a block: from the line `first` to the next blank line.
std::vector<std::string> Block(const std::vector<std::string>& lines, const std::string& first) {
    auto at = std::find(lines.begin(), lines.end(), first);
    std::vector<std::string> out;
    if (at == lines.end())
        return out;
    for (++at; at != lines.end() && !at->empty(); ++at)
        out.push_back(*at);
    return out;
}

TEST(WorkedTable, TheReadmesTableFromItsCommandLine) {
    const std::string source = TARNVEL_SOURCE_DIR;
    const std::string readme = Slurp(source + "/README.md");
    const std::string command =
        "$ tarnvel-board --board 9x7x0.08in --mass 1.2lb --psd 20:0.04,2000:0.04 docs/board-example.csv\n";
    const std::size_t start = readme.find(command);
    ASSERT_NE(start, std::string::npos);
    const std::size_t from = start + command.size();
    const std::vector<std::string> expected =
        Split(readme.substr(from, readme.find("```", from) - from - 1), "\n");

    // The program's own steps, in-process: the command line, the profile, the list, the rows.
    const char* argv[] = {"tarnvel-board", "--board", "9x7x0.08in",        "--mass",
                          "1.2lb",         "--psd",   "20:0.04,2000:0.04", "docs/board-example.csv"};
    board_cli::CommandLine command_line =
        board_cli::ParseCommandLine(static_cast<int>(std::size(argv)), argv);
    ASSERT_EQ(command_line.status, board_cli::CommandLine::Status::Run) << command_line.text;
    board_cli::Options& options = command_line.options;
    board::PsdReading psd = board::ParsePsdBreakpoints(options.psdProfile);
    ASSERT_TRUE(psd.psd) << psd.error;
    options.board.psd = *psd.psd;
    const std::string text = Slurp(source + "/" + options.parts);
    std::string error;
    auto reader = board::PartsReader::Open(text, error);
    ASSERT_TRUE(reader) << error;
    board::BoardProblem problem;
    const auto evaluator = board::BoardEvaluator::Make(options.board, problem);
    ASSERT_TRUE(evaluator) << static_cast<int>(problem.kind);
    board::Part part;
    board::RowError rowError;
    const board::PartsReader::Row first = reader->Next(part, rowError);
    board_cli::Provenance provenance;
    provenance.parts = options.parts;
    provenance.psd = options.psdProfile;
    provenance.mass = options.massText;
    std::string table;
    const auto writer = board_cli::MakeWriter(options.format, provenance, reader->dialect(),
                                              [&table](std::string_view piece) {
                                                  table += piece;
                                                  return true;
                                              });
    const board::Report head = evaluator->Start();
    ASSERT_TRUE(writer->Start(head));
    const board_cli::RowsWritten rows = board_cli::WriteRows(
        [&reader](board::Part& p, board::RowError& e) { return reader->Next(p, e); }, first, part, rowError,
        *evaluator, head, *writer, [](const board::RowError& bad) { ADD_FAILURE() << bad.message; });
    EXPECT_TRUE(rows.written);
    EXPECT_FALSE(rows.allPass);
    const std::vector<std::string> actual = Split(table, "\n");

    EXPECT_EQ(actual.at(0), expected.at(0)) << "the title";
    // The blocks that do not depend on the run's time and files, line for line.
    for (const char* block : {"Profile as used", "Board", "Parts, worst margin first"})
        EXPECT_EQ(Block(actual, block), Block(expected, block)) << block;
    EXPECT_EQ(actual.at(actual.size() - 2), expected.back()) << "the life assumption";
}

} // namespace
