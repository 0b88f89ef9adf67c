// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// What a placed footprint is, for the criterion: a part of a kind (its C), its length and where it lies;
// a support of the plate (a mounting hole); or nothing to check (a fiducial, a test point, a logo, a part
// not fitted). Rules match the footprint's name; the caller's come first, then the built-in ones for
// KiCad's standard libraries and the package names placement files carry.
#pragma once

#include "board/layout.h"
#include "board/parts.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct PackageRule {
    // A glob ('*' any run, '?' one character, case ignored), matched on the whole libId ("Lib:Name") and
    // on its name after the last ':' (a placement file's package text).
    std::string pattern;
    int kind = -1;              // the row of the component table; −1 with C given, or for Skip and Support
    std::optional<double> C;    // instead of the kind's
    std::optional<double> L;    // inch, instead of the body's longer side
    std::optional<double> mass; // lb
    enum class Action { Part, Skip, Support } action = Action::Part;
    std::string why; // the engineering choice, or for Skip and Support what the footprint is
};

// The built-in rules, in the order they are tried.
std::span<const PackageRule> BuiltInRules();

// The first of `user`, then of the built-in rules, whose pattern matches the footprint; null when none.
const PackageRule* FindRule(const Footprint& fp, std::span<const PackageRule> user);

// Whether `text` matches the glob `pattern` ('*', '?', ASCII case ignored).
bool GlobMatch(std::string_view pattern, std::string_view text);

// A rules file: CSV with the columns pattern, kind, C, L, mass, action and why (any order, case ignored;
// pattern needed, and kind or C for a part). kind as FindKind reads it; L a length with its unit or the
// header's ("L (mm)"), inch when bare; mass with its unit; action part (the default), skip or support.
// The rules in file order; rows that cannot be read go to `errors`. nullopt when the file is unusable
// (no header, no pattern column): then `errors` holds one error saying why.
std::optional<std::vector<PackageRule>> ReadRules(std::string_view csv, std::vector<RowError>& errors);

// The body's extent along the footprint's own x and y, and its centre in that frame, inch, as the name
// says it: "BGA-256_17.0x17.0mm" (x then y), "R_0805_2012Metric" (the metric code: length, width in
// tenths of a millimetre), "R_Axial_DIN0207_L6.3mm_D2.5mm_P10.16mm" (L, then W or D), "DIP-8_W7.62mm"
// (the pins' count and rows), "PinHeader_2x05_P2.54mm" (columns, pins, pitch), a few JEDEC outlines
// ("SOT-23", "SOD-123"), an imperial chip code alone
// ("0805", "C0805"). nullopt when the name gives none.
struct Body {
    double x = 0.0, y = 0.0;
    double centreX = 0.0, centreY = 0.0;
};
std::optional<Body> BodyFromName(std::string_view name);

struct Resolved {
    enum class What { Part, Skip, Support, NoRule } what = What::NoRule;
    Part part;          // for a part: ref, kind, C, L, x, y, parallel, weight, line; for a support: ref, x, y
    std::string reason; // a part's rule's why; what a skipped footprint or support is; why there is no part
};

// The footprint as a part, by the first rule that matches (`user` first). L is the rule's, else the body's
// longer side (the footprint's own body, else its name's); x, y the footprint's position moved to the
// body's centre (the offset rotated with the footprint, mirrored in x on the bottom side). parallel is the
// board edge nearest the longer side's direction (x: a, y: b); none when that direction is within 10° of a
// diagonal or the body's sides differ by less than 10 % (the analysis then takes the worse edge). Not
// fitted (dnp), board-only and BOM-excluded footprints are skipped, saying so; a mounting hole is a
// support. A part whose centre lies off a boardA × boardB board (inch; 0: not known) is still a part, its
// reason saying so. No rule, or no length, is NoRule with a message naming the footprint.
Resolved Resolve(const Footprint& fp, std::span<const PackageRule> user, double boardA, double boardB);

} // namespace board
