#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/Backups.h"
#include "storage/Folder.h"
#include "study/DiscardedChanges.h"
#include "study/ListHistory.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;

// Entries "w<n>" numbered 1..count, each standing for its place in the file.
WordList Saved(int count) {
    WordList list;
    for (int n = 1; n <= count; ++n)
        list.Append({n, "w" + std::to_string(n), "s", "n.", "m"});
    list.MarkLoaded();
    return list;
}

WordEntry Entry(int number, const std::string& word) {
    return {number, word, "s", "n.", "m"};
}

// "number:word" for each entry, in list order.
std::string Rows(const WordList& list) {
    std::string rows;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos))
        rows += (rows.empty() ? "" : " ") + std::to_string(list.At(pos).number) + ":" +
                list.At(pos).word;
    return rows;
}

std::string Words(const std::vector<WordEntry>& entries) {
    std::string words;
    for (const WordEntry& entry : entries)
        words += (words.empty() ? "" : " ") + entry.word;
    return words;
}

std::string Edits(const DiscardedChanges& changes) {
    std::string edits;
    for (const auto& [before, after] : changes.edited)
        edits += (edits.empty() ? "" : " ") + std::to_string(before.number) + ":" + before.word +
                 ">" + after.word;
    return edits;
}

enum class Act { Add, Edit, Delete, Undo };
struct Action {
    Act act;
    std::uint32_t index = 0;
    std::string word = "";
};

struct FindCase {
    const char* name;
    std::vector<Action> actions; // on a list of five
    const char* added;
    const char* edited; // "number as saved:word>new word"
    const char* deleted;
};

const FindCase kFindCases[] = {
    {"nothing_done", {}, "", "", ""},
    {"an_addition", {{Act::Add, 0, "x"}}, "x", "", ""},
    {"an_edit_made_and_taken_back", {{Act::Edit, 1, "y"}, {Act::Edit, 1, "w2"}}, "", "", ""},
    {"an_undone_deletion", {{Act::Delete, 2}, {Act::Undo}}, "", "", ""},
    {"a_deletion_renumbers_without_editing", {{Act::Delete, 0}}, "", "", "w1"},
    {"an_edited_entry_deleted_is_deleted_as_saved",
     {{Act::Edit, 1, "y"}, {Act::Delete, 1}},
     "",
     "",
     "w2"},
    {"an_addition_deleted_again", {{Act::Add, 0, "x"}, {Act::Delete, 5}}, "", "", ""},
    {"an_edit_after_a_deletion_keeps_its_saved_number",
     {{Act::Delete, 0}, {Act::Edit, 2, "z"}},
     "",
     "4:w4>z",
     "w1"},
    {"every_kind",
     {{Act::Add, 0, "x"}, {Act::Edit, 2, "z"}, {Act::Delete, 0}, {Act::Add, 0, "v"}},
     "x v",
     "3:w3>z",
     "w1"},
};

class FindDiscardedTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindDiscardedTest, TellsAdditionsEditsAndDeletionsApart) {
    const FindCase& c = GetParam();
    const WordList saved = Saved(5);
    WordList now = Saved(5);
    ListHistory history(now);
    for (const Action& a : c.actions) {
        switch (a.act) {
        case Act::Add:
            history.Apply(ListStep::Add(Entry(static_cast<int>(now.GetCount() + 1), a.word)));
            break;
        case Act::Edit:
            history.Apply(ListStep::Edit(a.index, Entry(0, a.word)));
            break;
        case Act::Delete:
            history.Apply(ListStep::Delete(a.index));
            break;
        case Act::Undo:
            history.Undo();
            break;
        }
    }
    const DiscardedChanges changes = FindDiscarded(saved, now);
    EXPECT_EQ(Words(changes.added), c.added);
    EXPECT_EQ(Edits(changes), c.edited);
    EXPECT_EQ(Words(changes.deleted), c.deleted);
}

INSTANTIATE_TEST_SUITE_P(Runs, FindDiscardedTest, ::testing::ValuesIn(kFindCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The file another copy wrote: what this run has that it lacks is kept, nothing is deleted.
TEST(FindUnsaved, KeepsOnlyWhatTheFileLacks) {
    WordList file = Saved(3);
    file.Append(Entry(4, "theirs"));
    WordList now = Saved(3);
    ListHistory history(now);
    history.Apply(ListStep::Edit(1, Entry(0, "y")));
    history.Apply(ListStep::Add(Entry(4, "x")));
    const DiscardedChanges changes = FindUnsaved(file, now);
    EXPECT_EQ(Words(changes.added), "y x");
    EXPECT_TRUE(changes.edited.empty());
    EXPECT_TRUE(changes.deleted.empty());
}

struct RecoverCase {
    const char* name;
    DiscardedChanges changes; // applied to w1..w5
    const char* rows;         // "" when there is nothing to do
};

const RecoverCase kRecoverCases[] = {
    {"every_kind",
     {{Entry(9, "x")}, {{Entry(2, "w2"), Entry(2, "y")}}, {Entry(4, "w4")}},
     "1:w1 2:y 3:w3 4:w5 5:x"},
    {"two_deletions_highest_first", {{}, {}, {Entry(2, "w2"), Entry(5, "w5")}}, "1:w1 2:w3 3:w4"},
    {"an_entry_found_by_its_texts_when_its_number_moved",
     {{}, {{Entry(7, "w3"), Entry(7, "z")}}, {Entry(1, "w5")}},
     "1:w1 2:w2 3:z 4:w4"},
    {"a_deletion_done_already", {{}, {}, {Entry(9, "w9")}}, ""},
    {"a_deletion_of_an_entry_since_changed", {{}, {}, {{2, "w2", "other", "n.", "m"}}}, ""},
    {"an_edit_of_a_vanished_entry_comes_back_as_an_addition",
     {{}, {{Entry(9, "w9"), Entry(9, "q")}}, {}},
     "1:w1 2:w2 3:w3 4:w4 5:w5 6:q"},
    {"an_edit_made_already", {{}, {{Entry(9, "w9"), Entry(2, "w2")}}, {}}, ""},
    {"an_addition_in_the_list_already", {{Entry(3, "w3")}, {}, {}}, ""},
    {"one_entry_edited_once_though_asked_twice",
     {{}, {{Entry(2, "w2"), Entry(2, "a")}, {Entry(2, "w2"), Entry(2, "b")}}, {}},
     "1:w1 2:a 3:w3 4:w4 5:w5 6:b"},
};

class RecoverTest : public ::testing::TestWithParam<RecoverCase> {};

TEST_P(RecoverTest, AppliesAsOneStepThatUndoesWhole) {
    const RecoverCase& c = GetParam();
    WordList list = Saved(5);
    const std::string before = Rows(list);
    Recovery recovery = PlanRecovery(list, c.changes);
    if (std::string(c.rows).empty()) {
        EXPECT_TRUE(recovery.Empty());
        return;
    }
    ListHistory history(list);
    history.Apply(ListStep::Recover(std::move(recovery.replaced), std::move(recovery.removed),
                                    std::move(recovery.appended)));
    EXPECT_EQ(Rows(list), c.rows);
    EXPECT_TRUE(history.HasDone(ListStep::Kind::Recover));
    EXPECT_EQ(history.UndoName().rfind("Undo Recover (", 0), 0u) << history.UndoName();
    history.Undo();
    EXPECT_EQ(Rows(list), before);
    EXPECT_FALSE(history.HasDone(ListStep::Kind::Recover));
    EXPECT_FALSE(history.CanUndo());
    history.Redo();
    EXPECT_EQ(Rows(list), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, RecoverTest, ::testing::ValuesIn(kRecoverCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* name;
    bool kept;
};

TEST(KeptName, IsTheKeptFoldersOnlyAndNoBackupOfTheList) {
    const NameCase cases[] = {
        {"discarded-20261208-041502", true},        {"discarded-20261208-041502-2", true},
        {"discarded-20261208-041502-99", true},     {"discarded-20261208-041502-100", false},
        {"discarded-20261208041502", false},        {"discarded-2026120-8041502", false},
        {".discarded-20261208-041502.part", false}, {"WL-20261208-041502-123.txt", false},
        {"discarded-20261208-04150x", false},       {"discarded-20261208-041502-", false},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(discarded::IsKeptName(c.name), c.kept) << c.name;
    // The backups of the list never count a kept folder among them.
    const std::vector<std::string> all = BackupsToRemove(
        "WL.txt", {"discarded-20261208-041502", "WL-20261208-041502-123.txt"}, {}, 0);
    EXPECT_EQ(all, std::vector<std::string>{"WL-20261208-041502-123.txt"});
    EXPECT_EQ(discarded::FolderName(0).rfind("discarded-19", 0), 0u);
}

class KeptFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "vocamint-kept-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        m_dir = name;
        m_folder = Folder::Open(m_dir.string());
        ASSERT_TRUE(m_folder.IsOpen());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
    Folder m_folder;
};

TEST_F(KeptFolderTest, KeepsReadsAndMarks) {
    const DiscardedChanges changes{
        {Entry(6, "x y")}, {{Entry(2, "w2"), {2, "y", "", "v.", "a\\b"}}}, {Entry(4, "w4")}};
    const std::string kept = discarded::Keep(m_folder, "WL.txt", changes, 1000);
    ASSERT_EQ(kept, "backups/" + discarded::FolderName(1000));
    // A second within the same second takes the next name; the newer one is the one offered.
    const std::string second = discarded::Keep(m_folder, "WL.txt", {{Entry(7, "z")}, {}, {}}, 1000);
    EXPECT_EQ(second, kept + "-2");
    const std::string name = second.substr(std::string("backups/").size());
    EXPECT_EQ(discarded::NewestWithout(m_folder, discarded::kTold), name);

    DiscardedChanges read;
    ASSERT_TRUE(discarded::Read(m_folder, kept.substr(8), read));
    EXPECT_EQ(read, changes);
    // Each file is a word list of its own that an import reads as one.
    EXPECT_EQ(ReadBytes(m_dir / kept / "added.txt"), "6 x\\sy s n. m\r\n");

    ASSERT_TRUE(discarded::Mark(m_folder, name, discarded::kTold));
    EXPECT_EQ(discarded::NewestWithout(m_folder, discarded::kTold), "");
    // An older one is never offered once a newer one was told.
    EXPECT_EQ(discarded::NewestWithout(m_folder, discarded::kRecovered), name);
    // Nothing is left of the writing.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir / "backups"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{kept.substr(8), name}));
}

TEST_F(KeptFolderTest, KeepsTheNewestTenAndNothingElseIsRemoved) {
    fs::create_directories(m_dir / "backups" / "discarded-19600101-000000");
    WriteBytes(m_dir / "backups" / "discarded-19600101-000000" / "mine.txt", "a file of mine");
    for (int n = 0; n < 12; ++n)
        ASSERT_NE(discarded::Keep(m_folder, "WL.txt", {{Entry(1, "x")}, {}, {}}, 1000 + n), "");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir / "backups"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 11u);
    // A kept folder holding a file this program never writes is left alone.
    EXPECT_EQ(names[0], "discarded-19600101-000000");
    EXPECT_EQ(names[1], discarded::FolderName(1002));
    EXPECT_EQ(names[10], discarded::FolderName(1011));
}

TEST_F(KeptFolderTest, RefusesWhatCannotHoldIt) {
    const DiscardedChanges changes{{Entry(6, "x")}, {}, {}};
    EXPECT_EQ(discarded::Keep(m_folder, "WL.txt", {}, 1000), "");
    // backups/ is a file, then a link elsewhere: nothing is written through either.
    WriteBytes(m_dir / "backups", "not a folder");
    EXPECT_EQ(discarded::Keep(m_folder, "WL.txt", changes, 1000), "");
    fs::remove(m_dir / "backups");
    fs::create_directory(m_dir / "elsewhere");
    fs::create_directory_symlink(m_dir / "elsewhere", m_dir / "backups");
    EXPECT_EQ(discarded::Keep(m_folder, "WL.txt", changes, 1000), "");
    EXPECT_TRUE(fs::is_empty(m_dir / "elsewhere"));
    EXPECT_EQ(discarded::NewestWithout(m_folder, discarded::kTold), "");
}

} // namespace
