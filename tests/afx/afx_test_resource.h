// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// IDs of the framework tests' own resources (afx_test.rc).
#pragma once

// Dialogs: a form with edits, lists, labels and group boxes, a small box with an icon, and framed
// controls and pictures for the tests at fractional scales.
#define IDD_PROBE 200
#define IDD_SMALL 201
#define IDD_FRAMES 202

// Strings: two in the first block of sixteen, one in a later block.
#define IDS_FIRST 1
#define IDS_SECOND 2
#define IDS_LATER 40

#define IDI_PICTURE 300
#define IDB_DOTS 301

// Commands.
#define IDM_EXTRA 0x0010

// Controls of the form.
#define IDC_EDIT_B 1000
#define IDC_EDIT_H 1002
#define IDC_EDIT_C 1003
#define IDC_EDIT_L 1004
#define IDC_EDIT_Z 1005
#define IDC_Z_CAPTION 1007
#define IDC_RESULTS_GROUP 1008
#define IDC_C_DISPLAY 1009
#define IDC_COMPONENT_LIST 1011
#define IDC_COMPONENT_TEXT 1013
#define IDC_MODE_LIST 1015
#define IDC_POSITION_LIST 1017

// Controls of the frames dialog.
#define IDC_LIST_1 1100
#define IDC_LIST_2 1101
#define IDC_LIST_3 1102
#define IDC_LIST_4 1103
#define IDC_EDIT_1 1110
#define IDC_EDIT_2 1111
#define IDC_EDIT_3 1112
#define IDC_EDIT_4 1113
#define IDC_GROUP_1 1120
#define IDC_GROUP_2 1121
#define IDC_GROUP_3 1122
#define IDC_PUSH_1 1130
#define IDC_PUSH_2 1131
#define IDC_DOTS_1 1140
#define IDC_DOTS_2 1141
#define IDC_DOTS_3 1142
#define IDC_DOTS_4 1143
#define IDC_ICON_1 1150
