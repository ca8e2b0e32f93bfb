// A menu: the dialog's system menu, its menu bar, or a popup; items are found by command id.
#pragma once

#include <memory>

#include "framework/WinDef.h"

class QAction;
class QMenu;
class QWidget;

class CMenu {
public:
    explicit CMenu(QWidget* menu) : m_menu(menu) {}

    // MF_SEPARATOR, or MF_STRING with a command id and a text in the locale's code set.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
    // MF_ENABLED or MF_GRAYED; returns the previous state, or -1 without such an item.
    int EnableMenuItem(UINT nID, UINT nEnable);
    // MF_CHECKED or not; the item shows a check mark.
    int CheckMenuItem(UINT nID, UINT nCheck);
    // Gives the item a new text in the locale's code set, keeping its shortcut.
    BOOL ModifyMenu(UINT nID, const char* lpszNewItem);

    QMenu* GetQMenu() const;
    QWidget* GetQWidget() const { return m_menu; }
    QAction* FindItem(UINT nID) const;

private:
    QWidget* m_menu;
};
