// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/parts.h"

#include "board/text.h"
#include "board/units.h"

#include "calc/tables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace board {

const char* const kKindShortNames[11] = {
    "resistor", "capacitor", "diode", "dip",        "dip-side-brazed", "pga",
    "lccc",     "lccc-j",    "bga",   "fine-pitch", "two-row",
};
static_assert(std::size(kKindShortNames) == calc::ComponentTable.size());

int FindKind(std::string_view name) {
    // The names each row answers to, measured once.
    struct Names {
        std::string_view list, description, shortName;
    };
    static const auto kNames = [] {
        std::array<Names, calc::ComponentTable.size()> names{};
        for (std::size_t i = 0; i < names.size(); ++i)
            names[i] = {calc::ComponentTable[i].listText, Trim(calc::ComponentTable[i].description),
                        kKindShortNames[i]};
        return names;
    }();
    name = Trim(name);
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const Names& n = kNames[i];
        if (EqualsIgnoringCase(name, n.list) || EqualsIgnoringCase(name, n.description) ||
            EqualsIgnoringCase(name, n.shortName))
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

enum Column { Ref, LengthColumn, Kind, Constant, Parallel, Position, X, Y, Mass, kColumns };
constexpr std::array<const char*, kColumns> kColumnNames{"ref", "L", "kind", "C",   "parallel",
                                                         "r",   "x", "y",    "mass"};
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

std::string Quoted(std::string_view text) {
    return Quote(text);
}

using Units = std::array<const Unit*, kColumns>;

class RowReader {
public:
    RowReader(const std::array<std::size_t, kColumns>& index, const Units& units, std::size_t headerCells,
              DecimalMark mark)
        : index_(index), units_(units), headerCells_(headerCells), mark_(mark) {}

    // The row as a part, or false and the first thing wrong with it.
    bool Read(const Record& record, Part& part, RowError& rowError) const {
        rowError.kind = RowError::Kind::Value;
        std::string& error = rowError.message;
        part = Part{};
        part.line = record.line;
        if (record.cells.size() > headerCells_) {
            // A decimal comma in a comma-separated row makes one cell two: the values after it shift.
            bool surplus = false;
            for (std::size_t i = headerCells_; i < record.cells.size(); ++i)
                surplus = surplus || !Trim(record.cells[i]).empty();
            if (surplus)
                return Fail(error, "the row has " + std::to_string(record.cells.size()) +
                                       " cells, the header " + std::to_string(headerCells_));
        }
        part.ref = std::string(Trim(Cell(record, Ref)));
        if (part.ref.empty())
            return Fail(error, "no ref");
        if (!Length(record, LengthColumn, "L", part.L, error))
            return false;

        const std::string_view c = Trim(Cell(record, Constant));
        const std::string_view kind = Trim(Cell(record, Kind));
        if (!c.empty()) {
            const auto value = Number(c);
            if (!value)
                return Fail(error, "C " + Quoted(c) + " is not a number");
            part.C = *value;
        } else if (!kind.empty()) {
            part.kind = FindKind(kind);
            if (part.kind < 0) {
                rowError.kind = RowError::Kind::UnknownKind;
                return Fail(error, "unknown kind " + Quoted(kind));
            }
            part.C = calc::ComponentTable[static_cast<std::size_t>(part.kind)].c;
        } else {
            return Fail(error, "no C: give a kind or C");
        }

        const std::string_view parallel = Trim(Cell(record, Parallel));
        if (parallel.empty())
            part.parallel.reset();
        else if (EqualsIgnoringCase(parallel, "a") || EqualsIgnoringCase(parallel, "x"))
            part.parallel = Edge::A;
        else if (EqualsIgnoringCase(parallel, "b") || EqualsIgnoringCase(parallel, "y"))
            part.parallel = Edge::B;
        else
            return Fail(error, "parallel " + Quoted(parallel) + " is not a, b, x or y");
        part.parallelGiven = std::string(parallel);

        const std::string_view r = Trim(Cell(record, Position));
        if (!r.empty()) {
            const auto value = Number(r);
            if (!value)
                return Fail(error, "r " + Quoted(r) + " is not a number");
            if (*value > 1.0)
                return Fail(error, "r " + Quoted(r) + " is above 1, its value at the board's centre");
            part.r = *value;
        } else if (!Trim(Cell(record, X)).empty() || !Trim(Cell(record, Y)).empty()) {
            if (!Length(record, X, "x", part.x, error) || !Length(record, Y, "y", part.y, error))
                return false;
        } else {
            return Fail(error, "no position: give r, or x and y");
        }

        const std::string_view mass = Trim(Cell(record, Mass));
        if (!mass.empty()) {
            const auto value = ParseQuantity(mass, kMassUnits, units_[Mass], mark_);
            if (!value)
                return Fail(error, "mass " + Quoted(mass) + " is not a mass with its unit (g, kg, lb or oz)");
            if (!(*value >= 0.0))
                return Fail(error, "mass " + Quoted(mass) + " is negative");
            part.weight = *value;
        }
        return true;
    }

    std::string_view RefCell(const Record& record) const { return Trim(Cell(record, Ref)); }

private:
    std::string_view Cell(const Record& record, Column column) const {
        const std::size_t i = index_[column];
        return i < record.cells.size() ? record.cells[i] : std::string_view();
    }

    std::optional<double> Number(std::string_view text) const { return ParseNumber(text, mark_); }

    bool Length(const Record& record, Column column, const char* name, double& out,
                std::string& error) const {
        const std::string_view text = Trim(Cell(record, column));
        if (text.empty()) {
            error = std::string("no ") + name;
            return false;
        }
        const auto value = ParseLength(text, mark_, units_[column]);
        if (!value) {
            error = std::string(name) + " " + Quoted(text) + " is not a length (a number, in, mm, cm or mil)";
            return false;
        }
        out = *value;
        return true;
    }

    static bool Fail(std::string& error, std::string message) {
        error = std::move(message);
        return false;
    }

    std::array<std::size_t, kColumns> index_;
    Units units_;
    std::size_t headerCells_;
    DecimalMark mark_;
};

// A header cell as a column's name and the unit it names: "L (mm)", "L [mm]" and "L_mm" are L in mm,
// "mass (g)" a mass in grams. Only the length columns and the mass take a unit; for the others the whole
// cell is the name.
std::pair<std::string_view, const Unit*> NameAndUnit(std::string_view cell) {
    cell = Trim(cell);
    std::string_view name = cell, unit;
    if (!cell.empty() && (cell.back() == ')' || cell.back() == ']')) {
        const std::size_t open = cell.find_last_of(cell.back() == ')' ? '(' : '[');
        if (open != std::string_view::npos) {
            name = Trim(cell.substr(0, open));
            unit = Trim(cell.substr(open + 1, cell.size() - open - 2));
        }
    } else if (const std::size_t underscore = cell.rfind('_'); underscore != std::string_view::npos) {
        name = cell.substr(0, underscore);
        unit = cell.substr(underscore + 1);
    }
    const bool length =
        EqualsIgnoringCase(name, "L") || EqualsIgnoringCase(name, "x") || EqualsIgnoringCase(name, "y");
    const bool mass = EqualsIgnoringCase(name, "mass");
    const Unit* found = unit.empty() ? nullptr
                        : length     ? FindUnit(kLengthUnits, unit)
                        : mass       ? FindUnit(kMassUnits, unit)
                                     : nullptr;
    if (found == nullptr)
        return {cell, nullptr};
    return {name, found};
}

// FNV-1a, then mixed (MurmurHash3's finaliser), as refs like "R101", "R102" differ only in their last
// characters.
std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037u;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211u;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdu;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53u;
    hash ^= hash >> 33;
    return hash;
}

bool AllEmpty(const Record& record) {
    for (std::string_view cell : record.cells)
        if (!Trim(cell).empty())
            return false;
    return true;
}

// The rows after the header, until one shows how its numbers mark their fraction: with ';' or tab between
// cells a spreadsheet in a comma-decimal locale writes "0,5".
bool UsesDecimalComma(CsvReader reader, const std::array<std::size_t, kColumns>& index) {
    Record record;
    while (reader.Next(record)) {
        for (Column c : {LengthColumn, Constant, Position, X, Y, Mass}) {
            const std::size_t i = index[c];
            if (i >= record.cells.size())
                continue;
            const std::string_view cell = record.cells[i];
            if (cell.find(',') != std::string_view::npos)
                return true;
            if (cell.find('.') != std::string_view::npos)
                return false;
        }
    }
    return false;
}

} // namespace

struct PartsReader::State {
    State(CsvReader csv, const std::array<std::size_t, kColumns>& index, const Units& units,
          std::size_t headerCells, DecimalMark mark)
        : reader(csv), rows(index, units, headerCells, mark) {}

    CsvReader reader;
    RowReader rows;
    Record record;
    std::string error;

    // The refs read so far, for a ref that repeats: an open-addressing table of hash tags and entry
    // numbers (8 bytes a slot, so that a million parts' table stays small), the entries, and one string of
    // all refs.
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t entry = 0; // index + 1; 0: empty
    };
    struct Entry {
        std::size_t offset;
        std::uint32_t length;
        std::size_t line;
    };
    std::vector<Slot> slots = std::vector<Slot>(16);
    std::vector<Entry> entries;
    std::string refs;

    // Asks the processor for the slot a ref's search starts at, so that a large table's cache miss
    // overlaps the reading of the row's numbers.
    void Prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
        __builtin_prefetch(&slots[hash & (slots.size() - 1)]);
#endif
    }

    // The line of the earlier part with this ref, or 0 after remembering it as new.
    std::size_t Remember(const std::string& ref, std::uint64_t hash, std::size_t line) {
        if (2 * (entries.size() + 1) > slots.size()) {
            Grow(2 * slots.size());
            return Remember(ref, hash, line);
        }
        const auto tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t at = hash & (slots.size() - 1);; at = (at + 1) & (slots.size() - 1)) {
            Slot& slot = slots[at];
            if (slot.entry == 0) {
                entries.push_back({refs.size(), static_cast<std::uint32_t>(ref.size()), line});
                refs += ref;
                slot = {tag, static_cast<std::uint32_t>(entries.size())};
                return 0;
            }
            if (slot.tag != tag)
                continue;
            const Entry& e = entries[slot.entry - 1];
            if (std::string_view(refs).substr(e.offset, e.length) == ref)
                return e.line;
        }
    }

    void Grow(std::size_t capacity) {
        slots.assign(capacity, Slot{});
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const std::uint64_t hash = Fnv1a(std::string_view(refs).substr(e.offset, e.length));
            std::size_t at = hash & (capacity - 1);
            while (slots[at].entry != 0)
                at = (at + 1) & (capacity - 1);
            slots[at] = {static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(i + 1)};
        }
    }
};

PartsReader::PartsReader(std::unique_ptr<State> state, Dialect dialect, std::vector<std::string> ignored)
    : state_(std::move(state)), dialect_(dialect), ignored_(std::move(ignored)) {}
PartsReader::PartsReader(PartsReader&&) noexcept = default;
PartsReader& PartsReader::operator=(PartsReader&&) noexcept = default;
PartsReader::~PartsReader() = default;

std::optional<PartsReader> PartsReader::Open(std::string_view text, std::string& error,
                                             const PartsOptions& options) {
    CsvReader reader(text);
    Record record;
    // The header is the first row that is not empty.
    bool found = false;
    while ((found = reader.Next(record)) && AllEmpty(record)) {
    }
    if (!found) {
        error = "no header row";
        return std::nullopt;
    }
    if (record.unterminated) {
        error = "line " + std::to_string(record.line) + ": the header row has a quote that is not closed";
        return std::nullopt;
    }

    std::vector<std::string> ignored;
    std::array<std::size_t, kColumns> index;
    index.fill(kAbsent);
    Units units;
    units.fill(options.bareLength);
    units[Mass] = nullptr; // a bare mass is refused, unless the header names its unit
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        const auto [name, unit] = NameAndUnit(record.cells[i]);
        bool known = false;
        for (std::size_t c = 0; c < kColumns; ++c) {
            if (!EqualsIgnoringCase(name, kColumnNames[c]))
                continue;
            if (index[c] != kAbsent) {
                error = "the header names column " + Quoted(kColumnNames[c]) + " twice";
                return std::nullopt;
            }
            index[c] = i;
            if (unit != nullptr)
                units[c] = unit;
            known = true;
        }
        if (!known && !name.empty())
            ignored.emplace_back(name);
    }
    auto has = [&](Column c) { return index[c] != kAbsent; };
    if (!has(Ref) || !has(LengthColumn)) {
        error = std::string("the header has no column ") +
                Quoted(kColumnNames[has(Ref) ? LengthColumn : Ref]) +
                " (columns: ref, L, kind or C, parallel, r or x and y)";
        return std::nullopt;
    }
    if (!has(Kind) && !has(Constant)) {
        error = "the header has neither column 'kind' nor 'C'";
        return std::nullopt;
    }
    if (!has(Position) && !(has(X) && has(Y))) {
        error = "the header has no column 'r', nor both 'x' and 'y'";
        return std::nullopt;
    }

    Dialect dialect = reader.dialect();
    const DecimalMark mark = dialect.separator == ',' ? DecimalMark::Point : DecimalMark::PointOrComma;
    dialect.decimalComma = mark == DecimalMark::PointOrComma && UsesDecimalComma(reader, index);
    auto state = std::make_unique<State>(reader, index, units, record.cells.size(), mark);
    // The number of lines sizes the ref table once; memchr finds line breaks faster than a loop.
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size(); ++lines) {
        const void* lineBreak = std::memchr(text.data() + at, '\n', text.size() - at);
        if (lineBreak == nullptr)
            break;
        at = static_cast<std::size_t>(static_cast<const char*>(lineBreak) - text.data()) + 1;
    }
    std::size_t capacity = 16;
    while (capacity < 2 * lines)
        capacity *= 2;
    state->slots.assign(capacity, State::Slot{});
    state->entries.reserve(lines);
    PartsReader out(std::move(state), dialect, std::move(ignored));
    out.hasMass_ = has(Mass);
    return out;
}

PartsReader::Row PartsReader::Next(Part& part, RowError& error) {
    State& s = *state_;
    while (s.reader.Next(s.record)) {
        if (AllEmpty(s.record))
            continue;
        error.line = s.record.line;
        error.kind = RowError::Kind::Value;
        if (s.record.unterminated) {
            error.message = "a quoted cell is not closed";
            return Row::Error;
        }
        const std::uint64_t hash = Fnv1a(s.rows.RefCell(s.record));
        s.Prefetch(hash);
        if (!s.rows.Read(s.record, part, error))
            return Row::Error;
        if (const std::size_t earlier = s.Remember(part.ref, hash, part.line); earlier != 0) {
            error.kind = RowError::Kind::Value;
            error.message = "ref " + Quoted(part.ref) + " repeats line " + std::to_string(earlier);
            return Row::Error;
        }
        return Row::Part;
    }
    return Row::End;
}

PartsReading ReadPartsList(std::string_view text, const PartsOptions& options) {
    PartsReading out;
    std::optional<PartsReader> reader = PartsReader::Open(text, out.error, options);
    if (!reader)
        return out;
    PartsList list;
    list.dialect = reader->dialect();
    list.ignored = reader->ignored();
    Part part;
    RowError error;
    for (;;) {
        const PartsReader::Row row = reader->Next(part, error);
        if (row == PartsReader::Row::End)
            break;
        if (row == PartsReader::Row::Part)
            list.parts.push_back(std::move(part));
        else
            list.errors.push_back(std::move(error));
    }
    out.list = std::move(list);
    return out;
}

} // namespace board
