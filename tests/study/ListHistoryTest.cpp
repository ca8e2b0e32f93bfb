#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ImportPlan.h"
#include "study/ListHistory.h"

namespace {

WordList Numbered(std::vector<std::string> words) {
    WordList list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        list.Append({static_cast<std::int32_t>(i + 1), words[i], "", "n.", "m"});
    }
    return list;
}

// "number:word" for each entry, in list order.
std::string Rows(const WordList& list) {
    std::string rows;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
        const WordFields fields = list.Fields(pos);
        rows += (rows.empty() ? "" : " ") + std::to_string(fields.number) + ":" +
                std::string(fields.word);
    }
    return rows;
}

enum class Act { Add, Edit, Delete, Import, Undo, Redo, Save };

struct Action {
    Act act;
    std::uint32_t index = 0; // Edit, Delete
    std::string word;        // Add, Edit
    std::string rows;        // the list after the action
    std::int32_t shown = 0;  // the number of the entry shown, 0 for none
    bool modified = false;
    std::string undo = "Undo";
    std::string redo = "Redo";
};

void Perform(ListHistory& history, WordList& list, const Action& a) {
    WordPos shown = list.End();
    switch (a.act) {
    case Act::Add:
        shown = history.Apply(
            ListStep::Add({static_cast<std::int32_t>(list.GetCount() + 1), a.word, "", "n.", "m"}));
        break;
    case Act::Edit:
        shown = history.Apply(ListStep::Edit(a.index, {999, a.word, "s", "v.", "m2"}));
        break;
    case Act::Delete:
        shown = history.Apply(ListStep::Delete(a.index));
        break;
    case Act::Import:
        shown =
            history.Apply(ListStep::Import({{a.index, {7, a.word, "", "n.", "i"}}},
                                           {{50, "x", "", "n.", "i"}, {51, "y", "", "n.", "i"}}));
        break;
    case Act::Undo:
        shown = history.Undo();
        break;
    case Act::Redo:
        shown = history.Redo();
        break;
    case Act::Save:
        history.MarkSaved();
        shown = list.End();
        break;
    }
    EXPECT_EQ(Rows(list), a.rows);
    EXPECT_EQ(shown == list.End() ? 0 : list.Fields(shown).number, a.shown);
    EXPECT_EQ(history.IsModified(), a.modified);
    EXPECT_EQ(history.UndoName(), a.undo);
    EXPECT_EQ(history.RedoName(), a.redo);
}

struct Script {
    const char* name;
    std::vector<std::string> words;
    std::vector<Action> actions;
};

TEST(ListHistory, Scripts) {
    const Script scripts[] = {
        {"add then undo is not a change",
         {"apple", "book"},
         {
             {Act::Add, 0, "pear", "1:apple 2:book 3:pear", 3, true, "Undo Add 'pear'"},
             {Act::Undo, 0, "", "1:apple 2:book", 2, false, "Undo", "Redo Add 'pear'"},
             {Act::Redo, 0, "", "1:apple 2:book 3:pear", 3, true, "Undo Add 'pear'"},
         }},
        {"delete renumbers and undo restores the numbers",
         {"apple", "book", "cat", "dog"},
         {
             {Act::Delete, 0, "", "1:book 2:cat 3:dog", 1, true, "Undo Delete 'apple'"},
             {Act::Delete, 2, "", "1:book 2:cat", 2, true, "Undo Delete 'dog'"},
             {Act::Undo, 0, "", "1:book 2:cat 3:dog", 3, true, "Undo Delete 'apple'",
              "Redo Delete 'dog'"},
             {Act::Undo, 0, "", "1:apple 2:book 3:cat 4:dog", 1, false, "Undo",
              "Redo Delete 'apple'"},
             {Act::Redo, 0, "", "1:book 2:cat 3:dog", 1, true, "Undo Delete 'apple'",
              "Redo Delete 'dog'"},
         }},
        {"edit keeps the number and names the new word",
         {"apple", "bok"},
         {
             {Act::Edit, 1, "book", "1:apple 2:book", 2, true, "Undo Edit 'book'"},
             {Act::Undo, 0, "", "1:apple 2:bok", 2, false, "Undo", "Redo Edit 'book'"},
         }},
        {"a new step drops the redo tail",
         {"apple"},
         {
             {Act::Add, 0, "b", "1:apple 2:b", 2, true, "Undo Add 'b'"},
             {Act::Undo, 0, "", "1:apple", 1, false, "Undo", "Redo Add 'b'"},
             {Act::Add, 0, "c", "1:apple 2:c", 2, true, "Undo Add 'c'"},
             {Act::Redo, 0, "", "1:apple 2:c", 0, true, "Undo Add 'c'"},
         }},
        {"saving moves the clean point; a refused save (no MarkSaved) does not",
         {"apple", "book"},
         {
             {Act::Delete, 1, "", "1:apple", 1, true, "Undo Delete 'book'"},
             {Act::Undo, 0, "", "1:apple 2:book", 2, false, "Undo", "Redo Delete 'book'"},
             {Act::Redo, 0, "", "1:apple", 1, true, "Undo Delete 'book'"},
             {Act::Save, 0, "", "1:apple", 0, false, "Undo Delete 'book'"},
             {Act::Undo, 0, "", "1:apple 2:book", 2, true, "Undo", "Redo Delete 'book'"},
             {Act::Redo, 0, "", "1:apple", 1, false, "Undo Delete 'book'"},
         }},
        {"a saved state dropped with the redo tail is never clean again",
         {"a"},
         {
             {Act::Add, 0, "b", "1:a 2:b", 2, true, "Undo Add 'b'"},
             {Act::Save, 0, "", "1:a 2:b", 0, false, "Undo Add 'b'"},
             {Act::Undo, 0, "", "1:a", 1, true, "Undo", "Redo Add 'b'"},
             {Act::Add, 0, "b", "1:a 2:b", 2, true, "Undo Add 'b'"},
         }},
        {"import is one step",
         {"a", "b"},
         {
             {Act::Import, 0, "z", "7:z 2:b 50:x 51:y", 7, true, "Undo Import (3 words)"},
             {Act::Undo, 0, "", "1:a 2:b", 1, false, "Undo", "Redo Import (3 words)"},
         }},
        {"deleting the only entry shows nothing; steps outside the list are refused",
         {"a"},
         {
             {Act::Delete, 0, "", "", 0, true, "Undo Delete 'a'"},
             {Act::Delete, 0, "", "", 0, true, "Undo Delete 'a'"},
             {Act::Edit, 3, "q", "", 0, true, "Undo Delete 'a'"},
             {Act::Undo, 0, "", "1:a", 1, false, "Undo", "Redo Delete 'a'"},
             {Act::Undo, 0, "", "1:a", 0, false, "Undo", "Redo Delete 'a'"},
         }},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        WordList list = Numbered(script.words);
        ListHistory history(list);
        EXPECT_FALSE(history.IsModified());
        for (std::size_t i = 0; i < script.actions.size(); ++i) {
            SCOPED_TRACE("action " + std::to_string(i));
            Perform(history, list, script.actions[i]);
        }
    }
}

// Any mix of steps undone all the way gives back the loaded list, numbers included, and the
// list stays numbered 1..n throughout.
TEST(ListHistory, UndoingEverythingRestoresTheList) {
    WordList list = Numbered({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"});
    const std::string loaded = Rows(list);
    ListHistory history(list);
    std::vector<std::string> states = {loaded};
    for (std::uint32_t round = 0; round < 30; ++round) {
        const std::uint32_t index = (round * 5) % list.GetCount();
        switch (round % 3) {
        case 0:
            history.Apply(ListStep::Delete(index));
            break;
        case 1:
            history.Apply(ListStep::Edit(index, {0, "e" + std::to_string(round), "", "n.", "m"}));
            break;
        default:
            history.Apply(ListStep::Add({static_cast<std::int32_t>(list.GetCount() + 1),
                                         "n" + std::to_string(round), "", "n.", "m"}));
            break;
        }
        EXPECT_TRUE(list.IsNumberedInOrder()) << round;
        states.push_back(Rows(list));
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        EXPECT_EQ(Rows(list), states[i]);
        history.Undo();
    }
    EXPECT_EQ(Rows(list), loaded);
    EXPECT_FALSE(history.IsModified());
    while (history.CanRedo()) {
        history.Redo();
    }
    EXPECT_EQ(Rows(list), states.back());
}

TEST(ListHistory, LongWordsAreCutInTheMenuText) {
    WordList list;
    ListHistory history(list);
    history.Apply(ListStep::Add({1, std::string(23, 'a') + "é" + "tail", "", "n.", "m"}));
    // 24 bytes would split the é: the cut falls before it.
    EXPECT_EQ(history.UndoName(), "Undo Add '" + std::string(23, 'a') + "...'");
}

// An import planned against the list, applied as one step, then undone and redone with other
// steps around it: the appended entries leave the list and come back as they were, whatever
// their size, and numbering and names follow.
struct ImportCase {
    const char* name;
    std::size_t added;    // new words in the file
    std::size_t replaced; // words of the list given a new meaning
    std::size_t fieldBytes;
    std::string undoName;
};

void PrintTo(const ImportCase& c, std::ostream* out) {
    *out << c.name;
}

class ImportSteps : public testing::TestWithParam<ImportCase> {};

std::vector<WordEntry> Entries(const WordList& list) {
    std::vector<WordEntry> entries;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos))
        entries.push_back(list.At(pos));
    return entries;
}

TEST_P(ImportSteps, UndoAndRedoRestoreEachState) {
    const ImportCase& c = GetParam();
    WordList list = Numbered({"a", "b", "c"});
    list.MarkLoaded();
    ListHistory history(list);
    ImportedWords read;
    for (std::size_t i = 0; i < c.replaced; ++i)
        read.entries.Append({1, std::string(1, static_cast<char>('a' + i)), "", "", "new"});
    for (std::size_t i = 0; i < c.added; ++i)
        read.entries.Append(
            {1, "w" + std::to_string(i), std::string(c.fieldBytes, 's'), "n.", "m"});
    const std::vector<WordEntry> before = Entries(list);
    ASSERT_NE(history.Apply(ListStep::Import(PlanImport(read, list, DuplicatePolicy::Replace))),
              list.End());
    const std::vector<WordEntry> imported = Entries(list);
    ASSERT_EQ(imported.size(), 3 + c.added);
    EXPECT_FALSE(list.OnlyAppendedSinceLoad());
    EXPECT_EQ(history.UndoName(), c.undoName);
    for (std::size_t i = 0; i < c.added; ++i)
        EXPECT_EQ(imported[3 + i].number, static_cast<std::int32_t>(4 + i));
    for (std::size_t i = 0; i < c.replaced; ++i)
        EXPECT_EQ(imported[i].mean, "new");

    for (int round = 0; round < 2; ++round) {
        history.Undo();
        EXPECT_EQ(Entries(list), before) << round;
        history.Redo();
        EXPECT_EQ(Entries(list), imported) << round;
    }
    // A later step on top, undone, leaves the import in place; undoing that empties it again.
    history.Apply(ListStep::Delete(0));
    history.Undo();
    EXPECT_EQ(Entries(list), imported);
    history.Undo();
    EXPECT_EQ(Entries(list), before);
    history.Apply(ListStep::Add({4, "d", "", "", ""}));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(list.GetCount(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Imports, ImportSteps,
    testing::Values(ImportCase{"OneAdded", 1, 0, 3, "Undo Import (1 word)"},
                    ImportCase{"OnlyReplaced", 0, 2, 3, "Undo Import (2 words)"},
                    ImportCase{"Both", 5, 1, 3, "Undo Import (6 words)"},
                    // Enough text that taking it back compacts the list's blocks.
                    ImportCase{"ManyLarge", 40, 1, 100'000, "Undo Import (41 words)"},
                    ImportCase{"Many", 3000, 3, 20, "Undo Import (3003 words)"}),
    [](const testing::TestParamInfo<ImportCase>& info) { return std::string(info.param.name); });

} // namespace
