// The dialog window's keyboard: keys routed to the dialog as messages, Tab and arrows between
// controls, Enter and Escape, and the Alt letters of the controls' captions.
#include "framework/DialogWindow.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "framework/ResourceTypes.h"
#include "framework/VirtualKey.h"

namespace {

// The upper-cased character after the first single '&', or a null character.
QChar MnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') {
            ++i; // "&&" shows one ampersand
            continue;
        }
        return caption[i + 1].toUpper();
    }
    return QChar();
}

} // namespace

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != this && widget->parentWidget() != this))
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Our own mnemonics win over the toolkit's shortcuts for the same keys.
        auto* key = static_cast<QKeyEvent*>(event);
        if (!mnemonicTargets(key).empty()) {
            key->accept();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            const QString name = widget->objectName();
            if (!name.isEmpty())
                sendCommand(name.toInt(), STN_DBLCLK);
        }
        break;
    case QEvent::KeyPress:
        return handleKeyPress(widget, static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
        return handleKeyRelease(widget, static_cast<QKeyEvent*>(event));
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool DialogWindow::handleKeyPress(QWidget* receiver, QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::AltModifier) {
        const std::vector<std::size_t> targets = mnemonicTargets(event);
        if (targets.empty()) {
            // An Alt key never types: a letter that names no visible control does nothing,
            // rather than landing in the focused field. Ctrl+Alt is AltGr on some keyboards.
            if (!(modifiers & Qt::ControlModifier) && !event->text().isEmpty() &&
                event->text().front().isPrint()) {
                event->accept();
                return true;
            }
            return false;
        }
        if (!event->isAutoRepeat())
            activateMnemonic(targets);
        event->accept();
        return true;
    }
    // Keys reach the dialog itself when nothing has the focus or the focused edit ignored them.
    QWidget* focused = receiver == this ? focusWidget() : receiver;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        auto* button = qobject_cast<QPushButton*>(focused);
        if (button != nullptr && !button->isHidden() && button->isEnabled())
            button->click();
        else
            sendCommand(IDOK);
        event->accept();
        return true;
    }
    case Qt::Key_Escape:
        sendCommand(IDCANCEL);
        event->accept();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false; // the toolkit's focus chain skips hidden and label controls
    case Qt::Key_Menu:
    case Qt::Key_F10:
        if ((key == Qt::Key_Menu || (modifiers & Qt::ShiftModifier)) &&
            qobject_cast<QLineEdit*>(focused) == nullptr) {
            popUpSystemMenu(mapToGlobal(QPoint(0, 0)));
            event->accept();
            return true;
        }
        break;
    default:
        break;
    }
    if (qobject_cast<QAbstractButton*>(receiver) != nullptr) {
        // Buttons and check boxes use only Space themselves.
        if (key == Qt::Key_Space && !(modifiers & (Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        // In a radio group the arrows move the choice, wrapping around, as a dialog's do.
        auto* radio = qobject_cast<QRadioButton*>(receiver);
        if (radio != nullptr && radio->group() != nullptr &&
            (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
             key == Qt::Key_Right)) {
            const QList<QAbstractButton*> group = radio->group()->buttons();
            const qsizetype step = key == Qt::Key_Down || key == Qt::Key_Right ? 1 : -1;
            const qsizetype at = group.indexOf(radio);
            for (qsizetype n = 1; n < group.size(); ++n) {
                QAbstractButton* next = group[(at + step * n + group.size() * n) % group.size()];
                if (!next->isHidden() && next->isEnabled()) {
                    next->setFocus(Qt::TabFocusReason);
                    next->click();
                    break;
                }
            }
            event->accept();
            return true;
        }
        sendKeyMessage(WM_KEYDOWN, event);
        return true;
    }
    if (receiver == this) {
        sendKeyMessage(WM_KEYDOWN, event);
        return true;
    }
    return false;
}

bool DialogWindow::handleKeyRelease(QWidget* /*receiver*/, QKeyEvent* event) {
    if (!m_keysDown.contains(event->key()))
        return false;
    if (!event->isAutoRepeat()) {
        m_keysDown.remove(event->key());
        sendKeyMessage(WM_KEYUP, event);
    }
    event->accept();
    return true;
}

void DialogWindow::sendKeyMessage(UINT message, QKeyEvent* event) {
    event->accept();
    const UINT code = VirtualKeyFromQt(event->key(), event->modifiers());
    if (code == 0)
        return;
    if (message == WM_KEYDOWN)
        m_keysDown.insert(event->key());
    SendToDialog(message, code, KeyMessageLParam(message, event->isAutoRepeat()));
}

std::vector<std::size_t> DialogWindow::mnemonicTargets(const QKeyEvent* event) const {
    std::vector<std::size_t> targets;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (!(modifiers & Qt::AltModifier) || (modifiers & Qt::ControlModifier))
        return targets;
    const int key = event->key();
    if (!((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)))
        return targets;
    const QChar wanted(key);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (item.widget->isHidden() || !item.widget->isEnabled())
            continue;
        QString caption;
        if (const auto* button = qobject_cast<const QAbstractButton*>(item.widget))
            caption = button->text();
        else if (item.row->kind == ControlKind::Label && !(item.row->style & CS_NOPREFIX))
            caption = static_cast<const QLabel*>(item.widget)->text();
        else
            continue;
        if (MnemonicOf(caption) == wanted)
            targets.push_back(i);
    }
    return targets;
}

// A letter that one control owns acts on it. A letter that several share only moves the focus
// to the next of them, so that Alt+E cannot end the window when the learner meant "M&ean".
void DialogWindow::activateMnemonic(const std::vector<std::size_t>& targets) {
    if (targets.size() > 1) {
        const auto focused = std::find_if(m_items.begin(), m_items.end(), [this](const Item& item) {
            return item.widget == focusWidget();
        });
        const std::size_t current = static_cast<std::size_t>(focused - m_items.begin());
        const auto next = std::find_if(targets.begin(), targets.end(),
                                       [current](std::size_t i) { return i > current; });
        const std::size_t index = next != targets.end() ? *next : targets.front();
        QWidget* widget = m_items[index].widget;
        if (qobject_cast<QAbstractButton*>(widget) == nullptr)
            widget = nextTabStop(index, true);
        if (widget != nullptr)
            widget->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    const std::size_t index = targets.front();
    QWidget* widget = m_items[index].widget;
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setFocus(Qt::ShortcutFocusReason);
        box->click(); // toggles, then notifies like a mouse click
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        radio->setFocus(Qt::ShortcutFocusReason);
        radio->click();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->click();
    } else if (QWidget* next = nextTabStop(index, true)) {
        next->setFocus(Qt::ShortcutFocusReason);
    }
}
