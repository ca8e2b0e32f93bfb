// The window as it opens, its keyboard layout (focus, tab order, mnemonics) and its inert parts.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest/QTest>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"

namespace {

using ::PrintTo;

int FocusId() {
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName().toInt() : 0;
}

TEST_F(StudyWindowTest, OpensBlankWithoutFiles) {
    PageView view;
    std::string words, means;
    int focus = 0;
    QStringList edits;
    int ticked = 0;
    Run([&](QDialog* w) {
        view = ViewPage(w);
        words = RowStates(w, true);
        means = RowStates(w, false);
        focus = FocusId();
        for (int id : {IDC_WORD, IDC_MEAN, IDC_TYPE, IDC_GOTO})
            edits << Control<QLineEdit>(w, id)->text();
        for (QAbstractButton* box : w->findChildren<QAbstractButton*>())
            ticked += box->isChecked() ? 1 : 0;
    });
    EXPECT_EQ(view, ExpectedPage(0, 0, ""));
    EXPECT_EQ(words, "++++++++++");
    EXPECT_EQ(means, "++++++++++");
    EXPECT_EQ(focus, IDOK);
    EXPECT_EQ(edits, QStringList({"", "", "", ""}));
    EXPECT_EQ(ticked, 0);
    EXPECT_FALSE(ReadFile("WL.txt").has_value());
}

TEST_F(StudyWindowTest, RestoresJumpTextButNotThePage) {
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=1\r\nGoto=3\r\n");
    PageView view;
    QString jump;
    Run([&](QDialog* w) {
        view = ViewPage(w);
        jump = Control<QLineEdit>(w, IDC_GOTO)->text();
    });
    EXPECT_EQ(view, ExpectedPage(11, 20, "Page: 2  /4   "));
    EXPECT_EQ(jump, "3");
}

TEST_F(StudyWindowTest, TabVisitsTheControlsInTemplateOrder) {
    std::vector<int> expected = {IDC_FIRST_PAGE, IDC_PREV_PAGE, IDC_NEXT_PAGE,
                                 IDC_LAST_PAGE,  IDC_HIDE_WORD, IDC_HIDE_MEAN};
    for (const RowIds& row : kRows)
        expected.push_back(row.check);
    for (const RowIds& row : kRows)
        expected.push_back(row.wordToggle);
    for (const RowIds& row : kRows)
        expected.push_back(row.meanToggle);
    for (int id : {IDC_WORD, IDC_MEAN, IDC_ADD, IDC_GOTO, IDC_GOTO_BUTTON, IDC_TYPE, IDOK})
        expected.push_back(id);
    std::vector<int> seen;
    Run([&](QDialog*) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(FocusId());
        }
    });
    EXPECT_EQ(seen, expected);
}

// Alt with an underlined letter: buttons are pressed, check boxes flipped, edits focused.
struct MnemonicCase {
    const char* name;
    Qt::Key key;
    int focusId;       // where the focus lands
    const char* words; // word column afterwards
    const char* means;
    const char* label; // page label afterwards
};

const MnemonicCase kMnemonicCases[] = {
    {"alt_a_adds", Qt::Key_A, IDC_ADD, "++++++++++", "++++++++++", "Page: 2  /2   "},
    {"alt_w_hides_words", Qt::Key_W, IDC_HIDE_WORD, "----------", "++++++++++", "Page: 1  /1   "},
    {"alt_m_hides_means", Qt::Key_M, IDC_HIDE_MEAN, "++++++++++", "----------", "Page: 1  /1   "},
    {"alt_o_word_edit", Qt::Key_O, IDC_WORD, "++++++++++", "++++++++++", "Page: 1  /1   "},
    {"alt_t_type_edit", Qt::Key_T, IDC_TYPE, "++++++++++", "++++++++++", "Page: 1  /1   "},
};

class MnemonicTest : public StudyWindowTest, public ::testing::WithParamInterface<MnemonicCase> {};

TEST_P(MnemonicTest, ActsOnItsControl) {
    const MnemonicCase& c = GetParam();
    WriteWords(9);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    int focus = 0;
    std::string words, means;
    QString label;
    Run([&](QDialog* w) {
        Perform(w, {{Step::Type, IDC_WORD, "pear"},
                    {Step::Type, IDC_MEAN, "fruit"},
                    {Step::Type, IDC_TYPE, "n."}});
        Control<QWidget>(w, IDOK)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), c.key, Qt::AltModifier);
        focus = FocusId();
        words = RowStates(w, true);
        means = RowStates(w, false);
        label = ViewPage(w).label;
    });
    if (c.focusId != IDC_ADD) { // a pressed button keeps the focus where it was, as with a click
        EXPECT_EQ(focus, c.focusId);
    }
    EXPECT_EQ(words, c.words);
    EXPECT_EQ(means, c.means);
    EXPECT_EQ(label, c.label);
}

INSTANTIATE_TEST_SUITE_P(Keys, MnemonicTest, ::testing::ValuesIn(kMnemonicCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The Spell pair never shows; the row check boxes tick and nothing else happens.
TEST_F(StudyWindowTest, SpellHiddenAndRowChecksInert) {
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    bool spellShown = false;
    PageView before, afterTick;
    bool tickedAfterNext = false;
    Run([&](QDialog* w) {
        before = ViewPage(w);
        Perform(w, Step{Step::Click, kRows[3].check});
        afterTick = ViewPage(w);
        Perform(w, {{Step::Click, IDC_NEXT_PAGE},
                    {Step::Type, IDC_WORD, "pear"},
                    {Step::Type, IDC_MEAN, "fruit"},
                    {Step::Type, IDC_TYPE, "n."},
                    {Step::Click, IDC_ADD}});
        tickedAfterNext = Control<QAbstractButton>(w, kRows[3].check)->isChecked();
        for (int id : {IDC_SPELL, IDC_SPELL_LABEL})
            spellShown = spellShown || Control<QWidget>(w, id)->isVisible();
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_FALSE(spellShown);
    EXPECT_EQ(afterTick, before);
    EXPECT_TRUE(tickedAfterNext);
    EXPECT_EQ(Settings(), "21|"); // the ticks are not stored
    bool tickedAgain = true;
    Run([&](QDialog* w) {
        tickedAgain = Control<QAbstractButton>(w, kRows[3].check)->isChecked();
    });
    EXPECT_FALSE(tickedAgain);
}

} // namespace
