// The drill: hiding all words or meanings with the Hide boxes, revealing rows with their toggles.
#include <QDialog>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"

namespace {

using ::PrintTo;

const Step kHideWord{Step::Click, IDC_HIDE_WORD};
const Step kHideMean{Step::Click, IDC_HIDE_MEAN};
const Step kNext{Step::Click, IDC_NEXT_PAGE};
const Step kPrev{Step::Click, IDC_PREV_PAGE};
const Step kFirst{Step::Click, IDC_FIRST_PAGE};
const Step kLast{Step::Click, IDC_LAST_PAGE};
Step WordToggle(int row) {
    return Step{Step::Click, kRows[row].wordToggle};
}
Step MeanToggle(int row) {
    return Step{Step::Click, kRows[row].meanToggle};
}

struct HideCase {
    const char* name;
    std::vector<Step> steps;
    const char* words; // RowStates of the word column afterwards
    const char* means;
};

const HideCase kHideCases[] = {
    {"start_all_shown", {}, "++++++++++", "++++++++++"},
    {"toggle_hides_one", {WordToggle(2)}, "++-+++++++", "++++++++++"},
    {"toggle_twice_shows", {WordToggle(2), WordToggle(2)}, "++++++++++", "++++++++++"},
    {"hide_word", {kHideWord}, "----------", "++++++++++"},
    {"hide_word_reveal_row2", {kHideWord, WordToggle(2)}, "--+-------", "++++++++++"},
    {"revealed_row_kept_on_next", {kHideWord, WordToggle(3), kNext}, "---+------", "++++++++++"},
    {"hidden_row_reset_on_next", {MeanToggle(4), kNext}, "++++++++++", "++++++++++"},
    {"tick_untick_shows_all", {WordToggle(2), kHideWord, kHideWord}, "++++++++++", "++++++++++"},
    {"both_ticked", {kHideWord, kHideMean}, "----------", "----------"},
    {"means_revealed_kept",
     {kHideMean, MeanToggle(3), MeanToggle(5), kNext},
     "++++++++++",
     "---+-+----"},
    {"hide_word_leaves_means", {MeanToggle(1), kHideWord}, "----------", "+-++++++++"},
    {"hide_mean_leaves_words", {WordToggle(7), kHideMean, kHideMean}, "+++++++-++", "++++++++++"},
    {"jump_to_current_resets",
     {MeanToggle(4), Step{Step::Jump, 0, "1"}},
     "++++++++++",
     "++++++++++"},
    {"first_on_page1_keeps", {MeanToggle(4), kFirst, kPrev}, "++++++++++", "++++-+++++"},
    {"empty_rows_flip", {kLast, WordToggle(8)}, "++++++++-+", "++++++++++"},
    {"empty_rows_carry", {kLast, kHideWord, WordToggle(8), kPrev}, "--------+-", "++++++++++"},
};

class HideTest : public StudyWindowTest, public ::testing::WithParamInterface<HideCase> {};

TEST_P(HideTest, RowStates) {
    const HideCase& c = GetParam();
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    std::string words, means;
    Run([&](QDialog* w) {
        Perform(w, c.steps);
        words = RowStates(w, true);
        means = RowStates(w, false);
    });
    EXPECT_EQ(words, c.words);
    EXPECT_EQ(means, c.means);
}

INSTANTIATE_TEST_SUITE_P(Drill, HideTest, ::testing::ValuesIn(kHideCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
