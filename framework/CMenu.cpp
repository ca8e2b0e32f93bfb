#include "framework/CMenu.h"

#include <QAction>
#include <QMenu>
#include <QVariant>

#include "framework/TextCodec.h"

namespace {

QAction* FindIn(const QWidget* menu, UINT nID) {
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindIn(sub, nID))
                return found;
        } else if (!action->isSeparator() && action->data().toULongLong() == nID) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

QMenu* CMenu::GetQMenu() const {
    return qobject_cast<QMenu*>(m_menu);
}

QAction* CMenu::FindItem(UINT nID) const {
    return m_menu ? FindIn(m_menu, nID) : nullptr;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* lpszNewItem) {
    QMenu* menu = GetQMenu();
    if (menu == nullptr)
        return FALSE;
    if (nFlags & MF_SEPARATOR) {
        menu->addSeparator();
        return TRUE;
    }
    QAction* action = menu->addAction(ToQString(lpszNewItem ? lpszNewItem : ""));
    action->setData(QVariant::fromValue<qulonglong>(nIDNewItem));
    return TRUE;
}

int CMenu::EnableMenuItem(UINT nID, UINT nEnable) {
    QAction* action = FindItem(nID);
    if (action == nullptr)
        return -1;
    const int previous = action->isEnabled() ? MF_ENABLED : MF_GRAYED;
    action->setEnabled((nEnable & MF_GRAYED) == 0);
    return previous;
}

int CMenu::CheckMenuItem(UINT nID, UINT nCheck) {
    QAction* action = FindItem(nID);
    if (action == nullptr)
        return -1;
    const int previous = action->isChecked() ? MF_CHECKED : 0;
    action->setCheckable(true);
    action->setChecked((nCheck & MF_CHECKED) != 0);
    return previous;
}

BOOL CMenu::ModifyMenu(UINT nID, const char* lpszNewItem) {
    QAction* action = FindItem(nID);
    if (action == nullptr)
        return FALSE;
    action->setText(ToQString(lpszNewItem ? lpszNewItem : ""));
    return TRUE;
}
