// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A reader of S-expressions as KiCad writes them: lists in parentheses, bare atoms (symbols and numbers)
// and double-quoted strings with backslash escapes. Every node knows the line and column it starts on, and
// what cannot be read is reported with its place, never thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct SNode;

// A list's items, held by the reading they come from.
class SNodes {
public:
    SNodes() = default;
    SNodes(const SNode* first, std::size_t count) : first_(first), count_(count) {}
    const SNode* begin() const { return first_; }
    const SNode* end() const;
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const SNode& front() const { return *first_; }
    const SNode& operator[](std::size_t i) const;
    // Throws std::out_of_range past the end.
    const SNode& at(std::size_t i) const;

private:
    const SNode* first_ = nullptr;
    std::size_t count_ = 0;
};

struct SNode {
    enum class Kind : unsigned char { List, Symbol, String };
    std::string_view text;  // an atom's text, a string's without its quotes and escapes; a piece of the text
                            // read, or of the reading's own store where escapes were undone
    SNodes children;        // a list's items, its head first
    std::uint32_t line = 0; // 1-based
    std::uint32_t column = 0; // 1-based, in characters (UTF-8 sequences count once)
    Kind kind = Kind::List;

    bool IsList() const { return kind == Kind::List; }
    bool IsAtom() const { return kind != Kind::List; }
};

inline const SNode* SNodes::end() const {
    return first_ + count_;
}
inline const SNode& SNodes::operator[](std::size_t i) const {
    return first_[i];
}

// Lists deeper than this are refused, so that no input can exhaust the stack of a reader that walks them.
inline constexpr std::size_t kMaxSexprDepth = 1000;

// The longest text read: lines and columns are counted in 32 bits.
inline constexpr std::size_t kMaxSexprBytes = std::size_t{0xFFFFFFFE};

// A reading owns its nodes: a list's items lie together in blocks of its store, which are freed at once.
struct SexprReading {
    std::vector<SNode> nodes;              // the text's top-level expressions, in order; empty after an error
    std::string error;                     // "line 12, column 5: unclosed '('"; empty when the text was read
    std::deque<std::string> unescaped;     // the strings whose escapes were undone, which their nodes view
    std::vector<std::vector<SNode>> store; // the lists' items, in blocks that never grow past their room
};

// The whole text, which must outlive the reading: the nodes' texts are pieces of it. Blanks (space, tab, CR,
// LF, FF, VT) separate atoms; a string may span lines; an escape is \n, \r, \t, or a backslash before any
// other character, which stands for that character.
SexprReading ReadSexpr(std::string_view text);

// "line L, column C: " for a node, as messages about it start.
std::string Where(const SNode& node);

// The head symbol of a list, "" for an atom, an empty list or a list that starts with a list.
std::string_view Head(const SNode& node);

// The list items of `node` whose head is `head`, in order; the first of them, or null.
std::vector<const SNode*> Children(const SNode& node, std::string_view head);
const SNode* Child(const SNode& node, std::string_view head);

// The n-th atom after the head (0 for the first), skipping lists; null when there are fewer.
const SNode* AtomAt(const SNode& node, std::size_t n);

// That atom's text, or nullopt.
std::optional<std::string_view> AtomText(const SNode& node, std::size_t n);

// That atom read as a number (ParseNumber: decimal point, no locale), or nullopt when it is missing or
// is not a number.
std::optional<double> AtomNumber(const SNode& node, std::size_t n);

// Whether `word` is one of the node's atoms after its head.
bool HasAtom(const SNode& node, std::string_view word);

} // namespace board
