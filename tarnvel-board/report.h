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
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board_cli {

// What the table says of where its inputs came from.
struct Provenance {
    std::string parts; // the parts list's name
    std::string psd;   // the profile as given (navmat, the breakpoints, @FILE)
    std::string mass;  // --mass as given, when fn was estimated
};

std::string TableText(const board::Report& report, const Provenance& from);

// Receives text in pieces; false when it could not take one.
using Sink = std::function<bool(std::string_view)>;

// The CSV report: one header line and one line per part in input order, every number in full precision,
// in the parts list's own dialect (separator, decimal comma, line ends, byte-order mark). Row by row,
// handed to the sink in pieces of some 64 KiB: a list of any length is written
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

// A CsvWriter on a second thread: rows are handed over in batches, so that writing the numbers in full,
// the larger part of the work for a long list, runs beside reading and evaluating the next rows.
class CsvPipeline {
public:
    CsvPipeline(const board::Dialect& dialect, std::optional<double> requiredHours, Sink sink);
    // False once a write has failed; the rows after it are not written.
    bool Add(board::PartResult&& part);
    // Writes what is left; false when any write failed.
    bool Finish();

private:
    static constexpr std::size_t kBatch = 4096;
    bool Wait();
    bool Hand();

    CsvWriter writer_;
    std::vector<board::PartResult> batch_;
    bool ok_ = true;
    std::future<bool> pending_; // last, so that it is waited for before the writer goes
};

// Every number written so that it reads back as the same double.
std::string JsonText(const board::Report& report);

} // namespace board_cli
