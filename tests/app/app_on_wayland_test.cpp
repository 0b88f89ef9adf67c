// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The real tarnvel binary on a Wayland compositor: each test starts a Weston of its own, whose output
// is a window on an Xvfb of its own (Weston's X11 back end). Keys go to that window with xdotool and
// reach the program through the compositor; what the compositor shows is read from the window.
#include "e2e.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <xcb/xcb.h>

namespace {

using namespace e2e;

// B, h, L typed; the component list's first row (Resistor, C = 0.75); Enter calculates Z = 0.0284.
const char* const kFirstKeys = "Tab Tab 6 Tab 0 period 0 6 2 Tab 1";
const char* const kLastKeys = "Tab Tab Down Down shift+Tab Down Return";

// What a window shows: its pixels row by row, each 0xRRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool operator==(const Picture&) const = default;
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    // Whether `part` lies in this picture with its top left corner at (x, y).
    bool Holds(const Picture& part, int x, int y) const {
        if (x < 0 || y < 0 || x + part.width > width || y + part.height > height)
            return false;
        for (int row = 0; row < part.height; ++row)
            for (int column = 0; column < part.width; ++column)
                if (At(x + column, y + row) != part.At(column, row))
                    return false;
        return true;
    }
    // Where `part` lies in this picture (its top left corner), if anywhere.
    std::optional<std::pair<int, int>> Find(const Picture& part) const {
        if (part.pixels.empty())
            return std::nullopt;
        for (int y = 0; y + part.height <= height; ++y)
            for (int x = 0; x + part.width <= width; ++x)
                if (At(x, y) == part.At(0, 0) && Holds(part, x, y))
                    return std::pair{x, y};
        return std::nullopt;
    }
};

// The pixels of an X window as the X server holds them now.
Picture Snapshot(const std::string& display, const std::string& id) {
    Picture picture;
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    const auto window = static_cast<xcb_window_t>(std::stoul(id));
    xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (xcb_connection_has_error(c) == 0 && size != nullptr) {
        if (xcb_get_image_reply_t* image = xcb_get_image_reply(
                c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, size->width, size->height, ~0u),
                nullptr)) {
            const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image));
            const auto count = static_cast<std::size_t>(xcb_get_image_data_length(image)) / 4;
            if (count == static_cast<std::size_t>(size->width) * size->height) {
                picture.width = size->width;
                picture.height = size->height;
                for (std::size_t i = 0; i < count; ++i)
                    picture.pixels.push_back(data[i] & 0xFFFFFF);
            }
            free(image);
        }
    }
    free(size);
    xcb_disconnect(c);
    return picture;
}

// What tarnvel shows on a bare X server at the start and after the keys that compute the request:
// what it must show on any other display too.
struct Reference {
    Picture blank;
    Picture computed;
};

Reference OnBareXServer() {
    Reference reference;
    XServer x;
    if (x.Display().empty())
        return reference;
    auto app = StartTarnvel({}, x.Display());
    std::vector<std::string> main;
    if (!WaitUntil([&] { return !(main = x.Find("^Circuit Board")).empty(); }))
        return reference;
    x.Xdotool("windowfocus --sync " + main[0]);
    x.Pixels(main[0]); // once it is current
    reference.blank = Snapshot(x.Display(), main[0]);
    x.Keys(main[0], std::string(kFirstKeys) + " " + kLastKeys);
    x.Pixels(main[0]);
    reference.computed = Snapshot(x.Display(), main[0]);
    x.Keys(main[0], "Escape");
    app->Wait();
    return reference;
}

// A Weston of its own, listening on `socket` in its own runtime directory, with XWayland if asked.
class Weston {
public:
    static constexpr int kWidth = 1100;
    static constexpr int kHeight = 800;

    Weston(const std::string& socket, bool xwayland) : m_socket(socket) {
        if (m_x.Display().empty())
            return;
        std::vector<std::string> args{"weston",
                                      "--backend=x11-backend.so",
                                      "--use-pixman",
                                      "--no-config",
                                      "--idle-time=0",
                                      "--socket=" + socket,
                                      "--width=" + std::to_string(kWidth),
                                      "--height=" + std::to_string(kHeight)};
        if (xwayland)
            args.push_back("--xwayland");
        std::vector<std::string> env = CleanEnvironment();
        env.push_back("DISPLAY=" + m_x.Display());
        m_weston = std::make_unique<Child>(args, env);
        // Its output window is there once the compositor runs; its socket, once it takes clients;
        // XWayland's display is named in its log as it starts.
        WaitUntil([&] {
            const std::vector<std::string> ids = Ids(m_x.Xdotool("search --classname '^weston'"));
            if (!ids.empty())
                m_output = ids[0];
            if (xwayland) {
                std::smatch match;
                const std::string log = m_weston->Output("stderr");
                if (std::regex_search(log, match, std::regex("xserver listening on display (:[0-9]+)")))
                    m_xwayland = match[1];
            }
            return !m_weston->Running() ||
                   (!m_output.empty() && std::filesystem::exists(RuntimeDir() / socket) &&
                    (!xwayland || !m_xwayland.empty()));
        });
        // Weston's X11 back end moves its pointer by the X pointer's motion, from where that
        // entered the output window: the X pointer leaves the window and enters it again, before
        // any client runs (the compositor takes the pointer's leaving for the keyboard's too), on the
        // middle of the panel.
        // The output window then takes the X keyboard focus, once and for good: a later change of
        // focus reaches the compositor as its keyboard leaving and entering again, and a client's
        // keyboard focus may not come back.
        m_x.Xdotool("mousemove --sync " + std::to_string(kWidth + 50) + " " + std::to_string(kHeight + 50) +
                    " mousemove --sync --window " + m_output + " " + std::to_string(kWidth / 2) +
                    " 10 windowfocus --sync " + m_output);
    }

    // Whether it runs, with its output window, its socket and (if asked) XWayland's display.
    ::testing::AssertionResult Ready() const {
        if (m_x.Display().empty())
            return ::testing::AssertionFailure() << "Xvfb did not start";
        if (!m_weston->Running() || m_output.empty())
            return ::testing::AssertionFailure() << "Weston did not start: " << m_weston->Output("stderr");
        return ::testing::AssertionSuccess();
    }
    std::filesystem::path RuntimeDir() const { return m_weston->Dir(); }
    const std::string& XWaylandDisplay() const { return m_xwayland; }

    // The environment of a native Wayland client of this compositor (DISPLAY stays unset).
    std::vector<std::string> WaylandEnvironment() const {
        return {"WAYLAND_DISPLAY=" + m_socket, "XDG_RUNTIME_DIR=" + RuntimeDir().string()};
    }

    // What the compositor shows now.
    Picture Screen() const { return Snapshot(m_x.Display(), m_output); }
    // Presses the keys (xdotool key names) on the output window, which has the X keyboard focus; the
    // compositor passes them on to its focused window or keeps them if they are its own bindings.
    void Keys(const std::string& keys) const { m_x.Xdotool("key --clearmodifiers " + keys); }
    // A left click at (x, y) on the compositor's screen (with no `button`: the pointer moved there).
    void Click(int x, int y, const std::string& button = "click 1") const {
        m_x.Xdotool("mousemove --sync --window " + m_output + " " + std::to_string(x) + " " +
                    std::to_string(y) + " " + button);
    }
    // Presses ("mousedown") or releases ("mouseup") the left button where the pointer is.
    void Button(const std::string& action) const { m_x.Xdotool(action + " 1"); }
    // Moves the pointer (elsewhere: xdotool waits long for a move that goes nowhere) onto the middle
    // of the desktop's panel, where the compositor draws its cursor over no window.
    void PointerAway() const { Click(kWidth / 2, 10, ""); }

private:
    static std::vector<std::string> Ids(const std::string& lines) {
        std::vector<std::string> ids;
        std::istringstream in(lines);
        for (std::string id; std::getline(in, id);)
            ids.push_back(id);
        return ids;
    }

    XServer m_x;
    std::string m_socket;
    std::unique_ptr<Child> m_weston;
    std::string m_output;
    std::string m_xwayland;
};

// The Wayland requests and events a client traced (WAYLAND_DEBUG=client) on its stderr.
class Trace {
public:
    explicit Trace(std::string text) : m_text(std::move(text)) {}

    // How many lines match `pattern` (a regular expression).
    std::size_t Count(const std::string& pattern) const {
        const std::regex re(pattern);
        return static_cast<std::size_t>(
            std::distance(std::sregex_iterator(m_text.begin(), m_text.end(), re), std::sregex_iterator()));
    }
    // The window geometries (width x height) the client set, in order, for its xdg surface `id`.
    std::vector<std::string> Geometries(const std::string& id) const {
        std::vector<std::string> sizes;
        const std::regex re("xdg_surface@" + id +
                            "\\.set_window_geometry\\(-?[0-9]+, -?[0-9]+, ([0-9]+), ([0-9]+)\\)");
        for (auto m = std::sregex_iterator(m_text.begin(), m_text.end(), re); m != std::sregex_iterator();
             ++m)
            sizes.push_back((*m)[1].str() + "x" + (*m)[2].str());
        return sizes;
    }
    // The frame of xdg surface `id` as the client last set it (its window geometry): its left edge
    // and width in the surface's coordinates; false if it set none.
    bool Frame(const std::string& id, int& left, int& width) const {
        const std::vector<std::string> lefts =
            Matches("xdg_surface@" + id + "\\.set_window_geometry\\((-?[0-9]+), ");
        const std::vector<std::string> sizes = Geometries(id);
        if (lefts.empty() || sizes.empty())
            return false;
        left = std::stoi(lefts.back());
        width = std::stoi(sizes.back());
        return true;
    }
    // The ids of the xdg surfaces the client made, in order.
    std::vector<std::string> Surfaces() const {
        return Matches("get_xdg_surface\\(new id xdg_surface@([0-9]+)");
    }
    // Where the pointer is on wl_surface `surface` in the surface's coordinates, as the compositor
    // last told the client (enter and motion events); nothing while it is elsewhere.
    std::optional<std::pair<int, int>> Pointer(const std::string& surface) const {
        std::optional<std::pair<int, int>> at;
        const std::regex re(
            "wl_pointer@[0-9]+\\.(enter\\([0-9]+, wl_surface@([0-9]+), |motion\\([0-9]+, |leave\\()"
            "(-?[0-9]+)?[.0-9]*(, )?(-?[0-9]+)?");
        bool on = false;
        for (auto m = std::sregex_iterator(m_text.begin(), m_text.end(), re); m != std::sregex_iterator();
             ++m) {
            const std::string event = (*m)[1];
            if (event.starts_with("leave"))
                on = false;
            else if (event.starts_with("enter"))
                on = (*m)[2] == surface;
            if (on && (*m)[3].matched && (*m)[5].matched)
                at = std::pair{std::stoi((*m)[3]), std::stoi((*m)[5])};
            else if (!on)
                at.reset();
        }
        return at;
    }
    // The surface that has the keyboard: the one the compositor last gave it to (its wl_surface id).
    std::string Focused() const {
        const std::vector<std::string> entered =
            Matches("wl_keyboard@[0-9]+\\.enter\\([0-9]+, wl_surface@([0-9]+)");
        return entered.empty() ? std::string() : entered.back();
    }
    // The wl_surface of xdg surface `id`.
    std::string SurfaceOf(const std::string& id) const {
        const std::vector<std::string> found =
            Matches("get_xdg_surface\\(new id xdg_surface@" + id + ", wl_surface@([0-9]+)");
        return found.empty() ? std::string() : found.back();
    }

private:
    // The first group of every match of `pattern`, in order.
    std::vector<std::string> Matches(const std::string& pattern) const {
        std::vector<std::string> found;
        const std::regex re(pattern);
        for (auto m = std::sregex_iterator(m_text.begin(), m_text.end(), re); m != std::sregex_iterator();
             ++m)
            found.push_back((*m)[1]);
        return found;
    }

    std::string m_text;
};

// The compositor gives a surface the keyboard focus.
const std::string kFocus = "wl_keyboard@[0-9]+\\.enter\\(";

// Table rows are named by their `name`.
template <typename Row> auto operator<<(std::ostream& os, const Row& row) -> decltype(os << row.name) {
    return os << row.name;
}
const auto kRowName = [](const auto& info) { return std::string(info.param.name); };

// tarnvel on a Weston of the test's own, compared with what it shows on a bare X server.
template <typename Row> class OnWeston : public ::testing::TestWithParam<Row> {
protected:
    // Starts Weston and tarnvel, natively on the compositor's socket or on XWayland's display, with
    // `extraEnv` added, and waits until the compositor shows tarnvel's window as a bare X server does.
    void Start(const std::string& socket, bool xwayland, const std::vector<std::string>& extraEnv = {},
               const std::string& display = "") {
        ASSERT_FALSE(reference.blank.pixels.empty()) << "no reference picture from Xvfb";
        weston = std::make_unique<Weston>(socket, xwayland);
        ASSERT_TRUE(weston->Ready());
        // A native client traces its Wayland traffic: tests wait for its events there.
        std::vector<std::string> env = xwayland ? std::vector<std::string>{} : weston->WaylandEnvironment();
        if (!xwayland)
            env.push_back("WAYLAND_DEBUG=client");
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        app = StartTarnvel({}, xwayland ? weston->XWaylandDisplay() : display, env);
        ASSERT_TRUE(WaitUntil([&] {
            return (at = weston->Screen().Find(reference.blank)) || !app->Running();
        })) << "the window does not show";
        ASSERT_TRUE(app->Running()) << ExitedWith(app->Wait(), 0).message() << "\n" << app->Output("stderr");
        // The window can show before the compositor gives it the keyboard.
        if (!xwayland) {
            ASSERT_TRUE(WaitUntil([&] { return Trace(app->Output("stderr")).Count(kFocus) > 0; }))
                << "the window never gets the keyboard";
        }
    }
    // Waits until the compositor shows the computed request, wherever the window is now.
    ::testing::AssertionResult ShowsTheResult() {
        if (WaitUntil([&] { return (at = weston->Screen().Find(reference.computed)) || !app->Running(); }) &&
            app->Running())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "no result shown; " << ExitedWith(app->Wait(), 0).message() << "\n"
               << app->Output("stderr").substr(0, 2000);
    }

    Reference reference = OnBareXServer();
    std::unique_ptr<Weston> weston;
    std::unique_ptr<Child> app;
    std::optional<std::pair<int, int>> at; // where the window's client area is on the screen
};

struct SessionRow {
    const char* name;
    bool xwayland; // the program on XWayland's display rather than on the compositor's own socket
};
class Session : public OnWeston<SessionRow> {};

// Every key must reach the program, and the window must look as it does on X (a decimal comma,
// a missing result or a message box would differ); an extra box would take the Escape.
TEST_P(Session, TheWindowComputesTheRequestAsOnABareXServer) {
    ASSERT_NO_FATAL_FAILURE(Start("tarnvel-test", GetParam().xwayland));
    weston->Keys(std::string(kFirstKeys) + " " + kLastKeys);
    ASSERT_TRUE(ShowsTheResult());
    weston->Keys("Escape");
    EXPECT_TRUE(ExitedWith(app->Wait(), 0)) << app->Output("stderr");
}

INSTANTIATE_TEST_SUITE_P(Weston, Session,
                         ::testing::Values(SessionRow{"NativeWayland", false}, SessionRow{"XWayland", true}),
                         kRowName);

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
        const auto trace = [&] { return Trace(app->Output("stderr")); };
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

    // The client asks to be maximised.
    static inline const std::string kMaximise = "xdg_toplevel@[0-9]+\\.set_maximized\\(\\)";
};

// The client asks to leave the maximised or full-screen state.
const std::string kBackToNormal = "xdg_toplevel@[0-9]+\\.unset_(maximized|fullscreen)\\(\\)";
// A configure event that gives a window the screen's width: maximised or full screen.
const std::string kScreenWide = "xdg_toplevel@[0-9]+\\.configure\\(" + std::to_string(Weston::kWidth) + ", ";

TEST_P(CompositorResize, TheWindowGoesBackToItsSizeAndKeepsItsInputs) {
    ASSERT_NO_FATAL_FAILURE(Start("tarnvel-test", false));
    weston->Keys(kFirstKeys);
    const auto trace = [&] { return Trace(app->Output("stderr")); };
    const std::size_t before = trace().Count(kScreenWide);
    if (GetParam().keys != nullptr) {
        weston->Keys(GetParam().keys);
    } else {
        ASSERT_NO_FATAL_FAILURE(ClickTheMaximiseButton());
    }
    ASSERT_TRUE(WaitUntil([&] { return trace().Count(kScreenWide) > before || !app->Running(); }))
        << "the compositor gave no screen-wide size";
    weston->Keys(kLastKeys);
    ASSERT_TRUE(ShowsTheResult());
    const std::vector<std::string> surfaces = trace().Surfaces();
    ASSERT_FALSE(surfaces.empty());
    const std::vector<std::string> sizes = trace().Geometries(surfaces[0]);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), sizes.front());
    weston->Keys("Escape");
    EXPECT_TRUE(ExitedWith(app->Wait(), 0));
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
    ASSERT_NO_FATAL_FAILURE(Start("tarnvel-test", false));
    const auto trace = [&] { return Trace(app->Output("stderr")); };
    // Keys go to the window that has the keyboard: before each key, wait until the window meant
    // for it (the n-th surface the program made, the first being the dialog) has it. A box's surface
    // may take the number of one that has gone, never the dialog's.
    const auto focusOn = [&](std::size_t n) {
        return WaitUntil([&] {
                   const Trace t = trace();
                   const std::vector<std::string> surfaces = t.Surfaces();
                   return !app->Running() || (surfaces.size() > n && t.Focused() == t.SurfaceOf(surfaces[n]));
               }) &&
               app->Running();
    };
    weston->Keys("Return");
    ASSERT_TRUE(focusOn(1)) << "no box";
    const std::string box = trace().Surfaces()[1];
    const std::size_t before = trace().Count(kScreenWide);
    weston->Keys(GetParam().keys);
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::string> sizes = trace().Geometries(box);
        return (trace().Count(kScreenWide) > before && trace().Count(kBackToNormal) > 0 &&
                sizes.back() == sizes.front()) ||
               !app->Running();
    })) << "the box does not go back to its size";
    ASSERT_TRUE(app->Running()) << ExitedWith(app->Wait(), 0).message() << "\n"
                                << app->Output("stderr").substr(app->Output("stderr").size() - 600);
    weston->Keys("Return");
    ASSERT_TRUE(focusOn(2)) << "no second box";
    weston->Keys("Return");
    ASSERT_TRUE(focusOn(0)) << "the keyboard does not come back to the dialog";
    weston->Keys("Escape");
    EXPECT_TRUE(ExitedWith(app->Wait(), 0));
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
    ASSERT_NO_FATAL_FAILURE(Start(GetParam().socket, false, GetParam().env, GetParam().display));
    weston->Keys("Escape");
    EXPECT_TRUE(ExitedWith(app->Wait(), 0));
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
    auto app = StartTarnvel({}, GetParam().display, GetParam().env);
    ASSERT_TRUE(ExitedWith(app->Wait(), 1));
    const std::string err = app->Output("stderr");
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    for (const std::string& name : GetParam().named)
        EXPECT_NE(err.find(name), std::string::npos) << name << " not in: " << err;
    EXPECT_EQ(app->Output("stdout"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Tarnvel, Unreachable,
    ::testing::Values(UnreachableRow{"WaylandDisplayToNothingDisplayUnset",
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
