// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tests/afx/afx_test.h"

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
ON_EN_CHANGE(IDC_EDIT_B, OnChangeB)
ON_EN_CHANGE(IDC_EDIT_C, OnChangeC)
ON_LBN_SELCHANGE(IDC_COMPONENT_LIST, OnSelChange)
END_MESSAGE_MAP()

BOOL ProbeDialog::OnInitDialog() {
    const BOOL focus = CDialog::OnInitDialog();
    if (init)
        init(*this);
    return focus;
}

void ProbeDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_EDIT_B, editB);
    DDX_Control(pDX, IDC_EDIT_H, editH);
    DDX_Control(pDX, IDC_EDIT_C, editC);
    DDX_Control(pDX, IDC_COMPONENT_LIST, components);
    DDX_Control(pDX, IDC_Z_CAPTION, zCaption);
    DDX_Control(pDX, IDOK, calculate);
}

void ProbeDialog::OnOK() {
    log.push_back("OnOK");
    if (okEnds)
        CDialog::OnOK();
}

void ProbeDialog::OnCancel() {
    log.push_back("OnCancel");
    CDialog::OnCancel();
}
