// Resource and control IDs of tarnvel.
#pragma once

#include "resources/winres.h"

// Dialogs.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;

// Strings.
inline constexpr unsigned IDS_ABOUTBOX = 101;

// Icon and bitmap.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_FORMULA = 129;

// System menu command (the low four bits of a system command belong to the system).
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Controls of the main dialog.
inline constexpr int IDC_EDIT_B = 1000;
inline constexpr int IDC_EDIT_H = 1002;
inline constexpr int IDC_EDIT_C = 1003;
inline constexpr int IDC_EDIT_L = 1004;
inline constexpr int IDC_EDIT_Z = 1005;
inline constexpr int IDC_Z_UNITS = 1006;
inline constexpr int IDC_Z_CAPTION = 1007;
inline constexpr int IDC_RESULTS_GROUP = 1008;
inline constexpr int IDC_C_DISPLAY = 1009;
inline constexpr int IDC_COMPONENT_LIST = 1011;
inline constexpr int IDC_COMPONENT_CAPTION = 1012;
inline constexpr int IDC_COMPONENT_TEXT = 1013;
inline constexpr int IDC_MODE_LIST = 1015;
inline constexpr int IDC_C_CAPTION = 1016;
inline constexpr int IDC_POSITION_LIST = 1017;
