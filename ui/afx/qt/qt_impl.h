// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The window system on Qt Widgets: what the handles point to. Included only by the backend's own
// sources and the framework's tests.
#pragma once

#include "ui/afx/afxlayout.h"
#include "ui/afx/afxpicture.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxresource.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

struct xcb_connection_t;

struct AfxMenu {
    struct Item {
        UINT flags;
        UINT id;
        std::string text;
    };
    std::vector<Item> items;
};

struct AfxIcon {
    QPixmap large; // SM_CXICON × SM_CYICON
    QPixmap small;
};

struct AfxDC {
    QPainter painter;
    explicit AfxDC(QWidget* widget) : painter(widget) {}
};

// The executable: its name and the resources the loader found in it.
struct AfxModule {
    std::string name;
    afx::ResourceDirectory resources;
};

// A window: the dialog or one of its controls. Its procedure handles the messages of its class.
struct AfxWindow {
    using Proc = LRESULT (*)(AfxWindow* window, UINT message, WPARAM wParam, LPARAM lParam);

    // What only a dialog has.
    struct Dialog {
        AFXDLGPROC proc = nullptr; // what gets the dialog's messages (AfxDialogBox), and its context
        void* context = nullptr;
        std::vector<std::unique_ptr<AfxWindow>> children;
        std::unique_ptr<AfxMenu> systemMenu;
        HICON icons[2] = {nullptr, nullptr}; // ICON_SMALL, ICON_BIG
        QPaintEvent* paintEvent = nullptr;   // while a WM_PAINT is being handled
        std::unique_ptr<AfxDC> paintDC;      // between BeginPaint and EndPaint
        bool ended = false;
        INT_PTR result = -1;
    };

    QPointer<QWidget> widget;
    Proc proc = nullptr;
    int id = 0; // control ID; 0 for a dialog
    DWORD style = 0;
    AfxWindow* parent = nullptr;    // the dialog, for a control
    std::unique_ptr<Dialog> dialog; // for a dialog

    // The widget goes first (with its children), its last signals reaching no handler; then the
    // wrappers bound to the window are released.
    ~AfxWindow();
    AfxWindow* FindChild(int controlId) const;
};

namespace afx {

// The window behind a widget made by the framework, or nullptr.
AfxWindow* WindowOf(const QWidget* widget);

// A control's notification (EN_CHANGE, LBN_SELCHANGE, BN_CLICKED) to its dialog, as WM_COMMAND.
void Notify(AfxWindow* control, UINT code);

// The window procedures of the control classes and of dialogs.
LRESULT EditProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogProc(AfxWindow* w, UINT message, WPARAM wParam, LPARAM lParam);

// WM_GETTEXT and WM_GETTEXTLENGTH over a window's text; 0 for other messages.
LRESULT TextMessage(const QString& text, UINT message, WPARAM wParam, LPARAM lParam);

// Builds a dialog and its controls from a template. `proc` gets the dialog's messages, with `context`.
std::unique_ptr<AfxWindow> CreateDialogWindow(const afx::DialogTemplate& t, HINSTANCE module, QWidget* parent,
                                              AFXDLGPROC proc, void* context);
// The control of a template item, a child of `dialog` at `rect` (pixels).
QWidget* CreateControl(const afx::DialogItemTemplate& item, AfxWindow* control, QWidget* dialog, QRect rect,
                       HINSTANCE module);
// The dialog template `name` of the module, or nothing.
std::optional<afx::DialogTemplate> LoadDialogTemplate(HINSTANCE module, LPCSTR name);

// The dialog base units of a font: average character width and height in pixels (afxlayout.h).
QSize DialogBaseUnits(const QFont& font);
// A rectangle in dialog units, in pixels.
QRect DialogUnitsToPixels(const QSize& baseUnits, int x, int y, int cx, int cy);

// Opens the window's system menu at a global position and sends the chosen command.
void TrackSystemMenu(AfxWindow* dialog, const QPoint& globalPos);

// The font a dialog template asks for.
QFont TemplateFont(const afx::DialogTemplate& t);

// The bitmap resource `id` as stored, or a null image.
QImage LoadBitmapResource(HINSTANCE module, int id);

// A 16-colour picture in the colours of `palette` (afxpicture.h): black ink as the text colour, dark
// grey, light grey and the lightest grey as the dialog's shadow, face and light colours. Other
// colours, and pictures that are not palette images, are kept.
QImage MapPictureColours(const QImage& picture, const QPalette& palette);

// Lines one pixel wide fall between device pixels at fractional scales (1.25, 1.5, 1.75): drawn
// there, some sides of a frame vanish and others grow. At such a scale this switches `painter` to
// whole device pixels over the device pixels `rect` covers, and returns `rect` in them; at whole
// scales it leaves the painter as it is and returns `rect`.
QRect AlignToDevicePixels(QPainter& painter, const QRect& rect);

// `picture` enlarged by `scale` (device pixels per picture pixel) with each picture pixel spread
// over exactly the device area it covers: every pixel gets the same share of the result, and
// edges that fall inside a device pixel are blended evenly.
QImage EnlargeEvenly(const QImage& picture, QSizeF scale);

// Draws pixel art (bitmaps, icons) into `target`: at whole scales every picture pixel becomes a
// block of device pixels, at fractional ones the picture is enlarged evenly (EnlargeEvenly) on
// whole device pixels. The picture keeps its place and size.
void DrawPicture(QPainter& painter, const QRect& target, const QImage& picture);

// A decoded DIB as an image: palette indices for a bitmap, premultiplied ARGB for an icon's image.
QImage ToImage(const afx::Dib& dib);

QString ToQt(LPCSTR text);
std::string FromQt(const QString& text);

// Finds out, before the toolkit starts, whether it can show windows: Qt's X11 and Wayland platforms
// end the process when they cannot reach their display. Without QT_QPA_PLATFORM, a Wayland
// compositor is preferred to an X server. The probe's X connection stays open until the toolkit
// has its own: closing the only client of an X server resets it, and a connection made during the
// reset is refused.
class DisplayProbe {
public:
    DisplayProbe();
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool Reachable() const { return m_reachable; }
    // What is wrong when nothing is reachable, as one line ("cannot open display :1").
    const std::string& Problem() const { return m_problem; }
    // The toolkit platform to use, or empty for the toolkit's own choice.
    const std::string& Platform() const { return m_platform; }

private:
    void ProbeX11();
    xcb_connection_t* m_connection = nullptr;
    bool m_reachable = false;
    std::string m_problem;
    std::string m_platform;
};

// Whether the window system moves `window` on request (the system menu's Move): on X11 when the
// window manager serves _NET_WM_MOVERESIZE, never on Wayland.
bool CanMoveWindow(QWidget* window);
// Asks the window system to move `window`: the window manager's keyboard move, or its mouse move
// while a mouse button is held.
void MoveWindow(QWidget* window);

} // namespace afx
