// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// tarnvel-board as a user runs it: the real program, its standard output, standard error and exit status.
#include "board/response.h"
#include "board/units.h"

#include "calc/displacement.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class TarnvelBoard : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarnvel-board-test-" + std::to_string(getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path File(const std::string& name, const std::string& text) {
        Put(dir_ / name, text);
        return dir_ / name;
    }

    // Runs the program with `args`, `input` on standard input and `env` added to the environment.
    Result Run(const std::vector<std::string>& args, const std::string& input = "",
               const std::vector<std::string>& env = {}) {
        const fs::path in = File("stdin", input), out = dir_ / "stdout", err = dir_ / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> all{TARNVEL_BOARD_BINARY};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<std::string> environment;
        for (char** e = environ; *e != nullptr; ++e)
            environment.emplace_back(*e);
        environment.insert(environment.end(), env.begin(), env.end());
        std::vector<char*> envp;
        for (std::string& e : environment)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_t pid = 0;
        Result result;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        result.out = Slurp(out);
        result.err = Slurp(err);
        return result;
    }

    fs::path dir_;
};

// A board with one part of each outcome, positions by x, y, by r and in millimetres.
const char kParts[] = "ref,L,kind,parallel,x,y,notes\n"
                      "U1,1,dip,a,4.5,3.5,main CPU\n"
                      "U2,25mm,bga,b,2.25,1.75,\n"
                      "R1,0.25,resistor,a,1,1,\n"
                      "C1,0.3,capacitor,b,8,6,\n";

const std::vector<std::string> kBoard{"--board", "9x7x0.08in", "--mass",
                                      "1.2lb",   "--psd",      "20:0.04,2000:0.04"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(TarnvelBoard, TheBoardsTable) {
    const fs::path parts = File("parts.csv", kParts);
    const Result r = Run(With(kBoard, {parts.string()}));
    EXPECT_EQ(r.status, 1) << "U1 and U2 fall short";
    EXPECT_EQ(r.err, "tarnvel-board: " + parts.string() + ": ignoring column notes\n");
    // The simply supported 9 × 7 × 0.08 in epoxy-glass board of 1.2 lb rings at 68.16 Hz; with Q = √fn and
    // 0.04 g²/Hz Miles gives 5.95 G rms, and 9.8·G/fn² inch of displacement (Steinberg), 0.0125 in.
    for (const char* figure : {"68.16 Hz", "8.256", "0.04 g^2/Hz", "8.9 G rms", "5.95 G rms", "0.0125 in",
                               "0.0376 in", "103.9 Hz"})
        EXPECT_NE(r.out.find(figure), std::string::npos) << figure << "\n" << r.out;
    // Worst margin first: U2 (BGA, quarter/quarter), U1 (DIP at the centre), then the passives.
    const std::size_t u2 = r.out.find("\n  U2 "), u1 = r.out.find("\n  U1 "), c1 = r.out.find("\n  C1 "),
                      r1 = r.out.find("\n  R1 ");
    ASSERT_NE(u2, std::string::npos) << r.out;
    EXPECT_LT(u2, u1);
    EXPECT_LT(u1, c1);
    EXPECT_LT(c1, r1);
    EXPECT_NE(r.out.find("FAIL", u2), std::string::npos);
    EXPECT_NE(r.out.find("r 0.148 from the position is below the floor 0.5, which is used"),
              std::string::npos);
    EXPECT_NE(r.out.find("Life assumes Steinberg's fatigue exponent 6.4"), std::string::npos);
}

TEST_F(TarnvelBoard, ExitStatus) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        const char* parts;
        int status;
    };
    const std::vector<Row> rows{
        {"every part passes", {"--fn", "1500"}, "ref,L,kind,r\nR1,0.2,resistor,1\n", 0},
        {"a part falls short", {"--fn", "60"}, "ref,L,kind,r\nR1,2,lccc,1\n", 1},
        {"a required life not met",
         {"--fn", "1500", "--hours", "1e30"},
         "ref,L,kind,r\nR1,0.2,resistor,1\n",
         1},
        {"a bad row", {"--fn", "1500"}, "ref,L,kind,r\nR1,0.2,resistor,1\nR2,0.2,relay,1\n", 2},
    };
    for (const Row& row : rows) {
        const fs::path parts = File("parts.csv", row.parts);
        const Result r =
            Run(With(With({"--board", "9x7x0.08in", "--psd", "navmat"}, row.args), {parts.string()}));
        EXPECT_EQ(r.status, row.status) << row.name << "\n" << r.err;
        EXPECT_NE(r.out.find("R1"), std::string::npos) << row.name << ": the good rows are reported";
    }
}

TEST_F(TarnvelBoard, RefusalsAreOneLineAndNoOutput) {
    const std::string parts = File("parts.csv", kParts).string();
    const std::string empty = File("empty.csv", "\xEF\xBB\xBF\r\n").string();
    const std::string headerOnly = File("header.csv", "ref,L,kind,r\n").string();
    const std::string noL = File("nol.csv", "ref,kind,r\nU1,dip,1\n").string();
    const std::string badProfile = File("profile.txt", "20 0.04\n10 0.04\n").string();
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Row> rows{
        {"no board", {"--fn", "100", "--psd", "navmat", parts}, "--board is required"},
        {"board of two lengths",
         {"--board", "9x7", "--fn", "100", "--psd", "navmat", parts},
         "--board: '9x7' is not AxBxH, three lengths with their unit (e.g. 9x7x0.08in or 229x178x2mm)"},
        {"board in an unknown unit",
         {"--board", "9x7x2ft", "--fn", "100", "--psd", "navmat", parts},
         "--board: '9x7x2ft' is not AxBxH"},
        {"neither fn nor mass",
         {"--board", "9x7x0.08in", "--psd", "navmat", parts},
         "no board frequency: give --fn, or --mass to estimate it"},
        {"mass without unit",
         {"--board", "9x7x0.08in", "--mass", "1.2", "--psd", "navmat", parts},
         "--mass: '1.2' is not a mass with its unit: g, kg, lb or oz"},
        {"decimal comma on the command line",
         {"--board", "9x7x0.08in", "--fn", "68,5", "--psd", "navmat", parts},
         "--fn: '68,5' is not a frequency in Hz or kHz (numbers take a decimal point)"},
        {"no profile", {"--board", "9x7x0.08in", "--fn", "100", parts}, "--psd is required"},
        {"profile not increasing",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "20:0.01,10:0.02", parts},
         "--psd: frequencies must increase: 10 Hz follows 20 Hz"},
        {"profile level zero",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "20:0.01,80:0", parts},
         "--psd: level 0 g^2/Hz at 80 Hz is not above 0"},
        {"profile file not increasing",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "@" + badProfile, parts},
         badProfile + ": frequencies must increase: 10 Hz follows 20 Hz"},
        {"profile file missing",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "@/no/such/profile", parts},
         "cannot read the profile /no/such/profile: No such file or directory"},
        {"fn outside the band",
         {"--board", "9x7x0.08in", "--fn", "10", "--psd", "navmat", parts},
         "fn 10 Hz is below the profile's band, which starts at 20 Hz: Miles' equation needs the input level "
         "at "
         "fn"},
        {"parts list missing",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "/no/such.csv"},
         "cannot read /no/such.csv: No such file or directory"},
        {"parts list empty",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", empty},
         empty + " is empty"},
        {"header only",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", headerOnly},
         headerOnly + ": no parts after the header"},
        {"header without L",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", noL},
         noL + ": the header has no column 'L' (columns: ref, L, kind or C, parallel, r or x and y)"},
        {"unknown format",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "--format", "xml", parts},
         "--format: 'xml' is not table, csv or json"},
        {"Q of zero",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "--q", "0", parts},
         "--q: Q 0 is below 1, which would mean the board attenuates; a damping ratio zeta gives Q = 1/(2 "
         "zeta)"},
        {"unknown option",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "--fm", "100", parts},
         "--fm"},
        {"a missing list whose name has a line break",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "/no/such\nlist.csv"},
         "cannot read /no/such\\nlist.csv: No such file or directory"},
        {"an unexpected argument with a line break",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", parts, "more\nparts.csv"},
         "more\\nparts.csv"},
        // Slips of the hand that once passed.
        {"a board without its unit",
         {"--board", "233.35x160x1.6", "--mass", "0.75kg", "--psd", "navmat", parts},
         "--board: '233.35x160x1.6' has no unit: 233.35 x 160 x 1.6 in, or mm?"},
        {"a damping ratio where Q goes",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "--q", "0.05", parts},
         "--q: Q 0.05 is below 1, which would mean the board attenuates; a damping ratio zeta gives Q = 1/(2 "
         "zeta): 0.05 as zeta is Q 10"},
        {"a mass lighter than the bare laminate",
         {"--board", "9x7x0.08in", "--mass", "0.1lb", "--psd", "navmat", parts},
         "--mass: 0.1 lb (45.4 g) is less than half the bare laminate's 0.337 lb (153 g) from --board and "
         "--density"},
        {"the report over the parts list",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "-o", parts, parts},
         "--output: " + parts + " is the parts list, which the report would replace"},
        {"the report over the parts list, spelt otherwise",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "-o",
          (fs::path(parts).parent_path() / "." / "parts.csv").string(), parts},
         "is the parts list, which the report would replace"},
        {"the report over the profile",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "@" + badProfile, "-o", badProfile, parts},
         "--output: " + badProfile + " is the profile, which the report would replace"},
        {"a floor of r above 1",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "--r-min", "2", parts},
         "--r-min: '2' is not between 0 and 1"},
        {"a density of 0",
         {"--board", "9x7x0.08in", "--mass", "1lb", "--density", "0", "--psd", "navmat", parts},
         "--density: the density must be > 0"},
        {"output into a missing folder",
         {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "-o", "/no/such/dir/out.txt", parts},
         "cannot write /no/such/dir/out.txt: No such file or directory"},
    };
    for (const Row& row : rows) {
        const Result r = Run(row.args);
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_EQ(r.out, "") << row.name;
        EXPECT_EQ(Lines(r.err), 1u) << row.name << ": " << r.err;
        EXPECT_EQ(r.err.rfind("tarnvel-board: ", 0), 0u) << row.name << ": " << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << row.name << ": " << r.err;
    }
}

// The refusals above leave the files they name as they were.
TEST_F(TarnvelBoard, TheReportNeverReplacesAnInput) {
    const fs::path parts = File("parts.csv", kParts);
    const Result r = Run(
        {"--board", "9x7x0.08in", "--fn", "100", "--psd", "navmat", "-o", parts.string(), parts.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Slurp(parts), kParts);
}

// Words are read in any case, alike for every option.
TEST_F(TarnvelBoard, KeywordsInAnyCase) {
    const fs::path parts = File("parts.csv", "ref,L,kind,r,parallel\nU1,1,dip,1,A\n");
    const Result r = Run({"--board", "9x7x0.08IN", "--mass", "1.2LB", "--supports", "CLAMPED", "--q", "SQRT",
                          "--units", "MM", "--format", "JSON", "--psd", "NavMat", parts.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["board"]["fn_from"], "finite-elements");
}

// A part without its edge lies along the worse; a BGA along both whatever its edge: a 90° turn no longer
// gains it margin.
TEST_F(TarnvelBoard, APartsEdgeCannotFlatterIt) {
    const fs::path parts = File(
        "parts.csv", "ref,L,kind,x,y,parallel\nU1,1,bga,4.5,3.5,a\nU2,1,bga,4.5,3.5,b\nU3,1,dip,4.5,3.5,\n");
    const Result r =
        Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "json", parts.string()});
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json["parts"].size(), 3u);
    EXPECT_EQ(json["parts"][0]["margin"], json["parts"][1]["margin"]);
    EXPECT_EQ(json["parts"][0]["B_in"], 7.0);
    EXPECT_EQ(json["parts"][2]["B_in"], 7.0);
}

// The JSON report carries the run's time, each file read with its SHA-256 (as sha256sum reads it), and the
// inputs as given; a UTF-16 export of the list, its header naming millimetres, reads as the list itself.
TEST_F(TarnvelBoard, TheReportSaysWhatItWasComputedFrom) {
    const std::string utf8 = "ref,L_mm,kind,parallel,x,y\r\nU1,25.4,dip,a,4.5,3.5\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : utf8) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    const fs::path parts = File("parts.csv", utf16);
    const fs::path profile = File("profile.txt", "Frequency (Hz);PSD (g2/Hz)\n20;0,04\n2000;0,04\n");
    const Result r = Run({"--board", "229x178x2mm", "--fn", "300", "--psd", "@" + profile.string(),
                          "--format", "json", parts.string()},
                         "", {"SOURCE_DATE_EPOCH=1000000000"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["schema"], 2);
    EXPECT_EQ(json["time"], "2001-09-09T01:46:40Z");
    EXPECT_EQ(json["inputs"]["board"], "229x178x2mm");
    EXPECT_EQ(json["inputs"]["profile"]["as_given"], "@" + profile.string());
    EXPECT_EQ(json["inputs"]["profile"]["breakpoints"], nlohmann::json::parse("[[20, 0.04], [2000, 0.04]]"));
    ASSERT_EQ(json["files"].size(), 2u);
    for (const auto& [file, role] : {std::pair{profile, "profile"}, std::pair{parts, "parts"}}) {
        const auto& entry = json["files"][role == std::string("profile") ? 0 : 1];
        EXPECT_EQ(entry["role"], role);
        EXPECT_EQ(entry["name"], file.string());
        EXPECT_EQ(entry["size"], fs::file_size(file));
        std::string digest;
        if (FILE* pipe = popen(("sha256sum '" + file.string() + "'").c_str(), "r")) {
            char line[128] = {};
            if (std::fgets(line, sizeof line, pipe) != nullptr)
                digest.assign(line, 64);
            pclose(pipe);
        }
        EXPECT_EQ(entry["sha256"], digest) << role;
    }
    EXPECT_EQ(json["parts"][0]["L_in"], 1.0) << "25.4 in a column of millimetres";
}

// The boards of the README, each by one command: card guides, wedge locks, four screws with a heavy part.
TEST_F(TarnvelBoard, BoardsAsTheyAreHeld) {
    const fs::path parts = File("parts.csv", "ref,L,kind,x,y,parallel,mass\n"
                                             "U1,17mm,bga,4.5in,0.5in,a,\n"
                                             "T1,30mm,two-row,2in,3.5in,a,45g\n"
                                             "J1,2in,two-row,4.5in,6in,a,\n");
    struct Row {
        const char* name;
        std::vector<std::string> held;
        const char* edges;
    };
    const std::vector<Row> rows{
        {"card guides", {"--supports", "SSFF"}, "SSFF"},
        {"wedge locks", {"--supports", "ccff"}, "CCFF"},
        {"four screws",
         {"--supports", "FFFF", "--point", "0.25in,0.25in", "--point", "8.75in,0.25in", "--point",
          "0.25in,6.75in", "--point", "8.75in,6.75in"},
         "FFFF"},
    };
    for (const Row& row : rows) {
        const std::vector<std::string> args =
            With(With({"--board", "9x7x0.062in", "--mass", "0.5lb", "--psd", "navmat"}, row.held),
                 {parts.string()});
        const Result table = Run(args);
        EXPECT_TRUE(table.status == 0 || table.status == 1) << row.name << ": " << table.err;
        EXPECT_NE(table.out.find(std::string("finite elements, ")), std::string::npos)
            << row.name << table.out;
        EXPECT_NE(table.out.find(std::string("edges ") + row.edges), std::string::npos) << row.name;
        const Result json = Run(With(args, {"--format", "json"}));
        const auto doc = nlohmann::json::parse(json.out);
        EXPECT_EQ(doc["inputs"]["supports"], row.edges) << row.name;
        EXPECT_EQ(doc["inputs"]["part_masses"], 1) << row.name;
        const auto& model = doc["board"]["model"];
        EXPECT_EQ(model["method"], "finite elements") << row.name;
        EXPECT_EQ(model["mode_grid"]["w"].size(), 13u * 9u) << row.name;
        EXPECT_EQ(doc["board"]["fn_from"], "finite-elements") << row.name;
        EXPECT_EQ(doc["board"]["fn_hz"], model["fn_hz"]) << row.name;
    }
    const Result loose = Run({"--board", "9x7x0.062in", "--mass", "0.5lb", "--psd", "navmat", "--supports",
                              "FFFF", parts.string()});
    EXPECT_EQ(loose.status, 2);
    EXPECT_EQ(loose.err,
              "tarnvel-board: the board is free to move as a rigid body: give --supports with an edge "
              "held, or --point at three places not on one line\n");
    const Result off =
        Run({"--board", "9x7x0.062in", "--mass", "0.5lb", "--psd", "navmat", "--supports", "FFFF", "--point",
             "1in,1in", "--point", "8in,1in", "--point", "10in,6in", parts.string()});
    EXPECT_EQ(off.err, "tarnvel-board: --point: the support at 10 in, 6 in is not on the board\n");
}

// One board, as KiCad's board file, its position file and its CSV give it: the same parts land in the same
// places and get the same figures. KiCad's board file has y down from its own origin; the position files
// have y up from the board's corner.
TEST_F(TarnvelBoard, OneBoardFromEachEcadFile) {
    const std::string hole = R"((footprint "MountingHole:MountingHole_3.2mm_M3" (layer "F.Cu") (at %X %Y)
    (property "Reference" "%R") (attr exclude_from_pos_files exclude_from_bom)
    (pad "" np_thru_hole circle (at 0 0) (size 3.2 3.2) (drill 3.2) (layers "*.Cu")))
)";
    std::string holes;
    int n = 0;
    for (const auto& [x, y] : {std::pair{"5", "5"}, {"95", "5"}, {"5", "75"}, {"95", "75"}}) {
        std::string h = hole;
        h.replace(h.find("%X"), 2, x);
        h.replace(h.find("%Y"), 2, y);
        h.replace(h.find("%R"), 2, "H" + std::to_string(++n));
        holes += h;
    }
    const fs::path pcb = File("board.kicad_pcb", R"((kicad_pcb (version 20240108) (generator "pcbnew")
  (general (thickness 1.6))
  (gr_rect (start 0 0) (end 100 80) (layer "Edge.Cuts"))
  (footprint "Package_BGA:BGA-64_9.0x9.0mm" (layer "F.Cu") (at 50 40)
    (property "Reference" "U1") (attr smd)
    (fp_rect (start -4.5 -4.5) (end 4.5 4.5) (layer "F.Fab")))
  (footprint "Package_SO:SOIC-8_3.9x4.9mm_P1.27mm" (layer "F.Cu") (at 20 20 90)
    (property "Reference" "U2") (attr smd)
    (fp_rect (start -1.95 -2.45) (end 1.95 2.45) (layer "F.Fab")))
  (footprint "Resistor_SMD:R_0805_2012Metric" (layer "B.Cu") (at 80 60)
    (property "Reference" "R1") (attr smd)
    (fp_rect (start -1 -0.6) (end 1 0.6) (layer "B.Fab")))
)" + holes + ")\n");
    const fs::path pos =
        File("board.pos", "### Footprint positions ###\n"
                          "## Unit = mm, Angle = deg.\n"
                          "## Side : all\n"
                          "# Ref  Val    Package                   PosX     PosY     Rot      Side\n"
                          "U1     BGA64  BGA-64_9.0x9.0mm          50.0000  40.0000  0.0000   top\n"
                          "U2     LM358  SOIC-8_3.9x4.9mm_P1.27mm  20.0000  60.0000  90.0000  top\n"
                          "R1     10k    R_0805_2012Metric         80.0000  20.0000  0.0000   bottom\n"
                          "## End\n");
    const fs::path csv = File("board-pos.csv", "Ref,Val,Package,PosX,PosY,Rot,Side\n"
                                               "U1,BGA64,BGA-64_9.0x9.0mm,50,40,0,top\n"
                                               "U2,LM358,SOIC-8_3.9x4.9mm_P1.27mm,20,60,90,top\n"
                                               "R1,10k,R_0805_2012Metric,80,20,0,bottom\n");
    const fs::path altium = File(
        "board-altium.csv",
        "Altium Designer Pick and Place Locations\n\n"
        "\"Designator\",\"Comment\",\"Layer\",\"Footprint\",\"Center-X(mm)\",\"Center-Y(mm)\",\"Rotation\"\n"
        "\"U1\",\"BGA64\",\"TopLayer\",\"BGA-64_9.0x9.0mm\",\"50\",\"40\",\"0\"\n"
        "\"U2\",\"LM358\",\"TopLayer\",\"SOIC-8_3.9x4.9mm_P1.27mm\",\"20\",\"60\",\"90\"\n"
        "\"R1\",\"10k\",\"BottomLayer\",\"R_0805_2012Metric\",\"80\",\"20\",\"0\"\n");
    const std::vector<std::string> held{"--supports", "FFFF",    "--point",  "5mm,5mm", "--point",
                                        "95mm,5mm",   "--point", "5mm,75mm", "--point", "95mm,75mm"};
    const auto report = [&](const fs::path& file, bool board) {
        std::vector<std::string> args{"--mass", "100g", "--psd", "navmat", "--format", "json"};
        if (board) {
            args.push_back("--board");
            args.push_back("100x80x1.6mm");
        }
        const Result r = Run(With(With(args, held), {file.string()}));
        EXPECT_NE(r.status, 2) << file << ": " << r.err;
        return nlohmann::json::parse(r.out.empty() ? "{}" : r.out);
    };
    const auto fromPcb = report(pcb, false);
    ASSERT_EQ(fromPcb["parts"].size(), 3u) << fromPcb.dump();
    EXPECT_EQ(fromPcb["inputs"]["h_in"], 1.6 / 25.4) << "the board file's thickness";
    EXPECT_EQ(fromPcb["skipped"].size(), 4u) << "the mounting holes, listed";
    for (const auto& other : {report(pos, true), report(csv, true), report(altium, true)}) {
        ASSERT_EQ(other["parts"].size(), 3u) << other.dump();
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& a = fromPcb["parts"][i];
            const auto& b = other["parts"][i];
            EXPECT_EQ(a["ref"], b["ref"]);
            EXPECT_EQ(a["parallel"], b["parallel"]) << a["ref"];
            for (const char* figure : {"x_in", "y_in", "L_in", "r", "z_allow_in", "margin"})
                EXPECT_NEAR(a[figure].get<double>(), b[figure].get<double>(),
                            1e-9 * std::abs(a[figure].get<double>()))
                    << a["ref"] << " " << figure;
        }
    }
    // U2 turned 90°: its 4.9 mm side lies along a; U1 lands at the board's (50, 40) mm.
    EXPECT_EQ(fromPcb["parts"][1]["parallel"], "a");
    EXPECT_EQ(fromPcb["parts"][2]["notes"][0], "bottom side");
    EXPECT_NEAR(fromPcb["parts"][0]["x_mm"].get<double>(), 50.0, 1e-9);
    EXPECT_NEAR(fromPcb["parts"][0]["y_mm"].get<double>(), 40.0, 1e-9);
    EXPECT_NEAR(fromPcb["parts"][1]["y_mm"].get<double>(), 60.0, 1e-9) << "y up from the board's corner";

    // The mounting holes hold the board when the command line does not say how it is held.
    const Result byHoles = Run({"--mass", "100g", "--psd", "navmat", pcb.string()});
    EXPECT_NE(byHoles.out.find("edges FFFF, 4 points"), std::string::npos) << byHoles.out << byHoles.err;
    EXPECT_NE(byHoles.err.find("not evaluated: H1 (mounting hole"), std::string::npos) << byHoles.err;
    // A placement file has no outline: its board is given.
    const Result noBoard = Run({"--fn", "300", "--psd", "navmat", pos.string()});
    EXPECT_EQ(noBoard.status, 2);
    EXPECT_EQ(noBoard.err, "tarnvel-board: --board is required: a placement file has no outline\n");
}

TEST_F(TarnvelBoard, BadRowsAreReportedAndTheRestEvaluated) {
    const fs::path parts =
        File("parts.csv",
             "ref,L,kind,x,y\nU1,1,dip,4.5,3.5\nU2,x,dip,1,1\nU3,1,dip,20,1\nU1,1,dip,1,1\nU4,1,bga,2,2\n");
    const Result r =
        Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "json", parts.string()});
    EXPECT_EQ(r.status, 2);
    const std::string f = parts.string();
    EXPECT_EQ(r.err, f + ":3: L 'x' is not a length (a number, in, mm, cm or mil)\n" + f +
                         ":4: position x 20 in, y 1 in is not inside the board (9 in by 7 in)\n" + f +
                         ":5: ref 'U1' repeats line 2\n");
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json["parts"].size(), 2u);
    EXPECT_EQ(json["parts"][0]["ref"], "U1");
    EXPECT_EQ(json["parts"][1]["ref"], "U4");
    EXPECT_EQ(json["parts"][1]["line"], 6);
    ASSERT_EQ(json["errors"].size(), 3u);
    EXPECT_EQ(json["errors"][2]["line"], 5);
    EXPECT_EQ(json["errors"][2]["message"], "ref 'U1' repeats line 2");
}

TEST_F(TarnvelBoard, JsonNamesAndExactNumbers) {
    const fs::path parts = File("parts.csv", "ref,L,C,r,parallel\nU1,1.3,1.26,0.707,a\n");
    const Result r = Run({"--board", "229x178x2mm", "--mass", "0.5kg", "--supports", "clamped", "--psd",
                          "navmat", "--format", "json", parts.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    const auto& b = json["board"];
    for (const char* name : {"a_in", "b_in", "h_in", "fn_hz", "fn_from", "q", "psd_at_fn", "input_grms",
                             "response_grms", "z1sigma_in", "z3sigma_in", "required_fn_hz"})
        EXPECT_TRUE(b.contains(name)) << name;
    EXPECT_EQ(b["fn_from"], "finite-elements");
    EXPECT_EQ(b["a_in"].get<double>(), 229 / 25.4);
    EXPECT_EQ(b["h_in"].get<double>(), 2 / 25.4);
    const auto& p = json["parts"][0];
    for (const char* name : {"line", "ref", "B_in", "L_in", "C", "r", "z_allow_in", "margin", "cycles",
                             "life_hours", "pass", "notes"})
        EXPECT_TRUE(p.contains(name)) << name;
    // The numbers read back as the very doubles computed: Z is the dialog's own.
    const double z = calc::RelativeDisplacementLimit(229 / 25.4, 2 / 25.4, 1.3, 1.26, 0.707);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(p["z_allow_in"].get<double>()), std::bit_cast<std::uint64_t>(z));
    EXPECT_EQ(p["margin"].get<double>(), z / b["z3sigma_in"].get<double>());
    EXPECT_EQ(json["errors"].size(), 0u);
    const std::string assumptions = json["assumptions"].dump();
    EXPECT_NE(assumptions.find("anchored at 2e7 cycles"), std::string::npos);
    EXPECT_NE(assumptions.find("edges CCCC"), std::string::npos);
}

// The cells of a CSV report's first part, by the header's names (no cell here is quoted).
std::vector<std::pair<std::string, std::string>> FirstRow(std::string text, char separator, const char* eol) {
    const auto cells = [&](std::string line) {
        std::vector<std::string> out;
        for (std::size_t at = 0, next = 0; next != std::string::npos; at = next + 1)
            out.push_back(line.substr(at, (next = line.find(separator, at)) - at));
        return out;
    };
    const std::size_t end = text.find(eol), second = end + std::string(eol).size();
    const std::vector<std::string> names = cells(text.substr(0, end)),
                                   values = cells(text.substr(second, text.find(eol, second) - second));
    std::vector<std::pair<std::string, std::string>> out;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i)
        out.emplace_back(names[i], values[i]);
    return out;
}

TEST_F(TarnvelBoard, CsvKeepsTheInputsDialectAndFullPrecision) {
    struct Row {
        const char* name;
        std::string parts;
        char separator;
        const char* eol;
        std::string bom;
        std::vector<std::pair<std::string, std::string>> cells; // some of the first part's
    };
    const std::vector<Row> rows{
        {"commas, LF",
         "ref,L,kind,r\nU1,0.5,dip,0.707\n",
         ',',
         "\n",
         "",
         {{"line", "2"}, {"ref", "U1"}, {"B_in", "7"}, {"L_in", "0.5"}, {"C", "1"}, {"r", "0.707"}}},
        {"semicolons, decimal commas, CRLF, byte-order mark",
         "\xEF\xBB\xBFref;L;kind;r\r\nU1;0,5;dip;0,707\r\n",
         ';',
         "\r\n",
         "\xEF\xBB\xBF",
         {{"line", "2"}, {"ref", "U1"}, {"B_in", "7"}, {"L_in", "0,5"}, {"C", "1"}, {"r", "0,707"}}},
        {"tabs",
         "ref\tL\tkind\tr\nU1\t0.5\tdip\t0.707\n",
         '\t',
         "\n",
         "",
         {{"line", "2"}, {"ref", "U1"}, {"B_in", "7"}, {"L_in", "0.5"}, {"C", "1"}, {"r", "0.707"}}},
    };
    for (const Row& row : rows) {
        const fs::path parts = File("parts.csv", row.parts);
        const Result r = Run(
            {"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "csv", parts.string()});
        EXPECT_EQ(r.status, 0) << row.name << r.err;
        ASSERT_EQ(r.out.rfind(row.bom + "line" + row.separator + "ref" + row.separator, 0), 0u)
            << row.name << "\n"
            << r.out;
        const auto cells = FirstRow(r.out.substr(row.bom.size()), row.separator, row.eol);
        for (const auto& cell : row.cells)
            EXPECT_NE(std::find(cells.begin(), cells.end(), cell), cells.end())
                << row.name << ": " << cell.first << " " << cell.second << "\n"
                << r.out;
    }
    // Full precision: Z in the CSV is the double itself.
    const fs::path parts = File("parts.csv", "ref,L,kind,r\nU1,0.5,dip,0.707\n");
    const Result r =
        Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "csv", parts.string()});
    const auto cells = FirstRow(r.out, ',', "\n");
    const auto z =
        std::find_if(cells.begin(), cells.end(), [](const auto& c) { return c.first == "z_allow_in"; });
    ASSERT_NE(z, cells.end()) << r.out;
    EXPECT_EQ(board::ParseNumber(z->second), calc::RelativeDisplacementLimit(7, 0.08, 0.5, 1.0, 0.707))
        << "without its edge the part lies along the worse, shorter edge";
}

// A list longer than the batches the CSV report is written in keeps its order, and loses no row.
TEST_F(TarnvelBoard, LongListsKeepTheirOrder) {
    std::string list = "ref,L,kind,r\n";
    for (int i = 1; i <= 10000; ++i)
        list += "U" + std::to_string(i == 9000 ? 17 : i) + ",1,dip,1\n";
    const fs::path parts = File("parts.csv", list);
    const Result r =
        Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "csv", parts.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, parts.string() + ":9001: ref 'U17' repeats line 18\n");
    ASSERT_EQ(Lines(r.out), 10000u);
    std::size_t expected = 2, at = r.out.find('\n') + 1;
    for (; at < r.out.size(); at = r.out.find('\n', at) + 1, ++expected) {
        if (expected == 9001)
            ++expected;
        ASSERT_EQ(r.out.substr(at, r.out.find(',', at) - at), std::to_string(expected));
    }
}

TEST_F(TarnvelBoard, StandardInput) {
    const Result r = Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "-"},
                         "ref,L,kind,r\nU1,1,dip,1\nU2,1,nope,1\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "<stdin>:3: unknown kind 'nope' (see tarnvel-board --help for the kinds)\n");
    EXPECT_NE(r.out.find("tarnvel-board: <stdin>, 1 part on a 9 x 7 x 0.08 in board"), std::string::npos)
        << r.out;
}

TEST_F(TarnvelBoard, OutputFileIsWrittenWholeOrNotAtAll) {
    const fs::path parts = File("parts.csv", kParts);
    const fs::path out = File("report.json", "the old report\n");
    // A failed run leaves the old file as it was, and nothing beside it.
    Result r = Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "20:0.04,10:0.04", "-o", out.string(),
                    parts.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Slurp(out), "the old report\n");
    // A run that ends in a refusal after the parts were read leaves it too.
    r = Run({"--board", "9x7x0.08in", "--mass", "1g", "--psd", "navmat", "-o", out.string(), parts.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Slurp(out), "the old report\n");
    // A good run replaces it whole, and standard output stays empty.
    r = Run({"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "--format", "json", "-o",
             out.string(), parts.string()});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(nlohmann::json::parse(Slurp(out))["parts"].size(), 4u);
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir_))
        files += entry.path().filename().string().starts_with("report.json") ? 1u : 0u;
    EXPECT_EQ(files, 1u) << "no temporary file is left";
    // A file that cannot be replaced is reported.
    const fs::path folder = dir_ / "a-folder";
    fs::create_directories(folder);
    r = Run(
        {"--board", "9x7x0.08in", "--fn", "300", "--psd", "navmat", "-o", folder.string(), parts.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tarnvel-board: cannot write " + folder.string() + ": is a folder\n");
}

// A German user's shell: numbers are read and written the same way whatever the locale.
TEST_F(TarnvelBoard, TheProcessLocaleChangesNothing) {
    const fs::path parts = File("parts.csv", kParts);
    for (const char* format : {"table", "csv", "json"}) {
        const auto args = With(kBoard, {"--format", format, parts.string()});
        const Result c = Run(args, "", {"LC_ALL=C"});
        const Result de = Run(args, "", {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
        EXPECT_EQ(de.out, c.out) << format;
        EXPECT_EQ(de.status, c.status) << format;
    }
}

TEST_F(TarnvelBoard, HelpAndVersion) {
    const Result help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* text : {"Usage: tarnvel-board [OPTIONS] PARTS", "--board", "--psd", "navmat",
                             "Standard DIP", "dip-side-brazed", "Exit status"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    EXPECT_EQ(help.out.back(), '\n');
    const Result version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tarnvel-board ", 0), 0u);
}

} // namespace
