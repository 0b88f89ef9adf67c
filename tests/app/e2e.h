// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// What the tests that run the real tarnvel binary share: child processes, an Xvfb of their own,
// xdotool and the window's pixels.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

extern char** environ;

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
inline std::vector<std::string> CleanEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e, name = entry.substr(0, entry.find('='));
        if (name != "DISPLAY" && name != "QT_QPA_PLATFORM" && name != "WAYLAND_DISPLAY" &&
            name != "XDG_RUNTIME_DIR" && name != "XDG_SESSION_TYPE")
            env.push_back(entry);
    }
    return env;
}

// What a shell command (sh syntax) writes to stdout; its stderr is dropped.
inline std::string CommandOutput(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        for (char chunk[256]; std::fgets(chunk, sizeof chunk, pipe) != nullptr;)
            output += chunk;
        pclose(pipe);
    }
    return output;
}

// A child process, stopped (SIGTERM) and reaped at the latest when this object goes; it also dies
// with the test process. It writes its stdout and stderr to a private temporary directory, which
// is also its XDG_RUNTIME_DIR unless `env` names one. `keepFd` stays open for it.
class Child {
public:
    Child(std::vector<std::string> args, std::vector<std::string> env, int keepFd = -1) {
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
    ~Child() {
        if (m_pid > 0 && !m_status) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        std::filesystem::remove_all(m_dir);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Running() {
        int status = 0;
        if (!m_status && m_pid > 0 && waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_status = status;
        return !m_status;
    }
    // The wait status once the process has ended, or nothing if it is still running after a while.
    std::optional<int> Wait() {
        WaitUntil([this] { return !Running(); });
        return m_status;
    }
    // Its private directory.
    const std::filesystem::path& Dir() const { return m_dir; }
    // What it wrote to "stdout" or "stderr".
    std::string Output(const char* stream) const {
        std::ifstream in(m_dir / stream);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    std::filesystem::path m_dir;
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

inline ::testing::AssertionResult ExitedWith(const std::optional<int>& status, int code) {
    if (status && WIFEXITED(*status) && WEXITSTATUS(*status) == code)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "expected exit status " << code << ", got ";
    if (!status)
        return failure << "a process still running";
    if (WIFSIGNALED(*status))
        return failure << "signal " << WTERMSIG(*status);
    return failure << "exit status " << WEXITSTATUS(*status);
}

// An Xvfb of its own, on a display number Xvfb picks itself (-displayfd), so tests can run at once.
// -noreset: else each client that leaves as the last one resets the server, and a client
// connecting during the reset is refused.
class XServer {
public:
    XServer() {
        close(m_pipe[1]);
        // Once it accepts clients, Xvfb writes the number, then a newline; if the pipe is closed
        // in between, it dies.
        std::string number;
        pollfd ready{m_pipe[0], POLLIN, 0};
        char c = 0;
        while (poll(&ready, 1, 30000) == 1 && read(m_pipe[0], &c, 1) == 1 && c != '\n')
            number += c;
        if (c == '\n' && !number.empty())
            m_display = ":" + number;
        close(m_pipe[0]);
    }
    const std::string& Display() const { return m_display; }

    // Runs xdotool with `args` (shell syntax) against this display; returns its stdout.
    std::string Xdotool(const std::string& args) const {
        return CommandOutput("DISPLAY=" + m_display + " xdotool " + args);
    }
    // A window's position on the screen and its size: x, y, width, height.
    std::array<int, 4> Geometry(const std::string& id) const {
        std::istringstream lines(Xdotool("getwindowgeometry --shell " + id));
        std::array<int, 4> geometry{};
        const char* const names[] = {"X=", "Y=", "WIDTH=", "HEIGHT="};
        for (std::string line; std::getline(lines, line);)
            for (std::size_t i = 0; i < geometry.size(); ++i)
                if (line.rfind(names[i], 0) == 0)
                    geometry[i] = std::stoi(line.substr(std::strlen(names[i])));
        return geometry;
    }
    // The ids of the mapped windows whose title matches the regular expression `title`, or (no
    // `title`) of all mapped windows of tarnvel.
    std::vector<std::string> Find(const std::string& title = "") const {
        std::vector<std::string> ids;
        std::istringstream lines(Xdotool("search --onlyvisible " +
                                         (title.empty() ? "--class tarnvel" : "--name '" + title + "'")));
        for (std::string id; std::getline(lines, id);)
            ids.push_back(id);
        return ids;
    }
    // The window's pixels, once the program has handled every input sent before this call and painted
    // what follows from it. The barrier is an expose: a window of our own covers the program's window,
    // filled with a colour the dialogs never use, and goes away again; X queues the expose behind the
    // input already sent, and the program's windows have no background for the server to fill in, so
    // the colour stays until the program repaints. Once no pixel of it is left, the picture is current.
    std::string Pixels(const std::string& id) const {
        xcb_connection_t* c = xcb_connect(m_display.c_str(), nullptr);
        std::string pixels;
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
                    pixels = Image(c, window, size->width, size->height);
                    return !pixels.empty() && !Contains(pixels, kCover);
                });
            }
            free(origin);
            free(size);
        }
        xcb_disconnect(c);
        return pixels;
    }
    std::string Title(const std::string& id) const {
        const std::string line = Xdotool("getwindowname " + id);
        return line.empty() ? line : line.substr(0, line.size() - 1);
    }
    // Gives the window the keyboard focus and presses the keys (xdotool key names).
    void Keys(const std::string& id, const std::string& keys) const {
        Xdotool("windowfocus --sync " + id + " key --clearmodifiers " + keys);
    }

private:
    static constexpr std::uint32_t kCover = 0xFF00FF; // magenta

    static std::string Image(xcb_connection_t* c, xcb_window_t window, std::uint16_t width,
                             std::uint16_t height) {
        std::string pixels;
        if (xcb_get_image_reply_t* image = xcb_get_image_reply(
                c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr)) {
            pixels.assign(reinterpret_cast<const char*>(xcb_get_image_data(image)),
                          static_cast<std::size_t>(xcb_get_image_data_length(image)));
            free(image);
        }
        return pixels;
    }
    // Whether a 32-bit-per-pixel image holds a pixel of the colour.
    static bool Contains(const std::string& pixels, std::uint32_t colour) {
        for (std::size_t i = 0; i + 4 <= pixels.size(); i += 4) {
            std::uint32_t p = 0;
            std::memcpy(&p, pixels.data() + i, 4);
            if ((p & 0xFFFFFF) == colour)
                return true;
        }
        return false;
    }

    static std::array<int, 2> Pipe() {
        std::array<int, 2> fds{-1, -1};
        return pipe2(fds.data(), O_CLOEXEC) == 0 ? fds : std::array<int, 2>{-1, -1};
    }
    std::array<int, 2> m_pipe = Pipe();
    Child m_server{{"Xvfb", "-displayfd", std::to_string(m_pipe[1]), "-nolisten", "tcp", "-noreset",
                    "-screen", "0", "1280x1024x24"},
                   CleanEnvironment(),
                   m_pipe[1]};
    std::string m_display;
};

// tarnvel started with `args` on `display` (empty: DISPLAY unset), with `extraEnv` added ("NAME="
// unsets NAME).
inline std::unique_ptr<Child> StartTarnvel(const std::vector<std::string>& args, const std::string& display,
                                           const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> argv{TARNVEL_BINARY}, env = CleanEnvironment();
    argv.insert(argv.end(), args.begin(), args.end());
    if (!display.empty())
        env.push_back("DISPLAY=" + display);
    for (const std::string& e : extraEnv) {
        const std::string name = e.substr(0, e.find('=') + 1);
        std::erase_if(env, [&](const std::string& v) { return v.rfind(name, 0) == 0; });
        if (e != name)
            env.push_back(e);
    }
    return std::make_unique<Child>(argv, env);
}

} // namespace e2e
