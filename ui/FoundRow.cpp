#include "ui/FoundRow.h"

#include "framework/ControlMark.h"

void MarkFoundRow(const RowControls& row) {
    MarkControls({row.check, row.wordLabel, row.meanLabel});
}
