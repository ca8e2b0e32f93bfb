// The mark on the row a search showed.
#pragma once

#include "ui/RowControls.h"

// Highlights the row's word and meaning and its check box until the page moves on (until the
// row's texts change).
void MarkFoundRow(const RowControls& row);
