// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Process start-up: 53-bit floating-point precision, then the framework.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxcrt.h"

#include <string>

int main(int argc, char** argv) {
    _controlfp(_PC_53, _MCW_PC);

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return AfxWinMain(AfxGetInstanceHandle(), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
