// A highlight on a few controls that lasts until the text of any of them changes: a row that
// was looked for stays marked until the page moves on.
#pragma once

#include <initializer_list>

class QString;
class QWidget;

// Draws the controls in the palette's highlight colours; a mark already on any of them goes.
// Null controls are passed over.
void MarkControls(std::initializer_list<QWidget*> controls);
// Whether the control is under a mark now.
bool IsMarked(const QWidget* control);

// Called by CWnd before it gives a control a new text: a changed text ends the mark.
void EndMarkOnTextChange(QWidget* control, const QString& newText);
