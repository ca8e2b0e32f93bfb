#include "study/RevealState.h"

bool RevealState::IsShown(int row, Column column) const {
    const auto& shown = column == Column::Word ? m_wordShown : m_meanShown;
    return row >= 0 && row < kRows && shown[static_cast<std::size_t>(row)];
}

void RevealState::Toggle(int row, Column column) {
    if (row < 0 || row >= kRows)
        return;
    bool& shown = Shown(column)[static_cast<std::size_t>(row)];
    shown = !shown;
}

void RevealState::SetColumnHidden(Column column, bool hidden) {
    Shown(column).fill(!hidden);
}

void RevealState::NewPage(bool hideWord, bool hideMean) {
    if (!hideMean)
        m_meanShown.fill(true);
    if (!hideWord)
        m_wordShown.fill(true);
}
