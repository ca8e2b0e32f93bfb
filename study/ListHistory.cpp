#include "study/ListHistory.h"

#include <algorithm>

namespace {

// Menu texts stay short: a long word is cut at a character boundary.
std::string Quoted(const std::string& word) {
    constexpr std::size_t kMost = 24;
    if (word.size() <= kMost) {
        return "'" + word + "'";
    }
    std::size_t cut = kMost;
    while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return "'" + word.substr(0, cut) + "...'";
}

} // namespace

ListStep ListStep::Add(const WordEntry& entry) {
    ListStep step;
    step.kind_ = Kind::Add;
    step.changes_.push_back({Change::Op::Insert, kAppend, entry});
    return step;
}

ListStep ListStep::Edit(std::uint32_t index, const WordEntry& entry) {
    ListStep step;
    step.kind_ = Kind::Edit;
    step.changes_.push_back({Change::Op::Replace, index, entry});
    step.keepNumber_ = true;
    return step;
}

ListStep ListStep::Delete(std::uint32_t index) {
    ListStep step;
    step.kind_ = Kind::Delete;
    step.changes_.push_back({Change::Op::Remove, index, {}});
    return step;
}

ListStep ListStep::Import(std::vector<std::pair<std::uint32_t, WordEntry>> replaced,
                          std::vector<WordEntry> appended) {
    ListStep step;
    step.kind_ = Kind::Import;
    step.changes_.reserve(replaced.size() + appended.size());
    for (auto& [index, entry] : replaced) {
        step.changes_.push_back({Change::Op::Replace, index, std::move(entry)});
    }
    for (WordEntry& entry : appended) {
        step.changes_.push_back({Change::Op::Insert, kAppend, std::move(entry)});
    }
    return step;
}

WordPos ListHistory::Apply(ListStep step) {
    if (step.changes_.empty()) {
        return words_.End();
    }
    // Check every index before anything changes, so that a bad step leaves the list alone.
    std::uint32_t count = words_.GetCount();
    for (ListStep::Change& change : step.changes_) {
        if (change.index == ListStep::kAppend) {
            change.index = count;
        }
        const bool inside = change.op == ListStep::Change::Op::Insert ? change.index <= count
                                                                      : change.index < count;
        if (!inside) {
            return words_.End();
        }
        if (change.op == ListStep::Change::Op::Insert) {
            ++count;
        } else if (change.op == ListStep::Change::Op::Remove) {
            --count;
        }
    }
    if (step.keepNumber_) {
        for (ListStep::Change& change : step.changes_) {
            change.entry.number = words_.Fields(words_.PosAt(change.index)).number;
        }
    }
    for (ListStep::Change& change : step.changes_) {
        Run(change, true);
    }
    const ListStep::Change& first = step.changes_.front();
    switch (step.kind_) {
    case ListStep::Kind::Add:
        step.name_ = "Add " + Quoted(first.entry.word);
        break;
    case ListStep::Kind::Edit:
        step.name_ = "Edit " + Quoted(words_.At(words_.PosAt(first.index)).word);
        break;
    case ListStep::Kind::Delete:
        step.name_ = "Delete " + Quoted(first.entry.word);
        break;
    case ListStep::Kind::Import:
        step.name_ = "Import (" + std::to_string(step.changes_.size()) +
                     (step.changes_.size() == 1 ? " word)" : " words)");
        break;
    }
    step.shown_ = first.index;
    steps_.resize(done_);
    if (saved_ > done_) {
        saved_ = kNever;
    }
    steps_.push_back(std::move(step));
    ++done_;
    return Shown(steps_.back());
}

std::string ListHistory::UndoName() const {
    return CanUndo() ? "Undo " + steps_[done_ - 1].name_ : "Undo";
}

std::string ListHistory::RedoName() const {
    return CanRedo() ? "Redo " + steps_[done_].name_ : "Redo";
}

WordPos ListHistory::Undo() {
    if (!CanUndo()) {
        return words_.End();
    }
    ListStep& step = steps_[--done_];
    for (auto change = step.changes_.rbegin(); change != step.changes_.rend(); ++change) {
        Run(*change, false);
    }
    return Shown(step);
}

WordPos ListHistory::Redo() {
    if (!CanRedo()) {
        return words_.End();
    }
    ListStep& step = steps_[done_++];
    for (ListStep::Change& change : step.changes_) {
        Run(change, true);
    }
    return Shown(step);
}

void ListHistory::Run(ListStep::Change& change, bool forward) {
    const WordPos pos = words_.PosAt(change.index);
    switch (change.op) {
    case ListStep::Change::Op::Insert:
        // Adding appends without renumbering; only a deletion's reverse inserts mid-list.
        if (forward) {
            words_.Insert(pos, change.entry, false);
        } else {
            change.entry = words_.Remove(pos, false);
        }
        break;
    case ListStep::Change::Op::Remove:
        if (forward) {
            change.origin = words_.Origin(pos);
            change.entry = words_.Remove(pos, true);
        } else {
            words_.Insert(pos, change.entry, true);
            words_.SetOrigin(words_.PosAt(change.index), change.origin);
        }
        break;
    case ListStep::Change::Op::Replace: {
        WordEntry other = words_.At(pos);
        words_.Replace(pos, change.entry);
        change.entry = std::move(other);
        break;
    }
    }
}

WordPos ListHistory::Shown(const ListStep& step) const {
    const std::uint32_t count = words_.GetCount();
    if (count == 0) {
        return words_.End();
    }
    return words_.PosAt(std::min(step.shown_, count - 1));
}
