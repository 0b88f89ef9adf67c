// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// What the board model reports as wrong, phrased for tarnvel-board's user: in one line, naming the options
// that set what is wrong.
#pragma once

#include "board/analysis.h"
#include "board/parts.h"

#include <string>

namespace board_cli {

// Why the board cannot be evaluated.
std::string Describe(const board::BoardProblem& problem);

// Why the plate model cannot be solved.
std::string Describe(const board::PlateProblem& problem);

// A bad row's message, with what the program adds (where to find the kinds).
std::string Describe(const board::RowError& error);

} // namespace board_cli
