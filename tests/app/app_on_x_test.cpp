// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The real tarnvel binary in a real X server: each test starts its own Xvfb, drives the program
// with xdotool and checks what it shows and how it ends.
#include "e2e/e2e.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <xcb/xcb.h>

namespace {

using namespace e2e;
using e2e::operator<<;

// tarnvel on an Xvfb of the test's own.
template <typename Row> class OnX : public ::testing::TestWithParam<Row> {
protected:
    // Starts tarnvel with `args` and waits until it has mapped its window.
    void Start(const std::vector<std::string>& args = {}) {
        app = std::make_unique<App>(x, Launch{.args = args});
        ASSERT_TRUE(app->Shown());
    }

    XServer x;
    std::unique_ptr<App> app;
};

struct ArgumentsRow {
    const char* name;
    std::vector<std::string> args;
};
class Arguments : public OnX<ArgumentsRow> {};

TEST_P(Arguments, ChangeNothingTheWindowMapsTitledAndEscapeEndsWithZero) {
    ASSERT_NO_FATAL_FAILURE(Start(GetParam().args));
    const auto windows = x.Find();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(x.Title(windows[0]), kMainTitle);

    ASSERT_TRUE(ExitedWith(app->End(), 0));
    EXPECT_EQ(app->Output("stdout"), "");
    EXPECT_EQ(app->Output("stderr"), "");
}

INSTANTIATE_TEST_SUITE_P(Tarnvel, Arguments,
                         ::testing::Values(ArgumentsRow{"None", {}},
                                           ArgumentsRow{"StyleAndHelp", {"-style", "x", "--help", "foo"}},
                                           ArgumentsRow{"PlatformOffscreen", {"-platform", "offscreen"}},
                                           ArgumentsRow{"Version", {"--version"}}),
                         kRowName);

// Keys pressed in the main window from the start (focus on Calculate; tab order Exit, B, h, L),
// then the message boxes Calculate raises, each answered with Return.
struct KeyboardRow {
    const char* name;
    const char* keys;
    int boxes;
};
class Keyboard : public OnX<KeyboardRow> {};

TEST_P(Keyboard, CalculateRaisesBoxesOneAtATimeAndTheDialogStays) {
    ASSERT_NO_FATAL_FAILURE(Start());
    app->Keys(GetParam().keys);
    ASSERT_TRUE(app->AnswerBoxes(GetParam().boxes));
    ASSERT_EQ(x.Find(), std::vector{app->Window()}) << "the main window went away";
    // An extra box would take this Escape, and the program would go on running.
    ASSERT_TRUE(ExitedWith(app->End(), 0));
}

// Boxes: the C range warning (C blank in manual mode), the thickness warning (h > 0.5), the input error.
INSTANTIATE_TEST_SUITE_P(
    Tarnvel, Keyboard,
    ::testing::Values(KeyboardRow{"NothingTyped", "Return", 2},
                      KeyboardRow{"BAndHTypedLBlank", "Tab Tab 6 Tab 0 period 0 6 2 Tab Return", 2},
                      KeyboardRow{"ThickBoard", "Tab Tab 6 Tab 0 period 9 Tab Return", 3}),
    kRowName);

// What the desktop sees: an application window of class "tarnvel" that docks can group and show
// with its icon, and message boxes that belong to it (transient for it, so centred on it).
class Desktop : public OnX<ArgumentsRow> {};

TEST_F(Desktop, TheWindowIsAnApplicationWindowAndBoxesBelongToIt) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string main = app->Window();
    EXPECT_EQ(x.Property(main, "WM_CLASS"), "WM_CLASS(STRING) = \"tarnvel\", \"tarnvel\"\n");
    EXPECT_NE(x.Property(main, "WM_TRANSIENT_FOR").find("not found"), std::string::npos);
    EXPECT_NE(x.Property(main, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_NORMAL"), std::string::npos);
    EXPECT_NE(x.Property(main, "_NET_WM_ICON").find("32 x 32"), std::string::npos);

    app->Keys("Return"); // the range warning, then the input error
    ASSERT_TRUE(app->BoxUp());
    const std::string owner = x.Property(x.Find("^tarnvel$").at(0), "WM_TRANSIENT_FOR");
    std::ostringstream mainHex;
    mainHex << "0x" << std::hex << std::stoul(main) << "\n";
    EXPECT_NE(owner.find(mainHex.str()), std::string::npos) << owner;
    ASSERT_TRUE(app->AnswerBoxes(2));
    ASSERT_TRUE(ExitedWith(app->End(), 0));
}

// The worked request by keyboard, under locales with a decimal comma: the window must show exactly
// the pixels it shows in the C locale (a "0,0213" or "C =   1,00" would differ).
TEST(Locale, TheWindowShowsTheSameNumbersInEveryLocale) {
    const char* const locales[] = {"C", "de_DE.UTF-8", "fr_FR.UTF-8"};
    XServer x;
    Picture reference;
    for (const char* locale : locales) {
        SCOPED_TRACE(locale);
        App app(x, {.env = {std::string("LANG=") + locale, std::string("LC_ALL=") + locale}});
        ASSERT_TRUE(app.Shown());
        const Picture before = x.Pixels(app.Window());
        app.TypeRequest();
        // Once the picture is current, every key has been handled: a box would be up by now.
        const Picture after = x.Pixels(app.Window());
        EXPECT_TRUE(x.Find("^tarnvel$").empty()) << "a message box came up";
        ASSERT_FALSE(after.pixels.empty());
        EXPECT_NE(after, before) << "no result shown";
        if (reference.pixels.empty())
            reference = after;
        else
            EXPECT_TRUE(after == reference) << "the window differs from the C locale's";
        ASSERT_TRUE(ExitedWith(app.End(), 0));
    }
}

// A window manager as far as moving goes: it announces _NET_WM_MOVERESIZE in _NET_SUPPORTED, or
// nothing, and records the move requests clients send to the root window (it reparents nothing, so a
// program's window is the window it names).
class MoveRecorder {
public:
    MoveRecorder(const std::string& display, bool announce) : m_c(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(m_c) != 0)
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_moveResize = Atom("_NET_WM_MOVERESIZE");
        if (announce)
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_root, Atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32,
                                1, &m_moveResize);
        Sync();
    }
    ~MoveRecorder() { xcb_disconnect(m_c); }
    MoveRecorder(const MoveRecorder&) = delete;
    MoveRecorder& operator=(const MoveRecorder&) = delete;

    struct Request {
        std::string window;   // as xdotool names it
        std::uint32_t action; // 8: move with the pointer, 10: move by keyboard
        bool operator==(const Request&) const = default;
        friend void PrintTo(const Request& r, std::ostream* os) { *os << r.window << " action " << r.action; }
    };
    // The requests that reached the server before this call.
    std::vector<Request> Requests() {
        Sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE && message->type == m_moveResize)
                m_requests.push_back({std::to_string(message->window), message->data.data32[2]});
            free(event);
        }
        return m_requests;
    }

private:
    xcb_atom_t Atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return atom;
    }
    // A round trip: every event the server generated before it is queued here.
    void Sync() { free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

    xcb_connection_t* m_c;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_moveResize = XCB_ATOM_NONE;
    std::vector<Request> m_requests;
};

// The system menu's Move, chosen by key or by click, asks the window manager for its keyboard move
// (the window then follows the arrow keys and the pointer); where the window manager does not
// announce that it moves windows on request, Move is not offered.
struct MoveRow {
    const char* name;
    bool announced; // the window manager announces _NET_WM_MOVERESIZE
    bool byKey;     // Shift+F10, then M; else a right click on the face, then a click on Move
    bool requested; // a keyboard move is asked for
};
class Move : public OnX<MoveRow> {};

TEST_P(Move, AsksTheWindowManagerOnlyWhereItCanMove) {
    const MoveRow& row = GetParam();
    MoveRecorder wm(x.Display(), row.announced);
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string main = app->Window();

    if (row.byKey)
        app->Keys("shift+F10");
    else
        x.Xdotool("mousemove --window " + main + " 4 4 click 3");
    std::vector<std::string> windows;
    ASSERT_TRUE(WaitUntil([&] { return (windows = x.Find()).size() == 2; })) << "no menu";
    const std::string menu = windows[0] == main ? windows[1] : windows[0];
    if (row.byKey) {
        x.Xdotool("key m");
    } else {
        // Move is the first entry: a click a little below the menu's top edge.
        const std::array<int, 4> g = x.Geometry(menu);
        x.Xdotool("mousemove " + std::to_string(g[0] + g[2] / 2) + " " + std::to_string(g[1] + 12) +
                  " click 1");
    }
    if (row.requested) {
        ASSERT_TRUE(WaitUntil([&] { return !wm.Requests().empty(); })) << "no move asked for";
        EXPECT_EQ(wm.Requests(), (std::vector<MoveRecorder::Request>{{main, 10}}));
        ASSERT_TRUE(WaitUntil([&] { return x.Find().size() == 1; })) << "the menu stays";
    } else {
        // The menu is still open, no entry having taken the key: Escape closes it, not the dialog.
        x.Xdotool("key Escape");
        ASSERT_TRUE(WaitUntil([&] { return x.Find().size() == 1; })) << "the menu stays";
        EXPECT_FALSE(x.Pixels(main).pixels.empty()) << "the dialog took the Escape";
        EXPECT_EQ(x.Find(), std::vector{main});
    }
    ASSERT_TRUE(ExitedWith(app->End(), 0));
    if (!row.requested) {
        EXPECT_TRUE(wm.Requests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    SystemMenu, Move,
    ::testing::Values(MoveRow{"ChosenByKey", true, true, true}, MoveRow{"ChosenByClick", true, false, true},
                      MoveRow{"NotOfferedWhereTheWindowManagerCannot", false, true, false}),
    kRowName);

// Under a real window manager (openbox, which like most takes Alt+Space for its own window menu): the
// context-menu key opens the program's menu, whose Move starts the window manager's keyboard move;
// the arrow keys then move the window, Return ends the move, and the window keeps its size.
TEST(WindowManager, MovesTheWindowByKeyboardFromTheSystemMenu) {
    XServer x;
    ASSERT_FALSE(x.Display().empty()) << "Xvfb did not start";
    std::vector<std::string> env = CleanEnvironment();
    env.push_back("DISPLAY=" + x.Display());
    Child wm({"openbox", "--sm-disable"}, env);
    // A window manager announces itself once it manages windows.
    ASSERT_TRUE(WaitUntil([&] {
        return x.Property("-root", "_NET_SUPPORTING_WM_CHECK").find("window id #") != std::string::npos ||
               !wm.Running();
    }));
    ASSERT_TRUE(wm.Running()) << wm.Output("stderr");
    App app(x);
    ASSERT_TRUE(app.Shown());
    const auto geometry = [&] { return x.Geometry(app.Window()); }; // x, y, width, height
    const std::array<int, 4> before = geometry();

    app.Keys("Menu");
    ASSERT_TRUE(WaitUntil([&] { return x.Find().size() == 2; })) << "no menu";
    x.Xdotool("key m");
    ASSERT_TRUE(WaitUntil([&] { return x.Find().size() == 1; })) << "the menu stays";
    // The window manager grabs the keyboard for its move; a key pressed before that goes to the
    // dialog, so each arrow is pressed until the window has moved.
    std::array<int, 4> after{};
    ASSERT_TRUE(WaitUntil([&] {
        x.Xdotool("key Right");
        return (after = geometry())[0] > before[0];
    })) << "the window does not move right";
    ASSERT_TRUE(WaitUntil([&] {
        x.Xdotool("key Down");
        return (after = geometry())[1] > before[1];
    })) << "the window does not move down";
    x.Xdotool("key Return");
    EXPECT_EQ(after[2], before[2]) << "width";
    EXPECT_EQ(after[3], before[3]) << "height";

    // Once the move has ended, Escape reaches the dialog again.
    ASSERT_TRUE(ExitedWith(app.End(), 0));
}

} // namespace
