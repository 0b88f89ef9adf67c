// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a placement file, as a column map with the table after it, and as a rules
// file. Reading never fails on the bytes themselves; a file is either unusable, saying why, or its
// footprints have a ref, a finite position, a rotation in [0, 360) and a line inside the text, in file
// order, and its errors come in line order; every footprint resolves to a part with a positive finite
// length and C and a finite position, or to another outcome with its reason.
#include "require.h"

#include "board/package_rules.h"
#include "board/placement.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using fuzz::Require;

namespace {

void Check(std::string_view text, const board::PlacementReading& reading,
           const std::vector<board::PackageRule>& rules) {
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (!reading.error.empty()) {
        Require(reading.footprints.empty() && reading.errors.empty(), "an unusable file has nothing else");
        return;
    }
    Require(!reading.format.empty(), "a read file has its format");
    std::size_t previous = 0;
    for (const board::Footprint& fp : reading.footprints) {
        Require(!fp.ref.empty(), "footprint has a ref");
        Require(std::isfinite(fp.x) && std::isfinite(fp.y), "finite position");
        Require(fp.rotation >= 0.0 && fp.rotation < 360.0, "rotation in [0, 360)");
        Require(!std::signbit(fp.rotation), "no negative zero rotation");
        Require(fp.line > previous && fp.line <= lines, "footprints in file order, inside the text");
        previous = fp.line;
    }
    Require(
        std::is_sorted(reading.errors.begin(), reading.errors.end(),
                       [](const board::RowError& a, const board::RowError& b) { return a.line < b.line; }),
        "errors in line order");
    for (const board::RowError& e : reading.errors)
        Require(e.line >= 1 && e.line <= lines && !e.message.empty(), "error line inside the text");

    for (const board::Footprint& fp : reading.footprints) {
        for (const std::vector<board::PackageRule>* user :
             {static_cast<const std::vector<board::PackageRule>*>(nullptr), &rules}) {
            const board::Resolved r = board::Resolve(
                fp, user ? std::span<const board::PackageRule>(*user) : std::span<const board::PackageRule>(),
                4.0, 3.0);
            Require(!r.reason.empty(), "every outcome has its reason");
            Require(r.part.ref == fp.ref, "the outcome keeps the ref");
            if (r.what != board::Resolved::What::Part)
                continue;
            Require(std::isfinite(r.part.L) && r.part.L > 0.0, "a part has a positive length");
            Require(std::isfinite(r.part.C) && r.part.C > 0.0, "a part has a positive C");
            Require(std::isfinite(r.part.x) && std::isfinite(r.part.y), "a part has a finite position");
            Require(!r.part.weight || (std::isfinite(*r.part.weight) && *r.part.weight >= 0.0), "mass");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The bytes as rules, which the footprints below are resolved with.
    std::vector<board::RowError> ruleErrors;
    const auto rules = board::ReadRules(text, ruleErrors);
    Require(rules || ruleErrors.size() == 1, "rules, or one error saying why");
    Require(
        std::is_sorted(ruleErrors.begin(), ruleErrors.end(),
                       [](const board::RowError& a, const board::RowError& b) { return a.line < b.line; }),
        "rule errors in line order");
    if (rules)
        for (const board::PackageRule& rule : *rules)
            Require(!rule.pattern.empty() && (!rule.L || *rule.L > 0.0) && (!rule.C || *rule.C > 0.0) &&
                        (rule.action != board::PackageRule::Action::Part || rule.kind >= 0 || rule.C),
                    "a rule read is usable");
    const std::vector<board::PackageRule> user = rules ? *rules : std::vector<board::PackageRule>{};

    board::PlacementOptions options;
    Check(text, board::ReadPlacement(text, options), user);

    // An origin far away, in inch.
    options.originX = 1.0e300;
    options.originY = -3.5;
    options.bareLength = &board::kInch;
    Check(text, board::ReadPlacement(text, options), user);

    // The first line as a column map, the rest as the table.
    const std::size_t end = text.find('\n');
    if (end != std::string_view::npos) {
        std::string error;
        if (auto map = board::ParseColumnMap(text.substr(0, end), error)) {
            board::PlacementOptions mapped;
            mapped.columns = std::move(map);
            Check(text.substr(end + 1), board::ReadPlacement(text.substr(end + 1), mapped), user);
        } else {
            Require(!error.empty(), "a map refused says why");
        }
    }

    // Every name read is a body of positive size or none.
    const board::PlacementReading reading = board::ReadPlacement(text);
    for (const board::Footprint& fp : reading.footprints)
        if (const auto body = board::BodyFromName(fp.libId))
            Require(body->x > 0.0 && body->y > 0.0 && std::isfinite(body->x) && std::isfinite(body->y) &&
                        std::isfinite(body->centreX) && std::isfinite(body->centreY),
                    "a body from a name has a positive finite size");
    return 0;
}
