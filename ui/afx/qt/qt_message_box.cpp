// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// Message boxes on Qt.
#include "ui/afx/qt/qt_impl.h"
#include "ui/afx/qt/qt_own_size.h"

#include <QApplication>
#include <QMessageBox>

namespace afx {

namespace {

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

} // namespace

} // namespace afx

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT /*uType*/) {
    QWidget* owner = hWnd != nullptr ? hWnd->widget.data() : QApplication::activeModalWidget();
    afx::MessageBoxWidget box(QMessageBox::NoIcon, afx::ToQt(lpCaption), afx::ToQt(lpText), QMessageBox::Ok,
                              owner);
    box.setObjectName(QStringLiteral("AfxMessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}
