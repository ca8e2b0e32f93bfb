#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "review/History.h"
#include "review/HistoryWriter.h"
#include "review/Replay.h"
#include "review/ReviewSession.h"
#include "study/StudySession.h"
#include "tests/support/FileBytes.h"
#include "words/WordStore.h"

namespace {

namespace fs = std::filesystem;

// An edit renames a word in the review history once the list holding the new word is saved;
// a run left without saving leaves the history with the words on disk.

enum class Act { Edit, Undo, Redo, Save };

struct Action {
    Act act;
    std::string word = ""; // Edit: the first entry's new word
};

struct RenameCase {
    const char* name;
    std::vector<Action> actions;
    bool leaveUnsaved;       // the window ends with Escape after the actions
    const char* holder;      // the word that carries w1's grades afterwards
    std::size_t renameLines; // rename lines in the history afterwards
};

const RenameCase kRenameCases[] = {
    {"edit_then_save_carries_the_history", {{Act::Edit, "x1"}, {Act::Save}}, false, "x1", 1},
    {"edit_left_unsaved_keeps_it", {{Act::Edit, "x1"}}, true, "w1", 0},
    {"edit_undone_then_saved_goes_back",
     {{Act::Edit, "x1"}, {Act::Undo}, {Act::Save}},
     false,
     "w1",
     2},
    {"edit_undone_and_redone",
     {{Act::Edit, "x1"}, {Act::Undo}, {Act::Redo}, {Act::Save}},
     false,
     "x1",
     3},
    {"two_edits_chain", {{Act::Edit, "x1"}, {Act::Edit, "y1"}, {Act::Save}}, false, "y1", 2},
    {"saved_edit_undone_after_the_save",
     {{Act::Edit, "x1"}, {Act::Save}, {Act::Undo}, {Act::Save}},
     false,
     "w1",
     2},
    {"saved_then_an_unsaved_edit",
     {{Act::Edit, "x1"}, {Act::Save}, {Act::Edit, "y1"}},
     true,
     "x1",
     1},
};

class RenameTest : public ::testing::TestWithParam<RenameCase> {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "vocamint-rename-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        m_dir = name;
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_P(RenameTest, HistoryFollowsTheSavedList) {
    const RenameCase& c = GetParam();
    WriteBytes((m_dir / "WL.txt").string(), "1 w1 s n. m\r\n2 w2 s n. m\r\n");
    const std::string historyPath = (m_dir / "reviews.tsv").string();
    WriteBytes(historyPath, "2026-12-01T10:00:00.000Z\tw1\t3\t1500\tw2m\n"
                            "2026-12-03T10:00:00.000Z\tw1\t3\t1500\tw2m\n");
    {
        StudySession session(std::make_unique<WordStore>(m_dir.string()),
                             (m_dir / "user.ini").string());
        ASSERT_EQ(session.Open(), "");
        ASSERT_EQ(session.review().HistoryPath(), historyPath);
        for (const Action& action : c.actions) {
            switch (action.act) {
            case Act::Edit: {
                WordEntry entry = session.words().At(session.words().Begin());
                entry.word = action.word;
                session.Edit(0, entry);
                break;
            }
            case Act::Undo:
                session.Undo();
                break;
            case Act::Redo:
                session.Redo();
                break;
            case Act::Save:
                EXPECT_TRUE(session.Save().end);
                break;
            }
        }
        ASSERT_TRUE(c.leaveUnsaved || !session.IsModified());
    }

    review::History history;
    std::string message;
    ASSERT_EQ(review::ReadHistory(historyPath, history, message), review::ReadStatus::Ok);
    std::size_t renames = 0;
    for (const auto& event : history.events)
        renames += event.kind == review::EventKind::Rename;
    EXPECT_EQ(renames, c.renameLines);
    const review::CardStates states = review::Replay(history, review::Scheduler());
    const review::CardState* held = states.Find(c.holder);
    ASSERT_NE(held, nullptr) << c.holder << " lost the history";
    EXPECT_EQ(held->reps, 2);
    for (const char* other : {"w1", "x1", "y1"}) {
        if (std::string(other) != c.holder) {
            EXPECT_EQ(states.Find(other), nullptr) << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, RenameTest, ::testing::ValuesIn(kRenameCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A grade given to the new word before the save comes after its rename, so it goes on from
// the old word's history instead of being lost to it.
TEST_F(RenameTest, GradeBetweenEditAndSaveKeepsBothHistories) {
    WriteBytes((m_dir / "WL.txt").string(), "1 w1 s n. m\r\n");
    const std::string historyPath = (m_dir / "reviews.tsv").string();
    WriteBytes(historyPath, "2026-12-01T10:00:00.000Z\tw1\t3\t1500\tw2m\n");
    StudySession session(std::make_unique<WordStore>(m_dir.string()),
                         (m_dir / "user.ini").string());
    ASSERT_EQ(session.Open(), "");
    WordEntry entry = session.words().At(session.words().Begin());
    entry.word = "x1";
    session.Edit(0, entry);
    review::HistoryWriter writer(historyPath);
    review::HistoryEvent grade;
    grade.time = review::SystemNow() + 1000;
    grade.word = "x1";
    std::string message;
    ASSERT_TRUE(writer.Append(grade, message)) << message;
    ASSERT_TRUE(session.Save().end);

    review::History history;
    ASSERT_EQ(review::ReadHistory(historyPath, history, message), review::ReadStatus::Ok);
    const review::CardStates states = review::Replay(history, review::Scheduler());
    const review::CardState* held = states.Find("x1");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->reps, 2);
}

} // namespace
