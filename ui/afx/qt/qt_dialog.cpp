// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Dialogs on Qt Widgets: built from templates, their keyboard and window behaviour, the modal loop,
// the system menu and message boxes.
#include "ui/afx/afxwnd.h"
#include "ui/afx/qt/qt_impl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

namespace afx {

namespace {

// A window of one size. A Wayland compositor may still maximise a window or make it full screen
// (its key bindings, the maximise button Qt's own title bar draws), and its protocol then ends a
// client whose window keeps its own size: there the window takes the compositor's size for that
// moment, and goes back to its own size and normal state at once.
class OwnSize {
public:
    void Keep(QWidget* window, const QSize& size) {
        m_size = size;
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
            window->setFixedSize(size);
            return;
        }
        window->setMinimumSize(size);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->resize(size);
        m_keptHere = true;
    }
    bool KeptHere() const { return m_keptHere; }
    // What the window does after its own handling of `event`.
    void Handle(QWidget* window, const QEvent* event) {
        if (event->type() == QEvent::WindowStateChange && (window->windowState() & kOtherSizes))
            QTimer::singleShot(0, window,
                               [window] { window->setWindowState(window->windowState() & ~kOtherSizes); });
        if (event->type() == QEvent::Resize && m_keptHere && !(window->windowState() & kOtherSizes) &&
            window->size() != m_size)
            QTimer::singleShot(0, window, [window, this] { window->resize(m_size); });
    }

private:
    static constexpr Qt::WindowStates kOtherSizes = Qt::WindowMaximized | Qt::WindowFullScreen;
    QSize m_size;
    bool m_keptHere = false; // by this object rather than by the window system
};

class DialogWidget : public QDialog {
public:
    DialogWidget(AfxWindow* window, QWidget* parent) : QDialog(parent), m_window(window) {
        // The system menu opens by keyboard at the window's top left corner: with Alt+Space where
        // the desktop leaves that key to the program, and everywhere with the context-menu key and
        // Shift+F10, the desktop's keys for a window's context menu. Alt+F4 closes.
        for (const QKeySequence& key : {QKeySequence(Qt::ALT | Qt::Key_Space), QKeySequence(Qt::Key_Menu),
                                        QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
            auto* menuKey = new QShortcut(key, this);
            connect(menuKey, &QShortcut::activated, this,
                    [this] { TrackSystemMenu(m_window, mapToGlobal(QPoint(0, 0))); });
        }
        auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
        connect(closeKey, &QShortcut::activated, this,
                [this] { SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    }

    void DefaultPaint(QPaintEvent* event) { QDialog::paintEvent(event); }

    // The dialog has one size.
    void KeepSize(const QSize& size) { m_size.Keep(this, size); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            // A focused push button takes Enter; anywhere else Enter is the default command,
            // IDOK, whether or not the default button is visible.
            int command = IDOK;
            if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget()))
                if (const AfxWindow* w = WindowOf(button); w != nullptr && w->parent == m_window)
                    command = w->id;
            SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), BN_CLICKED), 0);
            return;
        }
        if (plain && event->key() == Qt::Key_Escape) {
            SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        QWidget::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override {
        // The close box is the system command Close; whether and how the dialog ends is up to
        // the program (by default: IDCANCEL).
        event->ignore();
        if (!m_window->dialog->ended)
            SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    void paintEvent(QPaintEvent* event) override {
        QPaintEvent* outer = m_window->dialog->paintEvent;
        m_window->dialog->paintEvent = event;
        SendMessageA(m_window, WM_PAINT, 0, 0);
        m_window->dialog->paintEvent = outer;
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        // A right click on the dialog's background (labels and group boxes let clicks through,
        // as they do on Windows) opens the system menu.
        if (event->reason() == QContextMenuEvent::Mouse && childAt(event->pos()) == nullptr)
            TrackSystemMenu(m_window, event->globalPos());
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange)
            update();
        QDialog::changeEvent(event);
        m_size.Handle(this, event);
    }

    void resizeEvent(QResizeEvent* event) override {
        QDialog::resizeEvent(event);
        m_size.Handle(this, event);
    }

private:
    AfxWindow* m_window;
    OwnSize m_size;
};

// A message box, which fits its size to its text whenever its layout changes, and keeps that size
// as a dialog does.
class MessageBoxWidget : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (minimumSize() == maximumSize())
            m_size.Keep(this, maximumSize()); // the size the box has just fixed for itself
        if (m_size.KeptHere())
            m_size.Handle(this, event);
        return handled;
    }

private:
    OwnSize m_size;
};

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

} // namespace

std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE module, LPCSTR name) {
    const HRSRC info = FindResourceA(module, name, RT_DIALOG);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info)));
    if (data == nullptr)
        return std::nullopt;
    return ReadDialogTemplate(Bytes(data, SizeofResource(module, info)));
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
    const int width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((width / 26 + 1) / 2, metrics.height());
}

QRect DialogUnitsToPixels(const QSize& base, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, base.width(), 4), MulDiv(y, base.height(), 8), MulDiv(cx, base.width(), 4),
                 MulDiv(cy, base.height(), 8));
}

void TrackSystemMenu(AfxWindow* dialog, const QPoint& globalPos) {
    if (dialog == nullptr || dialog->dialog == nullptr || dialog->dialog->systemMenu == nullptr ||
        dialog->dialog->ended)
        return;
    QMenu menu(dialog->widget);
    menu.setObjectName(QStringLiteral("systemMenu"));
    for (const AfxMenu::Item& item : dialog->dialog->systemMenu->items) {
        // Only what the window system can do is offered.
        if (item.id == SC_MOVE && !(item.flags & MF_SEPARATOR) && !CanMoveWindow(dialog->widget))
            continue;
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(ToQt(item.text.c_str()));
        action->setData(item.id);
    }
    QAction* chosen = menu.exec(globalPos);
    if (chosen != nullptr)
        SendMessageA(dialog, WM_SYSCOMMAND, chosen->data().toUInt(),
                     MAKELPARAM(static_cast<unsigned>(globalPos.x()), static_cast<unsigned>(globalPos.y())));
}

std::unique_ptr<AfxWindow> CreateDialogWindow(const DialogTemplate& t, HINSTANCE module, QWidget* parent,
                                              CWnd* handler) {
    auto window = std::make_unique<AfxWindow>();
    window->dialog = std::make_unique<AfxWindow::Dialog>();
    window->proc = DialogProc;
    auto* dialog = new DialogWidget(window.get(), parent);
    window->widget = dialog;
    window->dialog->handler = handler;
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

LRESULT DialogProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = w->widget;
    AfxWindow::Dialog& state = *w->dialog;
    switch (message) {
    case WM_SETTEXT:
        widget->setWindowTitle(ToQt(reinterpret_cast<LPCSTR>(lParam)));
        return TRUE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return TextMessage(widget->windowTitle(), message, wParam, lParam);
    case WM_SETICON: {
        const int which = wParam == ICON_BIG ? 1 : 0;
        HICON old = state.icons[which];
        state.icons[which] = reinterpret_cast<HICON>(lParam);
        QIcon icon;
        for (HICON h : {state.icons[1], state.icons[0]})
            if (h != nullptr)
                for (const QPixmap& p : {h->large, h->small})
                    if (!p.isNull())
                        icon.addPixmap(p);
        widget->setWindowIcon(icon);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(state.icons[wParam == ICON_BIG ? 1 : 0]);
    case WM_ICONERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (dc != nullptr)
            dc->painter.fillRect(widget->rect(), widget->palette().color(QPalette::Window));
        return 1;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(w, WM_CLOSE, 0, 0);
            break;
        case SC_MOVE:
            MoveWindow(widget);
            break;
        case SC_MINIMIZE:
            widget->showMinimized();
            break;
        default:
            break;
        }
        return 0;
    case WM_CLOSE:
        SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_PAINT:
        if (state.paintEvent != nullptr)
            static_cast<DialogWidget*>(widget)->DefaultPaint(state.paintEvent);
        return 0;
    default:
        return 0;
    }
}

} // namespace afx

// ---------------------------------------------------------------------------------------------
// USER32 and the framework's hooks

INT_PTR AfxDialogBox(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, CWnd* pWnd) {
    const std::optional<afx::DialogTemplate> t = afx::LoadDialogTemplate(hInstance, lpTemplateName);
    if (!t)
        return -1;
    QWidget* parent = hWndParent != nullptr ? hWndParent->widget.data() : QApplication::activeModalWidget();
    // Whatever happens, the window goes with this call and the wrappers are released.
    std::unique_ptr<AfxWindow> window = afx::CreateDialogWindow(*t, hInstance, parent, pWnd);
    pWnd->Attach(window.get());
    auto* dialog = static_cast<QDialog*>(window->widget.data());
    const LRESULT setFocus = SendMessageA(window.get(), WM_INITDIALOG, 0, 0);
    if (!window->dialog->ended) {
        // A dialog placed at (0, 0) is centred on its owner, or on the screen.
        const QRect area = parent ? parent->window()->frameGeometry()
                                  : (dialog->screen() ? dialog->screen()->availableGeometry() : QRect());
        if (!area.isEmpty())
            dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
        if (setFocus) {
            for (const auto& child : window->dialog->children) {
                QWidget* w = child->widget;
                if ((child->style & WS_TABSTOP) && w->isVisibleTo(dialog) && w->isEnabled()) {
                    w->setFocus(Qt::OtherFocusReason);
                    break;
                }
            }
        }
        dialog->exec();
    }
    return window->dialog->result;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    if (hDlg == nullptr || hDlg->dialog == nullptr)
        return FALSE;
    hDlg->dialog->ended = true;
    hDlg->dialog->result = nResult;
    static_cast<QDialog*>(hDlg->widget.data())->done(static_cast<int>(nResult));
    return TRUE;
}

HWND GetActiveWindow() {
    return afx::WindowOf(QApplication::activeModalWidget());
}

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT /*uType*/) {
    QWidget* owner = hWnd != nullptr ? hWnd->widget.data() : QApplication::activeModalWidget();
    afx::MessageBoxWidget box(QMessageBox::NoIcon, afx::ToQt(lpCaption), afx::ToQt(lpText), QMessageBox::Ok,
                              owner);
    box.setObjectName(QStringLiteral("AfxMessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}
