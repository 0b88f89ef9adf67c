#include "resources/dialogs.h"

#include "resources/resource.h"

#include <array>

namespace res {

namespace {

using enum ControlClass;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | WS_GROUP;
constexpr DWORD kEdit = kChild | ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kList =
    kChild | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;

// clang-format off
// IDD_MAIN, in template order.
constexpr std::array<DialogItem, 36> kMainItems{{
    {IDOK, "IDOK", Button, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, WS_EX_DLGMODALFRAME, "Calculate", 0, 301, 218, 97, 25, nullptr},
    {IDCANCEL, "IDCANCEL", Button, kChild | BS_PUSHBUTTON | WS_TABSTOP, WS_EX_DLGMODALFRAME, "Exit", 0, 301, 272, 97, 24, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "Length of Circuit Board Edge Parallel to Component", 0, 21, 93, 97, 20, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "B = ", 0, 127, 96, 13, 8, nullptr},
    {IDC_EDIT_B, "IDC_EDIT_B", Edit, kEdit | WS_BORDER, 0, "", 0, 146, 95, 71, 15, "B"},
    {IDC_STATIC, "", Static, kLabel, 0, "inch", 0, 224, 99, 27, 13, nullptr},
    {IDC_C_CAPTION, "IDC_C_CAPTION", Static, kLabel, 0, "C = ", 0, 137, 188, 15, 11, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "Circuit Board Thickness", 0, 20, 120, 84, 15, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "h = ", 0, 126, 124, 15, 13, nullptr},
    {IDC_EDIT_H, "IDC_EDIT_H", Edit, kEdit | WS_BORDER, 0, "", 0, 145, 122, 71, 15, "h"},
    {IDC_EDIT_C, "IDC_EDIT_C", Edit, kEdit | WS_BORDER, 0, "", 0, 157, 186, 71, 15, "C"},
    {IDC_EDIT_L, "IDC_EDIT_L", Edit, kEdit | WS_BORDER, 0, "", 0, 146, 146, 71, 15, "L"},
    {IDC_STATIC, "", Static, kLabel, 0, "inch", 0, 225, 125, 27, 13, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "inch", 0, 223, 149, 27, 13, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "Length of the Electronic Component", 0, 22, 144, 89, 17, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "L = ", 0, 125, 147, 13, 15, nullptr},
    {IDC_EDIT_Z, "IDC_EDIT_Z", Edit, kEdit | WS_BORDER | ES_READONLY, 0, "", 0, 292, 122, 71, 15, "Z"},
    {IDC_Z_CAPTION, "IDC_Z_CAPTION", Static, kLabel, 0, "Z  for 20 million cycles", 0, 298, 99, 85, 12, nullptr},
    {IDC_Z_UNITS, "IDC_Z_UNITS", Static, kLabel, 0, "inch  (3-sigma)", 0, 372, 122, 49, 13, nullptr},
    {IDC_STATIC, "", Button, kGroup, 0, "Input", 0, 13, 73, 256, 223, nullptr},
    {IDC_RESULTS_GROUP, "IDC_RESULTS_GROUP", Button, kGroup, 0, "Results:  Relative Displacement Limit", 0, 275, 76, 205, 106, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "Steinberg, Vibration Analysis for Electronic Equipment", 0, 21, 30, 106, 20, nullptr},
    {IDC_STATIC, "", Button, kGroup, 0, "", 0, 7, 6, 473, 63, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "inch 3-sigma for 20 million cycles", 0, 285, 37, 111, 14, nullptr},
    {IDC_STATIC, "", Static, kChild | SS_BITMAP, 0, "", IDB_FORMULA, 204, 34, 62, 20, "Z = 0.00022 B / (C h r \xE2\x88\x9AL)"},
    {IDC_STATIC, "", Button, kGroup, 0, "Reference", 0, 13, 16, 128, 46, nullptr},
    {IDC_STATIC, "", Button, kGroup, 0, "Z = Relative Displacement Limit", 0, 149, 16, 264, 46, nullptr},
    {IDC_STATIC, "", Button, kGroup, 0, "Component Constant", 0, 16, 175, 239, 68, nullptr},
    {IDC_STATIC, "", Button, kGroup, 0, "Relative Position Factor  r  ", 0, 16, 244, 235, 46, nullptr},
    {IDC_STATIC, "", Button, kGroup, 0, "", 0, 17, 82, 240, 87, nullptr},
    {IDC_COMPONENT_LIST, "IDC_COMPONENT_LIST", ListBox, kList, 0, "", 0, 279, 99, 195, 108, "Select Component"},
    {IDC_COMPONENT_CAPTION, "IDC_COMPONENT_CAPTION", Static, kLabel, 0, "Select Component", 0, 294, 86, 114, 11, nullptr},
    {IDC_COMPONENT_TEXT, "IDC_COMPONENT_TEXT", Edit, kEdit | ES_READONLY, 0, "", 0, 24, 227, 214, 15, "Component"},
    {IDC_MODE_LIST, "IDC_MODE_LIST", ListBox, kList, 0, "", 0, 24, 188, 99, 35, "Component Constant"},
    {IDC_C_DISPLAY, "IDC_C_DISPLAY", Edit, kEdit | ES_READONLY, 0, "", 0, 157, 205, 71, 15, "C value"},
    {IDC_POSITION_LIST, "IDC_POSITION_LIST", ListBox, kList, 0, "", 0, 125, 251, 117, 35, "Relative Position Factor r"},
}};

// IDD_ABOUTBOX, in template order.
constexpr std::array<DialogItem, 4> kAboutItems{{
    {IDC_STATIC, "", Static, kChild | SS_ICON, 0, "", IDR_MAINFRAME, 11, 17, 20, 20, "tarnvel"},
    {IDC_STATIC, "", Static, kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP, 0, "tarnvel     Version 1.1", 0, 46, 17, 119, 8, nullptr},
    {IDC_STATIC, "", Static, kLabel, 0, "By Ostrel  Email: ostrel@example.com", 0, 53, 32, 63, 40, nullptr},
    {IDOK, "IDOK", Button, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, "OK", 0, 206, 7, 50, 14, nullptr},
}};
// clang-format on

constexpr DWORD kModalDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

constexpr std::array<DialogTemplate, 2> kDialogs{{
    {IDD_MAIN, kModalDialog | WS_VISIBLE, WS_EX_APPWINDOW, 0, 0, 487, 305, "Arial", 10, 0,
     "Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel ", kMainItems},
    {IDD_ABOUTBOX, kModalDialog, 0, 0, 0, 263, 93, "MS Sans Serif", 8, 0, "About tarnvel", kAboutItems},
}};

} // namespace

const DialogTemplate* FindDialog(int id) {
    for (const DialogTemplate& t : kDialogs)
        if (t.id == id)
            return &t;
    return nullptr;
}

} // namespace res
