// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Renders the main dialog to a PNG, by default with a result computed from simulated input
// (B = 6, h = 0.062, L = 1, C from the component list), in the light colours of a default desktop or
// (--dark) in a dark colour scheme. Off screen unless QT_QPA_PLATFORM says otherwise.
// Usage: tarnvel_screenshot OUT.png [--blank] [--dark]
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPalette>
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

// A dark colour scheme as desktops ship one (Breeze Dark's colours): light text on a dark grey face.
QPalette DarkPalette() {
    QPalette p;
    const QColor face(49, 54, 59), text(239, 240, 241), base(35, 38, 41);
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button})
        p.setColor(role, face);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, face);
    p.setColor(QPalette::Light, QColor(70, 76, 82));
    p.setColor(QPalette::Midlight, QColor(60, 65, 70));
    p.setColor(QPalette::Mid, QColor(40, 44, 48));
    p.setColor(QPalette::Dark, QColor(30, 33, 36));
    p.setColor(QPalette::Shadow, QColor(18, 20, 21));
    p.setColor(QPalette::Highlight, QColor(61, 174, 233));
    p.setColor(QPalette::HighlightedText, text);
    return p;
}

} // namespace

int main(int argc, char** argv) {
    bool blank = false, dark = false, understood = argc >= 2;
    for (int i = 2; i < argc; ++i) {
        const std::string_view option = argv[i];
        blank = blank || option == "--blank";
        dark = dark || option == "--dark";
        understood = understood && (option == "--blank" || option == "--dark");
    }
    if (!understood) {
        std::fprintf(stderr, "usage: %s OUT.png [--blank] [--dark]\n", argv[0]);
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1; // the toolkit sees no arguments
    QApplication app(qtArgc, argv);
    if (dark)
        QApplication::setPalette(DarkPalette());

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
        if (!blank) {
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
