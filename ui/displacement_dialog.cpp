// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "ui/displacement_dialog.h"

#include "calc/displacement.h"
#include "calc/evaluation.h"
#include "calc/tables.h"
#include "ui/about_dialog.h"
#include "ui/afx/afxapp.h"
#include "ui/afx/afxmenu.h"

#include <cstddef>

double g_constantC = 0.0;
int g_constantMode = calc::kModeManual;
CString g_resultText;
CString g_scratchText;

CDisplacementDialog::CDisplacementDialog(CWnd* pParent) : CDialog(IDD_MAIN, pParent) {
    m_hIcon = LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON),
                        MAKEINTRESOURCEA(IDR_MAINFRAME));
}

// The icon is shared by the application and is not destroyed here.
CDisplacementDialog::~CDisplacementDialog() = default;

void CDisplacementDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_POSITION_LIST, m_positionList);
    DDX_Control(pDX, IDC_C_CAPTION, m_cCaption);
    DDX_Control(pDX, IDC_C_DISPLAY, m_cDisplay);
    DDX_Control(pDX, IDC_MODE_LIST, m_modeList);
    DDX_Control(pDX, IDC_COMPONENT_TEXT, m_componentText);
    DDX_Control(pDX, IDC_COMPONENT_CAPTION, m_componentCaption);
    DDX_Control(pDX, IDC_COMPONENT_LIST, m_componentList);
    DDX_Control(pDX, IDC_Z_CAPTION, m_zCaption);
    DDX_Control(pDX, IDC_RESULTS_GROUP, m_resultsGroup);
    DDX_Control(pDX, IDC_Z_UNITS, m_zUnits);
    DDX_Control(pDX, IDOK, m_calculateButton);
    DDX_Control(pDX, IDC_EDIT_Z, m_editZ);
    DDX_Control(pDX, IDC_EDIT_L, m_editL);
    DDX_Control(pDX, IDC_EDIT_H, m_editH);
    DDX_Control(pDX, IDC_EDIT_C, m_editC);
    DDX_Control(pDX, IDC_EDIT_B, m_editB);
}

BEGIN_MESSAGE_MAP(CDisplacementDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_EN_CHANGE(IDC_EDIT_B, OnInputChange)
ON_EN_CHANGE(IDC_EDIT_C, OnConstantEdit)
ON_EN_CHANGE(IDC_EDIT_H, OnInputChange)
ON_EN_CHANGE(IDC_EDIT_L, OnInputChange)
ON_LBN_SELCHANGE(IDC_COMPONENT_LIST, OnComponentChange)
ON_LBN_SELCHANGE(IDC_MODE_LIST, OnConstantModeChange)
ON_LBN_SELCHANGE(IDC_POSITION_LIST, OnInputChange)
END_MESSAGE_MAP()

BOOL CDisplacementDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    // "About tarnvel..." at the end of the system menu.
    if (CMenu* pSysMenu = GetSystemMenu(FALSE); pSysMenu != nullptr) {
        CString strAboutMenu;
        strAboutMenu.LoadStringA(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenuA(MF_SEPARATOR);
            pSysMenu->AppendMenuA(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }
    SendMessageA(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    HideResults();
    m_editC.SetWindowTextA(" ");
    m_editC.ShowWindow(SW_HIDE);
    m_cDisplay.SetWindowTextA(" ");
    m_cDisplay.ShowWindow(SW_HIDE);
    m_componentList.ShowWindow(SW_HIDE);
    m_componentCaption.ShowWindow(SW_HIDE);

    for (std::size_t i = 0; i < calc::PositionFactorTable.size(); ++i)
        m_positionList.InsertString(static_cast<int>(i), calc::PositionFactorTable[i].text);
    m_positionList.SetCurSel(0);
    for (std::size_t i = 0; i < calc::ConstantModeTexts.size(); ++i)
        m_modeList.InsertString(static_cast<int>(i), calc::ConstantModeTexts[i]);
    for (std::size_t i = 0; i < calc::ComponentTable.size(); ++i)
        m_componentList.InsertString(static_cast<int>(i), calc::ComponentTable[i].listText);

    m_cCaption.ShowWindow(SW_HIDE);
    return TRUE;
}

void CDisplacementDialog::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDialog dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

// Minimised, the dialog shows its icon centred in the client area.
void CDisplacementDialog::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessageA(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

// The cursor shown while the minimised window is dragged.
HCURSOR CDisplacementDialog::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CDisplacementDialog::HideResults() {
    m_editZ.SetWindowTextA(" ");
    m_editZ.ShowWindow(SW_HIDE);
    m_zUnits.ShowWindow(SW_HIDE);
    m_zCaption.ShowWindow(SW_HIDE);
    m_resultsGroup.ShowWindow(SW_HIDE);
}

double CDisplacementDialog::ReadField(const CEdit& field) {
    field.GetWindowTextA(g_scratchText);
    return calc::FieldValue(g_scratchText.View());
}

void CDisplacementDialog::OnConstantModeChange() {
    g_constantC = 0.0;
    m_componentText.ShowWindow(SW_HIDE);
    g_constantMode = m_modeList.GetCurSel();
    const bool manual = g_constantMode == calc::kModeManual;
    const bool component = g_constantMode == calc::kModeComponent;
    if (manual || component) {
        m_componentList.ShowWindow(SW_HIDE);
        m_componentCaption.ShowWindow(SW_HIDE);
        m_editC.SetWindowTextA(" ");
        m_editC.ShowWindow(SW_HIDE);
        m_cDisplay.SetWindowTextA(" ");
        m_cDisplay.ShowWindow(SW_HIDE);
        m_cCaption.ShowWindow(SW_HIDE);
        m_calculateButton.ShowWindow(SW_HIDE);
    }
    if (manual) {
        m_editC.ShowWindow(SW_SHOW);
        m_cCaption.ShowWindow(SW_SHOW);
        m_calculateButton.ShowWindow(SW_SHOW);
        m_componentList.SetCurSel(-1);
    }
    if (component) {
        // The component list keeps the row picked before.
        m_cDisplay.ShowWindow(SW_SHOW);
        m_componentList.ShowWindow(SW_SHOW);
        m_componentCaption.ShowWindow(SW_SHOW);
    }
    if (manual || component)
        HideResults();
}

void CDisplacementDialog::OnComponentChange() {
    m_editC.SetWindowTextA(" ");
    m_componentText.ShowWindow(SW_HIDE);
    const calc::ComponentRow* row = calc::ComponentAt(m_componentList.GetCurSel());
    if (row == nullptr)
        return; // no row picked: C keeps its value
    m_componentText.SetWindowTextA(row->description);
    m_componentText.ShowWindow(SW_SHOW);
    // The hidden C field holds the component's C text, so later Calculates read the same C.
    m_editC.SetWindowTextA(row->cText);
    g_constantC = row->c;
    m_componentList.ShowWindow(SW_HIDE);
    m_componentCaption.ShowWindow(SW_HIDE);
    g_scratchText = calc::ConstantText(g_constantC).c_str();
    m_cDisplay.SetWindowTextA(g_scratchText);
    m_calculateButton.ShowWindow(SW_SHOW);
}

void CDisplacementDialog::OnOK() {
    // With no row selected, picking the same mode row again runs OnConstantModeChange again.
    m_modeList.SetCurSel(-1);
    m_editZ.ShowWindow(SW_SHOW);
    m_zUnits.ShowWindow(SW_SHOW);
    m_zCaption.ShowWindow(SW_SHOW);
    m_resultsGroup.ShowWindow(SW_SHOW);

    calc::Readings in;
    in.L = ReadField(m_editL);
    const bool manual = g_constantMode == calc::kModeManual;
    if (manual)
        g_constantC = ReadField(m_editC);
    in.C = g_constantC;
    in.B = ReadField(m_editB);
    in.h = ReadField(m_editH);
    // One position row is always selected; should none be, r = 0 fails the positivity check.
    const calc::PositionRow* position = calc::PositionAt(m_positionList.GetCurSel());
    in.r = position != nullptr ? position->r : 0.0;

    // The fields cannot change while a box is open, so the boxes can follow all the reads.
    const calc::Evaluation outcome = calc::Evaluate(in, manual);
    for (const calc::Message message : outcome.Messages()) {
        if (message == calc::Message::InputError)
            HideResults();
        AfxMessageBox(calc::MessageText(message), MB_OK, 0);
    }
    if (outcome.succeeded) {
        g_resultText = outcome.resultText.c_str();
        m_editZ.SetWindowTextA(g_resultText);
        g_constantMode = calc::kModeManual;
    }
}

void CDisplacementDialog::OnConstantEdit() {
    HideResults();
    m_componentList.ShowWindow(SW_HIDE);
    m_componentCaption.ShowWindow(SW_HIDE);
}

void CDisplacementDialog::OnInputChange() {
    HideResults();
}
