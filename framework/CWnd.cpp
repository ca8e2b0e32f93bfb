#include "framework/CWnd.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

#include "framework/ControlMark.h"
#include "framework/TextCodec.h"

namespace {

// Widget properties holding the bytes last set and the text they became.
constexpr const char* kSetBytes = "vocamintSetBytes";
constexpr const char* kSetText = "vocamintSetText";

QString WidgetText(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    return w->windowTitle();
}

void SetWidgetText(QWidget* w, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else
        w->setWindowTitle(text);
}

} // namespace

void CWnd::SetWindowText(const CString& text) {
    if (!m_hWnd)
        return;
    const QString converted = ToQString(text.str());
    EndMarkOnTextChange(m_hWnd, converted);
    SetWidgetText(m_hWnd, converted);
    // Store what the widget reports back, which is what GetWindowText compares against.
    m_hWnd->setProperty(kSetBytes, QByteArray(text.str().data(), text.GetLength()));
    m_hWnd->setProperty(kSetText, WidgetText(m_hWnd));
}

void CWnd::GetWindowText(CString& text) const {
    if (!m_hWnd) {
        text.Empty();
        return;
    }
    const QString current = WidgetText(m_hWnd);
    const QVariant setText = m_hWnd->property(kSetText);
    if (setText.isValid() && setText.toString() == current) {
        const QByteArray bytes = m_hWnd->property(kSetBytes).toByteArray();
        text = CString(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return;
    }
    text = CString(FromQString(current));
}

BOOL CWnd::CanHoldText() const {
    return !m_hWnd || CanEncode(WidgetText(m_hWnd)) ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_hWnd)
        return FALSE;
    const BOOL wasVisible = m_hWnd->isHidden() ? FALSE : TRUE;
    m_hWnd->setVisible(nCmdShow != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_hWnd && !m_hWnd->isHidden() ? TRUE : FALSE;
}

CWnd* CWnd::SetFocus() {
    // The toolkit cannot name the object of the control that had the focus before.
    if (m_hWnd)
        m_hWnd->setFocus(Qt::OtherFocusReason);
    return nullptr;
}

void CWnd::Attach(HWND hWnd, int nID) {
    m_hWnd = hWnd;
    m_nID = nID;
}

void CWnd::Detach() {
    m_hWnd = nullptr;
    m_nID = 0;
}

BOOL CWnd::HasFocus() const {
    return m_hWnd && m_hWnd->hasFocus() ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!m_hWnd)
        return FALSE;
    const BOOL wasDisabled = m_hWnd->isEnabled() ? FALSE : TRUE;
    m_hWnd->setEnabled(bEnable != FALSE);
    return wasDisabled;
}
