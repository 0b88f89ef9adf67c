// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The framework's hooks on the real Win32 API. The system calls the framework is written on are
// USER32's and KERNEL32's own (afxplatform.h imports them); what is left is running a dialog
// template with every message of its window through the framework, and the process's message loop.
// The only file of the framework that includes <windows.h>, which cannot share a translation unit
// with the framework's own declarations: it sees the framework through afxbackend.h alone.
#include "ui/afx/afxbackend.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

AfxWindow* Of(HWND hwnd) {
    return reinterpret_cast<AfxWindow*>(hwnd);
}
HWND Of(AfxWindow* window) {
    return reinterpret_cast<HWND>(window);
}

// What a dialog run by AfxDialogBox keeps: the framework's procedure, the procedure the window had
// before it was subclassed, and the windows destroyed so far.
struct DialogState {
    AFXDLGPROC proc;
    void* context;
    WNDPROC previous = nullptr;
    std::vector<HWND> destroyed;
};

const char kStateProperty[] = "AfxModalDialogState";

DialogState* StateOf(HWND hwnd) {
    return static_cast<DialogState*>(GetPropA(hwnd, kStateProperty));
}

BOOL CALLBACK CollectChild(HWND child, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
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
    return state->proc(state->context, Of(hwnd), message, wParam, lParam);
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
    return state->proc(state->context, Of(hwnd), message, wParam, 0) != 0;
}

} // namespace

const AfxModule* AfxGetInstanceHandle() {
    return reinterpret_cast<const AfxModule*>(GetModuleHandleA(nullptr));
}

int AfxGetModuleBaseName(const AfxModule* hModule, char* lpBuffer, int cchBufferMax) {
    if (cchBufferMax <= 0)
        return 0;
    char path[MAX_PATH] = {};
    const DWORD length =
        GetModuleFileNameA(reinterpret_cast<HMODULE>(const_cast<AfxModule*>(hModule)), path, MAX_PATH);
    std::string name(path, length);
    if (const auto slash = name.find_last_of("\\/"); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos)
        name.erase(dot);
    return AfxCopyOut(name.data(), name.size(), lpBuffer, static_cast<std::size_t>(cchBufferMax));
}

std::intptr_t AfxDialogBox(const AfxModule* hInstance, const char* lpTemplateName, AfxWindow* hWndParent,
                           AFXDLGPROC proc, void* context) {
    DialogState state{proc, context, nullptr, {}};
    const INT_PTR result =
        DialogBoxParamA(reinterpret_cast<HINSTANCE>(const_cast<AfxModule*>(hInstance)), lpTemplateName,
                        Of(hWndParent), &StartDialogProc, reinterpret_cast<LPARAM>(&state));
    for (HWND window : state.destroyed)
        AfxOnWindowDestroyed(Of(window));
    return result;
}

std::intptr_t AfxDefWindowProc(AfxWindow* hWnd, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    const HWND hwnd = Of(hWnd);
    if (hwnd == nullptr)
        return 0;
    if (DialogState* state = StateOf(hwnd); state != nullptr && state->previous != nullptr)
        return CallWindowProcA(state->previous, hwnd, message, wParam, lParam);
    const auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    return CallWindowProcA(own, hwnd, message, wParam, lParam);
}

int AfxRunApplication(const char*, const char*, AFXRUNPROC run, void* context) {
    // The window system is there already: the version block and the name are the executable's own.
    return run(context);
}

void AfxRunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
