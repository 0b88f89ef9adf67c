// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// A window that keeps its size, also on Wayland.
#pragma once

#include <QGuiApplication>
#include <QSize>
#include <QTimer>
#include <QWidget>

namespace afx {

// A window of one size. A Wayland compositor may still maximise a window or make it full screen
// (its key bindings, the maximise button Qt's own title bar draws), and its protocol then ends a
// client whose window keeps its own size: there the window takes the compositor's size for that
// moment, and goes back to its own size and normal state at once.
class OwnSize {
public:
    void Keep(QWidget* window, const QSize& size) {
        m_size = size;
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
            window->setFixedSize(size);
            return;
        }
        window->setMinimumSize(size);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->resize(size);
        m_keptHere = true;
    }
    bool KeptHere() const { return m_keptHere; }
    // What the window does after its own handling of `event`.
    void Handle(QWidget* window, const QEvent* event) {
        if (event->type() == QEvent::WindowStateChange && (window->windowState() & kOtherSizes))
            QTimer::singleShot(0, window,
                               [window] { window->setWindowState(window->windowState() & ~kOtherSizes); });
        if (event->type() == QEvent::Resize && m_keptHere && !(window->windowState() & kOtherSizes) &&
            window->size() != m_size)
            QTimer::singleShot(0, window, [window, this] { window->resize(m_size); });
    }

private:
    static constexpr Qt::WindowStates kOtherSizes = Qt::WindowMaximized | Qt::WindowFullScreen;
    QSize m_size;
    bool m_keptHere = false; // by this object rather than by the window system
};

} // namespace afx
