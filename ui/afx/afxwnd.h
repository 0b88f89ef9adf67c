// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Message maps, CCmdTarget, CWnd and the control wrappers CEdit, CListBox, CStatic, CButton.
#pragma once

#include "ui/afx/afxplatform.h"
#include "ui/afx/afxstr.h"
#include "ui/afx/afxtypes.h"

#include <type_traits>

class CCmdTarget;
class CMenu;

// ---------------------------------------------------------------------------------------------
// Message maps
//
// Each class with handlers has a table of entries (message, notification code, control ID →
// handler) chained to its base class's table. A message is routed to the first matching entry,
// most derived class first. The handler is stored as a small function ("thunk") generated for the
// member function, so a handler of the wrong signature does not compile.

using AFX_THUNK = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // WM_COMMAND, WM_SYSCOMMAND, …; 0 ends the table
    UINT nCode;    // notification code, for WM_COMMAND
    UINT nID;      // control or command ID, for WM_COMMAND
    AFX_THUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx::detail {

template <typename> struct MemberOf;
template <typename C, typename R, typename... A> struct MemberOf<R (C::*)(A...)> { using Class = C; };

template <auto F> using ClassOf = typename MemberOf<decltype(F)>::Class;

// void OnSomething()  — WM_COMMAND notifications, WM_PAINT.
template <auto F> LRESULT VoidThunk(CCmdTarget& target, WPARAM, LPARAM) {
    static_assert(std::is_same_v<decltype(F), void (ClassOf<F>::*)()>, "handler must be void f()");
    (static_cast<ClassOf<F>&>(target).*F)();
    return 0;
}

// void OnSysCommand(UINT nID, LPARAM lParam)
template <auto F> LRESULT SysCommandThunk(CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
    static_assert(std::is_same_v<decltype(F), void (ClassOf<F>::*)(UINT, LPARAM)>,
                  "handler must be void f(UINT, LPARAM)");
    (static_cast<ClassOf<F>&>(target).*F)(static_cast<UINT>(wParam), lParam);
    return 0;
}

// HCURSOR OnQueryDragIcon()
template <auto F> LRESULT QueryDragIconThunk(CCmdTarget& target, WPARAM, LPARAM) {
    static_assert(std::is_same_v<decltype(F), HCURSOR (ClassOf<F>::*)()>, "handler must be HCURSOR f()");
    return reinterpret_cast<LRESULT>((static_cast<ClassOf<F>&>(target).*F)());
}

// LRESULT OnMessage(WPARAM, LPARAM)  — any message, as it comes.
template <auto F> LRESULT MessageThunk(CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
    static_assert(std::is_same_v<decltype(F), LRESULT (ClassOf<F>::*)(WPARAM, LPARAM)>,
                  "handler must be LRESULT f(WPARAM, LPARAM)");
    return (static_cast<ClassOf<F>&>(target).*F)(wParam, lParam);
}

} // namespace afx::detail

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                                      \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                                        \
        using ThisClass [[maybe_unused]] = theClass;                                                         \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, 0, nullptr }                                                                                     \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};                           \
    return &map;                                                                                             \
    }

#define ON_COMMAND(id, memberFxn)                                                                            \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), &::afx::detail::VoidThunk<&ThisClass::memberFxn>},
#define ON_EN_CHANGE(id, memberFxn)                                                                          \
    {WM_COMMAND, EN_CHANGE, static_cast<UINT>(id), &::afx::detail::VoidThunk<&ThisClass::memberFxn>},
#define ON_LBN_SELCHANGE(id, memberFxn)                                                                      \
    {WM_COMMAND, LBN_SELCHANGE, static_cast<UINT>(id), &::afx::detail::VoidThunk<&ThisClass::memberFxn>},
#define ON_MESSAGE(message, memberFxn) {message, 0, 0, &::afx::detail::MessageThunk<&ThisClass::memberFxn>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, &::afx::detail::SysCommandThunk<&ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &::afx::detail::VoidThunk<&ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON()                                                                                \
    {WM_QUERYDRAGICON, 0, 0, &::afx::detail::QueryDragIconThunk<&ThisClass::OnQueryDragIcon>},

// ---------------------------------------------------------------------------------------------

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Routes a message through this object's message map chain. Returns true, with the
    // handler's result in *pResult, when an entry took it.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // The first entry of the chain that matches, or nullptr.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, WPARAM wParam) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// A window of the window system. A CWnd wraps a window handle; control wrappers are bound to
// the dialog's child windows by DDX_Control and released when the window is destroyed. Every
// member is a call of the window system (afxplatform.h) on m_hWnd.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    // Gives this wrapper the window `hWnd` (or none).
    void Attach(HWND hWnd);
    HWND Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }

    void SetWindowTextA(LPCSTR text);
    void GetWindowTextA(CString& text) const;

    // SW_SHOW or SW_HIDE; returns whether the window was visible before.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    int GetDlgCtrlID() const;
    void GetClientRect(LPRECT rect) const;

    LRESULT SendMessageA(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The window's own system menu.
    CMenu* GetSystemMenu(BOOL bRevert);

    // Default processing of the message being handled.
    LRESULT Default();

    // Runs a message through the message map and, where no entry takes it, default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

protected:
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Default handlers, for a derived class's handler to fall back on.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    DECLARE_MESSAGE_MAP()

private:
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    CurrentMessage m_current;
};

class CEdit : public CWnd {};

class CStatic : public CWnd {};

class CButton : public CWnd {};

class CListBox : public CWnd {
public:
    int InsertString(int index, LPCSTR text) {
        return static_cast<int>(
            SendMessageA(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessageA(LB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessageA(LB_GETCURSEL)); }
    int GetCount() const { return static_cast<int>(SendMessageA(LB_GETCOUNT)); }
};
