// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The harness of the tests that run the real tarnvel binary: child processes, display servers of the
// test's own (an Xvfb; a Weston with or without XWayland), what they show, and `App`, the program on
// one of them, driven as a user drives it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace e2e {

// Polls `done` until it holds, for at most 30 seconds.
template <typename F> bool WaitUntil(F done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// This process's environment without the variables that choose a display or a platform.
std::vector<std::string> CleanEnvironment();
// What a shell command (sh syntax) writes to stdout; its stderr is dropped.
std::string CommandOutput(const std::string& command);

// A child process, stopped (SIGTERM) and reaped at the latest when this object goes; it also dies
// with the test process. It writes its stdout and stderr to a private temporary directory, which
// is also its XDG_RUNTIME_DIR unless `env` names one. `keepFd` stays open for it.
class Child {
public:
    Child(std::vector<std::string> args, std::vector<std::string> env, int keepFd = -1);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Running();
    // The wait status once the process has ended, or nothing if it is still running after a while.
    std::optional<int> Wait();
    // Its private directory.
    const std::filesystem::path& Dir() const { return m_dir; }
    // What it wrote to "stdout" or "stderr".
    std::string Output(const char* stream) const;

private:
    std::filesystem::path m_dir;
    int m_pid = -1;
    std::optional<int> m_status;
};

// Whether a wait status is a normal exit with `code`.
::testing::AssertionResult ExitedWith(const std::optional<int>& status, int code);

// What a window shows: its pixels row by row, each 0xRRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool operator==(const Picture&) const = default;
    std::uint32_t At(int x, int y) const;
    // Whether `part` lies in this picture with its top left corner at (x, y).
    bool Holds(const Picture& part, int x, int y) const;
    // Where `part` lies in this picture (its top left corner), if anywhere.
    std::optional<std::pair<int, int>> Find(const Picture& part) const;
};

// An X display, its windows found, read and typed at with xdotool.
class XDisplay {
public:
    explicit XDisplay(std::string display) : m_display(std::move(display)) {}
    // ":N"; empty if there is none.
    const std::string& Display() const { return m_display; }

    // Runs xdotool with `args` (shell syntax) against this display; returns its stdout.
    std::string Xdotool(const std::string& args) const;
    // The ids of the mapped windows whose title matches the regular expression `title`, or (no
    // `title`) of all mapped windows of tarnvel.
    std::vector<std::string> Find(const std::string& title = "") const;
    std::string Title(const std::string& id) const;
    // A window's position on the screen and its size: x, y, width, height.
    std::array<int, 4> Geometry(const std::string& id) const;
    // What xprop says of a window's property `name` (of the root window: `id` "-root").
    std::string Property(const std::string& id, const std::string& name) const;
    // The window that has the X keyboard focus.
    std::string Focused() const;
    // Gives the window the keyboard focus and presses the keys (xdotool key names).
    void Keys(const std::string& id, const std::string& keys) const;
    // The window's pixels as the server holds them now.
    Picture Snapshot(const std::string& id) const;
    // The window's pixels, once the program has handled every input sent before this call and painted
    // what follows from it.
    Picture Pixels(const std::string& id) const;

protected:
    XDisplay() = default;
    std::string m_display;
};

// An Xvfb of its own, on a display number Xvfb picks itself (-displayfd), so tests can run at once.
class XServer : public XDisplay {
public:
    XServer();

private:
    std::array<int, 2> m_pipe;
    Child m_server;
};

// A Weston of its own, listening on `socket` in its own runtime directory, with XWayland if asked. Its
// output is a window on an Xvfb of its own (Weston's X11 back end): keys and clicks go to that window
// with xdotool and reach the clients through the compositor; what it shows is read from the window.
class Weston {
public:
    static constexpr int kWidth = 1100;
    static constexpr int kHeight = 800;

    Weston(const std::string& socket, bool xwayland);

    // Whether it runs, with its output window, its socket and (if asked) XWayland's display.
    ::testing::AssertionResult Ready() const;
    const std::string& Socket() const { return m_socket; }
    std::filesystem::path RuntimeDir() const { return m_weston->Dir(); }
    // XWayland's display (none without XWayland).
    const XDisplay& XWayland() const { return m_xwayland; }

    // What the compositor shows now.
    Picture Screen() const { return m_x.Snapshot(m_output); }
    // Presses the keys (xdotool key names) on the output window, which has the X keyboard focus; the
    // compositor passes them on to its focused window or keeps them if they are its own bindings.
    void Keys(const std::string& keys) const;
    // A left click at (x, y) on the compositor's screen (with no `button`: the pointer moved there).
    void Click(int x, int y, const std::string& button = "click 1") const;
    // Presses ("mousedown") or releases ("mouseup") the left button where the pointer is.
    void Button(const std::string& action) const;
    // Moves the pointer onto the middle of the desktop's panel, where it is over no window.
    void PointerAway() const { Click(kWidth / 2, 10, ""); }

private:
    XServer m_x;
    std::string m_socket;
    std::unique_ptr<Child> m_weston;
    std::string m_output;
    XDisplay m_xwayland{""};
};

// The Wayland requests and events a client traced (WAYLAND_DEBUG=client) on its stderr.
class Trace {
public:
    explicit Trace(std::string text) : m_text(std::move(text)) {}

    // How many lines match `pattern` (a regular expression).
    std::size_t Count(const std::string& pattern) const;
    // The window geometries (width x height) the client set, in order, for its xdg surface `id`.
    std::vector<std::string> Geometries(const std::string& id) const;
    // The frame of xdg surface `id` as the client last set it (its window geometry): its left edge
    // and width in the surface's coordinates; false if it set none.
    bool Frame(const std::string& id, int& left, int& width) const;
    // The ids of the xdg surfaces the client made, in order.
    std::vector<std::string> Surfaces() const;
    // The wl_surface of xdg surface `id`.
    std::string SurfaceOf(const std::string& id) const;
    // Where the pointer is on wl_surface `surface` in the surface's coordinates, as the compositor
    // last told the client (enter and motion events); nothing while it is elsewhere.
    std::optional<std::pair<int, int>> Pointer(const std::string& surface) const;
    // The surface that has the keyboard: the one the compositor last gave it to (its wl_surface id).
    std::string Focused() const;
    // Whether the n-th xdg surface the client made (the first: 0) has the keyboard.
    bool FocusOn(std::size_t n) const;

private:
    // The first group of every match of `pattern`, in order.
    std::vector<std::string> Matches(const std::string& pattern) const;

    std::string m_text;
};

// The main window's title.
inline const std::string kMainTitle = "Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel ";

// Where the program shows its windows.
enum class On {
    Nowhere,  // no display server of the test's own: only DISPLAY as the launch gives it
    X,        // an X server, through DISPLAY
    Wayland,  // Weston's own socket (WAYLAND_DISPLAY), its Wayland traffic traced on stderr
    XWayland, // Weston's XWayland
};

// How the program is started.
struct Launch {
    std::vector<std::string> args{};
    // Added to the clean environment; "NAME=" unsets NAME.
    std::vector<std::string> env{};
    // DISPLAY where no X server of the test's own gives it (empty: unset).
    std::string display{};
    // The command line before `args`; empty: the tarnvel binary of the build. Another program that
    // shows the same dialog runs the same way, e.g. {"scripts/wine-run", "--prefix", DIR, "tarnvel.exe"}.
    std::vector<std::string> program{};
};

// The steps of the worked request (tests/app/request.keys): B, h and L typed, then the component
// chosen and Calculate pressed.
enum class Request { Lengths, ComponentAndCalculate, Whole };

// The program started on a display server, driven by the keyboard as a user drives it. It ends, at
// the latest, with this object.
class App {
public:
    // With no display server of the test's own.
    explicit App(Launch launch);
    // On an X server.
    App(const XDisplay& x, Launch launch = {});
    // On a Weston: On::Wayland or On::XWayland.
    App(const Weston& weston, On on, Launch launch = {});

    // Waits until its main window is shown and has the keyboard (or it has ended).
    ::testing::AssertionResult Shown();
    // The main window's X id, once shown on an X server or XWayland.
    const std::string& Window() const { return m_window; }

    // Presses the keys (xdotool key names) in the window that has the keyboard; on an X server of the
    // test's own, which has no window manager, the main window takes it first.
    void Keys(const std::string& keys) const;
    // Types the request, or one of its steps.
    void TypeRequest(Request part = Request::Whole) const;
    // Waits until the next message box not yet answered is up and has the keyboard.
    ::testing::AssertionResult BoxUp();
    // Answers `count` message boxes in turn, each with Return once it has the keyboard, and waits
    // until none is left and the main window has the keyboard again.
    ::testing::AssertionResult AnswerBoxes(int count);
    // Presses Escape in the main window and waits until the program has ended; its wait status.
    std::optional<int> End();

    bool Running() { return m_child->Running(); }
    std::optional<int> Wait() { return m_child->Wait(); }
    std::string Output(const char* stream) const { return m_child->Output(stream); }
    // Its Wayland traffic so far (On::Wayland).
    Trace Traced() const { return Trace(Output("stderr")); }
    // Why it failed: how it ended, and the end of what it wrote to stderr.
    std::string Failure();

private:
    App(On on, const XDisplay* x, const Weston* weston, Launch launch);
    // The boxes up now (their X ids), on an X server or XWayland.
    std::vector<std::string> Boxes() const;
    // Waits until the main window has the keyboard again.
    ::testing::AssertionResult BackToMain();

    On m_on;
    const XDisplay* m_x;
    const Weston* m_weston;
    std::unique_ptr<Child> m_child;
    std::string m_window;
    int m_answered = 0; // boxes answered so far
};

// Row tables print and name their rows by the rows' `name`.
template <typename Row> auto operator<<(std::ostream& os, const Row& row) -> decltype(os << row.name) {
    return os << row.name;
}
inline const auto kRowName = [](const auto& info) { return std::string(info.param.name); };

} // namespace e2e
