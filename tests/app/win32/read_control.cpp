// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// read_control TITLE ID EXPECTED: waits until the control ID of the visible top-level window titled TITLE
// (in another process) holds EXPECTED, as WM_GETTEXT reads it. Prints what it read; exits 0 when it
// matched, 1 when the window or the text did not come within a minute.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: read_control TITLE ID EXPECTED\n");
        return 2;
    }
    const int id = std::atoi(argv[2]);
    const std::string expected = argv[3];
    std::string text;
    // The other process answers when its dialog has handled the input before; until then, ask again.
    for (int attempt = 0; attempt < 600; ++attempt) {
        const HWND window = FindWindowA(nullptr, argv[1]);
        const HWND control = window ? GetDlgItem(window, id) : nullptr;
        if (control != nullptr) {
            char buffer[256] = {};
            SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
            text = buffer;
            if (text == expected)
                break;
        }
        Sleep(100);
    }
    std::printf("[%s]\n", text.c_str());
    return text == expected ? 0 : 1;
}
