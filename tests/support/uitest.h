// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Support for tests on real widgets: the Qt application (offscreen unless QT_QPA_PLATFORM says
// otherwise), modal dialogs driven by a script, recorded message boxes, and a watchdog that fails
// a test instead of letting an unexpected modal window hang it.
#pragma once

#include "ui/afx/afxdlg.h"

#include <QDialog>
#include <QListWidget>
#include <QString>
#include <QWidget>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace uitest {

// Runs `dialog` modally; `script` runs inside its modal loop with the dialog's widget. Whatever
// the script leaves open is closed afterwards (and fails the test), and so is a dialog still open
// after `deadlineMs`. Returns DoModal's result.
INT_PTR RunModal(CDialog& dialog, const std::function<void(QDialog*)>& script, int deadlineMs = 60000);

// Records the text of every message box that appears while it lives, and presses its OK button.
// Without a recorder, a message box fails the test and is closed.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;

    // The texts so far; clears the record.
    std::vector<std::string> Take();

private:
    friend bool RecordBox(const QString& text);
    std::vector<std::string> m_texts;
    BoxRecorder* m_outer;
};

// Called by the watchdog for a message box on screen: recorded (true) or not.
bool RecordBox(const QString& text);

// The control of `parent` with that ID; fails the test if there is none.
template <typename T> T* Find(QWidget* parent, int id) {
    for (T* w : parent->findChildren<T*>())
        if (w->property("controlId").toInt() == id)
            return w;
    throw std::runtime_error("no control " + std::to_string(id));
}

// The ID of the control behind a widget, 0 for none.
int IdOf(const QWidget* widget);

// Simulated user input.
void Type(QWidget* widget, const QString& text);
void ClearAndType(QWidget* widget, const QString& text);
void Click(QWidget* widget);
void ClickRow(QListWidget* list, int row);
void Key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The text an edit, label, button or group box shows.
std::string TextOf(QWidget* widget);
// Whether the widget would be seen: itself and all its parents shown.
bool Shown(QWidget* widget);

} // namespace uitest
