// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/parts.h"

#include "board/units.h"

#include "calc/tables.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace board {

const char* const kKindShortNames[11] = {
    "resistor", "capacitor", "diode", "dip",        "dip-side-brazed", "pga",
    "lccc",     "lccc-j",    "bga",   "fine-pitch", "two-row",
};
static_assert(std::size(kKindShortNames) == calc::ComponentTable.size());

int FindKind(std::string_view name) {
    name = Trim(name);
    for (std::size_t i = 0; i < calc::ComponentTable.size(); ++i) {
        const calc::ComponentRow& row = calc::ComponentTable[i];
        if (EqualsIgnoringCase(name, row.listText) || EqualsIgnoringCase(name, Trim(row.description)) ||
            EqualsIgnoringCase(name, kKindShortNames[i]))
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

enum Column { Ref, LengthColumn, Kind, Constant, Parallel, Position, X, Y, kColumns };
constexpr std::array<const char*, kColumns> kColumnNames{"ref", "L", "kind", "C", "parallel", "r", "x", "y"};
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

class RowReader {
public:
    RowReader(const std::array<std::size_t, kColumns>& index, DecimalMark mark)
        : index_(index), mark_(mark) {}

    // The row as a part, or the first thing wrong with it.
    std::optional<Part> Read(const Record& record, std::string& error) {
        Part part;
        part.line = record.line;
        part.ref = std::string(Trim(Cell(record, Ref)));
        if (part.ref.empty())
            return Fail(error, "no ref");
        if (!Length(record, LengthColumn, "L", part.L, error))
            return std::nullopt;

        const std::string_view c = Trim(Cell(record, Constant));
        const std::string_view kind = Trim(Cell(record, Kind));
        if (!c.empty()) {
            const auto value = Number(c);
            if (!value)
                return Fail(error, "C " + Quoted(c) + " is not a number");
            part.C = *value;
        } else if (!kind.empty()) {
            part.kind = FindKind(kind);
            if (part.kind < 0)
                return Fail(error,
                            "unknown kind " + Quoted(kind) + " (see tarnvel-board --help for the kinds)");
            part.C = calc::ComponentTable[static_cast<std::size_t>(part.kind)].c;
        } else {
            return Fail(error, "no C: give a kind or C");
        }

        const std::string_view parallel = Trim(Cell(record, Parallel));
        if (parallel.empty() || EqualsIgnoringCase(parallel, "a"))
            part.parallel = Edge::A;
        else if (EqualsIgnoringCase(parallel, "b"))
            part.parallel = Edge::B;
        else
            return Fail(error, "parallel " + Quoted(parallel) + " is not a or b");

        const std::string_view r = Trim(Cell(record, Position));
        if (!r.empty()) {
            const auto value = Number(r);
            if (!value)
                return Fail(error, "r " + Quoted(r) + " is not a number");
            part.r = *value;
        } else if (!Trim(Cell(record, X)).empty() || !Trim(Cell(record, Y)).empty()) {
            if (!Length(record, X, "x", part.x, error) || !Length(record, Y, "y", part.y, error))
                return std::nullopt;
        } else {
            return Fail(error, "no position: give r, or x and y");
        }
        return part;
    }

    bool sawDecimalComma = false;

private:
    std::string_view Cell(const Record& record, Column column) const {
        const std::size_t i = index_[column];
        return i < record.cells.size() ? std::string_view(record.cells[i]) : std::string_view();
    }

    void Note(std::string_view text) {
        if (mark_ == DecimalMark::PointOrComma && text.find(',') != std::string_view::npos)
            sawDecimalComma = true;
    }

    std::optional<double> Number(std::string_view text) {
        Note(text);
        return ParseNumber(text, mark_);
    }

    bool Length(const Record& record, Column column, const char* name, double& out, std::string& error) {
        const std::string_view text = Trim(Cell(record, column));
        if (text.empty()) {
            error = std::string("no ") + name;
            return false;
        }
        Note(text);
        const auto value = ParseLength(text, mark_);
        if (!value) {
            error = std::string(name) + " " + Quoted(text) + " is not a length (a number, in or mm)";
            return false;
        }
        out = *value;
        return true;
    }

    static std::nullopt_t Fail(std::string& error, std::string message) {
        error = std::move(message);
        return std::nullopt;
    }

    const std::array<std::size_t, kColumns>& index_;
    DecimalMark mark_;
};

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037u;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211u;
    }
    // The low bits pick the slot: fold the high bits in.
    return hash ^ (hash >> 32);
}

bool AllEmpty(const Record& record) {
    for (const std::string& cell : record.cells)
        if (!Trim(cell).empty())
            return false;
    return true;
}

} // namespace

PartsReading ReadPartsList(std::string_view text) {
    PartsReading out;
    CsvReader reader(text);
    Record record;
    // The header is the first row that is not empty.
    bool found = false;
    while ((found = reader.Next(record)) && AllEmpty(record)) {
    }
    if (!found) {
        out.error = "no header row";
        return out;
    }
    if (record.unterminated) {
        out.error = "line " + std::to_string(record.line) + ": the header row has a quote that is not closed";
        return out;
    }

    PartsList list;
    list.dialect = reader.dialect();
    std::array<std::size_t, kColumns> index;
    index.fill(kAbsent);
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        const std::string_view name = Trim(record.cells[i]);
        bool known = false;
        for (std::size_t c = 0; c < kColumns; ++c) {
            if (!EqualsIgnoringCase(name, kColumnNames[c]))
                continue;
            if (index[c] != kAbsent) {
                out.error = "the header names column " + Quoted(kColumnNames[c]) + " twice";
                return out;
            }
            index[c] = i;
            known = true;
        }
        if (!known && !name.empty())
            list.ignored.emplace_back(name);
    }
    auto has = [&](Column c) { return index[c] != kAbsent; };
    if (!has(Ref) || !has(LengthColumn)) {
        out.error = std::string("the header has no column ") +
                    Quoted(kColumnNames[has(Ref) ? LengthColumn : Ref]) +
                    " (columns: ref, L, kind or C, parallel, r or x and y)";
        return out;
    }
    if (!has(Kind) && !has(Constant)) {
        out.error = "the header has neither column 'kind' nor 'C'";
        return out;
    }
    if (!has(Position) && !(has(X) && has(Y))) {
        out.error = "the header has no column 'r', nor both 'x' and 'y'";
        return out;
    }

    const DecimalMark mark = list.dialect.separator == ',' ? DecimalMark::Point : DecimalMark::PointOrComma;
    RowReader rows(index, mark);
    list.parts.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
    std::string error;
    while (reader.Next(record)) {
        if (AllEmpty(record))
            continue;
        if (record.unterminated) {
            list.errors.push_back({record.line, "a quoted cell is not closed"});
            continue;
        }
        std::optional<Part> part = rows.Read(record, error);
        if (part)
            list.parts.push_back(std::move(*part));
        else
            list.errors.push_back({record.line, error});
    }
    list.dialect.decimalComma = rows.sawDecimalComma;

    // A ref names one part: a later row with the same ref is an error. An open-addressing table of the
    // refs' hashes and row indices, as a list may hold a million parts.
    std::size_t capacity = 16;
    while (capacity < 2 * list.parts.size())
        capacity *= 2;
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t row = 0; // index + 1; 0 = empty
    };
    std::vector<Slot> slots(capacity);
    std::vector<bool> repeated(list.parts.size());
    bool anyRepeated = false;
    for (std::size_t i = 0; i < list.parts.size(); ++i) {
        const Part& part = list.parts[i];
        const std::uint64_t hash = Fnv1a(part.ref);
        std::size_t at = static_cast<std::size_t>(hash) & (capacity - 1);
        for (;; at = (at + 1) & (capacity - 1)) {
            Slot& slot = slots[at];
            if (slot.row == 0) {
                slot = {hash, i + 1};
                break;
            }
            if (slot.hash == hash && list.parts[slot.row - 1].ref == part.ref) {
                list.errors.push_back({part.line, "ref " + Quoted(part.ref) + " repeats line " +
                                                      std::to_string(list.parts[slot.row - 1].line)});
                repeated[i] = anyRepeated = true;
                break;
            }
        }
    }
    if (anyRepeated) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < list.parts.size(); ++i)
            if (!repeated[i]) {
                if (kept != i)
                    list.parts[kept] = std::move(list.parts[i]);
                ++kept;
            }
        list.parts.resize(kept);
        std::stable_sort(list.errors.begin(), list.errors.end(),
                         [](const RowError& x, const RowError& y) { return x.line < y.line; });
    }
    out.list = std::move(list);
    return out;
}

} // namespace board
