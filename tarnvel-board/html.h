// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The report as one self-contained web page for a design review, and the figures written alone.
#pragma once

#include "tarnvel-board/options.h"
#include "tarnvel-board/report.h"

#include "board/analysis.h"
#include "board/figure.h"

#include <string>

namespace board_cli {

// Hands every part on to the format's writer and keeps a copy, for the page and the figures, which need
// them all. `kept` receives the head, the parts in input order and, at the end, the errors.
class KeepingWriter final : public ReportWriter {
public:
    KeepingWriter(ReportWriter& next, board::Report& kept) : next_(next), kept_(kept) {}
    bool Start(const board::Report& head) override;
    bool Row(board::PartResult&& part) override;
    bool Finish(const Ending& ending) override;
    const Ending& ending() const { return ending_; }

private:
    ReportWriter& next_;
    board::Report& kept_;
    Ending ending_;
};

// One figure of the report.
board::figure::Figure PlotFigure(PlotKind kind, const board::Report& report, const Ending& ending,
                                 LengthUnit units);

// The page: the verdict, the board map, the input profile and the displacement across the band, every
// part worst margin first, and the inputs and assumptions. HTML5 with its styles and figures inline (no
// script, no reference outside itself), for the screen in a light or dark scheme and for print on A4 or
// Letter. `report` holds every part.
std::string HtmlReport(const board::Report& report, const Ending& ending, const Provenance& from);

} // namespace board_cli
