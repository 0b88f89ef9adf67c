// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT

// The pictures under light and dark colour schemes: the formula's ink stays readable on the
// dialog's face, the icon keeps its own colours.
#include "tests/support/uitest.h"
#include "ui/about_dialog.h"
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <ostream>

using namespace uitest;

namespace {

// WCAG 2 relative luminance and contrast ratio.
double Luminance(QColor c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
double Contrast(QColor a, QColor b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette DarkPalette() {
    // A dark scheme as desktops ship it: light text on a dark grey face.
    QPalette p;
    const QColor face(49, 54, 59), text(239, 240, 241);
    for (const auto& [role, colour] :
         std::initializer_list<std::pair<QPalette::ColorRole, QColor>>{{QPalette::Window, face},
                                                                       {QPalette::WindowText, text},
                                                                       {QPalette::Base, QColor(35, 38, 41)},
                                                                       {QPalette::Text, text},
                                                                       {QPalette::Button, face},
                                                                       {QPalette::ButtonText, text},
                                                                       {QPalette::Light, QColor(70, 76, 82)},
                                                                       {QPalette::Dark, QColor(30, 33, 36)}})
        p.setColor(role, colour);
    return p;
}

// The picture label of a dialog, as the dialog shows it: how often each colour occurs.
std::map<QRgb, int> PictureColours(QDialog* d) {
    std::map<QRgb, int> colours;
    for (QLabel* label : d->findChildren<QLabel*>()) {
        if (label->pixmap().isNull())
            continue;
        const QImage image = d->grab(label->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++colours[image.pixel(x, y)];
    }
    return colours;
}

struct SchemeRow {
    const char* name;
    bool dark;
};
void PrintTo(const SchemeRow& row, std::ostream* os) {
    *os << row.name;
}
class Scheme : public ::testing::TestWithParam<SchemeRow> {};

TEST_P(Scheme, FormulaInkIsReadableOnTheFace) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        if (GetParam().dark)
            d->setPalette(DarkPalette());
        const QColor face = d->palette().color(QPalette::Window);
        const std::map<QRgb, int> colours = PictureColours(d);
        ASSERT_FALSE(colours.empty()) << "no picture";
        EXPECT_GT(colours.count(face.rgb()), 0u) << "the picture's ground is the dialog's face";
        // The ink: the colour farthest from the face. At fractional scales the picture's edges are
        // blends of the two, and nothing else.
        QColor ink = face;
        for (const auto& [rgb, count] : colours)
            if (Contrast(QColor(rgb), face) > Contrast(ink, face))
                ink = QColor(rgb);
        EXPECT_GE(Contrast(ink, face), 4.5)
            << ink.name().toStdString() << " on " << face.name().toStdString();
        const auto between = [](int v, int a, int b) {
            return v >= std::min(a, b) - 1 && v <= std::max(a, b) + 1;
        };
        for (const auto& [rgb, count] : colours) {
            const QColor c(rgb);
            EXPECT_TRUE(between(c.red(), face.red(), ink.red()) &&
                        between(c.green(), face.green(), ink.green()) &&
                        between(c.blue(), face.blue(), ink.blue()))
                << c.name().toStdString() << " is neither face nor ink";
        }
        const qreal scale = d->devicePixelRatioF();
        if (scale == std::round(scale)) {
            EXPECT_EQ(colours.size(), 2u) << "at a whole scale, the picture is face and ink only";
        }
        if (!GetParam().dark) {
            EXPECT_EQ(ink, QColor(Qt::black)) << "the light scheme's ink is black, as it always was";
        }
        Key(d, Qt::Key_Escape);
    });
}

TEST_P(Scheme, IconKeepsItsDarkBlueGround) {
    CAboutDialog about;
    RunModal(about, [&](QDialog* d) {
        if (GetParam().dark)
            d->setPalette(DarkPalette());
        EXPECT_GT(PictureColours(d).count(qRgb(0, 0, 0x80)), 0u);
        Key(d, Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(Palette, Scheme,
                         ::testing::Values(SchemeRow{"Light", false}, SchemeRow{"Dark", true}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
