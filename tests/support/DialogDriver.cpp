#include "tests/support/DialogDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

// Parent of the armed watchers, so that they can be disarmed together.
QObject& WatcherHome() {
    static QObject* home = new QObject(qApp);
    return *home;
}

constexpr int kWatchIntervalMs = 5;
constexpr int kWatchLimitMs = 5000;

} // namespace

INT_PTR RunModal(CDialog& dlg, const std::function<void(QDialog* window)>& script, bool* leftOpen) {
    if (leftOpen != nullptr)
        *leftOpen = false;
    // The timer belongs to this call: if the dialog never runs, it never fires later.
    QObject scope;
    QTimer::singleShot(0, &scope, [&dlg, &script, leftOpen] {
        auto* window = static_cast<QDialog*>(dlg.GetSafeHwnd());
        if (window == nullptr)
            return;
        (void)QTest::qWaitForWindowActive(window);
        QPointer<QDialog> guard = window;
        script(window);
        if (guard && guard->isVisible() && dlg.GetSafeHwnd() == guard) {
            if (leftOpen != nullptr)
                *leftOpen = true;
            dlg.EndDialog(IDCANCEL);
        }
    });
    return dlg.DoModal();
}

void AnswerNextMessageBox(SeenMessageBox* seen) {
    *seen = SeenMessageBox{};
    auto* timer = new QTimer(&WatcherHome());
    const QDeadlineTimer deadline(kWatchLimitMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, seen, deadline] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (deadline.hasExpired())
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        seen->shown = true;
        seen->text = box->text();
        seen->caption = box->windowTitle();
        seen->icon = box->icon();
        seen->owner = box->parentWidget();
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (ok == nullptr && !box->buttons().isEmpty())
            ok = box->buttons().first();
        if (ok != nullptr)
            ok->click();
        else
            box->done(0);
    });
    timer->start(kWatchIntervalMs);
}

namespace {

// Polls for a widget `find` returns, then hands it to `act` once.
void Watch(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(&WatcherHome());
    const QDeadlineTimer deadline(kWatchLimitMs);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, deadline, find = std::move(find), act = std::move(act)] {
                         QWidget* widget = find();
                         if (widget == nullptr) {
                             if (deadline.hasExpired())
                                 timer->deleteLater();
                             return;
                         }
                         timer->stop();
                         timer->deleteLater();
                         act(widget);
                     });
    timer->start(kWatchIntervalMs);
}

} // namespace

void ActOnNextDialog(const QString& title, std::function<void(QDialog* window)> script) {
    Watch(
        [title]() -> QWidget* {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return dialog && dialog->windowTitle() == title ? dialog : nullptr;
        },
        [script = std::move(script)](QWidget* widget) {
            QPointer<QDialog> dialog = static_cast<QDialog*>(widget);
            (void)QTest::qWaitForWindowActive(dialog);
            script(dialog);
            if (dialog && dialog->isVisible())
                dialog->reject();
        });
}

void ChooseFromNextPopupMenu(const QString& text) {
    Watch([]() -> QWidget* { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
          [text](QWidget* widget) {
              auto* menu = static_cast<QMenu*>(widget);
              for (QAction* action : menu->actions()) {
                  if (action->text().remove(u'&').startsWith(text)) {
                      // Chosen as the learner chooses, so that the menu reports it.
                      menu->setActiveAction(action);
                      QTest::keyClick(menu, Qt::Key_Return);
                      return;
                  }
              }
              menu->close();
          });
}

void CancelMessageBoxWatchers() {
    const QList<QTimer*> watchers = WatcherHome().findChildren<QTimer*>();
    for (QTimer* watcher : watchers)
        delete watcher;
}
