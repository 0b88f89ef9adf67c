// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// A reader of S-expressions as KiCad writes them: lists in parentheses, bare atoms (symbols and numbers)
// and double-quoted strings with backslash escapes. Every node knows the line and column it starts on, and
// what cannot be read is reported with its place, never thrown.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace board {

struct SNode {
    enum class Kind { List, Symbol, String };
    Kind kind = Kind::List;
    std::string_view text;       // an atom's text, a string's without its quotes and escapes; a piece of
                                 // the text read, or of the reading's own store where escapes were undone
    std::vector<SNode> children; // a list's items, its head first
    std::size_t line = 0;        // 1-based
    std::size_t column = 0;      // 1-based, in characters (UTF-8 sequences count once)

    bool IsList() const { return kind == Kind::List; }
    bool IsAtom() const { return kind != Kind::List; }
};

// Lists deeper than this are refused, so that no input can exhaust the stack of a reader or a destructor.
inline constexpr std::size_t kMaxSexprDepth = 1000;

struct SexprReading {
    std::vector<SNode> nodes;          // the text's top-level expressions, in order; empty after an error
    std::string error;                 // "line 12, column 5: unclosed '('"; empty when the text was read
    std::deque<std::string> unescaped; // the strings whose escapes were undone, which their nodes view
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
