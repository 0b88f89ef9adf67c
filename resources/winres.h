// Window styles, standard command IDs and the constants that dialog templates are written with.
// The values are those of the Windows headers, so the templates read like a resource script.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;

// Standard command IDs.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1;

// Window styles.
inline constexpr DWORD WS_POPUP = 0x80000000u;
inline constexpr DWORD WS_CHILD = 0x40000000u;
inline constexpr DWORD WS_VISIBLE = 0x10000000u;
inline constexpr DWORD WS_CAPTION = 0x00C00000u;
inline constexpr DWORD WS_BORDER = 0x00800000u;
inline constexpr DWORD WS_VSCROLL = 0x00200000u;
inline constexpr DWORD WS_SYSMENU = 0x00080000u;
inline constexpr DWORD WS_GROUP = 0x00020000u;
inline constexpr DWORD WS_TABSTOP = 0x00010000u;

// Extended window styles.
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001u;
inline constexpr DWORD WS_EX_APPWINDOW = 0x00040000u;

// Dialog styles.
inline constexpr DWORD DS_SETFONT = 0x40u;
inline constexpr DWORD DS_MODALFRAME = 0x80u;

// Button styles.
inline constexpr DWORD BS_PUSHBUTTON = 0x0u;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1u;
inline constexpr DWORD BS_GROUPBOX = 0x7u;
inline constexpr DWORD BS_TYPEMASK = 0xFu;

// Edit styles.
inline constexpr DWORD ES_LEFT = 0x0u;
inline constexpr DWORD ES_AUTOHSCROLL = 0x80u;
inline constexpr DWORD ES_READONLY = 0x800u;

// Static styles.
inline constexpr DWORD SS_LEFT = 0x0u;
inline constexpr DWORD SS_ICON = 0x3u;
inline constexpr DWORD SS_BITMAP = 0xEu;
inline constexpr DWORD SS_TYPEMASK = 0x1Fu;
inline constexpr DWORD SS_NOPREFIX = 0x80u;

// List box styles.
inline constexpr DWORD LBS_NOTIFY = 0x1u;
inline constexpr DWORD LBS_SORT = 0x2u;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x100u;
