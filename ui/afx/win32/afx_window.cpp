// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Message routing and CWnd on real windows: a CWnd holds the window system's HWND, and every call is the
// window system's own.
#include "ui/afx/afxmenu.h"
#include "ui/afx/afxwnd.h"
#include "ui/afx/win32/native.h"

// ---------------------------------------------------------------------------------------------
// Message maps

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, WPARAM wParam) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND && (e->nCode != HIWORD(wParam) || e->nID != LOWORD(wParam)))
                continue;
            return e;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, wParam);
    if (entry == nullptr)
        return false;
    const LRESULT result = entry->pfn(*this, wParam, lParam);
    if (pResult != nullptr)
        *pResult = result;
    return true;
}

// ---------------------------------------------------------------------------------------------
// CWnd

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    Detach();
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
}

HWND CWnd::Detach() {
    HWND old = m_hWnd;
    m_hWnd = nullptr;
    return old;
}

void CWnd::SetWindowTextA(LPCSTR text) {
    // An edit control raises EN_CHANGE for this as for typing, to its dialog, before the call returns.
    afx::native::SetText(m_hWnd, text);
}

void CWnd::GetWindowTextA(CString& text) const {
    text = CString(std::string_view(afx::native::GetText(m_hWnd)));
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return afx::native::Show(m_hWnd, nCmdShow) ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return afx::native::IsVisible(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const {
    return afx::native::IsIconic(m_hWnd) ? TRUE : FALSE;
}

int CWnd::GetDlgCtrlID() const {
    return afx::native::ControlId(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    const afx::native::Rect r = afx::native::ClientRect(m_hWnd);
    *rect = RECT{r.left, r.top, r.right, r.bottom};
}

LRESULT CWnd::SendMessageA(UINT message, WPARAM wParam, LPARAM lParam) {
    return afx::native::Send(m_hWnd, message, wParam, lParam);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
    return CMenu::FromHandle(static_cast<HMENU>(afx::native::SystemMenu(m_hWnd, bRevert != FALSE)));
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage saved = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    m_current = saved;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return afx::native::CallDefault(m_hWnd, message, wParam, lParam);
}
