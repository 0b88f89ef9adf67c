// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tarnvel-board/svg.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <variant>

namespace board_cli {

using namespace board::figure;

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the UTF-8 sequence at text[i], or 0 when it is not one (overlong forms, surrogates and
// values above U+10FFFF included).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    std::uint32_t value = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        value = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        value = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        value = c & 0x07u;
    } else {
        return 0;
    }
    if (i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3Fu);
    }
    if ((n == 3 && value < 0x800) || (n == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
        (value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF)
        return 0;
    return n;
}

std::string Colour(board::figure::Colour c) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string out = "#";
    for (const std::uint8_t v : {c.r, c.g, c.b}) {
        out += kHex[v >> 4];
        out += kHex[v & 15];
    }
    return out;
}

void Attribute(std::string& out, std::string_view name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendCoordinate(out, value);
    out += '"';
}

void Attribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value);
    out += '"';
}

void StrokeAttributes(std::string& out, const Stroke& stroke, bool standalone) {
    if (stroke.width <= 0.0) {
        out += " stroke=\"none\"";
        return;
    }
    Attribute(out, "stroke", stroke.ink && !standalone ? std::string("currentColor") : Colour(stroke.colour));
    Attribute(out, "stroke-width", stroke.width);
    switch (stroke.dash) {
    case Stroke::Dash::Solid:
        break;
    case Stroke::Dash::Dashed:
        out += " stroke-dasharray=\"7 4\"";
        break;
    case Stroke::Dash::Dotted:
        out += " stroke-dasharray=\"1 3\" stroke-linecap=\"round\"";
        break;
    }
}

// The element's opening with its class, closed by Close with its hover text.
void Open(std::string& out, std::string_view element, const Item& item) {
    out += '<';
    out += element;
    if (!item.role.empty())
        Attribute(out, "class", item.role);
}

void Close(std::string& out, std::string_view element, const Item& item) {
    if (item.title.empty()) {
        out += "/>\n";
        return;
    }
    out += "><title>";
    AppendEscaped(out, item.title);
    out += "</title></";
    out += element;
    out += ">\n";
}

void PathData(std::string& out, const Path& path) {
    out += " d=\"";
    for (const std::vector<Point>& run : path.runs) {
        for (std::size_t i = 0; i < run.size(); ++i) {
            out += i == 0 ? 'M' : 'L';
            AppendCoordinate(out, run[i].x);
            out += ' ';
            AppendCoordinate(out, run[i].y);
        }
        if (path.closed && !run.empty())
            out += 'Z';
    }
    out += '"';
}

void Rotation(std::string& out, double degrees, Point about) {
    if (degrees == 0.0)
        return;
    out += " transform=\"rotate(";
    AppendCoordinate(out, degrees);
    out += ' ';
    AppendCoordinate(out, about.x);
    out += ' ';
    AppendCoordinate(out, about.y);
    out += ")\"";
}

void Write(std::string& out, const Item& item, bool standalone) {
    if (const auto* path = std::get_if<Path>(&item.shape)) {
        Open(out, "path", item);
        PathData(out, *path);
        if (path->filled) {
            Attribute(out, "fill", Colour(path->fill));
            out += " fill-rule=\"evenodd\"";
        } else {
            out += " fill=\"none\"";
        }
        StrokeAttributes(out, path->stroke, standalone);
        out += " stroke-linejoin=\"round\"";
        Close(out, "path", item);
    } else if (const auto* rect = std::get_if<Rect>(&item.shape)) {
        Open(out, "rect", item);
        Attribute(out, "x", rect->centre.x - rect->width / 2.0);
        Attribute(out, "y", rect->centre.y - rect->height / 2.0);
        Attribute(out, "width", rect->width);
        Attribute(out, "height", rect->height);
        Rotation(out, rect->rotation, rect->centre);
        Attribute(out, "fill", Colour(rect->fill));
        StrokeAttributes(out, rect->stroke, standalone);
        Close(out, "rect", item);
    } else if (const auto* marker = std::get_if<Marker>(&item.shape)) {
        const std::string fill = marker->filled ? Colour(marker->fill) : std::string("none");
        const double r = marker->size / 2.0;
        switch (marker->shape) {
        case Marker::Shape::Circle:
            Open(out, "circle", item);
            Attribute(out, "cx", marker->at.x);
            Attribute(out, "cy", marker->at.y);
            Attribute(out, "r", r);
            Attribute(out, "fill", fill);
            StrokeAttributes(out, marker->stroke, standalone);
            Close(out, "circle", item);
            break;
        case Marker::Shape::Square:
            Open(out, "rect", item);
            Attribute(out, "x", marker->at.x - r);
            Attribute(out, "y", marker->at.y - r);
            Attribute(out, "width", marker->size);
            Attribute(out, "height", marker->size);
            Attribute(out, "fill", fill);
            StrokeAttributes(out, marker->stroke, standalone);
            Close(out, "rect", item);
            break;
        case Marker::Shape::CrossedCircle: {
            // A circle with a cross through it, as drawings show a screw.
            Open(out, "path", item);
            const double k = r * std::sqrt(0.5);
            std::string d = " d=\"M";
            const auto point = [&d](double x, double y, char then) {
                AppendCoordinate(d, x);
                d += ' ';
                AppendCoordinate(d, y);
                d += then;
            };
            point(marker->at.x - r, marker->at.y, 'A');
            point(r, r, ' ');
            d += "0 1 0 ";
            point(marker->at.x + r, marker->at.y, 'A');
            point(r, r, ' ');
            d += "0 1 0 ";
            point(marker->at.x - r, marker->at.y, 'M');
            point(marker->at.x - k, marker->at.y - k, 'L');
            point(marker->at.x + k, marker->at.y + k, 'M');
            point(marker->at.x - k, marker->at.y + k, 'L');
            point(marker->at.x + k, marker->at.y - k, '"');
            out += d;
            Attribute(out, "fill", fill);
            StrokeAttributes(out, marker->stroke, standalone);
            Close(out, "path", item);
            break;
        }
        }
    } else if (const auto* text = std::get_if<Text>(&item.shape)) {
        Open(out, "text", item);
        Attribute(out, "x", text->at.x);
        Attribute(out, "y", text->at.y);
        Attribute(out, "font-size", text->size);
        switch (text->anchor) {
        case Text::Anchor::Start:
            break;
        case Text::Anchor::Middle:
            out += " text-anchor=\"middle\"";
            break;
        case Text::Anchor::End:
            out += " text-anchor=\"end\"";
            break;
        }
        switch (text->baseline) {
        case Text::Baseline::Top:
            out += " dominant-baseline=\"hanging\"";
            break;
        case Text::Baseline::Middle:
            out += " dominant-baseline=\"central\"";
            break;
        case Text::Baseline::Bottom:
            break;
        }
        if (text->bold)
            out += " font-weight=\"bold\"";
        Rotation(out, text->rotation, text->at);
        Attribute(out, "fill", text->ink && !standalone ? std::string("currentColor") : Colour(text->colour));
        out += '>';
        AppendEscaped(out, text->text);
        if (!item.title.empty()) {
            out += "<title>";
            AppendEscaped(out, item.title);
            out += "</title>";
        }
        out += "</text>\n";
    }
}

} // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if ((u < 0x20 && c != '\t' && c != '\n') || u == 0x7F)
                    out += kReplacement;
                else
                    out += c;
            }
            ++i;
            continue;
        }
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        // C1 controls (U+0080 to U+009F) are no text either.
        if (n == 2 && u == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            out += kReplacement;
        else
            out.append(text, i, n);
        i += n;
    }
}

std::string Escaped(std::string_view text) {
    std::string out;
    AppendEscaped(out, text);
    return out;
}

void AppendCoordinate(std::string& out, double value) {
    if (!std::isfinite(value))
        value = 0.0;
    char buffer[48];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    while (text.ends_with('0'))
        text.remove_suffix(1);
    if (text.ends_with('.'))
        text.remove_suffix(1);
    if (text == "-0")
        text = "0";
    out += text;
}

std::string SvgText(const Figure& figure, bool standalone) {
    std::string out;
    if (standalone)
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg";
    if (standalone)
        out += " xmlns=\"http://www.w3.org/2000/svg\"";
    out += " viewBox=\"0 0 ";
    AppendCoordinate(out, figure.width);
    out += ' ';
    AppendCoordinate(out, figure.height);
    out += '"';
    Attribute(out, "width", figure.width);
    Attribute(out, "height", figure.height);
    out += " role=\"img\"";
    out += standalone ? " font-family=\"'Liberation Sans', Arial, Helvetica, sans-serif\" "
                        "style=\"background:#ffffff\">\n"
                      : ">\n";
    out += "<title>";
    AppendEscaped(out, figure.title);
    out += "</title>\n<desc>";
    AppendEscaped(out, figure.description);
    out += "</desc>\n";
    for (const Item& item : figure.items)
        Write(out, item, standalone);
    out += "</svg>\n";
    return out;
}

} // namespace board_cli
