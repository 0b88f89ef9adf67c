// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A reader of what spreadsheets write as CSV: RFC 4180 quoting (separators, line breaks and doubled
// quotes inside quotes), UTF-8 with or without a byte-order mark, LF or CRLF, and the separator (',', ';'
// or tab) found from the header row, or set by Excel's first line "sep=;".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct Dialect {
    char separator = ',';
    bool crlf = false;         // the header line ends in CR LF
    bool bom = false;          // the text starts with UTF-8's byte-order mark
    bool decimalComma = false; // set by the parts list when a number was written with a decimal comma
    bool sepLine = false;      // the text starts with Excel's "sep=" line, which set the separator
};

// The separator that Excel's first line "sep=;" names (',', ';' or a tab; blanks around it and a final
// CR are allowed), or nullopt when `line` is not such a line.
std::optional<char> SeparatorLine(std::string_view line);

struct Record {
    std::size_t line = 0;                // the line the record starts on, 1 for the first line of the text
    std::vector<std::string_view> cells; // as many as the record has; valid until the next record is read
    bool unterminated = false;           // a quoted cell ran to the end of the text
    std::string scratch;                 // the cells that unquoting changed
};

class CsvReader {
public:
    // `text` must outlive the reader.
    explicit CsvReader(std::string_view text);

    const Dialect& dialect() const { return dialect_; }

    // The next record, or false at the end of the text. Its cells are pieces of the text wherever
    // they can be, so reading a long file copies and allocates little.
    bool Next(Record& record);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    Dialect dialect_;
    struct Piece {
        bool scratch;
        std::size_t start;
        std::size_t length;
    };
    std::vector<Piece> pieces_;
};

// A cell as CSV writes it with `separator`: quoted, quotes doubled, when it holds the separator, a quote,
// a line break or blanks at either end.
void AppendCell(std::string& out, std::string_view cell, char separator);

} // namespace board
