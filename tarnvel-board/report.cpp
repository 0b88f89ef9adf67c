// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/report.h"

#include "board/text.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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
        return "given";
    }
    return "given";
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
                        Joined(board::NoteTexts(*p, report), "; ")});
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

bool WriteCsv(const Report& report, const board::Dialect& dialect, const Sink& sink) {
    const char sep = dialect.separator;
    const char point = dialect.decimalComma ? ',' : '.';
    const char* eol = dialect.crlf ? "\r\n" : "\n";
    static constexpr std::array<const char*, 12> kHeader{"line",   "ref",        "B_in",       "L_in",
                                                         "C",      "r",          "z_allow_in", "margin",
                                                         "cycles", "life_hours", "pass",       "notes"};
    constexpr std::size_t kChunk = 1 << 16;
    std::string out;
    out.reserve(kChunk + 4096);
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        if (i > 0)
            out.push_back(sep);
        out += kHeader[i];
    }
    out += eol;
    std::string notes;
    for (const PartResult& p : report.parts) {
        char line[24];
        out.append(line, std::to_chars(line, line + sizeof line, p.line).ptr);
        out.push_back(sep);
        board::AppendCell(out, p.ref, sep);
        for (double v : {p.B, p.L, p.C, p.r, p.zAllow, p.margin, p.cycles, p.hours}) {
            out.push_back(sep);
            board::AppendNumber(out, v, point);
        }
        out.push_back(sep);
        out += p.pass ? "pass" : "fail";
        out.push_back(sep);
        if (p.notes != 0) {
            notes.clear();
            board::AppendNoteTexts(notes, p, report, "; ");
            board::AppendCell(out, notes, sep);
        }
        out += eol;
        if (out.size() >= kChunk) {
            if (!sink(out))
                return false;
            out.clear();
        }
    }
    return sink(out);
}

std::string CsvText(const Report& report, const board::Dialect& dialect) {
    std::string text;
    WriteCsv(report, dialect, [&text](std::string_view piece) {
        text.append(piece);
        return true;
    });
    return text;
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
                         {"notes", board::NoteTexts(p, report)}});
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
