// The add form: the checks and their messages, the new entry, and the page shown after it.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>

#include "StudyWindowFixture.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "words/WordFile.h"
#include "words/WordList.h"

namespace {

using ::PrintTo;

struct Form {
    const char* word;
    const char* mean;
    const char* type;
};

struct AddCase {
    const char* name;
    int count;               // entries w1..wcount numbered 1..count
    const char* extra;       // more lines of WL.txt
    const char* ini;         // env.ini
    std::vector<Form> forms; // each typed and added in turn; the last one is checked
    // A refusal: the message, its caption and whether it has the information icon.
    const char* message;
    const char* caption;
    bool icon;
    int focusId;
    // An addition: the entry written at exit, the page label and the row holding the word.
    WordEntry added;
    const char* label;
    int row;
    const char* wordEdit; // the Word edit afterwards
};

const char* const kPage1 = "[Setting]\r\nIndex=-9\r\n";
const std::string kLong(600, 'q');

const AddCase kAddCases[] = {
    {"duplicate_with_blanks",
     5,
     "6 apple s n. m\r\n",
     kPage1,
     {{"  apple ", "x", "n."}},
     "Word 'apple' already existed!",
     "Info",
     false,
     0,
     {},
     nullptr,
     0,
     "  apple "},
    {"capitalised_twin",
     5,
     "6 apple s n. m\r\n",
     kPage1,
     {{"Apple", "x", "n."}},
     nullptr,
     nullptr,
     false,
     0,
     {7, "Apple", "", "n.", "x"},
     "Page: 1  /1   ",
     6,
     "Apple"},
    {"same_word_other_type",
     5,
     "",
     kPage1,
     {{"w3", "other", "v."}},
     "Word 'w3' already existed!",
     "Info",
     false,
     0,
     {},
     nullptr,
     0,
     "w3"},
    {"all_empty",
     5,
     "",
     kPage1,
     {{"", "", ""}},
     "Please Input Word!",
     "Error",
     true,
     IDC_WORD,
     {},
     nullptr,
     0,
     ""},
    {"mean_missing",
     5,
     "",
     kPage1,
     {{"pear", "", "n."}},
     "Please Input Mean!",
     "Error",
     true,
     IDC_MEAN,
     {},
     nullptr,
     0,
     "pear"},
    {"type_missing",
     5,
     "",
     kPage1,
     {{"pear", "fruit", ""}},
     "Please Input Type!",
     "Error",
     true,
     IDC_TYPE,
     {},
     nullptr,
     0,
     "pear"},
    {"blank_word",
     5,
     "",
     kPage1,
     {{"   ", "fruit", "n."}},
     "Please Input Word!",
     "Error",
     true,
     IDC_WORD,
     {},
     nullptr,
     0,
     "   "},
    {"blanks_kept",
     5,
     "",
     kPage1,
     {{" big pear ", " a fruit ", " n. "}},
     nullptr,
     nullptr,
     false,
     0,
     {6, "big pear", "", " n. ", " a fruit "},
     "Page: 1  /1   ",
     5,
     " big pear "},
    {"c30_start21",
     30,
     "",
     "[Setting]\r\nIndex=11\r\n",
     {{"pear", "fruit", "n."}},
     nullptr,
     nullptr,
     false,
     0,
     {31, "pear", "", "n.", "fruit"},
     "Page: 4  /4   ",
     0,
     "pear"},
    {"c9_empty_page",
     9,
     "",
     kPage1,
     {{"pear", "fruit", "n."}},
     nullptr,
     nullptr,
     false,
     0,
     {10, "pear", "", "n.", "fruit"},
     "Page: 2  /2   ",
     -1,
     "pear"},
    {"empty_list",
     0,
     "",
     nullptr,
     {{"pear", "fruit", "n."}},
     nullptr,
     nullptr,
     false,
     0,
     {1, "pear", "", "n.", "fruit"},
     "Page: 1  /1   ",
     0,
     "pear"},
    {"start_beyond_count",
     20,
     "",
     "[Setting]\r\nIndex=22\r\n",
     {{" pear ", "fruit", "n."}},
     nullptr,
     nullptr,
     false,
     0,
     {21, "pear", "", "n.", "fruit"},
     "",
     -1,
     "pear"},
    {"same_new_word_twice",
     5,
     "",
     kPage1,
     {{"pear", "fruit", "n."}, {"pear", "fruit", "n."}},
     "Word 'pear' already existed!",
     "Info",
     false,
     0,
     {},
     nullptr,
     0,
     "pear"},
    {"long_duplicate_shown_whole",
     5,
     "",
     kPage1,
     {{kLong.c_str(), "m", "n."}, {kLong.c_str(), "m", "n."}},
     nullptr,
     "Info",
     false,
     0,
     {},
     nullptr,
     0,
     kLong.c_str()},
};

class AddWordTest : public StudyWindowTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(AddWordTest, ChecksAndAdds) {
    const AddCase& c = GetParam();
    std::string list;
    for (int p = 1; p <= c.count; ++p) {
        const std::string n = std::to_string(p);
        list += n + " w" + n + " s" + n + " n. m" + n + "\r\n";
    }
    list += c.extra;
    if (c.count > 0 || *c.extra)
        WriteFile("WL.txt", list);
    if (c.ini)
        WriteFile("env.ini", c.ini);
    const bool refused = c.caption != nullptr;

    SeenMessageBox seen;
    PageView before, after;
    QString wordEdit;
    int focusId = 0;
    Run([&](QDialog* w) {
        for (std::size_t i = 0; i < c.forms.size(); ++i) {
            before = ViewPage(w);
            Perform(w, {{Step::Type, IDC_WORD, c.forms[i].word},
                        {Step::Type, IDC_MEAN, c.forms[i].mean},
                        {Step::Type, IDC_TYPE, c.forms[i].type}});
            if (refused && i + 1 == c.forms.size())
                AnswerNextMessageBox(&seen);
            Perform(w, Step{Step::Click, IDC_ADD});
        }
        after = ViewPage(w);
        wordEdit = Control<QLineEdit>(w, IDC_WORD)->text();
        if (QWidget* focus = w->focusWidget())
            focusId = focus->objectName().toInt();
        Perform(w, Step{Step::Click, IDOK});
    });

    EXPECT_EQ(wordEdit, QString::fromUtf8(c.wordEdit));
    WordList saved;
    if (refused) {
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.icon, c.icon ? QMessageBox::Information : QMessageBox::NoIcon);
        const std::string expected =
            c.message ? c.message : "Word '" + kLong + "' already existed!";
        EXPECT_EQ(seen.text, QString::fromUtf8(expected.c_str()));
        if (c.focusId) {
            EXPECT_EQ(focusId, c.focusId);
        }
        EXPECT_EQ(after, before);
        // Nothing new means nothing to save: the file keeps its bytes (or stays absent).
        const std::optional<std::string> file = ReadFile("WL.txt");
        if (c.forms.size() == 1) {
            EXPECT_EQ(file.value_or(""), list);
        }
        return;
    }
    EXPECT_FALSE(seen.shown);
    ASSERT_TRUE(LoadWordFile(saved, Path("WL.txt")));
    ASSERT_EQ(saved.GetCount(), static_cast<std::uint32_t>(c.added.number));
    WordPos last = saved.Begin();
    for (int i = 1; i < c.added.number; ++i)
        last = saved.Next(last);
    EXPECT_EQ(saved.At(last), c.added);
    EXPECT_EQ(after.label, c.label);
    // The row holding the new word, and empty rows after it (all of them when row is -1).
    for (int row = c.row < 0 ? 0 : c.row; row < 10; ++row) {
        const QString word = QString::fromStdString(c.added.word).section(' ', 0, 0);
        EXPECT_EQ(after.words[row], row == c.row ? word : QString()) << row;
    }
}

INSTANTIATE_TEST_SUITE_P(Form, AddWordTest, ::testing::ValuesIn(kAddCases),
                         [](const auto& info) { return std::string(info.param.name); });

// After an addition to a list of nine the last page is empty; the previous page holds all ten.
TEST_F(StudyWindowTest, AddToNineThenPrevShowsTen) {
    WriteWords(9);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    PageView seen;
    Run([&](QDialog* w) {
        Perform(w, {{Step::Type, IDC_WORD, "w10"},
                    {Step::Type, IDC_MEAN, "m10"},
                    {Step::Type, IDC_TYPE, "n."},
                    {Step::Click, IDC_ADD},
                    {Step::Click, IDC_PREV_PAGE}});
        seen = ViewPage(w);
    });
    EXPECT_EQ(seen, ExpectedPage(1, 10, "Page: 1  /2   "));
}

} // namespace
