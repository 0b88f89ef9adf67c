// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The real tarnvel binary on a Wayland compositor: each test starts a Weston of its own, whose output
// is a window on an Xvfb of its own (Weston's X11 back end). Keys go to that window with xdotool and
// reach the program through the compositor; what the compositor shows is read from the window.
#include "e2e/e2e.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace e2e;
using e2e::operator<<;

// What tarnvel shows on a bare X server at the start and after the worked request: what it must
// show on any other display too.
struct Reference {
    Picture blank;
    Picture computed;
};

Reference OnBareXServer() {
    Reference reference;
    XServer x;
    App app(x);
    if (!app.Shown())
        return reference;
    x.Xdotool("windowfocus --sync " + app.Window());
    reference.blank = x.Pixels(app.Window());
    app.TypeRequest();
    reference.computed = x.Pixels(app.Window());
    app.End();
    return reference;
}

// tarnvel on a Weston of the test's own, compared with what it shows on a bare X server.
template <typename Row> class OnWeston : public ::testing::TestWithParam<Row> {
protected:
    // Starts Weston (listening on `socket`) and tarnvel on it, and waits until the compositor shows
    // tarnvel's window as a bare X server does, with the keyboard.
    void Start(On on = On::Wayland, Launch launch = {}, const std::string& socket = "tarnvel-test") {
        ASSERT_FALSE(reference.blank.pixels.empty()) << "no reference picture from Xvfb";
        weston = std::make_unique<Weston>(socket, on == On::XWayland);
        ASSERT_TRUE(weston->Ready());
        app = std::make_unique<App>(*weston, on, std::move(launch));
        ASSERT_TRUE(app->Shown());
        ASSERT_TRUE(Shows(reference.blank)) << "the window does not show as on a bare X server";
    }
    // Waits until the compositor shows `picture`, wherever the window is now, and notes where.
    ::testing::AssertionResult Shows(const Picture& picture) {
        if (WaitUntil([&] { return (at = weston->Screen().Find(picture)) || !app->Running(); }) &&
            app->Running())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "not shown: " << app->Failure();
    }

    Reference reference = OnBareXServer();
    std::unique_ptr<Weston> weston;
    std::unique_ptr<App> app;
    std::optional<std::pair<int, int>> at; // where the window's client area is on the screen
};

struct SessionRow {
    const char* name;
    On on;
};
class Session : public OnWeston<SessionRow> {};

// Every key must reach the program, and the window must look as it does on X (a decimal comma,
// a missing result or a message box would differ); an extra box would take the Escape.
TEST_P(Session, TheWindowComputesTheRequestAsOnABareXServer) {
    ASSERT_NO_FATAL_FAILURE(Start(GetParam().on));
    app->TypeRequest();
    ASSERT_TRUE(Shows(reference.computed));
    EXPECT_TRUE(ExitedWith(app->End(), 0)) << app->Output("stderr");
}

INSTANTIATE_TEST_SUITE_P(Weston, Session,
                         ::testing::Values(SessionRow{"NativeWayland", On::Wayland},
                                           SessionRow{"XWayland", On::XWayland}),
                         kRowName);

// Message boxes on the compositor: Calculate with nothing typed raises two, the range warning and the
// input error, each of which takes the keyboard and gives it back once answered; an extra box would
// take the Escape.
TEST_P(Session, BoxesTakeTheKeyboardOneAtATime) {
    ASSERT_NO_FATAL_FAILURE(Start(GetParam().on));
    app->Keys("Return");
    ASSERT_TRUE(app->AnswerBoxes(2));
    EXPECT_TRUE(ExitedWith(app->End(), 0));
}

// The client asks to be maximised.
const std::string kMaximise = "xdg_toplevel@[0-9]+\\.set_maximized\\(\\)";
// The client asks to leave the maximised or full-screen state.
const std::string kBackToNormal = "xdg_toplevel@[0-9]+\\.unset_(maximized|fullscreen)\\(\\)";
// A configure event that gives a window the screen's width: maximised or full screen.
const std::string kScreenWide = "xdg_toplevel@[0-9]+\\.configure\\(" + std::to_string(Weston::kWidth) + ", ";

// A compositor's maximise or full screen (its key bindings, or the maximise button Qt's own title bar
// draws): on Wayland a window must take the size it is given, so tarnvel takes it for that moment and
// goes back to its own; it must neither end nor lose what was typed, and Calculate still works.
struct ResizeRow {
    const char* name;
    const char* keys; // none: the title bar's maximise button is clicked
};
class CompositorResize : public OnWeston<ResizeRow> {
protected:
    // Clicks the maximise button of the title bar Qt draws itself (its "bradient" decoration) on
    // the dialog, one step at a time, each step done once the client has been told of it. Where the
    // title bar is comes from what the client reports: its frame is the window geometry it set, and
    // its surface lies where the compositor says the pointer is on it. In that frame the three
    // buttons, each 18 pixels square, 5 apart, end 8 pixels left of the frame's right edge and are
    // centred in the bar's top 30 pixels; the maximise button is the middle one.
    void ClickTheMaximiseButton() {
        const auto trace = [&] { return app->Traced(); };
        const std::string dialog = trace().Surfaces().at(0), surface = trace().SurfaceOf(dialog);
        int left = 0, width = 0;
        ASSERT_TRUE(trace().Frame(dialog, left, width)) << "the dialog set no window geometry";
        const std::pair<int, int> button{left + width - 8 - 18 - 5 - 18 / 2, 30 / 2};
        // The pointer onto the dialog's top left corner, which lies on its surface: from where the
        // compositor reports it, the surface's origin on the screen.
        std::optional<std::pair<int, int>> reported;
        weston->Click(at->first, at->second, "");
        ASSERT_TRUE(WaitUntil([&] { return (reported = trace().Pointer(surface)) || !app->Running(); }) &&
                    app->Running())
            << "the pointer never reaches the dialog";
        weston->Click(at->first - reported->first + button.first,
                      at->second - reported->second + button.second, "");
        ASSERT_TRUE(WaitUntil([&] { return trace().Pointer(surface) == button || !app->Running(); }) &&
                    app->Running())
            << "the pointer never reaches the maximise button";
        const std::string pressed = "wl_pointer@[0-9]+\\.button\\([0-9]+, [0-9]+, 272, 1\\)";
        const std::size_t presses = trace().Count(pressed);
        weston->Button("mousedown");
        ASSERT_TRUE(WaitUntil([&] { return trace().Count(pressed) > presses || !app->Running(); }) &&
                    app->Running())
            << "the button press never reaches the dialog";
        const std::size_t requests = trace().Count(kMaximise);
        weston->Button("mouseup");
        ASSERT_TRUE(WaitUntil([&] { return trace().Count(kMaximise) > requests || !app->Running(); }) &&
                    app->Running())
            << "the title bar asks for no maximised state";
        weston->PointerAway();
    }
};

TEST_P(CompositorResize, TheWindowGoesBackToItsSizeAndKeepsItsInputs) {
    ASSERT_NO_FATAL_FAILURE(Start());
    app->TypeRequest(Request::Lengths);
    const std::size_t before = app->Traced().Count(kScreenWide);
    if (GetParam().keys != nullptr) {
        app->Keys(GetParam().keys);
    } else {
        ASSERT_NO_FATAL_FAILURE(ClickTheMaximiseButton());
    }
    ASSERT_TRUE(WaitUntil([&] { return app->Traced().Count(kScreenWide) > before || !app->Running(); }))
        << "the compositor gave no screen-wide size";
    app->TypeRequest(Request::ComponentAndCalculate);
    ASSERT_TRUE(Shows(reference.computed));
    const std::vector<std::string> sizes = app->Traced().Geometries(app->Traced().Surfaces().at(0));
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), sizes.front());
    EXPECT_TRUE(ExitedWith(app->End(), 0));
}

INSTANTIATE_TEST_SUITE_P(Weston, CompositorResize,
                         ::testing::Values(ResizeRow{"MaximiseKey", "super+shift+m"},
                                           ResizeRow{"FullScreenKey", "super+shift+f"},
                                           ResizeRow{"MaximiseButton", nullptr}),
                         kRowName);

// The same for a message box: Calculate with nothing typed raises two, the range warning and the
// input error; the first is maximised before it is answered.
class BoxResize : public OnWeston<ResizeRow> {};

TEST_P(BoxResize, TheBoxGoesBackToItsSizeAndTheProgramGoesOn) {
    ASSERT_NO_FATAL_FAILURE(Start());
    app->Keys("Return");
    ASSERT_TRUE(app->BoxUp());
    const std::string box = app->Traced().Surfaces().at(1);
    const std::size_t before = app->Traced().Count(kScreenWide);
    app->Keys(GetParam().keys);
    ASSERT_TRUE(WaitUntil([&] {
                    const Trace trace = app->Traced();
                    const std::vector<std::string> sizes = trace.Geometries(box);
                    return (trace.Count(kScreenWide) > before && trace.Count(kBackToNormal) > 0 &&
                            !sizes.empty() && sizes.back() == sizes.front()) ||
                           !app->Running();
                }) &&
                app->Running())
        << "the box does not go back to its size: " << app->Failure();
    ASSERT_TRUE(app->AnswerBoxes(2));
    EXPECT_TRUE(ExitedWith(app->End(), 0));
}

INSTANTIATE_TEST_SUITE_P(Weston, BoxResize,
                         ::testing::Values(ResizeRow{"MaximiseKey", "super+shift+m"},
                                           ResizeRow{"FullScreenKey", "super+shift+f"}),
                         kRowName);

// Where the program looks for a display before the toolkit starts: a compositor is enough, with or
// without an X server, and wherever a Wayland client finds one.
struct StartRow {
    const char* name;
    const char* socket;           // the compositor's
    std::vector<std::string> env; // besides WAYLAND_DISPLAY=socket
    std::string display;          // DISPLAY; empty: unset
};
class Starts : public OnWeston<StartRow> {};

TEST_P(Starts, TheWindowShowsOnTheCompositor) {
    ASSERT_NO_FATAL_FAILURE(
        Start(On::Wayland, {.env = GetParam().env, .display = GetParam().display}, GetParam().socket));
    EXPECT_TRUE(ExitedWith(app->End(), 0));
}

INSTANTIATE_TEST_SUITE_P(
    Weston, Starts,
    ::testing::Values(StartRow{"WaylandDisplayWithoutDisplay", "tarnvel-test", {}, ""},
                      StartRow{"WaylandDisplayBesideAnUnreachableDisplay", "tarnvel-test", {}, ":999"},
                      StartRow{"WaylandSessionWithoutWaylandDisplay",
                               "wayland-0",
                               {"WAYLAND_DISPLAY=", "XDG_SESSION_TYPE=wayland"},
                               ""},
                      StartRow{"WaylandPlatformChosen", "tarnvel-test", {"QT_QPA_PLATFORM=wayland"}, ""}),
    kRowName);

// Neither an X server nor a compositor there: exit status 1 and one line that names where the
// program looked (no toolkit abort, no core).
struct UnreachableRow {
    const char* name;
    std::string display; // DISPLAY; empty: unset
    std::vector<std::string> env;
    std::vector<std::string> named;
};
class Unreachable : public ::testing::TestWithParam<UnreachableRow> {};

TEST_P(Unreachable, EndsWithOneAndSaysWhereItLookedInOneLine) {
    App app({.env = GetParam().env, .display = GetParam().display});
    ASSERT_TRUE(ExitedWith(app.Wait(), 1));
    const std::string err = app.Output("stderr");
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    for (const std::string& name : GetParam().named)
        EXPECT_NE(err.find(name), std::string::npos) << name << " not in: " << err;
    EXPECT_EQ(app.Output("stdout"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Tarnvel, Unreachable,
    ::testing::Values(UnreachableRow{"DisplayUnset", "", {}, {"display", "DISPLAY"}},
                      UnreachableRow{"NothingListensOnDisplay999", ":999", {}, {"display", ":999"}},
                      UnreachableRow{"WaylandDisplayToNothingDisplayUnset",
                                     "",
                                     {"WAYLAND_DISPLAY=tarnvel-nothing"},
                                     {"tarnvel-nothing", "DISPLAY"}},
                      UnreachableRow{"WaylandDisplayToNothingDisplay999",
                                     ":999",
                                     {"WAYLAND_DISPLAY=tarnvel-nothing"},
                                     {"tarnvel-nothing", ":999"}},
                      UnreachableRow{"WaylandSessionWithoutWaylandDisplay",
                                     "",
                                     {"XDG_SESSION_TYPE=wayland"},
                                     {"wayland-0", "DISPLAY"}},
                      UnreachableRow{"WaylandPlatformToNothing",
                                     "",
                                     {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=tarnvel-nothing"},
                                     {"tarnvel-nothing"}},
                      UnreachableRow{"WaylandPlatformWithoutWaylandDisplay",
                                     "",
                                     {"QT_QPA_PLATFORM=wayland"},
                                     {"wayland-0"}},
                      UnreachableRow{"X11ThenWaylandPlatformToNothing",
                                     ":999",
                                     {"QT_QPA_PLATFORM=xcb;wayland", "WAYLAND_DISPLAY=tarnvel-nothing"},
                                     {":999", "tarnvel-nothing"}}),
    kRowName);

} // namespace
