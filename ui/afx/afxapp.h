// The application: CWinApp, process start-up (AfxWinMain) and resources.
#pragma once

#include "ui/afx/afxwnd.h"

class CWinApp : public CCmdTarget {
public:
    // `lpszAppName` nullptr: the application is named after the executable ("tarnvel").
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // What the process exits with.
    virtual int ExitInstance();

    // Asks for three-dimensional controls. The toolkit always draws them so; returns TRUE.
    BOOL Enable3dControls();

    // The help command: opens the application's help. tarnvel has no help file, so there is
    // nothing to open.
    void OnHelp();

    HICON LoadIcon(UINT nIDResource) const;

    LPCSTR m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

// The one application object, or nullptr before it is constructed.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// The module that holds a resource (there is one: the executable).
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);

// Hosting of OLE controls in dialogs. tarnvel's templates contain none, so nothing needs to be set up.
void AfxEnableControlContainer();

// Starts the window system, runs the application's InitInstance and, if it returns TRUE, the
// message loop. Returns the process exit code. The command line is not looked at. Where no display
// can be opened it says so in one line on stderr and returns 1.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
