// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// IDs of the framework tests' own resources (afx_test.rc).
#pragma once

// Dialogs: a form with edits, lists, labels and group boxes, and a small box with an icon.
#define IDD_PROBE 200
#define IDD_SMALL 201

// Strings: two in the first block of sixteen, one in a later block.
#define IDS_FIRST 1
#define IDS_SECOND 2
#define IDS_LATER 40

#define IDI_PICTURE 300

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
