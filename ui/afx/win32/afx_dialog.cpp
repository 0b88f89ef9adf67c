// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// CDialog on the dialog manager: the RT_DIALOG resource run by DialogBoxParam, every message of the
// dialog through the message map; DDX_Control and AfxMessageBox.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxdlg.h"
#include "ui/afx/win32/native.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace {

// The owner of a modal window whose program names none: the application's main window, as long as
// it is on screen, else the active window.
HWND SafeOwner(const CWnd* self) {
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd != nullptr && app->m_pMainWnd != self &&
                                    app->m_pMainWnd->m_hWnd != nullptr)
        return app->m_pMainWnd->m_hWnd;
    return static_cast<HWND>(afx::native::ActiveWindow());
}

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    // What the window system's callbacks carry back: an exception cannot travel through USER32's
    // frames, so it ends the dialog and is thrown again once DialogBoxParam has returned.
    struct Run {
        CDialog* dialog;
        std::exception_ptr failure;
    } run{this, nullptr};

    const auto init = [](void* context, afx::native::Handle hwnd) -> int {
        auto* r = static_cast<Run*>(context);
        r->dialog->Attach(static_cast<HWND>(hwnd));
        try {
            return r->dialog->OnInitDialog();
        } catch (...) {
            r->failure = std::current_exception();
            afx::native::EndDialog(hwnd, -1);
            return FALSE;
        }
    };
    const auto message = [](void* context, afx::native::Handle hwnd, unsigned msg, std::uintptr_t wParam,
                            std::intptr_t lParam) -> std::intptr_t {
        auto* r = static_cast<Run*>(context);
        if (r->failure)
            return afx::native::CallDefault(hwnd, msg, wParam, lParam);
        try {
            return r->dialog->WindowProc(msg, wParam, lParam);
        } catch (...) {
            r->failure = std::current_exception();
            afx::native::EndDialog(hwnd, -1);
            return 0;
        }
    };

    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : SafeOwner(this);
    m_nModalResult = -1;
    const std::intptr_t result = afx::native::RunDialog(const_cast<AfxModule*>(AfxGetInstanceHandle()),
                                                        m_nIDTemplate, owner, init, message, &run);
    Detach();
    if (run.failure)
        std::rethrow_exception(run.failure);
    if (result == -1 && m_nModalResult == -1)
        throw std::logic_error("CDialog::DoModal: no dialog template " + std::to_string(m_nIDTemplate));
    return result;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    afx::native::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
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

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr)
        return; // bound already
    HWND dialog = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->m_hWnd : nullptr;
    HWND child = static_cast<HWND>(afx::native::DialogItem(dialog, nIDC));
    if (child == nullptr)
        throw std::logic_error("DDX_Control: the dialog has no control with ID " + std::to_string(nIDC));
    rControl.Attach(child);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp*/) {
    const CWinApp* app = AfxGetApp();
    const std::string title = app && app->m_pszAppName ? app->m_pszAppName : afx::native::ExecutableName();
    return afx::native::ShowMessageBox(SafeOwner(nullptr), lpszText, title.c_str(), nType);
}
