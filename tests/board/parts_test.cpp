// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Parts lists as spreadsheets write them, and the rows and files that are refused.
#include "board/csv.h"
#include "board/parts.h"

#include "calc/tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::vector<std::string>> Cells(const std::string& text, board::Dialect* dialect = nullptr) {
    board::CsvReader reader(text);
    board::Record record;
    std::vector<std::vector<std::string>> rows;
    while (reader.Next(record))
        rows.emplace_back(record.cells.begin(), record.cells.end());
    if (dialect)
        *dialect = reader.dialect();
    return rows;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(Csv, ReadsWhatSpreadsheetsWrite) {
    struct Row {
        const char* name;
        std::string text;
        char separator;
        bool crlf;
        Rows cells;
    };
    const std::vector<Row> rows{
        {"plain", "a,b\n1,2\n", ',', false, {{"a", "b"}, {"1", "2"}}},
        {"CRLF", "a,b\r\n1,2\r\n", ',', true, {{"a", "b"}, {"1", "2"}}},
        {"no final line break", "a,b\n1,2", ',', false, {{"a", "b"}, {"1", "2"}}},
        {"byte-order mark",
         "\xEF\xBB\xBF"
         "a;b\n1;2\n",
         ';',
         false,
         {{"a", "b"}, {"1", "2"}}},
        {"semicolons", "a;b;c\n1,5;2;3\n", ';', false, {{"a", "b", "c"}, {"1,5", "2", "3"}}},
        {"tabs", "a\tb\n1,5\t2\n", '\t', false, {{"a", "b"}, {"1,5", "2"}}},
        {"separator inside quotes", "\"a,b\",c\n\"1,2\",3\n", ',', false, {{"a,b", "c"}, {"1,2", "3"}}},
        {"doubled quotes", "a,b\n\"say \"\"hi\"\"\",2\n", ',', false, {{"a", "b"}, {"say \"hi\"", "2"}}},
        {"line break inside quotes",
         "a,b\n\"two\nlines\",2\n",
         ',',
         false,
         {{"a", "b"}, {"two\nlines", "2"}}},
        {"empty cells", "a,b,c\n,,\n", ',', false, {{"a", "b", "c"}, {"", "", ""}}},
        {"quoted then CRLF", "a,\"b\"\r\n1,\"2\"\r\n", ',', true, {{"a", "b"}, {"1", "2"}}},
        {"more semicolons than commas",
         "ref;note, with comma;L\n",
         ';',
         false,
         {{"ref", "note, with comma", "L"}}},
        {"one column", "ref\nU1\n", ',', false, {{"ref"}, {"U1"}}},
    };
    for (const Row& row : rows) {
        board::Dialect dialect;
        EXPECT_EQ(Cells(row.text, &dialect), row.cells) << row.name;
        EXPECT_EQ(dialect.separator, row.separator) << row.name;
        EXPECT_EQ(dialect.crlf, row.crlf) << row.name;
    }
}

TEST(Csv, RecordsKnowTheLineTheyStartOn) {
    board::CsvReader reader("a,b\n\"x\ny\",1\n\nz,2\n\"open,3\n");
    board::Record record;
    std::vector<std::size_t> lines;
    std::vector<bool> unterminated;
    while (reader.Next(record)) {
        lines.push_back(record.line);
        unterminated.push_back(record.unterminated);
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 4, 5, 6}));
    EXPECT_EQ(unterminated, (std::vector<bool>{false, false, false, false, true}));
}

// Excel writes "sep=;" as the first line of a CSV file to name its separator; it is not a record, and
// the records after it keep the file's own line numbers.
TEST(Csv, ExcelSeparatorLineSetsTheSeparator) {
    struct Row {
        const char* name;
        std::string text;
        char separator;
        Rows cells;
        std::vector<std::size_t> lines;
    };
    const std::vector<Row> rows{
        {"semicolon, commas in cells", "sep=;\na,b;c\n1,5;2\n", ';', {{"a,b", "c"}, {"1,5", "2"}}, {2, 3}},
        {"comma, though semicolons are more", "sep=,\na;b;c,d\n", ',', {{"a;b;c", "d"}}, {2}},
        {"tab, CRLF", "sep=\t\r\na\tb\r\n1\t2\r\n", '\t', {{"a", "b"}, {"1", "2"}}, {2, 3}},
        {"after a byte-order mark, any case",
         "\xEF\xBB\xBF"
         "SEP=;\na;b\n",
         ';',
         {{"a", "b"}},
         {2}},
        {"blank lines before the header", "sep=;\n\n\na,b;c\n", ';', {{""}, {""}, {"a,b", "c"}}, {2, 3, 4}},
        {"not on the first line: a record", "a,b\nsep=;\n", ',', {{"a", "b"}, {"sep=;"}}, {1, 2}},
        {"an unknown separator: a record", "sep=|\na|b\n", ',', {{"sep=|"}, {"a|b"}}, {1, 2}},
    };
    for (const Row& row : rows) {
        board::CsvReader reader(row.text);
        board::Record record;
        Rows cells;
        std::vector<std::size_t> lines;
        while (reader.Next(record)) {
            cells.emplace_back(record.cells.begin(), record.cells.end());
            lines.push_back(record.line);
        }
        EXPECT_EQ(cells, row.cells) << row.name;
        EXPECT_EQ(lines, row.lines) << row.name;
        EXPECT_EQ(reader.dialect().separator, row.separator) << row.name;
        EXPECT_EQ(reader.dialect().sepLine, row.lines.front() == 2) << row.name;
    }
}

board::PartsList Read(const std::string& text) {
    board::PartsReading reading = board::ReadPartsList(text);
    EXPECT_TRUE(reading.list) << reading.error;
    return reading.list ? std::move(*reading.list) : board::PartsList{};
}

TEST(Parts, ExcelSeparatorLineBeforeTheHeader) {
    const board::PartsList list = Read("sep=;\nref;L;C;r\nU1;0,5;1;1\n");
    ASSERT_EQ(list.parts.size(), 1u);
    EXPECT_EQ(list.parts[0].L, 0.5);
    EXPECT_EQ(list.parts[0].line, 3u);
}

TEST(Parts, ColumnsInAnyOrderAndCase) {
    const board::PartsList list = Read("Y,KIND,x,Parallel,l,REF\n1,bga,2,b,25mm,U7\n");
    ASSERT_EQ(list.parts.size(), 1u);
    const board::Part& p = list.parts[0];
    EXPECT_EQ(p.ref, "U7");
    EXPECT_EQ(p.L, 25.0 / 25.4);
    EXPECT_EQ(p.C, 1.75);
    EXPECT_EQ(p.kind, 8);
    EXPECT_EQ(p.parallel, board::Edge::B);
    EXPECT_FALSE(p.r);
    EXPECT_EQ(p.x, 2.0);
    EXPECT_EQ(p.y, 1.0);
    EXPECT_EQ(p.line, 2u);
}

TEST(Parts, KindsByListTextDescriptionOrShortName) {
    // Every row of the dialog's component list is found by its own text, in any case, and gives the same C.
    for (std::size_t i = 0; i < calc::ComponentTable.size(); ++i) {
        const calc::ComponentRow& row = calc::ComponentTable[i];
        std::string upper = row.listText;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& name : {std::string(row.listText), upper, std::string(row.description),
                                        std::string(board::kKindShortNames[i])})
            EXPECT_EQ(board::FindKind(name), static_cast<int>(i)) << name;
    }
    EXPECT_EQ(board::FindKind("Any component with two parallel rows of wires"), 10);
    EXPECT_EQ(board::FindKind("Component with two parallel rows of wires"), 10);
    EXPECT_EQ(board::FindKind("transistor"), -1);
    EXPECT_EQ(board::FindKind(""), -1);
}

TEST(Parts, GivenValuesAndDefaults) {
    const board::PartsList list = Read("ref,L,kind,C,r,x,y,parallel\n"
                                       "A,1,dip,1.5,1,,,\n"    // C given wins over the kind
                                       "B,1,,0.6,0.707,,,\n"   // r given; parallel not given
                                       "C,1,lccc,,0.5,3,3,A\n" // r given wins over x, y
                                       "D,1in,resistor,,,1,2,b\n");
    ASSERT_EQ(list.parts.size(), 4u);
    EXPECT_EQ(list.parts[0].C, 1.5);
    EXPECT_EQ(list.parts[0].kind, -1);
    EXPECT_EQ(list.parts[1].r, 0.707);
    EXPECT_FALSE(list.parts[1].parallel.has_value()) << "not given: both edges are evaluated";
    EXPECT_EQ(list.parts[2].C, 2.25);
    EXPECT_EQ(list.parts[2].r, 0.5);
    EXPECT_EQ(list.parts[3].parallel, board::Edge::B);
    EXPECT_FALSE(list.parts[3].r);
}

TEST(Parts, DecimalCommaWithSemicolonsAndTabsOnly) {
    const board::PartsList semicolons = Read("ref;L;C;r\nU1;0,5;1,26;0,707\n");
    ASSERT_EQ(semicolons.parts.size(), 1u);
    EXPECT_EQ(semicolons.parts[0].L, 0.5);
    EXPECT_EQ(semicolons.parts[0].C, 1.26);
    EXPECT_TRUE(semicolons.dialect.decimalComma);

    const board::PartsList tabs = Read("ref\tL\tC\tr\nU1\t12,7mm\t1\t1\n");
    ASSERT_EQ(tabs.parts.size(), 1u);
    EXPECT_EQ(tabs.parts[0].L, 0.5);

    const board::PartsList points = Read("ref;L;C;r\nU1;0.5;1;1\n");
    EXPECT_FALSE(points.dialect.decimalComma);

    // With commas between cells a quoted "0,5" is no number.
    const board::PartsList commas = Read("ref,L,C,r\nU1,\"0,5\",1,1\n");
    EXPECT_TRUE(commas.parts.empty());
    ASSERT_EQ(commas.errors.size(), 1u);
    EXPECT_EQ(commas.errors[0].message, "L '0,5' is not a length (a number, in, mm, cm or mil)");
}

TEST(Parts, BadRowsAreReportedAndTheRestRead) {
    struct Row {
        const char* name;
        std::string row;
        std::string message;
    };
    const std::vector<Row> rows{
        {"unreadable L", "X,abc,dip,,1,,", "L 'abc' is not a length (a number, in, mm, cm or mil)"},
        {"L in an unknown unit", "X,2ft,dip,,1,,", "L '2ft' is not a length (a number, in, mm, cm or mil)"},
        {"no L", "X,,dip,,1,,", "no L"},
        {"no ref", ",1,dip,,1,,", "no ref"},
        {"unknown kind", "X,1,relay,,1,,", "unknown kind 'relay'"},
        {"r above 1, a decimal comma shifted", "X,1,dip,,4,,",
         "r '4' is above 1, its value at the board's centre"},
        {"more cells than the header", "X,1,5,dip,,1,,,a", "the row has 9 cells, the header 8"},
        {"no C", "X,1,,,1,,", "no C: give a kind or C"},
        {"unreadable C", "X,1,,one,1,,", "C 'one' is not a number"},
        {"unreadable r", "X,1,dip,,centre,,", "r 'centre' is not a number"},
        {"no position", "X,1,dip,,,,", "no position: give r, or x and y"},
        {"x without y", "X,1,dip,,,2,", "no y"},
        {"bad parallel", "X,1,dip,,1,,,c", "parallel 'c' is not a, b, x or y"},
        {"unclosed quote", "X,1,\"dip,,1,,", "a quoted cell is not closed"},
        {"a line break and a terminal escape in a cell", "X,\"1\n\x1b[2J\",dip,,1,,",
         "L '1\\n\\x1b[2J' is not a length (a number, in, mm, cm or mil)"},
        {"a long cell", "X," + std::string(100, '9') + "x,dip,,1,,",
         "L '" + std::string(60, '9') + "...' is not a length (a number, in, mm, cm or mil)"},
    };
    for (const Row& row : rows) {
        const std::string text =
            std::string("ref,L,kind,C,r,x,y,parallel\nU1,1,dip,,1,,,\n\n") + row.row + "\nU2,1,dip,,1,,,\n";
        const board::PartsList list = Read(text);
        ASSERT_EQ(list.errors.size(), 1u) << row.name;
        EXPECT_EQ(list.errors[0].line, 4u) << row.name;
        EXPECT_EQ(list.errors[0].message, row.message) << row.name;
        const std::size_t good = std::string(row.name) == "unclosed quote" ? 1u : 2u;
        EXPECT_EQ(list.parts.size(), good) << row.name << ": every good row is still read";
    }
}

TEST(Parts, ARefNamesOnePart) {
    const board::PartsList list =
        Read("ref,L,kind,r\nU1,1,dip,1\nU2,1,dip,1\nU1,2,bga,1\nu2,1,dip,1\nU1,3,dip,1\n");
    ASSERT_EQ(list.parts.size(), 3u);
    EXPECT_EQ(list.parts[0].L, 1.0) << "the first row keeps the ref";
    EXPECT_EQ(list.parts[2].ref, "u2") << "refs are compared as written";
    ASSERT_EQ(list.errors.size(), 2u);
    EXPECT_EQ(list.errors[0].line, 4u);
    EXPECT_EQ(list.errors[0].message, "ref 'U1' repeats line 2");
    EXPECT_EQ(list.errors[1].line, 6u);
}

TEST(Parts, UnusedColumnsAreNamedOnce) {
    const board::PartsList list = Read("ref,Value,L,kind,r,Footprint,\nU1,10k,1,dip,1,SOIC,\n");
    EXPECT_EQ(list.ignored, (std::vector<std::string>{"Value", "Footprint"}));
    EXPECT_EQ(list.parts.size(), 1u);
}

TEST(Parts, BlankRowsAreSkipped) {
    const board::PartsList list = Read("\n\nref;L;kind;r\n;;;\nU1;1;dip;1\n\n;;;\n");
    ASSERT_EQ(list.parts.size(), 1u);
    EXPECT_EQ(list.parts[0].line, 5u);
    EXPECT_TRUE(list.errors.empty());
}

// A header may name a length column's unit; a cell's own unit wins; bare cells count in the reader's
// unit otherwise (inch, or millimetres for a list written in them).
TEST(Parts, UnitsInTheHeaderAndForBareNumbers) {
    struct Row {
        const char* name;
        std::string text;
        const board::Unit* bare;
        double L, x;
    };
    const std::vector<Row> rows{
        {"bare inches", "ref,L,kind,x,y\nU1,1,dip,2,2\n", &board::kInch, 1.0, 2.0},
        {"bare millimetres", "ref,L,kind,x,y\nU1,25.4,dip,50.8,2\n", &board::kMillimetre, 1.0, 2.0},
        {"L (mm)", "ref,L (mm),kind,x,y\nU1,25.4,dip,2,2\n", &board::kInch, 1.0, 2.0},
        {"L [mm] and x [mil]", "ref,L [MM],kind,x [mil],y\nU1,25.4,dip,2000,2\n", &board::kInch, 1.0, 2.0},
        {"L_mm and x_cm", "ref,L_mm,kind,x_cm,y\nU1,25.4,dip,5.08,2\n", &board::kInch, 1.0, 2.0},
        {"a cell's own unit wins", "ref,L_mm,kind,x,y\nU1,1in,dip,2,2\n", &board::kInch, 1.0, 2.0},
    };
    for (const Row& row : rows) {
        board::PartsOptions options;
        options.bareLength = row.bare;
        const board::PartsReading reading = board::ReadPartsList(row.text, options);
        ASSERT_TRUE(reading.list) << row.name << ": " << reading.error;
        ASSERT_EQ(reading.list->parts.size(), 1u) << row.name;
        EXPECT_NEAR(reading.list->parts[0].L, row.L, 1e-12) << row.name;
        EXPECT_NEAR(reading.list->parts[0].x, row.x, 1e-12) << row.name;
        EXPECT_TRUE(reading.list->ignored.empty()) << row.name;
    }
    // Only length columns take a unit: "r (mm)" is not r.
    EXPECT_EQ(board::ReadPartsList("ref,L,kind,r (mm)\nU1,1,dip,1\n").error,
              "the header has no column 'r', nor both 'x' and 'y'");
}

// A heavy part's own mass: with its unit in the cell or in the header; a bare or negative one is a bad row.
TEST(Parts, APartsOwnMass) {
    EXPECT_EQ(board::ReadPartsList("ref,L,kind,r,mass,mass (g)\nT1,1,dip,1,1g,\n").error,
              "the header names column 'mass' twice")
        << "a mass column in two units";
    const board::PartsReading list = board::ReadPartsList("ref,L,kind,r,Mass (g)\n"
                                                          "T1,1,dip,1,45.359237\n"
                                                          "T2,1,dip,1,1lb\n"
                                                          "T3,1,dip,1,2 oz\n"
                                                          "R1,1,dip,1,\n"
                                                          "X2,1,dip,1,-1\n");
    ASSERT_TRUE(list.list) << list.error;
    const auto& parts = list.list->parts;
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_NEAR(*parts[0].weight, 0.1, 1e-15) << "45.359237 g is 0.1 lb";
    EXPECT_EQ(*parts[1].weight, 1.0) << "a cell's own unit wins";
    EXPECT_EQ(*parts[2].weight, 0.125) << "2 oz is 1/8 lb";
    EXPECT_FALSE(parts[3].weight) << "no mass: spread with the board's";
    ASSERT_EQ(list.list->errors.size(), 1u);
    EXPECT_EQ(list.list->errors[0].message, "mass '-1' is negative");
    const board::PartsReading bare = board::ReadPartsList("ref,L,kind,r,mass\nX1,1,dip,1,12\n");
    ASSERT_TRUE(bare.list);
    ASSERT_EQ(bare.list->errors.size(), 1u);
    EXPECT_EQ(bare.list->errors[0].message, "mass '12' is not a mass with its unit (g, kg, lb or oz)");
}

TEST(Parts, WholeFilesAreRefused) {
    struct Row {
        const char* name;
        const char* text;
        const char* error;
    };
    const std::vector<Row> rows{
        {"nothing", "", "no header row"},
        {"blank lines", "\n\r\n\n", "no header row"},
        {"no ref", "L,kind,r\n1,dip,1\n",
         "the header has no column 'ref' (columns: ref, L, kind or C, parallel, r or x and y)"},
        {"no L", "ref,kind,r\nU1,dip,1\n",
         "the header has no column 'L' (columns: ref, L, kind or C, parallel, r or x and y)"},
        {"no C", "ref,L,r\nU1,1,1\n", "the header has neither column 'kind' nor 'C'"},
        {"no position", "ref,L,kind,x\nU1,1,dip,1\n", "the header has no column 'r', nor both 'x' and 'y'"},
        {"twice", "ref,L,kind,r,L\nU1,1,dip,1,2\n", "the header names column 'L' twice"},
        {"unclosed header", "ref,\"L,kind\n", "line 1: the header row has a quote that is not closed"},
    };
    for (const Row& row : rows) {
        const board::PartsReading reading = board::ReadPartsList(row.text);
        EXPECT_FALSE(reading.list) << row.name;
        EXPECT_EQ(reading.error, row.error) << row.name;
    }
}

} // namespace
