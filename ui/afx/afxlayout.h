// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// How a backend lays out a dialog template: dialog units in pixels, and the names assistive
// technology reads for the controls.
#pragma once

#include "ui/afx/afxresource.h"

#include <cstddef>
#include <string>

namespace afx {

// value × numerator / denominator, rounded half away from zero, as Windows' MulDiv.
int MulDiv(int value, int numerator, int denominator);

// The dialog base units of a font: its average character width and its height in pixels.
struct BaseUnits {
    int cx = 0;
    int cy = 0;
};
// The base units of a font whose letters "A" to "Z" and "a" to "z" are `alphabetWidth` pixels wide
// in all and whose lines are `lineHeight` pixels high.
BaseUnits DialogBaseUnits(int alphabetWidth, int lineHeight);

// A rectangle in pixels: left, top, width, height.
struct PixelBox {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};
// A rectangle of the template, in dialog units, in pixels.
PixelBox DialogUnitsToPixels(BaseUnits base, int x, int y, int cx, int cy);

// What assistive technology calls item `index`: its text, or for an edit or list box the label
// that names it on screen (to its left on the same line, else just above it, else the group box
// around it).
std::string AccessibleName(const DialogTemplate& t, std::size_t index);

} // namespace afx
