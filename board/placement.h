// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Pick-and-place files: where each footprint of a board sits, as an ECAD tool or an assembly house writes
// it. The format is told from the text itself: KiCad's .pos text and CSV, Altium's pick-and-place text and
// CSV, JLCPCB's CPL, or any other table whose columns the caller names.
#pragma once

#include "board/layout.h"
#include "board/parts.h"
#include "board/units.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

// The header names of a table's columns, for a placement file no reader knows. Empty: no such column.
struct ColumnMap {
    std::string ref, x, y, rotation, side, package, value;
};

// "ref=Designator,x=X (mm),y=Y (mm),rot=Rotation,side=Layer,package=Footprint,value=Comment": ref, x and y
// are needed, the others optional; keys case-insensitive ("rotation" and "layer" also do). nullopt, and
// `error` saying why, when the text is not such a map.
std::optional<ColumnMap> ParseColumnMap(std::string_view text, std::string& error);

struct PlacementOptions {
    // Subtracted from every position: the board's lower-left corner as the file counts, inch.
    double originX = 0.0, originY = 0.0;
    // The columns, for a table of no known format; when set, the header row is found by these names.
    std::optional<ColumnMap> columns;
    // A position without a unit, in a file that names none (KiCad's CSV, JLCPCB's CPL: mm).
    const Unit* bareLength = &kMillimetre;
};

struct PlacementReading {
    std::vector<Footprint> footprints; // the readable rows, in file order, with their lines
    std::vector<RowError> errors;      // the rows that could not be read, in line order
    std::string error;                 // the whole file is unusable, and why; then nothing else is set
    std::string format;                // "KiCad .pos", "KiCad CSV", "Altium", "JLCPCB CPL" or "columns"
};

// Reads a placement file. Positions are in the board frame of layout.h (seen from the top, y up, inch,
// less the origin); rotations in [0, 360), counter-clockwise seen from the top, as the file gives them;
// libId is the file's package or footprint text. Each row must have a ref, finite x and y, a side that
// reads as top or bottom (top when the file has no side column) and a rotation that is a number (0 when the
// file has none); a ref an earlier row has is an error too. A KiCad file written with the bottom side's X
// negated is refused, never read mirrored.
PlacementReading ReadPlacement(std::string_view text, const PlacementOptions& options = {});

} // namespace board
