#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"
#include "exchange/ImportPlan.h"
#include "study/StudySession.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ListEntries.h"
#include "words/WordStore.h"

namespace {

namespace fs = std::filesystem;

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "vocamint-session-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        m_dir = name;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // A session on the folder, opened and its settings read, as the window starts one.
    std::unique_ptr<StudySession> Start() {
        auto session = std::make_unique<StudySession>(std::make_unique<WordStore>(m_dir.string()),
                                                      (m_dir / "user.ini").string());
        EXPECT_EQ(session->Open(), "");
        session->ReadSettings();
        return session;
    }

    fs::path m_dir;
};

// ---- Pages and changes --------------------------------------------------------------------

enum class Act { First, Previous, Next, Last, Jump, Show, Add, Edit, Delete, Undo, Redo };

struct Action {
    Act act;
    std::string text = ""; // Jump: the field's text; Add, Edit: the word
    int row = 0;           // Edit, Delete: the row; Show: the list index
};

struct PageCase {
    const char* name;
    int count;                   // words numbered 1..count
    const char* index;           // [Setting] Index
    std::vector<Action> actions; // after the start-up's next-page move
    std::int32_t start;          // the page start afterwards
    std::string firstWord;       // the word of the page's first row; "" for an empty page
    // The last action's answer.
    bool pageMoved;
    bool rowsChanged;
    bool listChanged;
    std::optional<int> focusRow;
};

const PageCase kPageCases[] = {
    {"opens_on_the_page_after_the_index", 25, "1", {}, 11, "w11", true, false, false, {}},
    {"last_page", 25, "-9", {{Act::Last}}, 21, "w21", true, false, false, {}},
    {"jump_past_the_end_is_refused",
     25,
     "-9",
     {{Act::Jump, "4"}},
     1,
     "w1",
     false,
     false,
     false,
     {}},
    {"jump", 25, "-9", {{Act::Jump, "2"}}, 11, "w11", true, false, false, {}},
    {"previous_on_first_page_is_refused",
     25,
     "-9",
     {{Act::Previous}},
     1,
     "w1",
     false,
     false,
     false,
     {}},
    {"add_shows_the_last_page", 25, "-9", {{Act::Add, "new"}}, 21, "w21", true, false, true, {}},
    {"add_opens_a_page", 20, "-9", {{Act::Add, "new"}}, 21, "new", true, false, true, {}},
    {"delete_keeps_the_page", 25, "-9", {{Act::Delete, "", 3}}, 1, "w1", false, true, true, {}},
    {"delete_the_last_pages_only_word",
     21,
     "-9",
     {{Act::Last}, {Act::Delete, "", 0}},
     11,
     "w11",
     true,
     false,
     true,
     {}},
    {"delete_on_an_empty_row_does_nothing",
     12,
     "-9",
     {{Act::Last}, {Act::Delete, "", 5}},
     11,
     "w11",
     false,
     false,
     false,
     {}},
    {"undo_returns_to_the_change",
     25,
     "-9",
     {{Act::Delete, "", 0}, {Act::Last}, {Act::Undo}},
     1,
     "w1",
     true,
     false,
     true,
     {}},
    {"redo",
     25,
     "-9",
     {{Act::Delete, "", 0}, {Act::Undo}, {Act::Redo}},
     1,
     "w2",
     false,
     true,
     true,
     {}},
    {"undo_with_nothing_done", 25, "-9", {{Act::Undo}}, 1, "w1", false, false, false, {}},
    {"edit_unchanged_is_no_step",
     25,
     "-9",
     {{Act::Edit, "w1", 0}},
     1,
     "w1",
     false,
     false,
     false,
     {}},
    {"edit", 25, "-9", {{Act::Edit, "pear", 0}}, 1, "pear", false, true, true, {}},
    {"show_entry_focuses_its_row",
     25,
     "-9",
     {{Act::Show, "", 13}},
     11,
     "w11",
     true,
     false,
     false,
     3},
};

class PageTest : public SessionTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageTest, AnswersAndPosition) {
    const PageCase& c = GetParam();
    WriteBytes(m_dir / "WL.txt", Lines(1, c.count));
    WriteBytes(m_dir / "env.ini", std::string("[Setting]\r\nIndex=") + c.index + "\r\n");
    std::unique_ptr<StudySession> session = Start();
    StudySession::Answer answer = session->NextPage();
    for (const Action& a : c.actions) {
        const std::optional<std::uint32_t> entry = session->EntryAtRow(a.row);
        const WordEntry edited{0, a.text, "s", "n.", "m"};
        switch (a.act) {
        case Act::First:
            answer = session->FirstPage();
            break;
        case Act::Previous:
            answer = session->PreviousPage();
            break;
        case Act::Next:
            answer = session->NextPage();
            break;
        case Act::Last:
            answer = session->LastPage();
            break;
        case Act::Jump:
            answer = session->Jump(a.text);
            break;
        case Act::Show:
            answer = session->ShowEntry(static_cast<std::uint32_t>(a.row));
            break;
        case Act::Add:
            answer = session->Add({static_cast<std::int32_t>(session->words().GetCount() + 1),
                                   a.text, "", "n.", "m"});
            break;
        case Act::Edit:
            answer = entry ? session->Edit(*entry, edited) : StudySession::Answer{};
            break;
        case Act::Delete:
            answer = entry ? session->Delete(*entry) : StudySession::Answer{};
            break;
        case Act::Undo:
            answer = session->Undo();
            break;
        case Act::Redo:
            answer = session->Redo();
            break;
        }
    }
    EXPECT_EQ(session->PageStart(), c.start);
    const WordList& words = session->words();
    EXPECT_EQ(session->Cursor() == words.End() ? "" : words.At(session->Cursor()).word,
              c.firstWord);
    EXPECT_EQ(answer.pageMoved, c.pageMoved);
    EXPECT_EQ(answer.rowsChanged, c.rowsChanged);
    EXPECT_EQ(answer.listChanged, c.listChanged);
    EXPECT_EQ(answer.focusRow, c.focusRow);
}

INSTANTIATE_TEST_SUITE_P(Session, PageTest, ::testing::ValuesIn(kPageCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RowCase {
    const char* name;
    int count;
    int row;
    std::optional<std::uint32_t> entry;
};

const RowCase kRowCases[] = {
    {"first_row", 12, 0, 10u},    {"last_filled_row", 12, 1, 11u}, {"empty_row", 12, 2, {}},
    {"negative_row", 12, -1, {}}, {"past_the_rows", 30, 10, {}},   {"empty_list", 0, 0, {}},
};

class RowTest : public SessionTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RowTest, EntryAtRowOnThePageOfEleven) {
    const RowCase& c = GetParam();
    WriteBytes(m_dir / "WL.txt", Lines(1, c.count));
    WriteBytes(m_dir / "env.ini", "[Setting]\r\nIndex=1\r\n");
    std::unique_ptr<StudySession> session = Start();
    session->NextPage();
    EXPECT_EQ(session->EntryAtRow(c.row), c.entry);
}

INSTANTIATE_TEST_SUITE_P(Session, RowTest, ::testing::ValuesIn(kRowCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Leaving ------------------------------------------------------------------------------

struct LeaveCase {
    const char* name;
    bool change;          // a word added in the run
    const char* appended; // appended to WL.txt by another program meanwhile; nullptr: none
    const char* list;     // WL.txt afterwards
    bool backup;          // a copy of the old list kept in backups/
};

const LeaveCase kLeaveCases[] = {
    {"unchanged_list_is_not_written", false, nullptr, "1 w1 s n. m\r\n2 w2 s n. m\r\n", false},
    {"addition_is_saved_with_a_backup", true, nullptr,
     "1 w1 s n. m\r\n2 w2 s n. m\r\n3 new \\e n. m\r\n", true},
    {"addition_merges_with_one_made_meanwhile", true, "3 theirs s n. m\r\n",
     "1 w1 s n. m\r\n2 w2 s n. m\r\n3 theirs s n. m\r\n4 new \\e n. m\r\n", true},
};

class LeaveTest : public SessionTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveTest, WritesThePositionAndSavesWhatChanged) {
    const LeaveCase& c = GetParam();
    WriteBytes(m_dir / "WL.txt", Lines(1, 2));
    WriteBytes(m_dir / "env.ini", "[Setting]\r\nIndex=-9\r\n");
    std::unique_ptr<StudySession> session = Start();
    session->NextPage();
    if (c.change)
        session->Add({3, "new", "", "n.", "m"});
    if (c.appended)
        WriteBytes(m_dir / "WL.txt", Lines(1, 2) + c.appended);
    // A save that writes tells its hook, to the end; one with nothing to write says nothing.
    struct LastFigure : Progress {
        int last = -1;
        void Report(std::string_view, int permille) override { last = permille; }
    } progress;
    const StudySession::Leaving left = session->Leave("7", &progress);
    EXPECT_TRUE(left.end) << left.message;
    EXPECT_EQ(progress.last, c.change ? Progress::kWhole : -1);
    EXPECT_EQ(ReadBytes(m_dir / "WL.txt"), c.list);
    EXPECT_EQ(fs::exists(m_dir / "backups") && !fs::is_empty(m_dir / "backups"), c.backup);
    EXPECT_EQ(ReadBytes(m_dir / "env.ini"), "[Setting]\r\nIndex=-9\r\nGoto=7\r\n");
}

INSTANTIATE_TEST_SUITE_P(Session, LeaveTest, ::testing::ValuesIn(kLeaveCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SessionTest, ImportIsOneUndoableStepShownOnTheLastPage) {
    WriteBytes(m_dir / "WL.txt", Lines(1, 12));
    std::unique_ptr<StudySession> session = Start();
    session->NextPage();
    WordList current;
    current.Append({1, "w1", "s", "n.", "m"});
    ImportPlan plan;
    plan.added.Append({13, "x", "", "n.", "m"});
    plan.added.Append({14, "y", "", "n.", "m"});
    plan.replaced.push_back({0, {1, "w1", "s", "n.", "m"}, {1, "w1", "s2", "v.", "m2"}});
    const StudySession::Answer answer = session->Import(std::move(plan));
    EXPECT_TRUE(answer.pageMoved && answer.listChanged);
    EXPECT_EQ(session->PageStart(), 11);
    EXPECT_EQ(session->words().GetCount(), 14u);
    EXPECT_EQ(session->words().At(session->words().Begin()).mean, "m2");
    EXPECT_EQ(session->Import(ImportPlan{}).listChanged, false);
    session->Undo();
    EXPECT_EQ(session->words().GetCount(), 12u);
    EXPECT_EQ(session->words().At(session->words().Begin()).mean, "m");
    EXPECT_FALSE(session->IsModified());
}

TEST_F(SessionTest, SecondSessionOnTheFolderIsToldTheListIsOpen) {
    WriteBytes(m_dir / "WL.txt", Lines(1, 2));
    std::unique_ptr<StudySession> first = Start();
    std::unique_ptr<StudySession> second = Start();
    EXPECT_EQ(first->LockNotice(), "");
    EXPECT_NE(second->LockNotice(), "");
    EXPECT_FALSE(second->TakeLock());
}

// Copies another machine's synchroniser leaves while the list is open are merged then too:
// into the list shown when this run has changed nothing, else into the file, which the save
// then merges, so that neither side's words are lost.
struct FollowCase {
    const char* name;
    bool changedFirst;   // this run added a word before the copy arrived
    bool reread;         // the rows show the copy's word at once
    std::size_t counted; // words in the session afterwards (before any save)
};

const FollowCase kFollowCases[] = {
    {"unchanged_list_is_read_again", false, true, 13},
    {"changed_list_merges_at_save", true, false, 13},
};

class FollowTest : public SessionTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(FollowTest, CopiesArrivingWhileOpen) {
    const FollowCase& c = GetParam();
    WriteBytes(m_dir / "WL.txt", Lines(1, 12));
    std::unique_ptr<StudySession> session = Start();
    std::string notice;
    EXPECT_EQ(session->FollowSyncedCopies(notice).listChanged, false);
    EXPECT_EQ(notice, "");
    if (c.changedFirst)
        session->Add({13, "mine", "", "n.", "m"});
    WriteBytes(m_dir / "WL.sync-conflict-20261208-101500-ABCDEF1.txt",
               Lines(1, 12) + "13 theirs s n. m\r\n");

    const std::int32_t start = session->PageStart();
    const std::string firstShown = session->words().At(session->Cursor()).word;
    const StudySession::Answer answer = session->FollowSyncedCopies(notice);
    EXPECT_NE(notice, "");
    EXPECT_EQ(answer.rowsChanged && answer.listChanged, c.reread);
    EXPECT_FALSE(fs::exists(m_dir / "WL.sync-conflict-20261208-101500-ABCDEF1.txt"));
    EXPECT_EQ(session->words().GetCount(), c.counted);
    EXPECT_EQ(session->PageStart(), start);
    ASSERT_NE(session->Cursor(), session->words().End());
    EXPECT_EQ(session->words().At(session->Cursor()).word, firstShown);
    EXPECT_EQ(session->FollowSyncedCopies(notice).listChanged, false);
    EXPECT_EQ(notice, "");

    ASSERT_TRUE(session->Save().end);
    const std::string saved = ReadBytes(m_dir / "WL.txt");
    EXPECT_NE(saved.find("theirs"), std::string::npos);
    EXPECT_EQ(saved.find("mine") != std::string::npos, c.changedFirst);
}

INSTANTIATE_TEST_SUITE_P(Session, FollowTest, ::testing::ValuesIn(kFollowCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
