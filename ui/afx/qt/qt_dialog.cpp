// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Dialogs on Qt Widgets: the dialog's window procedure, its system menu and the modal loop.
#include "ui/afx/qt/qt_dialog_widget.h"
#include "ui/afx/qt/qt_impl.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>

namespace afx {

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

INT_PTR AfxDialogBox(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, AFXDLGPROC proc,
                     void* context) {
    const std::optional<afx::DialogTemplate> t = afx::LoadDialogTemplate(hInstance, lpTemplateName);
    if (!t)
        return -1;
    QWidget* parent = hWndParent != nullptr ? hWndParent->widget.data() : nullptr;
    // Whatever happens, the window goes with this call and the wrappers are released.
    std::unique_ptr<AfxWindow> window = afx::CreateDialogWindow(*t, hInstance, parent, proc, context);
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
