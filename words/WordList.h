// The ordered list of word entries, with lookups by number and by word, editing in place and a
// text search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "words/EntryPrint.h"
#include "words/WordEntry.h"
#include "words/WordFields.h"
#include "words/WordPos.h"

class TextQuery;

class WordList {
public:
    // Stores a copy after the last entry.
    void Append(const WordEntry& entry);
    // The same from fields held elsewhere, so a reader need not build a WordEntry first.
    void AppendFields(std::int32_t number, std::string_view word, std::string_view spell,
                      std::string_view type, std::string_view mean);
    // The entry at `pos` of `from` under `number`, its stored text copied as it is, so that
    // nothing is decoded, encoded or hashed again.
    void AppendCopy(const WordList& from, WordPos pos, std::int32_t number);
    // Every entry of `from` after the last, taking over its text blocks instead of copying the
    // text: a list built aside (an import) joins this one in one step. The entries are new to
    // this list, as appended ones are.
    void AppendAll(WordList&& from);
    // The last `count` entries (at most all), taken out into a list of their own as they are,
    // numbers included: the reverse of AppendAll.
    WordList TakeLast(std::size_t count);
    // Room for `count` entries in all, and for `textBytes` more bytes of stored text in one
    // block, so that a list about to grow by many entries is not moved and faulted in piece by
    // piece as it grows.
    void ReserveEntries(std::size_t count, std::size_t textBytes = 0);
    // Bytes of stored text the entries take: what AppendCopy of every entry adds.
    std::size_t StoredTextBytes() const { return m_liveBytes; }
    std::uint32_t GetCount() const;

    // Where an entry came from: its index in the file as loaded, or -1 for an entry this run
    // made. A merge tells the run's edits, deletions and additions apart by it.
    std::int32_t Origin(WordPos pos) const; // pos must not be End()
    void SetOrigin(WordPos pos, std::int32_t origin);
    // Every entry now stands for the entry at its index in the file just loaded or saved.
    void MarkLoaded();
    // The prints of the entries as MarkLoaded found them, by origin, for the first `count`
    // origins: what a merge compares the file on disk with. An entry still as loaded is printed
    // from its text; one this run changed or removed, from the print taken before it first
    // changed. A loaded list keeps no print of its own, so start-up costs nothing for them.
    std::vector<EntryPrint> LoadedPrints(std::size_t count) const;
    // The same only for the entries this run changed or removed, by origin, each once: every
    // other loaded entry is still as loaded. A merge needs no more.
    const std::vector<std::pair<std::int32_t, EntryPrint>>& ChangedLoadedPrints() const {
        return m_loadedPrints;
    }
    // Whether entries were only appended since MarkLoaded: no edit, removal, insertion,
    // renumbering or new origin. A save may then take the entries it loaded as they were.
    bool OnlyAppendedSinceLoad() const { return !m_changedSinceLoad; }
    // Makes OnlyAppendedSinceLoad false: for appends that the caller may take back.
    void MarkChanged() { m_changedSinceLoad = true; }

    WordPos Begin() const;
    WordPos End() const;
    WordPos Last() const;            // the last entry, or End() when the list is empty
    WordPos Next(WordPos pos) const; // pos must not be End()
    WordEntry At(WordPos pos) const; // pos must not be End()
    // Views of the stored fields, valid until the list changes; pos must not be End().
    WordFields Fields(WordPos pos) const;

    // First entry in list order with that number / that exact word (byte equality), or End().
    WordPos FindNumber(std::int32_t number) const;
    WordPos FindWord(std::string_view word) const;
    // The entries whose word is one of `words`, in list order, found in one walk.
    std::vector<WordPos> FindWords(const std::vector<std::string_view>& words) const;

    // Positions are indexes: an edit moves the positions after it, and it ends the views that
    // Fields gave out.
    WordPos PosAt(std::uint32_t index) const; // End() from GetCount() on
    std::uint32_t IndexOf(WordPos pos) const; // GetCount() for End()

    // Takes the entry at `pos` out and returns it. With `renumber`, the numbers of the entries
    // after it go down by one, so that the pages behind it stay full.
    WordEntry Remove(WordPos pos, bool renumber);
    // Stores a copy before `before` (End() appends). With `renumber`, the numbers of the entries
    // after the new one go up by one: the exact reverse of Remove.
    void Insert(WordPos before, const WordEntry& entry, bool renumber);
    // Overwrites the entry at `pos`, its number included.
    void Replace(WordPos pos, const WordEntry& entry);
    // Takes out every entry whose index `removed` marks, in one pass (many single removals
    // would each move the rest of the list); with `numberInOrder`, the entries left are
    // numbered 1, 2, 3, ... in list order.
    void RemoveMarked(const std::vector<bool>& removed, bool numberInOrder);
    // Adds `delta` to the numbers of the entries from `from` to the last, wrapping like the
    // machine's 32-bit arithmetic so that a shift and its reverse always cancel.
    void Renumber(WordPos from, std::int32_t delta);
    // Whether the entries are numbered 1, 2, 3, ... in list order (an empty list is).
    bool IsNumberedInOrder() const;

    // The entries from `from` on, at most `maxEntries` of them, whose word, spell or meaning
    // contains `query`: appends their positions in list order to `found` and returns the
    // position after the last entry looked at (End() when the list is done).
    WordPos FindText(const TextQuery& query, WordPos from, std::uint32_t maxEntries,
                     std::vector<WordPos>& found) const;

private:
    // A large list is mostly fresh memory to be written once, so the fields of all entries are
    // packed into big blocks instead of four heap strings per entry. Each entry's text is its
    // four fields in order, each preceded by its length in 7-bit groups. A list starts with a
    // small block and doubles each next one up to the largest, so a short list costs little.
    static constexpr std::size_t kFirstBlockBytes = std::size_t{1} << 12;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

    char* Reserve(std::size_t bytes);
    char* WriteText(const WordEntry& entry);
    std::string_view WordOf(std::size_t index) const;
    // Bytes of the text stored at `text`.
    static std::size_t TextBytes(const char* text);
    // Counts the text of an entry that left the list, and rewrites the blocks when such text
    // outweighs the live text, so that a long run of edits keeps its memory bounded.
    void Discard(const char* text);
    void Compact();
    // Origins are kept per entry only once an entry moved: until then the loaded entries are
    // the first, in file order, and every later one is new.
    void KeepOrigins();
    // Before the text of the entry at `index` changes or leaves: its print as loaded.
    void KeepLoadedPrint(std::size_t index);
    template <int Window>
    void ScanRun(const TextQuery& query, std::size_t first, std::size_t stop, const char* end,
                 std::vector<WordPos>& found) const;

    // Blocks are never reallocated, so the text of an entry stays where it was written.
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<std::size_t> m_blockBytes; // the size of each block
    char* m_free = nullptr;                // the unused end of the newest ordinary block
    std::size_t m_freeBytes = 0;
    std::size_t m_nextBlockBytes = kFirstBlockBytes;

    // Where each entry's text starts, in list order.
    std::vector<const char*> m_texts;

    // The number and a hash of the word of each entry, in list order. The lookups walk this
    // compact column from the first entry; a hash match is confirmed on the word itself.
    struct Keys {
        std::int32_t number;
        std::uint32_t wordHash;
    };
    std::vector<Keys> m_keys;
    std::vector<std::int32_t> m_origins; // when m_originsKept
    bool m_originsKept = false;
    std::size_t m_loadedCount = 0; // entries at MarkLoaded
    bool m_changedSinceLoad = false;
    std::vector<bool> m_printKept; // by origin, once a loaded entry changed
    std::vector<std::pair<std::int32_t, EntryPrint>> m_loadedPrints;

    // Bytes of text that belong to entries, and bytes left behind by edits.
    std::size_t m_liveBytes = 0;
    std::size_t m_garbageBytes = 0;
};
