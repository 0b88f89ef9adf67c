// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The USER32, GDI32 and KERNEL32 calls of the Win32 backend, in plain C++ types. The framework's public
// headers declare HWND, RECT, LoadIconA, GetSystemMetrics and the constants in names of their own, which
// cannot share a translation unit with <windows.h>; so the framework's classes (in the other files of this
// folder) call the window system through these functions, and only native.cpp includes <windows.h>.
// Handles are the window system's own values, passed as void*.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

namespace afx::native {

using Handle = void*;

// A message for a window that the framework runs: the dialog's CWnd gets it in its WindowProc.
using MessageHook = std::intptr_t (*)(void* context, Handle hwnd, unsigned message, std::uintptr_t wParam,
                                      std::intptr_t lParam);
// WM_INITDIALOG: the dialog window exists with its controls; returns whether the focus goes to the first
// control with a tab stop.
using InitHook = int (*)(void* context, Handle hwnd);

// Runs the dialog template `templateId` of `module` modally (DialogBoxParam). The window is subclassed as
// soon as it receives WM_INITDIALOG: from then on every message goes to `message`, whose default
// processing (CallDefault) is the dialog manager's. Returns EndDialog's result, −1 when the dialog could
// not be made.
std::intptr_t RunDialog(Handle module, unsigned templateId, Handle owner, InitHook init, MessageHook message,
                        void* context);
bool EndDialog(Handle dialog, std::intptr_t result);
// The window's default processing: the window procedure it had before it was subclassed, else its own.
std::intptr_t CallDefault(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// The owner for a new modal window when the program names none: the active window of this thread.
Handle ActiveWindow();

std::intptr_t Send(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
void SetText(Handle hwnd, const char* text);
std::string GetText(Handle hwnd);
bool Show(Handle hwnd, int command);
bool IsVisible(Handle hwnd);
bool IsIconic(Handle hwnd);
int ControlId(Handle hwnd);
Handle DialogItem(Handle dialog, int id);
struct Rect {
    std::int32_t left, top, right, bottom;
};
Rect ClientRect(Handle hwnd);

Handle SystemMenu(Handle hwnd, bool revert);
bool AppendMenuItem(Handle menu, unsigned flags, std::uintptr_t id, const char* text);
int MenuItemCount(Handle menu);
unsigned MenuItemId(Handle menu, int position);
std::string MenuString(Handle menu, unsigned item, unsigned flags);

int SystemMetric(int index);
Handle BeginPaint(Handle hwnd);
void EndPaint(Handle dc);
bool DrawIcon(Handle dc, int x, int y, Handle icon);

Handle ExecutableModule();
Handle LoadIconResource(Handle module, const char* name);
// The string table entry `id`; false when there is none.
bool LoadStringResource(Handle module, unsigned id, std::string& text);
// The executable's file name without folder and extension.
std::string ExecutableName();

int ShowMessageBox(Handle owner, const char* text, const char* title, unsigned type);

// Gets and dispatches messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

// The C runtime's _controlfp. On x86-64 the precision control is not the runtime's to change: doubles
// are computed in 53-bit SSE2 registers by the ABI, and the runtime rejects the precision mask there.
unsigned ControlFp(unsigned newValue, unsigned mask);

// printf-style formatting with the C locale's decimal point, whatever the process locale is.
std::string FormatInCLocale(const char* format, std::va_list args);

} // namespace afx::native
