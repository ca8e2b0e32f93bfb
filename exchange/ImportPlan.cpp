#include "exchange/ImportPlan.h"

#include "base/HugePages.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

WordEntry PreviewEntry(const WordFields& fields) {
    return {fields.number, PreviewField(fields.word), PreviewField(fields.spell),
            PreviewField(fields.type), PreviewField(fields.mean)};
}

std::int32_t NumberAfter(std::size_t count, std::size_t k) {
    const std::size_t number = count + k + 1;
    return number > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(number);
}

// The words of the list and of the entries about to be added, in one flat table of slots
// that name each word's entry rather than hold the word: a million words then cost 16 MB of
// slots, not a copy of every word's view besides. A place is an index into the list below
// `count`, else count + k for the k-th added entry.
class WordPlaces {
public:
    WordPlaces(const WordList& list, const WordList& read, const std::vector<std::uint32_t>& from)
        : m_list(list), m_read(read), m_from(from), m_count(list.GetCount()) {
        const std::size_t words = list.GetCount() + read.GetCount();
        std::size_t slots = 16;
        while (slots < words * 2) {
            slots *= 2;
        }
        m_slots.reserve(slots);
        AdviseHugePages(m_slots);
        m_slots.assign(slots, 0);
    }

    // The place of `word`, and true when it was not there yet and now is at `place`.
    std::pair<std::size_t, bool> Emplace(std::string_view word, std::size_t place) {
        const std::uint64_t hash = std::hash<std::string_view>()(word);
        const std::uint64_t tag = hash >> (64 - kTagBits);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint64_t slot = m_slots[at];
            if (slot == 0) {
                m_slots[at] = tag << kPlaceBits | (place + 1);
                return {place, true};
            }
            const std::size_t found = static_cast<std::size_t>(slot & kPlaceMask) - 1;
            if (slot >> kPlaceBits == tag && WordAt(found) == word) {
                return {found, false};
            }
        }
    }

    std::string_view WordAt(std::size_t place) const {
        return place < m_count ? m_list.Fields(m_list.PosAt(static_cast<std::uint32_t>(place))).word
                               : m_read.Fields(m_read.PosAt(m_from[place - m_count])).word;
    }

private:
    static constexpr int kPlaceBits = 40;
    static constexpr int kTagBits = 64 - kPlaceBits;
    static constexpr std::uint64_t kPlaceMask = (std::uint64_t{1} << kPlaceBits) - 1;

    const WordList& m_list;
    const WordList& m_read;
    // Under Replace a later row takes an added entry's place; its word is the same.
    const std::vector<std::uint32_t>& m_from;
    std::size_t m_count;
    // Empty (0), or the hash's high bits and the place from 1.
    std::vector<std::uint64_t> m_slots;
};

} // namespace

ImportPlan PlanImportPreview(const ImportedWords& read, const WordList& list,
                             DuplicatePolicy policy) {
    ImportPlan plan;
    plan.unreadable = std::max(read.problemCount, read.problems.size());
    const std::size_t count = list.GetCount();
    plan.listCount = count;

    // Which read entry gives each added entry its fields, and each replaced one its new ones:
    // under Replace a later row wins.
    std::vector<std::uint32_t>& sources = plan.addedFrom;
    sources.reserve(read.entries.GetCount());
    WordPlaces where(list, read.entries, sources);
    std::size_t index = 0;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++index) {
        where.Emplace(list.Fields(pos).word, index);
    }

    std::unordered_map<std::size_t, std::uint32_t> replacing;
    std::uint32_t at = 0;
    for (WordPos pos = read.entries.Begin(); pos != read.entries.End();
         pos = read.entries.Next(pos), ++at) {
        const WordFields fields = read.entries.Fields(pos);
        const auto [found, fresh] = where.Emplace(fields.word, count + sources.size());
        // Only the first rows are previewed: copying every entry would double the work.
        const bool previewed = plan.preview.size() < ImportPlan::kPreviewRows;
        PreviewRow row;
        row.line = static_cast<std::size_t>(fields.number);
        if (previewed) {
            row.entry = PreviewEntry(fields);
        }
        if (fresh) {
            ++plan.newWords;
            row.entry.number = NumberAfter(count, sources.size());
            sources.push_back(at);
        } else {
            ++plan.duplicates;
            switch (policy) {
            case DuplicatePolicy::Skip:
                row.status = PreviewRow::Status::Skipped;
                row.entry.number = 0;
                break;
            case DuplicatePolicy::Add:
                row.status = PreviewRow::Status::Added;
                row.entry.number = NumberAfter(count, sources.size());
                sources.push_back(at);
                break;
            case DuplicatePolicy::Replace:
                row.status = PreviewRow::Status::Replaces;
                if (found < count) {
                    replacing[found] = at;
                    row.entry.number =
                        list.Fields(list.PosAt(static_cast<std::uint32_t>(found))).number;
                } else {
                    const std::size_t k = found - count;
                    sources[k] = at;
                    row.entry.number = NumberAfter(count, k);
                }
                break;
            }
        }
        if (previewed) {
            plan.preview.push_back(std::move(row));
        }
    }

    if (!replacing.empty()) {
        std::size_t place = 0;
        for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++place) {
            const auto it = replacing.find(place);
            if (it == replacing.end()) {
                continue;
            }
            Replacement replacement;
            replacement.index = place;
            replacement.before = list.At(pos);
            replacement.after = replacement.before;
            const WordFields from = read.entries.Fields(read.entries.PosAt(it->second));
            replacement.after.spell = from.spell;
            replacement.after.type = from.type;
            replacement.after.mean = from.mean;
            plan.replaced.push_back(std::move(replacement));
        }
    }
    return plan;
}

namespace {

// Copies the entries `plan.addedFrom` names into `plan.added`.
void CopyAdded(ImportPlan& plan, const WordList& entries) {
    const std::vector<std::uint32_t>& from = plan.addedFrom;
    // When every row is added, their stored text is exactly the text the plan needs.
    plan.added.ReserveEntries(from.size(),
                              from.size() == entries.GetCount() ? entries.StoredTextBytes() : 0);
    for (std::size_t k = 0; k < from.size(); ++k) {
        plan.added.AppendCopy(entries, entries.PosAt(from[k]), NumberAfter(plan.listCount, k));
    }
    plan.addedFrom = std::vector<std::uint32_t>();
}

} // namespace

ImportPlan PlanImport(const ImportedWords& read, const WordList& list, DuplicatePolicy policy) {
    ImportPlan plan = PlanImportPreview(read, list, policy);
    CopyAdded(plan, read.entries);
    return plan;
}

void TakeAdded(ImportPlan& plan, WordList&& entries) {
    // Each entry left out and each run of lines after the first costs a pass over the entries.
    constexpr std::size_t kFewChanges = 16;
    const std::vector<std::uint32_t>& from = plan.addedFrom;
    const std::size_t n = from.size();
    // Where the lines of the added entries stop following one another: (k, line of entry k).
    std::vector<std::pair<std::size_t, std::int64_t>> runs;
    bool take = n > 0 && entries.GetCount() - n <= kFewChanges && plan.listCount + n < INT32_MAX;
    std::int64_t last = 0;
    for (std::size_t k = 0; take && k < n; ++k) {
        // Under Replace a later row may stand for an earlier one: the order is then another.
        take = k == 0 || from[k] > from[k - 1];
        const std::int64_t line = entries.Fields(entries.PosAt(from[k])).number;
        if (k == 0 || line != last + 1) {
            runs.emplace_back(k, line);
            take = take && runs.size() <= kFewChanges;
        }
        last = line;
    }
    if (!take) {
        CopyAdded(plan, entries);
        entries = WordList();
        return;
    }
    // The entries left out go, the last first so that the places of the others stand.
    std::size_t kept = n;
    for (std::size_t i = entries.GetCount(); i-- > 0;) {
        if (kept > 0 && from[kept - 1] == i) {
            --kept;
        } else {
            entries.Remove(entries.PosAt(static_cast<std::uint32_t>(i)), false);
        }
    }
    // Entry k is numbered after the list's count; one shift numbers each run.
    std::int64_t shifted = 0;
    for (const auto& [k, line] : runs) {
        const std::int64_t delta =
            static_cast<std::int64_t>(plan.listCount + k) + 1 - line - shifted;
        entries.Renumber(entries.PosAt(static_cast<std::uint32_t>(k)),
                         static_cast<std::int32_t>(delta));
        shifted += delta;
    }
    plan.added = std::move(entries);
    entries = WordList();
    plan.addedFrom = std::vector<std::uint32_t>();
}

namespace {

void ApplyReplaced(WordList& list, const std::vector<Replacement>& replaced) {
    if (replaced.empty()) {
        return;
    }
    // The list only grows at its end, so changed entries mean writing it anew.
    WordList changed;
    std::size_t at = 0;
    auto next = replaced.begin();
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++at) {
        if (next != replaced.end() && next->index == at) {
            changed.Append(next->after);
            ++next;
        } else {
            changed.AppendCopy(list, pos, list.Fields(pos).number);
        }
    }
    list = std::move(changed);
}

} // namespace

void ApplyImport(WordList& list, const ImportPlan& plan) {
    assert(plan.addedFrom.empty()); // a plan for showing is applied once TakeAdded filled it
    ApplyReplaced(list, plan.replaced);
    for (WordPos pos = plan.added.Begin(); pos != plan.added.End(); pos = plan.added.Next(pos)) {
        list.AppendCopy(plan.added, pos, plan.added.Fields(pos).number);
    }
}

void ApplyImport(WordList& list, ImportPlan&& plan) {
    assert(plan.addedFrom.empty());
    ApplyReplaced(list, plan.replaced);
    list.AppendAll(std::move(plan.added));
}
