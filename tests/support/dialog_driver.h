// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// A user at a running dialog, the same on every backend: the behaviour rows of the dialogs are written once
// against this, and each backend's test support drives its real controls (simulated keys and clicks,
// window messages) and reads them back. Controls are named by their IDs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CDialog;

namespace uitest {

enum class DriverKey { Return, KeypadEnter, Escape };

class DialogDriver {
public:
    virtual ~DialogDriver() = default;

    // Keys typed into a field at the end of its text; or the field emptied first.
    virtual void Type(int id, std::string_view text) = 0;
    virtual void ClearAndType(int id, std::string_view text) = 0;
    // A mouse click on a button, or on a row of a list box.
    virtual void Click(int id) = 0;
    virtual void ClickRow(int id, int row) = 0;
    // A key pressed while the control has the focus.
    virtual void Key(int id, DriverKey key) = 0;
    // A command of the dialog's system menu; the close box.
    virtual void SystemCommand(unsigned command) = 0;
    virtual void CloseBox() = 0;

    virtual std::string Text(int id) = 0;
    virtual bool Shown(int id) = 0;
    virtual int CurSel(int id) = 0; // −1: none
    virtual int Count(int id) = 0;
    virtual std::string RowText(int id, int row) = 0;
    virtual bool DialogShown() = 0;

    // The texts of the message boxes raised since the last call, each answered with OK.
    virtual std::vector<std::string> TakeBoxes() = 0;
    // The titles of the other modal dialogs opened since the last call, each closed with OK; a dialog
    // whose owner could still be used is marked "(not modal)".
    virtual std::vector<std::string> TakeDialogs() = 0;
};

// Runs `dialog` modally; `script` runs inside its modal loop. A dialog the script leaves open fails the
// test and is ended. Returns DoModal's result.
std::intptr_t RunWithDriver(CDialog& dialog, const std::function<void(DialogDriver&)>& script);

} // namespace uitest
