#include "ui/FoundRow.h"

#include "framework/ControlMark.h"

void MarkFoundRow(const RowControls& row) {
    MarkControls(
        {row.check->GetSafeHwnd(), row.wordLabel->GetSafeHwnd(), row.meanLabel->GetSafeHwnd()});
}
