// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Dialogs: CDialog, data exchange (DDX_Control) and message boxes.
#pragma once

#include "ui/afx/afxwnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds `rControl` to the dialog's child window with ID `nIDC`. A missing ID is a programming
// error: it throws std::logic_error naming the ID rather than leaving the wrapper unbound.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
    ~CDialog() override;

    // Builds the dialog from its template, runs OnInitDialog and a modal loop until EndDialog,
    // destroys the dialog and returns the end code. An exception from one of its handlers ends the
    // dialog and is thrown again from here.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Runs DoDataExchange: FALSE moves data to the controls, TRUE back from them.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    INT_PTR m_nModalResult = -1;

protected:
    // Runs the data exchange. TRUE puts the focus on the first control with a tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // IDOK: ends the dialog with IDOK. IDCANCEL: ends it with IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();

    // WM_INITDIALOG: runs OnInitDialog.
    LRESULT HandleInitDialog(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};

// A modal box with the text, one OK button and the application's name as title. Returns IDOK
// when the box has been closed.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
