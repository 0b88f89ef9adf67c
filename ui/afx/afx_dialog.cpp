// Dialogs built from templates, their keyboard and window behaviour, CDialog, DDX_Control and
// AfxMessageBox.
#include "ui/afx/afx_impl.h"
#include "ui/afx/afxapp.h"
#include "ui/afx/afxdlg.h"

#include "resources/strings.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <QtEndian>

#include <climits>
#include <stdexcept>
#include <string>

namespace afx {

namespace {

class DialogWidget : public QDialog {
public:
    DialogWidget(AfxWindow* window, QWidget* parent) : QDialog(parent), m_window(window) {
        // Alt+Space opens the system menu and Alt+F4 closes, as the window system's own keys do.
        auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
        connect(menuKey, &QShortcut::activated, this,
                [this] { TrackSystemMenu(m_window, mapToGlobal(QPoint(0, 0))); });
        auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
        connect(closeKey, &QShortcut::activated, this,
                [this] { Send(m_window, WM_SYSCOMMAND, SC_CLOSE, 0); });
    }

    void DefaultPaint(QPaintEvent* event) { QDialog::paintEvent(event); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            // A focused push button takes Enter; anywhere else Enter is the default command,
            // IDOK, whether or not the default button is visible.
            int command = IDOK;
            if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget()))
                if (AfxWindow* w = WindowOf(button); w != nullptr && w->parent == m_window)
                    command = w->id;
            Send(m_window, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(command), BN_CLICKED), 0);
            return;
        }
        if (plain && event->key() == Qt::Key_Escape) {
            Send(m_window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        QWidget::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override {
        // The close box is the system command Close; whether and how the dialog ends is up to
        // the program (by default: IDCANCEL).
        event->ignore();
        if (!m_window->ended)
            Send(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    void paintEvent(QPaintEvent* event) override {
        QPaintEvent* outer = m_window->paintEvent;
        m_window->paintEvent = event;
        Send(m_window, WM_PAINT, 0, 0);
        m_window->paintEvent = outer;
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        // A right click on the dialog's background (labels and group boxes let clicks through,
        // as they do on Windows) opens the system menu.
        if (event->reason() == QContextMenuEvent::Mouse && childAt(event->pos()) == nullptr)
            TrackSystemMenu(m_window, event->globalPos());
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange)
            update();
        QDialog::changeEvent(event);
    }

private:
    AfxWindow* m_window;
};

// A list box: notifies LBN_SELCHANGE when the user changes the selection, and never lets a click
// take the selection away (a single-selection list box keeps its row).
class ListBoxWidget : public QListWidget {
public:
    ListBoxWidget(AfxWindow* window, QWidget* parent) : QListWidget(parent) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(this, &QListWidget::itemSelectionChanged, this, [window] { Notify(window, LBN_SELCHANGE); });
    }

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
        if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
            return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
        return flags;
    }
};

// A group box as Windows draws it: an etched frame whose top line runs through the middle of the
// title, and nothing inside, so that the dialog's face shows through.
class GroupBoxWidget : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(frame.adjusted(1, 1, 0, 0));
        if (title().isEmpty())
            return;
        const int x = metrics.averageCharWidth();
        const QRect text(x, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(text, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         title());
    }
};

// A static control as Windows draws it: text wraps at blanks, and a word wider than the control
// breaks where it must rather than being cut off; a picture is shown at its own size.
class StaticTextWidget : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (const QPixmap picture = pixmap(); !picture.isNull()) {
            // 16-colour pixel art: enlarged on high-DPI screens pixel for pixel, never smoothed.
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.drawPixmap(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()), picture);
            return;
        }
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(contentsRect()), text(), option);
    }
};

int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

QWidget* CreateControl(const res::DialogItem& item, AfxWindow* control, QWidget* dialog, const QSize& base) {
    QWidget* widget = nullptr;
    QRect rect = DialogUnitsToPixels(base, item.x, item.y, item.cx, item.cy);
    bool clickThrough = false;
    switch (item.cls) {
    case res::ControlClass::Button:
        if ((item.style & BS_TYPEMASK) == BS_GROUPBOX) {
            widget = new GroupBoxWidget(ToQt(item.text), dialog);
            clickThrough = true;
        } else {
            auto* button = new QPushButton(ToQt(item.text), dialog);
            button->setAutoDefault(false);
            button->setDefault((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            QObject::connect(button, &QPushButton::clicked, button,
                             [control] { Notify(control, BN_CLICKED); });
            widget = button;
        }
        break;
    case res::ControlClass::Edit: {
        auto* edit = new QLineEdit(dialog);
        edit->setFrame((item.style & WS_BORDER) != 0);
        edit->setReadOnly((item.style & ES_READONLY) != 0);
        edit->setMaxLength(INT_MAX);
        if (edit->isReadOnly()) {
            // Read-only edits show the dialog's face, as on Windows.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
        }
        QObject::connect(edit, &QLineEdit::textEdited, edit, [control] { Notify(control, EN_CHANGE); });
        widget = edit;
        break;
    }
    case res::ControlClass::Static: {
        auto* label = new StaticTextWidget(dialog);
        const DWORD type = item.style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) {
            // Picture statics take the size of their picture.
            QPixmap picture;
            if (type == SS_ICON) {
                HICON icon = LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(item.imageId), RT_GROUP_ICON),
                                       MAKEINTRESOURCEA(item.imageId));
                if (icon != nullptr)
                    picture = icon->large;
            } else {
                picture = LoadBitmapResource(item.imageId, dialog->palette().color(QPalette::Window));
            }
            label->setPixmap(picture);
            rect.setSize(picture.deviceIndependentSize().toSize());
        } else {
            label->setTextFormat(Qt::PlainText);
            label->setText(ToQt(item.text));
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
        clickThrough = true;
        widget = label;
        break;
    }
    case res::ControlClass::ListBox:
        widget = new ListBoxWidget(control, dialog);
        break;
    }
    widget->setGeometry(rect);

    if (clickThrough) {
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setObjectName(QString::fromLatin1(item.symbol));
    widget->setProperty("controlId", item.id);
    widget->setProperty("afxWindow", QVariant::fromValue<void*>(control));
    widget->setAccessibleName(ToQt(item.accessibleName ? item.accessibleName : item.text));
    if (!(item.style & WS_VISIBLE))
        widget->setVisible(false);
    return widget;
}

} // namespace

QFont TemplateFont(const res::DialogTemplate& t) {
    // The template's point size at the screen's resolution, rounded to whole pixels as Windows does.
    // Windows fonts absent here fall back to Liberation Sans, metrically the same as Arial and close
    // to MS Sans Serif.
    QFont font;
    font.setFamilies({QString::fromLatin1(t.fontName), QStringLiteral("Liberation Sans")});
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    font.setPixelSize(MulDiv(t.pointSize, dpi, 72));
    font.setWeight(t.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((width / 26 + 1) / 2, metrics.height());
}

QRect DialogUnitsToPixels(const QSize& base, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, base.width(), 4), MulDiv(y, base.height(), 8), MulDiv(cx, base.width(), 4),
                 MulDiv(cy, base.height(), 8));
}

QPixmap LoadBitmapResource(int id, const QColor& face) {
    // A palette BMP is decoded here, so that start-up loads no image plugin.
    const QString path = QStringLiteral(":/res/bitmap/%1").arg(id);
    QImage image;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        if (data.size() > 14 && data.startsWith("BM"))
            image = ReadDib(QByteArrayView(data).sliced(14), false,
                            qFromLittleEndian<quint32>(data.constData() + 10) - 14);
    }
    if (image.isNull())
        image.load(path);
    if (image.isNull())
        return {};
    if (image.format() == QImage::Format_Indexed8) {
        QList<QRgb> colors = image.colorTable();
        for (QRgb& c : colors)
            if (c == qRgb(0xC0, 0xC0, 0xC0))
                c = face.rgb();
        image.setColorTable(colors);
    }
    return QPixmap::fromImage(image);
}

void TrackSystemMenu(AfxWindow* dialog, const QPoint& globalPos) {
    if (dialog == nullptr || dialog->systemMenu == nullptr || dialog->ended)
        return;
    QMenu menu(dialog->widget);
    menu.setObjectName(QStringLiteral("systemMenu"));
    for (const AfxMenu::Item& item : dialog->systemMenu->items) {
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(ToQt(item.text.c_str()));
        action->setData(item.id);
    }
    QAction* chosen = menu.exec(globalPos);
    if (chosen != nullptr)
        Send(dialog, WM_SYSCOMMAND, chosen->data().toUInt(),
             MAKELPARAM(static_cast<unsigned>(globalPos.x()), static_cast<unsigned>(globalPos.y())));
}

std::unique_ptr<AfxWindow> CreateDialogWindow(const res::DialogTemplate& t, QWidget* parent, CWnd* handler) {
    auto window = std::make_unique<AfxWindow>();
    auto* dialog = new DialogWidget(window.get(), parent);
    window->widget = dialog;
    window->handler = handler;
    window->style = t.style;
    dialog->setProperty("afxWindow", QVariant::fromValue<void*>(window.get()));
    dialog->setProperty("controlId", t.id);
    dialog->setObjectName(QStringLiteral("dialog%1").arg(t.id));

    // An application window (the main dialog) is a top-level window of its own for the desktop:
    // listed by docks and task bars, not transient for anything.
    Qt::WindowFlags flags = ((t.exStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog) |
                            Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (t.style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setWindowTitle(ToQt(t.title));

    const QFont font = TemplateFont(t);
    dialog->setFont(font);
    const QSize base = DialogBaseUnits(font);
    dialog->setFixedSize(DialogUnitsToPixels(base, t.x, t.y, t.cx, t.cy).size());

    if (t.style & WS_SYSMENU) {
        // The standard entries of a modal-frame dialog's system menu.
        window->systemMenu = std::make_unique<AfxMenu>();
        window->systemMenu->wrapper.m_hMenu = window->systemMenu.get();
        window->systemMenu->items.push_back({MF_STRING, SC_MOVE, "&Move"});
        window->systemMenu->items.push_back({MF_STRING, SC_CLOSE, "&Close\tAlt+F4"});
    }

    QWidget* previousTabStop = nullptr;
    std::vector<QWidget*> groupBoxes;
    for (const res::DialogItem& item : t.items) {
        auto control = std::make_unique<AfxWindow>();
        control->id = item.id;
        control->cls = item.cls;
        control->style = item.style;
        control->parent = window.get();
        QWidget* widget = CreateControl(item, control.get(), dialog, base);
        control->widget = widget;
        if (item.style & WS_TABSTOP) {
            if (previousTabStop != nullptr)
                QWidget::setTabOrder(previousTabStop, widget);
            previousTabStop = widget;
        }
        if (item.cls == res::ControlClass::Button && (item.style & BS_TYPEMASK) == BS_GROUPBOX)
            groupBoxes.push_back(widget);
        window->children.push_back(std::move(control));
    }
    // Group boxes frame other controls and lie beneath them.
    for (QWidget* group : groupBoxes)
        group->lower();
    return window;
}

LRESULT DialogProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = w->widget;
    switch (message) {
    case WM_SETICON: {
        const int which = wParam == ICON_BIG ? 1 : 0;
        HICON old = w->icons[which];
        w->icons[which] = reinterpret_cast<HICON>(lParam);
        QIcon icon;
        for (HICON h : {w->icons[1], w->icons[0]})
            if (h != nullptr)
                for (const QPixmap& p : {h->large, h->small})
                    if (!p.isNull())
                        icon.addPixmap(p);
        widget->setWindowIcon(icon);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(w->icons[wParam == ICON_BIG ? 1 : 0]);
    case WM_ICONERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (dc != nullptr && dc->painter != nullptr)
            dc->painter->fillRect(widget->rect(), widget->palette().color(QPalette::Window));
        return 1;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            Send(w, WM_CLOSE, 0, 0);
            break;
        case SC_MOVE:
            if (QWindow* handle = widget->windowHandle())
                handle->startSystemMove();
            break;
        case SC_MINIMIZE:
            widget->showMinimized();
            break;
        default:
            break;
        }
        return 0;
    case WM_CLOSE:
        Send(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    case WM_PAINT:
        if (w->paintEvent != nullptr)
            static_cast<DialogWidget*>(widget)->DefaultPaint(w->paintEvent);
        return 0;
    default:
        return 0;
    }
}

} // namespace afx

// ---------------------------------------------------------------------------------------------
// CDialog

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    const res::DialogTemplate* t = res::FindDialog(static_cast<int>(m_nIDTemplate));
    if (t == nullptr)
        throw std::logic_error("CDialog::DoModal: no dialog template " + std::to_string(m_nIDTemplate));

    QWidget* parent = nullptr;
    if (m_pParentWnd != nullptr && m_pParentWnd->m_hWnd != nullptr)
        parent = m_pParentWnd->m_hWnd->widget;
    else
        parent = QApplication::activeModalWidget();

    std::unique_ptr<AfxWindow> window = afx::CreateDialogWindow(*t, parent, this);
    Attach(window.get());
    window->handler = this;
    // Whatever happens, the window goes with this call and the wrappers are released.
    struct Destroy {
        std::unique_ptr<AfxWindow>& window;
        ~Destroy() {
            // The widget and its controls first, their last messages going to no handler.
            window->handler = nullptr;
            delete window->widget.data();
            window.reset();
        }
    } destroy{window};

    m_nModalResult = -1;
    const BOOL setFocus = OnInitDialog();
    if (!window->ended) {
        auto* dialog = static_cast<QDialog*>(window->widget.data());
        // A dialog placed at (0, 0) is centred on its owner, or on the screen.
        const QRect area = parent ? parent->window()->frameGeometry()
                                  : (dialog->screen() ? dialog->screen()->availableGeometry() : QRect());
        if (!area.isEmpty())
            dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
        if (setFocus) {
            for (const auto& child : window->children) {
                QWidget* w = child->widget;
                if ((child->style & WS_TABSTOP) && w->isVisibleTo(dialog) && w->isEnabled()) {
                    w->setFocus(Qt::OtherFocusReason);
                    break;
                }
            }
        }
        dialog->exec();
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_hWnd == nullptr)
        return;
    m_hWnd->ended = true;
    static_cast<QDialog*>(m_hWnd->widget.data())->done(nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr)
        return; // bound already
    HWND dialog = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->m_hWnd : nullptr;
    HWND child = dialog ? dialog->FindChild(nIDC) : nullptr;
    if (child == nullptr)
        throw std::logic_error("DDX_Control: the dialog has no control with ID " + std::to_string(nIDC));
    rControl.Attach(child);
}

int AfxMessageBox(LPCSTR lpszText, UINT /*nType*/, UINT /*nIDHelp*/) {
    // Owned by the active dialog, so that it is centred on it and blocks it.
    QMessageBox box(QMessageBox::NoIcon, afx::ApplicationTitle(), afx::ToQt(lpszText), QMessageBox::Ok,
                    QApplication::activeModalWidget());
    box.setObjectName(QStringLiteral("AfxMessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}
