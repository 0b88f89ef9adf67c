// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Running the application on Qt: the display probe, the QApplication and the message loop.
#include "ui/afx/qt/qt_impl.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

int AfxRunApplication(const char* appName, const char* version, AFXRUNPROC run, void* context) {
    auto probe = std::make_unique<afx::DisplayProbe>();
    if (!probe->Reachable()) {
        std::fprintf(stderr, "%s: %s\n", appName, probe->Problem().c_str());
        return 1;
    }
    // The toolkit sees the program name only, and the platform the probe found: the command line
    // belongs to no one here. The name also makes the window class and the desktop file's name.
    static std::string programName;
    static std::string platform;
    static char platformOption[] = "-platform";
    static std::vector<char*> argv;
    static int argc;
    programName = appName;
    platform = probe->Platform();
    argv = {programName.data()};
    if (!platform.empty())
        argv.insert(argv.end(), {platformOption, platform.data()});
    argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);
    QApplication qtApp(argc, argv.data());
    probe.reset();
    QApplication::setApplicationName(afx::ToQt(appName));
    if (version != nullptr && *version != '\0')
        QApplication::setApplicationVersion(afx::ToQt(version));
    QApplication::setDesktopFileName(afx::ToQt(appName));

    const int code = run(context);
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Qt 6.4's Wayland client can hang while it closes its connection: the display's
        // destructor waits for its event thread, which waits for a read that never comes. The
        // program's work is done and its windows are gone, so the process ends here and the
        // compositor drops the connection.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}

void AfxRunMessageLoop() {
    QApplication::exec();
}
