// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A board's report as a table for a person, as CSV and as JSON for programs.
#pragma once

#include "tarnvel-board/columns.h"
#include "tarnvel-board/options.h"

#include "board/analysis.h"
#include "board/csv.h"
#include "board/layout_parts.h"
#include "board/parts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board_cli {

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
    std::string
        source; // what the parts were read from: "KiCad board", "KiCad .pos", …; empty for a parts list
    std::vector<board::SkippedFootprint> skipped; // footprints not evaluated, and why
    std::string version;                          // "tarnvel-board 1.0.0.1"
    std::string time;                             // of the run, UTC, ISO 8601: "2026-12-09T17:15:00Z"
};

// Receives text in pieces; false when it could not take one.
using Sink = std::function<bool(std::string_view)>;

// The part with the smallest allowable Z.
struct WorstPart {
    std::size_t line = 0;
    std::string ref;
    double zAllow = 0.0;
};

// What a report learns only once every row is read.
struct Ending {
    std::vector<board::RowError> errors; // in line order
    std::optional<double> requiredFn; // for the worst part; none without parts or when the band's top fails
    std::optional<WorstPart> worst;
};

// The board frequency the worst part needs, worked out in this one place.
std::optional<double> RequiredFn(double worstZ, const board::BoardInput& input);

// The ending gathered as the rows go, so that no part is kept: the errors and the worst part.
class Tally {
public:
    void Add(const board::PartResult& part);
    void Add(board::RowError error);
    // The errors put in line order, the worst part and the frequency it needs.
    Ending Finish(const board::BoardInput& input);

private:
    Ending ending_;
};

// A report written as the parts come. Start takes the report before its parts (the board's figures,
// its inputs as used, the assumptions; its parts and errors are not read), Row each part in input order,
// Finish what is known at the end. Each returns false once a write has failed.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual bool Start(const board::Report& head) = 0;
    virtual bool Row(board::PartResult&& part) = 0;
    virtual bool Finish(const Ending& ending) = 0;
};

// The report's head as rows of cells, which the table and the page both write: the inputs as given and
// as used with where they came from, the profile's segments as used, and the board's figures.
using Rows = std::vector<std::vector<std::string>>;
Rows InputRows(const board::Report& head, const Provenance& from);
Rows ProfileRows(const board::Psd& psd);
Rows BoardRows(const board::Report& head, const Ending& ending, const Provenance& from, std::size_t parts);
// "9 x 7 x 0.08 in".
std::string SizeText(const board::BoardFigures& board, LengthUnit units);

// The writer of a format. The CSV takes the parts list's dialect.
std::unique_ptr<ReportWriter> MakeWriter(Format format, const Provenance& from, const board::Dialect& dialect,
                                         Sink sink);

// What writing a parts list's rows came to.
struct RowsWritten {
    bool written = true;
    bool allPass = true;
    std::size_t errors = 0;
};

// Evaluates the row `first` (already read into `part` or `error`) and every row after it, hands each
// part to the writer and each bad row to `onError` as it comes, in line order, then finishes the writer.
// `head` is evaluator.Start(), which the writer has been started with.
// `next` reads the row after: a parts list's reader, or the parts of a board file or a placement file.
using NextRow = std::function<board::PartsReader::Row(board::Part&, board::RowError&)>;
RowsWritten WriteRows(const NextRow& next, board::PartsReader::Row first, board::Part& part,
                      board::RowError& error, const board::BoardEvaluator& evaluator,
                      const board::Report& head, ReportWriter& writer,
                      const std::function<void(const board::RowError&)>& onError);

// A whole report at once, through the same writers.
Ending EndingOf(const board::Report& report);
std::string TableText(const board::Report& report, const Provenance& from);
std::string JsonText(const board::Report& report, const Provenance& from);
std::string CsvText(const board::Report& report, const Provenance& from, const board::Dialect& dialect = {});

// The CSV report: one header line and one line per part in input order, every number in full precision,
// in the parts list's own dialect (separator, decimal comma, line ends, byte-order mark), lengths in
// `units`. Row by row, handed to the sink in pieces of some 64 KiB: a list of any length is written
// without being held.
class CsvWriter {
public:
    // Starts with the header line.
    CsvWriter(const board::Dialect& dialect, std::optional<double> requiredHours, LengthUnit units,
              Sink sink);
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
    LengthUnit units_;
    Sink sink_;
    std::string out_;
    std::string notes_;
    std::array<Cached, 16> cache_{};
};

// A CsvWriter on a second thread: rows are handed over in batches, so that writing the numbers in full,
// the larger part of the work for a long list, runs beside reading and evaluating the next rows.
class CsvPipeline {
public:
    CsvPipeline(const board::Dialect& dialect, std::optional<double> requiredHours, LengthUnit units,
                Sink sink);
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

} // namespace board_cli
