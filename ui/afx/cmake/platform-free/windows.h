// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Found first by the framework's own sources in the Windows build, in place of the system's header.
#error "the framework (ui/afx) includes no window system's headers: the Win32 one belongs to ui/afx/win32"
