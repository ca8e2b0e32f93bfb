// The changes of one run as steps that can be undone and redone, and whether the list still
// equals what was loaded or last saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "words/WordEntry.h"
#include "words/WordList.h"
#include "words/WordPos.h"

// One change as the learner made it. A step is built by one of the functions below and then
// handed to ListHistory::Apply.
class ListStep {
public:
    enum class Kind { Add, Edit, Delete, Import };

    // Appends `entry` as it is (the add form gives it the number count + 1).
    static ListStep Add(const WordEntry& entry);
    // Gives the entry at `index` the texts of `entry`; the entry keeps its number.
    static ListStep Edit(std::uint32_t index, const WordEntry& entry);
    // Removes the entry at `index`; the entries after it are numbered down by one.
    static ListStep Delete(std::uint32_t index);
    // Replaces entries (index and new entry, numbers as given) and then appends entries.
    static ListStep Import(std::vector<std::pair<std::uint32_t, WordEntry>> replaced,
                           std::vector<WordEntry> appended);

    Kind GetKind() const { return kind_; }

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

    Kind kind_ = Kind::Add;
    std::vector<Change> changes_; // in the order they are made
    bool keepNumber_ = false;     // Edit: the entry keeps the number it has
    std::string name_;            // "Delete 'apple'", known once applied
    std::uint32_t shown_ = 0;     // the index of the entry the step shows
};

class ListHistory {
public:
    explicit ListHistory(WordList& words) : words_(words) {}

    // Makes the change and keeps it as the newest step; steps that were undone are dropped.
    // Returns the entry whose page shows the change: the added or edited entry, the one that
    // took a deleted entry's place (the last one when the deleted one was last), or End() when
    // the list is empty. A step whose index lies outside the list is ignored (End()).
    WordPos Apply(ListStep step);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
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
    bool IsModified() const { return saved_ != done_; }
    // After a successful save only: a refused save leaves the history as it was.
    void MarkSaved() { saved_ = done_; }

private:
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    void Run(ListStep::Change& change, bool forward);
    WordPos Shown(const ListStep& step) const;

    WordList& words_;
    std::vector<ListStep> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are in the list
    std::size_t saved_ = 0; // the value of done_ that matches the file, or kNever
};
