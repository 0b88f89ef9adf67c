// What the framework tests share: a recording dialog on the main template, and dialogs built
// from a template without being run.
#pragma once

#include "resources/resource.h"
#include "tests/support/uitest.h"
#include "ui/afx/afx_impl.h"
#include "ui/afx/afxdlg.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Log = std::vector<std::string>;

// Records, in order, what reaches its handlers. B and C have EN_CHANGE entries, h has none.
class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(IDD_MAIN) {}
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

// A dialog built from its template and not run; its widgets go with it.
struct Built {
    explicit Built(int id) : window(afx::CreateDialogWindow(*res::FindDialog(id), nullptr, nullptr)) {}
    ~Built() { delete window->widget.data(); }
    std::unique_ptr<AfxWindow> window;
};

// Ends a dialog on the main template with its Exit button.
inline void Exit(QDialog* d) {
    uitest::Click(uitest::Find<QWidget>(d, "IDCANCEL"));
}
