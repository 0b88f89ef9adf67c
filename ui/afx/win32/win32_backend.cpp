// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The framework's hooks on the real Win32 API. The system calls the framework is written on are
// USER32's and KERNEL32's own (afxplatform.h imports them); what is left is running a dialog
// template with every message of its window through the framework, its pictures in the desktop's
// colours and at the screen's resolution, and the process's message loop.
// The only file of the framework that includes <windows.h>, which cannot share a translation unit
// with the framework's own declarations: it sees the framework through afxbackend.h alone.
#include "ui/afx/afxbackend.h"
#include "ui/afx/afxpicture.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
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
// before it was subclassed, the windows destroyed so far, and its pictures with the bitmaps made for
// them.
struct DialogState {
    AFXDLGPROC proc;
    void* context;
    WNDPROC previous = nullptr;
    std::vector<HWND> destroyed;
    const AfxModule* module = nullptr;
    std::vector<AfxTemplatePicture> pictures;
    std::vector<HBITMAP> bitmaps;
};

const char kStateProperty[] = "AfxModalDialogState";

DialogState* StateOf(HWND hwnd) {
    return static_cast<DialogState*>(GetPropA(hwnd, kStateProperty));
}

std::uint32_t Rgb(COLORREF colour) {
    return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
           static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

// A picture as a bitmap of the display's kind: 24 bits, so that static controls show it as it is.
HBITMAP MakeBitmap(const afx::Pixels& pixels) {
    if (pixels.width <= 0 || pixels.height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height; // rows top down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return nullptr;
    const auto width = static_cast<std::size_t>(pixels.width);
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    auto* out = static_cast<std::uint8_t*>(bits);
    for (std::size_t y = 0; y < static_cast<std::size_t>(pixels.height); ++y)
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t c = pixels.argb[y * width + x];
            std::uint8_t* bgr = out + y * stride + x * 3;
            bgr[0] = static_cast<std::uint8_t>(c);
            bgr[1] = static_cast<std::uint8_t>(c >> 8);
            bgr[2] = static_cast<std::uint8_t>(c >> 16);
        }
    return bitmap;
}

// Shows the dialog's pictures as the dialog manager does not: a 16-colour picture's 3D greys in the
// desktop's colours (as LoadImage's LR_LOADMAP3DCOLORS maps them) and its black ink as the text
// colour, enlarged for `dpi` dots per inch (whole scales pixel for pixel, others evenly), so that a
// picture keeps its place among controls laid out in dialog units.
void ShowPictures(HWND dialog, DialogState& state, UINT dpi) {
    if (state.pictures.empty())
        return;
    // The dialog manager makes the controls in template order, each below the ones before.
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    afx::PictureColours colours;
    colours.text = Rgb(GetSysColor(COLOR_WINDOWTEXT));
    colours.shadow = Rgb(GetSysColor(COLOR_3DSHADOW));
    colours.face = Rgb(GetSysColor(COLOR_3DFACE));
    colours.light = Rgb(GetSysColor(COLOR_3DLIGHT));
    const double scale = dpi > 0 ? dpi / 96.0 : 1.0;
    for (const AfxTemplatePicture& picture : state.pictures) {
        if (picture.item >= children.size())
            continue;
        HBITMAP bitmap = MakeBitmap(AfxDialogPicture(state.module, picture.bitmapId, colours, scale));
        if (bitmap == nullptr)
            continue;
        state.bitmaps.push_back(bitmap);
        // The bitmap the control had is given back to the caller: the dialog manager's first, then ours.
        const auto old = reinterpret_cast<HBITMAP>(SendMessageA(
            children[picture.item], STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
        if (old != nullptr && old != bitmap) {
            state.bitmaps.erase(std::remove(state.bitmaps.begin(), state.bitmaps.end(), old),
                                state.bitmaps.end());
            DeleteObject(old);
        }
    }
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
        for (HBITMAP bitmap : state->bitmaps)
            DeleteObject(bitmap);
        state->bitmaps.clear();
        return CallWindowProcA(previous, hwnd, message, wParam, lParam);
    }
    const std::intptr_t result = state->proc(state->context, Of(hwnd), message, wParam, lParam);
    // The window has moved to a screen of another resolution, or the desktop's colours have changed.
    if (message == WM_DPICHANGED)
        ShowPictures(hwnd, *state, HIWORD(wParam));
    else if (message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED)
        ShowPictures(hwnd, *state, GetDpiForWindow(hwnd));
    return result;
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
    ShowPictures(hwnd, *state, GetDpiForWindow(hwnd));
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
    DialogState state{proc, context, nullptr, {}, hInstance, AfxDialogPictures(hInstance, lpTemplateName),
                      {}};
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
