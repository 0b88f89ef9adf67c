// The framework's implementation on Qt Widgets: what the handles point to. Included only by the
// framework's own sources and its tests.
#pragma once

#include "resources/dialogs.h"
#include "ui/afx/afxmenu.h"
#include "ui/afx/afxwnd.h"

#include <QByteArrayView>
#include <QDialog>
#include <QIcon>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class CDialog;

struct AfxMenu {
    struct Item {
        UINT flags;
        UINT id;
        std::string text;
    };
    std::vector<Item> items;
    CMenu wrapper;
};

struct AfxIcon {
    int id = 0;
    QPixmap large; // SM_CXICON × SM_CYICON
    QPixmap small;
    QIcon icon; // both sizes
};

struct AfxDC {
    QPainter* painter = nullptr;
    QWidget* widget = nullptr;
};

// A window: the dialog or one of its controls.
struct AfxWindow {
    QPointer<QWidget> widget;
    int id = 0; // control ID; 0 for a dialog
    res::ControlClass cls = res::ControlClass::Static;
    DWORD style = 0;
    AfxWindow* parent = nullptr; // the dialog, for a control
    CWnd* handler = nullptr;     // the object whose WindowProc gets this window's messages
    std::vector<CWnd*> attached; // wrappers whose m_hWnd is this window

    // A dialog's own state.
    std::vector<std::unique_ptr<AfxWindow>> children;
    std::unique_ptr<AfxMenu> systemMenu;
    HICON icons[2] = {nullptr, nullptr}; // ICON_SMALL, ICON_BIG
    QPaintEvent* paintEvent = nullptr;   // while a WM_PAINT is being handled
    bool ended = false;

    ~AfxWindow();
    bool IsDialog() const { return parent == nullptr; }
    AfxWindow* FindChild(int controlId) const;
};

namespace afx {

// The window behind a widget made by the framework, or nullptr.
AfxWindow* WindowOf(const QWidget* widget);

// Sends a message to a window: to the handler's WindowProc where the window has one, else to the
// window's default processing.
LRESULT Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// A control's notification (EN_CHANGE, LBN_SELCHANGE, BN_CLICKED) to its dialog, as WM_COMMAND.
void Notify(AfxWindow* control, UINT code);

// Default processing of a message by the window system.
LRESULT DefaultProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Default processing of the messages of a dialog window (icons, system commands, closing, painting).
LRESULT DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Builds a dialog and its controls from a template. `handler` gets the dialog's messages.
std::unique_ptr<AfxWindow> CreateDialogWindow(const res::DialogTemplate& t, QWidget* parent, CWnd* handler);

// The dialog base units of a font: average character width and height in pixels.
QSize DialogBaseUnits(const QFont& font);
// A rectangle in dialog units, in pixels.
QRect DialogUnitsToPixels(const QSize& baseUnits, int x, int y, int cx, int cy);

// Opens the window's system menu at a global position and sends the chosen command.
void TrackSystemMenu(AfxWindow* dialog, const QPoint& globalPos);

// The font a dialog template asks for.
QFont TemplateFont(const res::DialogTemplate& t);

// The image resource `id`, with the light grey of a 16-colour picture taken as the dialog's face
// colour (as bitmaps in dialogs are shown), or a null image.
QPixmap LoadBitmapResource(int id, const QColor& face);

// An uncompressed 1-, 4- or 8-bit DIB (an icon's with its AND mask), or a null image. `bitsOffset`:
// where the pixels begin, 0 = right after the colour table. Decoding here, rather than through Qt's
// image plugins, keeps the plugins from being loaded at start-up.
QImage ReadDib(QByteArrayView dib, bool icon, qsizetype bitsOffset = 0);

QString ToQt(LPCSTR text);
std::string FromQt(const QString& text);

// The name used as the title of message boxes.
QString ApplicationTitle();

} // namespace afx
