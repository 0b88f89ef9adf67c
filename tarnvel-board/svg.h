// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A figure written as SVG: a file of its own, or a fragment for a page.
#pragma once

#include "board/figure.h"

#include <string>
#include <string_view>

namespace board_cli {

// Text for XML and HTML: &, <, >, " and ' as entities; bytes that are not UTF-8, and control characters
// other than tab and line feed, as U+FFFD, so that nothing read from a file can break the document.
void AppendEscaped(std::string& out, std::string_view text);
std::string Escaped(std::string_view text);

// A number as SVG writes it: fixed, at most two decimals, locale-free.
void AppendCoordinate(std::string& out, double value);

// The figure as an <svg> element. A file of its own (`standalone`) starts with the XML declaration and
// names the SVG namespace, its ink dark on a white ground; in a page the ink is the page's text colour
// (currentColor) and each shape carries its role as a class for the page's styles.
std::string SvgText(const board::figure::Figure& figure, bool standalone);

} // namespace board_cli
