// A whole session and the next start: the words, the page and the jump text survive each exit
// that saves, and nothing changes after the one that does not.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QtTest/QTest>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"

namespace {

using ::PrintTo;

enum class Route { Exit, EnterInEdit, Close, Escape };

struct RoundTripCase {
    const char* name;
    Route route;
    bool saves;
};

const RoundTripCase kRoundTripCases[] = {
    {"exit", Route::Exit, true},
    {"enter_in_edit", Route::EnterInEdit, true},
    {"close", Route::Close, true},
    {"escape", Route::Escape, false},
};

void Add(QDialog* w, const char* word, const char* mean, const char* type) {
    Perform(
        w,
        {{Step::Type, IDC_WORD, word}, {Step::Type, IDC_MEAN, mean}, {Step::Type, IDC_TYPE, type}});
    Perform(w, Step{Step::Click, IDC_ADD});
}

class RoundTripTest : public StudyWindowTest,
                      public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, NextStartShowsWhatWasLeft) {
    const RoundTripCase& c = GetParam();
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\nGoto=\r\n");
    const std::vector<WordEntry> original = LoadEntries("WL.txt");
    ASSERT_EQ(original.size(), 12u);

    Run([&](QDialog* w) {
        Perform(w, {{Step::Click, IDC_HIDE_MEAN},
                    {Step::Click, kRows[3].meanToggle},
                    {Step::Click, IDC_NEXT_PAGE},
                    {Step::Click, kRows[1].wordToggle},
                    {Step::Click, IDC_PREV_PAGE},
                    {Step::Jump, 0, "2"}});
        Add(w, " ice cream ", "冰淇淋 甜品", "n. phr");
        Add(w, "苹果", " píngguǒ ", "n.");
        SeenMessageBox duplicate;
        AnswerNextMessageBox(&duplicate);
        Add(w, "w3", "again", "n.");
        EXPECT_TRUE(duplicate.shown);
        Add(w, "W3", "twin", "n.");
        switch (c.route) {
        case Route::Exit:
            Perform(w, Step{Step::Click, IDOK});
            break;
        case Route::EnterInEdit:
            QTest::keyClick(Control<QLineEdit>(w, IDC_TYPE), Qt::Key_Return);
            break;
        case Route::Close:
            w->close();
            break;
        case Route::Escape:
            QTest::keyClick(w, Qt::Key_Escape);
            break;
        }
    });

    std::vector<WordEntry> expected = original;
    if (c.saves) {
        expected.push_back({13, "ice cream", "", "n. phr", "冰淇淋 甜品"});
        expected.push_back({14, "苹果", "", "n.", " píngguǒ "});
        expected.push_back({15, "W3", "", "n.", "twin"});
    }
    EXPECT_EQ(LoadEntries("WL.txt"), expected);

    PageView page;
    QString jump;
    std::string words, means;
    Run([&](QDialog* w) {
        page = ViewPage(w);
        jump = Control<QLineEdit>(w, IDC_GOTO)->text();
        words = RowStates(w, true);
        means = RowStates(w, false);
    });
    if (c.saves) {
        EXPECT_EQ(page.label, "Page: 2  /2   ");
        EXPECT_EQ(page.words.mid(0, 6), QStringList({"w11", "w12", "ice", "苹果", "W3", ""}));
        EXPECT_EQ(page.means[3], " píngguǒ ");
        EXPECT_EQ(jump, "2");
    } else {
        EXPECT_EQ(page, ExpectedPage(1, 10, "Page: 1  /2   "));
        EXPECT_EQ(jump, "");
    }
    EXPECT_EQ(words, "++++++++++"); // nothing of the drill is remembered
    EXPECT_EQ(means, "++++++++++");
}

INSTANTIATE_TEST_SUITE_P(Routes, RoundTripTest, ::testing::ValuesIn(kRoundTripCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
