// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The application: CWinApp, process start-up (AfxWinMain) and resources.
#pragma once

#include "ui/afx/afxplatform.h"
#include "ui/afx/afxwnd.h"

#include <string>

class CWinApp : public CCmdTarget {
public:
    // `lpszAppName` nullptr: the application takes its module's title string (AFX_IDS_APP_TITLE)
    // or, when there is none, the executable's name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // What the process exits with.
    virtual int ExitInstance();

    // Asks for three-dimensional controls. The toolkit always draws them so; returns TRUE.
    BOOL Enable3dControls();

    // The help command: opens the application's help. There is no help file, so there is
    // nothing to open.
    void OnHelp();

    HICON LoadIcon(UINT nIDResource) const;

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    std::string m_appName;
};

// The one application object, or nullptr before it is constructed.
CWinApp* AfxGetApp();
// The application's name, or the executable's when there is no application object.
LPCSTR AfxGetAppName();
// The module that holds a resource (there is one: the executable).
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);

// Hosting of OLE controls in dialogs. Templates here contain none, so nothing needs to be set up.
void AfxEnableControlContainer();

// Starts the window system, runs the application's InitInstance and, if it returns TRUE, the
// message loop. Returns the process exit code. The command line is not looked at. Where no display
// can be opened it says so in one line on stderr and returns 1.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
