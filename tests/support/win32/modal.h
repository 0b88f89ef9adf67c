// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The framework's side of the Win32 test support, in plain types (the framework's headers and <windows.h>
// do not share a translation unit).
#pragma once

#include <cstdint>
#include <string>

class CDialog;

namespace uitest::win32 {

std::intptr_t DoModal(CDialog& dialog);
void* WindowOf(const CDialog& dialog);
void EndDialog(CDialog& dialog, int result);
// The title AfxMessageBox gives its boxes.
std::string MessageBoxTitle();

} // namespace uitest::win32
