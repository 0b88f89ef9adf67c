// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "board/sexpr.h"

#include "board/units.h"

#include <algorithm>
#include <stdexcept>
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

// The characters of a piece of UTF-8: its bytes but the continuation bytes, which belong to the character
// before them.
std::uint32_t Characters(const char* first, const char* last) {
    std::uint32_t n = 0;
    for (; first != last; ++first)
        n += (static_cast<unsigned char>(*first) & 0xC0) != 0x80 ? 1u : 0u;
    return n;
}

// Where the reading is: the line, and the column counted up to some byte of the line, so that a column is
// found by counting only the bytes since the last one asked for.
struct Position {
    const char* counted;      // the byte the column below is that of
    std::uint32_t line = 1;   // of `counted`
    std::uint32_t column = 1; // of `counted`

    void NewLine(const char* next) {
        ++line;
        column = 1;
        counted = next;
    }
    std::uint32_t ColumnOf(const char* at) {
        column += Characters(counted, at);
        counted = at;
        return column;
    }
};

// The lists' items, copied together into blocks that are never moved: a list's items are one piece.
class Store {
public:
    explicit Store(std::vector<std::vector<SNode>>& blocks) : blocks_(blocks) {}

    SNodes Keep(const SNode* first, std::size_t count) {
        if (count == 0)
            return {};
        if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < count) {
            blocks_.emplace_back().reserve(std::max(count, kBlock));
        }
        std::vector<SNode>& block = blocks_.back();
        const std::size_t at = block.size();
        block.insert(block.end(), first, first + count);
        return {block.data() + at, count};
    }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 14;
    std::vector<std::vector<SNode>>& blocks_;
};

} // namespace

const SNode& SNodes::at(std::size_t i) const {
    if (i >= count_)
        throw std::out_of_range("SNodes::at: item " + std::to_string(i) + " of " + std::to_string(count_));
    return first_[i];
}

SexprReading ReadSexpr(std::string_view text) {
    SexprReading reading;
    if (text.size() > kMaxSexprBytes) {
        reading.error = Place(1, 1) + "the text is larger than 4 GiB";
        return reading;
    }
    Store store(reading.store);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    Position at{begin};
    std::vector<SNode> open;         // the lists not yet closed, the innermost last
    std::vector<std::size_t> firsts; // where each open list's items start in `items`
    std::vector<SNode> items;        // the items of the open lists read so far
    auto fail = [&](std::size_t line, std::size_t column, const std::string& what) {
        reading.nodes.clear();
        reading.store.clear();
        reading.unescaped.clear();
        reading.error = Place(line, column) + what;
        return std::move(reading);
    };
    auto add = [&](const SNode& node) {
        if (open.empty())
            reading.nodes.push_back(node);
        else
            items.push_back(node);
    };
    while (p != end) {
        const char c = *p;
        if (IsBlank(c)) {
            ++p;
            if (c == '\n')
                at.NewLine(p);
            continue;
        }
        SNode node;
        node.line = at.line;
        node.column = at.ColumnOf(p);
        if (c == '(') {
            if (open.size() >= kMaxSexprDepth)
                return fail(node.line, node.column,
                            "lists nested deeper than " + std::to_string(kMaxSexprDepth) + " levels");
            ++p;
            open.push_back(node);
            firsts.push_back(items.size());
        } else if (c == ')') {
            if (open.empty())
                return fail(node.line, node.column, "unexpected ')' with no '(' open");
            ++p;
            SNode list = open.back();
            open.pop_back();
            const std::size_t first = firsts.back();
            firsts.pop_back();
            list.children = store.Keep(items.data() + first, items.size() - first);
            items.resize(first);
            add(list);
        } else if (c == '"') {
            node.kind = SNode::Kind::String;
            const char* const start = ++p;
            bool closed = false, escaped = false;
            while (p != end) {
                const char d = *p++;
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\n') {
                    at.NewLine(p);
                } else if (d == '\\') {
                    escaped = true;
                    if (p == end)
                        break;
                    if (*p++ == '\n')
                        at.NewLine(p);
                }
            }
            if (!closed)
                return fail(node.line, node.column, "unterminated string");
            const std::string_view raw(start, static_cast<std::size_t>(p - 1 - start));
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
            add(node);
        } else {
            // The bytes up to the next blank, parenthesis or quote, which hold no line break.
            node.kind = SNode::Kind::Symbol;
            const char* const start = p;
            while (p != end && !EndsAtom(*p))
                ++p;
            node.text = std::string_view(start, static_cast<std::size_t>(p - start));
            add(node);
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
