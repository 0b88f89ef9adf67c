// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tests/support/win32/modal.h"

#include "ui/afx/afxapp.h"
#include "ui/afx/afxdlg.h"

namespace uitest::win32 {

std::intptr_t DoModal(CDialog& dialog) {
    return dialog.DoModal();
}

void* WindowOf(const CDialog& dialog) {
    return dialog.GetSafeHwnd();
}

void EndDialog(CDialog& dialog, int result) {
    dialog.EndDialog(result);
}

std::string MessageBoxTitle() {
    return AfxGetAppName();
}

} // namespace uitest::win32
