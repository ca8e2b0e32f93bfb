// The changes of one run as steps that can be undone and redone, and whether the list still
// equals what was loaded or last saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "exchange/ImportPlan.h"
#include "words/WordEntry.h"
#include "words/WordList.h"
#include "words/WordPos.h"

// One change as the learner made it. A step is built by one of the functions below and then
// handed to ListHistory::Apply.
class ListStep {
public:
    enum class Kind { Add, Edit, Delete, Import, Recover };

    // Appends `entry` as it is (the add form gives it the number count + 1).
    static ListStep Add(const WordEntry& entry);
    // Gives the entry at `index` the texts of `entry`; the entry keeps its number.
    static ListStep Edit(std::uint32_t index, const WordEntry& entry);
    // Removes the entry at `index`; the entries after it are numbered down by one.
    static ListStep Delete(std::uint32_t index);
    // Replaces entries (index and new entry, numbers as given) and then appends entries.
    static ListStep Import(std::vector<std::pair<std::uint32_t, WordEntry>> replaced,
                           std::vector<WordEntry> appended);
    // The change an import plan describes: its replacements, then its added entries, which
    // the step takes over instead of copying.
    static ListStep Import(ImportPlan plan);
    // Changes a run left unsaved, applied again: texts replaced (numbers as given), then
    // entries removed (indexes highest first, the entries after each numbered down), then
    // entries appended.
    static ListStep Recover(std::vector<std::pair<std::uint32_t, WordEntry>> replaced,
                            std::vector<std::uint32_t> removed, std::vector<WordEntry> appended);

    Kind GetKind() const { return m_kind; }

private:
    friend class ListHistory;

    // The smallest changes a step is made of; each holds what its reverse needs.
    struct Change {
        enum class Op { Insert, Remove, Replace };
        Op op;
        std::uint32_t index;
        WordEntry entry; // Insert: the entry; Remove: the removed one; Replace: the other one
        // Remove: where the removed entry stood in the file, so that its return is no addition.
        std::int32_t origin = -1;
    };

    static constexpr std::uint32_t kAppend = static_cast<std::uint32_t>(-1);

    Kind m_kind = Kind::Add;
    std::vector<Change> m_changes; // in the order they are made
    // Entries appended after the changes, in one block: held here while the step is not in
    // the list and taken over by the list while it is, so that an import of many entries is
    // never held twice.
    WordList m_appended;
    std::uint32_t m_appendedCount = 0;
    bool m_keepNumber = false; // Edit: the entry keeps the number it has
    std::string m_name;        // "Delete 'apple'", known once applied
    std::uint32_t m_shown = 0; // the index of the entry the step shows
};

class ListHistory {
public:
    explicit ListHistory(WordList& words) : m_words(words) {}

    // Makes the change and keeps it as the newest step; steps that were undone are dropped.
    // Returns the entry whose page shows the change: the added or edited entry, the one that
    // took a deleted entry's place (the last one when the deleted one was last), or End() when
    // the list is empty. A step whose index lies outside the list is ignored (End()).
    WordPos Apply(ListStep step);

    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    // Menu texts such as "Undo Delete 'apple'" or "Redo Import (25 words)"; plain "Undo" and
    // "Redo" when there is nothing to undo or redo.
    std::string UndoName() const;
    std::string RedoName() const;
    // Reverse / repeat a step; return the entry whose page to show, as Apply does. End() when
    // there was nothing to do.
    WordPos Undo();
    WordPos Redo();

    // Whether the list differs from what was loaded or last saved: undoing back to that point
    // makes it unmodified again, and a step past it that was dropped never returns there.
    bool IsModified() const { return m_saved != m_done; }
    // After a successful save only: a refused save leaves the history as it was.
    void MarkSaved() { m_saved = m_done; }
    // Whether a step of `kind` is in the list (made or redone, and not undone).
    bool HasDone(ListStep::Kind kind) const;
    // Another list takes the place of the words: no step of this one applies to it.
    void Clear();

    // The words the last Apply, Undo or Redo gave another text (an edit, or its reverse), as
    // (before, after) in the order they changed; the review history follows them.
    using Renames = std::vector<std::pair<std::string, std::string>>;
    Renames TakeRenames() { return std::exchange(m_renames, {}); }

private:
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    void Run(ListStep::Change& change, bool forward);
    void RunAppended(ListStep& step, bool forward);
    WordPos Shown(const ListStep& step) const;

    WordList& m_words;
    std::vector<ListStep> m_steps;
    std::size_t m_done = 0;  // m_steps[0, m_done) are in the list
    std::size_t m_saved = 0; // the value of m_done that matches the file, or kNever
    Renames m_renames;
};
