// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Menus (CMenu) and painting (CDC, CPaintDC, icons).
#pragma once

#include "ui/afx/afxstr.h"
#include "ui/afx/afxtypes.h"

class CWnd;

class CMenu {
public:
    // The wrapper of a menu handle, kept for as long as the process runs (menus belong to their
    // window, which destroys them).
    static CMenu* FromHandle(HMENU hMenu);

    // MF_STRING with a command ID and text ("&" marks the access key, a tab separates the
    // shortcut shown at the right), or MF_SEPARATOR.
    BOOL AppendMenuA(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);

    int GetMenuItemCount() const;
    // The command ID of the item at `nPos`; 0 for a separator, −1 (as UINT) when out of range.
    UINT GetMenuItemID(int nPos) const;
    // The text of an item (MF_BYPOSITION or MF_BYCOMMAND); returns its length, 0 when none.
    int GetMenuStringA(UINT nIDItem, CString& text, UINT nFlags) const;

    HMENU m_hMenu = nullptr;
};

// A device context: something to draw on.
class CDC {
public:
    HDC GetSafeHdc() const { return m_hDC; }
    // Draws an icon at its standard size (SM_CXICON × SM_CYICON) with its top-left at (x, y).
    BOOL DrawIcon(int x, int y, HICON hIcon);

    HDC m_hDC = nullptr;
};

// The device context of a window's paint handler, open for the length of the handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};
