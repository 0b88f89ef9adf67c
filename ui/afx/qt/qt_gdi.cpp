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
    if (picture.format() != QImage::Format_Indexed8)
        return picture;
    PictureColours colours;
    colours.text = palette.color(QPalette::WindowText).rgb();
    colours.shadow = palette.color(QPalette::Dark).rgb();
    colours.face = palette.color(QPalette::Window).rgb();
    colours.light = palette.color(QPalette::Light).rgb();
    QImage image = picture;
    QList<QRgb> table = image.colorTable();
    MapPictureColours(std::span<std::uint32_t>(table.data(), static_cast<std::size_t>(table.size())),
                      colours);
    image.setColorTable(table);
    return image;
}

namespace {

// Whether a painter with this device transform draws at a whole scale (1, 2, 3), or rotates or
// shears, where nothing can be aligned.
bool WholeScale(const QTransform& device) {
    const auto whole = [](qreal scale) { return std::abs(scale - std::round(scale)) < 1e-6; };
    return device.type() > QTransform::TxScale || (whole(device.m11()) && whole(device.m22()));
}

} // namespace

QImage EnlargeEvenly(const QImage& picture, QSizeF scale) {
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Pixels in;
    in.width = source.width();
    in.height = source.height();
    in.argb.resize(static_cast<std::size_t>(in.width) * static_cast<std::size_t>(in.height));
    for (int y = 0; y < in.height; ++y)
        std::memcpy(&in.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(in.width)],
                    source.constScanLine(y), static_cast<std::size_t>(in.width) * sizeof(std::uint32_t));
    const Pixels enlarged = EnlargeEvenly(in, scale.width(), scale.height());
    QImage out(enlarged.width, enlarged.height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y)
        std::memcpy(out.scanLine(y),
                    &enlarged.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(enlarged.width)],
                    static_cast<std::size_t>(enlarged.width) * sizeof(std::uint32_t));
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
