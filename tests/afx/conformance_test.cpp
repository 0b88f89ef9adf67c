// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// What the framework promises of the window system, on every backend through its dialog driver: which
// changes notify the dialog, list box results, visibility, how a missing control or template fails, and
// what becomes of an exception thrown by a handler.
// On the Win32 backend this is checked against USER32 itself (Wine's, under test).
#include "tests/afx/afx_test_resource.h"
#include "tests/support/dialog_driver.h"
#include "ui/afx/afxdlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

using namespace uitest;

namespace {

using Log = std::vector<std::string>;

// Records the notifications of B and of the component list, in order.
class Recording : public CDialog {
public:
    Recording() : CDialog(IDD_PROBE) {}
    Log Take() { return std::exchange(log, {}); }

    Log log;
    CEdit editB;
    CListBox list;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_EDIT_B, editB);
        DDX_Control(pDX, IDC_COMPONENT_LIST, list);
    }
    BOOL OnInitDialog() override {
        const BOOL focus = CDialog::OnInitDialog();
        for (const char* row : {"a", "b", "c"})
            list.InsertString(-1, row);
        log.clear();
        return focus;
    }
    void OnChangeB() { log.push_back("EN_CHANGE"); }
    void OnSelChange() { log.push_back("LBN_SELCHANGE " + std::to_string(list.GetCurSel())); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Recording, CDialog)
ON_EN_CHANGE(IDC_EDIT_B, OnChangeB)
ON_LBN_SELCHANGE(IDC_COMPONENT_LIST, OnSelChange)
END_MESSAGE_MAP()

// USER32's list box notifies every click of its button in a list with LBS_NOTIFY, on the selected row
// too; the Qt backend notifies changes of the selection only. Programs rely on the notification of a
// changed selection alone, which both give.
#if defined(_WIN32)
const Log kClickOnTheSelectedRow = {"LBN_SELCHANGE 1"};
#else
const Log kClickOnTheSelectedRow = {};
#endif

struct NotificationRow {
    const char* name;
    std::function<void(Recording&, DialogDriver&)> act;
    Log expected;
};

TEST(Conformance, WhatNotifiesTheDialog) {
    const std::vector<NotificationRow> rows = {
        {"SetWindowTextA on an edit",
         [](Recording& d, DialogDriver&) { d.editB.SetWindowTextA("6"); },
         {"EN_CHANGE"}},
        {"SetWindowTextA with the same text",
         [](Recording& d, DialogDriver&) {
             d.editB.SetWindowTextA("6");
             d.Take();
             d.editB.SetWindowTextA("6");
         },
         {"EN_CHANGE"}},
        {"a key typed", [](Recording&, DialogDriver& c) { c.Type(IDC_EDIT_B, "7"); }, {"EN_CHANGE"}},
        {"SetCurSel", [](Recording& d, DialogDriver&) { d.list.SetCurSel(2); }, {}},
        {"a click on another row",
         [](Recording&, DialogDriver& c) { c.ClickRow(IDC_COMPONENT_LIST, 1); },
         {"LBN_SELCHANGE 1"}},
        {"a click on the selected row",
         [](Recording& d, DialogDriver& c) {
             d.list.SetCurSel(1);
             c.ClickRow(IDC_COMPONENT_LIST, 1);
         },
         kClickOnTheSelectedRow},
        {"a key typed where the message map has no entry",
         [](Recording&, DialogDriver& c) { c.Type(IDC_EDIT_H, "1"); },
         {}},
    };
    for (const NotificationRow& row : rows) {
        SCOPED_TRACE(row.name);
        Recording dlg;
        RunWithDriver(dlg, [&](DialogDriver& c) {
            row.act(dlg, c);
            EXPECT_EQ(dlg.Take(), row.expected);
            c.Click(IDCANCEL);
        });
    }
}

TEST(Conformance, ListBoxResults) {
    Recording dlg;
    RunWithDriver(dlg, [&](DialogDriver& c) {
        EXPECT_EQ(dlg.list.GetCount(), 3);
        EXPECT_EQ(dlg.list.GetCurSel(), -1);
        EXPECT_EQ(dlg.list.InsertString(1, "between"), 1); // at the index, whatever LBS_SORT says
        EXPECT_EQ(c.RowText(IDC_COMPONENT_LIST, 1), "between");
        EXPECT_EQ(dlg.list.InsertString(9, "beyond"), LB_ERR);
        EXPECT_EQ(dlg.list.SetCurSel(2), 2);
        EXPECT_EQ(c.CurSel(IDC_COMPONENT_LIST), 2);
        EXPECT_EQ(dlg.list.SetCurSel(-1), LB_ERR); // clears, and says LB_ERR as Windows does
        EXPECT_EQ(dlg.list.GetCurSel(), -1);
        EXPECT_EQ(dlg.list.SetCurSel(4), LB_ERR);
        EXPECT_TRUE(dlg.Take().empty());
        c.Click(IDCANCEL);
    });
}

TEST(Conformance, ShowWindowKeepsTextAndSelection) {
    Recording dlg;
    RunWithDriver(dlg, [&](DialogDriver& c) {
        dlg.editB.SetWindowTextA("6");
        dlg.list.SetCurSel(1);
        EXPECT_TRUE(dlg.editB.ShowWindow(SW_HIDE));
        EXPECT_FALSE(dlg.editB.ShowWindow(SW_HIDE));
        EXPECT_TRUE(dlg.list.ShowWindow(SW_HIDE));
        EXPECT_FALSE(c.Shown(IDC_EDIT_B));
        EXPECT_FALSE(dlg.editB.IsWindowVisible());
        EXPECT_FALSE(dlg.editB.ShowWindow(SW_SHOW));
        EXPECT_TRUE(dlg.editB.ShowWindow(SW_SHOW));
        EXPECT_FALSE(dlg.list.ShowWindow(SW_SHOW));
        EXPECT_EQ(c.Text(IDC_EDIT_B), "6");
        EXPECT_EQ(c.CurSel(IDC_COMPONENT_LIST), 1);
        c.Click(IDCANCEL);
    });
}

TEST(Conformance, EndingTheDialog) {
    const std::vector<std::pair<const char*, std::function<void(DialogDriver&)>>> ways = {
        {"Cancel", [](DialogDriver& c) { c.Click(IDCANCEL); }},
        {"Escape", [](DialogDriver& c) { c.Key(IDC_EDIT_B, DriverKey::Escape); }},
        {"close box", [](DialogDriver& c) { c.CloseBox(); }},
    };
    for (const auto& [name, end] : ways) {
        SCOPED_TRACE(name);
        Recording dlg;
        EXPECT_EQ(RunWithDriver(dlg, end), IDCANCEL);
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << "the wrappers are released with the window";
        EXPECT_EQ(dlg.editB.GetSafeHwnd(), nullptr);
    }
}

// A control or template that is not there is a programming error, reported as such.
class MissingControl : public CDialog {
public:
    MissingControl() : CDialog(IDD_PROBE) {}
    CEdit edit;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 4242, edit); }
};

TEST(Conformance, MissingControlOrTemplateThrows) {
    MissingControl missing;
    EXPECT_THROW(missing.DoModal(), std::logic_error);
    CDialog none(4243);
    EXPECT_THROW(none.DoModal(), std::logic_error);
}

// A handler's exception cannot cross the window system's frames (USER32's, Qt's event loop): it ends
// the modal loop and DoModal throws it again, with the window gone and its wrappers released. The
// owner of a nested dialog gets it from the inner DoModal, as from any other call.
class Throwing : public CDialog {
public:
    enum class Where { InitDialog, Command, NestedDialog };
    explicit Throwing(Where where, CWnd* parent = nullptr) : CDialog(IDD_PROBE, parent), m_where(where) {}
    int commandsAfterTheThrow = 0;
    CEdit edit;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_EDIT_B, edit); }
    BOOL OnInitDialog() override {
        const BOOL focus = CDialog::OnInitDialog();
        if (m_where == Where::InitDialog)
            throw std::runtime_error("thrown by OnInitDialog");
        return focus;
    }
    void OnOK() override {
        if (m_where == Where::NestedDialog) {
            Throwing inner(Where::Command, this);
            inner.DoModal();
        }
        if (m_thrown)
            ++commandsAfterTheThrow;
        m_thrown = true;
        throw std::runtime_error("thrown by OnOK");
    }
    void OnCancel() override {
        ++commandsAfterTheThrow;
        CDialog::OnCancel();
    }

private:
    Where m_where;
    bool m_thrown = false;
};

TEST(Conformance, AHandlersExceptionEndsTheDialogAndLeavesDoModal) {
    struct Row {
        const char* name;
        Throwing::Where where;
        std::function<void(DialogDriver&)> act;
    };
    const std::vector<Row> rows = {
        {"thrown by OnInitDialog", Throwing::Where::InitDialog, nullptr},
        {"thrown by a command, in the modal loop", Throwing::Where::Command,
         [](DialogDriver& c) { c.Click(IDOK); }},
        {"thrown by a command of a nested dialog", Throwing::Where::NestedDialog,
         [](DialogDriver& c) { c.Click(IDOK); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Throwing dlg(row.where);
        try {
            if (row.act)
                RunWithDriver(dlg, [&](DialogDriver& c) {
                    row.act(c);
                    EXPECT_FALSE(c.DialogShown()) << "the dialog ended with the exception";
                });
            else
                dlg.DoModal();
            ADD_FAILURE() << "DoModal returned";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), row.where == Throwing::Where::InitDialog ? "thrown by OnInitDialog"
                                                                            : "thrown by OnOK");
        }
        EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << "the wrappers are released with the window";
        EXPECT_EQ(dlg.edit.GetSafeHwnd(), nullptr);
        EXPECT_EQ(dlg.commandsAfterTheThrow, 0) << "no handler runs once the exception is on its way";
    }
}

} // namespace
