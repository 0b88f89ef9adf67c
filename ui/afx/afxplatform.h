// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// What a window-system backend provides: the USER32 and KERNEL32 calls the framework classes are
// written on, with their Windows names, arguments and results, and the few hooks through which the
// framework creates dialogs and runs the process. The classes (CWnd, CDialog, CMenu, CDC, CString,
// CWinApp) are the backend's clients only; nothing else of a backend is seen outside it.
#pragma once

#include "ui/afx/afxtypes.h"

class CWinApp;
class CWnd;

// ---------------------------------------------------------------------------------------------
// Windows (USER32)

// Delivers a message to the window's procedure and returns its result. A control's procedure
// handles its class's messages (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, LB_*); a dialog's goes
// to the CWnd that owns it (see AfxDialogBox) and, where its message map takes nothing, to
// AfxDefWindowProc.
LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// SW_SHOW or SW_HIDE; returns whether the window was visible before.
BOOL ShowWindow(HWND hWnd, int nCmdShow);
// Whether the window and all its parents are shown.
BOOL IsWindowVisible(HWND hWnd);
BOOL IsIconic(HWND hWnd);
int GetDlgCtrlID(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
// The active modal window of the process, the owner of a new message box; nullptr when none.
HWND GetActiveWindow();
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// A modal box with the text, the caption as title and one OK button; returns IDOK.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// Menus.
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);
BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
int GetMenuItemCount(HMENU hMenu);
UINT GetMenuItemID(HMENU hMenu, int nPos);
// Copies at most cchMax − 1 characters and a NUL; returns the number copied. nullptr: the length.
int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);

// Painting: a device context while the window handles WM_PAINT, else nullptr.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon);
int GetSystemMetrics(int nIndex);

// Resources of a module: icons (shared, never destroyed) and strings.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
// Copies string `uID` (at most cchBufferMax − 1 characters and a NUL); returns its length, 0 when
// the module has no such string.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// ---------------------------------------------------------------------------------------------
// Modules (KERNEL32)

HRSRC FindResourceA(HINSTANCE hModule, LPCSTR lpName, LPCSTR lpType);
HGLOBAL LoadResource(HINSTANCE hModule, HRSRC hResInfo);
LPCVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HINSTANCE hModule, HRSRC hResInfo);
// The executable's file name without directory and extension ("calc" for /usr/bin/calc).
int AfxGetModuleBaseName(HINSTANCE hModule, LPSTR lpBuffer, int cchBufferMax);

// ---------------------------------------------------------------------------------------------
// The framework's hooks

// The module of the running executable.
HINSTANCE AfxGetInstanceHandle();

// Builds the dialog of template `lpTemplateName` in `hInstance`, attaches it to `pWnd` (whose
// WindowProc then receives its messages, first WM_INITDIALOG: a non-zero result puts the focus on
// the first control with a tab stop), runs its modal loop until EndDialog, destroys it, detaches
// `pWnd` and returns EndDialog's result; −1 when there is no such template.
INT_PTR AfxDialogBox(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, CWnd* pWnd);

// The window system's default processing of a message that the window's message map left.
LRESULT AfxDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Starts the window system for `app` (named `appName`, version `version` if not empty), runs its
// InitInstance and, when that returns TRUE, the message loop; returns the exit code. Where the window
// system cannot start (no display) it says so in one line on stderr and returns 1.
int AfxRunApplication(CWinApp* app, LPCSTR appName, LPCSTR version);

// ---------------------------------------------------------------------------------------------
// What the framework provides a backend

// A window is gone: the wrappers bound to it (CWnd::Attach) are released.
void AfxOnWindowDestroyed(HWND hWnd);
