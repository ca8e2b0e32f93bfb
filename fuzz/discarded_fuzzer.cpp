// Applies arbitrary kept changes to an arbitrary list as Recover does, and checks that the
// step never touches what it should not and that undoing it gives the list back exactly.
//
// Input: the list, then the added, edited and deleted files, each ended by a line "--".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "study/DiscardedChanges.h"
#include "study/ListHistory.h"
#include "tests/support/ListEntries.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<WordEntry> Parsed(std::string_view text) {
    WordList list;
    ParseWordText(text, list);
    return ListEntries(list);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[4];
    for (std::string_view& part : parts) {
        const std::size_t end = input.find("\n--\n");
        part = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 4);
    }
    WordList list;
    ParseWordText(parts[0], list);
    list.MarkLoaded();
    const std::vector<WordEntry> before = ListEntries(list);

    DiscardedChanges changes;
    changes.added = Parsed(parts[1]);
    const std::vector<WordEntry> edited = Parsed(parts[2]);
    for (std::size_t i = 0; i + 1 < edited.size(); i += 2)
        changes.edited.emplace_back(edited[i], edited[i + 1]);
    changes.deleted = Parsed(parts[3]);

    Recovery recovery = PlanRecovery(list, changes);
    const std::size_t replaced = recovery.replaced.size();
    const std::size_t removed = recovery.removed.size();
    const std::size_t appended = recovery.appended.size();
    Check(replaced + removed <= before.size());
    Check(replaced <= changes.edited.size() && removed <= changes.deleted.size());
    Check(appended <= changes.added.size() + changes.edited.size());
    if (recovery.Empty())
        return 0;
    ListHistory history(list);
    history.Apply(ListStep::Recover(std::move(recovery.replaced), std::move(recovery.removed),
                                    std::move(recovery.appended)));
    Check(list.GetCount() == before.size() - removed + appended);
    history.Undo();
    Check(ListEntries(list) == before);
    return 0;
}
