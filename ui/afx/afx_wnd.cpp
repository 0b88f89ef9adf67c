// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// CWnd: a wrapper of a window handle, its calls of the window system and its message routing.
#include "ui/afx/afxmenu.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxwnd.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace {

// The wrappers bound to each window, released when the window is destroyed.
std::multimap<HWND, CWnd*>& Wrappers() {
    static auto* wrappers = new std::multimap<HWND, CWnd*>;
    return *wrappers;
}

} // namespace

void AfxOnWindowDestroyed(HWND hWnd) {
    auto [first, last] = Wrappers().equal_range(hWnd);
    for (auto it = first; it != last; ++it)
        it->second->m_hWnd = nullptr;
    Wrappers().erase(first, last);
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    Detach();
}

void CWnd::Attach(HWND hWnd) {
    Detach();
    m_hWnd = hWnd;
    if (hWnd != nullptr)
        Wrappers().emplace(hWnd, this);
}

HWND CWnd::Detach() {
    HWND old = std::exchange(m_hWnd, nullptr);
    if (old != nullptr) {
        auto [first, last] = Wrappers().equal_range(old);
        for (auto it = first; it != last; ++it) {
            if (it->second == this) {
                Wrappers().erase(it);
                break;
            }
        }
    }
    return old;
}

void CWnd::SetWindowTextA(LPCSTR text) {
    SendMessageA(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void CWnd::GetWindowTextA(CString& text) const {
    text.Empty();
    if (m_hWnd == nullptr)
        return;
    const auto length = static_cast<std::size_t>(std::max<LRESULT>(SendMessageA(WM_GETTEXTLENGTH), 0));
    std::string buffer(length + 1, '\0');
    const LRESULT copied = SendMessageA(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, static_cast<LRESULT>(length))));
    text = CString(std::string_view(buffer));
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const {
    *rect = RECT{};
    ::GetClientRect(m_hWnd, rect);
}

LRESULT CWnd::SendMessageA(UINT message, WPARAM wParam, LPARAM lParam) const {
    return m_hWnd ? ::SendMessageA(m_hWnd, message, wParam, lParam) : 0;
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
    return m_hWnd ? CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)) : nullptr;
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
    return m_hWnd ? AfxDefWindowProc(m_hWnd, message, wParam, lParam) : 0;
}
