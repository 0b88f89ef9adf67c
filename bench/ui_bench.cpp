// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Calculate end to end through the real widgets: the main dialog runs modally (off screen unless
// QT_QPA_PLATFORM says otherwise), B, h and L are typed, component mode and "Standard DIP" are
// clicked, and then every iteration clicks Calculate and reads Z back. Target: < 0.5 ms a Calculate.
//
// The benchmarks have to run inside the dialog's modal loop, so they are registered and run from a
// timer that fires there; Escape ends the dialog afterwards.
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kExpectedZ = QStringLiteral("     0.0213 ");

bool g_failed = false;

void Fail(const char* what) {
    std::fprintf(stderr, "ui_bench: %s\n", what);
    g_failed = true;
}

// The control with that ID, or nullptr.
template <typename T> T* Find(QWidget* dialog, int id) {
    for (T* w : dialog->findChildren<T*>())
        if (w->property("controlId").toInt() == id)
            return w;
    return nullptr;
}

void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

// One Calculate: a click on the button, then Z read back. With `repaint`, the events that the
// click posted (the repaint of the changed controls) are handled too.
void Calculate(benchmark::State& state, QPushButton* calculate, QLineEdit* z, bool repaint) {
    for (auto _ : state) {
        QTest::mouseClick(calculate, Qt::LeftButton);
        if (repaint)
            QApplication::processEvents();
        if (g_failed || z->text() != kExpectedZ) {
            Fail("Calculate did not show Z = \"     0.0213 \" without a message box");
            state.SkipWithError("wrong Z, or a message box");
            break;
        }
    }
}

// Runs inside the dialog's modal loop.
void Drive() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
        Fail("the main dialog did not open modally");
        return;
    }
    QApplication::setActiveWindow(dialog);
    auto* editB = Find<QLineEdit>(dialog, IDC_EDIT_B);
    auto* editH = Find<QLineEdit>(dialog, IDC_EDIT_H);
    auto* editL = Find<QLineEdit>(dialog, IDC_EDIT_L);
    auto* editZ = Find<QLineEdit>(dialog, IDC_EDIT_Z);
    auto* modes = Find<QListWidget>(dialog, IDC_MODE_LIST);
    auto* components = Find<QListWidget>(dialog, IDC_COMPONENT_LIST);
    auto* calculate = Find<QPushButton>(dialog, IDOK);
    if (!editB || !editH || !editL || !editZ || !modes || !components || !calculate) {
        Fail("a control of the main dialog is missing");
    } else {
        QTest::keyClicks(editB, QStringLiteral("6"));
        QTest::keyClicks(editH, QStringLiteral("0.062"));
        QTest::keyClicks(editL, QStringLiteral("1"));
        ClickRow(modes, 1);
        ClickRow(components, 3);

        benchmark::RegisterBenchmark("Calculate",
                                     [=](benchmark::State& s) { Calculate(s, calculate, editZ, false); });
        benchmark::RegisterBenchmark("CalculateAndRepaint",
                                     [=](benchmark::State& s) { Calculate(s, calculate, editZ, true); });
        benchmark::RunSpecifiedBenchmarks();
    }
    QTest::keyClick(dialog, Qt::Key_Escape);
    if (dialog->isVisible()) {
        Fail("Escape did not end the dialog");
        dialog->done(IDCANCEL);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static char name[] = "ui_bench";
    static char* qtArgv[] = {name, nullptr};
    static int qtArgc = 1;
    QApplication app(qtArgc, qtArgv);

    // No message box belongs to this flow (component mode never warns): one that appears is a
    // failure, and is closed so that the run ends.
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "ui_bench: unexpected message box: \"%s\"\n", qPrintable(box->text()));
            g_failed = true;
            box->done(0);
        }
    });
    boxWatch.start(1);

    CDisplacementDialog dialog;
    QTimer::singleShot(0, &Drive);
    dialog.DoModal();
    benchmark::Shutdown();
    return g_failed ? 1 : 0;
}
