#include "framework/Controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "framework/TextCodec.h"

void CEdit::SetSel(int nStart, int nEnd) {
    auto* edit = qobject_cast<QLineEdit*>(GetSafeHwnd());
    if (edit == nullptr)
        return;
    const int length = static_cast<int>(edit->text().size());
    const int end = nEnd < 0 || nEnd > length ? length : nEnd;
    const int start = nStart < 0 ? 0 : std::min(nStart, end);
    edit->setSelection(start, end - start);
}

namespace {

QComboBox* Combo(const CWnd& wnd) {
    return qobject_cast<QComboBox*>(wnd.GetSafeHwnd());
}

} // namespace

int CComboBox::AddString(const char* text) {
    QComboBox* combo = Combo(*this);
    if (combo == nullptr)
        return CB_ERR;
    // Filling the list is no choice of the learner's.
    const QSignalBlocker quiet(combo);
    combo->addItem(ToQString(text ? text : ""));
    return combo->count() - 1;
}

void CComboBox::ResetContent() {
    if (QComboBox* combo = Combo(*this)) {
        const QSignalBlocker quiet(combo);
        combo->clear();
    }
}

int CComboBox::GetCount() const {
    QComboBox* combo = Combo(*this);
    return combo ? combo->count() : 0;
}

int CComboBox::GetCurSel() const {
    QComboBox* combo = Combo(*this);
    return combo && combo->currentIndex() >= 0 ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    QComboBox* combo = Combo(*this);
    if (combo == nullptr || index < -1 || index >= combo->count())
        return CB_ERR;
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index);
    return index;
}
