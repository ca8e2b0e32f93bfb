// A popup menu; the dialog's own system menu is one.
#pragma once

#include <memory>

#include "framework/WinDef.h"

class QMenu;

class CMenu {
public:
    explicit CMenu(QMenu* menu) : m_menu(menu) {}

    // MF_SEPARATOR, or MF_STRING with a command id and a text in the locale's code set.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);

    QMenu* GetQMenu() const { return m_menu; }

private:
    QMenu* m_menu;
};
