// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Renders the main dialog to a PNG, by default with a result computed from simulated input
// (B = 6, h = 0.062, L = 1, C from the component list). Off screen unless QT_QPA_PLATFORM says
// otherwise.   Usage: tarnvel_screenshot OUT.png [--blank]
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// The control with that ID.
template <typename T> T* Control(QWidget* dialog, int id) {
    for (T* w : dialog->findChildren<T*>())
        if (w->property("controlId").toInt() == id)
            return w;
    std::fprintf(stderr, "tarnvel_screenshot: the dialog has no control %d\n", id);
    std::exit(1);
}

void ClickRow(QWidget* dialog, int id, int row) {
    auto* list = Control<QListWidget>(dialog, id);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string_view(argv[2]) != "--blank")) {
        std::fprintf(stderr, "usage: %s OUT.png [--blank]\n", argv[0]);
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1; // the toolkit sees no arguments
    QApplication app(qtArgc, argv);

    // A message box means the input went wrong: report it, answer it and fail.
    bool ok = true;
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, [&ok] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "tarnvel_screenshot: message box \"%s\"\n", qPrintable(box->text()));
            ok = false;
            box->done(QMessageBox::Ok);
        }
    });
    boxWatch.start(50);

    CDisplacementDialog dlg;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (argc == 2) {
            QTest::keyClicks(Control<QLineEdit>(dialog, IDC_EDIT_B), QStringLiteral("6"));
            QTest::keyClicks(Control<QLineEdit>(dialog, IDC_EDIT_H), QStringLiteral("0.062"));
            QTest::keyClicks(Control<QLineEdit>(dialog, IDC_EDIT_L), QStringLiteral("1"));
            ClickRow(dialog, IDC_MODE_LIST, 1);
            ClickRow(dialog, IDC_COMPONENT_LIST, 3);
            QTest::mouseClick(Control<QPushButton>(dialog, IDOK), Qt::LeftButton);
        }
        if (!dialog->grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
            std::fprintf(stderr, "tarnvel_screenshot: cannot write %s\n", argv[1]);
            ok = false;
        }
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    dlg.DoModal();
    return ok ? 0 : 1;
}
