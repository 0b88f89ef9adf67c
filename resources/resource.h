// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Resource and control IDs of tarnvel, shared by the resource script and the code.
#pragma once

// Dialogs.
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102

// Strings.
#define IDS_ABOUTBOX 101

// Icon and bitmap.
#define IDR_MAINFRAME 128
#define IDB_FORMULA 129

// System menu command (the low four bits of a system command belong to the system).
#define IDM_ABOUTBOX 0x0010

// Controls of the main dialog.
#define IDC_EDIT_B 1000
#define IDC_EDIT_H 1002
#define IDC_EDIT_C 1003
#define IDC_EDIT_L 1004
#define IDC_EDIT_Z 1005
#define IDC_Z_UNITS 1006
#define IDC_Z_CAPTION 1007
#define IDC_RESULTS_GROUP 1008
#define IDC_C_DISPLAY 1009
#define IDC_COMPONENT_LIST 1011
#define IDC_COMPONENT_CAPTION 1012
#define IDC_COMPONENT_TEXT 1013
#define IDC_MODE_LIST 1015
#define IDC_C_CAPTION 1016
#define IDC_POSITION_LIST 1017
