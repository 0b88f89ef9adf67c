// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The floor for the start-up benchmark: a plain Qt 6 program with a QDialog that holds the same
// controls as tarnvel's main dialog (2 push buttons, 16 labels one of which shows a small picture,
// 7 line edits, 8 group boxes, 3 list widgets, about 974 × 572 pixels), with the same texts, list
// rows, font and hidden controls, shown with exec(). No framework layer, no resources.
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

enum Kind { Push, Label, Picture, Edit, ReadOnly, Group, List };

struct Control {
    Kind kind;
    const char* text;
    short x, y, cx, cy; // dialog units of the Arial 10 point font: 2 pixels across, 15/8 down
    bool hidden;        // hidden when the dialog opens
};

// clang-format off
constexpr Control kControls[] = {
    {Push, "Calculate", 301, 218, 97, 25, false},
    {Push, "Exit", 301, 272, 97, 24, false},
    {Label, "Length of Circuit Board Edge Parallel to Component", 21, 93, 97, 20, false},
    {Label, "B = ", 127, 96, 13, 8, false},
    {Edit, "", 146, 95, 71, 15, false},
    {Label, "inch", 224, 99, 27, 13, false},
    {Label, "C = ", 137, 188, 15, 11, true},
    {Label, "Circuit Board Thickness", 20, 120, 84, 15, false},
    {Label, "h = ", 126, 124, 15, 13, false},
    {Edit, "", 145, 122, 71, 15, false},
    {Edit, " ", 157, 186, 71, 15, true},
    {Edit, "", 146, 146, 71, 15, false},
    {Label, "inch", 225, 125, 27, 13, false},
    {Label, "inch", 223, 149, 27, 13, false},
    {Label, "Length of the Electronic Component", 22, 144, 89, 17, false},
    {Label, "L = ", 125, 147, 13, 15, false},
    {ReadOnly, " ", 292, 122, 71, 15, true},
    {Label, "Z  for 20 million cycles", 298, 99, 85, 12, true},
    {Label, "inch  (3-sigma)", 372, 122, 49, 13, true},
    {Group, "Input", 13, 73, 256, 223, false},
    {Group, "Results:  Relative Displacement Limit", 275, 76, 205, 106, true},
    {Label, "Steinberg, Vibration Analysis for Electronic Equipment", 21, 30, 106, 20, false},
    {Group, "", 7, 6, 473, 63, false},
    {Label, "inch 3-sigma for 20 million cycles", 285, 37, 111, 14, false},
    {Picture, "", 204, 34, 62, 20, false},
    {Group, "Reference", 13, 16, 128, 46, false},
    {Group, "Z = Relative Displacement Limit", 149, 16, 264, 46, false},
    {Group, "Component Constant", 16, 175, 239, 68, false},
    {Group, "Relative Position Factor  r  ", 16, 244, 235, 46, false},
    {Group, "", 17, 82, 240, 87, false},
    {List, "components", 279, 99, 195, 108, true},
    {Label, "Select Component", 294, 86, 114, 11, true},
    {ReadOnly, "", 24, 227, 214, 15, false},
    {List, "modes", 24, 188, 99, 35, false},
    {ReadOnly, " ", 157, 205, 71, 15, true},
    {List, "positions", 125, 251, 117, 35, false},
};
// clang-format on

const char* const kPositions[] = {"1.00  Center", "0.707  Half X.  Quarter Y.",
                                  "0.50  Quarter X.  Quarter Y."};
const char* const kModes[] = {"Enter constant manually", "Select component from list"};
const char* const kComponents[] = {
    "Resistor (axial lead or surface mount)",
    "Capacitor (axial lead or surface mount)",
    "Diode (axial lead or surface mount)",
    "Standard DIP",
    "DIP with side-brazed lead wires",
    "Through-hole PGA",
    "Surface-mounted LCCC with castellations",
    "Surface-mounted LCCC with J wires",
    "Surface-mounted BGA",
    "Fine-pitch surface mount axial lead with bonded corners",
    "Any component with two parallel rows of wires",
};

QRect Pixels(int x, int y, int cx, int cy) {
    return QRect(x * 2, (y * 15 + 4) / 8, cx * 2, (cy * 15 + 4) / 8);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(
        QStringLiteral("Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel "));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qRound(10 * QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 72));
    dialog.setFont(font);
    dialog.setFixedSize(Pixels(0, 0, 487, 305).size());

    for (const Control& c : kControls) {
        const QString text = QString::fromUtf8(c.text);
        QWidget* w = nullptr;
        switch (c.kind) {
        case Push:
            w = new QPushButton(text, &dialog);
            break;
        case Label:
            w = new QLabel(text, &dialog);
            static_cast<QLabel*>(w)->setWordWrap(true);
            break;
        case Picture: {
            QImage picture(108, 40, QImage::Format_RGB32);
            picture.fill(Qt::white);
            auto* label = new QLabel(&dialog);
            label->setPixmap(QPixmap::fromImage(picture));
            w = label;
            break;
        }
        case Edit:
        case ReadOnly: {
            auto* edit = new QLineEdit(text, &dialog);
            edit->setReadOnly(c.kind == ReadOnly);
            w = edit;
            break;
        }
        case Group:
            w = new QGroupBox(text, &dialog);
            break;
        case List: {
            auto* list = new QListWidget(&dialog);
            if (text == QLatin1String("positions")) {
                for (const char* row : kPositions)
                    list->addItem(QString::fromUtf8(row));
                list->setCurrentRow(0);
            } else if (text == QLatin1String("modes")) {
                for (const char* row : kModes)
                    list->addItem(QString::fromUtf8(row));
            } else {
                for (const char* row : kComponents)
                    list->addItem(QString::fromUtf8(row));
            }
            w = list;
            break;
        }
        }
        w->setGeometry(Pixels(c.x, c.y, c.cx, c.cy));
        if (c.kind == Picture)
            w->resize(108, 40);
        if (c.kind == Group)
            w->lower();
        if (c.hidden)
            w->hide();
    }
    return dialog.exec();
}
