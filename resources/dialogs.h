// Dialog templates as typed constant data: what a compiled dialog resource holds.
#pragma once

#include "ui/afx/afxres.h"

#include <cstdint>

using DWORD = std::uint32_t;

#include <span>

namespace res {

// The window class of a control; together with the style it makes the control's kind
// (a button with BS_GROUPBOX is a group box, a static with SS_ICON shows an icon, …).
enum class ControlClass { Button, Edit, Static, ListBox };

struct DialogItem {
    int id;             // control ID, IDC_STATIC (−1) for controls the code never addresses
    const char* symbol; // the ID's symbol ("IDC_EDIT_B"), empty for IDC_STATIC
    ControlClass cls;
    DWORD style; // window and control styles (WS_CHILD | WS_VISIBLE always included)
    DWORD exStyle;
    const char* text;           // caption; empty for edits and lists
    int imageId;                // icon or bitmap resource of an SS_ICON / SS_BITMAP static, else 0
    short x, y, cx, cy;         // dialog units
    const char* accessibleName; // what assistive technology calls the control, nullptr = its text
};

struct DialogTemplate {
    int id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy; // dialog units
    const char* fontName;
    int pointSize;
    int weight; // 0 = normal
    const char* title;
    std::span<const DialogItem> items; // in template order, which is also the tab order
};

// The template with that resource ID, or nullptr.
const DialogTemplate* FindDialog(int id);

} // namespace res
