// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tests/support/uitest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace uitest {

namespace {

BoxRecorder* g_recorder = nullptr;

void CloseModalBoxes() {
    // Message boxes: recorded and answered, or failed and closed.
    while (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        if (!box->isVisible())
            break;
        const QString text = box->text();
        if (!RecordBox(text))
            ADD_FAILURE() << "unexpected message box: \"" << text.toStdString() << "\"";
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->done(0);
    }
}

} // namespace

bool RecordBox(const QString& text) {
    if (g_recorder == nullptr)
        return false;
    g_recorder->m_texts.push_back(text.toStdString());
    return true;
}

BoxRecorder::BoxRecorder() : m_outer(g_recorder) {
    g_recorder = this;
}

BoxRecorder::~BoxRecorder() {
    g_recorder = m_outer;
}

std::vector<std::string> BoxRecorder::Take() {
    std::vector<std::string> texts;
    texts.swap(m_texts);
    return texts;
}

int IdOf(const QWidget* widget) {
    return widget ? widget->property("controlId").toInt() : 0;
}

INT_PTR RunModal(CDialog& dialog, const std::function<void(QDialog*)>& script, int deadlineMs) {
    QTimer watchdog;
    watchdog.setInterval(1);
    QObject::connect(&watchdog, &QTimer::timeout, [] { CloseModalBoxes(); });
    watchdog.start();

    bool started = false;
    // The script's call lives no longer than this frame: should DoModal throw, it never fires on
    // the references it holds.
    QObject frame;
    QTimer::singleShot(0, &frame, [&] {
        started = true;
        auto* widget = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (widget == nullptr) {
            ADD_FAILURE() << "the dialog did not open modally";
            return;
        }
        QApplication::setActiveWindow(widget);
        // An exception must not cross Qt's event loop: it fails the test and ends the dialog.
        try {
            script(widget);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "the script threw: " << e.what();
            if (QApplication::activeModalWidget() == widget)
                dialog.EndDialog(-2);
            return;
        }
        if (widget->isVisible() && QApplication::activeModalWidget() == widget) {
            ADD_FAILURE() << "the script left the dialog open";
            dialog.EndDialog(-2);
        }
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the dialog was still open after " << deadlineMs << " ms";
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                d->done(-3);
    });
    deadline.start(deadlineMs);
    const INT_PTR result = dialog.DoModal();
    EXPECT_TRUE(started) << "the script never ran";
    return result;
}

void Type(QWidget* widget, const QString& text) {
    QTest::keyClicks(widget, text);
}

void ClearAndType(QWidget* widget, const QString& text) {
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Backspace);
    QTest::keyClicks(widget, text);
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void ClickRow(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
}

std::string TextOf(QWidget* widget) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title().toStdString();
    return widget->windowTitle().toStdString();
}

bool Shown(QWidget* widget) {
    return widget->isVisible();
}

} // namespace uitest
