// Page moves, jumps and page keys, driven through the window's buttons, jump field and keys.
#include <QDialog>
#include <QLineEdit>
#include <QtTest/QTest>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"

namespace {

using ::PrintTo;

const Step kFirst{Step::Click, IDC_FIRST_PAGE};
const Step kPrev{Step::Click, IDC_PREV_PAGE};
const Step kNext{Step::Click, IDC_NEXT_PAGE};
const Step kLast{Step::Click, IDC_LAST_PAGE};
Step Jump(const char* text) {
    return Step{Step::Jump, 0, text};
}

struct PagingCase {
    const char* name;
    std::vector<int> numbers; // numbers of the entries in list order
    const char* ini;          // env.ini content; nullptr: no file
    std::vector<Step> steps;
    int first, last; // list positions shown; 0: an empty page
    const char* label;
};

std::vector<int> Numbers(int count) {
    std::vector<int> numbers;
    for (int n = 1; n <= count; ++n)
        numbers.push_back(n);
    return numbers;
}

std::vector<int> WithGap() { // no entry numbered 11
    std::vector<int> numbers = Numbers(10);
    for (int n = 12; n <= 25; ++n)
        numbers.push_back(n);
    return numbers;
}

std::vector<int> WithDuplicate() { // 1..10, 11, 11, 12..20
    std::vector<int> numbers = Numbers(11);
    for (int n = 11; n <= 20; ++n)
        numbers.push_back(n);
    return numbers;
}

const char* const kPage1 = "[Setting]\r\nIndex=-9\r\n";

const PagingCase kPagingCases[] = {
    {"c35_start", Numbers(35), kPage1, {}, 1, 10, "Page: 1  /4   "},
    {"c35_next", Numbers(35), kPage1, {kNext}, 11, 20, "Page: 2  /4   "},
    {"c35_next3", Numbers(35), kPage1, {kNext, kNext, kNext}, 31, 35, "Page: 4  /4   "},
    {"c35_next4_refused",
     Numbers(35),
     kPage1,
     {kNext, kNext, kNext, kNext},
     31,
     35,
     "Page: 4  /4   "},
    {"c35_last_from1", Numbers(35), kPage1, {kLast}, 31, 35, "Page: 4  /4   "},
    {"c35_last_from21", Numbers(35), kPage1, {kNext, kNext, kLast}, 31, 35, "Page: 4  /4   "},
    {"c35_jump4", Numbers(35), kPage1, {Jump("4")}, 31, 35, "Page: 4  /4   "},
    {"c35_jump5_refused", Numbers(35), kPage1, {kNext, Jump("5")}, 11, 20, "Page: 2  /4   "},
    {"c20_next2", Numbers(20), kPage1, {kNext, kNext}, 11, 20, "Page: 2  /3   "},
    {"c20_last", Numbers(20), kPage1, {kLast}, 0, 0, "Page: 3  /3   "},
    {"c20_last_from11_refused", Numbers(20), kPage1, {kNext, kLast}, 11, 20, "Page: 2  /3   "},
    {"c20_prev_from21", Numbers(20), kPage1, {kLast, kPrev}, 11, 20, "Page: 2  /3   "},
    {"c20_jump1", Numbers(20), kPage1, {kNext, Jump("1")}, 1, 10, "Page: 1  /3   "},
    {"c20_jump2_refused", Numbers(20), kPage1, {Jump("2")}, 1, 10, "Page: 1  /3   "},
    {"c30_last", Numbers(30), kPage1, {kLast}, 0, 0, "Page: 4  /4   "},
    {"c30_next_from21_refused",
     Numbers(30),
     kPage1,
     {kNext, kNext, kNext},
     21,
     30,
     "Page: 3  /4   "},
    {"c30_jump2", Numbers(30), kPage1, {Jump("2")}, 11, 20, "Page: 2  /4   "},
    {"c30_jump3_refused", Numbers(30), kPage1, {Jump("3")}, 1, 10, "Page: 1  /4   "},
    {"c25_next", Numbers(25), kPage1, {kNext, kNext, kNext}, 21, 25, "Page: 3  /3   "},
    {"c25_last", Numbers(25), kPage1, {kLast, kLast}, 21, 25, "Page: 3  /3   "},
    {"c25_jump3", Numbers(25), kPage1, {Jump("3")}, 21, 25, "Page: 3  /3   "},
    {"c25_jump4_refused", Numbers(25), kPage1, {Jump("4")}, 1, 10, "Page: 1  /3   "},
    {"c10_all_refused", Numbers(10), kPage1, {kNext, kLast, Jump("1")}, 1, 10, "Page: 1  /2   "},
    {"c9_refused", Numbers(9), kPage1, {kNext, kLast}, 1, 9, "Page: 1  /1   "},
    {"c9_jump1", Numbers(9), nullptr, {Jump("1")}, 1, 9, "Page: 1  /1   "},
    {"c9_jump2_refused", Numbers(9), nullptr, {Jump("2")}, 0, 0, ""},
    {"c0_start_blank", {}, kPage1, {kNext, kLast, Jump("1")}, 0, 0, ""},
    {"c0_first_after_refused_start", {}, kPage1, {kFirst}, 0, 0, "Page: 1  /1   "},
    {"c0_first", {}, nullptr, {kFirst}, 0, 0, "Page: 1  /1   "},
    {"noindex_c35", Numbers(35), nullptr, {}, 10, 19, "Page: 2  /4   "},
    {"noindex_prev", Numbers(35), nullptr, {kPrev}, 0, 0, "Page: 1  /4   "},
    {"noindex_prev2", Numbers(35), nullptr, {kPrev, kPrev}, 0, 0, "Page: 0  /4   "},
    {"noindex_prev3", Numbers(35), nullptr, {kPrev, kPrev, kPrev}, 0, 0, "Page: -1 /4   "},
    {"noindex_prev3_first",
     Numbers(35),
     nullptr,
     {kPrev, kPrev, kPrev, kFirst},
     1,
     10,
     "Page: 1  /4   "},
    {"noindex_c5_blank", Numbers(5), nullptr, {kNext, kLast}, 0, 0, ""},
    {"noindex_c5_first", Numbers(5), nullptr, {kFirst}, 1, 5, "Page: 1  /1   "},
    {"noindex_c5_prev", Numbers(5), nullptr, {kPrev}, 0, 0, "Page: 0  /1   "},
    {"index_above", Numbers(35), "[Setting]\r\nIndex=26\r\n", {}, 0, 0, ""},
    {"index_11_c20", Numbers(20), "[Setting]\r\nIndex=11\r\n", {kNext}, 0, 0, ""},
    {"index_21", Numbers(35), "[Setting]\r\nIndex=11\r\n", {}, 21, 30, "Page: 3  /4   "},
    {"jump_blank_first", Numbers(35), kPage1, {Jump(" 2")}, 11, 20, "Page: 2  /4   "},
    {"jump_trailing_letters", Numbers(35), kPage1, {Jump("2abc")}, 11, 20, "Page: 2  /4   "},
    {"jump_letters", Numbers(35), kPage1, {kNext, Jump("abc")}, 11, 20, "Page: 2  /4   "},
    {"jump_empty", Numbers(35), kPage1, {kNext, Jump("")}, 11, 20, "Page: 2  /4   "},
    {"jump_zero", Numbers(35), kPage1, {kNext, Jump("0")}, 11, 20, "Page: 2  /4   "},
    {"jump_negative", Numbers(35), kPage1, {kNext, Jump("-3")}, 11, 20, "Page: 2  /4   "},
    {"jump_decimal", Numbers(35), kPage1, {Jump("3.9")}, 21, 30, "Page: 3  /4   "},
    {"jump_huge",
     Numbers(35),
     kPage1,
     {kNext, Jump("99999999999999999999")},
     11,
     20,
     "Page: 2  /4   "},
    {"jump_beyond_64_bits",
     Numbers(35),
     kPage1,
     {kNext, Jump("-99999999999999999999")},
     11,
     20,
     "Page: 2  /4   "},
    {"jump_sign_then_sign", Numbers(35), kPage1, {kNext, Jump("+-2")}, 11, 20, "Page: 2  /4   "},
    {"jump_plus_sign", Numbers(35), kPage1, {Jump(" +2")}, 11, 20, "Page: 2  /4   "},
    {"jump_times10_overflows",
     Numbers(35),
     kPage1,
     {kNext, Jump("214748365")},
     11,
     20,
     "Page: 2  /4   "},
    {"gap", WithGap(), kPage1, {kNext}, 0, 0, "Page: 2  /3   "},
    {"duplicate_numbers", WithDuplicate(), kPage1, {kNext}, 11, 20, "Page: 2  /3   "},
    {"extreme_index_max",
     Numbers(35),
     "[Setting]\r\nIndex=2147483647\r\n",
     {kPrev},
     0,
     0,
     "Page: 214748364/4   "},
    {"extreme_index_min",
     Numbers(35),
     "[Setting]\r\nIndex=-2147483648\r\n",
     {kPrev, kPrev},
     0,
     0,
     "Page: -214748364/4   "},
};

class PagingTest : public StudyWindowTest, public ::testing::WithParamInterface<PagingCase> {};

TEST_P(PagingTest, ShowsExpectedPage) {
    const PagingCase& c = GetParam();
    WriteNumbered(c.numbers);
    if (c.ini)
        WriteFile("env.ini", c.ini);
    PageView seen;
    Run([&](QDialog* w) {
        Perform(w, c.steps);
        seen = ViewPage(w);
    });
    EXPECT_EQ(seen, ExpectedPage(c.first, c.last, c.label));
}

INSTANTIATE_TEST_SUITE_P(Moves, PagingTest, ::testing::ValuesIn(kPagingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Keys pressed while a button has the focus page the window; in an edit they stay there.
struct KeyCase {
    const char* name;
    int focusId;
    Qt::Key key;
    int first, last;
    int cursor; // cursor position in the Word edit afterwards; -1: not checked
};

const KeyCase kKeyCases[] = {
    {"right_on_button", IDOK, Qt::Key_Right, 21, 30, -1},
    {"left_on_button", IDOK, Qt::Key_Left, 1, 10, -1},
    {"end_on_button", IDOK, Qt::Key_End, 31, 35, -1},
    {"home_on_button", IDOK, Qt::Key_Home, 1, 10, -1},
    {"up_on_button", IDOK, Qt::Key_Up, 11, 20, -1},
    {"home_in_edit", IDC_WORD, Qt::Key_Home, 11, 20, 0},
    {"end_in_edit", IDC_WORD, Qt::Key_End, 11, 20, 3},
    {"left_in_edit", IDC_WORD, Qt::Key_Left, 11, 20, 2},
};

class PageKeyTest : public StudyWindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PageKeyTest, MovesOnlyFromButtons) {
    const KeyCase& c = GetParam();
    WriteWords(35);
    WriteFile("env.ini", "[Setting]\r\nIndex=1\r\n"); // opens on page 2
    PageView seen;
    int cursor = -1;
    Run([&](QDialog* w) {
        Perform(w, Step{Step::Type, IDC_WORD, "abc"});
        Control<QWidget>(w, c.focusId)->setFocus();
        if (c.focusId == IDC_WORD)
            Control<QLineEdit>(w, IDC_WORD)->setCursorPosition(c.key == Qt::Key_Left ? 3 : 1);
        Perform(w, Step{Step::Key, c.key});
        seen = ViewPage(w);
        cursor = Control<QLineEdit>(w, IDC_WORD)->cursorPosition();
    });
    EXPECT_EQ(seen.words, ExpectedPage(c.first, c.last, "").words);
    if (c.cursor >= 0) {
        EXPECT_EQ(cursor, c.cursor);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, PageKeyTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
