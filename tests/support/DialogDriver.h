// Drives modal dialogs and message boxes from tests, through the real widgets.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <functional>

#include "framework/CDialog.h"

// Runs dlg.DoModal() while `script` acts on the open window from inside the modal loop
// (clicks, keys, typing through QTest). If the script leaves the window open, it is
// ended with IDCANCEL and `*leftOpen` (when given) is set to true. Returns DoModal's code.
INT_PTR RunModal(CDialog& dlg, const std::function<void(QDialog* window)>& script,
                 bool* leftOpen = nullptr);

// What a message box showed.
struct SeenMessageBox {
    bool shown = false;
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* owner = nullptr;
};

// Arms a one-shot watcher: the next application-modal message box that opens is recorded
// into *seen and answered with OK (by a click on its button). A watcher that has seen no box
// gives up after a few seconds, and at the end of the test at the latest.
void AnswerNextMessageBox(SeenMessageBox* seen);
// Arms a one-shot watcher for the next modal dialog titled `title`: `script` acts on it from
// inside its modal loop; a dialog the script leaves open is cancelled.
void ActOnNextDialog(const QString& title, std::function<void(QDialog* window)> script);
// The same for the next popup menu: the item whose text starts with `text` is chosen.
void ChooseFromNextPopupMenu(const QString& text);

// Disarms every watcher still waiting; the GUI test main calls it after each test.
void CancelMessageBoxWatchers();

// The child control with that id of a dialog window, found by its object name.
template <class W> W* Control(QDialog* window, int id) {
    return window ? window->findChild<W*>(QString::number(id), Qt::FindDirectChildrenOnly)
                  : nullptr;
}
