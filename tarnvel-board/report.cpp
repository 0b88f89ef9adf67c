// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/report.h"

#include "board/text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

namespace board_cli {

using board::FormatSignificant;
using board::PartResult;
using board::Report;

namespace {

std::string Sig(double v, int digits = 4) {
    return FormatSignificant(v, digits);
}

std::string Joined(const std::vector<std::string>& items, const char* between) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty())
            out += between;
        out += item;
    }
    return out;
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

} // namespace

std::string TableText(const Report& report, const Provenance& from) {
    const board::BoardFigures& b = report.board;
    const board::Response& r = b.response;
    std::string out = "tarnvel-board: " + from.parts + ", " + std::to_string(report.parts.size()) + " part" +
                      (report.parts.size() == 1 ? "" : "s") + " on a " + Sig(b.a) + " x " + Sig(b.b) + " x " +
                      Sig(b.h) + " in board\n\n";

    std::string fnFrom = "given";
    if (b.fnFrom != board::FnSource::Given)
        fnFrom = std::string("estimated: ") +
                 (b.fnFrom == board::FnSource::Simple ? "edges simply supported" : "edges clamped") + ", " +
                 from.mass;
    std::string required = "none in the band: the top of the band fails";
    std::string requiredNote;
    if (b.requiredFn) {
        required = Sig(*b.requiredFn) + " Hz";
        requiredNote = "for the worst part";
    } else if (report.parts.empty()) {
        required = "-";
    }
    out += "Board\n";
    out += Columns({{"fn", Sig(r.fn) + " Hz", fnFrom},
                    {"Q", Sig(r.q), QName(b.qRule)},
                    {"P(fn)", Sig(r.psd) + " g^2/Hz", "PSD " + from.psd},
                    {"input", Sig(b.inputGrms, 3) + " G rms"},
                    {"response", Sig(r.grms, 3) + " G rms", "Miles"},
                    {"Z 1-sigma", Sig(r.z1sigma, 3) + " in"},
                    {"Z 3-sigma", Sig(r.z3sigma, 3) + " in"},
                    {"required fn", required, requiredNote}},
                   "  ");
    for (const std::string& note : b.notes)
        out += "  note: " + note + "\n";

    std::vector<const PartResult*> order;
    order.reserve(report.parts.size());
    for (const PartResult& p : report.parts)
        order.push_back(&p);
    std::stable_sort(order.begin(), order.end(),
                     [](const PartResult* x, const PartResult* y) { return x->margin < y->margin; });
    std::vector<std::vector<std::string>> rows;
    rows.reserve(order.size() + 1);
    rows.push_back(
        {"ref", "B in", "L in", "C", "r", "Z allow in", "margin", "cycles", "hours", "result", "notes"});
    for (const PartResult* p : order)
        rows.push_back({p->ref, Sig(p->B), Sig(p->L), Sig(p->C, 3), Sig(p->r, 3), Sig(p->zAllow, 3),
                        Sig(p->margin, 3), Sig(p->cycles, 3), Sig(p->hours, 3), p->pass ? "pass" : "FAIL",
                        Joined(board::NoteTexts(*p, report.requiredHours), "; ")});
    out += "\nParts, worst margin first";
    if (report.requiredHours)
        out += " (required life " + Sig(*report.requiredHours, 6) + " hours)";
    out += "\n" + Columns(rows, "  ");
    if (!report.errors.empty()) {
        std::string lines;
        for (const board::RowError& e : report.errors)
            lines += (lines.empty() ? "" : ", ") + std::to_string(e.line);
        out += "  not evaluated: " + std::to_string(report.errors.size()) + " row" +
               (report.errors.size() == 1 ? "" : "s") + " (line" + (report.errors.size() == 1 ? " " : "s ") +
               lines + "), see the errors\n";
    }
    out += "\n";
    out += board::kLifeAssumption;
    out += "\n";
    return out;
}

CsvWriter::CsvWriter(const board::Dialect& dialect, std::optional<double> requiredHours, Sink sink)
    : separator_(dialect.separator), point_(dialect.decimalComma ? ',' : '.'),
      eol_(dialect.crlf ? "\r\n" : "\n"), requiredHours_(requiredHours), sink_(std::move(sink)) {
    out_.reserve(kChunk + 4096);
    // A spreadsheet that wrote a byte-order mark reads UTF-8 by it.
    if (dialect.bom)
        out_ += "\xEF\xBB\xBF";
    static constexpr std::array<const char*, 12> kHeader{"line",   "ref",        "B_in",       "L_in",
                                                         "C",      "r",          "z_allow_in", "margin",
                                                         "cycles", "life_hours", "pass",       "notes"};
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        if (i > 0)
            out_.push_back(separator_);
        out_ += kHeader[i];
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
    char line[24];
    out_.append(line, std::to_chars(line, line + sizeof line, p.line).ptr);
    out_.push_back(separator_);
    board::AppendCell(out_, p.ref, separator_);
    out_.push_back(separator_);
    AppendRepeated(p.B);
    out_.push_back(separator_);
    board::AppendNumber(out_, p.L, point_);
    out_.push_back(separator_);
    AppendRepeated(p.C);
    for (double v : {p.r, p.zAllow, p.margin, p.cycles, p.hours}) {
        out_.push_back(separator_);
        board::AppendNumber(out_, v, point_);
    }
    out_.push_back(separator_);
    out_ += p.pass ? "pass" : "fail";
    out_.push_back(separator_);
    if (p.notes != 0) {
        notes_.clear();
        board::AppendNoteTexts(notes_, p, requiredHours_, "; ");
        board::AppendCell(out_, notes_, separator_);
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

CsvPipeline::CsvPipeline(const board::Dialect& dialect, std::optional<double> requiredHours, Sink sink)
    : writer_(dialect, requiredHours, std::move(sink)) {
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

std::string JsonText(const Report& report) {
    using nlohmann::ordered_json;
    const board::BoardFigures& b = report.board;
    const board::Response& r = b.response;
    ordered_json board = {
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
        {"required_fn_hz", b.requiredFn ? ordered_json(*b.requiredFn) : ordered_json(nullptr)},
        {"notes", b.notes},
    };
    ordered_json parts = ordered_json::array();
    for (const PartResult& p : report.parts)
        parts.push_back({{"line", p.line},
                         {"ref", p.ref},
                         {"B_in", p.B},
                         {"L_in", p.L},
                         {"C", p.C},
                         {"r", p.r},
                         {"z_allow_in", p.zAllow},
                         {"margin", p.margin},
                         {"cycles", p.cycles},
                         {"life_hours", p.hours},
                         {"pass", p.pass},
                         {"notes", board::NoteTexts(p, report.requiredHours)}});
    ordered_json errors = ordered_json::array();
    for (const board::RowError& e : report.errors)
        errors.push_back({{"line", e.line}, {"message", e.message}});
    ordered_json doc = {
        {"board", board}, {"parts", parts}, {"errors", errors}, {"assumptions", report.assumptions}};
    if (report.requiredHours)
        doc["required_life_hours"] = *report.requiredHours;
    // Invalid UTF-8 in a ref is replaced rather than ending the run.
    return doc.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

} // namespace board_cli
