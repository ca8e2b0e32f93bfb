// The messages of the entry checks, shared by the add form and the entry editor.
#pragma once

#include <initializer_list>
#include <utility>

#include "framework/CDialog.h"
#include "framework/Controls.h"
#include "study/NewWordCheck.h"

// An edit and the name its message gives it ("Word", "Mean", ...).
using NamedEdit = std::pair<CEdit*, const char*>;

// Text the locale's code set cannot hold would be stored as '?': the first such field is
// named in an "Error" box and takes the focus. True when something was refused.
bool RefuseUnstorableText(CDialog& dialog, std::initializer_list<NamedEdit> fields);

// The box for a refused check, with the focus on the field that is missing; true when refused.
bool ReportRefusal(CDialog& dialog, const NewWordCheck& check, CEdit& word, CEdit& mean,
                   CEdit& type);
