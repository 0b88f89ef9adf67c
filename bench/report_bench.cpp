// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The design-review page of a 1,000-part board: built in-process from an evaluated report (the figures, the
// table and the inputs), and the real tarnvel-board run from process start to exit with --report, the board
// held by four screws so that the map has its mode shape. Target: under 200 ms for the whole run.
#include "tarnvel-board/html.h"
#include "tarnvel-board/report.h"

#include "board/analysis.h"
#include "board/parts.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kParts = 1000;

// 1,000 parts on a 9 x 7 inch board: the kinds in turn, lengths 0.2 to 0.65 inch, along a or b, on a grid.
std::string PartsText() {
    static const char* const kinds[] = {"bga",  "dip",        "resistor", "two-row",
                                        "lccc", "fine-pitch", "capacitor"};
    std::string text = "ref,kind,L,parallel,x,y\n";
    for (std::size_t i = 0; i < kParts; ++i) {
        const double x = 0.5 + static_cast<double>(i % 40) * 0.2;
        const double y = 0.5 + static_cast<double>(i / 40) * 0.24;
        text += "P" + std::to_string(i) + "," + kinds[i % 7] + ",0." + std::to_string(2 + i % 5) + "," +
                (i % 2 ? "a" : "b") + "," + std::to_string(x) + "," + std::to_string(y) + "\n";
    }
    return text;
}

board::BoardInput Board() {
    board::BoardInput in;
    in.a = 9;
    in.b = 7;
    in.h = 0.08;
    in.weight = 1.2;
    in.edges = {board::EdgeSupport::Free, board::EdgeSupport::Free, board::EdgeSupport::Free,
                board::EdgeSupport::Free};
    in.points = {{0.2, 0.2}, {8.8, 0.2}, {0.2, 6.8}, {8.8, 6.8}};
    return in;
}

// The page from a report that holds its parts: the three figures, the table of 1,000 rows, the inputs.
void Page1000Parts(benchmark::State& state) {
    const std::string text = PartsText();
    board::Analysis analysis = board::Analyse(Board(), *board::ReadPartsList(text).list);
    if (!analysis.report) {
        state.SkipWithError("the board cannot be evaluated");
        return;
    }
    board_cli::Provenance from;
    from.parts = "bench.csv";
    from.psd = "navmat";
    const board_cli::Ending ending = board_cli::EndingOf(*analysis.report);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string page = board_cli::HtmlReport(*analysis.report, ending, from);
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_kB"] = static_cast<double>(bytes) / 1e3;
}
BENCHMARK(Page1000Parts)->Unit(benchmark::kMillisecond);

// The real program, process start to exit, writing its table to /dev/null and the page to a file.
void Run1000PartsWithReport(benchmark::State& state) {
    std::string dir = (fs::temp_directory_path() / "tarnvel-report-bench-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        state.SkipWithError("cannot make a temporary folder");
        return;
    }
    const std::string parts = dir + "/parts.csv";
    std::ofstream(parts, std::ios::binary) << PartsText();
    const std::vector<std::string> arguments{
        TARNVEL_BOARD_BINARY, "--board", "9x7x0.08in",  "--mass",      "1.2lb",   "--psd",       "navmat",
        "--supports",         "FFFF",    "--point",     "0.2in,0.2in", "--point", "8.8in,0.2in", "--point",
        "0.2in,6.8in",        "--point", "8.8in,6.8in", parts,         "-o",      "/dev/null",   "--report",
        dir + "/board.html"};
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
            state.SkipWithError("tarnvel-board did not report");
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(Run1000PartsWithReport)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
