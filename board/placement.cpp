// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/placement.h"

#include "board/csv.h"
#include "board/text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <unordered_set>

namespace board {

namespace {

enum Field { RefField, XField, YField, RotField, SideField, PackageField, ValueField, kFields };
constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

struct Line {
    std::string_view text; // without its line break
    std::size_t number;    // 1-based
    std::size_t offset;    // where it starts in the text
};

std::vector<Line> Lines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0, number = 1;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back({line, number++, start});
        start = end + 1;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool Blank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), IsBlank);
}

// A line of a column-padded text file as its words: runs of blanks separate them; a word that starts with a
// double quote runs to the closing quote, blanks and all ("" inside stands for one quote).
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            for (++i; i < line.size(); ++i) {
                if (line[i] != '"') {
                    word.push_back(line[i]);
                } else if (i + 1 < line.size() && line[i + 1] == '"') {
                    word.push_back('"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        while (i < line.size() && !IsBlank(line[i]))
            word.push_back(line[i++]);
        words.push_back(std::move(word));
    }
    return words;
}

// Whether a line separates its cells with a comma, a semicolon or a tab (outside quotes): then it is CSV.
bool HasSeparator(std::string_view line) {
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ',' || c == ';' || c == '\t'))
            return true;
    }
    return false;
}

std::vector<std::string> CsvCells(std::string_view line) {
    CsvReader reader(line);
    Record record;
    if (!reader.Next(record))
        return {};
    return {record.cells.begin(), record.cells.end()};
}

// A header's words, with Altium's two-word names ("Mid X", "Ref Y", "Center-X (mm)") made one again.
std::vector<std::string> HeaderWords(std::string_view line) {
    std::vector<std::string> words = Words(line);
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& next = i + 1 < words.size() ? words[i + 1] : std::string();
        const bool axis = !next.empty() &&
                          (next[0] == 'X' || next[0] == 'x' || next[0] == 'Y' || next[0] == 'y') &&
                          (next.size() == 1 || next[1] == '(' || next[1] == '[');
        if (axis && !words[i].empty() && words[i].back() != ')') {
            joined.push_back(words[i] + " " + next);
            ++i;
        } else {
            joined.push_back(words[i]);
        }
    }
    return joined;
}

// A header cell as its name and the length unit it names: "Center-X(mm)", "X [mil]", "PosX".
std::pair<std::string, const Unit*> HeaderName(std::string_view cell) {
    cell = Trim(cell);
    const Unit* unit = nullptr;
    if (!cell.empty() && (cell.back() == ')' || cell.back() == ']')) {
        const std::size_t open = cell.find_last_of(cell.back() == ')' ? '(' : '[');
        if (open != std::string_view::npos) {
            unit = FindUnit(kLengthUnits, Trim(cell.substr(open + 1, cell.size() - open - 2)));
            if (unit != nullptr)
                cell = Trim(cell.substr(0, open));
        }
    }
    return {std::string(cell), unit};
}

// A name as compared: lower case, without blanks, hyphens and underscores ("Center-X" = "center x").
std::string Folded(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (c == ' ' || c == '\t' || c == '-' || c == '_')
            continue;
        out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return out;
}

// The names each field answers to, most specific first.
const std::array<std::vector<std::string_view>, kFields>& KnownNames() {
    static const std::array<std::vector<std::string_view>, kFields> kNames{{
        {"ref", "designator", "refdes", "reference"},
        {"posx", "midx", "centerx", "centrex", "x"},
        {"posy", "midy", "centery", "centrey", "y"},
        {"rot", "rotation", "angle", "orientation"},
        {"side", "layer", "tb"},
        {"package", "footprint"},
        {"val", "value", "comment"},
    }};
    return kNames;
}

struct Columns {
    std::array<std::size_t, kFields> index;
    std::array<const Unit*, kFields> unit{};
    std::size_t count = 0; // header cells
};

// The columns of a header row: by the caller's names, or by the names the known formats use. nullopt when
// ref, x or y is missing.
std::optional<Columns> FindColumns(const std::vector<std::string>& header, const ColumnMap* map) {
    Columns columns;
    columns.index.fill(kAbsent);
    columns.count = header.size();
    std::vector<std::pair<std::string, const Unit*>> names;
    for (const std::string& cell : header)
        names.push_back(HeaderName(cell));
    auto find = [&](Field field, std::string_view wanted, bool folded) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool match = folded ? Folded(names[i].first) == wanted
                                      : EqualsIgnoringCase(Trim(header[i]), Trim(wanted)) ||
                                            EqualsIgnoringCase(names[i].first, Trim(wanted));
            if (match) {
                columns.index[field] = i;
                columns.unit[field] = names[i].second;
                return true;
            }
        }
        return false;
    };
    if (map != nullptr) {
        const std::array<const std::string*, kFields> wanted{
            &map->ref, &map->x, &map->y, &map->rotation, &map->side, &map->package, &map->value};
        for (std::size_t f = 0; f < kFields; ++f)
            if (!wanted[f]->empty())
                find(static_cast<Field>(f), *wanted[f], false);
    } else {
        for (std::size_t f = 0; f < kFields; ++f)
            for (std::string_view name : KnownNames()[f])
                if (find(static_cast<Field>(f), name, true))
                    break;
        // Altium's Comment is the package when the file has no Footprint column.
        if (columns.index[PackageField] == kAbsent && columns.index[ValueField] != kAbsent &&
            Folded(names[columns.index[ValueField]].first) == "comment")
            columns.index[PackageField] = columns.index[ValueField];
    }
    if (columns.index[RefField] == kAbsent || columns.index[XField] == kAbsent ||
        columns.index[YField] == kAbsent)
        return std::nullopt;
    return columns;
}

bool HasColumn(const std::vector<std::string>& header, std::string_view folded) {
    return std::any_of(header.begin(), header.end(),
                       [&](const std::string& cell) { return Folded(HeaderName(cell).first) == folded; });
}

// Which known format a header row is, from the names of its columns.
std::string FormatOf(const std::vector<std::string>& header, bool csv) {
    if (HasColumn(header, "ref") && HasColumn(header, "posx"))
        return "KiCad CSV";
    if (HasColumn(header, "designator") &&
        (!csv || HasColumn(header, "footprint") || HasColumn(header, "centerx") || HasColumn(header, "tb") ||
         HasColumn(header, "refx") || HasColumn(header, "padx")))
        return "Altium";
    if (HasColumn(header, "designator") && HasColumn(header, "midx"))
        return "JLCPCB CPL";
    return "columns";
}

// The length unit a word names: mm, in ("inch", "inches" too), mil; null when none.
const Unit* UnitNamed(std::string_view name) {
    name = Trim(name);
    if (EqualsIgnoringCase(name, "inch") || EqualsIgnoringCase(name, "inches"))
        return &kInch;
    if (EqualsIgnoringCase(name, "mils"))
        return FindUnit(kLengthUnits, "mil");
    return FindUnit(kLengthUnits, name);
}

// The text after "<key>" and '=' or ':' in a line, up to a comma: "## Unit = mm, Angle = deg." gives "mm".
std::optional<std::string_view> Setting(std::string_view line, std::string_view key) {
    line = Trim(line);
    while (!line.empty() && line.front() == '#')
        line.remove_prefix(1);
    line = Trim(line);
    if (line.size() < key.size() || !EqualsIgnoringCase(line.substr(0, key.size()), key))
        return std::nullopt;
    line = Trim(line.substr(key.size()));
    if (line.empty() || (line.front() != '=' && line.front() != ':'))
        return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(',')));
}

std::string_view Cell(const std::vector<std::string>& cells, std::size_t index) {
    return index < cells.size() ? Trim(cells[index]) : std::string_view();
}

std::optional<bool> Bottom(std::string_view side) {
    const std::string folded = Folded(side);
    for (std::string_view top : {"top", "t", "toplayer", "front", "f", "f.cu"})
        if (folded == top)
            return false;
    for (std::string_view bottom : {"bottom", "b", "bot", "bottomlayer", "back", "b.cu"})
        if (folded == bottom)
            return true;
    return std::nullopt;
}

// An angle in degrees, with or without "deg" or "°", in [0, 360).
std::optional<double> Angle(std::string_view text) {
    const NumberAndUnit split = SplitUnit(text);
    if (!split.unit.empty() && !EqualsIgnoringCase(split.unit, "deg") && split.unit != "\xC2\xB0")
        return std::nullopt;
    const std::optional<double> value = ParseNumber(split.number);
    if (!value)
        return std::nullopt;
    double angle = std::fmod(*value, 360.0);
    if (angle < 0.0)
        angle += 360.0;
    if (!(angle < 360.0)) // a tiny negative angle rounds up to 360
        angle = 0.0;
    return angle + 0.0; // no -0
}

class RowReader {
public:
    RowReader(const Columns& columns, const PlacementOptions& options, const Unit* bare)
        : columns_(columns), options_(options), bare_(bare) {}

    // The row as a footprint, or false and what is wrong with it. `x` is the file's own, before the origin.
    bool Read(const std::vector<std::string>& cells, std::size_t line, Footprint& fp, double& fileX,
              std::string& error) const {
        fp = Footprint{};
        fp.line = line;
        if (cells.size() > columns_.count) {
            bool surplus = false;
            for (std::size_t i = columns_.count; i < cells.size(); ++i)
                surplus = surplus || !Trim(cells[i]).empty();
            if (surplus) {
                error = "the row has " + std::to_string(cells.size()) + " cells, the header " +
                        std::to_string(columns_.count);
                return false;
            }
        }
        fp.ref = std::string(Cell(cells, columns_.index[RefField]));
        if (fp.ref.empty()) {
            error = "no ref";
            return false;
        }
        double y = 0.0;
        if (!Length(cells, XField, "x", fileX, error) || !Length(cells, YField, "y", y, error))
            return false;
        fp.x = fileX - options_.originX;
        fp.y = y - options_.originY;
        if (!std::isfinite(fp.x) || !std::isfinite(fp.y)) {
            error = "the position less the origin is out of range";
            return false;
        }
        if (columns_.index[RotField] != kAbsent) {
            const std::string_view text = Cell(cells, columns_.index[RotField]);
            const std::optional<double> angle = text.empty() ? std::nullopt : Angle(text);
            if (!angle) {
                error =
                    text.empty() ? "no rotation" : "rotation " + Quote(text) + " is not an angle in degrees";
                return false;
            }
            fp.rotation = *angle;
        }
        if (columns_.index[SideField] != kAbsent) {
            const std::string_view text = Cell(cells, columns_.index[SideField]);
            const std::optional<bool> bottom = Bottom(text);
            if (!bottom) {
                error = "side " + Quote(text) + " is not top or bottom";
                return false;
            }
            fp.bottom = *bottom;
        }
        fp.libId = std::string(Cell(cells, columns_.index[PackageField]));
        fp.value = std::string(Cell(cells, columns_.index[ValueField]));
        return true;
    }

private:
    bool Length(const std::vector<std::string>& cells, Field field, const char* name, double& out,
                std::string& error) const {
        const std::string_view text = Cell(cells, columns_.index[field]);
        if (text.empty()) {
            error = std::string("no ") + name;
            return false;
        }
        const Unit* bare = columns_.unit[field] != nullptr ? columns_.unit[field] : bare_;
        const std::optional<double> value = ParseQuantity(text, kLengthUnits, bare);
        if (!value) {
            error = std::string(name) + " " + Quote(text) + " is not a length (a number, mm, in or mil)";
            return false;
        }
        out = *value;
        return true;
    }

    Columns columns_;
    const PlacementOptions& options_;
    const Unit* bare_;
};

struct Row {
    std::size_t line;
    std::vector<std::string> cells;
};

// KiCad's option "negative X for the bottom side": every bottom footprint left of the origin while the
// top's are right of it (or there is no top footprint). Read as it stands, the bottom would be mirrored.
bool BottomMirrored(const std::vector<Footprint>& footprints, const std::vector<double>& fileX) {
    bool anyBottom = false, bottomNegative = true, topPositive = true;
    for (std::size_t i = 0; i < footprints.size(); ++i) {
        if (footprints[i].bottom) {
            anyBottom = true;
            bottomNegative = bottomNegative && fileX[i] < 0.0;
        } else {
            topPositive = topPositive && fileX[i] > 0.0;
        }
    }
    return anyBottom && bottomNegative && topPositive;
}

} // namespace

std::optional<ColumnMap> ParseColumnMap(std::string_view text, std::string& error) {
    ColumnMap map;
    for (std::string_view entry : Split(text, ',')) {
        if (Trim(entry).empty())
            continue;
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            error = "column map entry " + Quote(Trim(entry)) + " is not key=column";
            return std::nullopt;
        }
        const std::string_view key = Trim(entry.substr(0, equals));
        const std::string name(Trim(entry.substr(equals + 1)));
        std::string* target = nullptr;
        if (EqualsIgnoringCase(key, "ref"))
            target = &map.ref;
        else if (EqualsIgnoringCase(key, "x"))
            target = &map.x;
        else if (EqualsIgnoringCase(key, "y"))
            target = &map.y;
        else if (EqualsIgnoringCase(key, "rot") || EqualsIgnoringCase(key, "rotation"))
            target = &map.rotation;
        else if (EqualsIgnoringCase(key, "side") || EqualsIgnoringCase(key, "layer"))
            target = &map.side;
        else if (EqualsIgnoringCase(key, "package") || EqualsIgnoringCase(key, "footprint"))
            target = &map.package;
        else if (EqualsIgnoringCase(key, "value"))
            target = &map.value;
        if (target == nullptr) {
            error = "column map key " + Quote(key) + " is not ref, x, y, rot, side, package or value";
            return std::nullopt;
        }
        if (name.empty()) {
            error = "column map key " + Quote(key) + " names no column";
            return std::nullopt;
        }
        *target = name;
    }
    if (map.ref.empty() || map.x.empty() || map.y.empty()) {
        error = "the column map must name ref, x and y";
        return std::nullopt;
    }
    return map;
}

PlacementReading ReadPlacement(std::string_view text, const PlacementOptions& options) {
    PlacementReading reading;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::vector<Line> lines = Lines(text);
    const ColumnMap* map = options.columns ? &*options.columns : nullptr;

    // The header row, and how the rows after it split into cells.
    std::optional<Columns> columns;
    std::size_t headerAt = lines.size();
    bool csv = false, kicadPos = false;
    const Unit* bare = options.bareLength;
    for (std::size_t i = 0; i < lines.size() && !columns; ++i) {
        const std::string_view line = Trim(lines[i].text);
        if (line.empty())
            continue;
        if (line.front() == '#') {
            // KiCad's .pos: "## Unit = mm, Angle = deg." and the header as a comment.
            if (const auto unit = Setting(line, "Unit")) {
                bare = UnitNamed(*unit);
                if (bare == nullptr) {
                    reading.error = "line " + std::to_string(lines[i].number) + ": the file's unit " +
                                    Quote(*unit) + " is not mm, in or mil";
                    return reading;
                }
                kicadPos = true;
                continue;
            }
            std::string_view rest = line;
            while (!rest.empty() && rest.front() == '#')
                rest.remove_prefix(1);
            if ((columns = FindColumns(Words(rest), map))) {
                kicadPos = true;
                headerAt = i;
            }
            continue;
        }
        if (kicadPos)
            continue; // a .pos file's rows before its header are not rows
        // Altium's text files say their unit before the header: "Units used: mm".
        if (const auto unit = Setting(line, "Units used")) {
            if (const Unit* named = UnitNamed(*unit))
                bare = named;
            continue;
        }
        csv = HasSeparator(line);
        const std::vector<std::string> header = csv ? CsvCells(lines[i].text) : HeaderWords(line);
        if ((columns = FindColumns(header, map))) {
            headerAt = i;
            reading.format = map ? "columns" : FormatOf(header, csv);
        }
    }
    if (!columns) {
        reading.error =
            map ? "no header row names the columns " + Quote(map->ref) + ", " + Quote(map->x) + " and " +
                      Quote(map->y)
                : "no header row: the file names no ref, x and y columns (Ref or Designator; PosX, "
                  "Mid X or Center-X; PosY, Mid Y or Center-Y)";
        reading.format.clear();
        return reading;
    }
    if (kicadPos)
        reading.format = map ? "columns" : "KiCad .pos";

    // The rows after the header, as cells.
    std::vector<Row> rows;
    if (csv) {
        const std::size_t headerLine = lines[headerAt].number;
        CsvReader reader(text.substr(lines[headerAt].offset));
        Record record;
        reader.Next(record); // the header
        while (reader.Next(record))
            rows.push_back({record.line + headerLine - 1, {record.cells.begin(), record.cells.end()}});
    } else {
        for (std::size_t i = headerAt + 1; i < lines.size(); ++i) {
            const std::string_view line = Trim(lines[i].text);
            if (line.empty() || (kicadPos && line.front() == '#'))
                continue;
            rows.push_back({lines[i].number, Words(line)});
        }
    }

    const RowReader reader(*columns, options, bare);
    std::vector<double> fileX;
    std::unordered_set<std::string> refs;
    for (const Row& row : rows) {
        if (std::all_of(row.cells.begin(), row.cells.end(), [](const std::string& c) { return Blank(c); }))
            continue;
        Footprint fp;
        double x = 0.0;
        std::string error;
        if (!reader.Read(row.cells, row.line, fp, x, error)) {
            reading.errors.push_back({row.line, std::move(error)});
            continue;
        }
        if (!refs.insert(fp.ref).second) {
            reading.errors.push_back({row.line, "ref " + Quote(fp.ref) + " is on an earlier row"});
            continue;
        }
        fileX.push_back(x);
        reading.footprints.push_back(std::move(fp));
    }

    if (reading.format.starts_with("KiCad") && BottomMirrored(reading.footprints, fileX)) {
        reading = PlacementReading{};
        reading.error = "the bottom side's X is negated (KiCad's \"use negative X coordinates for footprints "
                        "on bottom layer\"): write the file again without that option";
    }
    return reading;
}

} // namespace board
