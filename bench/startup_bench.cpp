// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Start-up time and peak memory of the real program against a bare Qt dialog program, in a real X
// server: startup_bench [--runs N] REAL BARE
//
// One Xvfb serves all runs. Each run measures from just before fork() to the MapNotify of the
// child's top-level window (seen through SubstructureNotify on the root window), then ends the
// child with SIGTERM and takes its peak RSS from wait4(). One unmeasured warm-up run of each
// program comes first; then the two alternate. Prints every run, the medians and the ratios
// real/bare. Target: ≤ 1.15 in both.
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "startup_bench: %s\n", what.c_str());
    std::exit(2);
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int keepFd,
            int outFd) {
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        Die("fork failed");
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        if (outFd >= 0) {
            dup2(outFd, 1);
            dup2(outFd, 2);
        }
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepFd)
                close(fd);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return pid;
}

// Starts Xvfb on a free display, told through -displayfd; returns the display number.
int StartXvfb(pid_t& pid) {
    int fds[2];
    if (pipe(fds) != 0)
        Die("pipe failed");
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        env.emplace_back(*e);
    const int devNull = open("/dev/null", O_WRONLY);
    pid = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-noreset", "-nolisten", "tcp",
                 "-screen", "0", "1280x1024x24"},
                env, fds[1], devNull);
    close(devNull);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (poll(&p, 1, 30000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        Die("Xvfb did not start (is it installed?)");
    return std::stoi(number);
}

struct Run {
    double ms = 0;
    long rssKiB = 0;
};

class Harness {
public:
    Harness(int display, std::filesystem::path dir) : m_dir(std::move(dir)) {
        const std::string name = ":" + std::to_string(display);
        m_connection = xcb_connect(name.c_str(), nullptr);
        if (xcb_connection_has_error(m_connection))
            Die("cannot connect to Xvfb on " + name);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        if (xcb_request_check(m_connection, xcb_change_window_attributes_checked(m_connection, m_root,
                                                                                 XCB_CW_EVENT_MASK, &mask)))
            Die("cannot select SubstructureNotify on the root window");
        m_pidAtom = Atom("_NET_WM_PID");
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e, key = entry.substr(0, entry.find('='));
            if (key != "DISPLAY" && key != "QT_QPA_PLATFORM" && key != "WAYLAND_DISPLAY" &&
                key != "XDG_RUNTIME_DIR")
                m_env.push_back(entry);
        }
        m_env.push_back("DISPLAY=" + name);
        m_env.push_back("XDG_RUNTIME_DIR=" + m_dir.string());
    }
    ~Harness() { xcb_disconnect(m_connection); }

    Run Measure(const std::string& program) {
        // Nothing left over from the run before.
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection))
            std::free(e);
        const std::string log = (m_dir / "child.log").string();
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

        const Clock::time_point start = Clock::now();
        const pid_t pid = Spawn({program}, m_env, -1, out);
        close(out);
        const Clock::time_point mapped = WaitForMap(pid);
        const Run run{std::chrono::duration<double, std::milli>(mapped - start).count(), 0};

        kill(pid, SIGTERM);
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) != pid)
            Die("wait4 failed");
        return {run.ms, usage.ru_maxrss};
    }

private:
    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return atom;
    }

    // The process that owns a window, as it says in _NET_WM_PID, or 0.
    pid_t OwnerOf(xcb_window_t window) {
        auto* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        pid_t pid = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) == 4)
            pid = static_cast<pid_t>(*static_cast<uint32_t*>(xcb_get_property_value(reply)));
        std::free(reply);
        return pid;
    }

    // The moment a top-level window of `pid` is mapped.
    Clock::time_point WaitForMap(pid_t pid) {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
        pollfd p{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(m_connection)) {
                const Clock::time_point now = Clock::now();
                bool ours = false;
                if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                    auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
                    ours = map->event == m_root && !map->override_redirect && OwnerOf(map->window) == pid;
                }
                std::free(e);
                if (ours)
                    return now;
            }
            if (xcb_connection_has_error(m_connection))
                Die("lost the connection to Xvfb");
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                Die("the program ended before it showed a window; see " + (m_dir / "child.log").string());
            if (Clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                Die("no window within 30 s");
            }
            poll(&p, 1, 20);
        }
    }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
    std::vector<std::string> m_env;
    std::filesystem::path m_dir;
};

template <typename F> double Median(const std::vector<Run>& runs, F value) {
    std::vector<double> v;
    for (const Run& r : runs)
        v.push_back(value(r));
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 15;
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            programs.emplace_back(argv[i]);
    }
    if (programs.size() != 2) {
        std::fprintf(stderr, "usage: startup_bench [--runs N] REAL BARE\n");
        return 2;
    }
    for (auto& p : programs)
        p = std::filesystem::absolute(p).string();

    char pattern[] = "/tmp/startup-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        Die("mkdtemp failed");
    const std::filesystem::path dir = pattern;

    pid_t xvfb = 0;
    const int display = StartXvfb(xvfb);
    std::vector<Run> real, bare;
    {
        Harness harness(display, dir);
        harness.Measure(programs[0]); // warm-up: page cache, font cache
        harness.Measure(programs[1]);
        std::printf("%-4s %12s %12s %12s %12s\n", "run", "real ms", "real KiB", "bare ms", "bare KiB");
        for (int i = 0; i < runs; ++i) {
            real.push_back(harness.Measure(programs[0]));
            bare.push_back(harness.Measure(programs[1]));
            std::printf("%-4d %12.1f %12ld %12.1f %12ld\n", i + 1, real.back().ms, real.back().rssKiB,
                        bare.back().ms, bare.back().rssKiB);
            std::fflush(stdout);
        }
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    std::filesystem::remove_all(dir);

    const auto ms = [](const Run& r) { return r.ms; };
    const auto kib = [](const Run& r) { return static_cast<double>(r.rssKiB); };
    const double realMs = Median(real, ms), bareMs = Median(bare, ms);
    const double realKiB = Median(real, kib), bareKiB = Median(bare, kib);
    std::printf("\nmedian of %d runs    real %8.1f ms %9.0f KiB\n", runs, realMs, realKiB);
    std::printf("                     bare %8.1f ms %9.0f KiB\n", bareMs, bareKiB);
    std::printf("real / bare          time %.3f    peak RSS %.3f    (target <= 1.15 each)\n", realMs / bareMs,
                realKiB / bareKiB);
    return 0;
}
