// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The parts of a board file or a placement file, one by one as a parts list yields them: every footprint
// resolved by the package rules into a part, a point support or a skipped footprint (listed, never dropped).
#pragma once

#include "board/analysis.h"
#include "board/layout.h"
#include "board/package_rules.h"
#include "board/parts.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace board {

// A footprint that is not evaluated, and why: a mounting hole (a point support), a fiducial, a test point, a
// logo, or one marked board only, excluded from the bill of materials or not fitted.
struct SkippedFootprint {
    std::string ref;
    std::string libId;
    std::size_t line = 0;
    std::string reason;
    bool support = false; // a point support of the plate model
};

class LayoutParts {
public:
    // Resolves every footprint, the user's rules first; a ref that repeats is a bad row.
    // `readErrors`, the rows a placement file could not read, come in among the parts in line order.
    LayoutParts(const Layout& layout, std::span<const PackageRule> userRules, double boardA, double boardB,
                std::vector<RowError> readErrors = {});

    // The next part, or a bad row (a footprint no rule knows, a ref that repeats), in file order.
    PartsReader::Row Next(Part& part, RowError& error);

    const std::vector<SkippedFootprint>& skipped() const { return skipped_; }
    // The mounting holes' places, for the plate model.
    const std::vector<PlatePoint>& supports() const { return supports_; }
    // The parts' own masses, where a rule gives one.
    const std::vector<PartMass>& masses() const { return masses_; }

private:
    struct Row {
        bool part = false;
        Part value;
        RowError error;
    };
    std::vector<Row> rows_;
    std::size_t next_ = 0;
    std::vector<SkippedFootprint> skipped_;
    std::vector<PlatePoint> supports_;
    std::vector<PartMass> masses_;
};

} // namespace board
