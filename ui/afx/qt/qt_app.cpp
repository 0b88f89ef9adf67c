// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Running the application on Qt: the display probe, the QApplication and the message loop.
#include "ui/afx/afxapp.h"
#include "ui/afx/qt/qt_impl.h"

#include <QApplication>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Qt's X11 platform ends the process when it cannot reach a display, so that is found out first.
// The probe's connection stays open until the toolkit has its own: closing the only client of an
// X server resets it, and a connection made during the reset is refused.
class DisplayProbe {
public:
    DisplayProbe() {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (!platform.isEmpty() && !platform.startsWith("xcb"))
            return; // another platform (offscreen, wayland, …) reports its own problems
        m_connection = xcb_connect(nullptr, nullptr);
        m_reachable = m_connection != nullptr && xcb_connection_has_error(m_connection) == 0;
    }
    ~DisplayProbe() {
        if (m_connection != nullptr)
            xcb_disconnect(m_connection);
    }
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool Reachable() const { return m_reachable; }

private:
    xcb_connection_t* m_connection = nullptr;
    bool m_reachable = true;
};

} // namespace

int AfxRunApplication(CWinApp* app, LPCSTR appName, LPCSTR version) {
    auto probe = std::make_unique<DisplayProbe>();
    if (!probe->Reachable()) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "%s: cannot open display %s\n", appName,
                     display && *display ? display : "(DISPLAY is not set)");
        return 1;
    }
    // The toolkit sees the program name only: the command line belongs to no one here. The name
    // also makes the window class and the desktop file's name.
    static std::string programName;
    programName = appName;
    static char* argv[] = {programName.data(), nullptr};
    static int argc = 1;
    QApplication qtApp(argc, argv);
    probe.reset();
    QApplication::setApplicationName(afx::ToQt(appName));
    if (version != nullptr && *version != '\0')
        QApplication::setApplicationVersion(afx::ToQt(version));
    QApplication::setDesktopFileName(afx::ToQt(appName));

    if (!app->InitInstance())
        return app->ExitInstance();
    QApplication::exec();
    return app->ExitInstance();
}
