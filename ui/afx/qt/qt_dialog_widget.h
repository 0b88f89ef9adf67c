// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The window of a dialog on Qt: the keyboard (Enter, Escape, the system menu's keys, Alt+F4), the close
// box, painting through WM_PAINT, the context menu and the one size.
#pragma once

#include "ui/afx/qt/qt_impl.h"
#include "ui/afx/qt/qt_own_size.h"

#include <QDialog>

namespace afx {

class DialogWidget : public QDialog {
public:
    DialogWidget(AfxWindow* window, QWidget* parent);

    void DefaultPaint(QPaintEvent* event) { QDialog::paintEvent(event); }

    // The dialog has one size.
    void KeepSize(const QSize& size) { m_size.Keep(this, size); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    AfxWindow* m_window;
    OwnSize m_size;
};

} // namespace afx
