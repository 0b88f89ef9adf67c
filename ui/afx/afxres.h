// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The constants that resource scripts and programs share: window, dialog and control styles,
// standard IDs and the version block's flags, with the values and names of the Windows headers.
// Plain #defines, so that a resource compiler's preprocessor reads this file as a C++ compiler
// does.
#pragma once

// Standard command IDs.
#define IDOK 1
#define IDCANCEL 2
#define IDC_STATIC (-1)

// Window styles.
#define WS_POPUP 0x80000000
#define WS_CHILD 0x40000000
#define WS_VISIBLE 0x10000000
#define WS_CAPTION 0x00C00000
#define WS_BORDER 0x00800000
#define WS_VSCROLL 0x00200000
#define WS_SYSMENU 0x00080000
#define WS_GROUP 0x00020000
#define WS_TABSTOP 0x00010000

// Extended window styles.
#define WS_EX_DLGMODALFRAME 0x00000001
#define WS_EX_APPWINDOW 0x00040000

// Dialog styles.
#define DS_SETFONT 0x40
#define DS_MODALFRAME 0x80

// Button styles.
#define BS_PUSHBUTTON 0x0
#define BS_DEFPUSHBUTTON 0x1
#define BS_GROUPBOX 0x7
#define BS_TYPEMASK 0xF

// Edit styles.
#define ES_LEFT 0x0
#define ES_AUTOHSCROLL 0x80
#define ES_READONLY 0x800

// Static styles.
#define SS_LEFT 0x0
#define SS_ICON 0x3
#define SS_BITMAP 0xE
#define SS_TYPEMASK 0x1F
#define SS_NOPREFIX 0x80

// List box styles.
#define LBS_NOTIFY 0x1
#define LBS_SORT 0x2
#define LBS_NOINTEGRALHEIGHT 0x100

// Version block.
#define VS_VERSION_INFO 1
#define VS_FFI_FILEFLAGSMASK 0x3F
#define VOS__WINDOWS32 0x4
#define VOS_NT_WINDOWS32 0x40004
#define VFT_APP 0x1
#define VFT2_UNKNOWN 0x0
