#include "tests/support/DialogDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
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

void CancelMessageBoxWatchers() {
    const QList<QTimer*> watchers = WatcherHome().findChildren<QTimer*>();
    for (QTimer* watcher : watchers)
        delete watcher;
}
