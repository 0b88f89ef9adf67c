// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A reader of KiCad board files (.kicad_pcb) from KiCad 4 and 5 (`module`) to KiCad 9 (`footprint`): the
// outline on Edge.Cuts, the thickness and the placed footprints, in the frame of layout.h.
//
// Conventions:
// - The file counts in mm with y pointing down, as KiCad draws it on screen. The layout counts in inch
//   with y up, seen from the top, its origin at the lower-left corner of the outer contour's bounding box
//   (at the file's origin, y flipped, when the board has no outline).
// - A KiCad angle θ (degrees, counter-clockwise as the screen shows it) is θ counter-clockwise seen from
//   the top, and lands in Footprint::rotation as θ in [0, 360), for either side.
// - A footprint's graphics are given in its own frame, unrotated. For a part on the bottom side KiCad
//   stores that drawing already mirrored, as seen from the top, and the part's angle is counted from the
//   top too. The body box is taken from that drawing as it stands (y flipped), so its extents are
//   positive, and for both sides the body's centre in the board frame is the footprint's position plus
//   (bodyCentreX, bodyCentreY) turned counter-clockwise by `rotation`.
// - A pad's angle in the file includes its footprint's; the pad's own turn is the difference.
// - Arcs and circles become polylines whose chords stray less than 0.005 mm from the curve. Open items
//   join into contours where their ends lie within 0.001 mm of each other. The contour of largest area
//   is the outer one, the others are cutouts.
#pragma once

#include "board/layout.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct KicadReading {
    std::optional<Layout> layout; // set when the file was read
    std::string error;            // what stopped the reading, with its line and column where it has one
    std::vector<std::string>
        notes; // what was read but is worth knowing (no thickness, a part without a body)
};

KicadReading ReadKicadBoard(std::string_view text);

// Whether the text's first list starts with the symbol kicad_pcb (blanks and a UTF-8 byte-order mark
// before it allowed). Reads only the start of the text.
bool LooksLikeKicadBoard(std::string_view text);

} // namespace board
