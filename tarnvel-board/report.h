// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A board's report as a table for a person, as CSV and as JSON for programs.
#pragma once

#include "board/analysis.h"
#include "board/csv.h"

#include <functional>
#include <string>
#include <string_view>

namespace board_cli {

// What the table says of where its inputs came from.
struct Provenance {
    std::string parts; // the parts list's name
    std::string psd;   // the profile as given (navmat, the breakpoints, @FILE)
    std::string mass;  // --mass as given, when fn was estimated
};

std::string TableText(const board::Report& report, const Provenance& from);

// One header line and one line per part in input order, every number in full precision, in the parts
// list's own dialect (separator, decimal comma, line ends).
// Written to `sink` in pieces; false when the sink refused one.
using Sink = std::function<bool(std::string_view)>;
bool WriteCsv(const board::Report& report, const board::Dialect& dialect, const Sink& sink);
std::string CsvText(const board::Report& report, const board::Dialect& dialect);

// Every number written so that it reads back as the same double.
std::string JsonText(const board::Report& report);

} // namespace board_cli
