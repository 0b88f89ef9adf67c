// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The command line of tarnvel-board.
#pragma once

#include "tarnvel-board/columns.h"

#include "board/analysis.h"
#include "board/placement.h"

#include <optional>
#include <string>
#include <vector>

namespace board_cli {

enum class Format { Table, Csv, Json };

// A figure written alone: --plot KIND FILE.
enum class PlotKind { Psd, Response, Board };
struct Plot {
    PlotKind kind = PlotKind::Psd;
    std::string file;
};

struct Options {
    std::string parts;       // a CSV file, or "-" for standard input
    board::BoardInput board; // everything but the profile, which psdProfile names
    std::string psdProfile;  // a name | F:P,F:P,… | @FILE
    Format format = Format::Table;
    LengthUnit units = LengthUnit::Inch; // of bare lengths in the parts list, and of the report's lengths
    std::optional<std::string> output;
    std::string boardText;                   // --board as written, empty without it
    bool supportsGiven = false;              // --supports
    std::optional<std::string> rules;        // --rules FILE
    double originX = 0.0, originY = 0.0;     // --origin, inch
    std::optional<board::ColumnMap> columns; // --columns
    std::string massText;                    // --mass as written, empty without it
    std::string fnText;                      // --fn as written, empty without it
    std::optional<std::string> report;       // --report FILE.html
    std::vector<Plot> plots;                 // --plot KIND FILE.svg, in order
};

struct CommandLine {
    enum class Status { Run, Print, Error };
    Status status = Status::Error;
    std::string text; // --help or --version text to print; or the error, one line
    Options options;
};

// Reads the arguments (argv[0] is the program). Reads no file.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// "tarnvel-board <version>".
std::string VersionText();

} // namespace board_cli
