// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The application: runs the main dialog once.
#pragma once

#include "ui/afx/afxapp.h"

class CDisplacementApp : public CWinApp {
public:
    CDisplacementApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CDisplacementApp theApp;
