// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The framework's window-system calls on the real Win32 API: a HWND, HICON, HMENU, HDC, HINSTANCE or HRSRC
// of the framework holds the system's own handle, and each call is the system's own. A dialog is the
// RT_DIALOG resource run by the dialog manager, with every message of its window through the CWnd's
// message map.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxcrt.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxwnd.h"
#include "ui/afx/win32/native.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace native = afx::native;

namespace {

template <typename H> H As(native::Handle h) {
    return static_cast<H>(h);
}
native::Handle Of(HINSTANCE module) {
    return const_cast<AfxModule*>(module);
}

// Copies `text` as the A calls do: at most size − 1 characters and a NUL; returns the number copied.
int CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0)
        return 0;
    const auto n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Windows

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return native::Send(hWnd, message, wParam, lParam);
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    return native::ShowWindow(hWnd, nCmdShow) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
    return native::IsWindowVisible(hWnd) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
    return native::IsIconic(hWnd) ? TRUE : FALSE;
}

int GetDlgCtrlID(HWND hWnd) {
    return native::GetDlgCtrlID(hWnd);
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    return As<HWND>(native::GetDlgItem(hDlg, nIDDlgItem));
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    const native::Rect r = native::GetClientRect(hWnd);
    *lpRect = RECT{r.left, r.top, r.right, r.bottom};
    return TRUE;
}

HWND GetActiveWindow() {
    return As<HWND>(native::GetActiveWindow());
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    return native::EndDialog(hDlg, nResult) ? TRUE : FALSE;
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    return native::ShowMessageBox(hWnd, lpText, lpCaption, uType);
}

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) {
    return As<HMENU>(native::GetSystemMenu(hWnd, bRevert != FALSE));
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    return native::AppendMenuItem(hMenu, uFlags, uIDNewItem, lpNewItem) ? TRUE : FALSE;
}

int GetMenuItemCount(HMENU hMenu) {
    return native::GetMenuItemCount(hMenu);
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
    return native::GetMenuItemID(hMenu, nPos);
}

int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    return native::MenuString(hMenu, uIDItem, lpString, cchMax, flags);
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
    const native::Paint paint = native::BeginPaint(hWnd);
    *lpPaint = PAINTSTRUCT{As<HDC>(paint.dc), paint.erase ? TRUE : FALSE,
                           RECT{paint.area.left, paint.area.top, paint.area.right, paint.area.bottom}};
    return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    native::EndPaint(hWnd, lpPaint->hdc);
    return TRUE;
}

BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) {
    return native::DrawIcon(hDC, x, y, hIcon) ? TRUE : FALSE;
}

int GetSystemMetrics(int nIndex) {
    return native::GetSystemMetrics(nIndex);
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    return As<HICON>(native::LoadIconResource(Of(hInstance), lpIconName));
}

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    return native::LoadStringResource(Of(hInstance), uID, lpBuffer, cchBufferMax);
}

// ---------------------------------------------------------------------------------------------
// Modules

HRSRC FindResourceA(HINSTANCE hModule, LPCSTR lpName, LPCSTR lpType) {
    return static_cast<HRSRC>(native::FindResourceEntry(Of(hModule), lpName, lpType));
}

HGLOBAL LoadResource(HINSTANCE hModule, HRSRC hResInfo) {
    return native::LoadResource(Of(hModule), const_cast<afx::ResourceEntry*>(hResInfo));
}

LPCVOID LockResource(HGLOBAL hResData) {
    return native::LockResource(const_cast<void*>(hResData));
}

DWORD SizeofResource(HINSTANCE hModule, HRSRC hResInfo) {
    return native::SizeofResource(Of(hModule), const_cast<afx::ResourceEntry*>(hResInfo));
}

int AfxGetModuleBaseName(HINSTANCE hModule, LPSTR lpBuffer, int cchBufferMax) {
    return CopyOut(native::ModuleBaseName(Of(hModule)), lpBuffer, cchBufferMax);
}

HINSTANCE AfxGetInstanceHandle() {
    return static_cast<HINSTANCE>(native::ExecutableModule());
}

// ---------------------------------------------------------------------------------------------
// Dialogs and the process

namespace {

// What the window system's callbacks carry back to AfxDialogBox. An exception cannot travel through
// USER32's frames: it ends the dialog and is thrown again once DialogBoxParam has returned.
struct DialogRun {
    CWnd* wnd;
    std::exception_ptr failure;
};

std::intptr_t DialogMessage(void* context, native::Handle hwnd, unsigned message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    auto* run = static_cast<DialogRun*>(context);
    if (run->failure)
        return native::CallDefault(hwnd, message, wParam, lParam);
    try {
        if (message == WM_INITDIALOG)
            run->wnd->Attach(As<HWND>(hwnd));
        return run->wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        run->failure = std::current_exception();
        native::EndDialog(hwnd, -1);
        return 0;
    }
}

} // namespace

INT_PTR AfxDialogBox(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, CWnd* pWnd) {
    // A dialog given no owner is owned by the active window, which it disables while it runs, as a
    // dialog box of the application's does.
    HWND owner = hWndParent != nullptr ? hWndParent : GetActiveWindow();
    DialogRun run{pWnd, nullptr};
    std::vector<native::Handle> destroyed;
    const std::intptr_t result =
        native::RunDialog(Of(hInstance), lpTemplateName, owner, &DialogMessage, &run, destroyed);
    for (native::Handle window : destroyed)
        AfxOnWindowDestroyed(As<HWND>(window));
    pWnd->Detach();
    if (run.failure)
        std::rethrow_exception(run.failure);
    return result;
}

LRESULT AfxDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return native::CallDefault(hWnd, message, wParam, lParam);
}

int AfxRunApplication(CWinApp* app, LPCSTR, LPCSTR) {
    // The window system is there already: the version block and the name are the executable's own.
    if (!app->InitInstance())
        return app->ExitInstance();
    native::RunMessageLoop();
    return app->ExitInstance();
}

// ---------------------------------------------------------------------------------------------
// The C runtime

unsigned int _controlfp(unsigned int newValue, unsigned int mask) {
    return native::ControlFp(newValue, mask);
}
