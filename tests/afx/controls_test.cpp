// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Controls: window text, showing and hiding, EN_CHANGE, list boxes, and the names of the widgets.
#include "tests/afx/afx_test.h"
#include "tests/support/uitest.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace uitest;

namespace {

TEST(WindowText, RoundTripsExactlyOnEveryKindOfWindow) {
    const std::string texts[] = {"", " ", "  blanks around  ", "Über 20 µm √L",
                                 "<" + std::string(100000, 'x') + ">"};
    Built dlg(IDD_PROBE);
    for (const HWND hwnd :
         {dlg.window->FindChild(IDC_EDIT_B), dlg.window->FindChild(IDC_Z_CAPTION),
          dlg.window->FindChild(IDOK), dlg.window->FindChild(IDC_RESULTS_GROUP), dlg.window.get()}) {
        CWnd wnd;
        wnd.Attach(hwnd);
        for (const std::string& text : texts) {
            SCOPED_TRACE(hwnd->widget->metaObject()->className() + (" \"" + text.substr(0, 20) + "\""));
            wnd.SetWindowTextA(text.c_str());
            CString back("unchanged");
            wnd.GetWindowTextA(back);
            EXPECT_EQ(back.Str(), text);
            EXPECT_EQ(TextOf(hwnd->widget), text); // what the widget shows
        }
    }
}

TEST(ShowWindow, ReturnsThePreviousVisibilityAndKeepsTextAndSelection) {
    ProbeDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        dlg.editB.SetWindowTextA("6");
        dlg.components.InsertString(-1, "a");
        dlg.components.InsertString(-1, "b");
        dlg.components.SetCurSel(1);
        EXPECT_TRUE(dlg.editB.ShowWindow(SW_HIDE));
        EXPECT_FALSE(dlg.editB.ShowWindow(SW_HIDE));
        EXPECT_TRUE(dlg.components.ShowWindow(SW_HIDE));
        EXPECT_FALSE(Find<QWidget>(d, IDC_EDIT_B)->isVisible());
        CString text;
        dlg.editB.GetWindowTextA(text);
        EXPECT_EQ(text.Str(), "6");
        EXPECT_EQ(dlg.components.GetCurSel(), 1);
        EXPECT_FALSE(dlg.editB.ShowWindow(SW_SHOW));
        EXPECT_TRUE(dlg.editB.ShowWindow(SW_SHOW));
        EXPECT_FALSE(dlg.components.ShowWindow(SW_SHOW));
        EXPECT_EQ(TextOf(Find<QWidget>(d, IDC_EDIT_B)), "6");
        EXPECT_TRUE(Find<QListWidget>(d, IDC_COMPONENT_LIST)->item(1)->isSelected());
        Exit(d);
    });
}

TEST(ShowWindow, AHiddenEditTakesNoInput) {
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "h hidden" : "h shown");
        ProbeDialog dlg;
        RunModal(dlg, [&](QDialog* d) {
            auto* editB = Find<QLineEdit>(d, IDC_EDIT_B);
            auto* editH = Find<QLineEdit>(d, IDC_EDIT_H);
            dlg.editH.ShowWindow(hidden ? SW_HIDE : SW_SHOW);
            editB->setFocus();
            QTest::keyClick(d->windowHandle(), Qt::Key_Tab);
            EXPECT_EQ(d->focusWidget() == editH, !hidden) << "Tab from B";
            editB->setFocus();
            // A click where h is, delivered through the window as the window system does.
            QTest::mouseClick(d->windowHandle(), Qt::LeftButton, {}, editH->geometry().center());
            EXPECT_EQ(d->focusWidget() == editH, !hidden) << "click on h";
            QTest::keyClick(d->windowHandle(), '9');
            EXPECT_EQ(TextOf(editH), hidden ? "" : "9");
            Exit(d);
        });
    }
}

TEST(EnChange, ReachesOnlyThatControlsHandlerInsideSetWindowTextAndPerTypedCharacter) {
    ProbeDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        dlg.editB.SetWindowTextA("1.5");
        EXPECT_EQ(dlg.Take(), Log{"EN_CHANGE B"}); // before the call returns
        dlg.editB.SetWindowTextA("1.5");
        EXPECT_EQ(dlg.Take(), Log{"EN_CHANGE B"}) << "the same text again";
        dlg.editH.SetWindowTextA("0.062");
        dlg.editC.SetWindowTextA("");
        EXPECT_EQ(dlg.Take(), Log{"EN_CHANGE C"});
        Type(Find<QWidget>(d, IDC_EDIT_B), "12.5");
        EXPECT_EQ(dlg.Take(), Log(4, "EN_CHANGE B"));
        Type(Find<QWidget>(d, IDC_EDIT_H), "7");
        Type(Find<QWidget>(d, IDC_EDIT_C), "3");
        EXPECT_EQ(dlg.Take(), Log{"EN_CHANGE C"});
        Exit(d);
    });
}

TEST(ListBox, ProgramChangesPlaceRowsAsToldAndNotifyNothing) {
    ProbeDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        auto* list = Find<QListWidget>(d, IDC_COMPONENT_LIST); // LBS_SORT
        CListBox& lb = dlg.components;
        EXPECT_EQ(lb.SendMessageA(LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("b")), 0);
        EXPECT_EQ(lb.SendMessageA(LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("a")), 1);
        EXPECT_EQ(lb.InsertString(-1, "c"), 2);
        EXPECT_EQ(lb.InsertString(0, "0"), 0);
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        EXPECT_EQ(rows, QStringList({"0", "b", "a", "c"}));
        EXPECT_EQ(lb.SendMessageA(LB_GETCOUNT), 4);
        EXPECT_EQ(lb.GetCurSel(), LB_ERR);
        EXPECT_EQ(lb.SendMessageA(LB_SETCURSEL, 2), 2);
        EXPECT_EQ(lb.SendMessageA(LB_GETCURSEL), 2);
        EXPECT_TRUE(list->item(2)->isSelected());
        EXPECT_EQ(lb.SetCurSel(-1), LB_ERR) << "clearing the selection returns LB_ERR, as on Windows";
        EXPECT_EQ(lb.GetCurSel(), LB_ERR);
        EXPECT_TRUE(list->selectedItems().isEmpty());
        EXPECT_EQ(dlg.Take(), Log{});
        Exit(d);
    });
}

TEST(ListBox, UserChangesNotifyAndCtrlClickKeepsTheSelection) {
    ProbeDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        auto* list = Find<QListWidget>(d, IDC_COMPONENT_LIST);
        for (const char* row : {"a", "b", "c"})
            dlg.components.InsertString(-1, row);
        ClickRow(list, 0);
        EXPECT_EQ(dlg.Take(), Log{"LBN_SELCHANGE"});
        EXPECT_EQ(dlg.components.GetCurSel(), 0);
        Key(list, Qt::Key_Down);
        EXPECT_EQ(dlg.Take(), Log{"LBN_SELCHANGE"});
        EXPECT_EQ(dlg.components.GetCurSel(), 1);
        const QPoint row1 = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, row1);
        EXPECT_EQ(dlg.components.GetCurSel(), 1);
        Exit(d);
    });
}

TEST(WidgetIds, EveryItemIsAWidgetCarryingItsIdInTemplateOrder) {
    for (const int templateId : {IDD_PROBE, IDD_SMALL}) {
        SCOPED_TRACE(templateId);
        Built dlg(templateId);
        std::vector<int> ids;
        for (const QObject* o : dlg.window->widget->children())
            if (const auto* w = qobject_cast<const QWidget*>(o); w && w->property("controlId").isValid())
                ids.push_back(IdOf(w));
        std::vector<int> expected;
        for (const afx::DialogItemTemplate& item : TestTemplate(templateId).items)
            expected.push_back(item.id);
        // Group boxes lie beneath the other controls, so compare as sets of IDs in order of creation.
        std::sort(ids.begin(), ids.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(ids, expected);
    }
}

} // namespace
