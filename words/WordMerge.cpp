#include "words/WordMerge.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

WordFields WithNumber(WordFields fields, std::int32_t number) {
    fields.number = number;
    return fields;
}

void Append(WordList& list, const WordFields& f) {
    list.AppendFields(f.number, f.word, f.spell, f.type, f.mean);
}

} // namespace

std::vector<EntryPrint> PrintEntries(const WordList& words) {
    std::vector<EntryPrint> prints;
    prints.reserve(words.GetCount());
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos))
        prints.push_back(PrintOf(words.Fields(pos)));
    return prints;
}

MergeResult MergeWordLists(const std::vector<EntryPrint>& base, const WordList& ours,
                           WordList theirs) {
    MergeResult result;

    // What this run did to the loaded entries: which it kept as they were, which it edited.
    std::vector<bool> present(base.size(), false);
    std::vector<WordPos> edits; // positions in `ours`
    std::vector<WordPos> additions;
    for (WordPos pos = ours.Begin(); pos != ours.End(); pos = ours.Next(pos)) {
        const std::int32_t origin = ours.Origin(pos);
        if (origin < 0 || static_cast<std::size_t>(origin) >= base.size()) {
            additions.push_back(pos);
            continue;
        }
        present[static_cast<std::size_t>(origin)] = true;
        if (PrintOf(ours.Fields(pos)) != base[static_cast<std::size_t>(origin)])
            edits.push_back(pos);
    }
    std::vector<std::size_t> deletions; // indexes in `base`
    for (std::size_t i = 0; i < base.size(); ++i) {
        if (!present[i])
            deletions.push_back(i);
    }

    if (!edits.empty() || !deletions.empty()) {
        // Find each entry the run changed in the file by its word as loaded; it may be changed
        // only where the file still holds it as it was loaded.
        std::unordered_map<std::uint64_t, std::uint32_t> byWord;
        std::uint32_t index = 0;
        for (WordPos pos = theirs.Begin(); pos != theirs.End(); pos = theirs.Next(pos), ++index)
            byWord.emplace(PrintOfWord(theirs.Fields(pos).word), index);
        std::unordered_map<std::uint32_t, WordPos> replace; // file index -> our entry
        std::unordered_set<std::uint32_t> remove;
        const auto locate = [&](const EntryPrint& was, std::uint32_t& at) {
            const auto found = byWord.find(was.word);
            if (found == byWord.end())
                return false;
            at = found->second;
            return true;
        };
        std::vector<WordFields> file;
        file.reserve(theirs.GetCount());
        for (WordPos pos = theirs.Begin(); pos != theirs.End(); pos = theirs.Next(pos))
            file.push_back(theirs.Fields(pos));
        for (const WordPos pos : edits) {
            const EntryPrint& was = base[static_cast<std::size_t>(ours.Origin(pos))];
            std::uint32_t at = 0;
            if (!locate(was, at) || PrintOf(file[at]) != was) {
                result.conflicts.emplace_back(ours.Fields(pos).word);
                continue;
            }
            replace.emplace(at, pos);
        }
        for (const std::size_t i : deletions) {
            std::uint32_t at = 0;
            if (!locate(base[i], at))
                continue; // gone from the file as well
            if (PrintOf(file[at]) != base[i]) {
                result.conflicts.emplace_back(file[at].word);
                continue;
            }
            remove.insert(at);
        }
        if (!result.conflicts.empty())
            return result;
        // Deletions renumber the list, as deleting in the window does.
        const bool renumber = !remove.empty();
        std::int32_t number = 0;
        for (std::uint32_t i = 0; i < file.size(); ++i) {
            if (remove.count(i) != 0)
                continue;
            const auto edit = replace.find(i);
            const WordFields fields = edit == replace.end() ? file[i] : ours.Fields(edit->second);
            Append(result.merged, WithNumber(fields, renumber ? ++number : file[i].number));
        }
        result.edited = static_cast<int>(replace.size());
        result.deleted = static_cast<int>(remove.size());
    } else {
        result.merged = std::move(theirs);
    }

    std::unordered_set<std::string_view> taken;
    WordList& merged = result.merged;
    for (const WordPos pos : merged.FindWords(WordsOf(ours, additions)))
        taken.insert(merged.Fields(pos).word);
    const std::int32_t last = merged.GetCount() > 0 ? merged.Fields(merged.Last()).number : 0;
    AddAfterLast(ours, additions, taken, last, result,
                 [&](const WordFields& fields) { Append(merged, fields); });
    return result;
}

std::vector<std::string_view> WordsOf(const WordList& ours, const std::vector<WordPos>& additions) {
    std::vector<std::string_view> words;
    words.reserve(additions.size());
    for (const WordPos pos : additions)
        words.push_back(ours.Fields(pos).word);
    return words;
}

void AddAfterLast(const WordList& ours, const std::vector<WordPos>& additions,
                  const std::unordered_set<std::string_view>& fileHas, std::int32_t last,
                  MergeResult& result, const std::function<void(const WordFields&)>& add) {
    for (const WordPos pos : additions) {
        const WordFields fields = ours.Fields(pos);
        if (fileHas.count(fields.word) != 0) {
            result.dropped.emplace_back(fields.word);
            continue;
        }
        // Numbers wrap like the window's own page arithmetic at the very end of the range.
        last = static_cast<std::int32_t>(static_cast<std::uint32_t>(last) + 1u);
        add(WithNumber(fields, last));
        result.added.emplace_back(fields.word);
    }
}
