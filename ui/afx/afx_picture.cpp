// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Pictures on a dialog's face: colours and enlargement, and the pictures of a dialog template.
#include "ui/afx/afxpicture.h"
#include "ui/afx/afxplatform.h"

#include <algorithm>
#include <cmath>

namespace afx {

void MapPictureColours(std::span<std::uint32_t> palette, const PictureColours& colours) {
    const std::pair<std::uint32_t, std::uint32_t> roles[] = {
        {0x000000, colours.text},
        {0x808080, colours.shadow},
        {0xC0C0C0, colours.face},
        {0xDFDFDF, colours.light},
    };
    for (std::uint32_t& c : palette)
        for (const auto& [grey, colour] : roles)
            if ((c & 0xFFFFFFu) == grey) {
                c = (c & 0xFF000000u) | (colour & 0xFFFFFFu);
                break;
            }
}

namespace {

// What each device pixel along one axis takes from the picture's pixels when a picture of `size`
// pixels is enlarged `scale` times: source pixel i covers the device span [i * scale, (i + 1) * scale).
struct Share {
    int pixel;
    float part; // of the device pixel's area along this axis
};
std::vector<std::vector<Share>> Shares(int size, double scale) {
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(std::ceil(size * scale - 1e-6)));
    for (std::size_t d = 0; d < shares.size(); ++d) {
        const double from = static_cast<double>(d) / scale, to = static_cast<double>(d + 1) / scale;
        for (int i = static_cast<int>(std::floor(from)); i < size && i < to; ++i) {
            const double overlap = std::min(to, double(i + 1)) - std::max(from, double(i));
            if (overlap > 1e-9)
                shares[d].push_back({i, static_cast<float>(overlap * scale)});
        }
    }
    return shares;
}

} // namespace

Pixels EnlargeEvenly(const Pixels& picture, double scaleX, double scaleY) {
    const auto columns = Shares(picture.width, scaleX);
    const auto rows = Shares(picture.height, scaleY);
    Pixels out;
    out.width = static_cast<int>(columns.size());
    out.height = static_cast<int>(rows.size());
    out.argb.resize(columns.size() * rows.size());
    const auto width = static_cast<std::size_t>(picture.width);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < columns.size(); ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (const Share& row : rows[y]) {
                const std::uint32_t* in = &picture.argb[static_cast<std::size_t>(row.pixel) * width];
                for (const Share& column : columns[x]) {
                    const std::uint32_t c = in[column.pixel];
                    const float part = row.part * column.part;
                    for (int k = 0; k < 4; ++k)
                        sum[k] += part * static_cast<float>((c >> (24 - 8 * k)) & 0xFFu);
                }
            }
            std::uint32_t pixel = 0;
            for (int k = 0; k < 4; ++k)
                pixel = (pixel << 8) |
                        static_cast<std::uint32_t>(std::clamp(static_cast<int>(std::lround(sum[k])), 0, 255));
            out.argb[y * columns.size() + x] = pixel;
        }
    }
    return out;
}

} // namespace afx

std::vector<AfxTemplatePicture> AfxDialogPictures(const AfxModule* hModule, const char* lpTemplateName) {
    std::vector<AfxTemplatePicture> pictures;
    const auto t = afx::ReadDialogTemplate(AfxResourceBytes(hModule, lpTemplateName, RT_DIALOG));
    if (!t)
        return pictures;
    for (std::size_t i = 0; i < t->items.size(); ++i) {
        const afx::DialogItemTemplate& item = t->items[i];
        if (item.cls == afx::ControlClass::Static && (item.style & SS_TYPEMASK) == SS_BITMAP &&
            item.imageId != 0)
            pictures.push_back({i, item.imageId});
    }
    return pictures;
}

afx::Pixels AfxDialogPicture(const AfxModule* hModule, int bitmapId, const afx::PictureColours& colours,
                             double scale) {
    auto dib = afx::ReadDib(AfxResourceBytes(hModule, MAKEINTRESOURCEA(bitmapId), RT_BITMAP), false);
    if (!dib)
        return {};
    afx::MapPictureColours(dib->palette, colours);
    afx::Pixels picture;
    picture.width = dib->width;
    picture.height = dib->height;
    picture.argb.reserve(dib->indices.size());
    for (const std::uint8_t index : dib->indices)
        picture.argb.push_back(0xFF000000u | (index < dib->palette.size() ? dib->palette[index] : 0u));
    return afx::EnlargeEvenly(picture, std::max(scale, 1.0), std::max(scale, 1.0));
}
