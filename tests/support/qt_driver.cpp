// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The dialog driver on Qt widgets: simulated keys and clicks (QTest), widgets found by their control IDs.
#include "tests/support/dialog_driver.h"
#include "tests/support/uitest.h"
#include "ui/afx/afxdlg.h"
#include "ui/afx/afxplatform.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace uitest {

namespace {

class QtDriver : public DialogDriver {
public:
    QtDriver(QDialog* dialog, HWND hwnd, std::vector<std::string>& dialogs)
        : m_dialog(dialog), m_hwnd(hwnd), m_dialogs(dialogs) {}

    void Type(int id, std::string_view text) override { uitest::Type(Item(id), Latin1(text)); }
    void ClearAndType(int id, std::string_view text) override {
        uitest::ClearAndType(Item(id), Latin1(text));
    }
    void Click(int id) override { uitest::Click(Item(id)); }
    void ClickRow(int id, int row) override { uitest::ClickRow(List(id), row); }
    void Key(int id, DriverKey key) override {
        const int qtKey = key == DriverKey::Escape        ? Qt::Key_Escape
                          : key == DriverKey::KeypadEnter ? Qt::Key_Enter
                                                          : Qt::Key_Return;
        uitest::Key(Item(id), qtKey);
    }
    void SystemCommand(unsigned command) override { ::SendMessageA(m_hwnd, WM_SYSCOMMAND, command, 0); }
    void CloseBox() override { m_dialog->close(); }

    std::string Text(int id) override { return TextOf(Item(id)); }
    bool Shown(int id) override { return uitest::Shown(Item(id)); }
    int CurSel(int id) override {
        const QList<QListWidgetItem*> selected = List(id)->selectedItems();
        return selected.isEmpty() ? -1 : List(id)->row(selected.front());
    }
    int Count(int id) override { return List(id)->count(); }
    std::string RowText(int id, int row) override {
        const QListWidgetItem* item = List(id)->item(row);
        return item ? item->text().toStdString() : std::string();
    }
    bool DialogShown() override { return m_dialog->isVisible(); }

    std::vector<std::string> TakeBoxes() override { return m_boxes.Take(); }
    std::vector<std::string> TakeDialogs() override { return std::exchange(m_dialogs, {}); }

private:
    static QString Latin1(std::string_view text) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    QWidget* Item(int id) const { return Find<QWidget>(m_dialog, id); }
    QListWidget* List(int id) const {
        auto* list = qobject_cast<QListWidget*>(Item(id));
        if (list == nullptr)
            throw std::runtime_error("control " + std::to_string(id) + " is not a list box");
        return list;
    }

    QDialog* m_dialog;
    HWND m_hwnd;
    std::vector<std::string>& m_dialogs;
    BoxRecorder m_boxes;
};

} // namespace

std::intptr_t RunWithDriver(CDialog& dialog, const std::function<void(DialogDriver&)>& script) {
    // Another modal dialog over the driven one (not a message box: RunModal answers those) is recorded
    // and closed with its OK button.
    std::vector<std::string> dialogs;
    QDialog* driven = nullptr;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* top = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (driven == nullptr || top == nullptr || top == driven || qobject_cast<QMessageBox*>(top) ||
            !top->isVisible())
            return;
        const bool modal = top->windowModality() != Qt::NonModal;
        dialogs.push_back(top->windowTitle().toStdString() + (modal ? "" : " (not modal)"));
        uitest::Click(Find<QWidget>(top, IDOK));
    });
    watch.start();
    return RunModal(dialog, [&](QDialog* d) {
        driven = d;
        QtDriver driver(d, dialog.GetSafeHwnd(), dialogs);
        script(driver);
        EXPECT_TRUE(driver.TakeBoxes().empty()) << "message boxes nobody looked at";
    });
}

} // namespace uitest
