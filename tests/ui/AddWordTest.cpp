// The add form: the checks and their messages, the new entry, and the page shown after it.
#include <QDialog>
#include <QLineEdit>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"

namespace {

using ::PrintTo;

struct Form {
    const char* word;
    const char* mean;
    const char* type;
};

// Entries w1..wN numbered 1..N, then `extra` lines.
std::string ListText(int count, const char* extra = "") {
    std::string list;
    for (int p = 1; p <= count; ++p) {
        const std::string n = std::to_string(p);
        list += n + " w" + n + " s" + n + " n. m" + n + "\r\n";
    }
    return list + extra;
}

void AddForm(QDialog* w, const Form& form) {
    Perform(w, {{Step::Type, IDC_WORD, form.word},
                {Step::Type, IDC_MEAN, form.mean},
                {Step::Type, IDC_TYPE, form.type},
                {Step::Click, IDC_ADD}});
}

const char* const kPage1 = "[Setting]\r\nIndex=-9\r\n";
const std::string kLong(600, 'q');
const std::string kLongMessage = "Word '" + kLong + "' already existed!";

// Refused forms: the box shown, where the focus goes, and nothing else changes.
struct RefusalCase {
    const char* name;
    const char* extra;       // lines after w1..w5
    std::vector<Form> forms; // added in turn; the last one is refused
    const char* message;
    const char* caption;
    int focusId; // 0: the focus stays where it was
};

const RefusalCase kRefusalCases[] = {
    {"duplicate_with_blanks",
     "6 apple s n. m\r\n",
     {{"  apple ", "x", "n."}},
     "Word 'apple' already existed!",
     "Info",
     0},
    {"same_word_other_type", "", {{"w3", "other", "v."}}, "Word 'w3' already existed!", "Info", 0},
    {"all_empty", "", {{"", "", ""}}, "Please Input Word!", "Error", IDC_WORD},
    {"mean_missing", "", {{"pear", "", "n."}}, "Please Input Mean!", "Error", IDC_MEAN},
    {"type_missing", "", {{"pear", "fruit", ""}}, "Please Input Type!", "Error", IDC_TYPE},
    {"blank_word", "", {{"   ", "fruit", "n."}}, "Please Input Word!", "Error", IDC_WORD},
    {"same_new_word_twice",
     "",
     {{"pear", "fruit", "n."}, {"pear", "fruit", "n."}},
     "Word 'pear' already existed!",
     "Info",
     0},
    {"long_duplicate_shown_whole",
     "",
     {{kLong.c_str(), "m", "n."}, {kLong.c_str(), "m", "n."}},
     kLongMessage.c_str(),
     "Info",
     0},
};

class RefusalTest : public StudyWindowTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, ShowsMessageAndChangesNothing) {
    const RefusalCase& c = GetParam();
    const std::string list = ListText(5, c.extra);
    WriteFile("WL.txt", list);
    WriteFile("env.ini", kPage1);
    SeenMessageBox seen;
    PageView before, after;
    QString wordEdit;
    int focusId = 0;
    Run([&](QDialog* w) {
        for (std::size_t i = 0; i + 1 < c.forms.size(); ++i)
            AddForm(w, c.forms[i]);
        before = ViewPage(w);
        AnswerNextMessageBox(&seen);
        AddForm(w, c.forms.back());
        after = ViewPage(w);
        wordEdit = Control<QLineEdit>(w, IDC_WORD)->text();
        focusId = w->focusWidget() ? w->focusWidget()->objectName().toInt() : 0;
        Perform(w, Step{Step::Click, IDOK});
    });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, QString::fromUtf8(c.message));
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_EQ(seen.icon, c.focusId ? QMessageBox::Information : QMessageBox::NoIcon);
    EXPECT_EQ(focusId, c.focusId ? c.focusId : IDC_ADD);
    EXPECT_EQ(after, before);
    EXPECT_EQ(wordEdit, QString::fromUtf8(c.forms.back().word)); // as typed
    // Nothing added means nothing to save: the word file keeps its bytes.
    if (c.forms.size() == 1) {
        EXPECT_EQ(ReadFile("WL.txt"), list);
    }
}

INSTANTIATE_TEST_SUITE_P(Form, RefusalTest, ::testing::ValuesIn(kRefusalCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Accepted forms: the entry written at exit, the page shown and the Word edit afterwards.
struct AdditionCase {
    const char* name;
    int count;
    const char* extra;
    const char* ini; // nullptr: no env.ini
    Form form;
    WordEntry added;
    const char* label;
    int row; // the row showing the new word, later rows empty; -1: all rows empty
    const char* wordEdit;
};

const AdditionCase kAdditionCases[] = {
    {"capitalised_twin",
     5,
     "6 apple s n. m\r\n",
     kPage1,
     {"Apple", "x", "n."},
     {7, "Apple", "", "n.", "x"},
     "Page: 1  /1   ",
     6,
     "Apple"},
    {"blanks_kept",
     5,
     "",
     kPage1,
     {" big pear ", " a fruit ", " n. "},
     {6, "big pear", "", " n. ", " a fruit "},
     "Page: 1  /1   ",
     5,
     " big pear "},
    {"c30_start21",
     30,
     "",
     "[Setting]\r\nIndex=11\r\n",
     {"pear", "fruit", "n."},
     {31, "pear", "", "n.", "fruit"},
     "Page: 4  /4   ",
     0,
     "pear"},
    {"c9_empty_page",
     9,
     "",
     kPage1,
     {"pear", "fruit", "n."},
     {10, "pear", "", "n.", "fruit"},
     "Page: 2  /2   ",
     -1,
     "pear"},
    {"empty_list",
     0,
     "",
     nullptr,
     {"pear", "fruit", "n."},
     {1, "pear", "", "n.", "fruit"},
     "Page: 1  /1   ",
     0,
     "pear"},
    // The last-page move is refused from there: no refill, so the edit keeps the trimmed word.
    {"start_beyond_count",
     20,
     "",
     "[Setting]\r\nIndex=22\r\n",
     {" pear ", "fruit", "n."},
     {21, "pear", "", "n.", "fruit"},
     "",
     -1,
     "pear"},
};

class AdditionTest : public StudyWindowTest, public ::testing::WithParamInterface<AdditionCase> {};

TEST_P(AdditionTest, AppendsAndShowsLastPage) {
    const AdditionCase& c = GetParam();
    if (c.count > 0 || *c.extra)
        WriteFile("WL.txt", ListText(c.count, c.extra));
    if (c.ini)
        WriteFile("env.ini", c.ini);
    PageView after;
    QString wordEdit;
    Run([&](QDialog* w) {
        AddForm(w, c.form);
        after = ViewPage(w);
        wordEdit = Control<QLineEdit>(w, IDC_WORD)->text();
        Perform(w, Step{Step::Click, IDOK});
    });
    const std::vector<WordEntry> saved = LoadEntries("WL.txt");
    ASSERT_EQ(saved.size(), static_cast<std::size_t>(c.added.number));
    EXPECT_EQ(saved.back(), c.added);
    EXPECT_EQ(after.label, c.label);
    const QString shown = QString::fromStdString(c.added.word).section(' ', 0, 0);
    for (int row = c.row < 0 ? 0 : c.row; row < 10; ++row)
        EXPECT_EQ(after.words[row], row == c.row ? shown : QString()) << row;
    EXPECT_EQ(wordEdit, c.wordEdit);
}

INSTANTIATE_TEST_SUITE_P(Form, AdditionTest, ::testing::ValuesIn(kAdditionCases),
                         [](const auto& info) { return std::string(info.param.name); });

// After an addition to a list of nine the last page is empty; the previous page holds all ten.
TEST_F(StudyWindowTest, AddToNineThenPrevShowsTen) {
    WriteWords(9);
    WriteFile("env.ini", kPage1);
    PageView seen;
    Run([&](QDialog* w) {
        AddForm(w, {"w10", "m10", "n."});
        Perform(w, Step{Step::Click, IDC_PREV_PAGE});
        seen = ViewPage(w);
    });
    EXPECT_EQ(seen, ExpectedPage(1, 10, "Page: 1  /2   "));
}

} // namespace
