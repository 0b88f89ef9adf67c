// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/layout_parts.h"

#include "board/text.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace board {

LayoutParts::LayoutParts(const Layout& layout, std::span<const PackageRule> userRules, double boardA,
                         double boardB, std::vector<RowError> readErrors) {
    std::unordered_map<std::string, std::size_t> seen; // ref → the line it was first on
    for (const Footprint& fp : layout.footprints) {
        Resolved resolved = Resolve(fp, userRules, boardA, boardB);
        Row row;
        row.error.line = fp.line;
        switch (resolved.what) {
        case Resolved::What::Skip:
        case Resolved::What::Support: {
            const bool support = resolved.what == Resolved::What::Support;
            skipped_.push_back({fp.ref, fp.libId, fp.line, std::move(resolved.reason), support});
            if (support)
                supports_.push_back({resolved.part.x, resolved.part.y});
            continue;
        }
        case Resolved::What::NoRule:
            row.error.kind = RowError::Kind::NoRule;
            row.error.message = fp.ref + ": " + resolved.reason;
            break;
        case Resolved::What::Part:
            if (const auto [at, fresh] = seen.emplace(fp.ref, fp.line); !fresh) {
                row.error.message = "ref " + Quote(fp.ref) + " repeats line " + std::to_string(at->second);
                break;
            }
            row.part = true;
            row.value = std::move(resolved.part);
            row.value.line = fp.line;
            row.value.bottom = fp.bottom;
            if (row.value.weight)
                masses_.push_back({row.value.x, row.value.y, *row.value.weight, row.value.L});
            break;
        }
        rows_.push_back(std::move(row));
    }
    for (RowError& e : readErrors) {
        Row row;
        row.error = std::move(e);
        rows_.push_back(std::move(row));
    }
    std::stable_sort(rows_.begin(), rows_.end(), [](const Row& x, const Row& y) {
        return (x.part ? x.value.line : x.error.line) < (y.part ? y.value.line : y.error.line);
    });
}

PartsReader::Row LayoutParts::Next(Part& part, RowError& error) {
    if (next_ >= rows_.size())
        return PartsReader::Row::End;
    Row& row = rows_[next_++];
    if (row.part) {
        part = std::move(row.value);
        return PartsReader::Row::Part;
    }
    error = std::move(row.error);
    return PartsReader::Row::Error;
}

} // namespace board
