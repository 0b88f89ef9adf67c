// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "app/displacement_app.h"

#include "ui/displacement_dialog.h"

BEGIN_MESSAGE_MAP(CDisplacementApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CDisplacementApp::CDisplacementApp() = default;

CDisplacementApp theApp;

BOOL CDisplacementApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();

    CDisplacementDialog dlg;
    m_pMainWnd = &dlg;
    // Exit, Escape and the close box all end the program the same way.
    dlg.DoModal();
    m_pMainWnd = nullptr; // the dialog goes with this call

    // The dialog has ended: return FALSE so that no message loop starts and the process ends.
    return FALSE;
}
