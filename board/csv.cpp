// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/csv.h"

#include <algorithm>

namespace board {

namespace {

// The separator that occurs most often outside quotes on the first line; a tie goes to tab, then ';',
// as a comma also appears inside free text.
char DetectSeparator(std::string_view text) {
    std::size_t comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == '\n')
            break;
        else if (!quoted && c == ',')
            ++comma;
        else if (!quoted && c == ';')
            ++semicolon;
        else if (!quoted && c == '\t')
            ++tab;
    }
    if (tab > 0 && tab >= semicolon && tab >= comma)
        return '\t';
    if (semicolon > 0 && semicolon >= comma)
        return ';';
    return ',';
}

} // namespace

std::optional<char> SeparatorLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    // Blanks around the line, but a tab may be the separator itself.
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    while (line.size() > 5 && line.back() == ' ')
        line.remove_suffix(1);
    if (line.size() != 5 || !(line[0] == 's' || line[0] == 'S') || !(line[1] == 'e' || line[1] == 'E') ||
        !(line[2] == 'p' || line[2] == 'P') || line[3] != '=')
        return std::nullopt;
    const char separator = line[4];
    if (separator != ',' && separator != ';' && separator != '\t')
        return std::nullopt;
    return separator;
}

CsvReader::CsvReader(std::string_view text) : text_(text) {
    dialect_.bom = text_.starts_with("\xEF\xBB\xBF");
    if (dialect_.bom)
        text_.remove_prefix(3);
    // Excel's "sep=;" line names the separator and is not a record: the header is the line after it.
    const std::size_t first = text_.find('\n');
    if (const auto named = SeparatorLine(text_.substr(0, first))) {
        dialect_.separator = *named;
        dialect_.sepLine = true;
        pos_ = first == std::string_view::npos ? text_.size() : first + 1;
        line_ = 2;
    }
    // The header row is the first line that holds more than blanks.
    std::string_view header = text_.substr(pos_);
    for (;;) {
        const std::size_t end = header.find('\n');
        if (end == std::string_view::npos ||
            header.substr(0, end).find_first_not_of(" \t\r") != std::string_view::npos)
            break;
        header.remove_prefix(end + 1);
    }
    if (!dialect_.sepLine)
        dialect_.separator = DetectSeparator(header);
    const std::size_t end = header.find('\n');
    dialect_.crlf = end != std::string_view::npos && end > 0 && header[end - 1] == '\r';
}

bool CsvReader::Next(Record& record) {
    if (pos_ >= text_.size())
        return false;
    record.line = line_;
    record.unterminated = false;
    record.scratch.clear();
    pieces_.clear();
    const char separator = dialect_.separator;
    for (;;) {
        // A cell is a piece of the text itself, unless unquoting changed it: then it is built in the
        // record's scratch string.
        Piece piece{false, pos_, 0};
        auto toScratch = [&] {
            if (piece.scratch)
                return;
            const std::string_view so_far = text_.substr(piece.start, piece.length);
            piece = {true, record.scratch.size(), 0};
            record.scratch.append(so_far);
        };
        auto append = [&](std::string_view more) {
            if (piece.scratch)
                record.scratch.append(more);
            else
                piece.length += more.size();
        };
        const bool quoted = pos_ < text_.size() && text_[pos_] == '"';
        if (quoted) {
            piece.start = ++pos_;
            for (;;) {
                const std::size_t quote = text_.find('"', pos_);
                const std::size_t end = quote == std::string_view::npos ? text_.size() : quote;
                const std::string_view chunk = text_.substr(pos_, end - pos_);
                line_ += static_cast<std::size_t>(std::count(chunk.begin(), chunk.end(), '\n'));
                append(chunk);
                if (quote == std::string_view::npos) {
                    pos_ = text_.size();
                    record.unterminated = true;
                    break;
                }
                pos_ = quote + 1;
                if (pos_ < text_.size() && text_[pos_] == '"') { // a doubled quote stands for one
                    toScratch();
                    record.scratch.push_back('"');
                    ++pos_;
                    continue;
                }
                break;
            }
        }
        // Unquoted text, or what follows a closing quote before the separator (kept as it stands).
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != separator && text_[end] != '\n')
            ++end;
        std::size_t stop = end;
        if (stop > pos_ && text_[stop - 1] == '\r' && (end == text_.size() || text_[end] == '\n'))
            --stop;
        if (stop > pos_) {
            if (quoted)
                toScratch();
            append(text_.substr(pos_, stop - pos_));
        }
        if (piece.scratch)
            piece.length = record.scratch.size() - piece.start;
        pieces_.push_back(piece);
        pos_ = end;
        if (pos_ < text_.size() && text_[pos_] == separator) {
            ++pos_;
            continue;
        }
        if (pos_ < text_.size()) { // a line break ends the record
            ++pos_;
            ++line_;
        }
        break;
    }
    record.cells.resize(pieces_.size());
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        const Piece& p = pieces_[i];
        record.cells[i] = (p.scratch ? std::string_view(record.scratch) : text_).substr(p.start, p.length);
    }
    return true;
}

void AppendCell(std::string& out, std::string_view cell, char separator) {
    const char specials[] = {separator, '"', '\n', '\r'};
    const bool quote =
        cell.find_first_of(std::string_view(specials, sizeof specials)) != std::string_view::npos ||
        (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
    if (!quote) {
        out.append(cell);
        return;
    }
    // Quoted, each quote doubled.
    out.push_back('"');
    std::size_t start = 0;
    for (std::size_t q = 0; (q = cell.find('"', start)) != std::string_view::npos; start = q + 1) {
        out.append(cell.substr(start, q + 1 - start));
        out.push_back('"');
    }
    out.append(cell.substr(start));
    out.push_back('"');
}

} // namespace board
