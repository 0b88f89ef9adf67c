// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT

// What the window system under the toolkit can do: which display the program can reach before the
// toolkit starts, and moving a window on request through the window manager.
#include "ui/afx/qt/qt_impl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace afx {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Whether a Wayland compositor accepts connections on `display` (a socket name in
// XDG_RUNTIME_DIR, or an absolute path).
bool WaylandReachable(const std::string& display) {
    std::filesystem::path socketPath = display;
    if (socketPath.is_relative()) {
        const std::string runtime = Environment("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        socketPath = std::filesystem::path(runtime) / display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath.string();
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool reached = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return reached;
}

bool WaylandPluginInstalled() {
    const std::filesystem::path plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString();
    std::error_code error;
    return std::filesystem::exists(plugins / "platforms" / "libqwayland-generic.so", error);
}

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_window_t root = reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
    std::free(reply);
    return root;
}

// Whether the running window manager lists _NET_WM_MOVERESIZE among the requests it serves.
bool X11WindowManagerMoves(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_window_t root = RootOf(connection, window);
    const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
    const xcb_atom_t moveResize = Atom(connection, "_NET_WM_MOVERESIZE");
    if (root == XCB_WINDOW_NONE || supported == XCB_ATOM_NONE || moveResize == XCB_ATOM_NONE)
        return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr);
    bool found = false;
    if (reply != nullptr && reply->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < count && !found; ++i)
            found = atoms[i] == moveResize;
    }
    std::free(reply);
    return found;
}

} // namespace

DisplayProbe::DisplayProbe() {
    const std::string platform = Environment("QT_QPA_PLATFORM");
    const std::string waylandDisplay = Environment("WAYLAND_DISPLAY");
    const bool waylandSession = Environment("XDG_SESSION_TYPE") == "wayland";
    // Without WAYLAND_DISPLAY a Wayland client connects to "wayland-0"; that is where the program
    // looks in a Wayland session or when the user chose the Wayland platform.
    const bool waylandChosen = platform.find("wayland") != std::string::npos;
    const std::string wayland = !waylandDisplay.empty()           ? waylandDisplay
                                : waylandSession || waylandChosen ? "wayland-0"
                                                                  : "";
    const std::string x11 = Environment("DISPLAY");
    m_problem = "cannot open display " + (x11.empty() ? std::string("(DISPLAY is not set)") : x11);
    if (!wayland.empty())
        m_problem += " or Wayland display " + wayland;

    if (platform.empty()) {
        // In a Wayland session the program runs natively; an X server is asked for only where
        // there is no compositor to reach (asking could start an XWayland for nothing).
        if (!wayland.empty() && WaylandPluginInstalled() && WaylandReachable(wayland)) {
            m_platform = "wayland";
            m_reachable = true;
            return;
        }
        ProbeX11();
        if (m_reachable)
            m_platform = "xcb";
        return;
    }
    // The platforms the user chose, tried in order as the toolkit does; a platform other than X11
    // and Wayland (offscreen, vnc, …) reports its own problems.
    std::size_t start = 0;
    while (start <= platform.size() && !m_reachable) {
        const std::size_t end = std::min(platform.find(';', start), platform.size());
        const std::string name = platform.substr(start, end - start);
        if (name.rfind("xcb", 0) == 0)
            ProbeX11();
        else if (name.rfind("wayland", 0) == 0)
            m_reachable = !wayland.empty() && WaylandReachable(wayland);
        else
            m_reachable = true;
        start = end + 1;
    }
}

void DisplayProbe::ProbeX11() {
    if (m_connection == nullptr)
        m_connection = xcb_connect(nullptr, nullptr);
    m_reachable = xcb_connection_has_error(m_connection) == 0;
}

DisplayProbe::~DisplayProbe() {
    if (m_connection != nullptr)
        xcb_disconnect(m_connection);
}

bool CanMoveWindow(QWidget* window) {
    // Only an X11 window manager moves a window on request; a Wayland compositor moves one only
    // while a mouse button is held on it, and other platforms (offscreen, vnc, …) not at all.
    xcb_connection_t* connection = X11Connection();
    return QGuiApplication::platformName() == QLatin1String("xcb") && connection != nullptr &&
           window != nullptr &&
           X11WindowManagerMoves(connection, static_cast<xcb_window_t>(window->window()->winId()));
}

void MoveWindow(QWidget* window) {
    QWindow* handle = window ? window->window()->windowHandle() : nullptr;
    if (handle == nullptr)
        return;
    xcb_connection_t* connection = X11Connection();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || connection == nullptr) {
        handle->startSystemMove();
        return;
    }
    // The window manager's move: with a held mouse button the window follows the pointer until the
    // button is released; otherwise (the menu's Move, chosen by key or click) the keyboard move,
    // in which the arrow keys and the pointer move the window and Enter or a click ends it.
    enum : uint32_t { kMove = 8, kMoveKeyboard = 10 };
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    uint32_t button = 0;
    for (uint32_t b = 1; b <= 3 && button == 0; ++b)
        if (held & (b == 1 ? Qt::LeftButton : b == 2 ? Qt::MiddleButton : Qt::RightButton))
            button = b;
    const QPoint pointer = QCursor::pos(handle->screen()) * handle->devicePixelRatio();
    const auto xid = static_cast<xcb_window_t>(handle->winId());
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xid;
    event.type = Atom(connection, "_NET_WM_MOVERESIZE");
    event.data.data32[0] = static_cast<uint32_t>(pointer.x());
    event.data.data32[1] = static_cast<uint32_t>(pointer.y());
    event.data.data32[2] = button != 0 ? kMove : kMoveKeyboard;
    event.data.data32[3] = button;
    event.data.data32[4] = 1; // from an application
    // The window manager takes the pointer over; it cannot while this program holds it.
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_send_event(connection, 0, RootOf(connection, xid),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

} // namespace afx
