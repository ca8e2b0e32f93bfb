#include "exchange/ImportPlan.h"

#include "base/HugePages.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// Where a word already is: an entry of the list (index >= 0, with its number) or an entry
// about to be added (-1 - its place among them).
using Target = std::int64_t;
struct Place {
    Target target;
    std::int32_t number;
};

WordEntry PreviewEntry(const WordFields& fields) {
    return {fields.number, PreviewField(fields.word), PreviewField(fields.spell),
            PreviewField(fields.type), PreviewField(fields.mean)};
}

// Words and where they are, in one flat table: a node per word, as a standard hash map
// allocates, made planning a million words cost more than reading them.
class WordPlaces {
public:
    explicit WordPlaces(std::size_t words) {
        std::size_t slots = 16;
        while (slots < words * 2) {
            slots *= 2;
        }
        m_slots.reserve(slots);
        AdviseHugePages(m_slots);
        m_slots.assign(slots, 0);
        m_places.reserve(words);
        AdviseHugePages(m_places);
    }

    // The place of `word`, and true, when it was not there yet and now is at `place`.
    std::pair<Place*, bool> Emplace(std::string_view word, Place place) {
        const std::uint64_t hash = std::hash<std::string_view>()(word);
        const std::uint64_t tag = hash >> 32;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            const std::uint64_t slot = m_slots[at];
            if (slot == 0) {
                m_places.push_back({word, place});
                m_slots[at] = tag << 32 | m_places.size();
                return {&m_places.back().place, true};
            }
            if (slot >> 32 == tag) {
                Entry& entry = m_places[(slot & 0xFFFFFFFFu) - 1];
                if (entry.word == word) {
                    return {&entry.place, false};
                }
            }
        }
    }

private:
    struct Entry {
        std::string_view word;
        Place place;
    };
    // Empty (0), or the hash's high half and the place's index from 1.
    std::vector<std::uint64_t> m_slots;
    std::vector<Entry> m_places; // never grows past its reserve, so pointers stay valid
};

std::int32_t NumberAfter(std::size_t count, std::size_t k) {
    const std::size_t number = count + k + 1;
    return number > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(number);
}

} // namespace

ImportPlan PlanImport(const ImportedWords& read, const WordList& list, DuplicatePolicy policy) {
    ImportPlan plan;
    plan.unreadable = std::max(read.problemCount, read.problems.size());
    const std::size_t count = list.GetCount();

    WordPlaces where(count + read.entries.GetCount());
    Target index = 0;
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++index) {
        const WordFields fields = list.Fields(pos);
        where.Emplace(fields.word, Place{index, fields.number});
    }

    // Which read entry gives each added entry its fields, and each replaced one its new ones:
    // under Replace a later row wins.
    std::vector<WordPos> sources;
    sources.reserve(read.entries.GetCount());
    std::unordered_map<std::size_t, WordPos> replacing;
    for (WordPos pos = read.entries.Begin(); pos != read.entries.End();
         pos = read.entries.Next(pos)) {
        const WordFields fields = read.entries.Fields(pos);
        const auto [found, fresh] =
            where.Emplace(fields.word, Place{-1 - Target(sources.size()), 0});
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
            sources.push_back(pos);
        } else {
            ++plan.duplicates;
            const Target target = found->target;
            switch (policy) {
            case DuplicatePolicy::Skip:
                row.status = PreviewRow::Status::Skipped;
                row.entry.number = 0;
                break;
            case DuplicatePolicy::Add:
                row.status = PreviewRow::Status::Added;
                row.entry.number = NumberAfter(count, sources.size());
                sources.push_back(pos);
                break;
            case DuplicatePolicy::Replace:
                row.status = PreviewRow::Status::Replaces;
                if (target >= 0) {
                    replacing[static_cast<std::size_t>(target)] = pos;
                    row.entry.number = found->number;
                } else {
                    const std::size_t k = static_cast<std::size_t>(-1 - target);
                    sources[k] = pos;
                    row.entry.number = NumberAfter(count, k);
                }
                break;
            }
        }
        if (previewed) {
            plan.preview.push_back(std::move(row));
        }
    }

    // When every row is added, their stored text is exactly the text the plan needs.
    plan.added.ReserveEntries(sources.size(), sources.size() == read.entries.GetCount()
                                                  ? read.entries.StoredTextBytes()
                                                  : 0);
    for (std::size_t k = 0; k < sources.size(); ++k) {
        plan.added.AppendCopy(read.entries, sources[k], NumberAfter(count, k));
    }
    if (!replacing.empty()) {
        std::size_t at = 0;
        for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++at) {
            const auto it = replacing.find(at);
            if (it == replacing.end()) {
                continue;
            }
            Replacement replacement;
            replacement.index = at;
            replacement.before = list.At(pos);
            replacement.after = replacement.before;
            const WordFields from = read.entries.Fields(it->second);
            replacement.after.spell = from.spell;
            replacement.after.type = from.type;
            replacement.after.mean = from.mean;
            plan.replaced.push_back(std::move(replacement));
        }
    }
    return plan;
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
    ApplyReplaced(list, plan.replaced);
    for (WordPos pos = plan.added.Begin(); pos != plan.added.End(); pos = plan.added.Next(pos)) {
        list.AppendCopy(plan.added, pos, plan.added.Fields(pos).number);
    }
}

void ApplyImport(WordList& list, ImportPlan&& plan) {
    ApplyReplaced(list, plan.replaced);
    list.AppendAll(std::move(plan.added));
}
