// The toolkit window of a running CDialog: builds the template's controls and turns the
// toolkit's input into the dialog's messages, the way a dialog manager does.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QSet>
#include <functional>
#include <vector>

#include "framework/WinDef.h"

class QButtonGroup;
class QMenu;
class QMenuBar;
class QKeyEvent;
class QTimer;
struct ControlTemplate;
struct DialogTemplate;
struct MenuTemplate;

class DialogWindow : public QDialog {
public:
    // Every message goes to the dialog object through `send`.
    using MessageSink = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;
    DialogWindow(MessageSink send, const DialogTemplate& dialogTemplate, QWidget* owner);
    ~DialogWindow() override;

    // The first control with that id, or nullptr.
    QWidget* control(int id) const;
    // Gives the focus to the first visible tab-stop control in template order.
    void focusFirstTabStop();

    // Ends the modal run with that code; later posted messages are dropped.
    void end(int code);
    bool ended() const { return m_ended; }

    // Ends a modeless run and hides the window; show() starts it again.
    void reopen();

    // Puts the menu above the client area; the window grows by the bar's height.
    QMenuBar* setMenuBar(const MenuTemplate& menu);
    QMenuBar* menuBar() const { return m_menuBar; }
    int clientTop() const { return m_clientTop; }
    // Shows the items of a menu template as a popup at the screen position and returns the
    // command chosen, or 0.
    UINT trackPopupMenu(const MenuTemplate& menu, const QPoint& globalPos);

    // Runs `call` from the event loop once the window has first been painted, or after two
    // seconds if it is not (a window started minimised); dropped with the window.
    void whenShown(std::function<void()> call);

    // WM_TIMER for this id every `ms` milliseconds until killTimer.
    void setTimer(UINT id, int ms);
    void killTimer(UINT id);

    QMenu* systemMenu() const { return m_systemMenu; }
    void resetSystemMenu();
    void popUpSystemMenu(const QPoint& globalPos);

    // Sizes the font, the controls, the menus and the window again for the program's zoom,
    // lowering the zoom to the largest step at which the window fits on its screen.
    void rescale();
    // That largest step for this window on its screen now.
    int largestZoom() const;
    void placeBesideOwner();

    // Default processing of WM_SETICON; returns the previous icon of that kind.
    HICON setIcon(WPARAM kind, HICON icon);
    // Default processing of WM_PAINT: the toolkit's own painting.
    void defaultPaint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

public:
    void accept() override;
    void reject() override;

private:
    struct Item {
        const ControlTemplate* row;
        QWidget* widget;
    };

    QWidget* createControl(const ControlTemplate& row);
    void layOut();
    void scaleMenus();
    void runWhenShown();
    void sendCommand(int id, UINT code = BN_CLICKED);
    bool handleKeyPress(QWidget* receiver, QKeyEvent* event);
    bool handleKeyRelease(QWidget* receiver, QKeyEvent* event);
    void sendKeyMessage(UINT message, QKeyEvent* event);
    // Index in m_items of the visible control whose mnemonic the key names, or -1.
    std::vector<std::size_t> mnemonicTargets(const QKeyEvent* event) const;
    void activateMnemonic(const std::vector<std::size_t>& targets);
    // The next visible, enabled tab-stop control after index, wrapping around; or nullptr.
    QWidget* nextTabStop(std::size_t index, bool visibleOnly) const;

    LRESULT SendToDialog(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return m_send(message, wParam, lParam);
    }
    MessageSink m_send;
    const DialogTemplate& m_template;
    std::vector<Item> m_items;
    QMenu* m_systemMenu = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QButtonGroup* m_radioGroup = nullptr; // the group radio buttons being created join
    int m_clientTop = 0;
    std::vector<std::pair<UINT, QTimer*>> m_timers;
    bool m_hasMinimizeBox = false;
    bool m_ended = false;
    bool m_painted = false;
    std::vector<std::function<void()>> m_whenShown;
    QPaintEvent* m_paintEvent = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    QSet<int> m_keysDown; // keys whose press reached the dialog as WM_KEYDOWN
};
