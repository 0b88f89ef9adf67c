// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a parts list, evaluated and written as the design-review page and its
// figures. Whatever the refs and cells hold, the page stays the program's own document: valid UTF-8, every
// '<' opening one of the elements the writer uses, no element or attribute that loads anything, five
// sections, one table row a part; and each figure written alone has its '<' and '>' in pairs.
#include "require.h"

#include "tarnvel-board/html.h"
#include "tarnvel-board/svg.h"

#include "board/analysis.h"
#include "board/parts.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

using fuzz::Require;

namespace {

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Every '<' opens or closes an element the writers use (or is the doctype or the XML declaration).
bool OnlyKnownElements(std::string_view text) {
    static const std::set<std::string_view> known{
        "!DOCTYPE",   "?xml", "html", "head", "meta",    "title",  "style", "body",  "header",
        "h1",         "h2",   "h3",   "p",    "section", "dl",     "dt",    "dd",    "figure",
        "figcaption", "svg",  "desc", "path", "rect",    "circle", "text",  "table", "thead",
        "tbody",      "tr",   "th",   "td",   "span",    "ul",     "li"};
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        std::size_t start = at + 1;
        if (start < text.size() && text[start] == '/')
            ++start;
        std::size_t end = start;
        while (end < text.size() && text[end] != ' ' && text[end] != '>' && text[end] != '/' &&
               text[end] != '\n')
            ++end;
        if (!known.contains(text.substr(start, end - start)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    board::PartsReading reading = board::ReadPartsList(text);
    if (!reading.list)
        return 0;
    board::BoardInput in;
    in.a = 9.0;
    in.b = 7.0;
    in.h = 0.08;
    in.fn = 300.0;
    board::Analysis analysis = board::Analyse(in, std::move(*reading.list));
    Require(analysis.report.has_value(), "a board with fn in the band is evaluated");
    const board::Report& report = *analysis.report;

    board_cli::Provenance from;
    from.parts = std::string(text.substr(0, 40)); // a name as odd as the list
    from.psd = "navmat";
    from.files.push_back({"parts", from.parts, size, "0"});
    const board_cli::Ending ending = board_cli::EndingOf(report);
    const std::string page = board_cli::HtmlReport(report, ending, from);
    Require(ValidUtf8(page), "the page is UTF-8");
    Require(OnlyKnownElements(page), "every '<' opens an element of the writer's");
    for (const char* loads : {"<script", "<img", "<link", "<iframe", " src=", " href=", "url("})
        Require(Count(page, loads) == 0, "nothing loads anything");
    Require(Count(page, "<section ") == 5 && Count(page, "</section>") == 5, "five sections");
    const std::size_t table = page.find("<table id=\"parts-table\"");
    Require(table != std::string::npos, "the parts table");
    const std::string_view parts = std::string_view(page).substr(table, page.find("</table>", table) - table);
    Require(Count(parts, "<tr") == report.parts.size() + 1, "one row of the parts table a part");

    for (const board_cli::PlotKind kind :
         {board_cli::PlotKind::Psd, board_cli::PlotKind::Response, board_cli::PlotKind::Board}) {
        const std::string svg = board_cli::SvgText(
            board_cli::PlotFigure(kind, report, ending, board_cli::LengthUnit::Inch), true);
        Require(ValidUtf8(svg), "the figure is UTF-8");
        Require(OnlyKnownElements(svg), "every '<' of the figure opens an element of the writer's");
        Require(Count(svg, "<") == Count(svg, ">"), "the figure's '<' and '>' in pairs");
    }
    return 0;
}
