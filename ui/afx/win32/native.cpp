// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The window system's calls, the only file of the framework that includes <windows.h>.
#include "ui/afx/win32/native.h"

#include <windows.h>

#include <float.h>
#include <locale.h>
#include <stdio.h>

#include <map>

namespace afx::native {

namespace {

HWND W(Handle h) {
    return static_cast<HWND>(h);
}

// What a dialog run by RunDialog keeps: the hooks and the procedure it had before it was subclassed.
struct DialogState {
    InitHook init;
    MessageHook message;
    void* context;
    WNDPROC previous = nullptr;
};

const char kStateProperty[] = "tarnvel.afx.dialog";

DialogState* StateOf(HWND hwnd) {
    return static_cast<DialogState*>(GetPropA(hwnd, kStateProperty));
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* state = StateOf(hwnd);
    if (state == nullptr)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: the window goes back to its own procedure and forgets the framework.
        const WNDPROC previous = state->previous;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(hwnd, kStateProperty);
        return CallWindowProcA(previous, hwnd, message, wParam, lParam);
    }
    return state->message(state->context, hwnd, message, wParam, lParam);
}

// The dialog procedure that DefDlgProc calls. Once the window is subclassed every message is handled
// in SubclassProc before DefDlgProc sees it, so here nothing is left to do: FALSE lets the dialog
// manager go on with its default processing.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

INT_PTR CALLBACK StartDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* state = reinterpret_cast<DialogState*>(lParam);
    SetPropA(hwnd, kStateProperty, state);
    state->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    SetWindowLongPtrA(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&QuietDialogProc));
    return state->init(state->context, hwnd);
}

} // namespace

std::intptr_t RunDialog(Handle module, unsigned templateId, Handle owner, InitHook init, MessageHook message,
                        void* context) {
    DialogState state{init, message, context};
    return DialogBoxParamA(static_cast<HINSTANCE>(module), MAKEINTRESOURCEA(templateId), W(owner),
                           &StartDialogProc, reinterpret_cast<LPARAM>(&state));
}

bool EndDialog(Handle dialog, std::intptr_t result) {
    return ::EndDialog(W(dialog), result) != FALSE;
}

std::intptr_t CallDefault(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (DialogState* state = StateOf(W(hwnd)); state != nullptr && state->previous != nullptr)
        return CallWindowProcA(state->previous, W(hwnd), message, wParam, lParam);
    if (hwnd == nullptr)
        return 0;
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W(hwnd), GWLP_WNDPROC));
    return CallWindowProcA(own, W(hwnd), message, wParam, lParam);
}

Handle ActiveWindow() {
    return GetActiveWindow();
}

std::intptr_t Send(Handle hwnd, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return hwnd ? SendMessageA(W(hwnd), message, wParam, lParam) : 0;
}

void SetText(Handle hwnd, const char* text) {
    if (hwnd != nullptr)
        SetWindowTextA(W(hwnd), text ? text : "");
}

std::string GetText(Handle hwnd) {
    if (hwnd == nullptr)
        return {};
    const int length = GetWindowTextLengthA(W(hwnd));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(W(hwnd), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool Show(Handle hwnd, int command) {
    return hwnd != nullptr && ShowWindow(W(hwnd), command) != FALSE;
}

bool IsVisible(Handle hwnd) {
    return hwnd != nullptr && IsWindowVisible(W(hwnd)) != FALSE;
}

bool IsIconic(Handle hwnd) {
    return hwnd != nullptr && ::IsIconic(W(hwnd)) != FALSE;
}

int ControlId(Handle hwnd) {
    return hwnd ? GetDlgCtrlID(W(hwnd)) : 0;
}

Handle DialogItem(Handle dialog, int id) {
    return dialog ? GetDlgItem(W(dialog), id) : nullptr;
}

Rect ClientRect(Handle hwnd) {
    RECT r{};
    if (hwnd != nullptr)
        GetClientRect(W(hwnd), &r);
    return {r.left, r.top, r.right, r.bottom};
}

Handle SystemMenu(Handle hwnd, bool revert) {
    return hwnd ? GetSystemMenu(W(hwnd), revert) : nullptr;
}

bool AppendMenuItem(Handle menu, unsigned flags, std::uintptr_t id, const char* text) {
    return AppendMenuA(static_cast<HMENU>(menu), flags, id, text) != FALSE;
}

int MenuItemCount(Handle menu) {
    return GetMenuItemCount(static_cast<HMENU>(menu));
}

unsigned MenuItemId(Handle menu, int position) {
    return GetMenuItemID(static_cast<HMENU>(menu), position);
}

std::string MenuString(Handle menu, unsigned item, unsigned flags) {
    const int length = GetMenuStringA(static_cast<HMENU>(menu), item, nullptr, 0, flags);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetMenuStringA(static_cast<HMENU>(menu), item, text.data(), length + 1, flags);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

int SystemMetric(int index) {
    return GetSystemMetrics(index);
}

namespace {

// The paint structures of the paint contexts open now, by device context; EndPaint needs its own.
std::map<HDC, std::pair<HWND, PAINTSTRUCT>>& OpenPaints() {
    static std::map<HDC, std::pair<HWND, PAINTSTRUCT>> open;
    return open;
}

} // namespace

Handle BeginPaint(Handle hwnd) {
    if (hwnd == nullptr)
        return nullptr;
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(W(hwnd), &ps);
    if (dc != nullptr)
        OpenPaints()[dc] = {W(hwnd), ps};
    return dc;
}

void EndPaint(Handle dc) {
    const auto found = OpenPaints().find(static_cast<HDC>(dc));
    if (found == OpenPaints().end())
        return;
    ::EndPaint(found->second.first, &found->second.second);
    OpenPaints().erase(found);
}

bool DrawIcon(Handle dc, int x, int y, Handle icon) {
    return ::DrawIcon(static_cast<HDC>(dc), x, y, static_cast<HICON>(icon)) != FALSE;
}

Handle ExecutableModule() {
    return GetModuleHandleA(nullptr);
}

Handle LoadIconResource(Handle module, const char* name) {
    return LoadIconA(static_cast<HINSTANCE>(module), name);
}

bool LoadStringResource(Handle module, unsigned id, std::string& text) {
    // With a zero buffer size LoadStringA gives nothing; the W form hands out the resource itself.
    const wchar_t* wide = nullptr;
    const int length = LoadStringW(static_cast<HINSTANCE>(module), id, reinterpret_cast<LPWSTR>(&wide), 0);
    if (length <= 0 || wide == nullptr)
        return false;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    text.assign(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(), bytes, nullptr, nullptr);
    return true;
}

std::string ExecutableName() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    if (const auto slash = name.find_last_of("\\/"); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

int ShowMessageBox(Handle owner, const char* text, const char* title, unsigned type) {
    return MessageBoxA(W(owner), text, title, type);
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

std::string FormatInCLocale(const char* format, std::va_list args) {
    // The C library's printf takes the decimal point from the thread's locale: for this call, this
    // thread has a locale of its own, and it is "C".
    const int previousMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* current = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = current ? current : "C";
    setlocale(LC_NUMERIC, "C");
    std::va_list again;
    va_copy(again, args);
    const int length = vsnprintf(nullptr, 0, format, args);
    std::string text;
    if (length >= 0) {
        text.assign(static_cast<std::size_t>(length) + 1, '\0');
        vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    setlocale(LC_NUMERIC, saved.c_str());
    _configthreadlocale(previousMode);
    return text;
}

} // namespace afx::native
