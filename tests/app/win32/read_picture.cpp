// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// read_picture: the picture (the SS_BITMAP static) of the visible dialog that has one, in another process,
// as the screen shows it. Waits until it is drawn, then prints one line:
//   dpi=D picture=WxH dialog=WxH face=RRGGBB text=RRGGBB face_pixels=N text_pixels=N other_pixels=N
// with the window's resolution, the sizes of the picture and of the dialog's client area, the desktop's
// face and text colours, and how many of the picture's pixels are each. Exits 1 when no picture came
// within a minute.
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The visible top-level dialog with a picture, and its picture.
struct Found {
    HWND dialog = nullptr;
    HWND picture = nullptr;
};

HWND FindPicture(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            return child;
    return nullptr;
}

BOOL CALLBACK Look(HWND window, LPARAM lParam) {
    char kind[16] = {};
    GetClassNameA(window, kind, sizeof kind);
    if (!IsWindowVisible(window) || std::string(kind) != "#32770")
        return TRUE;
    auto* found = reinterpret_cast<Found*>(lParam);
    found->picture = FindPicture(window);
    if (found->picture == nullptr)
        return TRUE;
    found->dialog = window;
    return FALSE;
}

std::uint32_t Rgb(COLORREF c) {
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | static_cast<std::uint32_t>(GetGValue(c)) << 8 |
           GetBValue(c);
}

// The pixels of a rectangle of the screen, 0xRRGGBB, rows top down.
std::vector<std::uint32_t> ScreenPixels(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<std::uint32_t> pixels;
    if (w <= 0 || h <= 0)
        return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    pixels.assign(p, p + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (std::uint32_t& c : pixels)
        c &= 0xFFFFFFu;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

} // namespace

int main(int argc, char**) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: read_picture\n");
        return 2;
    }
    // Window sizes and the screen in real pixels, whatever this process's own awareness would be.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const std::uint32_t face = Rgb(GetSysColor(COLOR_3DFACE)), text = Rgb(GetSysColor(COLOR_WINDOWTEXT));
    // The other process draws its window when it gets to it: until the picture shows its ink, look again.
    for (int attempt = 0; attempt < 600; ++attempt, Sleep(100)) {
        Found found;
        EnumWindows(&Look, reinterpret_cast<LPARAM>(&found));
        const HWND window = found.dialog, picture = found.picture;
        if (picture == nullptr)
            continue;
        SetForegroundWindow(window);
        RECT r{}, client{};
        GetWindowRect(picture, &r);
        GetClientRect(window, &client);
        std::size_t faces = 0, inks = 0, others = 0;
        for (const std::uint32_t c : ScreenPixels(r))
            ++(c == face ? faces : c == text ? inks : others);
        if (inks == 0)
            continue;
        std::printf(
            "dpi=%u picture=%ldx%ld dialog=%ldx%ld face=%06X text=%06X face_pixels=%zu text_pixels=%zu "
            "other_pixels=%zu\n",
            GetDpiForWindow(window), r.right - r.left, r.bottom - r.top, client.right, client.bottom,
            static_cast<unsigned>(face), static_cast<unsigned>(text), faces, inks, others);
        return 0;
    }
    std::printf("no picture drawn\n");
    return 1;
}
