// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Dialogs built from templates on Qt Widgets: the font, dialog units and the controls.
#include "ui/afx/afxlayout.h"
#include "ui/afx/qt/qt_dialog_widget.h"
#include "ui/afx/qt/qt_impl.h"

#include <QGuiApplication>
#include <QScreen>

namespace afx {

std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE module, LPCSTR name) {
    const Bytes data = AfxResourceBytes(module, name, RT_DIALOG);
    if (data.empty())
        return std::nullopt;
    return ReadDialogTemplate(data);
}

QFont TemplateFont(const DialogTemplate& t) {
    // The template's point size at the screen's resolution, rounded to whole pixels as Windows does.
    // Windows fonts absent here fall back to Liberation Sans, metrically the same as Arial and close
    // to MS Sans Serif.
    // A template without DS_SETFONT gets the system's dialog font, 8 point MS Sans Serif.
    const bool own = (t.style & DS_SETFONT) && t.pointSize > 0;
    QFont font;
    font.setFamilies(
        {QString::fromStdString(own ? t.fontName : "MS Sans Serif"), QStringLiteral("Liberation Sans")});
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    font.setPixelSize(MulDiv(own ? t.pointSize : 8, dpi, 72));
    font.setWeight(t.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const BaseUnits base = DialogBaseUnits(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        metrics.height());
    return QSize(base.cx, base.cy);
}

QRect DialogUnitsToPixels(const QSize& base, int x, int y, int cx, int cy) {
    const PixelBox box = DialogUnitsToPixels(BaseUnits{base.width(), base.height()}, x, y, cx, cy);
    return QRect(box.x, box.y, box.cx, box.cy);
}

std::unique_ptr<AfxWindow> CreateDialogWindow(const DialogTemplate& t, HINSTANCE module, QWidget* parent,
                                              AFXDLGPROC proc, void* context) {
    auto window = std::make_unique<AfxWindow>();
    window->dialog = std::make_unique<AfxWindow::Dialog>();
    window->proc = DialogProc;
    auto* dialog = new DialogWidget(window.get(), parent);
    window->widget = dialog;
    window->dialog->proc = proc;
    window->dialog->context = context;
    window->style = t.style;
    dialog->setProperty("afxWindow", QVariant::fromValue<void*>(window.get()));

    // An application window (the main dialog) is a top-level window of its own for the desktop:
    // listed by docks and task bars, not transient for anything.
    Qt::WindowFlags flags = ((t.exStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog) |
                            Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (t.style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setWindowTitle(QString::fromStdString(t.title));

    const QFont font = TemplateFont(t);
    dialog->setFont(font);
    const QSize base = DialogBaseUnits(font);
    dialog->KeepSize(DialogUnitsToPixels(base, t.x, t.y, t.cx, t.cy).size());

    if (t.style & WS_SYSMENU) {
        // The standard entries of a modal-frame dialog's system menu.
        auto& menu = window->dialog->systemMenu;
        menu = std::make_unique<AfxMenu>();
        menu->items.push_back({MF_STRING, SC_MOVE, "&Move"});
        menu->items.push_back({MF_STRING, SC_CLOSE, "&Close\tAlt+F4"});
    }

    QWidget* previousTabStop = nullptr;
    std::vector<QWidget*> groupBoxes;
    for (std::size_t i = 0; i < t.items.size(); ++i) {
        const DialogItemTemplate& item = t.items[i];
        auto control = std::make_unique<AfxWindow>();
        control->id = item.id;
        control->style = item.style;
        control->parent = window.get();
        QWidget* widget = CreateControl(item, control.get(), dialog,
                                        DialogUnitsToPixels(base, item.x, item.y, item.cx, item.cy), module);
        widget->setAccessibleName(QString::fromStdString(AccessibleName(t, i)));
        control->widget = widget;
        if (item.style & WS_TABSTOP) {
            if (previousTabStop != nullptr)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
        if (item.cls == ControlClass::Button && (item.style & BS_TYPEMASK) == BS_GROUPBOX)
            groupBoxes.push_back(widget);
        window->dialog->children.push_back(std::move(control));
    }
    // Group boxes frame other controls and lie beneath them.
    for (QWidget* group : groupBoxes)
        group->lower();
    return window;
}

} // namespace afx
