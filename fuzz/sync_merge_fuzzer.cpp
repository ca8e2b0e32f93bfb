// Merges arbitrary versions of the review history, the word file and the settings file as
// conflict copies are merged, and checks that nothing of either side is lost.
//
// Input: ours, theirs and the base, each ended by a backslash and one more byte (a doubled
// backslash stands for one), and as the last byte the file kind and whether there is a base.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "base/AsciiText.h"
#include "settings/IniText.h"
#include "sync/HistoryUnion.h"
#include "sync/ListMerge.h"
#include "sync/SettingsMerge.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

constexpr const char* kNow = "2026-12-08T10:00:00.000Z";

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::unordered_set<std::string> RecordKeys(const std::string& bytes) {
    std::unordered_set<std::string> keys;
    std::size_t pos = 0;
    for (std::size_t end; (end = bytes.find('\n', pos)) != std::string::npos; pos = end + 1) {
        const std::string line = bytes.substr(pos, end - pos);
        if (!line.empty() && line[0] != '#')
            keys.insert(UnionKey(line));
    }
    return keys;
}

void History(const std::string& ours, const std::string& theirs) {
    const HistoryUnion united = UniteHistories(ours, theirs, kNow);
    const std::unordered_set<std::string> have = RecordKeys(united.merged);
    for (const std::string& key : RecordKeys(ours))
        Check(have.count(key) == 1);
    for (const std::string& key : RecordKeys(theirs))
        Check(have.count(key) == 1);
    // Uniting again adds nothing and changes nothing.
    Check(!UniteHistories(united.merged, theirs, kNow).changed);
    Check(!UniteHistories(united.merged, ours, kNow).changed);
}

std::unordered_multiset<std::string> EntryTexts(const WordList& list) {
    std::unordered_multiset<std::string> texts;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos)) {
        const WordFields f = list.Fields(pos);
        std::string text;
        AppendWordLine(text, WordFields{0, f.word, f.spell, f.type, f.mean});
        texts.insert(text);
    }
    return texts;
}

void List(const std::string& ours, const std::string& theirs, const std::string* base) {
    WordList mine, other, was;
    ParseWordText(ours, mine);
    ParseWordText(theirs, other);
    if (base)
        ParseWordText(*base, was);
    const ListMergeResult result = MergeListCopies(mine, other, base ? &was : nullptr);
    Check(result.merged.GetCount() <= mine.GetCount() + other.GetCount());
    if (base)
        return;
    // Without a base nothing is deleted: every entry of either side is there.
    const std::unordered_multiset<std::string> merged = EntryTexts(result.merged);
    for (const std::string& text : EntryTexts(mine))
        Check(merged.count(text) > 0);
    for (const std::string& text : EntryTexts(other))
        Check(merged.count(text) > 0);
}

bool IsPlace(const std::string& section, const std::string& key) {
    return ascii::EqualsNoCase(section, "Setting") &&
           (ascii::EqualsNoCase(key, "Index") || ascii::EqualsNoCase(key, "Goto"));
}

void Settings(const std::string& ours, const std::string& theirs, bool theirsNewer) {
    const SettingsMerge result = MergeSettings(ours, theirs, theirsNewer);
    const IniText merged(result.merged);
    const IniText mine(ours);
    const IniText other(theirs);
    // Every key theirs reads is there, but the place in the list stays ours, even when ours
    // has none.
    for (const auto& [section, key] : other.Keys()) {
        // A key in a second section of one name is not read in theirs either.
        if (!IsPlace(section, key) && other.Find(section, key))
            Check(merged.Find(section, key).has_value());
    }
    for (const char* key : {"Index", "Goto"})
        Check(merged.Find("Setting", key) == mine.Find("Setting", key));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::uint8_t mode = input.ConsumeIntegral<std::uint8_t>();
    const std::string ours = input.ConsumeRandomLengthString(4096);
    const std::string theirs = input.ConsumeRandomLengthString(4096);
    const std::string base = input.ConsumeRandomLengthString(4096);
    switch (mode % 3) {
    case 0:
        History(ours, theirs);
        break;
    case 1:
        List(ours, theirs, (mode & 4) != 0 ? &base : nullptr);
        break;
    default:
        Settings(ours, theirs, (mode & 4) != 0);
        break;
    }
    return 0;
}
