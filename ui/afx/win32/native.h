// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The USER32, GDI32 and KERNEL32 calls of the Win32 backend, in plain C++ types. The framework's headers
// declare HWND, RECT, SendMessageA, LoadIconA, the constants and the rest under the Windows names with
// types of their own, which cannot share a translation unit with <windows.h>; so win32_platform.cpp
// implements the framework's calls through these functions, and only native.cpp includes <windows.h>.
// Handles are the window system's own values, passed as void*.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace afx::native {

using Handle = void*;

// A message for the window of a dialog that the framework runs; the result is the window procedure's.
using MessageHook = std::intptr_t (*)(void* context, Handle hwnd, unsigned message, std::uintptr_t wParam,
                                      std::intptr_t lParam);

// Runs the dialog template `name` of `module` modally (DialogBoxParam) with `owner` disabled while it
// runs. The window is subclassed when it receives WM_INITDIALOG, which is the first message `hook` gets;
// from then on every message goes to `hook`, whose default processing (CallDefault) is the dialog
// manager's. `destroyed` receives the dialog's controls and then the dialog as they are destroyed.
// Returns EndDialog's result, −1 when the dialog could not be made.
std::intptr_t RunDialog(Handle module, const char* name, Handle owner, MessageHook hook, void* context,
                        std::vector<Handle>& destroyed);
// The window's default processing: the procedure it had before it was subclassed, else its own.
std::intptr_t CallDefault(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

// The calls of these names (the A forms), one to one.
std::intptr_t Send(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
bool ShowWindow(Handle hwnd, int command);
bool IsWindowVisible(Handle hwnd);
bool IsIconic(Handle hwnd);
int GetDlgCtrlID(Handle hwnd);
Handle GetDlgItem(Handle dialog, int id);
Handle GetActiveWindow();
bool EndDialog(Handle dialog, std::intptr_t result);
int ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned type);
Handle GetSystemMenu(Handle hwnd, bool revert);
bool AppendMenuItem(Handle menu, unsigned flags, std::uintptr_t id, const char* text);
int GetMenuItemCount(Handle menu);
unsigned GetMenuItemID(Handle menu, int position);
int MenuString(Handle menu, unsigned item, char* text, int size, unsigned flags);
bool DrawIcon(Handle dc, int x, int y, Handle icon);
int GetSystemMetrics(int index);
Handle LoadIconResource(Handle module, const char* name);
int LoadStringResource(Handle module, unsigned id, char* text, int size);
Handle FindResourceEntry(Handle module, const char* name, const char* type);
Handle LoadResource(Handle module, Handle info);
const void* LockResource(Handle data);
std::uint32_t SizeofResource(Handle module, Handle info);
Handle ExecutableModule();

struct Rect {
    std::int32_t left, top, right, bottom;
};
Rect GetClientRect(Handle hwnd);
struct Paint {
    Handle dc;
    bool erase;
    Rect area;
};
// BeginPaint; EndPaint of the context BeginPaint gave.
Paint BeginPaint(Handle hwnd);
void EndPaint(Handle hwnd, Handle dc);

// The executable's file name without folder and extension.
std::string ModuleBaseName(Handle module);

// Gets and dispatches messages until WM_QUIT; returns its exit code.
int RunMessageLoop();

// The C runtime's _controlfp, with what it allows on this architecture. On x86-64 it rejects the
// precision mask: doubles are computed in 53-bit SSE2 registers by the ABI, so the precision needs no
// setting and is left out of the mask.
unsigned ControlFp(unsigned newValue, unsigned mask);

} // namespace afx::native
