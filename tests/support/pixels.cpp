// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "tests/support/pixels.h"

#include <QtMath>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace uitest {

namespace {

enum Side { Top, Bottom, Left, Right };

// Whether every pixel of line `offset` (0: the frame's outermost row or column, counting inwards;
// negative: outside) along the middle of `side` passes `test`.
bool LineHolds(const QImage& grab, const QRectF& frame, Side side, int offset, qreal topFrom,
               const std::function<bool(QRgb)>& test) {
    const int left = qFloor(frame.left() + 0.5), top = qFloor(frame.top() + 0.5);
    const int right = qCeil(frame.right() - 0.5) - 1, bottom = qCeil(frame.bottom() - 0.5) - 1;
    const bool across = side == Top || side == Bottom;
    const int length = across ? right - left + 1 : bottom - top + 1;
    int from = (across ? left : top) + length / 5, to = (across ? left : top) + length * 4 / 5;
    if (side == Top && topFrom >= 0)
        from = std::max(from, qCeil(topFrom));
    const int at = side == Top      ? top + offset
                   : side == Bottom ? bottom - offset
                   : side == Left   ? left + offset
                                    : right - offset;
    if (from > to || at < 0 || at >= (across ? grab.height() : grab.width()))
        return false;
    for (int v = from; v <= to; ++v)
        if (!test(across ? grab.pixel(v, at) : grab.pixel(at, v)))
            return false;
    return true;
}

int Distance(QRgb a, QRgb b) {
    return std::max(
        {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

QRectF DeviceRect(const QWidget* widget, const QWidget* top, qreal scale) {
    return QRectF(QPointF(widget->mapTo(top, QPoint(0, 0))) * scale, QSizeF(widget->size()) * scale);
}

std::string MissingSides(const QImage& grab, const QRectF& frame, QColor ground, QColor inside,
                         qreal topFrom) {
    constexpr int kDistinct = 12; // levels of a channel between a frame colour and its neighbours
    const auto standsOut = [&](QRgb c) {
        return Distance(c, ground.rgb()) >= kDistinct && Distance(c, inside.rgb()) >= kDistinct;
    };
    std::string missing;
    const char* names[] = {"top", "bottom", "left", "right"};
    for (const Side side : {Top, Bottom, Left, Right}) {
        bool found = false;
        for (int offset = -1; offset <= 2 && !found; ++offset)
            found = LineHolds(grab, frame, side, offset, topFrom, standsOut);
        if (!found)
            missing += (missing.empty() ? "" : " ") + std::string(names[side]);
    }
    return missing;
}

std::array<int, 4> LineWeights(const QImage& grab, const QRectF& frame, QColor colour, qreal topFrom) {
    std::array<int, 4> weights{};
    for (const Side side : {Top, Bottom, Left, Right})
        for (int offset = -1; offset <= 4; ++offset)
            if (LineHolds(grab, frame, side, offset, topFrom,
                          [&](QRgb c) { return Distance(c, colour.rgb()) <= 2; }))
                ++weights[side];
    return weights;
}

double Ink(const QImage& grab, const QRect& area, QColor ground, QColor ink) {
    double sum = 0;
    const QRect inside = area & grab.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb c = grab.pixel(x, y);
            // The mean over the channels that tell ground from ink.
            double share = 0;
            int channels = 0;
            for (const auto& [g, i, v] : {std::array{ground.red(), ink.red(), qRed(c)},
                                          std::array{ground.green(), ink.green(), qGreen(c)},
                                          std::array{ground.blue(), ink.blue(), qBlue(c)}}) {
                if (std::abs(g - i) < 32)
                    continue;
                share += double(g - v) / double(g - i);
                ++channels;
            }
            if (channels > 0)
                sum += share / channels;
        }
    return sum;
}

} // namespace uitest
