// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Measures on grabs of widgets in device pixels, at any scale: whether frames are whole, how
// heavy their lines are, and how much ink a picture puts down.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <array>
#include <string>

namespace uitest {

// Where `widget` lies in a grab of `top` made at `scale` device pixels per pixel.
QRectF DeviceRect(const QWidget* widget, const QWidget* top, qreal scale);

// The sides of the frame around `frame` (device pixels of `grab`) along which no line stands out
// from both `ground` (around the frame) and `inside`: a side counts when, within two device pixels
// of it, one row or column is of other colours all along its middle three fifths (corners may be
// rounded), the top from `topFrom` on (past a title). "" when all four are there, else e.g.
// "top right".
std::string MissingSides(const QImage& grab, const QRectF& frame, QColor ground, QColor inside,
                         qreal topFrom = -1);

// How many device pixels wide the line of exactly `colour` is along the top, bottom, left and
// right of `frame`, within four device pixels of each side (top from `topFrom` on).
std::array<int, 4> LineWeights(const QImage& grab, const QRectF& frame, QColor colour, qreal topFrom = -1);

// The ink in `area` of `grab`: for every pixel, how far its colour has gone from `ground`
// towards `ink` (0 to 1), summed; in pixels of solid ink.
double Ink(const QImage& grab, const QRect& area, QColor ground, QColor ink);

} // namespace uitest
