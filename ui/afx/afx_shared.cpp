// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// What every backend does alike and needs no window system for: copying text out as the A calls do,
// dialog units, and the names assistive technology reads for the controls of a dialog template.
#include "ui/afx/afxbackend.h"
#include "ui/afx/afxlayout.h"

#include <algorithm>
#include <climits>
#include <cstring>

int AfxCopyOut(const char* text, std::size_t length, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0)
        return 0;
    const std::size_t n = std::min(length, size - 1);
    if (n > 0)
        std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

namespace afx {

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

BaseUnits DialogBaseUnits(int alphabetWidth, int lineHeight) {
    return {(alphabetWidth / 26 + 1) / 2, lineHeight};
}

PixelBox DialogUnitsToPixels(BaseUnits base, int x, int y, int cx, int cy) {
    return {MulDiv(x, base.cx, 4), MulDiv(y, base.cy, 8), MulDiv(cx, base.cx, 4), MulDiv(cy, base.cy, 8)};
}

namespace {

struct Box {
    int left, top, right, bottom;
    explicit Box(const DialogItemTemplate& item)
        : left(item.x), top(item.y), right(item.x + item.cx), bottom(item.y + item.cy) {}
    bool Contains(const Box& b) const {
        return left <= b.left && top <= b.top && right >= b.right && bottom >= b.bottom;
    }
    int Area() const { return (right - left) * (bottom - top); }
};

bool IsLabel(const DialogItemTemplate& item) {
    const std::uint32_t type = item.style & SS_TYPEMASK;
    return item.cls == ControlClass::Static && type != SS_ICON && type != SS_BITMAP && !item.text.empty();
}

bool IsGroupBox(const DialogItemTemplate& item) {
    return item.cls == ControlClass::Button && (item.style & BS_TYPEMASK) == BS_GROUPBOX &&
           !item.text.empty();
}

// Blanks runs collapsed and trimmed, access-key marks dropped.
std::string Tidy(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&')
            continue;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out.push_back(c);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The symbol a field's label gives it: "B = " names B, "Z  for 20 million cycles" names Z.
std::string Symbol(const std::string& label) {
    std::size_t end = label.size();
    for (const char* cut : {" =", "  ", ":"})
        end = std::min(end, label.find(cut));
    const std::string symbol = Tidy(label.substr(0, end));
    return symbol.empty() ? Tidy(label) : symbol;
}

constexpr int kLabelGap = 14; // dialog units between a label and what it names, at most

} // namespace

std::string AccessibleName(const DialogTemplate& t, std::size_t index) {
    const DialogItemTemplate& item = t.items[index];
    if (item.cls != ControlClass::Edit && item.cls != ControlClass::ListBox)
        return Tidy(item.text);
    const Box me(item);
    const DialogItemTemplate* left = nullptr;
    const DialogItemTemplate* above = nullptr;
    const DialogItemTemplate* group = nullptr;
    int leftGap = kLabelGap + 1, aboveGap = kLabelGap + 1, groupArea = INT_MAX;
    for (const DialogItemTemplate& other : t.items) {
        const Box b(other);
        if (IsLabel(other)) {
            const bool sameLine = b.top < me.bottom && b.bottom > me.top;
            const bool sameColumn = b.left < me.right && b.right > me.left;
            if (sameLine && b.right <= me.left && me.left - b.right < leftGap) {
                leftGap = me.left - b.right;
                left = &other;
            }
            if (sameColumn && b.bottom <= me.top && me.top - b.bottom < aboveGap) {
                aboveGap = me.top - b.bottom;
                above = &other;
            }
        } else if (IsGroupBox(other) && b.Contains(me) && b.Area() < groupArea) {
            groupArea = b.Area();
            group = &other;
        }
    }
    // An edit is named by its label's symbol, a list by the group it sits in or its caption.
    if (item.cls == ControlClass::Edit) {
        if (const DialogItemTemplate* label = left ? left : above)
            return Symbol(label->text);
        return group ? Tidy(group->text) : std::string();
    }
    if (group != nullptr)
        return Tidy(group->text);
    return above ? Tidy(above->text) : std::string();
}

} // namespace afx
