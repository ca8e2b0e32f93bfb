#include <gtest/gtest.h>

#include <string>

#include "study/RevealState.h"

namespace {

// '+' for a shown row, '-' for a hidden one, top to bottom.
std::string Rows(const RevealState& state, Column column) {
    std::string rows;
    for (int k = 0; k < RevealState::kRows; ++k)
        rows += state.IsShown(k, column) ? '+' : '-';
    return rows;
}

TEST(RevealState, TogglesBoxesAndPageMoves) {
    struct Case {
        const char* name;
        void (*act)(RevealState&);
        const char* words;
        const char* means;
    };
    const Case cases[] = {
        {"fresh", [](RevealState&) {}, "++++++++++", "++++++++++"},
        {"one word toggled", [](RevealState& s) { s.Toggle(2, Column::Word); }, "++-+++++++",
         "++++++++++"},
        {"toggled twice",
         [](RevealState& s) {
             s.Toggle(9, Column::Mean);
             s.Toggle(9, Column::Mean);
         },
         "++++++++++", "++++++++++"},
        {"rows outside the page ignored",
         [](RevealState& s) {
             s.Toggle(-1, Column::Word);
             s.Toggle(10, Column::Word);
         },
         "++++++++++", "++++++++++"},
        {"Hide Word checked", [](RevealState& s) { s.SetColumnHidden(Column::Word, true); },
         "----------", "++++++++++"},
        {"Hide Word checked then one revealed",
         [](RevealState& s) {
             s.SetColumnHidden(Column::Word, true);
             s.Toggle(0, Column::Word);
         },
         "+---------", "++++++++++"},
        {"Hide Mean cleared after reveals",
         [](RevealState& s) {
             s.SetColumnHidden(Column::Mean, true);
             s.Toggle(4, Column::Mean);
             s.SetColumnHidden(Column::Mean, false);
         },
         "++++++++++", "++++++++++"},
        {"new page with clear boxes shows everything",
         [](RevealState& s) {
             s.Toggle(3, Column::Word);
             s.Toggle(5, Column::Mean);
             s.NewPage(false, false);
         },
         "++++++++++", "++++++++++"},
        {"new page carries the rows of a checked column over",
         [](RevealState& s) {
             s.SetColumnHidden(Column::Mean, true);
             s.Toggle(1, Column::Mean);
             s.Toggle(7, Column::Word);
             s.NewPage(false, true);
         },
         "++++++++++", "-+--------"},
        {"both checked carry both",
         [](RevealState& s) {
             s.SetColumnHidden(Column::Word, true);
             s.Toggle(8, Column::Word);
             s.Toggle(0, Column::Mean);
             s.NewPage(true, true);
         },
         "--------+-", "-+++++++++"},
    };
    for (const Case& c : cases) {
        RevealState state;
        c.act(state);
        EXPECT_EQ(Rows(state, Column::Word), c.words) << c.name;
        EXPECT_EQ(Rows(state, Column::Mean), c.means) << c.name;
    }
}

} // namespace
