#include "framework/CDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>

#include "framework/Appearance.h"
#include "framework/CDataExchange.h"
#include "framework/CWinApp.h"
#include "framework/DialogWindow.h"
#include "framework/ResourceModule.h"
#include "framework/TextCodec.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    DestroyWindow();
}

INT_PTR CDialog::DoModal() {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_nIDTemplate);
    if (dialogTemplate == nullptr || m_window != nullptr)
        return -1;
    // A dialog without a parent is owned by the application's main window.
    QWidget* owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr && AfxGetApp() && AfxGetApp()->m_pMainWnd != this &&
        AfxGetApp()->m_pMainWnd != nullptr)
        owner = AfxGetApp()->m_pMainWnd->GetSafeHwnd();

    auto window = std::make_unique<DialogWindow>(Sender(), *dialogTemplate, owner);
    m_window = window.get();
    Attach(m_window, 0);
    m_sysMenu = std::make_unique<CMenu>(m_window->systemMenu());

    if (OnInitDialog())
        m_window->focusFirstTabStop();
    // EndDialog may already have been called while the dialog was being set up.
    if (!m_window->ended())
        m_window->exec();
    const INT_PTR result = m_window->result();

    m_sysMenu.reset();
    m_menu.reset();
    m_window = nullptr;
    Detach();
    window.reset(); // control objects watch their widgets and let go of them here
    return result;
}

BOOL CDialog::Create(CWnd* pParentWnd) {
    if (m_window != nullptr && m_modeless) {
        m_window->reopen();
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return TRUE;
    }
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_nIDTemplate);
    if (dialogTemplate == nullptr || m_window != nullptr)
        return FALSE;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    QWidget* owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    m_window = new DialogWindow(Sender(), *dialogTemplate, owner);
    m_modeless = true;
    // The owner's window takes this one with it when it goes first.
    QObject::connect(m_window, &QObject::destroyed, [this] {
        m_sysMenu.reset();
        m_menu.reset();
        m_window = nullptr;
        m_modeless = false;
        Detach();
    });
    Attach(m_window, 0);
    m_sysMenu = std::make_unique<CMenu>(m_window->systemMenu());
    if (OnInitDialog())
        m_window->focusFirstTabStop();
    if (m_window != nullptr && !m_window->ended())
        m_window->show();
    return m_window != nullptr ? TRUE : FALSE;
}

void CDialog::DestroyWindow() {
    if (m_window != nullptr && m_modeless)
        delete m_window; // its destroyed signal clears our pointers
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (m_window == nullptr)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate, [this](int nIDC) { return GetDlgItem(nIDC); });
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    if (m_window != nullptr)
        m_window->end(nResult); // hides a modeless window
}

int CDialog::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType) {
    const QString caption =
        lpszCaption ? ToQString(lpszCaption) : QCoreApplication::applicationName();
    QMessageBox box((nType & MB_ICONINFORMATION) ? QMessageBox::Information : QMessageBox::NoIcon,
                    caption, ToQString(lpszText ? lpszText : ""), QMessageBox::Ok, m_window);
    // Never rich text: the message may quote a word holding '<'.
    box.setTextFormat(Qt::PlainText);
    if (Zoom::Percent() != Zoom::kDefault)
        box.setFont(Zoom::Scaled(QApplication::font()));
    box.exec();
    return IDOK;
}

CMenu* CDialog::GetSystemMenu(BOOL bRevert) {
    if (m_window == nullptr)
        return nullptr;
    if (bRevert) {
        m_window->resetSystemMenu();
        return nullptr;
    }
    return m_sysMenu.get();
}

BOOL CDialog::SetMenu(UINT nIDMenu) {
    const MenuTemplate* menu = FindMenuTemplate(nIDMenu);
    if (m_window == nullptr || menu == nullptr)
        return FALSE;
    m_menu = std::make_unique<CMenu>(m_window->setMenuBar(*menu));
    return TRUE;
}

void CDialog::ApplyZoom() {
    if (m_window != nullptr)
        m_window->rescale();
}

void CDialog::PlaceBesideOwner() {
    if (m_window != nullptr)
        m_window->placeBesideOwner();
}

int CDialog::LargestZoom() const {
    return m_window != nullptr ? m_window->largestZoom() : Zoom::kMax;
}

CMenu* CDialog::GetMenu() {
    return m_menu.get();
}

UINT CDialog::TrackPopupMenu(UINT nIDMenu, LPARAM screenPos) {
    const MenuTemplate* menu = FindMenuTemplate(nIDMenu);
    if (m_window == nullptr || menu == nullptr)
        return 0;
    const UINT command =
        m_window->trackPopupMenu(*menu, QPoint(GET_X_LPARAM(screenPos), GET_Y_LPARAM(screenPos)));
    if (command != 0)
        SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED));
    return command;
}

void CDialog::SetTimer(UINT nIDEvent, UINT nElapse) {
    if (m_window != nullptr)
        m_window->setTimer(nIDEvent, static_cast<int>(nElapse));
}

void CDialog::KillTimer(UINT nIDEvent) {
    if (m_window != nullptr)
        m_window->killTimer(nIDEvent);
}

HICON CDialog::SetIcon(HICON hIcon, BOOL bBigIcon) {
    const LRESULT previous =
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    return reinterpret_cast<HICON>(previous);
}

BOOL CDialog::IsIconic() const {
    return m_window && m_window->isMinimized() ? TRUE : FALSE;
}

void CDialog::GetClientRect(CRect* lpRect) const {
    if (lpRect == nullptr)
        return;
    *lpRect = CRect{};
    if (m_window != nullptr) {
        // The client area lies below the menu bar.
        lpRect->right = m_window->width();
        lpRect->bottom = m_window->height() - m_window->clientTop();
    }
}

LRESULT CDialog::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

// A posted message, dropped when the window is gone or its run has ended by the time it is due.
std::function<void()> CDialog::Delivery(UINT message, WPARAM wParam, LPARAM lParam) {
    QPointer<DialogWindow> target = m_window;
    return [this, target, message, wParam, lParam] {
        if (target && m_window == target && !target->ended())
            SendMessage(message, wParam, lParam);
    };
}

BOOL CDialog::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_window == nullptr)
        return FALSE;
    QMetaObject::invokeMethod(m_window, Delivery(message, wParam, lParam), Qt::QueuedConnection);
    return TRUE;
}

BOOL CDialog::PostMessageWhenShown(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_window == nullptr)
        return FALSE;
    m_window->whenShown(Delivery(message, wParam, lParam));
    return TRUE;
}

HWND CDialog::GetDlgItem(int nID) const {
    return m_window ? m_window->control(nID) : nullptr;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT* pResult) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return false;
    switch (static_cast<int>(LOWORD(wParam))) {
    case IDOK:
        OnOK();
        break;
    case IDCANCEL:
        OnCancel();
        break;
    default:
        return false;
    }
    *pResult = 0;
    return true;
}

LRESULT CDialog::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Handlers may send messages of their own; Default() must see the one it handles.
    const CurrentMessage outer = m_current;
    m_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    m_current = outer;
    return result;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // A dialog's frame close is its cancel command, handled after this message.
        PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<UINT>(IDCANCEL), BN_CLICKED));
        return 0;
    case WM_SYSCOMMAND:
        if (m_window == nullptr)
            return 0;
        switch (static_cast<UINT>(wParam) & 0xFFF0u) {
        case SC_MINIMIZE:
            m_window->showMinimized();
            break;
        case SC_RESTORE:
            m_window->showNormal();
            break;
        case SC_CLOSE:
            SendMessage(WM_CLOSE);
            break;
        default:
            break;
        }
        return 0;
    case WM_SETICON:
        if (m_window == nullptr)
            return 0;
        return reinterpret_cast<LRESULT>(
            m_window->setIcon(wParam, reinterpret_cast<HICON>(lParam)));
    case WM_PAINT:
        if (m_window != nullptr)
            m_window->defaultPaint();
        return 0;
    case WM_CONTEXTMENU:
        if (m_window != nullptr)
            m_window->popUpSystemMenu(QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_ICONERASEBKGND:
        // The minimised window's background behind its icon, in the window's own colour.
        if (auto* painter = reinterpret_cast<HDC>(wParam);
            painter && painter->isActive() && m_window != nullptr)
            painter->fillRect(m_window->rect(), m_window->palette().window());
        return 0;
    default:
        // WM_KEYDOWN, WM_KEYUP, WM_QUERYDRAGICON and commands: nothing.
        return 0;
    }
}

std::function<LRESULT(UINT, WPARAM, LPARAM)> CDialog::Sender() {
    return [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessage(message, wParam, lParam);
    };
}
