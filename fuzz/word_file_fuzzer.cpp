// Word-file text survives a load, a save and a second load; random fields survive a save and
// a load; reading in pieces gives what reading at once gives; merging a file with an unchanged
// copy of itself plus one addition gives the file and the addition, and a merge with the prints
// of only the changed entries gives what one with every print gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "tests/support/ListEntries.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordMerge.h"
#include "words/WordTextReader.h"

namespace {

// Long fields are where pieces split tokens and where a list takes blocks of its own; the
// inputs must be allowed to reach them whatever the seeds' length.
constexpr const char* kMaxLength = "-max_len=100000";

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    for (int i = 1; i < *argc; ++i) {
        if (std::string_view((*argv)[i]).rfind("-max_len=", 0) == 0)
            return 0;
    }
    // libFuzzer reads its flags after this returns; the new array lives as long as the run.
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    args.push_back(const_cast<char*>(kMaxLength));
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    WordList first;
    ParseWordText(text, first);
    const std::string saved = FormatWordFile(first);
    WordList second;
    ParseWordText(saved, second);
    Check(ListEntries(second) == ListEntries(first));
    Check(FormatWordFile(second) == saved);

    WordList pieces;
    WordTextReader reader(pieces);
    const std::size_t step = size == 0 ? 1 : 1 + data[0] % 17;
    for (std::size_t at = 0; at < size; at += step) {
        reader.Feed(text.substr(at, step));
    }
    reader.Finish();
    Check(ListEntries(pieces) == ListEntries(first));

    WordList ours;
    ParseWordText(text, ours);
    ours.MarkLoaded();
    ours.Append({0,
                 "\x01"
                 "added",
                 "", "", ""});
    WordList theirs;
    ParseWordText(saved, theirs);
    const MergeResult merge = MergeWordLists(PrintEntries(first), ours, std::move(theirs));
    Check(merge.conflicts.empty());
    Check(merge.merged.GetCount() == first.GetCount() + (merge.dropped.empty() ? 1 : 0));

    // The save merges with the prints of only the entries the run changed; that must come out
    // as the merge with a print of every loaded entry does, whatever the run edited and
    // deleted.
    WordList changed;
    ParseWordText(text, changed);
    changed.MarkLoaded();
    for (std::size_t i = 0; i < size && changed.GetCount() > 0; i += 7) {
        const WordPos pos = changed.PosAt(data[i] % changed.GetCount());
        if (data[i] & 1) {
            changed.Remove(pos, (data[i] & 2) != 0);
        } else {
            WordEntry entry = changed.At(pos);
            entry.mean += static_cast<char>('a' + data[i] % 26);
            changed.Replace(pos, entry);
        }
    }
    WordList rewritten;
    ParseWordText(saved, rewritten);
    WordList rewrittenToo;
    ParseWordText(saved, rewrittenToo);
    std::vector<const EntryPrint*> kept(first.GetCount(), nullptr);
    for (const auto& [origin, print] : changed.ChangedLoadedPrints())
        kept[static_cast<std::size_t>(origin)] = &print;
    const MergeResult full =
        MergeWordLists(changed.LoadedPrints(first.GetCount()), changed, std::move(rewritten));
    const MergeResult sparse = MergeWordLists(
        first.GetCount(), [&](std::size_t origin) { return kept[origin]; }, changed,
        std::move(rewrittenToo));
    Check(full.conflicts == sparse.conflicts);
    Check(full.edited == sparse.edited && full.deleted == sparse.deleted);
    Check(!full.conflicts.empty() || ListEntries(full.merged) == ListEntries(sparse.merged));

    FuzzedDataProvider provider(data, size);
    WordList made;
    while (provider.remaining_bytes() > 0) {
        WordEntry entry;
        entry.number = provider.ConsumeIntegral<std::int32_t>();
        entry.word = provider.ConsumeRandomLengthString(64);
        entry.spell = provider.ConsumeRandomLengthString(64);
        entry.type = provider.ConsumeRandomLengthString(64);
        entry.mean = provider.ConsumeRandomLengthString(64);
        made.Append(entry);
    }
    WordList loaded;
    ParseWordText(FormatWordFile(made), loaded);
    Check(ListEntries(loaded) == ListEntries(made));
    return 0;
}
