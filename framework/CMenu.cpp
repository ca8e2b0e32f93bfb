#include "framework/CMenu.h"

#include <QAction>
#include <QMenu>
#include <QVariant>

#include "framework/TextCodec.h"

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* lpszNewItem) {
    if (m_menu == nullptr)
        return FALSE;
    if (nFlags & MF_SEPARATOR) {
        m_menu->addSeparator();
        return TRUE;
    }
    QAction* action = m_menu->addAction(ToQString(lpszNewItem ? lpszNewItem : ""));
    action->setData(QVariant::fromValue<qulonglong>(nIDNewItem));
    return TRUE;
}
