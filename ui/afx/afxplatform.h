// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// What the framework classes (CWnd, CDialog, CMenu, CDC, CString, CWinApp) are written on: the
// USER32 and KERNEL32 calls, with their Windows names, arguments and results, and the hooks of
// afxbackend.h. On Windows these are the system's own functions, imported from its DLLs; elsewhere
// a backend (ui/afx/qt) implements them. Nothing else of a backend is seen outside it.
#pragma once

#include "ui/afx/afxbackend.h"
#include "ui/afx/afxresource.h"
#include "ui/afx/afxtypes.h"

#if defined(_WIN32)
// The declarations below are those of the Windows headers, in the framework's types, which have the
// same sizes and layouts.
#define AFXSYSAPI extern "C" __declspec(dllimport)
#define AFXSYSCALL __stdcall
#else
#define AFXSYSAPI
#define AFXSYSCALL
#endif

// ---------------------------------------------------------------------------------------------
// Windows (USER32)

// Delivers a message to the window's procedure and returns its result. A control's procedure
// handles its class's messages (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, LB_*); a dialog's goes
// to the procedure AfxDialogBox was given.
AFXSYSAPI LRESULT AFXSYSCALL SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// SW_SHOW or SW_HIDE; returns whether the window was visible before.
AFXSYSAPI BOOL AFXSYSCALL ShowWindow(HWND hWnd, int nCmdShow);
// Whether the window and all its parents are shown.
AFXSYSAPI BOOL AFXSYSCALL IsWindowVisible(HWND hWnd);
AFXSYSAPI BOOL AFXSYSCALL IsIconic(HWND hWnd);
AFXSYSAPI int AFXSYSCALL GetDlgCtrlID(HWND hWnd);
AFXSYSAPI HWND AFXSYSCALL GetDlgItem(HWND hDlg, int nIDDlgItem);
AFXSYSAPI BOOL AFXSYSCALL GetClientRect(HWND hWnd, LPRECT lpRect);
// The active modal window of the process, the owner of a new message box; nullptr when none.
AFXSYSAPI HWND AFXSYSCALL GetActiveWindow();
AFXSYSAPI BOOL AFXSYSCALL EndDialog(HWND hDlg, INT_PTR nResult);
// A modal box with the text, the caption as title and one OK button; returns IDOK.
AFXSYSAPI int AFXSYSCALL MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// Menus.
AFXSYSAPI HMENU AFXSYSCALL GetSystemMenu(HWND hWnd, BOOL bRevert);
AFXSYSAPI BOOL AFXSYSCALL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
AFXSYSAPI int AFXSYSCALL GetMenuItemCount(HMENU hMenu);
AFXSYSAPI UINT AFXSYSCALL GetMenuItemID(HMENU hMenu, int nPos);
// Copies at most cchMax − 1 characters and a NUL; returns the number copied. nullptr: the length.
AFXSYSAPI int AFXSYSCALL GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);

// Painting: a device context while the window handles WM_PAINT, else nullptr.
AFXSYSAPI HDC AFXSYSCALL BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
AFXSYSAPI BOOL AFXSYSCALL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
AFXSYSAPI BOOL AFXSYSCALL DrawIcon(HDC hDC, int x, int y, HICON hIcon);
AFXSYSAPI int AFXSYSCALL GetSystemMetrics(int nIndex);

// Resources of a module: icons (shared, never destroyed) and strings.
AFXSYSAPI HICON AFXSYSCALL LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
// Copies string `uID` (at most cchBufferMax − 1 characters and a NUL); returns its length, 0 when
// the module has no such string.
AFXSYSAPI int AFXSYSCALL LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// ---------------------------------------------------------------------------------------------
// Modules (KERNEL32)

AFXSYSAPI HRSRC AFXSYSCALL FindResourceA(HINSTANCE hModule, LPCSTR lpName, LPCSTR lpType);
AFXSYSAPI HGLOBAL AFXSYSCALL LoadResource(HINSTANCE hModule, HRSRC hResInfo);
AFXSYSAPI LPCVOID AFXSYSCALL LockResource(HGLOBAL hResData);
AFXSYSAPI DWORD AFXSYSCALL SizeofResource(HINSTANCE hModule, HRSRC hResInfo);

// ---------------------------------------------------------------------------------------------
// Shared by the framework and the backends

// The bytes of a resource of the module, or an empty span when it has none.
afx::Bytes AfxResourceBytes(HINSTANCE hModule, LPCSTR lpName, LPCSTR lpType);
