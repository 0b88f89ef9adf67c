// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
#include "e2e.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

extern char** environ;

namespace e2e {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// `text` quoted for sh.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The request's steps: the lines of request.keys that are neither blank nor comments.
const std::vector<std::string>& RequestSteps() {
    static const std::vector<std::string> steps = [] {
        std::ifstream in(TARNVEL_REQUEST_KEYS);
        std::vector<std::string> found;
        for (std::string line; std::getline(in, line);)
            if (!line.empty() && line[0] != '#')
                found.push_back(line);
        return found;
    }();
    return steps;
}

// Message boxes are titled with the program's name.
const char* const kBoxTitle = "^tarnvel$";

// A colour the dialogs never use: magenta.
constexpr std::uint32_t kCover = 0xFF00FF;

} // namespace

std::vector<std::string> CleanEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e, name = entry.substr(0, entry.find('='));
        if (name != "DISPLAY" && name != "QT_QPA_PLATFORM" && name != "WAYLAND_DISPLAY" &&
            name != "XDG_RUNTIME_DIR" && name != "XDG_SESSION_TYPE")
            env.push_back(entry);
    }
    return env;
}

std::string CommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        for (char chunk[256]; std::fgets(chunk, sizeof chunk, pipe) != nullptr;)
            output += chunk;
        pclose(pipe);
    }
    return output;
}

Child::Child(std::vector<std::string> args, std::vector<std::string> env, int keepFd) {
    char pattern[] = "/tmp/tarnvel-e2e-XXXXXX";
    m_dir = mkdtemp(pattern);
    if (std::none_of(env.begin(), env.end(),
                     [](const std::string& e) { return e.starts_with("XDG_RUNTIME_DIR="); }))
        env.push_back("XDG_RUNTIME_DIR=" + m_dir.string());
    const std::string out = m_dir / "stdout", err = m_dir / "stderr";
    std::vector<char*> argv, envp;
    for (auto& a : args)
        argv.push_back(a.data());
    for (auto& e : env)
        envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (getppid() != parent || o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0)
            _exit(127);
        if (keepFd >= 0)
            fcntl(keepFd, F_SETFD, 0);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
}

Child::~Child() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    std::filesystem::remove_all(m_dir);
}

bool Child::Running() {
    int status = 0;
    if (!m_status && m_pid > 0 && waitpid(m_pid, &status, WNOHANG) == m_pid)
        m_status = status;
    return !m_status;
}

std::optional<int> Child::Wait() {
    WaitUntil([this] { return !Running(); });
    return m_status;
}

std::string Child::Output(const char* stream) const {
    std::ifstream in(m_dir / stream);
    return {std::istreambuf_iterator<char>(in), {}};
}

::testing::AssertionResult ExitedWith(const std::optional<int>& status, int code) {
    if (status && WIFEXITED(*status) && WEXITSTATUS(*status) == code)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "expected exit status " << code << ", got ";
    if (!status)
        return failure << "a process still running";
    if (WIFSIGNALED(*status))
        return failure << "signal " << WTERMSIG(*status);
    return failure << "exit status " << WEXITSTATUS(*status);
}

std::uint32_t Picture::At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
}

bool Picture::Holds(const Picture& part, int x, int y) const {
    if (x < 0 || y < 0 || x + part.width > width || y + part.height > height)
        return false;
    for (int row = 0; row < part.height; ++row)
        for (int column = 0; column < part.width; ++column)
            if (At(x + column, y + row) != part.At(column, row))
                return false;
    return true;
}

std::optional<std::pair<int, int>> Picture::Find(const Picture& part) const {
    if (part.pixels.empty())
        return std::nullopt;
    for (int y = 0; y + part.height <= height; ++y)
        for (int x = 0; x + part.width <= width; ++x)
            if (At(x, y) == part.At(0, 0) && Holds(part, x, y))
                return std::pair{x, y};
    return std::nullopt;
}

namespace {

// A window's pixels on a connection, as the server holds them now (24 bits of colour in 32).
Picture Image(xcb_connection_t* c, xcb_window_t window, std::uint16_t width, std::uint16_t height) {
    Picture picture;
    if (xcb_get_image_reply_t* image = xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr)) {
        const auto length = static_cast<std::size_t>(xcb_get_image_data_length(image)) / 4;
        if (length == static_cast<std::size_t>(width) * height) {
            picture.width = width;
            picture.height = height;
            picture.pixels.resize(length);
            std::memcpy(picture.pixels.data(), xcb_get_image_data(image), length * 4);
            for (std::uint32_t& p : picture.pixels)
                p &= 0xFFFFFF;
        }
        free(image);
    }
    return picture;
}

} // namespace

std::string XDisplay::Xdotool(const std::string& args) const {
    return CommandOutput("DISPLAY=" + m_display + " xdotool " + args);
}

std::vector<std::string> XDisplay::Find(const std::string& title) const {
    return Lines(
        Xdotool("search --onlyvisible " + (title.empty() ? "--class tarnvel" : "--name " + Quoted(title))));
}

std::string XDisplay::Title(const std::string& id) const {
    const std::string line = Xdotool("getwindowname " + id);
    return line.empty() ? line : line.substr(0, line.size() - 1);
}

std::array<int, 4> XDisplay::Geometry(const std::string& id) const {
    std::array<int, 4> geometry{};
    const char* const names[] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
    for (const std::string& line : Lines(Xdotool("getwindowgeometry --shell " + id)))
        for (std::size_t i = 0; i < geometry.size(); ++i)
            if (line.starts_with(names[i]))
                geometry[i] = std::stoi(line.substr(std::strlen(names[i])));
    return geometry;
}

std::string XDisplay::Property(const std::string& id, const std::string& name) const {
    return CommandOutput("xprop -display " + m_display + (id == "-root" ? " -root " : " -id " + id + " ") +
                         name);
}

std::string XDisplay::Focused() const {
    const std::vector<std::string> focused = Lines(Xdotool("getwindowfocus"));
    return focused.empty() ? std::string() : focused[0];
}

void XDisplay::Keys(const std::string& id, const std::string& keys) const {
    Xdotool("windowfocus --sync " + id + " key --clearmodifiers " + keys);
}

Picture XDisplay::Snapshot(const std::string& id) const {
    Picture picture;
    xcb_connection_t* c = xcb_connect(m_display.c_str(), nullptr);
    if (xcb_connection_has_error(c) == 0) {
        const auto window = static_cast<xcb_window_t>(std::stoul(id));
        if (xcb_get_geometry_reply_t* size =
                xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr)) {
            picture = Image(c, window, size->width, size->height);
            free(size);
        }
    }
    xcb_disconnect(c);
    return picture;
}

// The barrier is an expose: a window of our own covers the program's window, filled with a colour the
// dialogs never use, and goes away again; X queues the expose behind the input already sent, and the
// program's windows have no background for the server to fill in, so the colour stays until the
// program repaints. Once no pixel of it is left, the picture is current.
Picture XDisplay::Pixels(const std::string& id) const {
    xcb_connection_t* c = xcb_connect(m_display.c_str(), nullptr);
    Picture picture;
    if (xcb_connection_has_error(c) == 0) {
        const auto window = static_cast<xcb_window_t>(std::stoul(id));
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window, screen->root, 0, 0), nullptr);
        xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
        if (origin != nullptr && size != nullptr) {
            const xcb_window_t cover = xcb_generate_id(c);
            const std::uint32_t values[] = {kCover, 1};
            xcb_create_window(c, XCB_COPY_FROM_PARENT, cover, screen->root, origin->dst_x, origin->dst_y,
                              size->width, size->height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                              screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
            xcb_map_window(c, cover);
            xcb_clear_area(c, 0, cover, 0, 0, 0, 0);
            free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // the cover is drawn
            xcb_destroy_window(c, cover);
            WaitUntil([&] {
                picture = Image(c, window, size->width, size->height);
                return !picture.pixels.empty() && std::find(picture.pixels.begin(), picture.pixels.end(),
                                                            kCover) == picture.pixels.end();
            });
        }
        free(origin);
        free(size);
    }
    xcb_disconnect(c);
    return picture;
}

namespace {

std::array<int, 2> Pipe() {
    std::array<int, 2> fds{-1, -1};
    return pipe2(fds.data(), O_CLOEXEC) == 0 ? fds : std::array<int, 2>{-1, -1};
}

} // namespace

// -noreset: else each client that leaves as the last one resets the server, and a client connecting
// during the reset is refused.
XServer::XServer()
    : m_pipe(Pipe()), m_server({"Xvfb", "-displayfd", std::to_string(m_pipe[1]), "-nolisten", "tcp",
                                "-noreset", "-screen", "0", "1280x1024x24"},
                               CleanEnvironment(), m_pipe[1]) {
    close(m_pipe[1]);
    // Once it accepts clients, Xvfb writes the number, then a newline; if the pipe is closed in
    // between, it dies.
    std::string number;
    pollfd ready{m_pipe[0], POLLIN, 0};
    char c = 0;
    while (poll(&ready, 1, 30000) == 1 && read(m_pipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    if (c == '\n' && !number.empty())
        m_display = ":" + number;
    close(m_pipe[0]);
}

Weston::Weston(const std::string& socket, bool xwayland) : m_socket(socket) {
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
        const std::vector<std::string> ids = Lines(m_x.Xdotool("search --classname '^weston'"));
        if (!ids.empty())
            m_output = ids[0];
        if (xwayland) {
            std::smatch match;
            const std::string log = m_weston->Output("stderr");
            if (std::regex_search(log, match, std::regex("xserver listening on display (:[0-9]+)")))
                m_xwayland = XDisplay(match[1]);
        }
        return !m_weston->Running() || (!m_output.empty() && std::filesystem::exists(RuntimeDir() / socket) &&
                                        (!xwayland || !m_xwayland.Display().empty()));
    });
    // Weston's X11 back end moves its pointer by the X pointer's motion, from where that entered the
    // output window: the X pointer leaves the window and enters it again, before any client runs (the
    // compositor takes the pointer's leaving for the keyboard's too), on the middle of the panel.
    // The output window then takes the X keyboard focus, once and for good: a later change of focus
    // reaches the compositor as its keyboard leaving and entering again, and a client's keyboard focus
    // may not come back.
    m_x.Xdotool("mousemove --sync " + std::to_string(kWidth + 50) + " " + std::to_string(kHeight + 50) +
                " mousemove --sync --window " + m_output + " " + std::to_string(kWidth / 2) +
                " 10 windowfocus --sync " + m_output);
}

::testing::AssertionResult Weston::Ready() const {
    if (m_x.Display().empty())
        return ::testing::AssertionFailure() << "Xvfb did not start";
    if (!m_weston->Running() || m_output.empty())
        return ::testing::AssertionFailure() << "Weston did not start: " << m_weston->Output("stderr");
    return ::testing::AssertionSuccess();
}

void Weston::Keys(const std::string& keys) const {
    m_x.Xdotool("key --clearmodifiers " + keys);
}

void Weston::Click(int x, int y, const std::string& button) const {
    m_x.Xdotool("mousemove --sync --window " + m_output + " " + std::to_string(x) + " " + std::to_string(y) +
                " " + button);
}

void Weston::Button(const std::string& action) const {
    m_x.Xdotool(action + " 1");
}

std::size_t Trace::Count(const std::string& pattern) const {
    const std::regex re(pattern);
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(m_text.begin(), m_text.end(), re), std::sregex_iterator()));
}

std::vector<std::string> Trace::Geometries(const std::string& id) const {
    std::vector<std::string> sizes;
    const std::regex re("xdg_surface@" + id +
                        "\\.set_window_geometry\\(-?[0-9]+, -?[0-9]+, ([0-9]+), ([0-9]+)\\)");
    for (auto m = std::sregex_iterator(m_text.begin(), m_text.end(), re); m != std::sregex_iterator(); ++m)
        sizes.push_back((*m)[1].str() + "x" + (*m)[2].str());
    return sizes;
}

bool Trace::Frame(const std::string& id, int& left, int& width) const {
    const std::vector<std::string> lefts =
        Matches("xdg_surface@" + id + "\\.set_window_geometry\\((-?[0-9]+), ");
    const std::vector<std::string> sizes = Geometries(id);
    if (lefts.empty() || sizes.empty())
        return false;
    left = std::stoi(lefts.back());
    width = std::stoi(sizes.back());
    return true;
}

std::vector<std::string> Trace::Surfaces() const {
    return Matches("get_xdg_surface\\(new id xdg_surface@([0-9]+)");
}

std::string Trace::SurfaceOf(const std::string& id) const {
    const std::vector<std::string> found =
        Matches("get_xdg_surface\\(new id xdg_surface@" + id + ", wl_surface@([0-9]+)");
    return found.empty() ? std::string() : found.back();
}

std::optional<std::pair<int, int>> Trace::Pointer(const std::string& surface) const {
    std::optional<std::pair<int, int>> at;
    const std::regex re(
        "wl_pointer@[0-9]+\\.(enter\\([0-9]+, wl_surface@([0-9]+), |motion\\([0-9]+, |leave\\()"
        "(-?[0-9]+)?[.0-9]*(, )?(-?[0-9]+)?");
    bool on = false;
    for (auto m = std::sregex_iterator(m_text.begin(), m_text.end(), re); m != std::sregex_iterator(); ++m) {
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

std::string Trace::Focused() const {
    const std::vector<std::string> entered =
        Matches("wl_keyboard@[0-9]+\\.enter\\([0-9]+, wl_surface@([0-9]+)");
    return entered.empty() ? std::string() : entered.back();
}

// A box's surface may take the number of one that has gone, never the dialog's.
bool Trace::FocusOn(std::size_t n) const {
    const std::vector<std::string> surfaces = Surfaces();
    return surfaces.size() > n && !Focused().empty() && Focused() == SurfaceOf(surfaces[n]);
}

std::vector<std::string> Trace::Matches(const std::string& pattern) const {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto m = std::sregex_iterator(m_text.begin(), m_text.end(), re); m != std::sregex_iterator(); ++m)
        found.push_back((*m)[1]);
    return found;
}

App::App(Launch launch) : App(On::Nowhere, nullptr, nullptr, std::move(launch)) {}

App::App(const XDisplay& x, Launch launch) : App(On::X, &x, nullptr, std::move(launch)) {}

App::App(const Weston& weston, On on, Launch launch)
    : App(on, on == On::XWayland ? &weston.XWayland() : nullptr, &weston, std::move(launch)) {}

App::App(On on, const XDisplay* x, const Weston* weston, Launch launch) : m_on(on), m_x(x), m_weston(weston) {
    std::vector<std::string> argv = launch.program.empty() ? std::vector<std::string>{TARNVEL_BINARY}
                                                           : launch.program,
                             env = CleanEnvironment();
    argv.insert(argv.end(), launch.args.begin(), launch.args.end());
    if (m_x != nullptr)
        env.push_back("DISPLAY=" + m_x->Display());
    else if (!launch.display.empty())
        env.push_back("DISPLAY=" + launch.display);
    if (m_on == On::Wayland) {
        env.push_back("WAYLAND_DISPLAY=" + m_weston->Socket());
        env.push_back("XDG_RUNTIME_DIR=" + m_weston->RuntimeDir().string());
        env.push_back("WAYLAND_DEBUG=client");
    }
    for (const std::string& e : launch.env) {
        const std::string name = e.substr(0, e.find('=') + 1);
        std::erase_if(env, [&](const std::string& v) { return v.starts_with(name); });
        if (e != name)
            env.push_back(e);
    }
    m_child = std::make_unique<Child>(argv, env);
}

std::string App::Failure() {
    const std::string err = Output("stderr");
    const std::string status = ExitedWith(m_child->Running() ? std::nullopt : Wait(), 0).message();
    return status + "\n" + err.substr(err.size() > 2000 ? err.size() - 2000 : 0);
}

// On an X server, the window is there once it is mapped: with no window manager, it takes the keyboard
// with each key. On Weston, the compositor shows a window before it gives it the keyboard.
::testing::AssertionResult App::Shown() {
    if ((m_x != nullptr && m_x->Display().empty()) || (m_weston != nullptr && !m_weston->Ready()))
        return ::testing::AssertionFailure() << "the display server did not start";
    const auto shown = [&] {
        switch (m_on) {
        case On::X:
        case On::XWayland: {
            const std::vector<std::string> main = m_x->Find("^Circuit Board");
            m_window = main.empty() ? std::string() : main[0];
            // Weston's window manager gives the window the X focus once the compositor has given
            // XWayland the keyboard for it.
            return !m_window.empty() && (m_on == On::X || m_x->Focused() == m_window);
        }
        case On::Wayland:
            return Traced().FocusOn(0);
        case On::Nowhere:
            break;
        }
        return false;
    };
    if (WaitUntil([&] { return shown() || !Running(); }) && Running())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no window shown: " << Failure();
}

void App::Keys(const std::string& keys) const {
    if (m_on == On::X)
        m_x->Keys(m_window, keys);
    else if (m_weston != nullptr)
        m_weston->Keys(keys);
}

void App::TypeRequest(Request part) const {
    const std::vector<std::string>& steps = RequestSteps();
    if (steps.size() != 2) {
        ADD_FAILURE() << TARNVEL_REQUEST_KEYS << " holds " << steps.size() << " steps, not 2";
        return;
    }
    if (part != Request::ComponentAndCalculate)
        Keys(steps[0]);
    if (part != Request::Lengths)
        Keys(steps[1]);
}

std::vector<std::string> App::Boxes() const {
    return m_x != nullptr ? m_x->Find(kBoxTitle) : std::vector<std::string>{};
}

::testing::AssertionResult App::BoxUp() {
    const int n = m_answered + 1;
    const auto up = [&] {
        if (m_on == On::Wayland)
            return Traced().FocusOn(static_cast<std::size_t>(n));
        const std::vector<std::string> boxes = Boxes();
        return !boxes.empty() && (m_on == On::X || m_x->Focused() == boxes[0]);
    };
    if (m_on != On::Nowhere && WaitUntil([&] { return up() || !Running(); }) && Running())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no box " << n << ": " << Failure();
}

::testing::AssertionResult App::BackToMain() {
    const auto back = [&] {
        if (m_on == On::Wayland)
            return Traced().FocusOn(0);
        return Boxes().empty() && (m_on == On::X || m_x->Focused() == m_window);
    };
    if (WaitUntil([&] { return back() || !Running(); }) && Running())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the main window does not get the keyboard back: " << Failure();
}

::testing::AssertionResult App::AnswerBoxes(int count) {
    for (int i = 0; i < count; ++i) {
        if (auto up = BoxUp(); !up)
            return up;
        if (m_on == On::Wayland) {
            // The next box, or the dialog, has the keyboard next: a later surface, or the first.
            m_weston->Keys("Return");
        } else {
            const std::vector<std::string> box = Boxes();
            if (m_on == On::X)
                m_x->Keys(box[0], "Return");
            else
                m_weston->Keys("Return");
            if (!WaitUntil([&] { return Boxes() != box || !Running(); }) || !Running())
                return ::testing::AssertionFailure() << "box " << m_answered + 1 << " stays: " << Failure();
        }
        ++m_answered;
    }
    return BackToMain();
}

std::optional<int> App::End() {
    Keys("Escape");
    return Wait();
}

} // namespace e2e
