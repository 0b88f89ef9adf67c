// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// What the page and the figures write of text read from files: markup as text, broken bytes and controls
// replaced, so that no parts list can break the document; and coordinates as SVG reads them.
#include "tarnvel-board/svg.h"

#include "board/figure.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Escaped, WritesMarkupAsTextAndReplacesWhatIsNoText) {
    const struct {
        const char* name;
        std::string in, out;
    } rows[] = {
        {"markup", "<b>U1</b> & \"J1\" 'x'", "&lt;b&gt;U1&lt;/b&gt; &amp; &quot;J1&quot; &#39;x&#39;"},
        {"UTF-8 kept", "µ² Ω", "µ² Ω"},
        {"tab and line feed kept", "a\tb\nc", "a\tb\nc"},
        {"a control character", std::string("a\x01z"), "a\xEF\xBF\xBDz"},
        {"a C1 control", "a\xC2\x85z", "a\xEF\xBF\xBDz"},
        {"a Latin-1 byte", "caf\xE9", "caf\xEF\xBF\xBD"},
        {"an overlong slash", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut short at the end", "U1\xE2\x82", "U1\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"a NUL", std::string("a\0b", 3),
         "a\xEF\xBF\xBD"
         "b"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(board_cli::Escaped(row.in), row.out) << row.name;
}

TEST(Coordinates, AreShortFixedAndLocaleFree) {
    const struct {
        double value;
        const char* text;
    } rows[] = {{0, "0"},      {100, "100"},   {12.5, "12.5"}, {1.234567, "1.23"},
                {-0.001, "0"}, {-3.996, "-4"}, {1e-9, "0"},    {540.0 / 7.0, "77.14"}};
    for (const auto& row : rows) {
        std::string out;
        board_cli::AppendCoordinate(out, row.value);
        EXPECT_EQ(out, row.text) << row.value;
    }
}

TEST(Svg, FileOfItsOwnNamesItsNamespaceAndAPageFragmentUsesThePagesInk) {
    board::figure::Figure f;
    f.width = 100;
    f.height = 50;
    f.title = "a <title>";
    f.Add(board::figure::Text{{10, 20}, "U1 & U2"}, "part-label", "row <1>");
    const std::string file = board_cli::SvgText(f, true);
    EXPECT_TRUE(file.starts_with(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\""));
    EXPECT_NE(file.find(">U1 &amp; U2<title>row &lt;1&gt;</title></text>"), std::string::npos) << file;
    EXPECT_EQ(file.find("currentColor"), std::string::npos);
    const std::string fragment = board_cli::SvgText(f, false);
    EXPECT_TRUE(fragment.starts_with("<svg viewBox=\"0 0 100 50\"")) << fragment;
    EXPECT_EQ(fragment.find("http"), std::string::npos);
    EXPECT_NE(fragment.find("fill=\"currentColor\""), std::string::npos);
}

} // namespace
