#include "words/WordMerge.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

WordFields WithNumber(WordFields fields, std::int32_t number) {
    fields.number = number;
    return fields;
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
    return MergeWordLists(
        base.size(), [&](std::size_t origin) { return &base[origin]; }, ours, std::move(theirs));
}

MergeResult MergeWordLists(std::size_t loaded, const LoadedPrint& was, const WordList& ours,
                           WordList theirs) {
    MergeResult result;

    // What this run did to the loaded entries: which it kept as they were, which it edited.
    // Only an entry with a print as loaded may have changed, so the others cost no print.
    std::vector<bool> present(loaded, false);
    std::vector<WordPos> edits; // positions in `ours`
    std::vector<WordPos> additions;
    for (WordPos pos = ours.Begin(); pos != ours.End(); pos = ours.Next(pos)) {
        const std::int32_t origin = ours.Origin(pos);
        if (origin < 0 || static_cast<std::size_t>(origin) >= loaded) {
            additions.push_back(pos);
            continue;
        }
        present[static_cast<std::size_t>(origin)] = true;
        const EntryPrint* print = was(static_cast<std::size_t>(origin));
        if (print != nullptr && PrintOf(ours.Fields(pos)) != *print)
            edits.push_back(pos);
    }
    std::vector<std::size_t> deletions; // origins
    for (std::size_t i = 0; i < loaded; ++i) {
        // A removed entry always left its print; one that did not cannot be found again.
        if (!present[i] && was(i) != nullptr)
            deletions.push_back(i);
    }

    // The file's list becomes the result where it is: a merge beside it would hold the file
    // twice, which on a list of a million entries is the most memory the save needs.
    result.merged = std::move(theirs);
    WordList& merged = result.merged;
    if (!edits.empty() || !deletions.empty()) {
        // Find each entry the run changed in the file by its word as loaded (the first entry
        // with that word); it may be changed only where the file still holds it as it was
        // loaded. Only the words the run changed are looked for, so this costs memory in
        // proportion to the run's changes, not to the file.
        constexpr std::uint32_t kNowhere = UINT32_MAX;
        std::unordered_map<std::uint64_t, std::uint32_t> firstAt;
        for (const WordPos pos : edits)
            firstAt.emplace(was(static_cast<std::size_t>(ours.Origin(pos)))->word, kNowhere);
        for (const std::size_t i : deletions)
            firstAt.emplace(was(i)->word, kNowhere);
        std::uint32_t index = 0;
        for (WordPos pos = merged.Begin(); pos != merged.End(); pos = merged.Next(pos), ++index) {
            const auto found = firstAt.find(PrintOfWord(merged.Fields(pos).word));
            if (found != firstAt.end() && found->second == kNowhere)
                found->second = index;
        }
        const auto locate = [&](const EntryPrint& print, std::uint32_t& at) {
            const auto found = firstAt.find(print.word);
            if (found == firstAt.end() || found->second == kNowhere)
                return false;
            at = found->second;
            return true;
        };
        const auto fileAt = [&](std::uint32_t at) { return merged.Fields(merged.PosAt(at)); };
        std::unordered_map<std::uint32_t, WordPos> replace; // file index -> our entry
        std::unordered_set<std::uint32_t> remove;
        for (const WordPos pos : edits) {
            const EntryPrint& print = *was(static_cast<std::size_t>(ours.Origin(pos)));
            std::uint32_t at = 0;
            if (!locate(print, at) || PrintOf(fileAt(at)) != print) {
                result.conflicts.emplace_back(ours.Fields(pos).word);
                continue;
            }
            replace.emplace(at, pos);
        }
        for (const std::size_t i : deletions) {
            std::uint32_t at = 0;
            if (!locate(*was(i), at))
                continue; // gone from the file as well
            if (PrintOf(fileAt(at)) != *was(i)) {
                result.conflicts.emplace_back(fileAt(at).word);
                continue;
            }
            remove.insert(at);
        }
        if (!result.conflicts.empty())
            return result;
        for (const auto& [at, pos] : replace) {
            if (remove.count(at) != 0)
                continue;
            WordEntry entry = ours.At(pos);
            entry.number = fileAt(at).number;
            merged.Replace(merged.PosAt(at), entry);
        }
        // Deletions renumber the list, as deleting in the window does.
        if (!remove.empty()) {
            std::vector<bool> removed(merged.GetCount(), false);
            for (const std::uint32_t at : remove)
                removed[at] = true;
            merged.RemoveMarked(removed, true);
        }
        result.edited = static_cast<int>(replace.size());
        result.deleted = static_cast<int>(remove.size());
    }

    std::unordered_set<std::string_view> taken;
    for (const WordPos pos : merged.FindWords(WordsOf(ours, additions)))
        taken.insert(merged.Fields(pos).word);
    const std::int32_t last = merged.GetCount() > 0 ? merged.Fields(merged.Last()).number : 0;
    AddAfterLast(ours, additions, taken, last, result, [&](const WordFields& f) {
        merged.AppendFields(f.number, f.word, f.spell, f.type, f.mean);
    });
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
