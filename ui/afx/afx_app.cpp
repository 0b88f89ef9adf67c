// The application object, process start-up, resources, strings, menus, painting and the C runtime.
#include "ui/afx/afx_impl.h"
#include "ui/afx/afxapp.h"
#include "ui/afx/afxcrt.h"
#include "ui/afx/afxmenu.h"

#include "resources/resource.h"
#include "resources/strings.h"
#include "resources/version.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QtEndian>

#include <xcb/xcb.h>

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <map>
#include <memory>

// ---------------------------------------------------------------------------------------------
// CString

BOOL CString::LoadStringA(UINT id) {
    const char* text = res::FindString(id);
    if (text == nullptr)
        return FALSE;
    m_text = text;
    return TRUE;
}

void CString::Format(LPCSTR format, ...) {
    // Formatting under the C locale, for this thread only and only for this call.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length >= 0) {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
        m_text = std::move(text);
    }
    va_end(again);
    uselocale(previous);
}

// ---------------------------------------------------------------------------------------------
// Menus and painting

CMenu* CMenu::FromHandle(HMENU hMenu) {
    return hMenu ? &hMenu->wrapper : nullptr;
}

BOOL CMenu::AppendMenuA(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    if (m_hMenu == nullptr)
        return FALSE;
    if (nFlags & MF_SEPARATOR)
        m_hMenu->items.push_back({MF_SEPARATOR, 0, ""});
    else
        m_hMenu->items.push_back({nFlags, static_cast<UINT>(nIDNewItem), lpszNewItem ? lpszNewItem : ""});
    return TRUE;
}

int CMenu::GetMenuItemCount() const {
    return m_hMenu ? static_cast<int>(m_hMenu->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
    if (m_hMenu == nullptr || nPos < 0 || nPos >= GetMenuItemCount())
        return static_cast<UINT>(-1);
    return m_hMenu->items[static_cast<std::size_t>(nPos)].id;
}

int CMenu::GetMenuStringA(UINT nIDItem, CString& text, UINT nFlags) const {
    text.Empty();
    if (m_hMenu == nullptr)
        return 0;
    const auto& items = m_hMenu->items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const bool match = (nFlags & MF_BYPOSITION) ? i == nIDItem : items[i].id == nIDItem;
        if (match && !(items[i].flags & MF_SEPARATOR)) {
            text = items[i].text.c_str();
            return text.GetLength();
        }
    }
    return 0;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    if (m_hDC == nullptr || m_hDC->painter == nullptr || hIcon == nullptr)
        return FALSE;
    m_hDC->painter->drawPixmap(QRect(x, y, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)),
                               hIcon->large);
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    // Painting is possible while the window handles a paint request; elsewhere this context
    // draws nothing.
    HWND w = pWnd ? pWnd->m_hWnd : nullptr;
    if (w == nullptr || w->widget == nullptr || w->paintEvent == nullptr)
        return;
    m_hDC = new AfxDC{new QPainter(w->widget), w->widget};
}

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) {
        delete m_hDC->painter;
        delete m_hDC;
    }
}

// ---------------------------------------------------------------------------------------------
// Resources

struct AfxModule {
    const char* name;
};

namespace afx {

QImage ReadDib(QByteArrayView dib, bool icon, qsizetype bitsOffset) {
    const auto* bytes = reinterpret_cast<const uchar*>(dib.data());
    if (dib.size() < 40 || qFromLittleEndian<quint32>(bytes) != 40)
        return {};
    const int width = qFromLittleEndian<qint32>(bytes + 4);
    const int height = qFromLittleEndian<qint32>(bytes + 8) / (icon ? 2 : 1);
    const int bits = qFromLittleEndian<quint16>(bytes + 14);
    quint32 colours = qFromLittleEndian<quint32>(bytes + 32);
    if (width <= 0 || width > 1024 || height <= 0 || height > 1024 ||
        qFromLittleEndian<quint32>(bytes + 16) != 0 || (bits != 1 && bits != 4 && bits != 8))
        return {}; // not an uncompressed palette picture
    if (colours == 0 || colours > (1u << bits))
        colours = 1u << bits;
    const qsizetype stride = (width * bits + 31) / 32 * 4;
    const qsizetype maskStride = (width + 31) / 32 * 4;
    if (bitsOffset == 0)
        bitsOffset = 40 + 4 * qsizetype(colours);
    if (bitsOffset < 40 + 4 * qsizetype(colours) ||
        dib.size() < bitsOffset + stride * height + (icon ? maskStride * height : 0))
        return {};
    QList<QRgb> palette(colours);
    for (quint32 i = 0; i < colours; ++i)
        palette[i] = qRgb(bytes[40 + 4 * i + 2], bytes[40 + 4 * i + 1], bytes[40 + 4 * i]);
    // Rows are stored bottom up.
    const auto index = [&](int x, int y) -> uint {
        const uchar* row = bytes + bitsOffset + stride * (height - 1 - y);
        const int bit = x * bits;
        return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
    };
    if (!icon) {
        QImage image(width, height, QImage::Format_Indexed8);
        image.setColorTable(palette);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.scanLine(y)[x] = static_cast<uchar>(index(x, y));
        if (const int x = qFromLittleEndian<qint32>(bytes + 24); x > 0)
            image.setDotsPerMeterX(x);
        if (const int y = qFromLittleEndian<qint32>(bytes + 28); y > 0)
            image.setDotsPerMeterY(y);
        return image;
    }
    // An icon's pixels are followed by its AND mask: 1 bit a pixel, set where the icon is transparent.
    const uchar* mask = bytes + bitsOffset + stride * height;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uchar* maskRow = mask + maskStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint i = index(x, y);
            out[x] = ((maskRow[x / 8] >> (7 - x % 8)) & 1) != 0 || i >= colours ? 0 : palette[i];
        }
    }
    return image;
}

} // namespace afx

namespace {

const AfxModule kExecutable{"tarnvel"};
CWinApp* g_app = nullptr;

// The images of an icon resource, in directory order. Palette pictures are decoded here, so that
// start-up loads no image plugin; any other icon goes through QImageReader.
QList<QImage> IconImages(int id) {
    const QString path = QStringLiteral(":/res/icon/%1").arg(id);
    QFile file(path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const int count = data.size() >= 6 && qFromLittleEndian<quint16>(bytes + 2) == 1
                          ? qFromLittleEndian<quint16>(bytes + 4)
                          : 0;
    QList<QImage> images;
    for (int i = 0; i < count && 6 + 16 * (i + 1) <= data.size(); ++i) {
        const qsizetype size = qFromLittleEndian<quint32>(bytes + 6 + 16 * i + 8);
        const qsizetype offset = qFromLittleEndian<quint32>(bytes + 6 + 16 * i + 12);
        if (offset > data.size() || size > data.size() - offset)
            break;
        const QImage image = afx::ReadDib(QByteArrayView(data).sliced(offset, size), true);
        if (image.isNull())
            break;
        images.push_back(image);
    }
    if (count > 0 && images.size() == count)
        return images;
    images.clear();
    QImageReader reader(path);
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        images.push_back(reader.read());
    }
    return images;
}

HICON LoadIconResource(int id) {
    // Icons are shared: loaded once, never destroyed.
    static auto* cache = new std::map<int, std::unique_ptr<AfxIcon>>;
    if (auto found = cache->find(id); found != cache->end())
        return found->second.get();
    auto icon = std::make_unique<AfxIcon>();
    icon->id = id;
    for (const QImage& image : IconImages(id)) {
        if (image.isNull())
            continue;
        if (image.width() == GetSystemMetrics(SM_CXICON))
            icon->large = QPixmap::fromImage(image);
        else if (image.width() == 16)
            icon->small = QPixmap::fromImage(image);
        icon->icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon->large.isNull())
        return nullptr;
    if (icon->small.isNull())
        icon->small = icon->large.scaled(16, 16);
    return (*cache)[id] = std::move(icon), (*cache)[id].get();
}

} // namespace

namespace afx {

QString ApplicationTitle() {
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pszAppName != nullptr)
        return ToQt(app->m_pszAppName);
    return QString::fromLatin1(res::kVersion.internalName);
}

} // namespace afx

HINSTANCE AfxGetInstanceHandle() {
    return &kExecutable;
}

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) {
    return &kExecutable;
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (hInstance != &kExecutable || !IS_INTRESOURCE(lpIconName))
        return nullptr;
    return LoadIconResource(static_cast<int>(reinterpret_cast<std::uintptr_t>(lpIconName)));
}

// ---------------------------------------------------------------------------------------------
// The application

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName ? lpszAppName : res::kVersion.internalName) {
    m_hInstance = &kExecutable;
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

BOOL CWinApp::Enable3dControls() {
    return TRUE;
}

void CWinApp::OnHelp() {}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return LoadIconA(m_hInstance, MAKEINTRESOURCEA(static_cast<int>(nIDResource)));
}

void AfxEnableControlContainer() {}

namespace {

// Qt's X11 platform ends the process when it cannot reach a display, so that is found out first.
// The probe's connection stays open until the toolkit has its own: closing the only client of an
// X server resets it, and a connection made during the reset is refused.
class DisplayProbe {
public:
    DisplayProbe() {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (!platform.isEmpty() && !platform.startsWith("xcb"))
            return; // another platform (offscreen, wayland, …) reports its own problems
        m_connection = xcb_connect(nullptr, nullptr);
        m_reachable = m_connection != nullptr && xcb_connection_has_error(m_connection) == 0;
    }
    ~DisplayProbe() {
        if (m_connection != nullptr)
            xcb_disconnect(m_connection);
    }
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    bool Reachable() const { return m_reachable; }

private:
    xcb_connection_t* m_connection = nullptr;
    bool m_reachable = true;
};

} // namespace

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    auto probe = std::make_unique<DisplayProbe>();
    if (!probe->Reachable()) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "%s: cannot open display %s\n", app->m_pszAppName,
                     display && *display ? display : "(DISPLAY is not set)");
        return 1;
    }
    // The toolkit sees the program name only: the command line belongs to no one here.
    static char programName[] = "tarnvel";
    static char* argv[] = {programName, nullptr};
    static int argc = 1;
    QApplication qtApp(argc, argv);
    probe.reset();
    QApplication::setApplicationName(QString::fromLatin1(res::kVersion.internalName));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3.%4")
                                            .arg(res::kVersion.fileVersion[0])
                                            .arg(res::kVersion.fileVersion[1])
                                            .arg(res::kVersion.fileVersion[2])
                                            .arg(res::kVersion.fileVersion[3]));
    QApplication::setDesktopFileName(QString::fromLatin1(res::kVersion.internalName));

    if (!app->InitInstance())
        return app->ExitInstance();
    QApplication::exec();
    return app->ExitInstance();
}

// ---------------------------------------------------------------------------------------------
// The C runtime

unsigned int _controlfp(unsigned int newValue, unsigned int mask) {
#if defined(__i386__)
    unsigned short cw = 0;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    if (mask & _MCW_PC) {
        // x87 precision control, bits 8–9: 00 = 24-bit, 10 = 53-bit, 11 = 64-bit.
        unsigned short pc = 0x300;
        if ((newValue & _MCW_PC) == _PC_53)
            pc = 0x200;
        else if ((newValue & _MCW_PC) == _PC_24)
            pc = 0x000;
        cw = static_cast<unsigned short>((cw & ~0x300) | pc);
        __asm__ volatile("fldcw %0" : : "m"(cw));
    }
    const unsigned bits = (cw >> 8) & 3;
    return bits == 2 ? _PC_53 : bits == 0 ? _PC_24 : _PC_64;
#else
    (void)newValue;
    (void)mask;
    return _PC_53;
#endif
}
