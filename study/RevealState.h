// Which of the ten rows show their word and their meaning, and how the two Hide boxes and the
// page moves change that.
#pragma once

#include <array>

enum class Column { Word, Mean };

class RevealState {
public:
    static constexpr int kRows = 10;

    bool IsShown(int row, Column column) const;
    // The row's toggle was clicked: a shown text hides, a hidden one shows.
    void Toggle(int row, Column column);
    // A Hide box was clicked: every row of its column takes the box's state.
    void SetColumnHidden(Column column, bool hidden);
    // A new page: a column whose Hide box is clear shows every row again; a checked box keeps
    // what each row showed on the page before.
    void NewPage(bool hideWord, bool hideMean);

private:
    std::array<bool, kRows>& Shown(Column column) {
        return column == Column::Word ? m_wordShown : m_meanShown;
    }

    std::array<bool, kRows> m_wordShown{true, true, true, true, true, true, true, true, true, true};
    std::array<bool, kRows> m_meanShown{true, true, true, true, true, true, true, true, true, true};
};
