// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The three figures of a board's report, built from the report and its parts: the board map, the input
// profile and the board's displacement across the band.
#pragma once

#include "board/analysis.h"
#include "board/figure.h"

#include <optional>
#include <string>

namespace board::figure {

// The length unit the figures write: its name and how many of it make an inch.
struct LengthShown {
    std::string name = "in";
    double perInch = 1.0;
};

// What a report learns only at its end, which the figures show.
struct Outcome {
    std::optional<double> requiredFn; // Hz
    bool requiredFnWithLife = false;  // it holds the required life too, not the margin alone
    std::optional<double> worstZ;     // the worst part's allowable Z, inch
    std::string worstRef;
};

// Above this many placed parts the map draws them as one path per colour band, without labels or hovering.
inline constexpr std::size_t kPartsDrawnOneByOne = 3000;

// A part's body as the map draws it: its length L along its edge (the edge used), across it L for a
// four-sided package and L/3 for any other, centred at its position. Board inches.
struct Body {
    double x = 0.0, y = 0.0;
    double along = 0.0, across = 0.0;
    double direction = 0.0; // of the length, degrees counter-clockwise from the board's x
    bool alongB = false;    // the length runs nearer edge b (the board's y) than edge a
};
Body BodyOf(const PartResult& part);

// The board seen from the top, x along a to the right, y along b up: its outline with cutouts, its
// edges drawn by support (free thin, simply supported dashed, clamped heavy), its point supports as
// crossed circles, each placed part's body filled by its margin's colour band and labelled with its
// reference where the label fits, the mode shape's contour lines where the plate was modelled, and a
// legend. The figure's x and y scales map board inches to the canvas.
Figure BoardMap(const Report& report, const LengthShown& unit = {});

// The input profile on log-log axes: its breakpoints, each segment's slope in dB per octave, the G rms,
// and fn.
Figure PsdFigure(const Report& report);

// The board's 3σ displacement across the profile's band, as if its fn were each frequency with Q by the
// same rule (Miles), against the worst part's allowable Z; fn and the required fn marked.
Figure ResponseFigure(const Report& report, const Outcome& outcome, const LengthShown& unit = {});

} // namespace board::figure
