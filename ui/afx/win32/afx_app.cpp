// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The application object, process start-up, resources, strings, menus, painting and the C runtime on
// the window system's own calls.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxcrt.h"
#include "ui/afx/afxmenu.h"
#include "ui/afx/afxstr.h"
#include "ui/afx/win32/native.h"

#include <cstdarg>
#include <map>
#include <memory>
#include <string>

namespace {

CWinApp* g_app = nullptr;

void* ModuleOf(HINSTANCE instance) {
    return const_cast<AfxModule*>(instance);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// CString

BOOL CString::LoadStringA(UINT id) {
    std::string text;
    if (!afx::native::LoadStringResource(ModuleOf(AfxGetInstanceHandle()), id, text))
        return FALSE;
    m_text = std::move(text);
    return TRUE;
}

void CString::Format(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    m_text = afx::native::FormatInCLocale(format, args);
    va_end(args);
}

// ---------------------------------------------------------------------------------------------
// Menus and painting

CMenu* CMenu::FromHandle(HMENU hMenu) {
    // One wrapper per menu handle, for as long as the process lives (menus are few: the system menus).
    static std::map<HMENU, std::unique_ptr<CMenu>> wrappers;
    if (hMenu == nullptr)
        return nullptr;
    std::unique_ptr<CMenu>& wrapper = wrappers[hMenu];
    if (!wrapper) {
        wrapper = std::make_unique<CMenu>();
        wrapper->m_hMenu = hMenu;
    }
    return wrapper.get();
}

BOOL CMenu::AppendMenuA(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return afx::native::AppendMenuItem(m_hMenu, nFlags, nIDNewItem, lpszNewItem) ? TRUE : FALSE;
}

int CMenu::GetMenuItemCount() const {
    return afx::native::MenuItemCount(m_hMenu);
}

UINT CMenu::GetMenuItemID(int nPos) const {
    return afx::native::MenuItemId(m_hMenu, nPos);
}

int CMenu::GetMenuStringA(UINT nIDItem, CString& text, UINT nFlags) const {
    text = CString(std::string_view(afx::native::MenuString(m_hMenu, nIDItem, nFlags)));
    return text.GetLength();
}

int GetSystemMetrics(int index) {
    return afx::native::SystemMetric(index);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    return afx::native::DrawIcon(m_hDC, x, y, hIcon) ? TRUE : FALSE;
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    m_hDC = static_cast<HDC>(afx::native::BeginPaint(pWnd ? pWnd->m_hWnd : nullptr));
}

CPaintDC::~CPaintDC() {
    afx::native::EndPaint(m_hDC);
}

// ---------------------------------------------------------------------------------------------
// Resources: all in the executable.

HINSTANCE AfxGetInstanceHandle() {
    return static_cast<HINSTANCE>(afx::native::ExecutableModule());
}

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) {
    return AfxGetInstanceHandle();
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    return static_cast<HICON>(afx::native::LoadIconResource(ModuleOf(hInstance), lpIconName));
}

// ---------------------------------------------------------------------------------------------
// The application

namespace {

// The application's name when it is given none: the executable's title string (AFX_IDS_APP_TITLE)
// where the module has one, else the executable's name without its extension.
const char* DefaultAppName() {
    static const std::string name = [] {
        constexpr unsigned kAppTitle = 0xE000;
        std::string title;
        if (afx::native::LoadStringResource(afx::native::ExecutableModule(), kAppTitle, title) &&
            !title.empty())
            return title;
        return afx::native::ExecutableName();
    }();
    return name.c_str();
}

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName ? lpszAppName : DefaultAppName()) {
    m_hInstance = AfxGetInstanceHandle();
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
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

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    if (!app->InitInstance()) {
        app->m_pMainWnd = nullptr;
        return app->ExitInstance();
    }
    afx::native::RunMessageLoop();
    return app->ExitInstance();
}

// ---------------------------------------------------------------------------------------------
// The C runtime

unsigned int _controlfp(unsigned int newValue, unsigned int mask) {
    return afx::native::ControlFp(newValue, mask);
}
