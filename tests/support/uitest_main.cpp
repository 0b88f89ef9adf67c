// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// main() of the tests on real widgets.
#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// After each test no window may be left on screen.
class NoWindowsLeft : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible()) {
                ADD_FAILURE() << "a window was left open: " << w->metaObject()->className() << " \""
                              << w->windowTitle().toStdString() << "\"";
                w->close();
            }
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Off screen, unless the caller chose a platform (for example a real X server).
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static char name[] = "tarnvel-tests";
    static char* qtArgv[] = {name, nullptr};
    static int qtArgc = 1;
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("tarnvel"));
    ::testing::UnitTest::GetInstance()->listeners().Append(new NoWindowsLeft);
    return RUN_ALL_TESTS();
}
