// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The main dialog: Steinberg's relative displacement limit for a component on a circuit board.
#pragma once

#include "resources/resource.h"
#include "ui/afx/afxdlg.h"
#include "ui/afx/afxstr.h"

// State shared by the handlers, for the whole process.
extern double g_constantC;    // the component constant C in force
extern int g_constantMode;    // 0: C read from the C field at each Calculate; 1: C from the component table
extern CString g_resultText;  // the formatted result
extern CString g_scratchText; // every field read, and the formatted C display

class CDisplacementDialog : public CDialog {
public:
    explicit CDisplacementDialog(CWnd* pParent = nullptr);
    ~CDisplacementDialog() override;

    CListBox m_positionList;
    CStatic m_cCaption;
    CEdit m_cDisplay;
    CListBox m_modeList;
    CEdit m_componentText;
    CStatic m_componentCaption;
    CListBox m_componentList;
    CStatic m_zCaption;
    CButton m_resultsGroup;
    CStatic m_zUnits;
    CButton m_calculateButton;
    CEdit m_editZ;
    CEdit m_editL;
    CEdit m_editH;
    CEdit m_editC;
    CEdit m_editB;

protected:
    HICON m_hIcon;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Calculate. Never closes the dialog.
    void OnOK() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnInputChange();
    void OnConstantEdit();
    void OnComponentChange();
    void OnConstantModeChange();

    DECLARE_MESSAGE_MAP()

private:
    // Blanks and hides the result controls.
    void HideResults();
    // The number in a field, read through g_scratchText.
    double ReadField(const CEdit& field);
};
