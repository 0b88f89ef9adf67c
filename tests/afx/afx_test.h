// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// What the framework tests share: a recording dialog on the probe form, and dialogs built from a
// template without being run.
#pragma once

#include "tests/afx/afx_test_resource.h"
#include "tests/support/uitest.h"
#include "ui/afx/afxdlg.h"
#include "ui/afx/qt/qt_impl.h"

#include <stdexcept>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Log = std::vector<std::string>;

// Records, in order, what reaches its handlers. B and C have EN_CHANGE entries, h has none.
class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_PROBE) {}
    Log Take() { return std::exchange(log, {}); }

    Log log;
    std::function<void(ProbeDialog&)> init; // runs at the end of OnInitDialog
    bool okEnds = false;                    // OnOK ends the dialog, as CDialog's does
    CEdit editB, editH, editC;
    CListBox components;
    CStatic zCaption;
    CButton calculate;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnChangeB() { log.push_back("EN_CHANGE B"); }
    void OnChangeC() { log.push_back("EN_CHANGE C"); }
    void OnSelChange() { log.push_back("LBN_SELCHANGE"); }
    DECLARE_MESSAGE_MAP()
};

// The dialog template `id` of the tests' own resources.
inline afx::DialogTemplate TestTemplate(int id) {
    const auto t = afx::LoadDialogTemplate(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id));
    if (!t)
        throw std::runtime_error("no test dialog template " + std::to_string(id));
    return *t;
}

// A dialog built from its template and not run; its widgets go with it.
struct Built {
    explicit Built(int id)
        : window(
              afx::CreateDialogWindow(TestTemplate(id), AfxGetInstanceHandle(), nullptr, nullptr, nullptr)) {}
    std::unique_ptr<AfxWindow> window;
};

// Ends a dialog on the probe form with its Cancel button.
inline void Exit(QDialog* d) {
    uitest::Click(uitest::Find<QWidget>(d, IDCANCEL));
}
