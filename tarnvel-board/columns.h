// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The columns of a report's parts, in one list: the table, the CSV and the JSON are written from it, and
// the tests read it.
#pragma once

#include "board/analysis.h"
#include "board/units.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

namespace board_cli {

// The unit lengths are reported in: the table and the CSV use it; the JSON has inch fields and the same
// in millimetres (`_mm`) always.
enum class LengthUnit { Inch, Millimetre };

inline const char* UnitName(LengthUnit unit) {
    return unit == LengthUnit::Millimetre ? "mm" : "in";
}

// A length of the model (inch) in `unit`.
inline double InUnit(double inches, LengthUnit unit) {
    return unit == LengthUnit::Millimetre ? inches * board::kMillimetresPerInch : inches;
}

enum class ColumnId {
    Line,
    Ref,
    Kind,
    ParallelGiven,
    Parallel,
    B,
    L,
    X,
    Y,
    C,
    RComputed,
    R,
    ZAllow,
    Margin,
    Cycles,
    LifeHours,
    Pass,
    Notes
};

// What a column's figures are: lengths are written in the report's unit and carry it in their key and
// heading; hours above kHoursShown are written as "> 1e12" in the table.
enum class ColumnUnit { None, Length, Hours };

struct Column {
    ColumnId id;
    std::string_view key;     // a length's without its unit: "B" is written "B_in" or "B_mm"
    std::string_view heading; // in the table, a length's without its unit; empty: not in the table
    ColumnUnit unit;
    int digits; // significant digits of a figure in the table; 0 for text
};

inline constexpr Column kPartColumns[] = {
    {ColumnId::Line, "line", "", ColumnUnit::None, 0},
    {ColumnId::Ref, "ref", "ref", ColumnUnit::None, 0},
    {ColumnId::Kind, "kind", "kind", ColumnUnit::None, 0},
    {ColumnId::ParallelGiven, "parallel_given", "", ColumnUnit::None, 0},
    {ColumnId::Parallel, "parallel", "edge", ColumnUnit::None, 0},
    {ColumnId::B, "B", "B", ColumnUnit::Length, 4},
    {ColumnId::L, "L", "L", ColumnUnit::Length, 4},
    {ColumnId::X, "x", "x", ColumnUnit::Length, 4},
    {ColumnId::Y, "y", "y", ColumnUnit::Length, 4},
    {ColumnId::C, "C", "C", ColumnUnit::None, 3},
    {ColumnId::RComputed, "r_computed", "", ColumnUnit::None, 3},
    {ColumnId::R, "r", "r", ColumnUnit::None, 3},
    {ColumnId::ZAllow, "z_allow", "Z allow", ColumnUnit::Length, 3},
    {ColumnId::Margin, "margin", "margin", ColumnUnit::None, 3},
    {ColumnId::Cycles, "cycles", "cycles", ColumnUnit::None, 3},
    {ColumnId::LifeHours, "life_hours", "hours", ColumnUnit::Hours, 3},
    {ColumnId::Pass, "pass", "result", ColumnUnit::None, 0},
    {ColumnId::Notes, "notes", "notes", ColumnUnit::None, 0},
};
inline constexpr std::size_t kPartColumnCount = std::size(kPartColumns);

// Lives above this are written "> 1e12" in the table.
inline constexpr double kHoursShown = 1e12;

// "B_in", "B_mm", "ref".
inline std::string ColumnKey(const Column& column, LengthUnit unit) {
    std::string key(column.key);
    if (column.unit == ColumnUnit::Length)
        key += unit == LengthUnit::Millimetre ? "_mm" : "_in";
    return key;
}

// "B in", "Z allow mm", "ref"; empty for a column the table does not show.
inline std::string ColumnHeading(const Column& column, LengthUnit unit) {
    std::string heading(column.heading);
    if (column.unit == ColumnUnit::Length && !heading.empty())
        heading += unit == LengthUnit::Millimetre ? " mm" : " in";
    return heading;
}

// A part's cell, before a format writes it: lengths in inch.
struct Cell {
    enum class Type { Empty, Count, Number, Text, Flag, Notes };
    Type type = Type::Empty;
    double number = 0.0;
    std::size_t count = 0;
    std::string_view text;
    bool flag = false;
};

inline const char* EdgeName(board::Edge edge) {
    return edge == board::Edge::A ? "a" : "b";
}

inline Cell CellOf(const board::PartResult& p, ColumnId id) {
    using T = Cell::Type;
    const auto number = [](double v) { return Cell{T::Number, v, 0, {}, false}; };
    const auto maybe = [&](const std::optional<double>& v) { return v ? number(*v) : Cell{}; };
    const auto text = [](std::string_view t) { return t.empty() ? Cell{} : Cell{T::Text, 0.0, 0, t, false}; };
    switch (id) {
    case ColumnId::Line:
        return {T::Count, 0.0, p.line, {}, false};
    case ColumnId::Ref:
        return {T::Text, 0.0, 0, p.ref, false};
    case ColumnId::Kind:
        return p.kind >= 0 && static_cast<std::size_t>(p.kind) < std::size(board::kKindShortNames)
                   ? text(board::kKindShortNames[p.kind])
                   : Cell{};
    case ColumnId::ParallelGiven:
        return text(p.parallelGiven);
    case ColumnId::Parallel:
        return text(EdgeName(p.parallel));
    case ColumnId::B:
        return number(p.B);
    case ColumnId::L:
        return number(p.L);
    case ColumnId::X:
        return maybe(p.x);
    case ColumnId::Y:
        return maybe(p.y);
    case ColumnId::C:
        return number(p.C);
    case ColumnId::RComputed:
        return maybe(p.rComputed);
    case ColumnId::R:
        return number(p.r);
    case ColumnId::ZAllow:
        return number(p.zAllow);
    case ColumnId::Margin:
        return number(p.margin);
    case ColumnId::Cycles:
        return number(p.cycles);
    case ColumnId::LifeHours:
        return number(p.hours);
    case ColumnId::Pass:
        return {T::Flag, 0.0, 0, {}, p.pass};
    case ColumnId::Notes:
        return {T::Notes, 0.0, 0, {}, false};
    }
    return {};
}

} // namespace board_cli
