// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The About box.
#pragma once

#include "resources/resource.h"
#include "ui/afx/afxdlg.h"

class CAboutDialog : public CDialog {
public:
    CAboutDialog();

    CButton m_okButton;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
