// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The real tarnvel-board from process start to exit, as a user runs it: a 1,000-part board to its table
// (target: well under 20 ms), and a 1,000,000-part list to a CSV file (target: under 1 s), to JSON and to
// its table (target: a peak resident memory under 100 MB, the `peak_rss_MB` counter). The parts lists are
// written once into a temporary folder; each iteration starts the program with posix_spawn and waits for
// it, so the times are wall-clock times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A folder of its own under the system's temporary folder, removed when the benchmarks end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string dir = (fs::temp_directory_path() / "tarnvel-board-bench-XXXXXX").string();
        if (mkdtemp(dir.data()) != nullptr)
            path_ = dir;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

const fs::path& Folder() {
    static const TemporaryFolder folder;
    return folder.path();
}

// A parts list of `count` parts on a 9 x 7 inch board: the kinds in turn, lengths from 0.2 to 1.1 inch
// (every seventh in mm), along a or b, placed by x and y on a grid that keeps them on the board, every
// tenth by r.
// At 300 Hz under NAVMAT nearly every part passes and about half the rows carry a note (r below 0.5),
// so the reports' notes are written too (four-sided packages, r raised to its floor).
std::string PartsList(std::size_t count) {
    static constexpr const char* kKinds[] = {"resistor", "capacitor", "dip", "bga",   "lccc",
                                             "lccc-j",   "two-row",   "pga", "diode", "fine-pitch"};
    std::string text = "ref,kind,L,parallel,x,y,r\n";
    text.reserve(count * 40);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t length = 2 + i % 10; // tenths of an inch
        text += 'U' + std::to_string(i + 1) + ',' + kKinds[i % std::size(kKinds)] + ',';
        if (i % 7 == 3)
            text += std::to_string(length * 254 / 100) + "mm";
        else
            text += std::to_string(length / 10) + '.' + std::to_string(length % 10);
        text += i % 3 == 0 ? ",b," : ",a,";
        if (i % 10 == 9) {
            text += ",,0." + std::to_string(5 + i % 5);
        } else {
            // x from 1 to 8 inch, y from 1 to 6 inch, in tenths.
            const std::size_t x = 10 + (i * 37) % 71, y = 10 + (i * 53) % 51;
            text += std::to_string(x / 10) + '.' + std::to_string(x % 10) + ',' + std::to_string(y / 10) +
                    '.' + std::to_string(y % 10) + ',';
        }
        text += '\n';
    }
    return text;
}

// The list of `count` parts, written on the first call.
fs::path PartsFile(std::size_t count) {
    const fs::path file = Folder() / ("parts-" + std::to_string(count) + ".csv");
    if (!fs::exists(file)) {
        std::ofstream out(file, std::ios::binary);
        out << PartsList(count);
    }
    return file;
}

// A KiCad board file of `count` footprints on a 300 x 200 mm board held by four mounting holes: QFPs of 64
// pads, each with its fabrication drawing and courtyard, on a grid; some 10 kB a footprint, as a real
// board's are with their pads' nets and layers.
fs::path KicadFile(std::size_t count) {
    const fs::path file = Folder() / ("board-" + std::to_string(count) + ".kicad_pcb");
    if (fs::exists(file))
        return file;
    std::ofstream out(file, std::ios::binary);
    out << "(kicad_pcb (version 20240108) (generator \"pcbnew\")\n  (general (thickness 1.6))\n"
           "  (gr_rect (start 0 0) (end 300 200) (layer \"Edge.Cuts\"))\n";
    for (const auto& [x, y] : {std::pair{5, 5}, {295, 5}, {5, 195}, {295, 195}})
        out << "  (footprint \"MountingHole:MountingHole_3.2mm_M3\" (layer \"F.Cu\") (at " << x << " " << y
            << ") (property \"Reference\" \"H" << x << "_" << y << "\"))\n";
    for (std::size_t i = 0; i < count; ++i) {
        const double x = 10.0 + static_cast<double>(i % 50) * 5.6,
                     y = 10.0 + static_cast<double>(i / 50) * 4.5;
        out << "  (footprint \"Package_QFP:LQFP-64_10x10mm_P0.5mm\" (layer \"F.Cu\") (at " << x << " " << y
            << " " << (i % 4) * 90 << ")\n    (property \"Reference\" \"U" << i + 1
            << "\" (at 0 -7) (layer \"F.SilkS\") (effects (font (size 1 1) (thickness 0.15))))\n"
               "    (attr smd)\n"
               "    (fp_rect (start -1.5 -1.5) (end 1.5 1.5) (stroke (width 0.1) (type solid)) (fill none) "
               "(layer \"F.Fab\"))\n"
               "    (fp_rect (start -2 -2) (end 2 2) (stroke (width 0.05) (type solid)) (fill none) (layer "
               "\"F.CrtYd\"))\n";
        for (int pad = 0; pad < 64; ++pad)
            out << "    (pad \"" << pad + 1 << "\" smd roundrect (at " << -1.6 + 0.05 * (pad % 16) << " "
                << (pad < 32 ? -1.6 : 1.6) << ") (size 0.3 1.5) (layers \"F.Cu\" \"F.Paste\" \"F.Mask\") "
                << "(roundrect_rratio 0.25) (net " << pad + 1 << " \"Net-(U" << i + 1 << "-Pad" << pad + 1
                << ")\") (pintype \"passive\") (uuid \"00000000-0000-0000-0000-0000000000" << pad % 100
                << "\"))\n";
        out << "  )\n";
    }
    out << ")\n";
    return file;
}

// Runs tarnvel-board with `arguments`, its standard output to /dev/null; its exit status, or -1 when it
// could not be started or did not exit. `peakBytes` gets its peak resident memory.
int Run(const std::vector<std::string>& arguments, double& peakBytes) {
    std::vector<char*> argv;
    std::string program = TARNVEL_BOARD_BINARY;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status))
        return -1;
    peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0; // kilobytes on Linux
    return WEXITSTATUS(status);
}

// Each iteration is one whole run; status 0 or 1 (some part falls short) is a run that reported.
void RunEach(benchmark::State& state, const std::vector<std::string>& arguments, std::size_t parts) {
    if (Folder().empty()) {
        state.SkipWithError("cannot make a temporary folder");
        return;
    }
    double peak = 0.0;
    for (auto _ : state) {
        double bytes = 0.0;
        const int status = Run(arguments, bytes);
        peak = std::max(peak, bytes);
        if (status != 0 && status != 1) {
            state.SkipWithError(("tarnvel-board exited with status " + std::to_string(status)).c_str());
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(parts));
    state.counters["parts"] = static_cast<double>(parts);
    state.counters["peak_rss_MB"] = peak / 1e6;
}

// A 1,000-part board to its table, process start to exit. Target: well under 20 ms.
void Board1000Parts(benchmark::State& state) {
    constexpr std::size_t kParts = 1000;
    const fs::path parts = PartsFile(kParts);
    RunEach(state, {"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", parts.string()}, kParts);
}
BENCHMARK(Board1000Parts)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same board held by four screws near its corners, its mode and every part's r from the plate model,
// process start to exit. Target: under 100 ms.
void Board1000PartsOnFourScrews(benchmark::State& state) {
    constexpr std::size_t kParts = 1000;
    const fs::path parts = PartsFile(kParts);
    RunEach(state,
            {"--board", "9x7x0.08in", "--mass", "1.2lb", "--psd", "navmat", "--supports", "FFFF", "--point",
             "0.2in,0.2in", "--point", "8.8in,0.2in", "--point", "0.2in,6.8in", "--point", "8.8in,6.8in",
             parts.string()},
            kParts);
}
BENCHMARK(Board1000PartsOnFourScrews)->UseRealTime()->Unit(benchmark::kMillisecond);

// A 2,000-footprint KiCad board file of some 20 MB, read and evaluated, process start to exit. Target:
// under 300 ms.
void KicadBoard2000Footprints(benchmark::State& state) {
    constexpr std::size_t kFootprints = 2000;
    const fs::path board = KicadFile(kFootprints);
    state.counters["file_MB"] = static_cast<double>(fs::file_size(board)) / 1e6;
    RunEach(state, {"--fn", "100", "--psd", "navmat", board.string()}, kFootprints);
}
BENCHMARK(KicadBoard2000Footprints)->UseRealTime()->Unit(benchmark::kMillisecond);

// A 1,000,000-part list to a CSV file (written whole, synced and renamed into place), process start to
// exit. Target: under 1 s.
void MillionPartsToCsv(benchmark::State& state) {
    constexpr std::size_t kParts = 1000000;
    const fs::path parts = PartsFile(kParts);
    const fs::path out = Folder() / "report.csv";
    RunEach(state,
            {"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "csv", "-o", out.string(),
             parts.string()},
            kParts);
}
BENCHMARK(MillionPartsToCsv)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// A 1,000,000-part list to a JSON file, process start to exit. Target: a peak resident memory under 100 MB.
void MillionPartsToJson(benchmark::State& state) {
    constexpr std::size_t kParts = 1000000;
    const fs::path parts = PartsFile(kParts);
    const fs::path out = Folder() / "report.json";
    RunEach(state,
            {"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "json", "-o",
             out.string(), parts.string()},
            kParts);
}
BENCHMARK(MillionPartsToJson)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);

// A 1,000,000-part list to its table, worst margin first, process start to exit. Target: a peak resident
// memory under 100 MB.
void MillionPartsToTable(benchmark::State& state) {
    constexpr std::size_t kParts = 1000000;
    const fs::path parts = PartsFile(kParts);
    const fs::path out = Folder() / "report.txt";
    RunEach(state,
            {"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "-o", out.string(), parts.string()},
            kParts);
}
BENCHMARK(MillionPartsToTable)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
