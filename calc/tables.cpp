// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/tables.h"

#include <cstddef>

namespace calc {

namespace {

template <typename Row, std::size_t N> const Row* RowAt(const std::array<Row, N>& table, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

} // namespace

const ComponentRow* ComponentAt(int index) {
    return RowAt(ComponentTable, index);
}
const PositionRow* PositionAt(int index) {
    return RowAt(PositionFactorTable, index);
}

} // namespace calc
