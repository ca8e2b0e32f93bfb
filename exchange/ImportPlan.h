// What an import will change in the list, worked out before anything changes, so that it can
// be previewed, confirmed, applied and later undone as one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "exchange/ImportedWords.h"
#include "words/WordEntry.h"
#include "words/WordList.h"

// What to do with an entry whose word is already in the list (or earlier in the file).
enum class DuplicatePolicy { Skip, Replace, Add };

struct PreviewRow {
    // Longer fields are cut to this many bytes and end in "...".
    static constexpr std::size_t kMaxFieldBytes = kMaxPreviewFieldBytes;

    enum class Status { New, Skipped, Replaces, Added };
    std::size_t line = 0;
    Status status = Status::New;
    // As it will be stored; for Skipped the entry as read, numbered 0; for Replaces the
    // number of the entry it replaces.
    WordEntry entry;

    friend bool operator==(const PreviewRow&, const PreviewRow&) = default;
};

// One entry of the list whose spell, type and meaning change.
struct Replacement {
    std::size_t index = 0; // its place in the list, from 0
    WordEntry before;
    WordEntry after;
};

struct ImportPlan {
    static constexpr std::size_t kPreviewRows = 20;

    // Appended in this order, numbered on from the list's count as the add form numbers.
    WordList added;
    // For a plan made by PlanImportPreview, which read entries `added` is to hold, by their
    // place in the reading: `added` stays empty until TakeAdded fills it.
    std::vector<std::uint32_t> addedFrom;
    // The list's count when the plan was made.
    std::size_t listCount = 0;
    // In list order.
    std::vector<Replacement> replaced;
    std::vector<PreviewRow> preview;

    std::size_t newWords = 0;   // entries whose word is in neither the list nor earlier rows
    std::size_t duplicates = 0; // entries whose word is
    std::size_t unreadable = 0; // lines that gave no entry

    // The entries the plan appends, fetched or not.
    std::size_t AddedCount() const { return added.GetCount() + addedFrom.size(); }
};

ImportPlan PlanImport(const ImportedWords& read, const WordList& list, DuplicatePolicy policy);

// The same without copying the entries it appends: `addedFrom` names them. A plan shown for
// confirming then costs no second copy of what was read.
ImportPlan PlanImportPreview(const ImportedWords& read, const WordList& list,
                             DuplicatePolicy policy);

// Fills `added` of a plan from PlanImportPreview with the entries it was made from, which are
// taken: when they are appended in their order, with few left out and on few runs of
// consecutive lines, they become the added entries, only renumbered; else the appended ones
// are copied.
void TakeAdded(ImportPlan& plan, WordList&& entries);

// Makes the change: replaces the fields of the replaced entries and appends the added ones.
void ApplyImport(WordList& list, const ImportPlan& plan);
// The same for a plan no longer needed: its added entries join the list without being copied.
void ApplyImport(WordList& list, ImportPlan&& plan);
