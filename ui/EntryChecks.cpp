#include "ui/EntryChecks.h"

#include <string>

bool RefuseUnstorableText(CDialog& dialog, std::initializer_list<NamedEdit> fields) {
    for (const auto& [edit, name] : fields) {
        if (edit->CanHoldText())
            continue;
        const std::string message = std::string(name) +
                                    " holds characters that this system's language setting "
                                    "cannot store. Please change them!";
        dialog.MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        edit->SetFocus();
        return true;
    }
    return false;
}

bool ReportRefusal(CDialog& dialog, const NewWordCheck& check, CEdit& word, CEdit& mean,
                   CEdit& type) {
    switch (check.verdict) {
    case NewWordCheck::Verdict::MissingWord:
        dialog.MessageBox("Please Input Word!", "Error", MB_OK | MB_ICONINFORMATION);
        word.SetFocus();
        return true;
    case NewWordCheck::Verdict::MissingMean:
        dialog.MessageBox("Please Input Mean!", "Error", MB_OK | MB_ICONINFORMATION);
        mean.SetFocus();
        return true;
    case NewWordCheck::Verdict::MissingType:
        dialog.MessageBox("Please Input Type!", "Error", MB_OK | MB_ICONINFORMATION);
        type.SetFocus();
        return true;
    case NewWordCheck::Verdict::Duplicate: {
        const std::string message = "Word '" + check.existingWord + "' already existed!";
        dialog.MessageBox(message.c_str(), "Info", MB_OK);
        return true;
    }
    case NewWordCheck::Verdict::Accepted:
        break;
    }
    return false;
}
