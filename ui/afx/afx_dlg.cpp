// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// CDialog, DDX_Control and AfxMessageBox.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxdlg.h"
#include "ui/afx/afxplatform.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace {

// A modal run of a dialog: the object whose message map takes the dialog's messages, and what a
// handler threw. An exception cannot travel through the window system's frames (USER32's, Qt's
// event loop): it ends the dialog, the messages still to come get the default processing, and it is
// thrown again from DoModal.
struct ModalRun {
    CWnd* wnd;
    std::exception_ptr failure;
};

LRESULT ModalMessage(void* context, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* run = static_cast<ModalRun*>(context);
    if (run->failure)
        return AfxDefWindowProc(hWnd, message, wParam, lParam);
    try {
        if (run->wnd->m_hWnd == nullptr)
            run->wnd->Attach(hWnd);
        return run->wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        run->failure = std::current_exception();
        ::EndDialog(hWnd, -1);
        return 0;
    }
}

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    const LPCSTR name = MAKEINTRESOURCEA(static_cast<int>(m_nIDTemplate));
    HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
    if (FindResourceA(module, name, RT_DIALOG) == nullptr)
        throw std::logic_error("CDialog::DoModal: no dialog template " + std::to_string(m_nIDTemplate));
    m_nModalResult = -1;
    // A dialog given no parent is owned by the active window, which it disables while it runs, as a
    // dialog box of the application's does.
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    ModalRun run{this, nullptr};
    AfxDialogBox(module, name, owner, &ModalMessage, &run);
    if (m_hWnd != nullptr)
        Detach();
    if (run.failure)
        std::rethrow_exception(run.failure);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr)
        return; // bound already
    HWND dialog = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->m_hWnd : nullptr;
    HWND child = dialog ? ::GetDlgItem(dialog, nIDC) : nullptr;
    if (child == nullptr)
        throw std::logic_error("DDX_Control: the dialog has no control with ID " + std::to_string(nIDC));
    rControl.Attach(child);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
    // Owned by the active dialog, so that it is centred on it and blocks it.
    return ::MessageBoxA(::GetActiveWindow(), lpszText, AfxGetAppName(), nType);
}
