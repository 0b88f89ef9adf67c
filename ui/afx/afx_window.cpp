// Message routing, CWnd and the messages of the controls.
#include "ui/afx/afx_impl.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Message maps

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, WPARAM wParam) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND && (e->nCode != HIWORD(wParam) || e->nID != LOWORD(wParam)))
                continue;
            return e;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, wParam);
    if (entry == nullptr)
        return false;
    const LRESULT result = entry->pfn(*this, wParam, lParam);
    if (pResult != nullptr)
        *pResult = result;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Windows

AfxWindow::~AfxWindow() {
    children.clear();
    for (CWnd* wnd : attached)
        wnd->m_hWnd = nullptr;
}

AfxWindow* AfxWindow::FindChild(int controlId) const {
    for (const auto& child : children)
        if (child->id == controlId)
            return child.get();
    return nullptr;
}

namespace afx {

AfxWindow* WindowOf(const QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    return static_cast<AfxWindow*>(widget->property("afxWindow").value<void*>());
}

QString ToQt(LPCSTR text) {
    return QString::fromUtf8(text ? text : "");
}

std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

void Notify(AfxWindow* control, UINT code) {
    if (control->parent != nullptr)
        Send(control->parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(control->id), code),
             reinterpret_cast<LPARAM>(control));
}

LRESULT Send(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hWnd == nullptr)
        return 0;
    if (hWnd->handler != nullptr)
        return hWnd->handler->WindowProc(message, wParam, lParam);
    return DefaultProc(hWnd, message, wParam, lParam);
}

namespace {

LRESULT ListBoxProc(QListWidget* list, UINT message, WPARAM wParam, LPARAM lParam) {
    // Changes made by the program raise no notification: block the list's signals meanwhile.
    const QSignalBlocker quiet(list);
    switch (message) {
    case LB_INSERTSTRING: {
        // Inserting at an index places the row there, whatever the sort style says; −1 appends.
        const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < -1 || index > list->count())
            return LB_ERR;
        const int row = index == -1 ? list->count() : index;
        list->insertItem(row, ToQt(reinterpret_cast<LPCSTR>(lParam)));
        return row;
    }
    case LB_SETCURSEL: {
        const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
        if (index < 0 || index >= list->count()) {
            list->clearSelection();
            list->setCurrentRow(-1);
            return index == -1 ? 0 : LB_ERR;
        }
        list->setCurrentRow(index);
        return index;
    }
    case LB_GETCURSEL: {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? LB_ERR : list->row(selected.front());
    }
    case LB_GETCOUNT:
        return list->count();
    default:
        return 0;
    }
}

} // namespace

LRESULT DefaultProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (w == nullptr || w->widget == nullptr)
        return 0;
    if (w->IsDialog())
        return DialogProc(w, message, wParam, lParam);
    if (auto* list = qobject_cast<QListWidget*>(w->widget.data()))
        return ListBoxProc(list, message, wParam, lParam);
    return 0;
}

} // namespace afx

// ---------------------------------------------------------------------------------------------
// CWnd

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    Detach();
}

void CWnd::Attach(HWND hWnd) {
    Detach();
    m_hWnd = hWnd;
    if (hWnd != nullptr)
        hWnd->attached.push_back(this);
}

HWND CWnd::Detach() {
    HWND old = m_hWnd;
    if (old != nullptr) {
        auto& list = old->attached;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (old->handler == this)
            old->handler = nullptr;
    }
    m_hWnd = nullptr;
    return old;
}

void CWnd::SetWindowTextA(LPCSTR text) {
    if (m_hWnd == nullptr || m_hWnd->widget == nullptr)
        return;
    QWidget* widget = m_hWnd->widget;
    const QString qtext = afx::ToQt(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(qtext);
        // Like typing, setting an edit control's text raises EN_CHANGE, here and now.
        afx::Notify(m_hWnd, EN_CHANGE);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(qtext);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(qtext);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(qtext);
    } else {
        widget->setWindowTitle(qtext);
    }
}

void CWnd::GetWindowTextA(CString& text) const {
    text.Empty();
    if (m_hWnd == nullptr || m_hWnd->widget == nullptr)
        return;
    QWidget* widget = m_hWnd->widget;
    QString qtext;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        qtext = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        qtext = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        qtext = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        qtext = group->title();
    else
        qtext = widget->windowTitle();
    text = CString(std::string_view(afx::FromQt(qtext)));
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (m_hWnd == nullptr || m_hWnd->widget == nullptr)
        return FALSE;
    QWidget* widget = m_hWnd->widget;
    const BOOL wasVisible = widget->isVisibleTo(widget->parentWidget() ? widget->parentWidget() : widget);
    if (nCmdShow == SW_HIDE) {
        widget->setVisible(false);
    } else {
        widget->setVisible(true);
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    if (m_hWnd == nullptr || m_hWnd->widget == nullptr)
        return FALSE;
    return m_hWnd->widget->isVisible();
}

BOOL CWnd::IsIconic() const {
    if (m_hWnd == nullptr || m_hWnd->widget == nullptr)
        return FALSE;
    return m_hWnd->widget->window()->isMinimized();
}

int CWnd::GetDlgCtrlID() const {
    return m_hWnd ? m_hWnd->id : 0;
}

void CWnd::GetClientRect(LPRECT rect) const {
    *rect = RECT{};
    if (m_hWnd == nullptr || m_hWnd->widget == nullptr)
        return;
    const QRect r = m_hWnd->widget->rect();
    rect->right = r.width();
    rect->bottom = r.height();
}

LRESULT CWnd::SendMessageA(UINT message, WPARAM wParam, LPARAM lParam) {
    return afx::Send(m_hWnd, message, wParam, lParam);
}

CMenu* CWnd::GetSystemMenu(BOOL /*bRevert*/) {
    if (m_hWnd == nullptr || m_hWnd->systemMenu == nullptr)
        return nullptr;
    return CMenu::FromHandle(m_hWnd->systemMenu.get());
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage saved = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    m_current = saved;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return afx::DefaultProc(m_hWnd, message, wParam, lParam);
}
