// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "calc/displacement.h"
#include "calc/evaluation.h"
#include "calc/tables.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

// One whole Calculate: five field texts read (r from the text of position row 0), the checks, Z and its
// text. Target: well under 1 µs.
void WholeEvaluation(benchmark::State& state) {
    std::string_view L = "1", C = "1.0", B = "6", h = "0.062";
    int position = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(L);
        benchmark::DoNotOptimize(C);
        benchmark::DoNotOptimize(B);
        benchmark::DoNotOptimize(h);
        benchmark::DoNotOptimize(position);
        const calc::Readings in{calc::FieldValue(L), calc::FieldValue(C), calc::FieldValue(B),
                                calc::FieldValue(h), calc::FieldValue(calc::PositionAt(position)->text)};
        calc::Evaluation result = calc::Evaluate(in, true);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(WholeEvaluation);

void Formula(benchmark::State& state) {
    double B = 6, h = 0.062, L = 1, C = 1, r = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(B);
        benchmark::DoNotOptimize(h);
        benchmark::DoNotOptimize(L);
        benchmark::DoNotOptimize(C);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(calc::RelativeDisplacementLimit(B, h, L, C, r));
    }
}
BENCHMARK(Formula);

void ReadField(benchmark::State& state) {
    std::string_view text = "0.062";
    for (auto _ : state) {
        benchmark::DoNotOptimize(text);
        benchmark::DoNotOptimize(calc::FieldValue(text));
    }
}
BENCHMARK(ReadField);

} // namespace

BENCHMARK_MAIN();
