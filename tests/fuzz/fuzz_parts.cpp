// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a parts list. Reading never fails on the bytes themselves; every part read
// has finite values and a line inside the text; errors come in line order; a board evaluated from them has
// a positive finite Z and margin for every part, a note where r is above 1, r from a position never below
// the floor, no part longer than its edge; and every cell written back
// as CSV reads back the same.
#include "require.h"

#include "board/analysis.h"
#include "board/csv.h"
#include "board/parts.h"

#include "calc/displacement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;

    board::PartsReading reading = board::ReadPartsList(text);
    Require(reading.list.has_value() != !reading.error.empty(), "a list or an error");
    if (reading.list) {
        const board::PartsList& list = *reading.list;
        for (const board::Part& p : list.parts) {
            Require(p.line >= 2 && p.line <= lines, "part line inside the text");
            Require(!p.ref.empty(), "part has a ref");
            Require(std::isfinite(p.L) && std::isfinite(p.C) && std::isfinite(p.x) && std::isfinite(p.y),
                    "finite part values");
            Require(!p.r || std::isfinite(*p.r), "finite r");
            Require(!p.r || *p.r <= 1.0, "a given r is at most 1");
        }
        Require(std::is_sorted(
                    list.errors.begin(), list.errors.end(),
                    [](const board::RowError& a, const board::RowError& b) { return a.line < b.line; }),
                "errors in line order");
        for (const board::RowError& e : list.errors)
            Require(e.line >= 2 && e.line <= lines && !e.message.empty(), "error line inside the text");

        board::BoardInput in;
        in.a = 9.0;
        in.b = 7.0;
        in.h = 0.08;
        in.fn = 300.0;
        const std::size_t count = list.parts.size() + list.errors.size();
        board::Analysis analysis = board::Analyse(in, std::move(*reading.list));
        Require(analysis.report.has_value(), "a board with fn in the band is evaluated");
        const board::Report& report = *analysis.report;
        Require(report.parts.size() + report.errors.size() == count, "every row is a part or an error");
        for (const board::PartResult& p : report.parts) {
            Require(std::isfinite(p.zAllow) && p.zAllow > 0.0, "Z positive and finite");
            Require(p.margin == p.zAllow / report.board.response.z3sigma, "margin");
            Require(p.r > 0.0 && std::isfinite(p.r), "r positive");
            Require(!(p.r > 1.0) || (p.notes & board::kNoteRAboveOne), "r above 1 is noted");
            Require(!p.rComputed || p.r >= in.rMin, "r from a position is never below the floor");
            Require(p.L <= p.B, "a part is no longer than the edge it lies along");
            // Of both edges, the worse is kept: no edge the part fits along allows less.
            for (const double B : {in.a, in.b}) {
                const double at = !p.x ? B / 2.0 : B == in.a ? *p.x : *p.y;
                const bool fits = p.L <= B && at - p.L / 2.0 >= 0.0 && at + p.L / 2.0 <= B;
                Require(!p.bothEdges || !fits ||
                            p.zAllow <= calc::RelativeDisplacementLimit(B, in.h, p.L, p.C, p.r),
                        "of both edges the worse is kept");
            }
        }
    }

    // Any bytes, as one cell, survive being written and read back with each separator.
    for (char separator : {',', ';', '\t'}) {
        std::string csv = "h";
        csv.push_back(separator);
        csv += "h\n";
        board::AppendCell(csv, text, separator);
        csv.push_back(separator);
        csv += "end\n";
        board::CsvReader reader(csv);
        board::Record record;
        Require(reader.Next(record) && reader.Next(record), "two records");
        Require(record.cells.size() == 2 && record.cells[0] == text && record.cells[1] == "end",
                "cell round trip");
    }
    return 0;
}
