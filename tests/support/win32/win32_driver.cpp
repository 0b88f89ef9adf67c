// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The dialog driver on real windows: keys and clicks are the window messages a user's input becomes,
// keys going through the dialog manager (IsDialogMessage) as in a modal loop; what the controls hold is
// read back with GetWindowText, IsWindowVisible and the list box messages. Message boxes and other modal
// dialogs are caught by a CBT hook when they are activated, recorded, and answered with OK.
#include "tests/support/dialog_driver.h"
#include "tests/support/win32/modal.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <exception>
#include <set>
#include <stdexcept>
#include <string>

namespace uitest {

namespace {

struct Recorder {
    HWND dialog = nullptr; // the dialog being driven, once it is up
    std::string boxTitle;
    std::vector<std::string> boxes;
    std::vector<std::string> dialogs;
    std::set<HWND> seen;    // activated again when the focus comes back: recorded once
    HWND starter = nullptr; // gets the start of the script when the driven dialog comes up
    void* start = nullptr;
};
Recorder* g_recorder = nullptr;

// Where the script starts: a message to a window of the test's own, posted when the dialog comes up
// and so dispatched by the dialog's modal loop.
constexpr UINT kRunScript = WM_APP + 1;

std::string TextOf(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
    return text;
}

bool IsDialogWindow(HWND hwnd) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return std::string(name) == "#32770";
}

LRESULT CALLBACK WatchActivations(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_recorder != nullptr) {
        const auto window = reinterpret_cast<HWND>(wParam);
        if (!IsDialogWindow(window)) {
            // not a dialog: nothing to record
        } else if (g_recorder->dialog == nullptr) {
            // The first dialog to come up is the one being driven: now on screen, its script can start.
            g_recorder->dialog = window;
            PostMessageA(g_recorder->starter, kRunScript, 0, reinterpret_cast<LPARAM>(g_recorder->start));
        } else if (window != g_recorder->dialog && g_recorder->seen.insert(window).second) {
            if (TextOf(window) == g_recorder->boxTitle && GetDlgItem(window, 0xFFFF) != nullptr) {
                g_recorder->boxes.push_back(TextOf(GetDlgItem(window, 0xFFFF)));
            } else {
                const HWND owner = GetWindow(window, GW_OWNER);
                const bool modal = owner != nullptr && IsWindowEnabled(owner) == FALSE;
                g_recorder->dialogs.push_back(TextOf(window) + (modal ? "" : " (not modal)"));
            }
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Win32Driver : public DialogDriver {
public:
    explicit Win32Driver(HWND dialog) : m_dialog(dialog) {}

    void Type(int id, std::string_view text) override {
        const HWND field = Focus(id);
        Press(field, VK_END);
        Chars(field, text);
    }
    void ClearAndType(int id, std::string_view text) override {
        const HWND field = Focus(id);
        SendMessageA(field, EM_SETSEL, 0, -1);
        Press(field, VK_DELETE);
        Chars(field, text);
    }
    void Click(int id) override { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void ClickRow(int id, int row) override {
        const HWND list = Item(id);
        RECT r{};
        if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)) ==
            LB_ERR)
            throw std::runtime_error("no row " + std::to_string(row) + " in list " + std::to_string(id));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
    void Key(int id, DriverKey key) override {
        const HWND control = Focus(id);
        const WPARAM vk = key == DriverKey::Escape ? VK_ESCAPE : VK_RETURN;
        LPARAM flags = 1 | static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC)) << 16;
        if (key == DriverKey::KeypadEnter)
            flags |= LPARAM{1} << 24; // the extended key bit: Enter of the numeric keypad
        Dispatch(control, WM_KEYDOWN, vk, flags);
        Dispatch(control, WM_KEYUP, vk, flags | (LPARAM{3} << 30));
        Settle();
    }
    void SystemCommand(unsigned command) override {
        SendMessageA(m_dialog, WM_SYSCOMMAND, command, 0);
        Settle();
    }
    // The close box is the system command Close; the dialog manager answers its WM_CLOSE with a posted
    // IDCANCEL.
    void CloseBox() override {
        SendMessageA(m_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        Settle();
    }

    std::string Text(int id) override { return TextOf(Item(id)); }
    bool Shown(int id) override { return IsWindowVisible(Item(id)) != FALSE; }
    int CurSel(int id) override { return static_cast<int>(SendMessageA(Item(id), LB_GETCURSEL, 0, 0)); }
    int Count(int id) override { return static_cast<int>(SendMessageA(Item(id), LB_GETCOUNT, 0, 0)); }
    std::string RowText(int id, int row) override {
        const HWND list = Item(id);
        const auto length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
        if (length == LB_ERR)
            return {};
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const auto copied =
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
        return text;
    }
    bool DialogShown() override { return IsWindow(m_dialog) && IsWindowVisible(m_dialog); }

    std::vector<std::string> TakeBoxes() override { return std::exchange(g_recorder->boxes, {}); }
    std::vector<std::string> TakeDialogs() override { return std::exchange(g_recorder->dialogs, {}); }

private:
    HWND Item(int id) const {
        const HWND item = GetDlgItem(m_dialog, id);
        if (item == nullptr)
            throw std::runtime_error("the dialog has no control " + std::to_string(id));
        return item;
    }
    HWND Focus(int id) const {
        const HWND item = Item(id);
        SetFocus(item);
        return item;
    }
    // A message as the modal loop of a dialog handles it: the dialog manager first.
    void Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const {
        MSG msg{hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        if (!IsDialogMessageA(m_dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // The messages already queued, handled as the modal loop would handle them.
    void Settle() const {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsWindow(m_dialog) || !IsDialogMessageA(m_dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    void Press(HWND hwnd, WPARAM vk) const {
        const LPARAM flags = 1 | static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC))
                                     << 16;
        Dispatch(hwnd, WM_KEYDOWN, vk, flags);
        Dispatch(hwnd, WM_KEYUP, vk, flags | (LPARAM{3} << 30));
    }
    void Chars(HWND hwnd, std::string_view text) const {
        for (const char c : text)
            Dispatch(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
    }

    HWND m_dialog;
};

// What the start message carries.
struct Start {
    CDialog* dialog;
    const std::function<void(DialogDriver&)>* script;
    bool started = false;
};

constexpr UINT_PTR kDeadlineTimer = 1;
constexpr UINT kDeadlineMs = 60000;

BOOL CALLBACK EndEveryDialog(HWND hwnd, LPARAM) {
    if (IsDialogWindow(hwnd) && IsWindowVisible(hwnd))
        EndDialog(hwnd, -3);
    return TRUE;
}

LRESULT CALLBACK StarterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kDeadlineTimer) {
        KillTimer(hwnd, kDeadlineTimer);
        ADD_FAILURE() << "the dialog was still open after " << kDeadlineMs << " ms";
        EnumThreadWindows(GetCurrentThreadId(), &EndEveryDialog, 0);
        return 0;
    }
    if (message != kRunScript)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    auto* start = reinterpret_cast<Start*>(lParam);
    const auto dialog = static_cast<HWND>(win32::WindowOf(*start->dialog));
    start->started = true;
    if (dialog == nullptr) {
        ADD_FAILURE() << "the dialog did not open";
        return 0;
    }
    if (g_recorder->dialog != dialog)
        ADD_FAILURE() << "another dialog came up before the one being driven";
    Win32Driver driver(dialog);
    // An exception must not cross the window system's frames: it fails the test and ends the dialog.
    try {
        (*start->script)(driver);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "the script threw: " << e.what();
    }
    if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        ADD_FAILURE() << "the script left the dialog open";
        win32::EndDialog(*start->dialog, -2);
    }
    return 0;
}

HWND StarterWindow() {
    static const HWND window = [] {
        WNDCLASSA cls{};
        cls.lpfnWndProc = &StarterProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "tarnvel.tests.starter";
        RegisterClassA(&cls);
        return CreateWindowA(cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance,
                             nullptr);
    }();
    return window;
}

} // namespace

std::intptr_t RunWithDriver(CDialog& dialog, const std::function<void(DialogDriver&)>& script) {
    Recorder recorder;
    recorder.boxTitle = win32::MessageBoxTitle();
    Recorder* outer = std::exchange(g_recorder, &recorder);
    const HHOOK hook = SetWindowsHookExA(WH_CBT, &WatchActivations, nullptr, GetCurrentThreadId());
    Start start{&dialog, &script};
    const HWND starter = StarterWindow();
    recorder.starter = starter;
    recorder.start = &start;
    SetTimer(starter, kDeadlineTimer, kDeadlineMs, nullptr);
    // DoModal throws what a handler threw: the hook and the recorder go first.
    std::intptr_t result = -1;
    std::exception_ptr failure;
    try {
        result = win32::DoModal(dialog);
    } catch (...) {
        failure = std::current_exception();
    }
    KillTimer(starter, kDeadlineTimer);
    // A start message the dialog's loop never took must not run a later test's script.
    MSG stale;
    while (PeekMessageA(&stale, starter, kRunScript, kRunScript, PM_REMOVE)) {
    }
    UnhookWindowsHookEx(hook);
    g_recorder = outer;
    EXPECT_TRUE(start.started) << "the script never ran";
    EXPECT_TRUE(recorder.boxes.empty()) << "message boxes nobody looked at, the first: \""
                                        << (recorder.boxes.empty() ? "" : recorder.boxes.front()) << "\"";
    if (failure)
        std::rethrow_exception(failure);
    return result;
}

} // namespace uitest
