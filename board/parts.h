// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A board's parts list, read from CSV: one row a part, columns named by the header row.
#pragma once

#include "board/csv.h"
#include "board/units.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

// The board edge a part's length runs along, which is the criterion's B.
enum class Edge { A, B };

struct Part {
    std::size_t line = 0; // the CSV line the row starts on, header = 1
    std::string ref;
    double L = 0.0;               // inch
    double C = 0.0;               // given, or the kind's
    int kind = -1;                // the row of the component table C came from, or −1 when given
    std::optional<Edge> parallel; // as given (x reads as a, y as b); none: not given
    std::string parallelGiven;    // the cell as written, empty when not given
    std::optional<double> r;      // given; else x and y place the part
    double x = 0.0, y = 0.0;      // inch from the board's corner, along a and b
    std::optional<double> weight; // lb, a heavy part's own, lumped where it sits
    bool bottom = false;          // placed on the bottom side (from a layout)
    // The body as a layout draws it, for pictures of the board: its side across L (inch), and the direction
    // of L in degrees counter-clockwise from the board's x, seen from the top. None from a parts list.
    std::optional<double> across, direction;
};

struct RowError {
    std::size_t line = 0;
    std::string message;
    // What a program may add to the message: the kinds it knows, for an unknown kind; how to give a rule,
    // for a footprint no package rule knows.
    enum class Kind { Value, UnknownKind, NoRule };
    Kind kind = Kind::Value;
};

// How a parts list's bare numbers are read.
struct PartsOptions {
    const Unit* bareLength = &kInch; // a length cell without a unit, in a column whose header names none
};

struct PartsList {
    std::vector<Part> parts;          // the readable rows, in input order
    std::vector<RowError> errors;     // the rows that could not be read, in input order
    std::vector<std::string> ignored; // header names of the columns that are not used
    Dialect dialect;
};

struct PartsReading {
    std::optional<PartsList> list;
    std::string error; // the whole list is unusable: no header, a required column missing
};

// Reads a parts list row by row, so that a list of any length takes little memory beyond its text.
// The columns, in any order, case-insensitive: ref, L, kind or C, parallel (a, b, x or y; empty: not
// given), r or x and y, and mass (optional, with its unit). A length column's header may name its unit ("L
// (mm)", "L [mm]", "x_mm"); a length cell may carry its own (in, ", mm, cm, mil); a bare one counts in the
// header's unit, else in the options' bare unit. With a ';' or tab separator numbers may have a decimal
// comma. Rows whose cells are all empty are skipped; a row with more cells than the header, past it not
// blank, is a bad row, as is a given r above 1.
class PartsReader {
public:
    // Reads the header row of `text`, which must outlive the reader; nullopt, and `error` saying why, when
    // the list cannot be used (no header, a required column missing).
    static std::optional<PartsReader> Open(std::string_view text, std::string& error,
                                           const PartsOptions& options = {});

    PartsReader(PartsReader&&) noexcept;
    PartsReader& operator=(PartsReader&&) noexcept;
    ~PartsReader();

    enum class Row { Part, Error, End };
    // The next row with something in it: a part, or an error for a row that cannot be read or whose ref
    // an earlier part has (errors come in line order, as the rows do).
    Row Next(Part& part, RowError& error);

    // The list's separator and line ends, and whether its numbers have a decimal comma.
    const Dialect& dialect() const { return dialect_; }
    // Header names of the columns that are not used.
    const std::vector<std::string>& ignored() const { return ignored_; }
    // Whether the list has a mass column: its parts' masses shape the board's mode.
    bool hasMass() const { return hasMass_; }

private:
    struct State;
    PartsReader(std::unique_ptr<State> state, Dialect dialect, std::vector<std::string> ignored);
    std::unique_ptr<State> state_;
    Dialect dialect_;
    std::vector<std::string> ignored_;
    bool hasMass_ = false;
};

// The whole list at once.
PartsReading ReadPartsList(std::string_view text, const PartsOptions& options = {});

// The row of the component table for a kind: its list text or its description (case-insensitive, blanks
// around ignored) or a short name; −1 when none.
int FindKind(std::string_view name);

// The short names of the component table's rows, in table order.
extern const char* const kKindShortNames[11];

} // namespace board
