// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/options.h"

#include "board/parts.h"
#include "board/text.h"
#include "board/units.h"

#include "calc/tables.h"

#include <CLI/CLI.hpp>

#include <string_view>
#include <vector>

#ifndef TARNVEL_VERSION
#define TARNVEL_VERSION "unknown"
#endif

namespace board_cli {

namespace {

using board::DecimalMark;
using board::Unit;

struct Refusal {
    std::string message;
};

[[noreturn]] void Refuse(const std::string& option, std::string_view value, const std::string& what) {
    std::string message = option + ": " + board::Quote(value) + " is not " + what;
    if (value.find(',') != std::string_view::npos)
        message += " (numbers take a decimal point)";
    throw Refusal{message};
}

double Quantity(const std::string& option, std::string_view value, std::span<const Unit> units,
                const Unit* bare, const std::string& what) {
    const auto v = board::ParseQuantity(value, units, bare);
    if (!v)
        Refuse(option, value, what);
    return *v;
}

// "AxBxH", each a length; a unit on the last applies to the others unless they carry their own.
void ReadBoard(std::string_view text, board::BoardInput& board) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == 'x' || text[i] == 'X') {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    const std::string what = "AxBxH, three lengths (e.g. 9x7x0.08in or 229x178x2mm)";
    if (pieces.size() != 3)
        Refuse("--board", text, what);
    const std::string_view last = board::Trim(pieces[2]);
    const Unit* unit = &board::kInch;
    for (const Unit& u : board::kLengthUnits)
        if (last.size() > u.name.size() &&
            board::EqualsIgnoringCase(last.substr(last.size() - u.name.size()), u.name))
            unit = &u;
    double* sides[] = {&board.a, &board.b, &board.h};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto v = board::ParseQuantity(pieces[i], board::kLengthUnits, unit);
        if (!v)
            Refuse("--board", text, what);
        if (!(*v > 0.0))
            throw Refusal{"--board: " + board::Quote(text) + ": every length must be > 0"};
        *sides[i] = *v;
    }
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
        "PARTS is a CSV file with a header row naming the columns ref, L, kind or C, parallel (a or b), "
        "r or x and y. Lengths take in or mm (bare: inch).\n\n" +
        Kinds() +
        "\nExit status: 0 every part passes, 1 some part falls short, 2 an error.\n"
        "See tarnvel-board(1) for the model, its formulas and its assumptions.");
    app.set_version_flag("--version", VersionText());

    std::string boardText, fnText, massText, supports = "simple", modulusText, poissonText, qText = "sqrt",
                                             hoursText, format = "table", output;
    app.add_option("PARTS", o.parts, "the parts list (CSV), or - for standard input")->required();
    app.add_option("--board", boardText, "length a, width b, thickness h: 9x7x0.08in or 229x178x2mm")
        ->required()
        ->type_name("AxBxH");
    app.add_option("--fn", fnText, "natural frequency of the populated board, when known")->type_name("HZ");
    app.add_option("--mass", massText, "mass of the populated board, with lb or kg (to estimate fn)")
        ->type_name("W");
    app.add_option("--supports", supports, "edges, for the estimate: simple (default) or clamped")
        ->type_name("simple|clamped");
    app.add_option("--modulus", modulusText, "board material's modulus, psi (default 2e6) or with psi or GPa")
        ->type_name("E");
    app.add_option("--poisson", poissonText, "board material's Poisson's ratio (default 0.12)")
        ->type_name("NU");
    app.add_option("--psd", o.psdProfile, "random input: navmat, F:P,F:P,... (Hz:g^2/Hz) or @FILE")
        ->required()
        ->type_name("PROFILE");
    app.add_option("--q", qText, "transmissibility: sqrt (default), 2sqrt or a number")->type_name("RULE");
    app.add_option("--hours", hoursText, "required life in hours")->type_name("T");
    app.add_option("--format", format, "table (default), csv or json")->type_name("table|csv|json");
    app.add_option("-o,--output", output, "write there instead of standard output, whole or not at all")
        ->type_name("FILE");

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

    try {
        ReadBoard(boardText, o.board);
        static constexpr Unit kHertz[] = {{"Hz", 1.0}};
        static constexpr Unit kHours[] = {{"h", 1.0}};
        if (!fnText.empty())
            o.board.fn = Quantity("--fn", fnText, kHertz, &kHertz[0], "a frequency in Hz");
        if (!massText.empty()) {
            const auto text = board::Trim(massText);
            o.board.weight =
                Quantity("--mass", text, board::kMassUnits, nullptr, "a mass with its unit, lb or kg");
            o.massText = std::string(text);
        }
        if (board::EqualsIgnoringCase(supports, "simple"))
            o.board.supports = board::Supports::Simple;
        else if (board::EqualsIgnoringCase(supports, "clamped"))
            o.board.supports = board::Supports::Clamped;
        else
            Refuse("--supports", supports, "simple or clamped");
        if (!modulusText.empty())
            o.board.modulus = Quantity("--modulus", modulusText, board::kModulusUnits,
                                       &board::kModulusUnits[0], "a modulus in psi, or with psi or GPa");
        if (!poissonText.empty()) {
            const auto nu = board::ParseNumber(poissonText);
            if (!nu)
                Refuse("--poisson", poissonText, "a number");
            o.board.poisson = *nu;
        }
        if (board::EqualsIgnoringCase(qText, "sqrt")) {
            o.board.q.rule = board::Transmissibility::Rule::Sqrt;
        } else if (board::EqualsIgnoringCase(qText, "2sqrt")) {
            o.board.q.rule = board::Transmissibility::Rule::TwoSqrt;
        } else {
            const auto q = board::ParseNumber(qText);
            if (!q)
                Refuse("--q", qText, "sqrt, 2sqrt or a number");
            if (!(*q > 0.0))
                throw Refusal{"--q: Q must be > 0"};
            o.board.q.rule = board::Transmissibility::Rule::Fixed;
            o.board.q.fixed = *q;
        }
        if (!hoursText.empty()) {
            const double hours = Quantity("--hours", hoursText, kHours, &kHours[0], "a number of hours");
            if (!(hours > 0.0))
                throw Refusal{"--hours: the required life must be > 0"};
            o.board.requiredHours = hours;
        }
        if (format == "table")
            o.format = Format::Table;
        else if (format == "csv")
            o.format = Format::Csv;
        else if (format == "json")
            o.format = Format::Json;
        else
            Refuse("--format", format, "table, csv or json");
        if (app.count("--output") > 0) {
            if (output.empty())
                throw Refusal{"--output: no file name"};
            o.output = output;
        }
    } catch (const Refusal& r) {
        out.text = r.message;
        return out;
    }
    out.status = CommandLine::Status::Run;
    return out;
}

} // namespace board_cli
