// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Controls drawn at whole and fractional scales, as on screens at 100 % to 200 %: frames keep all
// four sides with lines of one weight, and pictures are enlarged evenly in their own place.
#include "tests/afx/afx_test.h"
#include "tests/support/pixels.h"
#include "tests/support/uitest.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>

using namespace uitest;

namespace {

struct ScaleRow {
    const char* name;
    qreal scale;
};
void PrintTo(const ScaleRow& row, std::ostream* os) {
    *os << row.name;
}
class AtScale : public ::testing::TestWithParam<ScaleRow> {};

// The dialog as a screen at `scale` shows it, in device pixels.
QImage Render(QWidget* dialog, qreal scale) {
    QImage image((QSizeF(dialog->size()) * scale).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::magenta);
    dialog->render(&image);
    return image;
}

// Runs `check` on the frames dialog drawn at the row's scale.
void OnFramesDialog(const std::function<void(QDialog*, const QImage&, qreal)>& check) {
    CDialog dlg(IDD_FRAMES);
    RunModal(dlg, [&](QDialog* d) {
        const qreal scale = AtScale::GetParam().scale;
        check(d, Render(d, scale), scale);
        Key(d, Qt::Key_Escape);
    });
}

TEST_P(AtScale, ListBoxesAndEditsKeepAllFourSidesOfTheirFrames) {
    OnFramesDialog([](QDialog* d, const QImage& image, qreal scale) {
        const QColor face = d->palette().color(QPalette::Window);
        for (const int id : {IDC_LIST_1, IDC_LIST_2, IDC_LIST_3, IDC_LIST_4, IDC_EDIT_1, IDC_EDIT_2,
                             IDC_EDIT_3, IDC_EDIT_4}) {
            QWidget* control = Find<QWidget>(d, id);
            EXPECT_EQ(MissingSides(image, DeviceRect(control, d, scale), face,
                                   control->palette().color(QPalette::Base)),
                      "")
                << id;
        }
    });
}

TEST_P(AtScale, ButtonsKeepAllFourSides) {
    OnFramesDialog([](QDialog* d, const QImage& image, qreal scale) {
        const QColor face = d->palette().color(QPalette::Window);
        for (const int id : {IDC_PUSH_1, IDC_PUSH_2}) {
            QWidget* button = Find<QPushButton>(d, id);
            EXPECT_EQ(MissingSides(image, DeviceRect(button, d, scale), face,
                                   button->palette().color(QPalette::Button)),
                      "")
                << id;
        }
    });
}

TEST_P(AtScale, GroupBoxesAreEtchedAlikeOnEverySide) {
    OnFramesDialog([](QDialog* d, const QImage& image, qreal scale) {
        const QColor face = d->palette().color(QPalette::Window);
        for (const int id : {IDC_GROUP_1, IDC_GROUP_2, IDC_GROUP_3}) {
            SCOPED_TRACE(id);
            auto* group = Find<QGroupBox>(d, id);
            // The frame's top line runs through the middle of the title, and starts again after it.
            const QFontMetrics metrics(group->font());
            const QRectF box = DeviceRect(group, d, scale).adjusted(0, metrics.height() / 2 * scale, 0, 0);
            const qreal afterTitle =
                box.left() +
                (metrics.averageCharWidth() + metrics.horizontalAdvance(group->title()) + 8) * scale;
            EXPECT_EQ(MissingSides(image, box, face, face, afterTitle), "");
            for (const QPalette::ColorRole role : {QPalette::Dark, QPalette::Light}) {
                const std::array<int, 4> weights =
                    LineWeights(image, box, group->palette().color(role), afterTitle);
                EXPECT_GE(weights[0], 1) << "role " << role;
                EXPECT_EQ(weights, (std::array{weights[0], weights[0], weights[0], weights[0]}))
                    << "role " << role;
            }
        }
    });
}

// The dots picture: single ink pixels four apart from (2, 2) on the face. Enlarged evenly, every
// dot puts down the ink of scale² pixels (enlarged pixel for pixel at 1.5, some get 1, some 2,
// some 4), all of it within the picture's place.
TEST_P(AtScale, EveryDotOfAPictureGetsTheSameInk) {
    OnFramesDialog([](QDialog* d, const QImage& image, qreal scale) {
        const QColor face = d->palette().color(QPalette::Window);
        const QColor ink = d->palette().color(QPalette::WindowText);
        const double area = scale * scale;
        for (const int id : {IDC_DOTS_1, IDC_DOTS_2, IDC_DOTS_3, IDC_DOTS_4}) {
            SCOPED_TRACE(id);
            auto* label = Find<QLabel>(d, id);
            ASSERT_EQ(label->size(), QSize(21, 13));
            const QRectF place = DeviceRect(label, d, scale);
            int dots = 0;
            for (int y = 2; y < 13; y += 4)
                for (int x = 2; x < 21; x += 4) {
                    const QPointF centre = place.topLeft() + QPointF(x + 0.5, y + 0.5) * scale;
                    const QPointF reach(2 * scale, 2 * scale); // half way to the next dot
                    const QRect around = QRectF(centre - reach, centre + reach).toAlignedRect();
                    EXPECT_NEAR(Ink(image, around, face, ink), area, 0.04 * area) << "dot " << x << "," << y;
                    ++dots;
                }
            EXPECT_EQ(dots, 15);
            const double inPlace = Ink(image, place.toAlignedRect(), face, ink);
            EXPECT_NEAR(inPlace, 15 * area, 0.04 * 15 * area);
            EXPECT_NEAR(Ink(image, place.toAlignedRect().adjusted(-3, -3, 3, 3), face, ink), inPlace, 0.01);
        }
    });
}

// The mean of an image's colours over `area`, per channel.
std::array<double, 3> MeanColour(const QImage& image, const QRect& area) {
    std::array<double, 3> sum{};
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            sum[0] += qRed(c);
            sum[1] += qGreen(c);
            sum[2] += qBlue(c);
        }
    for (double& channel : sum)
        channel /= double(area.width()) * area.height();
    return sum;
}

// The icon fills the square its 32 × 32 pixels cover on the screen, and every one of its pixels
// weighs alike there: the icon's colours average out as in the icon itself.
TEST_P(AtScale, AnIconFillsItsSquareWithItsOwnColours) {
    OnFramesDialog([](QDialog* d, const QImage& image, qreal scale) {
        auto* label = Find<QLabel>(d, IDC_ICON_1);
        ASSERT_EQ(label->size(), QSize(32, 32));
        QImage icon(32, 32, QImage::Format_RGB32);
        icon.fill(d->palette().color(QPalette::Window));
        QPainter(&icon).drawPixmap(0, 0, label->pixmap());
        const QRect square = DeviceRect(label, d, scale).toRect();
        ASSERT_EQ(square.size(), QSize(qRound(32 * scale), qRound(32 * scale)));
        const std::array<double, 3> want = MeanColour(icon, icon.rect()), got = MeanColour(image, square);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], want[i], 0.5) << "channel " << i;
    });
}

INSTANTIATE_TEST_SUITE_P(Scales, AtScale,
                         ::testing::Values(ScaleRow{"Single", 1.0}, ScaleRow{"Quarter", 1.25},
                                           ScaleRow{"Half", 1.5}, ScaleRow{"ThreeQuarters", 1.75},
                                           ScaleRow{"Double", 2.0}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
