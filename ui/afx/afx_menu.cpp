// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// CMenu, CDC and CPaintDC: wrappers of menu and device context handles.
#include "ui/afx/afxmenu.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxwnd.h"

#include <map>
#include <memory>
#include <string>

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (hMenu == nullptr)
        return nullptr;
    static auto* wrappers = new std::map<HMENU, std::unique_ptr<CMenu>>;
    std::unique_ptr<CMenu>& menu = (*wrappers)[hMenu];
    if (menu == nullptr) {
        menu = std::make_unique<CMenu>();
        menu->m_hMenu = hMenu;
    }
    return menu.get();
}

BOOL CMenu::AppendMenuA(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return m_hMenu ? ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem) : FALSE;
}

int CMenu::GetMenuItemCount() const {
    return m_hMenu ? ::GetMenuItemCount(m_hMenu) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
    return m_hMenu ? ::GetMenuItemID(m_hMenu, nPos) : static_cast<UINT>(-1);
}

int CMenu::GetMenuStringA(UINT nIDItem, CString& text, UINT nFlags) const {
    text.Empty();
    if (m_hMenu == nullptr)
        return 0;
    const int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0)
        return 0;
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetMenuStringA(m_hMenu, nIDItem, buffer.data(), length + 1, nFlags);
    buffer.resize(static_cast<std::size_t>(copied));
    text = CString(std::string_view(buffer));
    return text.GetLength();
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    return m_hDC ? ::DrawIcon(m_hDC, x, y, hIcon) : FALSE;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    // Painting is possible while the window handles WM_PAINT; elsewhere this context draws nothing.
    if (m_hWnd != nullptr)
        m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr)
        ::EndPaint(m_hWnd, &m_ps);
}
