// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A board's report as a table for a person, as CSV and as JSON for programs.
#pragma once

#include "board/analysis.h"
#include "board/csv.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
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
// Receives text in pieces; false when it could not take one.
using Sink = std::function<bool(std::string_view)>;

// The CSV report row by row, handed to the sink in pieces of some 64 KiB: a list of any length is written
// without being held.
class CsvWriter {
public:
    // Starts with the header line.
    CsvWriter(const board::Dialect& dialect, std::optional<double> requiredHours, Sink sink);
    bool Row(const board::PartResult& part);
    bool Finish();

private:
    static constexpr std::size_t kChunk = 1 << 16;
    struct Cached {
        std::uint64_t bits = 0;
        bool valid = false;
        std::string text;
    };
    void AppendRepeated(double value);

    char separator_;
    char point_;
    const char* eol_;
    std::optional<double> requiredHours_;
    Sink sink_;
    std::string out_;
    std::string notes_;
    std::array<Cached, 16> cache_{};
};

bool WriteCsv(const board::Report& report, const board::Dialect& dialect, const Sink& sink);
std::string CsvText(const board::Report& report, const board::Dialect& dialect);

// Every number written so that it reads back as the same double.
std::string JsonText(const board::Report& report);

} // namespace board_cli
