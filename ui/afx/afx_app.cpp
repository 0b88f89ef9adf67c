// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// CWinApp and AfxWinMain: the application object, its name and version, and the process's run.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxresource.h"

#include <string>

namespace {

CWinApp* g_app = nullptr;

// A string of the module's string table, empty when there is none.
std::string ModuleString(HINSTANCE module, UINT id) {
    char buffer[256];
    const int length = ::LoadStringA(module, id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

std::string ModuleName(HINSTANCE module) {
    char buffer[256];
    const int length = AfxGetModuleBaseName(module, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

// "1.0.0.1" from the fixed part of the module's version block, empty when it has none.
std::string ModuleVersion(HINSTANCE module) {
    const auto version = afx::ReadFileVersion(AfxResourceBytes(module, MAKEINTRESOURCEA(1), RT_VERSION));
    if (!version)
        return {};
    return std::to_string(version->part[0]) + "." + std::to_string(version->part[1]) + "." +
           std::to_string(version->part[2]) + "." + std::to_string(version->part[3]);
}

// The application's run inside the window system: InitInstance, the message loop when it asks for
// one, ExitInstance.
int RunApp(void* context) {
    auto* app = static_cast<CWinApp*>(context);
    if (app->InitInstance())
        AfxRunMessageLoop();
    return app->ExitInstance();
}

} // namespace

afx::Bytes AfxResourceBytes(HINSTANCE hModule, LPCSTR lpName, LPCSTR lpType) {
    const HRSRC info = FindResourceA(hModule, lpName, lpType);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(hModule, info)));
    return data != nullptr ? afx::Bytes(data, SizeofResource(hModule, info)) : afx::Bytes();
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) {
    m_hInstance = AfxGetInstanceHandle();
    if (lpszAppName != nullptr)
        m_appName = lpszAppName;
    else if (m_appName = ModuleString(m_hInstance, AFX_IDS_APP_TITLE); m_appName.empty())
        m_appName = ModuleName(m_hInstance);
    m_pszAppName = m_appName.c_str();
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

LPCSTR AfxGetAppName() {
    if (g_app != nullptr)
        return g_app->m_pszAppName;
    static const std::string name = ModuleName(AfxGetInstanceHandle());
    return name.c_str();
}

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) {
    return AfxGetInstanceHandle();
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

BOOL CWinApp::Enable3dControls() {
    return TRUE;
}

void CWinApp::OnHelp() {}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIconA(m_hInstance, MAKEINTRESOURCEA(static_cast<int>(nIDResource)));
}

void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    return AfxRunApplication(app->m_pszAppName,
                             ModuleVersion(hInstance ? hInstance : app->m_hInstance).c_str(), &RunApp, app);
}
