#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "words/WordList.h"
#include "words/WordMerge.h"

namespace {

WordEntry Entry(int n, const std::string& tag) {
    return {n, "w" + std::to_string(n), "s" + tag, "n.", "m" + tag};
}

// A run of edits as the list and its undo history make them, written as steps:
// "E i" replace entry i, "R i" remove entry i (renumbering), "U" put the last removed entry
// back where it was with its origin, "A" append, "T n" take the last n out, "J n" join n new
// entries, "M" mark the list loaded (saved).
struct LoadedCase {
    const char* name;
    const char* steps;
};

void PrintTo(const LoadedCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadedPrints : public testing::TestWithParam<LoadedCase> {};

// Whatever the run did, each entry names the loaded entry it came from, and the prints a merge
// compares with are those of the list as last marked loaded.
TEST_P(LoadedPrints, NameTheListAsLastLoaded) {
    WordList list;
    std::vector<WordEntry> now; // the model: entries and their origins
    std::vector<std::int32_t> origins;
    for (int n = 1; n <= 6; ++n) {
        list.Append(Entry(n, ""));
        now.push_back(Entry(n, ""));
        origins.push_back(-1);
    }
    std::vector<WordEntry> loaded;
    const auto markLoaded = [&] {
        list.MarkLoaded();
        loaded = now;
        for (std::size_t i = 0; i < origins.size(); ++i)
            origins[i] = static_cast<std::int32_t>(i);
    };
    markLoaded();
    int made = 100;
    std::vector<std::pair<std::uint32_t, std::int32_t>> removed; // index, origin
    std::vector<WordEntry> removedEntries;
    std::istringstream steps(GetParam().steps);
    for (char op; steps >> op;) {
        std::uint32_t i = 0;
        if (op == 'E' || op == 'R' || op == 'T' || op == 'J')
            steps >> i;
        if (op == 'E') {
            now[i] = Entry(now[i].number, std::to_string(++made));
            list.Replace(list.PosAt(i), now[i]);
        } else if (op == 'R') {
            removed.emplace_back(i, origins[i]);
            removedEntries.push_back(list.Remove(list.PosAt(i), true));
            now.erase(now.begin() + i);
            origins.erase(origins.begin() + i);
            for (std::size_t k = i; k < now.size(); ++k)
                --now[k].number;
        } else if (op == 'U') {
            const auto [at, origin] = removed.back();
            list.Insert(list.PosAt(at), removedEntries.back(), true);
            list.SetOrigin(list.PosAt(at), origin);
            now.insert(now.begin() + at, removedEntries.back());
            origins.insert(origins.begin() + at, origin);
            for (std::size_t k = at + 1; k < now.size(); ++k)
                ++now[k].number;
            removed.pop_back();
            removedEntries.pop_back();
        } else if (op == 'A') {
            now.push_back(Entry(++made, ""));
            origins.push_back(-1);
            list.Append(now.back());
        } else if (op == 'T') {
            list.TakeLast(i);
            now.resize(now.size() - i);
            origins.resize(origins.size() - i);
        } else if (op == 'J') {
            WordList joined;
            for (std::uint32_t k = 0; k < i; ++k) {
                now.push_back(Entry(++made, ""));
                origins.push_back(-1);
                joined.Append(now.back());
            }
            list.AppendAll(std::move(joined));
        } else if (op == 'M') {
            markLoaded();
        }
    }

    ASSERT_EQ(list.GetCount(), now.size());
    for (std::uint32_t i = 0; i < now.size(); ++i) {
        EXPECT_EQ(list.At(list.PosAt(i)), now[i]) << "entry " << i;
        EXPECT_EQ(list.Origin(list.PosAt(i)), origins[i]) << "entry " << i;
    }
    const std::vector<EntryPrint> prints = list.LoadedPrints(loaded.size());
    ASSERT_EQ(prints.size(), loaded.size());
    for (std::size_t o = 0; o < loaded.size(); ++o) {
        const WordEntry& e = loaded[o];
        EXPECT_EQ(prints[o], PrintOf({e.number, e.word, e.spell, e.type, e.mean}))
            << "origin " << o;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lists, LoadedPrints,
    testing::Values(LoadedCase{"Untouched", ""}, LoadedCase{"Appended", "A A J 3"},
                    LoadedCase{"EditedTwice", "E 2 E 2 E 4"},
                    LoadedCase{"RemovedAndEdited", "E 1 R 1 R 3"},
                    LoadedCase{"RemovedThenPutBack", "R 2 E 2 U"},
                    LoadedCase{"EditedRemovedPutBackEdited", "E 0 R 0 U E 0"},
                    LoadedCase{"TakenIntoTheLoaded", "A T 3 A"},
                    LoadedCase{"AllRemovedThenJoined", "R 0 R 0 R 0 R 0 R 0 R 0 J 2 A"},
                    LoadedCase{"SavedAfterEdits", "E 1 R 4 A M E 1 R 0 A"},
                    LoadedCase{"SavedAfterAppends", "A A M T 1 E 6"}),
    [](const testing::TestParamInfo<LoadedCase>& info) { return info.param.name; });

} // namespace
