// Control objects of the kinds our dialogs bind: buttons and check boxes, labels, edits.
#pragma once

#include "framework/CWnd.h"

// A push button or a check box.
class CButton : public CWnd {};

// A static text label.
class CStatic : public CWnd {};

// A single-line edit field.
class CEdit : public CWnd {};
