// A modal dialog built from a template in res/, with data exchange and a message map.
#pragma once

#include <functional>
#include <memory>

#include "framework/CMenu.h"
#include "framework/CWnd.h"
#include "framework/MessageMap.h"

class CDataExchange;
class DialogWindow;
struct DialogTemplate;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the window and every control of the template, calls OnInitDialog, runs the
    // modal loop until EndDialog, destroys the window and returns the end code.
    virtual INT_PTR DoModal();
    // Creates the window as above and shows it without a modal loop; EndDialog hides it, a
    // later Create shows it again as it was. The window goes with DestroyWindow, the owner's
    // window or this object.
    BOOL Create(CWnd* pParentWnd = nullptr);
    void DestroyWindow();

    // TRUE: every bound control's state into its member; FALSE: members into controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult);

    // A modal box owned by this dialog; MB_OK, optionally with MB_ICONINFORMATION.
    // Text and caption are in the locale's code set.
    int MessageBox(const char* lpszText, const char* lpszCaption = nullptr, UINT nType = MB_OK);

    // The dialog's own system menu (Minimize, Close, and whatever is appended).
    CMenu* GetSystemMenu(BOOL bRevert);
    // The menu template as a bar above the client area, its shortcuts active in the window.
    BOOL SetMenu(UINT nIDMenu);
    CMenu* GetMenu();
    // Sizes the open window again after the program's zoom changed; a zoom at which the
    // window would not fit on its screen is lowered to the largest that fits.
    void ApplyZoom();
    // Moves the window beside its owner's, to the right where the screen has room, else to the
    // left; where neither fits it stays where the toolkit put it.
    void PlaceBesideOwner();
    // That largest zoom step for the open window (Zoom::kMax without a window): the View
    // menu greys the steps above it.
    int LargestZoom() const;
    // Shows the items of a menu template at the screen position (as WM_CONTEXTMENU gives it)
    // and sends the chosen command; returns it, or 0.
    UINT TrackPopupMenu(UINT nIDMenu, LPARAM screenPos);
    // WM_TIMER with this id every nElapse milliseconds, until KillTimer or the dialog ends.
    void SetTimer(UINT nIDEvent, UINT nElapse);
    void KillTimer(UINT nIDEvent);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon); // sends WM_SETICON
    BOOL IsIconic() const;
    void GetClientRect(CRect* lpRect) const;

    // Routes a message through the message map, then default processing.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues a message; it is dropped if the dialog has ended by the time it is due.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // As PostMessage, but the message comes once the window has first been painted: a box it
    // opens comes up over the window, and work that can wait does not delay the first look.
    BOOL PostMessageWhenShown(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // The child control with that id while the dialog exists, else nullptr.
    HWND GetDlgItem(int nID) const;
    UINT GetTemplateId() const { return m_nIDTemplate; }

protected:
    virtual BOOL OnInitDialog(); // runs UpdateData(FALSE) once
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();     // UpdateData(TRUE), then EndDialog(IDOK)
    virtual void OnCancel(); // EndDialog(IDCANCEL)

    // The message map of this class; derived dialogs declare theirs with DECLARE_MESSAGE_MAP.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Default processing of the message being handled.
    LRESULT Default();

private:
    // How the toolkit window hands this dialog its messages.
    std::function<LRESULT(UINT, WPARAM, LPARAM)> Sender();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    std::function<void()> Delivery(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    DialogWindow* m_window = nullptr; // exists only inside DoModal, or after Create
    bool m_modeless = false;
    std::unique_ptr<CMenu> m_sysMenu;
    std::unique_ptr<CMenu> m_menu;
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    } m_current;
};
