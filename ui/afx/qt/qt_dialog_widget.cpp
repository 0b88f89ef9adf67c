// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The window of a dialog on Qt: what its keys, close box, paint and context menu events send.
#include "ui/afx/qt/qt_dialog_widget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

namespace afx {

DialogWidget::DialogWidget(AfxWindow* window, QWidget* parent) : QDialog(parent), m_window(window) {
    // The system menu opens by keyboard at the window's top left corner: with Alt+Space where
    // the desktop leaves that key to the program, and everywhere with the context-menu key and
    // Shift+F10, the desktop's keys for a window's context menu. Alt+F4 closes.
    for (const QKeySequence& key : {QKeySequence(Qt::ALT | Qt::Key_Space), QKeySequence(Qt::Key_Menu),
                                    QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* menuKey = new QShortcut(key, this);
        connect(menuKey, &QShortcut::activated, this,
                [this] { TrackSystemMenu(m_window, mapToGlobal(QPoint(0, 0))); });
    }
    auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    connect(closeKey, &QShortcut::activated, this,
            [this] { SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused push button takes Enter; anywhere else Enter is the default command,
        // IDOK, whether or not the default button is visible.
        int command = IDOK;
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget()))
            if (const AfxWindow* w = WindowOf(button); w != nullptr && w->parent == m_window)
                command = w->id;
        SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), BN_CLICKED), 0);
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
    }
    QWidget::keyPressEvent(event);
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    // The close box is the system command Close; whether and how the dialog ends is up to
    // the program (by default: IDCANCEL).
    event->ignore();
    if (!m_window->dialog->ended)
        SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::paintEvent(QPaintEvent* event) {
    QPaintEvent* outer = m_window->dialog->paintEvent;
    m_window->dialog->paintEvent = event;
    SendMessageA(m_window, WM_PAINT, 0, 0);
    m_window->dialog->paintEvent = outer;
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* event) {
    // A right click on the dialog's background (labels and group boxes let clicks through,
    // as they do on Windows) opens the system menu.
    if (event->reason() == QContextMenuEvent::Mouse && childAt(event->pos()) == nullptr)
        TrackSystemMenu(m_window, event->globalPos());
}

void DialogWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange)
        update();
    QDialog::changeEvent(event);
    m_size.Handle(this, event);
}

void DialogWidget::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_size.Handle(this, event);
}

} // namespace afx
