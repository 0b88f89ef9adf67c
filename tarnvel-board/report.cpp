// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/report.h"

#include "board/response.h"
#include "board/text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace board_cli {

using board::FormatSignificant;
using board::PartResult;
using board::Report;

namespace {

constexpr std::size_t kChunk = 1 << 16;

std::string Sig(double v, int digits = 4) {
    return FormatSignificant(v, digits);
}

void AppendCount(std::string& out, std::uint64_t n) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, n).ptr);
}

// Left-aligned columns two blanks apart; the last column is not padded.
std::string Columns(const std::vector<std::vector<std::string>>& rows, const std::string& indent) {
    std::vector<std::size_t> width;
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (width.size() <= i)
                width.push_back(0);
            width[i] = std::max(width[i], row[i].size());
        }
    std::string out;
    for (const auto& row : rows) {
        std::string line = indent;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line.append(width[i] - row[i].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + "\n";
    }
    return out;
}

const char* QName(board::Transmissibility::Rule rule) {
    switch (rule) {
    case board::Transmissibility::Rule::Sqrt:
        return "sqrt(fn)";
    case board::Transmissibility::Rule::TwoSqrt:
        return "2 sqrt(fn)";
    case board::Transmissibility::Rule::Fixed:
        return "fixed (--q)";
    }
    return "fixed (--q)";
}

std::string VersionOf(const Provenance& from) {
    return from.version.empty() ? VersionText() : from.version;
}

// A string as JSON writes it; invalid UTF-8 is replaced rather than ending the run.
void AppendJsonString(std::string& out, std::string_view text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
    if (plain) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The shortest text that reads back as the same double, as a JSON number (null when not finite).
void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    const std::size_t at = out.size();
    board::AppendNumber(out, value);
    if (out.find_first_of(".e", at) == std::string::npos)
        out += ".0";
}

} // namespace

std::optional<double> RequiredFn(double worstZ, const board::BoardInput& input) {
    return board::RequiredFrequency(worstZ, input.q, input.psd, input.requiredHours);
}

void Tally::Add(const PartResult& part) {
    if (!ending_.worst || part.zAllow < ending_.worst->zAllow)
        ending_.worst = WorstPart{part.line, part.ref, part.zAllow};
}

void Tally::Add(board::RowError error) {
    ending_.errors.push_back(std::move(error));
}

Ending Tally::Finish(const board::BoardInput& input) {
    std::stable_sort(ending_.errors.begin(), ending_.errors.end(),
                     [](const board::RowError& x, const board::RowError& y) { return x.line < y.line; });
    ending_.requiredFn.reset();
    if (ending_.worst)
        ending_.requiredFn = RequiredFn(ending_.worst->zAllow, input);
    return std::move(ending_);
}

Ending EndingOf(const Report& report) {
    Ending ending;
    ending.errors = report.errors;
    ending.requiredFn = report.board.requiredFn;
    for (const PartResult& p : report.parts)
        if (!ending.worst || p.zAllow < ending.worst->zAllow)
            ending.worst = WorstPart{p.line, p.ref, p.zAllow};
    return ending;
}

// ---- CSV

CsvWriter::CsvWriter(const board::Dialect& dialect, std::optional<double> requiredHours, LengthUnit units,
                     Sink sink)
    : separator_(dialect.separator), point_(dialect.decimalComma ? ',' : '.'),
      eol_(dialect.crlf ? "\r\n" : "\n"), requiredHours_(requiredHours), units_(units),
      sink_(std::move(sink)) {
    out_.reserve(kChunk + 4096);
    // A spreadsheet that wrote a byte-order mark reads UTF-8 by it.
    if (dialect.bom)
        out_ += "\xEF\xBB\xBF";
    for (const Column& column : kPartColumns) {
        if (&column != kPartColumns)
            out_.push_back(separator_);
        out_ += ColumnKey(column, units_);
    }
    out_ += eol_;
}

void CsvWriter::AppendRepeated(double value) {
    // B is one of the board's two edges and C mostly one of the kinds' few constants: their texts are kept.
    const auto bits = std::bit_cast<std::uint64_t>(value);
    Cached& slot = cache_[(bits ^ (bits >> 29) ^ (bits >> 47)) % cache_.size()];
    if (!slot.valid || slot.bits != bits) {
        slot.text.clear();
        board::AppendNumber(slot.text, value, point_);
        slot.bits = bits;
        slot.valid = true;
    }
    out_ += slot.text;
}

bool CsvWriter::Row(const PartResult& p) {
    for (const Column& column : kPartColumns) {
        if (&column != kPartColumns)
            out_.push_back(separator_);
        switch (column.id) {
        case ColumnId::B:
            AppendRepeated(InUnit(p.B, units_));
            continue;
        case ColumnId::C:
            AppendRepeated(p.C);
            continue;
        case ColumnId::Notes:
            if (p.notes != 0) {
                notes_.clear();
                board::AppendNoteTexts(notes_, p, requiredHours_, "; ");
                board::AppendCell(out_, notes_, separator_);
            }
            continue;
        default:
            break;
        }
        const Cell cell = CellOf(p, column.id);
        switch (cell.type) {
        case Cell::Type::Empty:
        case Cell::Type::Notes:
            break;
        case Cell::Type::Count:
            AppendCount(out_, cell.count);
            break;
        case Cell::Type::Number:
            board::AppendNumber(
                out_, column.unit == ColumnUnit::Length ? InUnit(cell.number, units_) : cell.number, point_);
            break;
        case Cell::Type::Text:
            board::AppendCell(out_, cell.text, separator_);
            break;
        case Cell::Type::Flag:
            out_ += cell.flag ? "pass" : "fail";
            break;
        }
    }
    out_ += eol_;
    if (out_.size() < kChunk)
        return true;
    const bool ok = sink_(out_);
    out_.clear();
    return ok;
}

bool CsvWriter::Finish() {
    const bool ok = sink_(out_);
    out_.clear();
    return ok;
}

CsvPipeline::CsvPipeline(const board::Dialect& dialect, std::optional<double> requiredHours, LengthUnit units,
                         Sink sink)
    : writer_(dialect, requiredHours, units, std::move(sink)) {
    batch_.reserve(kBatch);
}

bool CsvPipeline::Add(PartResult&& part) {
    batch_.push_back(std::move(part));
    return batch_.size() < kBatch ? ok_ : Hand();
}

bool CsvPipeline::Wait() {
    if (pending_.valid())
        ok_ = pending_.get() && ok_;
    return ok_;
}

// One batch at a time is with the writer: the next is handed over once it is done.
bool CsvPipeline::Hand() {
    if (!Wait())
        return false;
    pending_ = std::async(std::launch::async, [this, rows = std::move(batch_)] {
        for (const PartResult& row : rows)
            if (!writer_.Row(row))
                return false;
        return true;
    });
    batch_ = {};
    batch_.reserve(kBatch);
    return true;
}

bool CsvPipeline::Finish() {
    return Hand() && Wait() && writer_.Finish();
}

namespace {

class CsvReportWriter final : public ReportWriter {
public:
    CsvReportWriter(const Provenance& from, const board::Dialect& dialect, Sink sink)
        : units_(from.units), dialect_(dialect), sink_(std::move(sink)) {}

    bool Start(const Report& head) override {
        pipeline_.emplace(dialect_, head.requiredHours, units_, std::move(sink_));
        return true;
    }
    bool Row(PartResult&& part) override { return pipeline_->Add(std::move(part)); }
    bool Finish(const Ending&) override { return pipeline_->Finish(); }

private:
    LengthUnit units_;
    board::Dialect dialect_;
    Sink sink_;
    std::optional<CsvPipeline> pipeline_;
};

// ---- JSON

using nlohmann::ordered_json;

ordered_json Number(double v) {
    return std::isfinite(v) ? ordered_json(v) : ordered_json(nullptr);
}

ordered_json NumberOrNull(const std::optional<double>& v) {
    return v ? Number(*v) : ordered_json(nullptr);
}

ordered_json TextOrNull(const std::string& text) {
    return text.empty() ? ordered_json(nullptr) : ordered_json(text);
}

// The plate model as the JSON carries it: how fn was found, its mesh, and the mode on a coarse grid.
ordered_json ModelJson(const board::BoardFigures& b) {
    if (!b.plate)
        return {{"method", b.fnFrom == board::FnSource::Given ? "given" : "exact, edges simply supported"}};
    const board::PlateFigures& p = *b.plate;
    const int columns = 13, rows = 9;
    return {{"method", p.exact ? "exact, edges simply supported" : "finite elements"},
            {"mesh", p.exact ? ordered_json(nullptr) : ordered_json({p.nx, p.ny})},
            {"converged", p.converged},
            {"fn_hz", p.fn},
            {"weight_assumed", p.weightAssumed},
            {"peak_in", {p.mode.peakX(), p.mode.peakY()}},
            {"mode_grid",
             {{"columns", columns},
              {"rows", rows},
              {"x0_in", p.mode.xMin()},
              {"y0_in", p.mode.yMin()},
              {"width_in", p.mode.width()},
              {"height_in", p.mode.height()},
              {"w", p.mode.Grid(columns, rows)}}}};
}

ordered_json InputsJson(const board::BoardInput& in, const Provenance& from) {
    const double mm = board::kMillimetresPerInch;
    ordered_json breakpoints = ordered_json::array();
    for (const board::Breakpoint& point : in.psd.Points())
        breakpoints.push_back({point.hz, point.level});
    // Each segment's slope and share of the mean square, so that a mistyped level shows.
    ordered_json segments = ordered_json::array();
    for (const board::PsdSegment& segment : board::Segments(in.psd))
        segments.push_back({{"from_hz", segment.f1},
                            {"to_hz", segment.f2},
                            {"db_per_octave", segment.dbPerOctave},
                            {"share", segment.share}});
    ordered_json points = ordered_json::array();
    for (const board::PlatePoint& point : in.points)
        points.push_back({point.x, point.y});
    ordered_json q = in.q.rule == board::Transmissibility::Rule::Sqrt      ? ordered_json("sqrt")
                     : in.q.rule == board::Transmissibility::Rule::TwoSqrt ? ordered_json("2sqrt")
                                                                           : Number(in.q.fixed);
    return {
        {"board", TextOrNull(from.board)},
        {"a_in", in.a},
        {"b_in", in.b},
        {"h_in", in.h},
        {"a_mm", in.a * mm},
        {"b_mm", in.b * mm},
        {"h_mm", in.h * mm},
        {"mass", TextOrNull(from.mass)},
        {"weight_lb", NumberOrNull(in.weight)},
        {"density_lb_in3", in.density},
        {"modulus_psi", in.modulus},
        {"poisson", in.poisson},
        {"supports", board::EdgeLetters(in.edges)},
        {"points", points},
        {"part_masses", in.masses.size()},
        {"fn", TextOrNull(from.fn)},
        {"fn_hz", NumberOrNull(in.fn)},
        {"profile",
         {{"name", TextOrNull(from.profileName)},
          {"source", TextOrNull(from.profileSource)},
          {"as_given", TextOrNull(from.psd)},
          {"breakpoints", breakpoints},
          {"segments", segments},
          {"grms", in.psd.Grms()}}},
        {"q_rule", q},
        {"required_hours", NumberOrNull(in.requiredHours)},
        {"r_min", in.rMin},
        {"units", UnitName(from.units)},
    };
}

ordered_json BoardJson(const board::BoardFigures& b, const std::optional<double>& requiredFn) {
    const board::Response& r = b.response;
    const double mm = board::kMillimetresPerInch;
    return {
        {"a_in", b.a},
        {"b_in", b.b},
        {"h_in", b.h},
        {"fn_hz", r.fn},
        {"fn_from", board::FnSourceName(b.fnFrom)},
        {"q", r.q},
        {"psd_at_fn", r.psd},
        {"input_grms", b.inputGrms},
        {"response_grms", r.grms},
        {"z1sigma_in", r.z1sigma},
        {"z3sigma_in", r.z3sigma},
        {"required_fn_hz", NumberOrNull(requiredFn)},
        {"notes", b.notes},
        {"a_mm", b.a * mm},
        {"b_mm", b.b * mm},
        {"h_mm", b.h * mm},
        {"z1sigma_mm", r.z1sigma * mm},
        {"z3sigma_mm", r.z3sigma * mm},
        {"plate_fn_hz", NumberOrNull(b.plateFn)},
        {"laminate_weight_lb", NumberOrNull(b.laminateWeight)},
        {"rigid_body", b.rigidBody},
        {"required_fn_with_life", b.requiredFnWithLife},
        {"model", ModelJson(b)},
    };
}

// The JSON report: one object, its parts one a line, written as they come. What is known only at the end
// (the board with its required fn, the errors) follows the parts.
class JsonWriter final : public ReportWriter {
public:
    JsonWriter(const Provenance& from, Sink sink) : from_(from), sink_(std::move(sink)) {
        out_.reserve(kChunk + 4096);
    }

    bool Start(const Report& head) override {
        board_ = head.board;
        assumptions_ = head.assumptions;
        requiredHours_ = head.requiredHours;
        const std::string version = VersionOf(from_);
        const std::size_t blank = version.find(' ');
        out_ += "{";
        Member("schema", 2);
        Member("program", {{"name", blank == std::string::npos ? std::string("tarnvel-board")
                                                               : version.substr(0, blank)},
                           {"version", blank == std::string::npos ? version : version.substr(blank + 1)}});
        Member("time", TextOrNull(from_.time));
        Member("inputs", InputsJson(head.input, from_));
        ordered_json files = ordered_json::array();
        for (const FileRead& f : from_.files)
            files.push_back({{"role", f.role}, {"name", f.name}, {"size", f.size}, {"sha256", f.sha256}});
        Member("files", files);
        ordered_json skipped = ordered_json::array();
        for (const board::SkippedFootprint& f : from_.skipped)
            skipped.push_back({{"ref", f.ref},
                               {"footprint", f.libId},
                               {"line", f.line},
                               {"reason", f.reason},
                               {"support", f.support}});
        Member("skipped", skipped);
        out_ += ",\n  \"parts\": [";
        return Flush(false);
    }

    bool Row(PartResult&& p) override {
        out_ += parts_++ == 0 ? "\n    {" : ",\n    {";
        for (const Column& column : kPartColumns) {
            if (&column != kPartColumns)
                out_ += ", ";
            Key(ColumnKey(column, LengthUnit::Inch));
            Value(p, column, LengthUnit::Inch);
        }
        for (const Column& column : kPartColumns)
            if (column.unit == ColumnUnit::Length) {
                out_ += ", ";
                Key(ColumnKey(column, LengthUnit::Millimetre));
                Value(p, column, LengthUnit::Millimetre);
            }
        out_ += '}';
        return Flush(false);
    }

    bool Finish(const Ending& ending) override {
        out_ += parts_ == 0 ? "]" : "\n  ]";
        Member("board", BoardJson(board_, ending.requiredFn));
        Member("worst_part", ending.worst ? ordered_json{{"line", ending.worst->line},
                                                         {"ref", ending.worst->ref},
                                                         {"z_allow_in", Number(ending.worst->zAllow)}}
                                          : ordered_json(nullptr));
        ordered_json errors = ordered_json::array();
        for (const board::RowError& e : ending.errors)
            errors.push_back({{"line", e.line}, {"message", e.message}});
        Member("errors", errors);
        Member("assumptions", assumptions_);
        if (requiredHours_)
            Member("required_life_hours", *requiredHours_);
        out_ += "\n}\n";
        return Flush(true);
    }

private:
    void Key(std::string_view key) {
        out_ += '"';
        out_ += key;
        out_ += "\": ";
    }

    void Value(const PartResult& p, const Column& column, LengthUnit units) {
        const Cell cell = CellOf(p, column.id);
        switch (cell.type) {
        case Cell::Type::Empty:
            out_ += "null";
            return;
        case Cell::Type::Count:
            AppendCount(out_, cell.count);
            return;
        case Cell::Type::Number:
            AppendJsonNumber(out_,
                             column.unit == ColumnUnit::Length ? InUnit(cell.number, units) : cell.number);
            return;
        case Cell::Type::Text:
            AppendJsonString(out_, cell.text);
            return;
        case Cell::Type::Flag:
            out_ += cell.flag ? "true" : "false";
            return;
        case Cell::Type::Notes:
            out_ += '[';
            if (p.notes != 0) {
                bool first = true;
                for (const std::string& note : board::NoteTexts(p, requiredHours_)) {
                    if (!std::exchange(first, false))
                        out_ += ", ";
                    AppendJsonString(out_, note);
                }
            }
            out_ += ']';
            return;
        }
    }

    // A member of the top-level object, its value laid out as nlohmann does and indented one level.
    void Member(std::string_view key, const ordered_json& value) {
        out_ += members_++ == 0 ? "\n  " : ",\n  ";
        AppendJsonString(out_, key);
        out_ += ": ";
        for (const char c : value.dump(2, ' ', false, ordered_json::error_handler_t::replace)) {
            out_ += c;
            if (c == '\n')
                out_ += "  ";
        }
    }

    bool Flush(bool always) {
        if (!always && out_.size() < kChunk)
            return ok_;
        ok_ = sink_(out_) && ok_;
        out_.clear();
        return ok_;
    }

    Provenance from_;
    Sink sink_;
    board::BoardFigures board_;
    std::vector<std::string> assumptions_;
    std::optional<double> requiredHours_;
    std::string out_;
    std::size_t members_ = 0;
    std::size_t parts_ = 0;
    bool ok_ = true;
};

// ---- Table

// A temporary file, gone when closed.
std::FILE* TemporaryFile() {
#ifdef _WIN32
    // The C runtime's tmpfile() makes its file in the drive's root, where a user may not write: the user's
    // temporary folder instead, the file deleted on closing ('D') and kept in memory where it can ('T').
    const char* dir = std::getenv("TEMP");
    if (dir == nullptr || *dir == '\0')
        dir = std::getenv("TMP");
    if (dir != nullptr && *dir != '\0') {
        std::random_device random;
        const std::string path = std::string(dir) + "\\tarnvel-board-" + std::to_string(random()) + ".tmp";
        if (std::FILE* file = std::fopen(path.c_str(), "w+bTD"))
            return file;
    }
#endif
    return std::tmpfile();
}

// Text put aside and read back by offset: in a temporary file, or in memory when none can be made.
class Spool {
public:
    Spool() : file_(TemporaryFile()) {}
    ~Spool() {
        if (file_ != nullptr)
            std::fclose(file_);
    }
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    std::uint64_t size() const { return size_; }

    bool Append(std::string_view text) {
        size_ += text.size();
        if (file_ == nullptr) {
            memory_ += text;
            return true;
        }
        ok_ = std::fwrite(text.data(), 1, text.size(), file_) == text.size() && ok_;
        return ok_;
    }

    // The record put aside at `offset` (its length before it) into `into`.
    bool ReadRecord(std::uint64_t offset, std::string& into) {
        if (file_ == nullptr) {
            std::uint32_t length = 0;
            std::memcpy(&length, memory_.data() + offset, sizeof length);
            into.assign(memory_, offset + sizeof length, length);
            return true;
        }
        if (!reading_) {
            ok_ = std::fflush(file_) == 0 && ok_;
            reading_ = true;
        }
        // Most records are short: one read of a few hundred bytes takes the length and the record.
        into.resize(kGuess);
        std::size_t got = 0;
        ok_ = ok_ && ReadAt(offset, into.data(), kGuess, got) && got >= sizeof(std::uint32_t);
        if (!ok_)
            return false;
        std::uint32_t length = 0;
        std::memcpy(&length, into.data(), sizeof length);
        const std::size_t whole = sizeof length + length;
        if (whole > got) {
            into.resize(whole);
            std::size_t more = 0;
            ok_ = ReadAt(offset + got, into.data() + got, whole - got, more) && more == whole - got;
        }
        into.erase(0, sizeof length);
        into.resize(length);
        return ok_;
    }

private:
    static constexpr std::size_t kGuess = 512;

    // Up to `length` bytes at `offset`; `got` says how many there were.
    bool ReadAt(std::uint64_t offset, char* into, std::size_t length, std::size_t& got) {
#ifdef _WIN32
        if (_fseeki64(file_, static_cast<long long>(offset), SEEK_SET) != 0)
            return false;
        got = std::fread(into, 1, length, file_);
        return got == length || !std::ferror(file_);
#else
        const ssize_t n = pread(fileno(file_), into, length, static_cast<off_t>(offset));
        got = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n >= 0;
#endif
    }

    std::FILE* file_;
    std::string memory_;
    std::uint64_t size_ = 0;
    bool reading_ = false;
    bool ok_ = true;
};

} // namespace

std::string SizeText(const board::BoardFigures& b, LengthUnit units) {
    return Sig(InUnit(b.a, units)) + " x " + Sig(InUnit(b.b, units)) + " x " + Sig(InUnit(b.h, units)) + " " +
           UnitName(units);
}

namespace {

std::string LengthText(LengthUnit units, double inches, int digits) {
    return Sig(InUnit(inches, units), digits) + " " + UnitName(units);
}

} // namespace

Rows InputRows(const Report& head, const Provenance& from) {
    const board::BoardFigures& b = head.board;
    const board::BoardInput& in = head.input;
    // The inputs, as given and as used, and where they came from.
    std::vector<std::vector<std::string>> inputs;
    if (from.board.empty() && !from.source.empty())
        inputs.push_back(
            {"board", "the " + from.source + "'s outline and thickness", SizeText(b, from.units)});
    else if (from.board.empty())
        inputs.push_back({"board", SizeText(b, from.units)});
    else
        inputs.push_back({"board", from.board, SizeText(b, from.units)});
    if (in.fn)
        inputs.push_back({"fn", from.fn.empty() ? Sig(*in.fn) : from.fn, Sig(*in.fn) + " Hz"});
    if (in.weight) {
        std::string used = Sig(*in.weight) + " lb";
        if (b.laminateWeight)
            used += ", bare laminate " + Sig(*b.laminateWeight, 3) + " lb";
        inputs.push_back({"mass", from.mass.empty() ? Sig(*in.weight) + " lb" : from.mass, used});
    }
    if (b.fnFrom != board::FnSource::Given || b.plateFn || b.plate) {
        std::string held = "edges " + board::EdgeLetters(in.edges);
        if (!in.points.empty())
            held += ", " + std::to_string(in.points.size()) + " point" + (in.points.size() == 1 ? "" : "s");
        if (!in.masses.empty())
            held +=
                ", " + std::to_string(in.masses.size()) + " part mass" + (in.masses.size() == 1 ? "" : "es");
        inputs.push_back({"plate", "E " + Sig(in.modulus) + " lb/in^2, nu " + Sig(in.poisson), held});
    }
    std::string profile = from.psd;
    if (!from.profileName.empty())
        profile = from.profileName;
    if (profile.empty())
        profile = std::to_string(in.psd.Points().size()) + " breakpoints";
    inputs.push_back({"profile", profile, Sig(in.psd.Grms(), 3) + " G rms"});
    if (!from.profileSource.empty())
        inputs.push_back({"", "", from.profileSource});
    inputs.push_back({"Q rule", in.q.rule == board::Transmissibility::Rule::Fixed
                                    ? "fixed, " + Sig(in.q.fixed)
                                    : QName(in.q.rule)});
    inputs.push_back(
        {"life", in.requiredHours ? Sig(*in.requiredHours, 6) + " hours required" : "none required"});
    inputs.push_back({"r min", Sig(in.rMin, 3), "floor of r from a position"});
    inputs.push_back({"units", UnitName(from.units)});
    for (std::size_t i = 0; i < from.files.size(); ++i) {
        const FileRead& f = from.files[i];
        inputs.push_back({i == 0 ? "files" : "", f.role + " " + board::OneLine(f.name),
                          std::to_string(f.size) + " bytes, sha256 " + f.sha256.substr(0, 12)});
    }
    if (!from.source.empty())
        inputs.push_back({"source", from.source});
    if (!from.skipped.empty()) {
        std::string refs;
        for (const board::SkippedFootprint& f : from.skipped)
            refs += (refs.empty() ? "" : ", ") + f.ref + (f.support ? " (support)" : "");
        inputs.push_back(
            {"skipped",
             std::to_string(from.skipped.size()) + " footprint" + (from.skipped.size() == 1 ? "" : "s"),
             refs});
    }
    inputs.push_back({"program", VersionOf(from), from.time});
    return inputs;
}

Rows ProfileRows(const board::Psd& psd) {
    // The profile as used: a level mistyped by a factor of ten stands out in its slopes and shares.
    std::vector<std::vector<std::string>> segments{{"Hz", "g^2/Hz", "dB/oct", "share of G^2"}};
    for (const board::PsdSegment& segment : board::Segments(psd)) {
        const double slope = std::abs(segment.dbPerOctave) < 0.005 ? 0.0 : segment.dbPerOctave;
        char db[32] = {slope < 0.0 ? '-' : '+'};
        const auto written =
            std::to_chars(db + 1, db + sizeof db, std::abs(slope), std::chars_format::fixed, 2);
        segments.push_back({Sig(segment.f1) + " to " + Sig(segment.f2),
                            Sig(segment.p1) + " to " + Sig(segment.p2), std::string(db, written.ptr),
                            Sig(100.0 * segment.share, 3) + " %"});
    }
    return segments;
}

Rows BoardRows(const Report& head, const Ending& ending, const Provenance& from, std::size_t count) {
    const board::BoardFigures& b = head.board;
    const board::BoardInput& in = head.input;
    const board::Response& r = b.response;
    std::string fnFrom = "given";
    if (b.fnFrom != board::FnSource::Given)
        fnFrom = b.fnFrom == board::FnSource::Simple ? "estimated: edges simply supported, " + from.mass
                                                     : "finite elements, " + std::to_string(b.plate->nx) +
                                                           " x " + std::to_string(b.plate->ny) + ", edges " +
                                                           board::EdgeLetters(in.edges) + ", " + from.mass;
    std::string required = "none in the band: the top of the band fails";
    std::string requiredNote;
    if (ending.requiredFn) {
        required = Sig(*ending.requiredFn) + " Hz";
        requiredNote = b.requiredFnWithLife && head.requiredHours
                           ? "margin >= 1 and life >= " + Sig(*head.requiredHours, 6) + " h for every part"
                           : "for the worst part";
    } else if (count == 0) {
        required = "-";
    }
    std::vector<std::vector<std::string>> figures{
        {"fn", Sig(r.fn) + " Hz", fnFrom},
        {"Q", Sig(r.q), b.rigidBody ? "rigid body, above the band" : QName(b.qRule)},
        {"P(fn)", b.rigidBody ? "-" : Sig(r.psd) + " g^2/Hz",
         (b.rigidBody ? "above the band of PSD " : "PSD ") + from.psd},
        {"input", Sig(b.inputGrms, 3) + " G rms"},
        {"response", Sig(r.grms, 3) + " G rms", b.rigidBody ? "the input's, as a rigid body" : "Miles"},
        {"Z 1-sigma", LengthText(from.units, r.z1sigma, 3)},
        {"Z 3-sigma", LengthText(from.units, r.z3sigma, 3)},
        {"required fn", required, requiredNote}};
    if (b.plateFn)
        figures.push_back({"plate fn", Sig(*b.plateFn) + " Hz", "the plate estimate, beside the fn given"});
    if (b.rigidBody)
        figures.push_back({"motion", "rigid body", "fn above the profile's band"});
    if (b.plate)
        figures.push_back({"mode peak",
                           "x " + LengthText(from.units, b.plate->mode.peakX(), 4) + ", y " +
                               LengthText(from.units, b.plate->mode.peakY(), 4),
                           "Z 3-sigma is there; r from the board's bending"});
    return figures;
}

namespace {

// The table: the inputs, the board's figures, then the parts worst margin first. Each part's row is
// formatted as it comes and put aside; only its margin and place are kept, and the rows are read back
// in order at the end.
class TableWriter final : public ReportWriter {
public:
    TableWriter(const Provenance& from, Sink sink) : from_(from), sink_(std::move(sink)) {
        for (const Column& column : kPartColumns)
            if (!column.heading.empty()) {
                shown_.push_back(&column);
                width_.push_back(ColumnHeading(column, from_.units).size());
            }
    }

    bool Start(const Report& head) override {
        head_ = head;
        return true;
    }

    bool Row(PartResult&& p) override {
        record_.clear();
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            cell_.clear();
            Format(p, *shown_[i]);
            width_[i] = std::max(width_[i], cell_.size());
            // Each cell with its length before it: one byte, or 255 and four.
            if (cell_.size() < 255) {
                record_.push_back(static_cast<char>(cell_.size()));
            } else {
                const auto length = static_cast<std::uint32_t>(cell_.size());
                record_.push_back(static_cast<char>(255));
                record_.append(reinterpret_cast<const char*>(&length), sizeof length);
            }
            record_ += cell_;
        }
        // The record's length before it, so that the index holds only the margin and the place.
        const auto length = static_cast<std::uint32_t>(record_.size());
        index_.push_back({p.margin, spool_.size()});
        return spool_.Append({reinterpret_cast<const char*>(&length), sizeof length}) &&
               spool_.Append(record_);
    }

    bool Finish(const Ending& ending) override {
        std::string out = Head(ending);
        // In place: the places rise with the input order, so ties keep it.
        std::sort(index_.begin(), index_.end(), [](const Entry& x, const Entry& y) {
            return x.margin < y.margin || (x.margin == y.margin && x.offset < y.offset);
        });
        std::vector<std::string> headings;
        for (const Column* column : shown_)
            headings.push_back(ColumnHeading(*column, from_.units));
        Line(out, headings);
        bool ok = true;
        std::vector<std::string> cells(shown_.size());
        for (const Entry& entry : index_) {
            ok = spool_.ReadRecord(entry.offset, record_) && ok;
            if (!ok)
                break;
            std::size_t at = 0;
            for (std::string& cell : cells) {
                std::size_t length = static_cast<unsigned char>(record_[at++]);
                if (length == 255) {
                    std::uint32_t wide = 0;
                    std::memcpy(&wide, record_.data() + at, sizeof wide);
                    length = wide;
                    at += sizeof wide;
                }
                cell.assign(record_, at, length);
                at += length;
            }
            Line(out, cells);
            if (out.size() >= kChunk) {
                ok = sink_(out) && ok;
                out.clear();
            }
        }
        out += Tail(ending);
        return sink_(out) && ok;
    }

private:
    struct Entry {
        double margin;
        std::uint64_t offset;
    };

    void Format(const PartResult& p, const Column& column) {
        const Cell cell = CellOf(p, column.id);
        switch (cell.type) {
        case Cell::Type::Empty:
            return;
        case Cell::Type::Count:
            AppendCount(cell_, cell.count);
            return;
        case Cell::Type::Number:
            if (column.unit == ColumnUnit::Hours && cell.number > kHoursShown)
                cell_ += "> 1e12";
            else
                cell_ +=
                    Sig(column.unit == ColumnUnit::Length ? InUnit(cell.number, from_.units) : cell.number,
                        column.digits);
            return;
        case Cell::Type::Text:
            cell_ += cell.text;
            return;
        case Cell::Type::Flag:
            cell_ += cell.flag ? "pass" : "FAIL";
            return;
        case Cell::Type::Notes:
            if (p.notes != 0)
                board::AppendNoteTexts(cell_, p, head_.requiredHours, "; ");
            return;
        }
    }

    // A row of the parts, left-aligned two blanks apart; the last column is not padded.
    void Line(std::string& out, const std::vector<std::string>& cells) const {
        const std::size_t start = out.size();
        out += "  ";
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += cells[i];
            if (i + 1 < cells.size())
                out.append(width_[i] - cells[i].size() + 2, ' ');
        }
        while (out.size() > start && out.back() == ' ')
            out.pop_back();
        out += '\n';
    }

    std::string Head(const Ending& ending) const {
        const board::BoardFigures& b = head_.board;
        const board::BoardInput& in = head_.input;
        const std::size_t count = index_.size();
        std::string out = "tarnvel-board: " + from_.parts + ", " + std::to_string(count) + " part" +
                          (count == 1 ? "" : "s") + " on a " + SizeText(b, from_.units) + " board\n\n";

        out += "Inputs\n" + Columns(InputRows(head_, from_), "  ") + "\n";
        out += "Profile as used\n" + Columns(ProfileRows(in.psd), "  ") + "\n";
        out += "Board\n" + Columns(BoardRows(head_, ending, from_, count), "  ");
        for (const std::string& note : b.notes)
            out += "  note: " + note + "\n";
        out += "\nParts, worst margin first";
        if (head_.requiredHours)
            out += " (required life " + Sig(*head_.requiredHours, 6) + " hours)";
        out += "\n";
        return out;
    }

    std::string Tail(const Ending& ending) const {
        std::string out;
        const std::size_t n = ending.errors.size();
        if (n > 0) {
            std::string lines;
            for (const board::RowError& e : ending.errors)
                lines += (lines.empty() ? "" : ", ") + std::to_string(e.line);
            out += "  not evaluated: " + std::to_string(n) + " row" + (n == 1 ? "" : "s") + " (line" +
                   (n == 1 ? " " : "s ") + lines + "), see the errors\n";
        }
        out += "\n";
        out += board::kLifeAssumption;
        out += "\n";
        return out;
    }

    Provenance from_;
    Sink sink_;
    Report head_;
    std::vector<const Column*> shown_;
    std::vector<std::size_t> width_;
    std::deque<Entry> index_; // grows without copying what it holds
    Spool spool_;
    std::string record_;
    std::string cell_;
};

std::string Whole(ReportWriter& writer, const Report& report, std::string& text) {
    writer.Start(report);
    for (const PartResult& p : report.parts)
        writer.Row(PartResult(p));
    writer.Finish(EndingOf(report));
    return std::move(text);
}

Sink Into(std::string& text) {
    return [&text](std::string_view piece) {
        text += piece;
        return true;
    };
}

} // namespace

std::unique_ptr<ReportWriter> MakeWriter(Format format, const Provenance& from, const board::Dialect& dialect,
                                         Sink sink) {
    switch (format) {
    case Format::Csv:
        return std::make_unique<CsvReportWriter>(from, dialect, std::move(sink));
    case Format::Json:
        return std::make_unique<JsonWriter>(from, std::move(sink));
    case Format::Table:
        break;
    }
    return std::make_unique<TableWriter>(from, std::move(sink));
}

RowsWritten WriteRows(const NextRow& next, board::PartsReader::Row first, board::Part& part,
                      board::RowError& error, const board::BoardEvaluator& evaluator, const Report& head,
                      ReportWriter& writer, const std::function<void(const board::RowError&)>& onError) {
    RowsWritten out;
    Tally tally;
    for (board::PartsReader::Row row = first; row != board::PartsReader::Row::End && out.written;
         row = next(part, error)) {
        PartResult result;
        if (row == board::PartsReader::Row::Part && evaluator.Evaluate(part, result, error)) {
            out.allPass = out.allPass && result.pass;
            tally.Add(result);
            out.written = writer.Row(std::move(result));
            continue;
        }
        ++out.errors;
        onError(error);
        tally.Add(std::move(error));
    }
    out.written = out.written && writer.Finish(tally.Finish(head.input));
    return out;
}

std::string TableText(const Report& report, const Provenance& from) {
    std::string text;
    TableWriter writer(from, Into(text));
    return Whole(writer, report, text);
}

std::string JsonText(const Report& report, const Provenance& from) {
    std::string text;
    JsonWriter writer(from, Into(text));
    return Whole(writer, report, text);
}

std::string CsvText(const Report& report, const Provenance& from, const board::Dialect& dialect) {
    std::string text;
    CsvReportWriter writer(from, dialect, Into(text));
    return Whole(writer, report, text);
}

} // namespace board_cli
