// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/sexpr.h"

#include "board/units.h"

#include <utility>

namespace board {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool EndsAtom(char c) {
    return IsBlank(c) || c == '(' || c == ')' || c == '"';
}

std::string Place(std::size_t line, std::size_t column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

// Walks the text keeping the line and column of the next character.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return text_[pos_]; }
    std::size_t Line() const { return line_; }
    std::size_t Pos() const { return pos_; }
    std::size_t Column() const { return column_; }

    char Take() {
        const char c = text_[pos_++];
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            // A UTF-8 continuation byte belongs to the character before it.
            ++column_;
        }
        return c;
    }

    // The bytes up to the next blank, parenthesis or quote, which hold no line break.
    std::string_view TakeAtom() {
        const std::size_t start = pos_;
        while (!AtEnd() && !EndsAtom(Peek()))
            Take();
        return text_.substr(start, pos_ - start);
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t column_ = 1;
};

} // namespace

SexprReading ReadSexpr(std::string_view text) {
    SexprReading reading;
    Cursor in(text);
    std::vector<SNode> open; // the lists not yet closed, the innermost last
    auto fail = [&](std::size_t line, std::size_t column, const std::string& what) {
        reading.nodes.clear();
        reading.error = Place(line, column) + what;
        return std::move(reading);
    };
    auto add = [&](SNode node) {
        if (open.empty())
            reading.nodes.push_back(std::move(node));
        else
            open.back().children.push_back(std::move(node));
    };
    while (!in.AtEnd()) {
        const char c = in.Peek();
        if (IsBlank(c)) {
            in.Take();
            continue;
        }
        SNode node;
        node.line = in.Line();
        node.column = in.Column();
        if (c == '(') {
            if (open.size() >= kMaxSexprDepth)
                return fail(node.line, node.column,
                            "lists nested deeper than " + std::to_string(kMaxSexprDepth) + " levels");
            in.Take();
            open.push_back(std::move(node));
        } else if (c == ')') {
            if (open.empty())
                return fail(node.line, node.column, "unexpected ')' with no '(' open");
            in.Take();
            SNode done = std::move(open.back());
            open.pop_back();
            add(std::move(done));
        } else if (c == '"') {
            in.Take();
            node.kind = SNode::Kind::String;
            const std::size_t start = in.Pos();
            bool closed = false, escaped = false;
            while (!in.AtEnd()) {
                const char d = in.Take();
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    escaped = true;
                    if (in.AtEnd())
                        break;
                    in.Take();
                }
            }
            if (!closed)
                return fail(node.line, node.column, "unterminated string");
            const std::string_view raw = text.substr(start, in.Pos() - 1 - start);
            if (escaped) {
                // Escapes undone into the reading's store, which the node views.
                std::string& plain = reading.unescaped.emplace_back();
                for (std::size_t i = 0; i < raw.size(); ++i) {
                    char d = raw[i];
                    if (d == '\\' && i + 1 < raw.size()) {
                        d = raw[++i];
                        d = d == 'n' ? '\n' : d == 'r' ? '\r' : d == 't' ? '\t' : d;
                    }
                    plain.push_back(d);
                }
                node.text = plain;
            } else {
                node.text = raw;
            }
            add(std::move(node));
        } else {
            node.kind = SNode::Kind::Symbol;
            node.text = in.TakeAtom();
            add(std::move(node));
        }
    }
    if (!open.empty())
        return fail(open.back().line, open.back().column, "unclosed '('");
    return reading;
}

std::string Where(const SNode& node) {
    return Place(node.line, node.column);
}

std::string_view Head(const SNode& node) {
    if (!node.IsList() || node.children.empty() || node.children.front().kind != SNode::Kind::Symbol)
        return {};
    return node.children.front().text;
}

std::vector<const SNode*> Children(const SNode& node, std::string_view head) {
    std::vector<const SNode*> found;
    for (const SNode& child : node.children)
        if (child.IsList() && Head(child) == head)
            found.push_back(&child);
    return found;
}

const SNode* Child(const SNode& node, std::string_view head) {
    for (const SNode& child : node.children)
        if (child.IsList() && Head(child) == head)
            return &child;
    return nullptr;
}

const SNode* AtomAt(const SNode& node, std::size_t n) {
    for (std::size_t i = 1; i < node.children.size(); ++i) {
        if (!node.children[i].IsAtom())
            continue;
        if (n == 0)
            return &node.children[i];
        --n;
    }
    return nullptr;
}

std::optional<std::string_view> AtomText(const SNode& node, std::size_t n) {
    if (const SNode* atom = AtomAt(node, n))
        return atom->text;
    return std::nullopt;
}

std::optional<double> AtomNumber(const SNode& node, std::size_t n) {
    const SNode* atom = AtomAt(node, n);
    if (!atom)
        return std::nullopt;
    return ParseNumber(atom->text);
}

bool HasAtom(const SNode& node, std::string_view word) {
    for (std::size_t i = 1; i < node.children.size(); ++i)
        if (node.children[i].IsAtom() && node.children[i].text == word)
            return true;
    return false;
}

} // namespace board
