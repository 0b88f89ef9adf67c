// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The Win32 backend's pictures, through its hooks alone: a dialog's 16-colour pictures (black dots on
// grey) on the desktop's face with its text colour as ink, and enlarged for the window's resolution, at
// the start and when the window moves to a screen of another resolution or the colours change.
#include "tests/afx/afx_test_resource.h"
#include "ui/afx/afxbackend.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

namespace {

const int kDots[] = {IDC_DOTS_1, IDC_DOTS_2, IDC_DOTS_3, IDC_DOTS_4};
constexpr int kDotsWidth = 21, kDotsHeight = 13; // dots.bmp

SIZE SizeOf(HWND control) {
    RECT r{};
    GetClientRect(control, &r);
    return {r.right, r.bottom};
}

// The colours of the bitmap a picture shows, as 0xRRGGBB.
std::set<std::uint32_t> ColoursOf(HWND picture) {
    const auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0)
        return {};
    BITMAPINFO want{};
    want.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    want.bmiHeader.biWidth = info.bmWidth;
    want.bmiHeader.biHeight = -info.bmHeight;
    want.bmiHeader.biPlanes = 1;
    want.bmiHeader.biBitCount = 32;
    want.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(info.bmWidth) *
                                      static_cast<std::size_t>(info.bmHeight));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &want, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::set<std::uint32_t> colours;
    for (const std::uint32_t c : pixels)
        colours.insert(c & 0xFFFFFFu);
    return colours;
}

std::uint32_t Rgb(COLORREF c) {
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | static_cast<std::uint32_t>(GetGValue(c)) << 8 |
           GetBValue(c);
}

// Runs IDD_FRAMES through the backend and calls `check` inside its modal loop.
void RunFrames(const std::function<void(HWND)>& check) {
    struct Run {
        const std::function<void(HWND)>* check;
    } run{&check};
    const auto proc = [](void* context, AfxWindow* window, unsigned message, std::uintptr_t,
                         std::intptr_t) -> std::intptr_t {
        const auto hwnd = reinterpret_cast<HWND>(window);
        if (message == WM_INITDIALOG) {
            PostMessageA(hwnd, WM_APP, 0, 0);
            return TRUE;
        }
        if (message == WM_APP) {
            (*static_cast<Run*>(context)->check)(hwnd);
            EndDialog(hwnd, IDOK);
        }
        return 0;
    };
    EXPECT_EQ(AfxDialogBox(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDD_FRAMES), nullptr, proc, &run), IDOK);
}

TEST(Pictures, FollowTheWindowsResolution) {
    RunFrames([](HWND dialog) {
        const auto expect = [&](UINT dpi) {
            const double scale = dpi / 96.0;
            const SIZE size{static_cast<LONG>(std::ceil(kDotsWidth * scale - 1e-6)),
                            static_cast<LONG>(std::ceil(kDotsHeight * scale - 1e-6))};
            for (const int id : kDots) {
                const SIZE got = SizeOf(GetDlgItem(dialog, id));
                EXPECT_EQ(got.cx, size.cx) << "picture " << id << " at " << dpi << " dpi";
                EXPECT_EQ(got.cy, size.cy) << "picture " << id << " at " << dpi << " dpi";
            }
        };
        expect(GetDpiForWindow(dialog));
        // Moved to a screen of each resolution in turn, as Windows tells a per-monitor aware window.
        for (const UINT dpi : {192u, 144u, 120u, 96u}) {
            SCOPED_TRACE(dpi);
            RECT suggested{};
            GetWindowRect(dialog, &suggested);
            SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            expect(dpi);
        }
    });
}

TEST(Pictures, TakeTheDesktopsColours) {
    RunFrames([](HWND dialog) {
        const HWND dots = GetDlgItem(dialog, IDC_DOTS_1);
        EXPECT_EQ(ColoursOf(dots), (std::set<std::uint32_t>{Rgb(GetSysColor(COLOR_3DFACE)),
                                                            Rgb(GetSysColor(COLOR_WINDOWTEXT))}))
            << "grey ground as the face, black dots as text";
        // An unusual scheme, for this session only, and back.
        const int elements[] = {COLOR_3DFACE, COLOR_WINDOWTEXT};
        const COLORREF before[] = {GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_WINDOWTEXT)};
        const COLORREF unusual[] = {RGB(40, 150, 90), RGB(0, 0, 140)};
        ASSERT_TRUE(SetSysColors(2, elements, unusual));
        const std::set<std::uint32_t> after = ColoursOf(dots);
        SetSysColors(2, elements, before);
        EXPECT_EQ(after, (std::set<std::uint32_t>{0x28965Au, 0x00008Cu}))
            << "the picture follows a change of colours";
    });
}

} // namespace
