// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The finite-element plate of the board library: a 9 x 7 x 0.08 in board on four screws near its corners
// with 40 parts as lumped masses. Its first mode with the mesh refined until fn settles, the same board
// at fixed meshes (how the time grows with the mesh), and the mode's use: every part's r and the grid of
// the plot.
#include "board/plate_fe.h"

#include <benchmark/benchmark.h>

#include <optional>

namespace {

board::PlateModel Board() {
    board::PlateModel m;
    m.a = 9.0;
    m.b = 7.0;
    m.h = 0.08;
    m.weight = 1.2;
    m.edges = {board::EdgeSupport::Free, board::EdgeSupport::Free, board::EdgeSupport::Free,
               board::EdgeSupport::Free};
    m.points = {{0.25, 0.25}, {8.75, 0.25}, {0.25, 6.75}, {8.75, 6.75}};
    // 40 parts on an 8 x 5 grid, 0.005 to 0.024 lb.
    for (int k = 0; k < 40; ++k)
        m.masses.push_back({0.7 + 1.1 * (k % 8), 0.9 + 1.3 * (k / 8), 0.005 + 0.001 * ((k * 7) % 20)});
    return m;
}

void Check(benchmark::State& state, const std::optional<board::PlateSolution>& s) {
    if (!s)
        state.SkipWithError("the board was refused");
}

// Refined from 8 cells along a until fn changes by less than 0.2 %.
void BM_SolveRefined(benchmark::State& state) {
    const board::PlateModel model = Board();
    board::PlateProblem problem;
    std::optional<board::PlateSolution> s;
    for (auto _ : state) {
        s = board::SolvePlate(model, {}, problem);
        benchmark::DoNotOptimize(s);
    }
    Check(state, s);
    if (s) {
        state.counters["fn_Hz"] = s->fn;
        state.counters["nx"] = s->nx;
        state.counters["ny"] = s->ny;
        state.counters["meshes"] = static_cast<double>(s->steps.size());
    }
}
BENCHMARK(BM_SolveRefined)->Unit(benchmark::kMillisecond);

// One mesh of nx x ny cells: 4·(nx + 1)·(ny + 1) dofs less none (all edges free).
void BM_SolveFixed(benchmark::State& state) {
    const board::PlateModel model = Board();
    board::MeshOptions options;
    options.nx = static_cast<int>(state.range(0));
    options.ny = options.nx * 3 / 4;
    board::PlateProblem problem;
    std::optional<board::PlateSolution> s;
    for (auto _ : state) {
        s = board::SolvePlate(model, options, problem);
        benchmark::DoNotOptimize(s);
    }
    Check(state, s);
    if (s)
        state.counters["fn_Hz"] = s->fn;
    state.counters["dofs"] = 4.0 * (options.nx + 1) * (options.ny + 1);
}
BENCHMARK(BM_SolveFixed)->Arg(12)->Arg(24)->Arg(48)->Arg(96)->Unit(benchmark::kMillisecond);

// r of 40 parts along both edges and the 13 x 9 grid from a solved mode.
void BM_ModeUse(benchmark::State& state) {
    const board::PlateModel model = Board();
    board::PlateProblem problem;
    const auto s = board::SolvePlate(model, {}, problem);
    Check(state, s);
    if (!s)
        return;
    for (auto _ : state) {
        double sum = 0.0;
        for (const board::LumpedMass& m : model.masses)
            sum += s->mode.PositionFactor(m.x, m.y, board::Edge::A) +
                   s->mode.PositionFactor(m.x, m.y, board::Edge::B);
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(s->mode.Grid(13, 9));
    }
}
BENCHMARK(BM_ModeUse)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
