// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Random profiles by name, by slope and from spreadsheet exports: the standards' overall levels, the
// profile as the report shows it, and the profiles and files that are refused.
#include "board/psd.h"
#include "board/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// True when `value` rounds to `stated`, which is written to `decimals` decimals.
::testing::AssertionResult RoundsTo(double value, double stated, int decimals) {
    const double half = 0.5 * std::pow(10.0, -decimals);
    if (std::abs(value - stated) <= half)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << board::FormatNumber(value) << " does not round to " << stated;
}

const board::NamedProfile* Find(std::string_view name) {
    for (const board::NamedProfile& p : board::NamedProfiles())
        if (p.name == name)
            return &p;
    return nullptr;
}

// Each standard quotes its profile's overall level. MIL-STD-810 tabulates its falling segment's end at
// 0.01 g²/Hz (its -6 dB/oct rounded; exactly it would be 0.01005, and 7.697 G rms).
TEST(NamedProfiles, OverallLevelsAreTheStandardsStatedGrms) {
    struct Row {
        const char* name;
        double grms;
        int decimals;
    };
    const std::vector<Row> rows{
        {"navmat", 6.06, 2},                // NAVMAT P-9492
        {"mil-std-810-integrity", 7.69, 2}, // MIL-STD-810 general minimum integrity
        {"gevs-qual", 14.1, 1},             // GSFC-STD-7000 component qualification
        {"gevs-accept", 10.0, 1},           // GSFC-STD-7000 component acceptance
    };
    ASSERT_EQ(board::NamedProfiles().size(), rows.size());
    for (const Row& row : rows) {
        const board::NamedProfile* p = Find(row.name);
        ASSERT_TRUE(p) << row.name;
        EXPECT_TRUE(RoundsTo(p->psd.Grms(), row.grms, row.decimals)) << row.name;
        EXPECT_FALSE(p->source.empty()) << row.name;
    }
    EXPECT_EQ(&Find("navmat")->psd, &board::Navmat()) << "navmat is the one profile, bit for bit";
}

// Acceptance is qualification less 3 dB: every level times 10^-0.3, so the mean square too, and
// the G rms falls by 10^-0.15 (GEVS: 14.1 to 10.0 G rms).
TEST(NamedProfiles, AcceptanceIsQualificationLessThreeDecibels) {
    const board::Psd& qual = Find("gevs-qual")->psd;
    const board::Psd& accept = Find("gevs-accept")->psd;
    ASSERT_EQ(qual.Points().size(), accept.Points().size());
    for (std::size_t i = 0; i < qual.Points().size(); ++i) {
        EXPECT_EQ(qual.Points()[i].hz, accept.Points()[i].hz);
        EXPECT_NEAR(accept.Points()[i].level / qual.Points()[i].level, std::pow(10.0, -0.3), 1e-14);
    }
    EXPECT_NEAR(accept.Grms() / qual.Grms(), std::pow(10.0, -0.15), 1e-14);
}

// The standards tabulate the ends of their sloped segments rounded; the slopes between the tabulated
// levels are the ones they state, to within that rounding (MIL-STD-810: -6 dB/oct from 1000 to 2000 Hz;
// GEVS: +6 dB/oct from 20 to 50 Hz, -6 dB/oct from 800 to 2000 Hz).
TEST(NamedProfiles, TabulatedLevelsFollowTheStatedSlopes) {
    struct Row {
        const char* name;
        std::size_t segment;
        double dbPerOctave;
    };
    const std::vector<Row> rows{
        {"mil-std-810-integrity", 0, 0.0},
        {"mil-std-810-integrity", 1, -6.0},
        {"gevs-qual", 0, 6.0},
        {"gevs-qual", 1, 0.0},
        {"gevs-qual", 2, -6.0},
        {"gevs-accept", 0, 6.0},
        {"gevs-accept", 2, -6.0},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(board::Segments(Find(row.name)->psd).at(row.segment).dbPerOctave, row.dbPerOctave, 0.05)
            << row.name << " " << row.segment;
}

TEST(NamedProfiles, ReadByNameInAnyCase) {
    for (const board::NamedProfile& p : board::NamedProfiles()) {
        std::string upper(p.name);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // Built piece by piece: MinGW's GCC 12 warns falsely (-Wrestrict) of " " + std::string.
        std::string padded = " ";
        padded += p.name;
        padded += '\t';
        for (const std::string& text : {std::string(p.name), upper, padded}) {
            const board::PsdReading r = board::ParsePsdBreakpoints(text);
            ASSERT_TRUE(r.psd) << text;
            EXPECT_EQ(r.name, p.name) << text;
            EXPECT_EQ(r.psd->Points().size(), p.psd.Points().size()) << text;
            EXPECT_EQ(r.psd->Grms(), p.psd.Grms()) << text;
        }
    }
    EXPECT_EQ(board::ParsePsdBreakpoints("20:0.01,2000:0.01").name, "") << "breakpoints have no name";
    EXPECT_EQ(board::ParsePsdText("20 0.01\n2000 0.01\n").name, "") << "files have no name";
}

// 6 dB is a factor 10^0.6 = 3.98 in power: one octave at +6 dB/oct multiplies the level by 3.98, two
// octaves by 15.85; -3 dB/oct halves it (10^-0.3) per octave.
TEST(Psd, SlopesReachTheirLevels) {
    struct Row {
        const char* name;
        std::string text;
        bool file;
        double hz;
        double level;
    };
    const std::vector<Row> rows{
        {"+6dB/oct over one octave", "100:0.01,200:+6dB/oct", false, 200.0, 0.01 * std::pow(10.0, 0.6)},
        {"blank and any case", "100:0.01,400:+6 DB/OCT", false, 400.0, 0.01 * std::pow(10.0, 1.2)},
        {"dB/octave", "100:0.04,200:-3dB/octave", false, 200.0, 0.04 * std::pow(10.0, -0.3)},
        {"unsigned slope", "100:0.01,200:6db/oct", false, 200.0, 0.01 * std::pow(10.0, 0.6)},
        {"slope then a level", "100:0.04,200:-3dB/oct,400:1", false, 200.0, 0.04 * std::pow(10.0, -0.3)},
        {"file, blanks", "100 0.04\n200 -3 dB/oct\n", true, 200.0, 0.04 * std::pow(10.0, -0.3)},
        {"file, decimal comma", "100;0,04\n200;-1,5 dB/oct\n", true, 200.0, 0.04 * std::pow(10.0, -0.15)},
        {"0 dB/oct is flat", "100:0.04,1000:0dB/oct", false, 1000.0, 0.04},
    };
    for (const Row& row : rows) {
        const board::PsdReading r =
            row.file ? board::ParsePsdText(row.text) : board::ParsePsdBreakpoints(row.text);
        ASSERT_TRUE(r.psd) << row.name << ": " << r.error;
        EXPECT_NEAR(r.psd->At(row.hz) / row.level, 1.0, 1e-14) << row.name;
    }
}

TEST(Psd, SlopeFirstIsRefused) {
    EXPECT_EQ(board::ParsePsdBreakpoints("20:+6dB/oct,50:0.16").error,
              "the first breakpoint, at 20 Hz, is a slope: it needs a level in g^2/Hz to start from");
    EXPECT_EQ(board::ParsePsdText("# slope first\n20 3dB/oct\n50 0.16\n").error,
              "the first breakpoint, at 20 Hz, is a slope: it needs a level in g^2/Hz to start from");
    EXPECT_EQ(board::ParsePsdBreakpoints("20:0.01,50:+dB/oct").error,
              "breakpoint '50:+dB/oct' is not two numbers FREQUENCY:LEVEL");
}

// The slope of each segment in dB/oct and its share of the mean square. NAVMAT rises 0.01 to 0.04 over two
// octaves (+3.01 dB/oct) and falls with level ∝ 1/f (-3.01 dB/oct); its flat segment holds
// 0.04·270 g² of the 6.06² total.
TEST(Psd, SegmentsAsTheReportShowsThem) {
    const std::vector<board::PsdSegment> segments = board::Segments(board::Navmat());
    ASSERT_EQ(segments.size(), 3u);
    const double dbPerDoubling = 10.0 * std::log10(2.0);
    EXPECT_NEAR(segments[0].dbPerOctave, dbPerDoubling, 1e-12);
    EXPECT_NEAR(segments[1].dbPerOctave, 0.0, 1e-12);
    EXPECT_NEAR(segments[2].dbPerOctave, -dbPerDoubling, 1e-12);
    EXPECT_EQ(segments[1].f1, 80.0);
    EXPECT_EQ(segments[1].p2, 0.04);
    const double grms = board::Navmat().Grms();
    EXPECT_NEAR(segments[1].share, 0.04 * 270.0 / (grms * grms), 1e-14);

    for (const board::NamedProfile& p : board::NamedProfiles()) {
        double sum = 0.0;
        for (const board::PsdSegment& s : board::Segments(p.psd)) {
            EXPECT_GT(s.share, 0.0) << p.name;
            sum += s.share;
        }
        EXPECT_NEAR(sum, 1.0, 1e-14) << p.name;
    }
    // Slopes given as slopes read back as written.
    const auto sloped = board::ParsePsdBreakpoints("20:0.026,50:+6dB/oct,800:0.16,2000:-6dB/oct");
    ASSERT_TRUE(sloped.psd) << sloped.error;
    const std::vector<board::PsdSegment> given = board::Segments(*sloped.psd);
    ASSERT_EQ(given.size(), 3u);
    EXPECT_NEAR(given[0].dbPerOctave, 6.0, 1e-12);
    EXPECT_NEAR(given[2].dbPerOctave, -6.0, 1e-12);
}

TEST(Psd, SpreadsheetExportsRead) {
    struct Row {
        const char* name;
        std::string text;
        std::vector<board::Breakpoint> points;
    };
    const std::vector<Row> rows{
        {"header row", "Frequency (Hz);PSD (g2/Hz)\n20;0,01\n2000;0,04\n", {{20, 0.01}, {2000, 0.04}}},
        {"quoted header after a comment",
         "# export\n\"Hz\",\"g2/Hz\"\n20,0.01\n2000,0.04\n",
         {{20, 0.01}, {2000, 0.04}}},
        {"sep=; then header", "sep=;\r\nHz;g2/Hz\r\n20;0,01\r\n2000;0,04\r\n", {{20, 0.01}, {2000, 0.04}}},
        {"sep=, keeps commas as columns", "sep=,\n20,0.01\n2000,0.04\n", {{20, 0.01}, {2000, 0.04}}},
        {"sep=tab", "sep=\t\n20\t0,01\n2000\t0,04\n", {{20, 0.01}, {2000, 0.04}}},
        {"BOM then sep=", "\xEF\xBB\xBFsep=;\n20;0,01\n2000;0,04\n", {{20, 0.01}, {2000, 0.04}}},
    };
    for (const Row& row : rows) {
        const board::PsdReading r = board::ParsePsdText(row.text);
        ASSERT_TRUE(r.psd) << row.name << ": " << r.error;
        ASSERT_EQ(r.psd->Points().size(), row.points.size()) << row.name;
        for (std::size_t i = 0; i < row.points.size(); ++i) {
            EXPECT_EQ(r.psd->Points()[i].hz, row.points[i].hz) << row.name;
            EXPECT_EQ(r.psd->Points()[i].level, row.points[i].level) << row.name;
        }
    }
}

TEST(Psd, FileErrors) {
    struct Row {
        const char* name;
        std::string text;
        std::string error;
    };
    const std::vector<Row> rows{
        {"thousands comma in a comma file", "20,0.01\n1,000,0.04\n",
         "line 2: '1,000,0.04' is not two numbers, frequency and level; thousands separators are not read: "
         "write 1000"},
        {"thousands point, decimal comma", "20;0,01\n1.000,5;0,04\n",
         "line 2: '1.000,5;0,04' is not two numbers, frequency and level; thousands separators are not "
         "read: write 1000.5"},
        {"thousands comma, decimal point", "20\t0.01\n1,000.5\t0.04\n",
         "line 2: '1,000.5\\t0.04' is not two numbers, frequency and level; thousands separators are not "
         "read: write 1000.5"},
        {"two groups", "20,0.01\n1,000,000,0.04\n",
         "line 2: '1,000,000,0.04' is not two numbers, frequency and level; thousands separators are not "
         "read: write 1000000"},
        {"three cells, not thousands: no hint", "20,0.01,5\n",
         "line 1: '20,0.01,5' is not two numbers, frequency and level"},
        {"a second header is not skipped", "Hz;g2/Hz\nHz;g2/Hz\n",
         "line 2: 'Hz;g2/Hz' is not two numbers, frequency and level"},
        {"sep= only on the first line", "20;0,01\nsep=;\n",
         "line 2: 'sep=;' is not two numbers, frequency and level"},
        {"header only", "Frequency;PSD\n", "no breakpoints"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(board::ParsePsdText(row.text).error, row.error) << row.name;
}

// Frequencies and levels beyond any real profile are refused with the range they must lie in, so that no
// figure computed from a profile leaves the range of numbers.
TEST(Psd, FarOutsideAnyRealProfileIsRefused) {
    struct Row {
        const char* name;
        const char* text;
        const char* error;
    };
    const std::vector<Row> rows{
        {"frequency far below", "1e-300:11,1e3:1", "frequency 1e-300 Hz is outside 0.001 Hz to 1000000 Hz"},
        {"frequency far above", "20:1,1e7:1", "frequency 1e+07 Hz is outside 0.001 Hz to 1000000 Hz"},
        {"level far below", "20:1e-13,80:1",
         "level 1e-13 g^2/Hz at 20 Hz is outside 1e-12 to 1000000 g^2/Hz"},
        {"level far above", "20:1,80:2e6", "level 2e+06 g^2/Hz at 80 Hz is outside 1e-12 to 1000000 g^2/Hz"},
    };
    for (const Row& row : rows) {
        const board::PsdReading r = board::ParsePsdBreakpoints(row.text);
        EXPECT_FALSE(r.psd) << row.name;
        EXPECT_EQ(r.error, row.error) << row.name;
    }
    // 200 dB above 1 g²/Hz is 1e20.
    const board::PsdReading climbs = board::ParsePsdBreakpoints("20:1,2000:+30dB/oct");
    EXPECT_FALSE(climbs.psd);
    EXPECT_TRUE(climbs.error.ends_with("g^2/Hz at 2000 Hz is outside 1e-12 to 1000000 g^2/Hz"))
        << climbs.error;
    for (const char* edges : {"0.001:1e-12,1e6:1e6", "0.001:1e6,1e6:1e-12"})
        EXPECT_TRUE(board::ParsePsdBreakpoints(edges).psd) << edges;
}

} // namespace
