// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/options.h"
#include "tarnvel-board/messages.h"

#include "board/parts.h"
#include "board/psd.h"
#include "board/text.h"
#include "board/units.h"

#include "calc/tables.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#ifndef TARNVEL_VERSION
#define TARNVEL_VERSION "unknown"
#endif

namespace board_cli {

namespace {

using board::Unit;

// A value refused where CLI11 reads it: its one error path writes "OPTION: MESSAGE".
[[noreturn]] void Refuse(const std::string& option, std::string_view value, const std::string& what) {
    std::string message = board::Quote(value) + " is not " + what;
    if (value.find(',') != std::string_view::npos)
        message += " (numbers take a decimal point)";
    throw CLI::ValidationError(option, message);
}

[[noreturn]] void Refuse(const std::string& option, const std::string& message) {
    throw CLI::ValidationError(option, message);
}

double Quantity(const std::string& option, std::string_view value, std::span<const Unit> units,
                const Unit* bare, const std::string& what) {
    const auto v = board::ParseQuantity(value, units, bare);
    if (!v)
        Refuse(option, value, what);
    return *v;
}

// One of `words`, in any case; its index.
std::size_t Keyword(const std::string& option, std::string_view value,
                    std::initializer_list<const char*> words) {
    std::size_t i = 0;
    std::string list;
    for (const char* word : words) {
        if (board::EqualsIgnoringCase(board::Trim(value), word))
            return i;
        list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + std::string(word);
        ++i;
    }
    Refuse(option, value, list);
}

// "AxBxH", each a length with its unit; a unit on the last applies to the others unless they carry their
// own. Without any unit the lengths are refused: 233x160x1.6 may be millimetres or inches.
void ReadBoard(std::string_view text, board::BoardInput& board) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == 'x' || text[i] == 'X') {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    const std::string what = "AxBxH, three lengths with their unit (e.g. 9x7x0.08in or 229x178x2mm)";
    if (pieces.size() != 3)
        Refuse("--board", text, what);
    const Unit* unit = nullptr;
    bool anyUnit = false;
    for (std::size_t i = 0; i < 3; ++i) {
        const board::NumberAndUnit split = board::SplitUnit(pieces[i]);
        if (split.number.empty() ||
            (!split.unit.empty() && !board::FindUnit(board::kLengthUnits, split.unit)))
            Refuse("--board", text, what);
        anyUnit = anyUnit || !split.unit.empty();
        if (i == 2 && !split.unit.empty())
            unit = board::FindUnit(board::kLengthUnits, split.unit);
    }
    if (!anyUnit) {
        std::string readings;
        for (std::size_t i = 0; i < 3; ++i)
            readings += (i == 0 ? "" : " x ") + std::string(board::Trim(pieces[i]));
        Refuse("--board", board::Quote(text) + " has no unit: " + readings + " in, or mm?");
    }
    double* sides[] = {&board.a, &board.b, &board.h};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto v = board::ParseQuantity(pieces[i], board::kLengthUnits, unit);
        if (!v)
            Refuse("--board", text, what + "; the last length's unit applies to the others");
        if (!(*v > 0.0))
            Refuse("--board", board::Quote(text) + ": every length must be > 0");
        *sides[i] = *v;
    }
}

// "X,Y", two lengths with their unit; a unit on Y applies to X unless X carries its own.
board::PlatePoint ReadPoint(const std::string& option, const std::string& v) {
    const std::size_t comma = v.find(',');
    const std::string what = "X,Y, two lengths with their unit (e.g. 5mm,5mm)";
    if (comma == std::string::npos || v.find(',', comma + 1) != std::string::npos)
        Refuse(option, v, what);
    const std::string_view x = board::Trim(std::string_view(v).substr(0, comma));
    const std::string_view y = board::Trim(std::string_view(v).substr(comma + 1));
    const board::NumberAndUnit xs = board::SplitUnit(x), ys = board::SplitUnit(y);
    if (xs.unit.empty() && ys.unit.empty())
        Refuse(option,
               board::Quote(v) + " has no unit: " + std::string(x) + ", " + std::string(y) + " in, or mm?");
    const board::Unit* unit = ys.unit.empty() ? nullptr : board::FindUnit(board::kLengthUnits, ys.unit);
    const auto px = board::ParseQuantity(x, board::kLengthUnits, unit);
    const auto py = board::ParseQuantity(y, board::kLengthUnits, unit);
    if (!px || !py)
        Refuse(option, v, what);
    return {*px, *py};
}

std::string Profiles() {
    std::string out = "Named profiles (--psd NAME):\n";
    for (const board::NamedProfile& p : board::NamedProfiles()) {
        std::string name(p.name);
        name.resize(std::max<std::size_t>(name.size() + 2, 24), ' ');
        out += "  " + name + std::string(p.source) + " " + board::FormatSignificant(p.psd.Grms(), 3) +
               " G rms.\n";
    }
    return out;
}

std::string Kinds() {
    std::string out = "Component kinds (the dialog's list text, or the short name):\n";
    for (std::size_t i = 0; i < calc::ComponentTable.size(); ++i) {
        const auto& row = calc::ComponentTable[i];
        std::string name = board::kKindShortNames[i];
        name.resize(16, ' ');
        out += "  " + name + row.listText + " (C = " + row.cText + ")\n";
    }
    return out;
}

// Whether a file name ends in one of the extensions, in any case.
bool HasExtension(std::string_view name, std::initializer_list<std::string_view> extensions) {
    for (const std::string_view extension : extensions)
        if (name.size() > extension.size() &&
            board::EqualsIgnoringCase(name.substr(name.size() - extension.size()), extension))
            return true;
    return false;
}

} // namespace

std::string VersionText() {
    return std::string("tarnvel-board ") + TARNVEL_VERSION;
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine out;
    Options& o = out.options;
    CLI::App app{"Every part of a circuit board against random vibration: the allowable displacement Z by "
                 "Steinberg's criterion, the board's response (Miles), the margin, the fatigue life and "
                 "the board frequency needed.",
                 "tarnvel-board"};
    app.get_formatter()->column_width(30);
    app.footer(
        "PARTS is a CSV file with a header row naming the columns ref, L, kind or C, parallel (a, b, x or y; "
        "empty: both edges are evaluated), r or x and y, and optionally mass (a heavy part's own, with its "
        "unit, lumped where it sits). Lengths take in, \", mm, cm or mil; a header may name a column's unit "
        "(L (mm), x_mm, mass (g)); bare lengths are inches, or millimetres with --units mm.\n\n" +
        Kinds() + "\n" + Profiles() +
        "\nExit status: 0 every part passes, 1 some part falls short, 2 an error.\n"
        "See tarnvel-board(1) for the model, its formulas and its assumptions.");
    app.set_version_flag("--version", VersionText());

    static constexpr Unit kHours[] = {{"h", 1.0}};
    // Each value is read, checked and stored where CLI11 takes it; a refusal is CLI11's own error.
    app.add_option(
           "PARTS", o.parts,
           "the parts list (CSV), a KiCad board (.kicad_pcb) or a placement file, or - for standard input")
        ->required();
    app.add_option_function<std::string>(
           "--board",
           [&o](const std::string& v) {
               ReadBoard(v, o.board);
               o.boardText = v;
           },
           "length a, width b, thickness h, with the unit: 9x7x0.08in or 229x178x2mm (from a KiCad board "
           "file: its outline and thickness)")
        ->type_name("AxBxH");
    app.add_option_function<std::string>(
           "--fn",
           [&o](const std::string& v) {
               o.board.fn = Quantity("--fn", v, board::kFrequencyUnits, &board::kFrequencyUnits[0],
                                     "a frequency in Hz or kHz");
               o.fnText = v;
           },
           "natural frequency of the populated board, when known (Hz)")
        ->type_name("HZ");
    app.add_option_function<std::string>(
           "--mass",
           [&o](const std::string& v) {
               o.board.weight =
                   Quantity("--mass", v, board::kMassUnits, nullptr, "a mass with its unit: g, kg, lb or oz");
               o.massText = std::string(board::Trim(v));
           },
           "mass of the populated board, with g, kg, lb or oz (to estimate fn)")
        ->type_name("W");
    app.add_option_function<std::string>(
           "--density",
           [&o](const std::string& v) {
               o.board.density = Quantity("--density", v, board::kDensityUnits, &board::kDensityUnits[0],
                                          "a density in g/cm3, or with g/cm3, kg/m3 or lb/in3");
               if (!(o.board.density > 0.0))
                   Refuse("--density", "the density must be > 0");
           },
           "the bare laminate's density, g/cm3 (default 1.85, FR-4), to check --mass")
        ->type_name("RHO");
    app.add_option_function<std::string>(
           "--supports",
           [&o](const std::string& v) {
               o.supportsGiven = true;
               const std::string_view text = board::Trim(v);
               if (board::EqualsIgnoringCase(text, "simple"))
                   o.board.edges = board::EdgeSupports{};
               else if (board::EqualsIgnoringCase(text, "clamped"))
                   o.board.edges = {board::EdgeSupport::Clamped, board::EdgeSupport::Clamped,
                                    board::EdgeSupport::Clamped, board::EdgeSupport::Clamped};
               else if (const auto edges = board::ParseEdgeLetters(text))
                   o.board.edges = *edges;
               else
                   Refuse("--supports", v,
                          "four edge letters S, C or F (the a edges at y = 0 and y = b, then the b edges at "
                          "x = 0 "
                          "and x = a), simple or clamped");
           },
           "the edges: four letters S (simply supported), C (clamped) or F (free), the a edges at y = 0 and "
           "b "
           "first, then the b edges at x = 0 and a: SSSS (simple, the default), CCCC (clamped), SSFF (card "
           "guides), CCFF (wedge locks)")
        ->type_name("EDGES");
    app.add_option_function<std::vector<std::string>>(
           "--point",
           [&o](const std::vector<std::string>& values) {
               for (const std::string& v : values)
                   o.board.points.push_back(ReadPoint("--point", v));
           },
           "a point support (screw, standoff) at X,Y from the board's corner, with the unit; repeatable")
        ->type_name("X,Y")
        ->expected(1) // one X,Y an occurrence: the parts list after it is not a point
        ->allow_extra_args(false)
        ->take_all();
    app.add_option_function<std::string>(
           "--rules",
           [&o](const std::string& v) {
               if (v.empty())
                   Refuse("--rules", "no file name");
               o.rules = v;
           },
           "package rules (CSV: pattern,kind,C,L,mass,action), tried before the built-in ones")
        ->type_name("FILE");
    app.add_option_function<std::string>(
           "--origin",
           [&o](const std::string& v) {
               const board::PlatePoint at = ReadPoint("--origin", v);
               o.originX = at.x;
               o.originY = at.y;
           },
           "a placement file's board corner X,Y in the file's coordinates, with the unit (default 0,0)")
        ->type_name("X,Y");
    app.add_option_function<std::string>(
           "--columns",
           [&o](const std::string& v) {
               std::string error;
               o.columns = board::ParseColumnMap(v, error);
               if (!o.columns)
                   Refuse("--columns", board::Quote(v) + ": " + error);
           },
           "a placement CSV's columns: ref=Designator,x=X (mm),y=Y (mm),rot=Rotation,side=Layer,package=...")
        ->type_name("MAP");
    app.add_option_function<std::string>(
           "--modulus",
           [&o](const std::string& v) {
               o.board.modulus = Quantity("--modulus", v, board::kModulusUnits, &board::kModulusUnits[0],
                                          "a modulus in psi, or with psi or GPa");
           },
           "board material's modulus, psi (default 2e6) or with psi or GPa")
        ->type_name("E");
    app.add_option_function<std::string>(
           "--poisson",
           [&o](const std::string& v) {
               const auto nu = board::ParseNumber(v);
               if (!nu)
                   Refuse("--poisson", v, "a number");
               o.board.poisson = *nu;
           },
           "board material's Poisson's ratio (default 0.12)")
        ->type_name("NU");
    app.add_option("--psd", o.psdProfile, "random input: a named profile, F:P,F:P,... (Hz:g^2/Hz) or @FILE")
        ->required()
        ->type_name("PROFILE");
    app.add_option_function<std::string>(
           "--q",
           [&o](const std::string& v) {
               const auto trimmed = board::Trim(v);
               if (board::EqualsIgnoringCase(trimmed, "sqrt")) {
                   o.board.q.rule = board::Transmissibility::Rule::Sqrt;
                   return;
               }
               if (board::EqualsIgnoringCase(trimmed, "2sqrt")) {
                   o.board.q.rule = board::Transmissibility::Rule::TwoSqrt;
                   return;
               }
               const auto q = board::ParseNumber(v);
               if (!q)
                   Refuse("--q", v, "sqrt, 2sqrt or a number");
               if (!(*q >= 1.0)) {
                   std::string message = Describe(
                       board::BoardProblem{board::BoardProblem::Kind::QBelowOne, *q, 0.0, false, {}});
                   message = message.substr(message.find(": ") + 2);
                   if (*q > 0.0)
                       message += ": " + board::FormatNumber(*q) + " as zeta is Q " +
                                  board::FormatSignificant(1.0 / (2.0 * *q), 4);
                   Refuse("--q", message);
               }
               o.board.q.rule = board::Transmissibility::Rule::Fixed;
               o.board.q.fixed = *q;
           },
           "transmissibility: sqrt (default), 2sqrt or a number, at least 1")
        ->type_name("RULE");
    app.add_option_function<std::string>(
           "--hours",
           [&o](const std::string& v) {
               const double hours = Quantity("--hours", v, kHours, &kHours[0], "a number of hours");
               if (!(hours > 0.0))
                   Refuse("--hours", "the required life must be > 0");
               o.board.requiredHours = hours;
           },
           "required life in hours")
        ->type_name("T");
    app.add_option_function<std::string>(
           "--r-min",
           [&o](const std::string& v) {
               const auto r = board::ParseNumber(v);
               if (!r)
                   Refuse("--r-min", v, "a number");
               if (!(*r >= 0.0 && *r <= 1.0))
                   Refuse("--r-min", board::Quote(v) + " is not between 0 and 1");
               o.board.rMin = *r;
           },
           "the least r a position gives (default 0.5, the lowest the criterion tabulates)")
        ->type_name("R");
    app.add_option_function<std::string>(
           "--units",
           [&o](const std::string& v) {
               o.units = Keyword("--units", v, {"in", "mm"}) == 0 ? LengthUnit::Inch : LengthUnit::Millimetre;
           },
           "bare lengths in the parts list, and the report's lengths: in (default) or mm")
        ->type_name("in|mm");
    app.add_option_function<std::string>(
           "--format",
           [&o](const std::string& v) {
               static constexpr Format kFormats[] = {Format::Table, Format::Csv, Format::Json};
               o.format = kFormats[Keyword("--format", v, {"table", "csv", "json"})];
           },
           "table (default), csv or json")
        ->type_name("table|csv|json");
    app.add_option_function<std::string>(
           "-o,--output",
           [&o](const std::string& v) {
               if (v.empty())
                   Refuse("--output", "no file name");
               o.output = v;
           },
           "write there instead of standard output, whole or not at all")
        ->type_name("FILE");
    app.add_option_function<std::string>(
           "--report",
           [&o](const std::string& v) {
               if (!HasExtension(v, {".html", ".htm"}))
                   Refuse("--report", board::Quote(v) + " is no .html file: the report is a web page");
               o.report = v;
           },
           "also write the report as one self-contained web page (figures, parts, inputs) there, whole "
           "or not at all")
        ->type_name("FILE.html");
    app.add_option_function<std::vector<std::string>>(
           "--plot",
           [&o](const std::vector<std::string>& values) {
               if (values.empty() || values.size() % 2 != 0)
                   Refuse("--plot", "needs a KIND (psd, response or board) and a FILE.svg");
               for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
                   static constexpr PlotKind kKinds[] = {PlotKind::Psd, PlotKind::Response, PlotKind::Board};
                   const PlotKind kind = kKinds[Keyword("--plot", values[i], {"psd", "response", "board"})];
                   if (!HasExtension(values[i + 1], {".svg"}))
                       Refuse("--plot", board::Quote(values[i + 1]) + " is no .svg file");
                   for (const Plot& plot : o.plots)
                       if (plot.file == values[i + 1])
                           Refuse("--plot", board::Quote(values[i + 1]) + " is named twice");
                   o.plots.push_back({kind, values[i + 1]});
               }
           },
           "also write one figure alone as SVG: psd (the input profile), response (the displacement across "
           "the band) or board (the board map); repeatable")
        ->type_name("KIND FILE.svg")
        ->type_size(2) // KIND and FILE an occurrence, written without CLI11's "x 2"
        ->expected(1)
        ->allow_extra_args(false)
        ->take_all();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out.status = CommandLine::Status::Print;
        out.text = app.help();
        return out;
    } catch (const CLI::CallForAllHelp&) {
        out.status = CommandLine::Status::Print;
        out.text = app.help();
        return out;
    } catch (const CLI::CallForVersion& e) {
        out.status = CommandLine::Status::Print;
        out.text = std::string(e.what()) + "\n";
        return out;
    } catch (const CLI::ParseError& e) {
        // The parser's message may quote an argument as it stands: on one line, control characters escaped.
        out.text = board::OneLine(e.what());
        return out;
    }
    out.status = CommandLine::Status::Run;
    return out;
}

} // namespace board_cli
