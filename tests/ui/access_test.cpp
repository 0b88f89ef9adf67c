// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The dialog without a mouse, and as assistive technology sees it.
#include "tests/support/uitest.h"
#include "ui/displacement_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace uitest;

namespace {

void Keys(const std::vector<std::pair<int, QString>>& steps) {
    for (const auto& [key, text] : steps) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (key != 0)
            Key(focus, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        else
            Type(focus, text);
    }
}

TEST(Keyboard, TheWholeRequestWithoutAMouse) {
    g_constantMode = 0;
    CDisplacementDialog dlg;
    const INT_PTR result = RunModal(dlg, [](QDialog* d) {
        BoxRecorder boxes;
        // From Calculate: Exit, B, h, L, the description, the mode list.
        Keys({{Qt::Key_Tab, {}},
              {Qt::Key_Tab, {}},
              {0, "6"},
              {Qt::Key_Tab, {}},
              {0, "0.062"},
              {Qt::Key_Tab, {}},
              {0, "1"},
              {Qt::Key_Tab, {}},
              {Qt::Key_Tab, {}}});
        EXPECT_EQ(IdOf(QApplication::focusWidget()), IDC_MODE_LIST);
        // Arrows pick "Enter constant manually", then "Select component from list".
        Keys({{Qt::Key_Down, {}}, {Qt::Key_Down, {}}});
        ASSERT_TRUE(Find<QListWidget>(d, IDC_COMPONENT_LIST)->isVisible());
        // Back to the component list, and "S" picks the first kind that starts with it.
        Keys({{Qt::Key_Backtab, {}}});
        EXPECT_EQ(IdOf(QApplication::focusWidget()), IDC_COMPONENT_LIST);
        Keys({{0, "S"}});
        EXPECT_EQ(Find<QLineEdit>(d, IDC_COMPONENT_TEXT)->text().toStdString(), "Standard DIP ");
        Keys({{Qt::Key_Return, {}}});
        EXPECT_TRUE(boxes.Take().empty());
        EXPECT_EQ(Find<QLineEdit>(d, IDC_EDIT_Z)->text().toStdString(), "     0.0213 ");
        Keys({{Qt::Key_Escape, {}}});
    });
    EXPECT_EQ(result, IDCANCEL);
}

struct NameRow {
    int id;
    const char* name;
    QAccessible::Role role;
};

TEST(Accessibility, EveryInputResultAndButtonHasANameAndARole) {
    const NameRow rows[] = {
        {IDC_EDIT_B, "B", QAccessible::EditableText},
        {IDC_EDIT_H, "h", QAccessible::EditableText},
        {IDC_EDIT_L, "L", QAccessible::EditableText},
        {IDC_EDIT_C, "C", QAccessible::EditableText},
        {IDC_EDIT_Z, "Z", QAccessible::EditableText},
        {IDC_MODE_LIST, "Component Constant", QAccessible::List},
        {IDC_COMPONENT_LIST, "Select Component", QAccessible::List},
        {IDC_POSITION_LIST, "Relative Position Factor r", QAccessible::List},
        {IDOK, "Calculate", QAccessible::Button},
        {IDCANCEL, "Exit", QAccessible::Button},
    };
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        for (const NameRow& row : rows) {
            SCOPED_TRACE(row.id);
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(Find<QWidget>(d, row.id));
            ASSERT_NE(iface, nullptr);
            EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), row.name);
            EXPECT_EQ(iface->role(), row.role);
        }
        Key(d, Qt::Key_Escape);
    });
}

TEST(Accessibility, AMessageBoxReadsItsText) {
    QString read;
    QObject frame;
    QTimer::singleShot(0, &frame, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::AlertMessage);
        read = iface->text(QAccessible::Value) + iface->text(QAccessible::Description);
        box->accept();
    });
    AfxMessageBox("Input Error.  All input values must be > 0", 0, 0);
    EXPECT_TRUE(read.contains("Input Error.  All input values must be > 0")) << read.toStdString();
}

} // namespace
