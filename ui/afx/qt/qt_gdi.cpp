// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Menus, painting, icons and bitmaps on Qt.
#include "ui/afx/qt/qt_impl.h"

#include <QImage>
#include <QPaintEvent>
#include <QPalette>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Menus

HMENU GetSystemMenu(HWND hWnd, BOOL /*bRevert*/) {
    if (hWnd == nullptr || hWnd->dialog == nullptr)
        return nullptr;
    return hWnd->dialog->systemMenu.get();
}

BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    if (hMenu == nullptr)
        return FALSE;
    if (uFlags & MF_SEPARATOR)
        hMenu->items.push_back({MF_SEPARATOR, 0, ""});
    else
        hMenu->items.push_back({uFlags, static_cast<UINT>(uIDNewItem), lpNewItem ? lpNewItem : ""});
    return TRUE;
}

int GetMenuItemCount(HMENU hMenu) {
    return hMenu ? static_cast<int>(hMenu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
    if (hMenu == nullptr || nPos < 0 || nPos >= GetMenuItemCount(hMenu))
        return static_cast<UINT>(-1);
    return hMenu->items[static_cast<std::size_t>(nPos)].id;
}

int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    if (hMenu == nullptr)
        return 0;
    const auto& items = hMenu->items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool match = (flags & MF_BYPOSITION) ? i == uIDItem : items[i].id == uIDItem;
        if (!match || (items[i].flags & MF_SEPARATOR))
            continue;
        const std::string& text = items[i].text;
        if (lpString == nullptr || cchMax <= 0)
            return static_cast<int>(text.size());
        return AfxCopyOut(text.data(), text.size(), lpString, static_cast<std::size_t>(cchMax));
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Painting

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
    *lpPaint = PAINTSTRUCT{};
    if (hWnd == nullptr || hWnd->dialog == nullptr || hWnd->widget == nullptr ||
        hWnd->dialog->paintEvent == nullptr || hWnd->dialog->paintDC != nullptr)
        return nullptr;
    hWnd->dialog->paintDC = std::make_unique<AfxDC>(hWnd->widget);
    lpPaint->hdc = hWnd->dialog->paintDC.get();
    const QRect r = hWnd->dialog->paintEvent->rect();
    lpPaint->rcPaint = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (hWnd == nullptr || hWnd->dialog == nullptr || lpPaint == nullptr ||
        hWnd->dialog->paintDC.get() != lpPaint->hdc)
        return FALSE;
    hWnd->dialog->paintDC.reset();
    return TRUE;
}

int GetSystemMetrics(int nIndex) {
    switch (nIndex) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) {
    if (hDC == nullptr || hIcon == nullptr)
        return FALSE;
    afx::DrawPicture(hDC->painter, QRect(x, y, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)),
                     hIcon->large.toImage());
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Icons and bitmaps

namespace afx {

QImage ToImage(const Dib& dib) {
    const auto w = static_cast<std::size_t>(dib.width);
    if (dib.transparent.empty()) {
        QImage image(dib.width, dib.height, QImage::Format_Indexed8);
        QList<QRgb> palette;
        for (const std::uint32_t c : dib.palette)
            palette.push_back(0xFF000000u | c);
        image.setColorTable(palette);
        for (int y = 0; y < dib.height; ++y)
            std::memcpy(image.scanLine(y), &dib.indices[static_cast<std::size_t>(y) * w], w);
        if (dib.dotsPerMeterX > 0)
            image.setDotsPerMeterX(dib.dotsPerMeterX);
        if (dib.dotsPerMeterY > 0)
            image.setDotsPerMeterY(dib.dotsPerMeterY);
        return image;
    }
    QImage image(dib.width, dib.height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < dib.height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::size_t x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const std::uint8_t index = dib.indices[i];
            out[x] = dib.transparent[i] || index >= dib.palette.size() ? 0 : 0xFF000000u | dib.palette[index];
        }
    }
    return image;
}

QImage LoadBitmapResource(HINSTANCE module, int id) {
    const std::optional<Dib> dib = ReadDib(AfxResourceBytes(module, MAKEINTRESOURCEA(id), RT_BITMAP), false);
    return dib ? ToImage(*dib) : QImage();
}

QImage MapPictureColours(const QImage& picture, const QPalette& palette) {
    // The 3D colours of a 16-colour picture become the palette's, as Windows maps them for
    // pictures on a dialog's face, and black ink becomes the text colour: the picture keeps its
    // contrast under light and dark colour schemes alike.
    if (picture.format() != QImage::Format_Indexed8)
        return picture;
    const std::pair<QRgb, QPalette::ColorRole> roles[] = {
        {qRgb(0x00, 0x00, 0x00), QPalette::WindowText},
        {qRgb(0x80, 0x80, 0x80), QPalette::Dark},
        {qRgb(0xC0, 0xC0, 0xC0), QPalette::Window},
        {qRgb(0xDF, 0xDF, 0xDF), QPalette::Light},
    };
    QImage image = picture;
    QList<QRgb> colours = image.colorTable();
    for (QRgb& c : colours)
        for (const auto& [rgb, role] : roles)
            if (c == rgb) {
                c = palette.color(role).rgb();
                break;
            }
    image.setColorTable(colours);
    return image;
}

namespace {

// Whether a painter with this device transform draws at a whole scale (1, 2, 3), or rotates or
// shears, where nothing can be aligned.
bool WholeScale(const QTransform& device) {
    const auto whole = [](qreal scale) { return std::abs(scale - std::round(scale)) < 1e-6; };
    return device.type() > QTransform::TxScale || (whole(device.m11()) && whole(device.m22()));
}

// What each device pixel along one axis takes from the picture's pixels when a picture of `size`
// pixels is enlarged `scale` times: source pixel i covers the device span [i * scale, (i + 1) * scale).
struct Share {
    int pixel;
    float part; // of the device pixel's area along this axis
};
std::vector<std::vector<Share>> Shares(int size, qreal scale) {
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(qCeil(size * scale - 1e-6)));
    for (std::size_t d = 0; d < shares.size(); ++d) {
        const qreal from = static_cast<qreal>(d) / scale, to = static_cast<qreal>(d + 1) / scale;
        for (int i = qFloor(from); i < size && i < to; ++i) {
            const qreal overlap = std::min(to, qreal(i + 1)) - std::max(from, qreal(i));
            if (overlap > 1e-9)
                shares[d].push_back({i, static_cast<float>(overlap * scale)});
        }
    }
    return shares;
}

} // namespace

QImage EnlargeEvenly(const QImage& picture, QSizeF scale) {
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto columns = Shares(source.width(), scale.width());
    const auto rows = Shares(source.height(), scale.height());
    QImage out(static_cast<int>(columns.size()), static_cast<int>(rows.size()),
               QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (const Share& row : rows[static_cast<std::size_t>(y)]) {
                const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(row.pixel));
                for (const Share& column : columns[static_cast<std::size_t>(x)]) {
                    const QRgb c = in[column.pixel];
                    const float part = row.part * column.part;
                    sum[0] += part * static_cast<float>(qAlpha(c));
                    sum[1] += part * static_cast<float>(qRed(c));
                    sum[2] += part * static_cast<float>(qGreen(c));
                    sum[3] += part * static_cast<float>(qBlue(c));
                }
            }
            const auto channel = [](float v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
            line[x] = qRgba(channel(sum[1]), channel(sum[2]), channel(sum[3]), channel(sum[0]));
        }
    }
    return out;
}

QRect AlignToDevicePixels(QPainter& painter, const QRect& rect) {
    const QTransform device = painter.deviceTransform();
    if (WholeScale(device))
        return rect;
    const QRectF exact = device.mapRect(QRectF(rect));
    const QRect pixels(QPoint(qRound(exact.left()), qRound(exact.top())),
                       QPoint(qRound(exact.right()) - 1, qRound(exact.bottom()) - 1));
    // The origin goes a hair past the pixel's corner: the round trip through the inverse must not
    // leave it a rounding error short, which would put a line on the pixel before.
    constexpr qreal kHair = 1.0 / 128;
    painter.setWorldTransform(QTransform::fromTranslate(pixels.left() + kHair, pixels.top() + kHair) *
                              device.inverted() * painter.worldTransform());
    return QRect(QPoint(0, 0), pixels.size());
}

void DrawPicture(QPainter& painter, const QRect& target, const QImage& picture) {
    if (picture.isNull())
        return;
    painter.save();
    const QTransform device = painter.deviceTransform();
    if (WholeScale(device)) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target, picture);
    } else {
        const QSizeF scale(device.m11() * target.width() / picture.width(),
                           device.m22() * target.height() / picture.height());
        painter.drawImage(AlignToDevicePixels(painter, target).topLeft(), EnlargeEvenly(picture, scale));
    }
    painter.restore();
}

} // namespace afx

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (hInstance == nullptr || !IS_INTRESOURCE(lpIconName))
        return nullptr;
    // Icons are shared: loaded once, never destroyed.
    static auto* cache = new std::map<std::pair<HINSTANCE, std::uintptr_t>, std::unique_ptr<AfxIcon>>;
    const auto key = std::make_pair(hInstance, reinterpret_cast<std::uintptr_t>(lpIconName));
    if (auto found = cache->find(key); found != cache->end())
        return found->second.get();
    const auto entries = afx::ReadGroupIcon(AfxResourceBytes(hInstance, lpIconName, RT_GROUP_ICON));
    if (!entries)
        return nullptr;
    auto icon = std::make_unique<AfxIcon>();
    for (const afx::GroupIconEntry& entry : *entries) {
        const auto dib =
            afx::ReadDib(AfxResourceBytes(hInstance, MAKEINTRESOURCEA(entry.iconId), RT_ICON), true);
        if (!dib)
            continue;
        const QPixmap image = QPixmap::fromImage(afx::ToImage(*dib));
        if (dib->width == GetSystemMetrics(SM_CXICON))
            icon->large = image;
        else if (dib->width == 16)
            icon->small = image;
    }
    if (icon->large.isNull())
        return nullptr;
    if (icon->small.isNull())
        icon->small = icon->large.scaled(16, 16);
    return ((*cache)[key] = std::move(icon)).get();
}
