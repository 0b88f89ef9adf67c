// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/html.h"
#include "tarnvel-board/svg.h"

#include "board/figures.h"
#include "board/text.h"
#include "board/units.h"

#include "calc/displacement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

namespace board_cli {

using board::FormatSignificant;
using board::PartResult;
using board::Report;

bool KeepingWriter::Start(const Report& head) {
    kept_ = head;
    kept_.parts.clear();
    kept_.errors.clear();
    return next_.Start(head);
}

bool KeepingWriter::Row(PartResult&& part) {
    kept_.parts.push_back(part);
    return next_.Row(std::move(part));
}

bool KeepingWriter::Finish(const Ending& ending) {
    ending_ = ending;
    kept_.errors = ending.errors;
    return next_.Finish(ending);
}

namespace {

board::figure::LengthShown Shown(LengthUnit units) {
    return {UnitName(units), InUnit(1.0, units)};
}

std::string Sig(double v, int digits = 4) {
    return FormatSignificant(v, digits);
}

// The page's styles: light by default, dark where the reader's scheme is; for print, A4 or Letter with
// each section on a page of its own and the parts table's header on every page.
constexpr char kStyle[] = R"(
:root { color-scheme: light dark; --ink: #1b1b1b; --paper: #ffffff; --muted: #555555; --rule: #c9c9c9;
  --fail: #8e1b10; --fail-bg: #fbe9e6; --pass: #1d5e20; --head: #f0f0f0; --board: #e9f2e4; --grid: #c8c8c8; }
@media (prefers-color-scheme: dark) {
  :root { --ink: #e8e8e8; --paper: #161616; --muted: #b0b0b0; --rule: #4a4a4a; --fail: #ff9c8f;
    --fail-bg: #3a1d1a; --pass: #9ad69d; --head: #262626; --board: #26321f; --grid: #444444; }
  svg .psd, svg .z3sigma { stroke: #7aa7f0; }
  svg .breakpoint { fill: #7aa7f0; stroke: #7aa7f0; }
}
html { background: var(--paper); color: var(--ink); }
body { font: 15px/1.45 "Liberation Sans", Arial, Helvetica, sans-serif; margin: 0 auto; max-width: 1100px;
  padding: 1.2em 1.5em 3em; }
h1 { font-size: 1.6em; margin: 0 0 0.2em; }
h2 { font-size: 1.25em; border-bottom: 1px solid var(--rule); padding-bottom: 0.2em; margin-top: 1.8em; }
h3 { font-size: 1.05em; margin: 1.2em 0 0.4em; }
p.meta { color: var(--muted); margin: 0; }
.verdict { font-size: 1.25em; font-weight: bold; padding: 0.5em 0.8em; border-left: 6px solid; }
.verdict.fail { color: var(--fail); background: var(--fail-bg); }
.verdict.pass { color: var(--pass); }
dl.figures { display: grid; grid-template-columns: max-content auto; gap: 0.2em 1.2em; }
dl.figures dt { color: var(--muted); }
dl.figures dd { margin: 0; }
figure { margin: 1em 0; }
figure svg { width: 100%; max-width: 880px; height: auto; display: block; }
figcaption { color: var(--muted); font-size: 0.9em; }
svg .outline { fill: var(--board); }
svg .grid { stroke: var(--grid); }
table { border-collapse: collapse; font-size: 0.88em; margin: 0.4em 0 1em; }
th, td { border: 1px solid var(--rule); padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
thead th { background: var(--head); }
td.n, td[data-value] { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
tr.fail td { background: var(--fail-bg); }
div.rows { content-visibility: auto; contain-intrinsic-size: auto 30000px; }
div.rows table { table-layout: fixed; width: 100%; margin: 0; }
div.rows td { overflow: hidden; text-overflow: ellipsis; }
col.w3 { width: 3em; } col.w4 { width: 4em; } col.w5 { width: 5em; } col.w6 { width: 6em; }
tr.fail td.result { color: var(--fail); font-weight: bold; }
.sw { margin-right: 0.3em; }
figure svg { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; }
code, .hash { font-family: "Liberation Mono", "DejaVu Sans Mono", monospace; font-size: 0.92em;
  overflow-wrap: anywhere; }
ul.assumptions li { margin: 0.3em 0; }
@page { margin: 14mm 12mm; }
@media print {
  html, body { background: #ffffff; color: #000000; }
  body { max-width: none; padding: 0; font-size: 10pt; }
  section { break-before: page; }
  section#verdict { break-before: auto; }
  h2, h3 { break-after: avoid; }
  figure, tr { break-inside: avoid; }
  thead { display: table-header-group; }
  div.rows { content-visibility: visible; }
  table { font-size: 8pt; }
}
)";

void Escape(std::string& out, std::string_view text) {
    AppendEscaped(out, text);
}

void Element(std::string& out, std::string_view tag, std::string_view text,
             std::string_view attributes = {}) {
    out += '<';
    out += tag;
    if (!attributes.empty()) {
        out += ' ';
        out += attributes;
    }
    out += '>';
    Escape(out, text);
    out += "</";
    out += tag;
    out += ">\n";
}

// A table of rows of text; the first row is the heading when `heading` is set.
void RowsTable(std::string& out, const Rows& rows, bool heading, std::string_view id = {}) {
    std::size_t columns = 0;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    out += "<table";
    if (!id.empty()) {
        out += " id=\"";
        out += id;
        out += '"';
    }
    out += ">\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool head = heading && i == 0;
        if (head)
            out += "<thead>";
        else if (heading && i == 1)
            out += "<tbody>";
        out += "<tr>";
        for (std::size_t c = 0; c < columns; ++c) {
            out += head ? "<th>" : "<td>";
            if (c < rows[i].size())
                Escape(out, rows[i][c]);
            out += head ? "</th>" : "</td>";
        }
        out += "</tr>";
        if (head)
            out += "</thead>";
        out += '\n';
    }
    if (heading && rows.size() > 1)
        out += "</tbody>";
    out += "</table>\n";
}

// A figure inline, with its caption.
void Figure(std::string& out, const board::figure::Figure& figure, std::string_view caption) {
    out += "<figure>\n";
    out += SvgText(figure, false);
    out += "<figcaption>";
    Escape(out, caption);
    out += "</figcaption>\n</figure>\n";
}

// One figure of the verdict: its text, and for a program its JSON key and its value in full.
void Definition(std::string& out, std::string_view term, std::string_view shown, std::string_view key = {},
                std::optional<double> value = std::nullopt) {
    out += "<dt>";
    Escape(out, term);
    out += "</dt><dd";
    if (!key.empty()) {
        out += " data-key=\"";
        out += key;
        out += '"';
    }
    if (value) {
        out += " data-value=\"";
        board::AppendNumber(out, *value);
        out += '"';
    }
    out += '>';
    Escape(out, shown);
    out += "</dd>\n";
}

// Above this many parts the table is written in pieces of kRowsPerTable rows.
constexpr std::size_t kRowsInOneTable = 2000;
constexpr std::size_t kRowsPerTable = 1000;

// A column's width in a long table, in the styles' classes w3 to w6 (em).
int ColumnWidth(ColumnId id) {
    switch (id) {
    case ColumnId::Parallel:
        return 3;
    case ColumnId::Ref:
    case ColumnId::Kind:
    case ColumnId::Margin:
    case ColumnId::Cycles:
    case ColumnId::LifeHours:
        return 6;
    case ColumnId::ZAllow:
    case ColumnId::Pass:
        return 5;
    default:
        return 4;
    }
}

std::string Hours(double hours) {
    return hours > kHoursShown ? std::string("> 1e12") : Sig(hours, 3);
}

void Verdict(std::string& out, const Report& report, const Ending& ending, const Provenance& from) {
    const std::size_t count = report.parts.size();
    const auto failing = static_cast<std::size_t>(
        std::count_if(report.parts.begin(), report.parts.end(), [](const PartResult& p) { return !p.pass; }));
    const auto length = [&from](double inches, int digits) {
        return Sig(InUnit(inches, from.units), digits) + " " + UnitName(from.units);
    };
    out += "<section id=\"verdict\">\n<h2>Verdict</h2>\n";
    std::string headline;
    if (failing == 0 && ending.errors.empty())
        headline = "PASS: all " + std::to_string(count) + " part" + (count == 1 ? "" : "s") + " pass";
    else if (failing == 0)
        headline = "NOT COMPLETE: the " + std::to_string(count) + " parts evaluated pass";
    else
        headline = "FAIL: " + std::to_string(failing) + " of " + std::to_string(count) + " part" +
                   (count == 1 ? "" : "s") + (failing == 1 ? " falls short" : " fall short");
    if (!ending.errors.empty())
        headline += "; " + std::to_string(ending.errors.size()) + " row" +
                    (ending.errors.size() == 1 ? "" : "s") + " could not be evaluated";
    out += "<p class=\"verdict ";
    out += failing == 0 && ending.errors.empty() ? "pass" : "fail";
    out +=
        "\" data-failing=\"" + std::to_string(failing) + "\" data-parts=\"" + std::to_string(count) + "\">";
    Escape(out, headline);
    out += "</p>\n<dl class=\"figures\">\n";
    const PartResult* worst = nullptr;
    for (const PartResult& p : report.parts)
        if (!worst || p.margin < worst->margin)
            worst = &p;
    if (worst) {
        Definition(out, "worst part",
                   worst->ref + ": margin " + Sig(worst->margin, 3) + ", " + Sig(worst->cycles, 3) +
                       " cycles, " + Hours(worst->hours) + " hours",
                   "worst_margin", worst->margin);
    }
    const board::BoardFigures& b = report.board;
    std::string how = b.fnFrom == board::FnSource::Given    ? "given"
                      : b.fnFrom == board::FnSource::Simple ? "estimated: edges simply supported"
                                                            : "finite elements";
    Definition(out, "board fn", Sig(b.response.fn) + " Hz (" + how + ")", "fn_hz", b.response.fn);
    Definition(out, "Z 3-sigma",
               length(b.response.z3sigma, 3) + (b.plate ? " where the mode peaks" : " at the board's centre"),
               from.units == LengthUnit::Millimetre ? "z3sigma_mm" : "z3sigma_in",
               InUnit(b.response.z3sigma, from.units));
    if (ending.requiredFn) {
        std::string needs = Sig(*ending.requiredFn) + " Hz";
        needs += b.requiredFnWithLife && report.requiredHours
                     ? ", for margin 1 and " + Sig(*report.requiredHours, 6) + " hours' life for every part"
                     : ", for margin 1 for every part";
        Definition(out, "fn required", needs, "required_fn_hz", *ending.requiredFn);
    } else if (count > 0) {
        Definition(out, "fn required", "none in the band: the top of the band fails", "required_fn_hz");
    }
    if (report.requiredHours)
        Definition(out, "life required", Sig(*report.requiredHours, 6) + " hours");
    Definition(out, "input", Sig(b.inputGrms, 3) + " G rms", "input_grms", b.inputGrms);
    out += "</dl>\n</section>\n";
}

void PartsTable(std::string& out, const Report& report, const Provenance& from) {
    std::vector<std::size_t> order(report.parts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&report](std::size_t x, std::size_t y) {
        return report.parts[x].margin < report.parts[y].margin;
    });
    out += "<section id=\"parts\">\n<h2>Parts, worst margin first</h2>\n";
    out += "<p>Every part of the list; a part that falls short reads FAIL in its result and is shaded. The "
           "square beside the margin is its colour on the board map.</p>\n";
    // A long list is written as tables of kRowsPerTable rows, each drawn only when scrolled near: a browser
    // lays out 100,000 rows in one table for minutes. Their columns have fixed widths, so that they align.
    const bool pieces = report.parts.size() > kRowsInOneTable;
    std::string head;
    std::vector<const Column*> shown;
    if (pieces) {
        head += "<colgroup>";
        for (const Column& column : kPartColumns)
            if (!column.heading.empty())
                head += column.id == ColumnId::Notes
                            ? "<col>"
                            : "<col class=\"w" + std::to_string(ColumnWidth(column.id)) + "\">";
        head += "</colgroup>";
    }
    head += "<thead><tr>";
    for (const Column& column : kPartColumns)
        if (!column.heading.empty()) {
            shown.push_back(&column);
            // The column's key as the JSON names it, once for the column.
            head += "<th data-key=\"" + ColumnKey(column, from.units) + "\">";
            AppendEscaped(head, ColumnHeading(column, from.units));
            head += "</th>";
        }
    head += "</tr></thead>\n<tbody>\n";
    const auto open = [&](std::size_t row) {
        if (pieces)
            out += "<div class=\"rows\">";
        out += row == 0 ? "<table id=\"parts-table\" class=\"parts\">\n" : "<table class=\"parts\">\n";
        out += head;
    };
    const auto close = [&] {
        out += "</tbody>\n</table>\n";
        if (pieces)
            out += "</div>\n";
    };
    open(0);
    std::size_t written = 0;
    std::string notes;
    for (const std::size_t i : order) {
        const PartResult& p = report.parts[i];
        if (pieces && written > 0 && written % kRowsPerTable == 0) {
            close();
            open(written);
        }
        ++written;
        out += p.pass ? "<tr>" : "<tr class=\"fail\">";
        for (const Column* column : shown) {
            const Cell cell = CellOf(p, column->id);
            switch (cell.type) {
            case Cell::Type::Empty:
                out += "<td></td>";
                break;
            case Cell::Type::Count:
                out += "<td>" + std::to_string(cell.count) + "</td>";
                break;
            case Cell::Type::Number: {
                const double value =
                    column->unit == ColumnUnit::Length ? InUnit(cell.number, from.units) : cell.number;
                out += "<td data-value=\"";
                board::AppendNumber(out, value);
                out += "\">";
                if (column->id == ColumnId::Margin) {
                    const board::figure::Colour c = board::figure::MarginColour(p.margin);
                    char colour[8];
                    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", c.r, c.g, c.b);
                    out += "<span class=\"sw\" style=\"color:";
                    out += colour;
                    out += "\">&#9632;</span>";
                }
                out += column->unit == ColumnUnit::Hours && cell.number > kHoursShown
                           ? "&gt; 1e12"
                           : Sig(value, column->digits);
                out += "</td>";
                break;
            }
            case Cell::Type::Text:
                out += "<td>";
                Escape(out, cell.text);
                out += "</td>";
                break;
            case Cell::Type::Flag:
                out += cell.flag ? "<td class=\"result\">pass</td>" : "<td class=\"result\">FAIL</td>";
                break;
            case Cell::Type::Notes:
                notes.clear();
                if (p.notes != 0)
                    board::AppendNoteTexts(notes, p, report.requiredHours, "; ");
                out += "<td>";
                Escape(out, notes);
                out += "</td>";
                break;
            }
        }
        out += "</tr>\n";
    }
    close();
    if (!report.errors.empty()) {
        out += "<h3>Rows not evaluated</h3>\n<ul class=\"errors\">\n";
        for (const board::RowError& e : report.errors) {
            out += "<li>";
            Escape(out, from.parts + ":" + std::to_string(e.line) + ": " + e.message);
            out += "</li>\n";
        }
        out += "</ul>\n";
    }
    out += "</section>\n";
}

void Inputs(std::string& out, const Report& report, const Ending& ending, const Provenance& from) {
    out += "<section id=\"inputs\">\n<h2>Inputs and assumptions</h2>\n";
    out += "<h3>Inputs, as given and as used</h3>\n";
    Rows inputs = InputRows(report, from);
    inputs.insert(inputs.begin(), {"input", "as given", "as used"});
    RowsTable(out, inputs, true, "inputs-table");
    out += "<h3>Profile as used</h3>\n";
    RowsTable(out, ProfileRows(report.input.psd), true, "profile-table");
    out += "<h3>Board</h3>\n";
    Rows board = BoardRows(report, ending, from, report.parts.size());
    board.insert(board.begin(), {"figure", "value", "how"});
    RowsTable(out, board, true, "board-table");
    if (!report.board.notes.empty()) {
        out += "<ul class=\"notes\">\n";
        for (const std::string& note : report.board.notes)
            Element(out, "li", note);
        out += "</ul>\n";
    }
    if (!from.skipped.empty()) {
        out += "<h3>Footprints not evaluated</h3>\n<ul>\n";
        for (const board::SkippedFootprint& f : from.skipped)
            Element(out, "li", f.ref + ": " + f.reason);
        out += "</ul>\n";
    }

    out += "<h3>The model</h3>\n<ul class=\"assumptions\">\n";
    Element(out, "li",
            "Allowable displacement of each part (Steinberg): Z = " +
                board::FormatNumber(calc::kSteinbergConstant) +
                " B / (C h r sqrt(L)) inch, 3-sigma, for 2e7 stress cycles; B the board edge the part runs "
                "along, "
                "L its length, h the board's thickness, C its component constant and r its position factor.");
    Element(out, "li",
            "The board's response at fn (Miles): G rms = sqrt(pi/2 fn Q P(fn)); its centre's displacement "
            "Z 1-sigma = g G rms / (2 pi fn)^2 and Z 3-sigma three times that. The margin of a part is its "
            "allowable Z over the board's Z 3-sigma; below 1 it fails.");
    for (const std::string& assumption : report.assumptions)
        Element(out, "li", assumption);
    Element(
        out, "li",
        "The response figure draws Z 3-sigma as if the board's fn were each frequency of the band, with Q "
        "by the same rule; the required fn is the lowest at which every part's margin (and life, where "
        "required) holds there and at every higher frequency of the band.");
    Element(
        out, "li",
        "The board map draws each placed part's body as the layout file draws it, turned as it is placed; "
        "a part from a parts list as its length L along its edge and, across it, L for a four-sided "
        "package and L/3 for any other. Each is filled by its margin's band.");
    out += "</ul>\n";

    out += "<h3>Sources</h3>\n<ul class=\"sources\">\n";
    Element(out, "li",
            "The criterion, the component constants C, the position factors r, Q = sqrt(fn) and the fatigue "
            "exponent 6.4: D. S. Steinberg, Vibration Analysis for Electronic Equipment.");
    Element(out, "li",
            "The random response: J. W. Miles, On structural fatigue under random loading (1954).");
    Element(out, "li",
            "The laminate: epoxy-glass, E " + Sig(report.input.modulus) + " lb/in^2, nu " +
                Sig(report.input.poisson) + ", FR-4 density " + Sig(report.input.density, 3) + " lb/in^3.");
    if (!from.profileSource.empty())
        Element(out, "li", "The profile " + from.profileName + ": " + from.profileSource);
    else
        Element(out, "li", "The profile: as given, " + (from.psd.empty() ? std::string("-") : from.psd));
    out += "</ul>\n";

    out +=
        "<h3>Files read</h3>\n<table id=\"files-table\">\n<thead><tr><th>role</th><th>file</th><th>bytes</th>"
        "<th>SHA-256</th></tr></thead>\n<tbody>\n";
    for (const FileRead& f : from.files) {
        out += "<tr><td>";
        Escape(out, f.role);
        out += "</td><td>";
        Escape(out, board::OneLine(f.name));
        out += "</td><td class=\"n\">" + std::to_string(f.size) + "</td><td class=\"hash\">";
        Escape(out, f.sha256);
        out += "</td></tr>\n";
    }
    out += "</tbody>\n</table>\n<p class=\"meta\">";
    Escape(out, (from.version.empty() ? VersionText() : from.version) + ", run at " + from.time);
    out += "</p>\n</section>\n";
}

} // namespace

board::figure::Figure PlotFigure(PlotKind kind, const Report& report, const Ending& ending,
                                 LengthUnit units) {
    switch (kind) {
    case PlotKind::Psd:
        return board::figure::PsdFigure(report);
    case PlotKind::Response: {
        board::figure::Outcome outcome;
        outcome.requiredFn = ending.requiredFn;
        outcome.requiredFnWithLife = report.board.requiredFnWithLife && report.requiredHours.has_value();
        if (ending.worst) {
            outcome.worstZ = ending.worst->zAllow;
            outcome.worstRef = ending.worst->ref;
        }
        return board::figure::ResponseFigure(report, outcome, Shown(units));
    }
    case PlotKind::Board:
        break;
    }
    return board::figure::BoardMap(report, Shown(units));
}

std::string HtmlReport(const Report& report, const Ending& ending, const Provenance& from) {
    std::string out;
    out.reserve(4096 + report.parts.size() * 700);
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<meta name=\"color-scheme\" content=\"light dark\">\n"
           "<meta name=\"generator\" content=\"";
    Escape(out, from.version.empty() ? VersionText() : from.version);
    out += "\">\n<title>";
    Escape(out, "Vibration check: " + from.parts);
    out += "</title>\n<style>";
    out += kStyle;
    out += "</style>\n</head>\n<body>\n<header>\n<h1>";
    Escape(out, "Vibration check: " + from.parts);
    out += "</h1>\n<p class=\"meta\">";
    Escape(out, std::to_string(report.parts.size()) + " part" + (report.parts.size() == 1 ? "" : "s") +
                    " on a " + SizeText(report.board, from.units) + " board; " +
                    (from.version.empty() ? VersionText() : from.version) + ", " + from.time);
    out += "</p>\n</header>\n";

    Verdict(out, report, ending, from);

    out += "<section id=\"board-map\">\n<h2>Board map</h2>\n";
    Figure(out, PlotFigure(PlotKind::Board, report, ending, from.units),
           "Seen from the top. Each placed part is filled by its margin's band (the legend gives the values; "
           "failing parts also have a heavier outline); hovering a part shows its row.");
    out += "</section>\n";

    out += "<section id=\"profile\">\n<h2>Vibration profile</h2>\n";
    Figure(
        out, PlotFigure(PlotKind::Psd, report, ending, from.units),
        "The input profile (acceleration spectral density) on log-log axes, its breakpoints, each segment's "
        "slope and the overall G rms, with the board's fn.");
    Figure(
        out, PlotFigure(PlotKind::Response, report, ending, from.units),
        "The board's 3-sigma displacement as if its fn were each frequency of the band (Q by the same rule), "
        "against the worst part's allowable Z; fn and the required fn marked.");
    out += "</section>\n";

    PartsTable(out, report, from);
    Inputs(out, report, ending, from);
    out += "</body>\n</html>\n";
    return out;
}

} // namespace board_cli
