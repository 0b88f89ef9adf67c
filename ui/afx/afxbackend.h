// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The hooks through which the framework runs on a window system, in plain C++ types: a backend's
// sources include this file beside their system's own headers, which the framework's (afxtypes.h)
// cannot share a translation unit with. The framework hands a backend plain functions and a
// context, never one of its classes; a window and a module are the handles of afxtypes.h (HWND is
// AfxWindow*, HINSTANCE is const AfxModule*), which a backend defines or maps to its system's own.
// The system calls the framework is written on are declared in afxplatform.h.
#pragma once

#include <cstddef>
#include <cstdint>

struct AfxWindow;
struct AfxModule;

// ---------------------------------------------------------------------------------------------
// What a backend provides

// The module of the running executable.
const AfxModule* AfxGetInstanceHandle();

// The executable's file name without folder and extension ("calc" for /usr/bin/calc), copied as
// AfxCopyOut does.
int AfxGetModuleBaseName(const AfxModule* hModule, char* lpBuffer, int cchBufferMax);

// A message of a dialog that the framework runs: `context` is the one given to AfxDialogBox.
using AFXDLGPROC = std::intptr_t (*)(void* context, AfxWindow* hWnd, unsigned message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

// Builds the dialog of template `lpTemplateName` in `hInstance`, owned by `hWndParent` (which it
// disables while it runs; nullptr: none), and runs its modal loop until EndDialog. Every message of
// the dialog's window, WM_INITDIALOG first, goes to `proc` (a non-zero result of WM_INITDIALOG puts
// the focus on the first control with a tab stop); what it leaves goes to AfxDefWindowProc. The
// dialog is destroyed before this returns, and AfxOnWindowDestroyed is called for each of its
// controls and then for it. Returns EndDialog's result; −1 when there is no such template.
std::intptr_t AfxDialogBox(const AfxModule* hInstance, const char* lpTemplateName, AfxWindow* hWndParent,
                           AFXDLGPROC proc, void* context);

// The window system's default processing of a message that the window's procedure left.
std::intptr_t AfxDefWindowProc(AfxWindow* hWnd, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam);

// Starts the window system for the application `appName` (version `version` when not empty), calls
// `run(context)` and returns what it returns, the process's exit code. Where the window system
// cannot start (no display) it says so in one line on stderr and returns 1 without calling `run`.
using AFXRUNPROC = int (*)(void* context);
int AfxRunApplication(const char* appName, const char* version, AFXRUNPROC run, void* context);

// Gets and dispatches messages until the application quits.
void AfxRunMessageLoop();

// ---------------------------------------------------------------------------------------------
// What the framework provides a backend

// A window is gone: the wrappers bound to it (CWnd::Attach) are released.
void AfxOnWindowDestroyed(AfxWindow* hWnd);

// Copies `text` as the A calls do: at most `size` − 1 bytes and a NUL; returns the number copied,
// 0 when there is no buffer.
int AfxCopyOut(const char* text, std::size_t length, char* buffer, std::size_t size);
