// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Pictures on a dialog's face, the same on every backend: a 16-colour picture's black ink and 3D greys
// in the desktop's colours, and pixel art enlarged for a screen of more than 96 dots per inch. Plain
// C++ types, so that a backend's sources can include this beside their system's headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct AfxModule;

namespace afx {

// The desktop's colours a picture takes, as 0xRRGGBB.
struct PictureColours {
    std::uint32_t text = 0x000000;   // black ink
    std::uint32_t shadow = 0x808080; // dark grey
    std::uint32_t face = 0xC0C0C0;   // grey
    std::uint32_t light = 0xDFDFDF;  // light grey
};

// The palette (0xRRGGBB entries) of a 16-colour picture in `colours`, as Windows maps a picture's 3D
// colours for a dialog's face (LoadImage's LR_LOADMAP3DCOLORS), and black ink as the text colour: the
// picture keeps its contrast under light and dark colour schemes alike. Other entries are kept.
void MapPictureColours(std::span<std::uint32_t> palette, const PictureColours& colours);

// An image of 0xAARRGGBB pixels (premultiplied alpha), rows top down.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// `picture` enlarged `scaleX` × `scaleY` times (device pixels per picture pixel, at least 1) with each
// picture pixel spread over exactly the device area it covers: at whole scales every picture pixel
// becomes a block of device pixels; at fractional ones every pixel gets the same share of the result,
// and edges that fall inside a device pixel are blended evenly. The result is ⌈size × scale⌉ pixels.
Pixels EnlargeEvenly(const Pixels& picture, double scaleX, double scaleY);

} // namespace afx

// The pictures of a dialog template: which of its controls (by place in the template, as the dialog's
// child windows are made) are SS_BITMAP statics, and their bitmap resources.
struct AfxTemplatePicture {
    std::size_t item;
    int bitmapId;
};
std::vector<AfxTemplatePicture> AfxDialogPictures(const AfxModule* hModule, const char* lpTemplateName);

// Bitmap `bitmapId` of the module as a dialog shows it: a 16-colour picture in `colours`
// (MapPictureColours), opaque, enlarged `scale` times (EnlargeEvenly). Empty when there is no such bitmap.
afx::Pixels AfxDialogPicture(const AfxModule* hModule, int bitmapId, const afx::PictureColours& colours,
                             double scale);
