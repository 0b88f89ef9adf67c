// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Windows on Qt: sending messages, showing and hiding, and the procedures of the control classes.
#include "ui/afx/qt/qt_impl.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <cstring>

AfxWindow::~AfxWindow() {
    if (dialog != nullptr)
        dialog->proc = nullptr;
    delete widget.data();
    if (dialog != nullptr)
        dialog->children.clear();
    AfxOnWindowDestroyed(this);
}

AfxWindow* AfxWindow::FindChild(int controlId) const {
    if (dialog == nullptr)
        return nullptr;
    for (const auto& child : dialog->children)
        if (child->id == controlId)
            return child.get();
    return nullptr;
}

namespace afx {

AfxWindow* WindowOf(const QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    return static_cast<AfxWindow*>(widget->property("afxWindow").value<void*>());
}

QString ToQt(LPCSTR text) {
    return QString::fromUtf8(text ? text : "");
}

std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

void Notify(AfxWindow* control, UINT code) {
    if (control->parent != nullptr)
        SendMessageA(control->parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(control->id), code),
                     reinterpret_cast<LPARAM>(control));
}

LRESULT TextMessage(const QString& text, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::string utf8 = FromQt(text);
    if (message == WM_GETTEXTLENGTH)
        return static_cast<LRESULT>(utf8.size());
    if (message != WM_GETTEXT || wParam == 0 || lParam == 0)
        return 0;
    return AfxCopyOut(utf8.data(), utf8.size(), reinterpret_cast<char*>(lParam), wParam);
}

namespace {

QString TextOf(LPARAM lParam) {
    return ToQt(reinterpret_cast<LPCSTR>(lParam));
}

} // namespace

LRESULT EditProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* edit = static_cast<QLineEdit*>(w->widget.data());
    if (message == WM_SETTEXT) {
        edit->setText(TextOf(lParam));
        // Like typing, setting an edit control's text raises EN_CHANGE, here and now.
        Notify(w, EN_CHANGE);
        return TRUE;
    }
    return TextMessage(edit->text(), message, wParam, lParam);
}

LRESULT StaticProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* label = static_cast<QLabel*>(w->widget.data());
    if (message == WM_SETTEXT) {
        label->setText(TextOf(lParam));
        return TRUE;
    }
    return TextMessage(label->text(), message, wParam, lParam);
}

// Push buttons and group boxes: both of the button class.
LRESULT ButtonProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* group = qobject_cast<QGroupBox*>(w->widget.data());
    auto* button = qobject_cast<QPushButton*>(w->widget.data());
    switch (message) {
    case WM_SETTEXT:
        if (group != nullptr)
            group->setTitle(TextOf(lParam));
        else
            button->setText(TextOf(lParam));
        return TRUE;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return TextMessage(group != nullptr ? group->title() : button->text(), message, wParam, lParam);
    default:
        return 0;
    }
}

LRESULT ListBoxProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = static_cast<QListWidget*>(w->widget.data());
    // Changes made by the program raise no notification: block the list's signals meanwhile.
    const QSignalBlocker quiet(list);
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (message) {
    case LB_INSERTSTRING: {
        // Inserting at an index places the row there, whatever the sort style says; −1 appends.
        if (index < -1 || index > list->count())
            return LB_ERR;
        const int row = index == -1 ? list->count() : index;
        list->insertItem(row, TextOf(lParam));
        return row;
    }
    case LB_SETCURSEL:
        // −1 clears the selection and, as any index out of range, returns LB_ERR.
        if (index < 0 || index >= list->count()) {
            list->clearSelection();
            list->setCurrentRow(-1);
            return LB_ERR;
        }
        list->setCurrentRow(index);
        return index;
    case LB_GETCURSEL: {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? LB_ERR : list->row(selected.front());
    }
    case LB_GETCOUNT:
        return list->count();
    case LB_GETTEXTLEN:
    case LB_GETTEXT:
        if (index < 0 || index >= list->count())
            return LB_ERR;
        return TextMessage(list->item(index)->text(), message == LB_GETTEXT ? WM_GETTEXT : WM_GETTEXTLENGTH,
                           message == LB_GETTEXT ? static_cast<WPARAM>(-1) : 0, lParam);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return TextMessage(QString(), message, wParam, lParam);
    default:
        return 0;
    }
}

} // namespace afx

// ---------------------------------------------------------------------------------------------
// USER32

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hWnd == nullptr || hWnd->widget == nullptr)
        return 0;
    if (hWnd->dialog != nullptr && hWnd->dialog->proc != nullptr)
        return hWnd->dialog->proc(hWnd->dialog->context, hWnd, message, wParam, lParam);
    return hWnd->proc(hWnd, message, wParam, lParam);
}

LRESULT AfxDefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hWnd == nullptr || hWnd->widget == nullptr)
        return 0;
    return hWnd->proc(hWnd, message, wParam, lParam);
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    if (hWnd == nullptr || hWnd->widget == nullptr)
        return FALSE;
    QWidget* widget = hWnd->widget;
    const BOOL wasVisible = widget->isVisibleTo(widget->parentWidget() ? widget->parentWidget() : widget);
    widget->setVisible(nCmdShow != SW_HIDE);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hWnd) {
    return hWnd != nullptr && hWnd->widget != nullptr && hWnd->widget->isVisible();
}

BOOL IsIconic(HWND hWnd) {
    return hWnd != nullptr && hWnd->widget != nullptr && hWnd->widget->window()->isMinimized();
}

int GetDlgCtrlID(HWND hWnd) {
    return hWnd ? hWnd->id : 0;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    return hDlg ? hDlg->FindChild(nIDDlgItem) : nullptr;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (hWnd == nullptr || hWnd->widget == nullptr || lpRect == nullptr)
        return FALSE;
    const QRect r = hWnd->widget->rect();
    *lpRect = RECT{0, 0, r.width(), r.height()};
    return TRUE;
}
