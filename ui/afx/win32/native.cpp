// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The window system's calls, the only file of the framework that includes <windows.h>.
#include "ui/afx/win32/native.h"

#include <windows.h>

#include <float.h>

#include <map>
#include <vector>

namespace afx::native {

namespace {

HWND W(Handle h) {
    return static_cast<HWND>(h);
}

// What a dialog run by RunDialog keeps: its hook and the procedure it had before it was subclassed.
struct DialogState {
    MessageHook hook;
    void* context;
    std::vector<Handle>& destroyed;
    WNDPROC previous = nullptr;
};

const char kStateProperty[] = "tarnvel.afx.dialog";

DialogState* StateOf(HWND hwnd) {
    return static_cast<DialogState*>(GetPropA(hwnd, kStateProperty));
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lParam) {
    reinterpret_cast<std::vector<Handle>*>(lParam)->push_back(child);
    return TRUE;
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* state = StateOf(hwnd);
    if (state == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_DESTROY)
        EnumChildWindows(hwnd, &CollectChild, reinterpret_cast<LPARAM>(&state->destroyed));
    if (message == WM_NCDESTROY) {
        // The last message: the window goes back to its own procedure and forgets the framework.
        const WNDPROC previous = state->previous;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(hwnd, kStateProperty);
        state->destroyed.push_back(hwnd);
        return CallWindowProcA(previous, hwnd, message, wParam, lParam);
    }
    return state->hook(state->context, hwnd, message, wParam, lParam);
}

// The dialog procedure that DefDlgProc calls. Once the window is subclassed every message is handled in
// SubclassProc before DefDlgProc sees it, so nothing is left to do here: FALSE lets the dialog manager
// go on with its default processing.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

INT_PTR CALLBACK StartDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* state = reinterpret_cast<DialogState*>(lParam);
    SetPropA(hwnd, kStateProperty, state);
    state->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    SetWindowLongPtrA(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&QuietDialogProc));
    // WM_INITDIALOG's result is the dialog procedure's: non-zero puts the focus on the first tab stop.
    return state->hook(state->context, hwnd, message, wParam, 0) != 0;
}

} // namespace

std::intptr_t Send(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return ::SendMessageA(W(hwnd), message, wParam, lParam);
}

bool ShowWindow(Handle hwnd, int command) {
    return ::ShowWindow(W(hwnd), command) != FALSE;
}

bool IsWindowVisible(Handle hwnd) {
    return ::IsWindowVisible(W(hwnd)) != FALSE;
}

bool IsIconic(Handle hwnd) {
    return ::IsIconic(W(hwnd)) != FALSE;
}

int GetDlgCtrlID(Handle hwnd) {
    return ::GetDlgCtrlID(W(hwnd));
}

Handle GetDlgItem(Handle dialog, int id) {
    return ::GetDlgItem(W(dialog), id);
}

Handle GetActiveWindow() {
    return ::GetActiveWindow();
}

bool EndDialog(Handle dialog, std::intptr_t result) {
    return ::EndDialog(W(dialog), result) != FALSE;
}

int ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned type) {
    return ::MessageBoxA(W(owner), text, caption, type);
}

Handle GetSystemMenu(Handle hwnd, bool revert) {
    return ::GetSystemMenu(W(hwnd), revert);
}

bool AppendMenuItem(Handle menu, unsigned flags, std::uintptr_t id, const char* text) {
    return ::AppendMenuA(static_cast<HMENU>(menu), flags, id, text) != FALSE;
}

int GetMenuItemCount(Handle menu) {
    return ::GetMenuItemCount(static_cast<HMENU>(menu));
}

unsigned GetMenuItemID(Handle menu, int position) {
    return ::GetMenuItemID(static_cast<HMENU>(menu), position);
}

int MenuString(Handle menu, unsigned item, char* text, int size, unsigned flags) {
    return ::GetMenuStringA(static_cast<HMENU>(menu), item, text, size, flags);
}

bool DrawIcon(Handle dc, int x, int y, Handle icon) {
    return ::DrawIcon(static_cast<HDC>(dc), x, y, static_cast<HICON>(icon)) != FALSE;
}

int GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

Handle LoadIconResource(Handle module, const char* name) {
    return ::LoadIconA(static_cast<HINSTANCE>(module), name);
}

int LoadStringResource(Handle module, unsigned id, char* text, int size) {
    return ::LoadStringA(static_cast<HINSTANCE>(module), id, text, size);
}

Handle FindResourceEntry(Handle module, const char* name, const char* type) {
    return ::FindResourceA(static_cast<HMODULE>(module), name, type);
}

Handle LoadResource(Handle module, Handle info) {
    return ::LoadResource(static_cast<HMODULE>(module), static_cast<HRSRC>(info));
}

const void* LockResource(Handle data) {
    return ::LockResource(static_cast<HGLOBAL>(data));
}

std::uint32_t SizeofResource(Handle module, Handle info) {
    return ::SizeofResource(static_cast<HMODULE>(module), static_cast<HRSRC>(info));
}

Handle ExecutableModule() {
    return ::GetModuleHandleA(nullptr);
}

Rect GetClientRect(Handle hwnd) {
    RECT r{};
    ::GetClientRect(W(hwnd), &r);
    return {r.left, r.top, r.right, r.bottom};
}

std::intptr_t RunDialog(Handle module, const char* name, Handle owner, MessageHook hook, void* context,
                        std::vector<Handle>& destroyed) {
    DialogState state{hook, context, destroyed};
    return DialogBoxParamA(static_cast<HINSTANCE>(module), name, W(owner), &StartDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}

std::intptr_t CallDefault(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (hwnd == nullptr)
        return 0;
    if (DialogState* state = StateOf(W(hwnd)); state != nullptr && state->previous != nullptr)
        return CallWindowProcA(state->previous, W(hwnd), message, wParam, lParam);
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W(hwnd), GWLP_WNDPROC));
    return CallWindowProcA(own, W(hwnd), message, wParam, lParam);
}

namespace {

// The paint structures of the paint contexts open now, by device context: EndPaint needs its own.
std::map<HDC, PAINTSTRUCT>& OpenPaints() {
    static std::map<HDC, PAINTSTRUCT> open;
    return open;
}

} // namespace

Paint BeginPaint(Handle hwnd) {
    PAINTSTRUCT ps{};
    HDC dc = hwnd ? ::BeginPaint(W(hwnd), &ps) : nullptr;
    if (dc == nullptr)
        return {nullptr, false, {}};
    OpenPaints()[dc] = ps;
    return {dc, ps.fErase != FALSE, {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom}};
}

void EndPaint(Handle hwnd, Handle dc) {
    const auto found = OpenPaints().find(static_cast<HDC>(dc));
    if (found == OpenPaints().end())
        return;
    ::EndPaint(W(hwnd), &found->second);
    OpenPaints().erase(found);
}

std::string ModuleBaseName(Handle module) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), path, MAX_PATH);
    std::string name(path, length);
    if (const auto slash = name.find_last_of("\\/"); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

unsigned ControlFp(unsigned newValue, unsigned mask) {
#if defined(__x86_64__) || defined(_M_X64)
    mask &= ~static_cast<unsigned>(_MCW_PC);
#endif
    return _controlfp(newValue, mask);
}

} // namespace afx::native
