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

// The unit lengths are reported in: the table and the CSV use it; the JSON has inch fields and the same
// in millimetres (`_mm`) always.
enum class LengthUnit { Inch, Millimetre };

// A file the run read: its name as given, its size and its SHA-256 (64 lower-case hex digits).
struct FileRead {
    std::string role; // "parts" or "profile"
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;
};

// What a report says of where its inputs came from, besides the inputs as used (Report::input).
struct Provenance {
    std::string parts;         // the parts list's name as messages write it
    std::string psd;           // the profile as given (a name, the breakpoints, @FILE)
    std::string profileName;   // the named profile's name, empty for breakpoints or a file
    std::string profileSource; // the named profile's source
    std::string board;         // --board as given
    std::string mass;          // --mass as given, empty without it
    std::string fn;            // --fn as given, empty without it
    LengthUnit units = LengthUnit::Inch;
    std::vector<FileRead> files;
    std::string version; // "tarnvel-board 1.0.0.1"
    std::string time;    // of the run, UTC, ISO 8601: "2026-12-09T17:15:00Z"
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
