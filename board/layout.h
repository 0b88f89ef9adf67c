// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A board as an ECAD tool knows it: its outline, its thickness and its placed footprints, read from a board
// file or a placement file, in one frame: seen from the top side, the origin at the outline's lower-left
// corner (or the placement's origin), x along a, y up, inch.
#pragma once

#include "board/plate_fe.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace board {

struct Footprint {
    std::string ref;
    std::string libId;     // "Lib:Name" from a board file, or a placement file's package or footprint text
    std::string value;     // the part's value, where the file has one
    double x = 0.0;        // inch, the footprint's origin in the board frame
    double y = 0.0;        // inch
    double rotation = 0.0; // degrees, counter-clockwise seen from the top
    bool bottom = false;   // placed on the bottom side
    // The body's extent along the footprint's own x and y, before rotation (from its fabrication drawing,
    // else its courtyard, else its pads), and the body's centre in the footprint's own frame: seen from the
    // top, a bottom footprint's frame is mirrored in x, then rotated.
    std::optional<double> bodyX, bodyY; // inch
    double bodyCentreX = 0.0, bodyCentreY = 0.0;
    // Attributes.
    bool smd = false, throughHole = false, boardOnly = false, excludeFromBom = false, excludeFromPos = false,
         dnp = false;
    std::size_t line = 0; // where the footprint starts in its file (1-based)
};

struct Layout {
    std::vector<Polygon> outline;    // the outer contour first, then cutouts; empty when the file has none
    std::optional<double> thickness; // inch
    std::vector<Footprint> footprints;
};

} // namespace board
