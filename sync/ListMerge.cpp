#include "sync/ListMerge.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace {

// Where each word's entries are, in list order, and which of its word's entries each one is:
// an open-addressing table from (word, n) to the n-th entry of the word. One flat table keeps
// a list of a million entries to a few cache misses per look-up.
class WordIndex {
public:
    // Over the entries from index `from` on; indexes count from there.
    WordIndex(const WordList& list, std::uint32_t from) {
        const std::size_t count = list.GetCount() - std::min(from, list.GetCount());
        m_fields.reserve(count);
        m_hashes.reserve(count);
        m_nth.reserve(count);
        std::size_t slots = 16;
        while (slots < 2 * count)
            slots *= 2;
        m_slots.assign(slots, kEmpty);
        std::vector<std::uint32_t> repeats(count, 0); // by first entry: later entries so far
        std::uint32_t index = 0;
        for (WordPos pos = list.PosAt(from); pos != list.End(); pos = list.Next(pos), ++index) {
            m_fields.push_back(list.Fields(pos));
            m_hashes.push_back(std::hash<std::string_view>{}(m_fields.back().word));
            const std::int64_t first = Find(m_fields.back().word, 0, m_hashes.back());
            m_nth.push_back(first < 0 ? 0 : ++repeats[static_cast<std::size_t>(first)]);
            m_slots[FreeSlot(Key(m_hashes.back(), m_nth.back()))] = index;
        }
    }
    // The index of the `nth` entry of `word` (0 for its first), or -1.
    std::int64_t Find(std::string_view word, std::uint32_t nth) const {
        return Find(word, nth, std::hash<std::string_view>{}(word));
    }
    // Which entry of its word the entry at `index` is: 0 for the first.
    std::uint32_t NthOf(std::size_t index) const { return m_nth[index]; }
    const WordFields& At(std::size_t index) const { return m_fields[index]; }
    std::size_t size() const { return m_fields.size(); }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

    static std::size_t Key(std::size_t wordHash, std::uint32_t nth) {
        return wordHash ^ (nth * 0x9E3779B97F4A7C15ull);
    }
    std::int64_t Find(std::string_view word, std::uint32_t nth, std::size_t wordHash) const {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t slot = Key(wordHash, nth) & mask;; slot = (slot + 1) & mask) {
            const std::uint32_t index = m_slots[slot];
            if (index == kEmpty)
                return -1;
            if (m_hashes[index] == wordHash && m_nth[index] == nth && m_fields[index].word == word)
                return index;
        }
    }
    std::size_t FreeSlot(std::size_t key) const {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t slot = key & mask;
        while (m_slots[slot] != kEmpty)
            slot = (slot + 1) & mask;
        return slot;
    }

    std::vector<WordFields> m_fields;
    std::vector<std::size_t> m_hashes; // of each entry's word
    std::vector<std::uint32_t> m_nth;
    std::vector<std::uint32_t> m_slots; // entry indexes; at most half of them used
};

bool SameText(const WordFields& a, const WordFields& b) {
    return a.word == b.word && a.spell == b.spell && a.type == b.type && a.mean == b.mean;
}

} // namespace

bool MayDescendFrom(const WordList& side, const WordList& candidate) {
    if (candidate.GetCount() == 0)
        return true;
    return side.FindWord(candidate.Fields(candidate.Last()).word) != side.End();
}

ListMergeResult MergeListCopies(const WordList& ours, const WordList& theirs,
                                const WordList* base) {
    ListMergeResult result;

    // What goes into the result in ours' places, with the number of ours' entry there.
    struct Out {
        WordFields fields;
        std::int32_t number;
    };
    std::vector<Out> out;
    std::vector<WordFields> appended; // second versions and entries only theirs has
    bool droppedOurs = false;

    // Where ours' entry `o` goes, given the entry of theirs and of the base that stand for the
    // same entry (nullptr where there is none).
    const auto place = [&](const WordFields& o, const WordFields* th, const WordFields* b) {
        if (b != nullptr && th == nullptr) {
            // They deleted it: gone, unless we changed it since.
            if (SameText(o, *b)) {
                droppedOurs = true;
                ++result.removed;
            } else {
                out.push_back({o, o.number});
                result.keptChanged.emplace_back(o.word);
            }
        } else if (th == nullptr || SameText(o, *th)) {
            out.push_back({o, o.number});
        } else if (b != nullptr && SameText(o, *b)) {
            out.push_back({*th, o.number}); // only they changed it
            ++result.taken;
        } else if (b != nullptr && SameText(*th, *b)) {
            out.push_back({o, o.number}); // only we changed it
        } else {
            out.push_back({o, o.number});
            appended.push_back(*th);
            ++result.taken;
            result.bothChanged.emplace_back(o.word);
        }
    };

    // As long as the three lists hold the same words in the same places, entries stand for
    // each other without a look-up: in a list both machines only added to or edited, that is
    // nearly all of it. After that point the n-th entry of a word in one list stands for the
    // n-th entry of that word in the others, counted from there, since the words before it are
    // the same in all three.
    std::uint32_t same = 0;
    {
        WordPos a = ours.Begin();
        WordPos t = theirs.Begin();
        WordPos b = base != nullptr ? base->Begin() : WordPos();
        for (; a != ours.End() && t != theirs.End() && (base == nullptr || b != base->End());
             a = ours.Next(a), t = theirs.Next(t), ++same) {
            const WordFields o = ours.Fields(a);
            const WordFields th = theirs.Fields(t);
            if (th.word != o.word)
                break;
            if (base == nullptr) {
                place(o, &th, nullptr);
                continue;
            }
            const WordFields was = base->Fields(b);
            if (was.word != o.word)
                break;
            place(o, &th, &was);
            b = base->Next(b);
        }
    }

    const WordIndex mine(ours, same);
    const WordIndex other(theirs, same);
    const WordList empty;
    const WordIndex was(base != nullptr ? *base : empty, base != nullptr ? same : 0);
    std::vector<bool> otherUsed(other.size(), false);
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const WordFields& o = mine.At(i);
        const std::uint32_t nth = mine.NthOf(i);
        const std::int64_t t = other.Find(o.word, nth);
        const std::int64_t b = was.Find(o.word, nth);
        if (t >= 0)
            otherUsed[static_cast<std::size_t>(t)] = true;
        place(o, t >= 0 ? &other.At(static_cast<std::size_t>(t)) : nullptr,
              b >= 0 ? &was.At(static_cast<std::size_t>(b)) : nullptr);
    }

    for (std::size_t j = 0; j < other.size(); ++j) {
        if (otherUsed[j])
            continue;
        const WordFields& th = other.At(j);
        const std::uint32_t nth = other.NthOf(j);
        const std::int64_t b = was.Find(th.word, nth);
        if (b >= 0) {
            // We deleted it: gone, unless they changed it since.
            if (SameText(th, was.At(static_cast<std::size_t>(b)))) {
                ++result.removed;
                continue;
            }
            result.keptChanged.emplace_back(th.word);
        }
        appended.push_back(th);
        ++result.taken;
    }

    // Numbers: 1, 2, 3, ... when ours was so numbered (a deletion renumbers, as in the window);
    // otherwise ours keep theirs and the rest follow the last.
    const bool renumber = ours.IsNumberedInOrder() || droppedOurs;
    std::int32_t number = 0;
    const auto append = [&](const WordFields& f, const std::int32_t* keep) {
        // Wraps like the window's own numbering at the very end of the range.
        number = keep != nullptr
                     ? *keep
                     : static_cast<std::int32_t>(static_cast<std::uint32_t>(number) + 1u);
        result.merged.AppendFields(number, f.word, f.spell, f.type, f.mean);
    };
    for (const Out& entry : out)
        append(entry.fields, renumber ? nullptr : &entry.number);
    for (const WordFields& f : appended)
        append(f, nullptr);
    return result;
}
