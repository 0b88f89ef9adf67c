// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Dialogs: message maps, DDX_Control, DoModal and its keys, message boxes, the system menu.
#include "tests/afx/afx_test.h"
#include "tests/support/uitest.h"
#include "ui/afx/afxmenu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace uitest;

namespace {

class CalculateDialog : public ProbeDialog { // its own IDOK entry
    void OnCalculate() { log.push_back("OnCalculate"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CalculateDialog, ProbeDialog)
ON_COMMAND(IDOK, OnCalculate)
END_MESSAGE_MAP()

class SysCommandDialog : public ProbeDialog { // records system commands, then default processing
    void OnSysCommand(UINT nID, LPARAM lParam) {
        log.push_back("WM_SYSCOMMAND " + std::to_string(nID));
        CDialog::OnSysCommand(nID, lParam);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SysCommandDialog, ProbeDialog)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

class MissingControlDialog : public ProbeDialog {
    void DoDataExchange(CDataExchange* pDX) override {
        ProbeDialog::DoDataExchange(pDX);
        DDX_Control(pDX, 4242, extra);
    }
    CEdit extra;
};

// Dialog widgets of the main template that still exist, shown or not.
int DialogWidgetsLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int count = 0;
    for (const QWidget* w : QApplication::allWidgets())
        count += qobject_cast<const QDialog*>(w) != nullptr && w->property("afxWindow").isValid();
    return count;
}

TEST(MessageMap, EntriesMatchMessageCodeAndIdAlongTheChain) {
    const struct {
        UINT message;
        WPARAM wParam;
        Log reached; // empty: no entry
    } rows[] = {
        {WM_COMMAND, MAKEWPARAM(IDC_EDIT_B, EN_CHANGE), {"EN_CHANGE B"}},
        {WM_COMMAND, MAKEWPARAM(IDC_EDIT_C, EN_CHANGE), {"EN_CHANGE C"}},
        {WM_COMMAND, MAKEWPARAM(IDC_EDIT_H, EN_CHANGE), {}},     // h has no entry
        {WM_COMMAND, MAKEWPARAM(IDC_EDIT_B, LBN_SELCHANGE), {}}, // B's ID, another code
        {WM_COMMAND, MAKEWPARAM(IDC_COMPONENT_LIST, LBN_SELCHANGE), {"LBN_SELCHANGE"}},
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), {"OnOK"}},         // CDialog's entry, the override
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), {"OnCancel"}}, // CDialog's entry
        {WM_SYSCOMMAND, SC_CLOSE, {}},
        {WM_PAINT, 0, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.message << " " << row.wParam);
        ProbeDialog dlg;
        EXPECT_EQ(dlg.FindMessageEntry(row.message, row.wParam) != nullptr, !row.reached.empty());
        EXPECT_EQ(dlg.OnWndMsg(row.message, row.wParam, 0, nullptr), !row.reached.empty());
        EXPECT_EQ(dlg.Take(), row.reached);
        EXPECT_EQ(dlg.m_nModalResult, row.reached == Log{"OnCancel"} ? IDCANCEL : -1);
    }
    CalculateDialog derived;
    for (const int id : {IDOK, IDCANCEL})
        derived.OnWndMsg(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0, nullptr);
    EXPECT_EQ(derived.Take(), (Log{"OnCalculate", "OnCancel"}));
}

TEST(DdxControl, BindsWrappersWhileTheDialogLivesAndReleasesThemAfter) {
    ProbeDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        const std::pair<CWnd*, int> bound[] = {
            {&dlg.editB, IDC_EDIT_B}, {&dlg.zCaption, IDC_Z_CAPTION}, {&dlg.calculate, IDOK}};
        for (const auto& [wrapper, symbol] : bound) {
            QWidget* widget = Find<QWidget>(d, symbol);
            EXPECT_EQ(wrapper->GetDlgCtrlID(), widget->property("controlId").toInt()) << symbol;
            wrapper->SetWindowTextA("bound");
            EXPECT_EQ(TextOf(widget), "bound") << symbol;
        }
        Exit(d);
    });
    for (const CWnd* wrapper : {static_cast<CWnd*>(&dlg), static_cast<CWnd*>(&dlg.editB)})
        EXPECT_EQ(wrapper->m_hWnd, nullptr);
    EXPECT_EQ(DialogWidgetsLeft(), 0);
}

TEST(DdxControl, AMissingIdThrowsAndLeavesNoDialog) {
    MissingControlDialog dlg;
    QTimer guard; // should the dialog open after all
    QObject::connect(&guard, &QTimer::timeout, [&] { dlg.EndDialog(-1); });
    guard.start(0);
    EXPECT_THROW(dlg.DoModal(), std::logic_error);
    EXPECT_EQ(dlg.editB.m_hWnd, nullptr);
    EXPECT_EQ(DialogWidgetsLeft(), 0);
}

TEST(DoModal, KeysAndTheCloseBoxReachTheCommandHandlers) {
    using Act = std::function<void(ProbeDialog&, QDialog*)>;
    const auto press = [](int symbol, Qt::Key key) -> Act {
        return [=](ProbeDialog&, QDialog* d) {
            Find<QWidget>(d, symbol)->setFocus();
            Key(Find<QWidget>(d, symbol), key);
        };
    };
    const Act enterInB = press(IDC_EDIT_B, Qt::Key_Return);
    const Act closeBox = [](ProbeDialog&, QDialog* d) { d->close(); };
    const Act scClose = [](ProbeDialog& p, QDialog*) { p.SendMessageA(WM_SYSCOMMAND, SC_CLOSE); };
    constexpr INT_PTR kOpen = 99; // ended by the script: the input left it open
    const struct {
        const char* name;
        bool hideDefault, okEnds;
        Act act;
        Log log;
        INT_PTR result;
    } rows[] = {
        {"Enter in an edit", false, false, enterInB, {"OnOK"}, kOpen},
        {"Enter in an edit, OnOK ending", false, true, enterInB, {"OnOK"}, IDOK},
        {"Enter, the default button hidden", true, false, enterInB, {"OnOK"}, kOpen},
        {"Enter on the Exit button", false, false, press(IDCANCEL, Qt::Key_Return), {"OnCancel"}, IDCANCEL},
        {"Escape", false, false, press(IDC_EDIT_B, Qt::Key_Escape), {"OnCancel"}, IDCANCEL},
        {"the close box", false, false, closeBox, {"OnCancel"}, IDCANCEL},
        {"WM_SYSCOMMAND SC_CLOSE", false, false, scClose, {"OnCancel"}, IDCANCEL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ProbeDialog dlg;
        dlg.okEnds = row.okEnds;
        if (row.hideDefault)
            dlg.init = [](ProbeDialog& p) { p.calculate.ShowWindow(SW_HIDE); };
        const INT_PTR result = RunModal(dlg, [&](QDialog* d) {
            row.act(dlg, d);
            if (d->isVisible())
                dlg.EndDialog(kOpen);
        });
        EXPECT_EQ(dlg.log, row.log);
        EXPECT_EQ(result, row.result);
    }
}

TEST(DoModal, FocusStartsOnTheFirstVisibleTabStopAndTabSkipsHiddenControls) {
    const QList<int> all = {
        IDOK,       IDCANCEL,           IDC_EDIT_B,         IDC_EDIT_H,    IDC_EDIT_C,    IDC_EDIT_L,
        IDC_EDIT_Z, IDC_COMPONENT_LIST, IDC_COMPONENT_TEXT, IDC_MODE_LIST, IDC_C_DISPLAY, IDC_POSITION_LIST};
    for (const bool hide : {false, true}) {
        SCOPED_TRACE(hide ? "Calculate and h hidden" : "all shown");
        QList<int> expected = all;
        ProbeDialog dlg;
        if (hide) {
            expected.removeAll(IDOK);
            expected.removeAll(IDC_EDIT_H);
            dlg.init = [](ProbeDialog& p) {
                p.calculate.ShowWindow(SW_HIDE);
                p.editH.ShowWindow(SW_HIDE);
            };
        }
        expected << expected.front(); // and round again
        RunModal(dlg, [&](QDialog* d) {
            QList<int> order;
            for (qsizetype i = 0; i < expected.size(); ++i) {
                order << IdOf(d->focusWidget());
                QTest::keyClick(d->windowHandle(), Qt::Key_Tab);
            }
            EXPECT_EQ(order, expected);
            Exit(d);
        });
    }
}

TEST(DoModal, EndDialogInOnInitDialogNeverShowsTheDialog) {
    ProbeDialog dlg;
    dlg.init = [](ProbeDialog& p) { p.EndDialog(7); };
    bool shown = false;
    QTimer guard; // fires only in a modal loop, that is, with the dialog shown
    QObject::connect(&guard, &QTimer::timeout, [&] {
        shown = true;
        dlg.EndDialog(-1);
    });
    guard.start(0);
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_FALSE(shown);
    EXPECT_EQ(DialogWidgetsLeft(), 0);
}

TEST(AfxMessageBox, ShowsThePlainTextWithOneOkButtonUnderTheApplicationName) {
    for (const char* text : {"0.75 <= C <= 2.25 ", "  blanks kept  ", "<b>not bold</b>"}) {
        SCOPED_TRACE(text);
        bool seen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible() || std::exchange(seen, true))
                return;
            EXPECT_EQ(box->windowTitle(), "afx_tests") << "named after the executable";
            EXPECT_EQ(box->text(), text);
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            ASSERT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
            Click(box->buttons().front());
        });
        poll.start(0);
        EXPECT_EQ(AfxMessageBox(text, 0, 0), IDOK);
        EXPECT_TRUE(seen);
    }
}

// The popup menu that `open` brings up: its name and entries are recorded and the entry `pick`
// clicked (without one, the menu is closed).
std::string PopupAfter(QDialog* d, const std::function<void()>& open, const QString& pick,
                       QStringList* entries = nullptr) {
    std::string name = "(none)";
    const auto inspect = [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || name != "(none)")
            return;
        name = menu->objectName().toStdString();
        for (QAction* action : menu->actions()) {
            if (entries)
                *entries << action->text();
            if (action->text() == pick)
                return QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        }
        menu->close();
    };
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, inspect);
    timer.start(0);
    open();
    inspect(); // a popup that does not block
    // A window manager gives activation back to the dialog when a popup has gone; the offscreen
    // platform leaves no window active, and shortcuts work only in the active window.
    if (d->isVisible())
        QApplication::setActiveWindow(d);
    return name;
}

TEST(SystemMenu, OffersCloseAndAppendedItemsOnRightClickAndAltSpace) {
    SysCommandDialog dlg;
    dlg.init = [](ProbeDialog& p) {
        CMenu* menu = p.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        CString text;
        for (const auto& [pos, id, expected] :
             {std::tuple{0, SC_MOVE, "&Move"}, {1, SC_CLOSE, "&Close\tAlt+F4"}}) {
            EXPECT_EQ(menu->GetMenuItemID(pos), id);
            menu->GetMenuStringA(id, text, MF_BYCOMMAND);
            EXPECT_EQ(text.Str(), expected);
        }
        EXPECT_TRUE(menu->AppendMenuA(MF_SEPARATOR));
        EXPECT_TRUE(menu->AppendMenuA(MF_STRING, IDM_EXTRA, "&About"));
        EXPECT_EQ(menu->GetMenuItemCount(), 4);
        EXPECT_EQ(menu->GetMenuItemID(2), 0u);
    };
    const INT_PTR result = RunModal(dlg, [&](QDialog* d) {
        const auto rightClick = [d](QPoint pos) {
            return [d, pos] { QTest::mouseClick(d->windowHandle(), Qt::RightButton, {}, pos); };
        };
        QStringList entries;
        ASSERT_EQ(d->childAt(4, 4), nullptr) << "background";
        EXPECT_EQ(PopupAfter(d, rightClick({4, 4}), "&About", &entries), "systemMenu");
        // Move is shown only where the window system moves windows on request, which the offscreen
        // platform does not.
        EXPECT_EQ(entries, QStringList({"&Close\tAlt+F4", "", "&About"}));
        EXPECT_EQ(dlg.Take(), Log{"WM_SYSCOMMAND 16"});

        const QPoint onEdit = Find<QWidget>(d, IDC_EDIT_B)->geometry().center();
        EXPECT_NE(PopupAfter(d, rightClick(onEdit), {}), "systemMenu");
        EXPECT_EQ(dlg.Take(), Log{});

        const auto altSpace = [d] { QTest::keyClick(d, Qt::Key_Space, Qt::AltModifier); };
        EXPECT_EQ(PopupAfter(d, altSpace, "&Close\tAlt+F4"), "systemMenu") << "Alt+Space";
        if (d->isVisible())
            Exit(d);
    });
    EXPECT_EQ(dlg.log, (Log{"WM_SYSCOMMAND 61536", "OnCancel"}));
    EXPECT_EQ(result, IDCANCEL);
}

} // namespace
