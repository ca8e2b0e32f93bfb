#include "sync/ListMerge.h"

#include <string_view>
#include <unordered_map>

namespace {

// Where each word's entries are, in list order: the n-th entry of a word is found at
// index [n] of its vector.
class WordIndex {
public:
    explicit WordIndex(const WordList& list) {
        std::uint32_t index = 0;
        for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos), ++index) {
            m_fields.push_back(list.Fields(pos));
            m_places[m_fields.back().word].push_back(index);
        }
    }
    // The index of the `nth` entry of `word`, or -1.
    std::int64_t Find(std::string_view word, std::size_t nth) const {
        const auto found = m_places.find(word);
        if (found == m_places.end() || nth >= found->second.size())
            return -1;
        return found->second[nth];
    }
    const WordFields& At(std::size_t index) const { return m_fields[index]; }
    std::size_t size() const { return m_fields.size(); }

private:
    std::vector<WordFields> m_fields;
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> m_places;
};

bool SameText(const WordFields& a, const WordFields& b) {
    return a.word == b.word && a.spell == b.spell && a.type == b.type && a.mean == b.mean;
}

// Counts the entries of each word seen so far, to tell its n-th entry.
class Occurrences {
public:
    std::size_t Next(std::string_view word) { return m_counts[word]++; }

private:
    std::unordered_map<std::string_view, std::size_t> m_counts;
};

} // namespace

bool MayDescendFrom(const WordList& side, const WordList& candidate) {
    if (candidate.GetCount() == 0)
        return true;
    return side.FindWord(candidate.Fields(candidate.Last()).word) != side.End();
}

ListMergeResult MergeListCopies(const WordList& ours, const WordList& theirs,
                                const WordList* base) {
    ListMergeResult result;
    const WordIndex mine(ours);
    const WordIndex other(theirs);
    const WordList empty;
    const WordIndex was(base != nullptr ? *base : empty);
    std::vector<bool> otherUsed(other.size(), false);

    // What goes into the result in ours' places, with the number of ours' entry there.
    struct Out {
        WordFields fields;
        std::int32_t number;
    };
    std::vector<Out> out;
    std::vector<WordFields> appended; // second versions and entries only theirs has
    bool droppedOurs = false;

    Occurrences seenOurs;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const WordFields& o = mine.At(i);
        const std::size_t nth = seenOurs.Next(o.word);
        const std::int64_t t = other.Find(o.word, nth);
        const std::int64_t b = was.Find(o.word, nth);
        if (t >= 0)
            otherUsed[static_cast<std::size_t>(t)] = true;
        if (b >= 0 && t < 0) {
            // They deleted it: gone, unless we changed it since.
            if (SameText(o, was.At(static_cast<std::size_t>(b)))) {
                droppedOurs = true;
                ++result.removed;
            } else {
                out.push_back({o, o.number});
                result.keptChanged.emplace_back(o.word);
            }
            continue;
        }
        if (t < 0) {
            out.push_back({o, o.number});
            continue;
        }
        const WordFields& th = other.At(static_cast<std::size_t>(t));
        if (SameText(o, th)) {
            out.push_back({o, o.number});
        } else if (b >= 0 && SameText(o, was.At(static_cast<std::size_t>(b)))) {
            out.push_back({th, o.number}); // only they changed it
            ++result.taken;
        } else if (b >= 0 && SameText(th, was.At(static_cast<std::size_t>(b)))) {
            out.push_back({o, o.number}); // only we changed it
        } else {
            out.push_back({o, o.number});
            appended.push_back(th);
            ++result.taken;
            result.bothChanged.emplace_back(o.word);
        }
    }

    Occurrences seenTheirs;
    for (std::size_t j = 0; j < other.size(); ++j) {
        const WordFields& th = other.At(j);
        const std::size_t nth = seenTheirs.Next(th.word);
        if (otherUsed[j])
            continue;
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
