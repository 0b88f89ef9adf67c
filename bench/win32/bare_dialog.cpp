// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The baseline of the start-up benchmark: the main dialog's template run by DialogBoxParam with a
// dialog procedure that only ends it. No framework, no calculation.
#include <windows.h>

namespace {

INT_PTR CALLBACK BareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int main() {
    constexpr int kMainTemplate = 102;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kMainTemplate), nullptr, &BareProc, 0);
    return 0;
}
