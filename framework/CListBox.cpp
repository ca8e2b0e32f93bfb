#include <QListWidget>

#include "framework/Controls.h"
#include "framework/TextCodec.h"

namespace {

QListWidget* List(const CWnd& wnd) {
    return qobject_cast<QListWidget*>(wnd.GetSafeHwnd());
}

} // namespace

int CListBox::AddString(const char* text) {
    QListWidget* list = List(*this);
    if (list == nullptr)
        return LB_ERR;
    list->addItem(ToQString(text ? text : ""));
    return list->count() - 1;
}

void CListBox::ResetContent() {
    if (QListWidget* list = List(*this))
        list->clear();
}

int CListBox::GetCount() const {
    const QListWidget* list = List(*this);
    return list ? list->count() : 0;
}

int CListBox::GetCurSel() const {
    const QListWidget* list = List(*this);
    return list && list->currentRow() >= 0 ? list->currentRow() : LB_ERR;
}

int CListBox::SetCurSel(int index) {
    QListWidget* list = List(*this);
    if (list == nullptr || index < -1 || index >= list->count())
        return LB_ERR;
    list->setCurrentRow(index);
    if (index >= 0)
        list->scrollToItem(list->item(index));
    return index;
}

void CListBox::SetItemData(int index, std::intptr_t data) {
    if (QListWidget* list = List(*this); list && index >= 0 && index < list->count())
        list->item(index)->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
}

std::intptr_t CListBox::GetItemData(int index) const {
    const QListWidget* list = List(*this);
    if (list == nullptr || index < 0 || index >= list->count())
        return 0;
    return static_cast<std::intptr_t>(list->item(index)->data(Qt::UserRole).toLongLong());
}
