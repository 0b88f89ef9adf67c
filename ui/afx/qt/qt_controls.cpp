// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The controls of dialogs on Qt Widgets: edit, static, button, group box and list box, built from
// dialog template items.
#include "ui/afx/qt/qt_impl.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

namespace afx {

namespace {

// The frames of edits and list boxes as the application's style draws them, but at fractional
// scales on whole device pixels: drawn one logical pixel wide there, a side that falls between
// device pixels is lost under the control's contents.
class FrameStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (frame == nullptr ||
            (element != PE_Frame && element != PE_FrameLineEdit && element != PE_PanelLineEdit)) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        QStyleOptionFrame aligned(*frame);
        painter->save();
        aligned.rect = AlignToDevicePixels(*painter, frame->rect);
        QProxyStyle::drawPrimitive(element, &aligned, painter, widget);
        painter->restore();
    }
};

// One for all controls, made when the first control is, with the application's style.
QStyle* ControlFrameStyle() {
    static QPointer<FrameStyle> style;
    if (style.isNull()) {
        style = new FrameStyle;
        style->setParent(qApp);
    }
    return style;
}

// A list box: notifies LBN_SELCHANGE when the user changes the selection, and never lets a click
// take the selection away (a single-selection list box keeps its row).
class ListBoxWidget : public QListWidget {
public:
    ListBoxWidget(AfxWindow* window, QWidget* parent) : QListWidget(parent) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // The list's own ground shows between the frame and the rows where the scale is fractional.
        setBackgroundRole(QPalette::Base);
        setStyle(ControlFrameStyle());
        connect(this, &QListWidget::itemSelectionChanged, this, [window] { Notify(window, LBN_SELCHANGE); });
    }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
        if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
            return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
        return flags;
    }
};

// A group box as Windows draws it: an etched frame whose top line runs through the middle of the
// title, and nothing inside, so that the dialog's face shows through. Its lines have one weight on
// every side: a block of device pixels at whole scales, one device pixel at fractional ones.
class GroupBoxWidget : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        painter.save();
        // Two outlines one pixel apart, dark outside and light inside, in logical pixels at
        // whole scales and in device pixels at fractional ones.
        const QRect frame = AlignToDevicePixels(painter, rect().adjusted(0, metrics.height() / 2, 0, 0));
        const auto outline = [&painter](const QRect& r, const QColor& colour) {
            painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), colour);
            painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colour);
            painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), colour);
            painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), colour);
        };
        outline(frame.adjusted(0, 0, -1, -1), palette().color(QPalette::Dark));
        outline(frame.adjusted(1, 1, 0, 0), palette().color(QPalette::Light));
        painter.restore();
        if (title().isEmpty())
            return;
        const int x = metrics.averageCharWidth();
        const QRect text(x, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(text, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         title());
    }
};

// A static control as Windows draws it: text wraps at blanks, and a word wider than the control
// breaks where it must rather than being cut off; a picture is shown at its own size, enlarged on
// high-DPI screens as DrawPicture does. A bitmap follows the palette (see MapPictureColours), an
// icon keeps its own colours.
class StaticTextWidget : public QLabel {
public:
    using QLabel::QLabel;

    void SetBitmap(const QImage& bitmap) {
        m_bitmap = bitmap;
        setPixmap(QPixmap::fromImage(MapPictureColours(m_bitmap, palette())));
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::PaletteChange && !m_bitmap.isNull())
            setPixmap(QPixmap::fromImage(MapPictureColours(m_bitmap, palette())));
        QLabel::changeEvent(event);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (const QPixmap picture = pixmap(); !picture.isNull()) {
            DrawPicture(painter, QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()),
                        picture.toImage());
            return;
        }
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(contentsRect()), text(), option);
    }

private:
    QImage m_bitmap; // as stored, before the palette's colours are applied
};

} // namespace

QWidget* CreateControl(const DialogItemTemplate& item, AfxWindow* control, QWidget* dialog, QRect rect,
                       HINSTANCE module) {
    QWidget* widget = nullptr;
    bool clickThrough = false;
    switch (item.cls) {
    case ControlClass::Button:
        if ((item.style & BS_TYPEMASK) == BS_GROUPBOX) {
            widget = new GroupBoxWidget(QString::fromStdString(item.text), dialog);
            clickThrough = true;
        } else {
            auto* button = new QPushButton(QString::fromStdString(item.text), dialog);
            button->setAutoDefault(false);
            button->setDefault((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            QObject::connect(button, &QPushButton::clicked, button,
                             [control] { Notify(control, BN_CLICKED); });
            widget = button;
        }
        control->proc = ButtonProc;
        break;
    case ControlClass::Edit: {
        auto* edit = new QLineEdit(dialog);
        edit->setStyle(ControlFrameStyle());
        edit->setFrame((item.style & WS_BORDER) != 0);
        edit->setReadOnly((item.style & ES_READONLY) != 0);
        edit->setMaxLength(INT_MAX);
        if (edit->isReadOnly()) {
            // Read-only edits show the dialog's face, as on Windows.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
        }
        QObject::connect(edit, &QLineEdit::textEdited, edit, [control] { Notify(control, EN_CHANGE); });
        widget = edit;
        control->proc = EditProc;
        break;
    }
    case ControlClass::Static: {
        auto* label = new StaticTextWidget(dialog);
        const DWORD type = item.style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) {
            // Picture statics take the size of their picture.
            if (type == SS_ICON) {
                HICON icon = LoadIconA(module, MAKEINTRESOURCEA(item.imageId));
                if (icon != nullptr)
                    label->setPixmap(icon->large);
            } else {
                label->SetBitmap(LoadBitmapResource(module, item.imageId));
            }
            rect.setSize(label->pixmap().deviceIndependentSize().toSize());
        } else {
            label->setTextFormat(Qt::PlainText);
            label->setText(QString::fromStdString(item.text));
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
        clickThrough = true;
        widget = label;
        control->proc = StaticProc;
        break;
    }
    case ControlClass::ListBox:
        widget = new ListBoxWidget(control, dialog);
        control->proc = ListBoxProc;
        break;
    default:
        // Scroll bars, combo boxes and window classes of their own are not provided: an empty
        // window holds their place.
        widget = new StaticTextWidget(dialog);
        control->proc = StaticProc;
        break;
    }
    widget->setGeometry(rect);

    if (clickThrough) {
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setProperty("controlId", item.id);
    widget->setProperty("afxWindow", QVariant::fromValue<void*>(control));
    if (!(item.style & WS_VISIBLE))
        widget->setVisible(false);
    return widget;
}

} // namespace afx
