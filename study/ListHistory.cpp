#include "study/ListHistory.h"

#include <algorithm>

#include "base/Counted.h"

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
    step.m_kind = Kind::Add;
    step.m_changes.push_back({Change::Op::Insert, kAppend, entry});
    return step;
}

ListStep ListStep::Edit(std::uint32_t index, const WordEntry& entry) {
    ListStep step;
    step.m_kind = Kind::Edit;
    step.m_changes.push_back({Change::Op::Replace, index, entry});
    step.m_keepNumber = true;
    return step;
}

ListStep ListStep::Delete(std::uint32_t index) {
    ListStep step;
    step.m_kind = Kind::Delete;
    step.m_changes.push_back({Change::Op::Remove, index, {}});
    return step;
}

ListStep ListStep::Import(std::vector<std::pair<std::uint32_t, WordEntry>> replaced,
                          std::vector<WordEntry> appended) {
    ListStep step;
    step.m_kind = Kind::Import;
    step.m_changes.reserve(replaced.size() + appended.size());
    for (auto& [index, entry] : replaced) {
        step.m_changes.push_back({Change::Op::Replace, index, std::move(entry)});
    }
    step.m_appended.ReserveEntries(appended.size());
    for (const WordEntry& entry : appended) {
        step.m_appended.Append(entry);
    }
    step.m_appendedCount = static_cast<std::uint32_t>(appended.size());
    return step;
}

ListStep ListStep::Import(ImportPlan plan) {
    std::vector<std::pair<std::uint32_t, WordEntry>> replaced;
    replaced.reserve(plan.replaced.size());
    for (const Replacement& r : plan.replaced)
        replaced.emplace_back(static_cast<std::uint32_t>(r.index), r.after);
    ListStep step = Import(std::move(replaced), {});
    step.m_appendedCount = plan.added.GetCount();
    step.m_appended = std::move(plan.added);
    return step;
}

ListStep ListStep::Recover(std::vector<std::pair<std::uint32_t, WordEntry>> replaced,
                           std::vector<std::uint32_t> removed, std::vector<WordEntry> appended) {
    ListStep step = Import(std::move(replaced), {});
    step.m_kind = Kind::Recover;
    step.m_changes.reserve(step.m_changes.size() + removed.size() + appended.size());
    for (const std::uint32_t index : removed) {
        step.m_changes.push_back({Change::Op::Remove, index, {}});
    }
    for (WordEntry& entry : appended) {
        step.m_changes.push_back({Change::Op::Insert, kAppend, std::move(entry)});
    }
    return step;
}

bool ListHistory::HasDone(ListStep::Kind kind) const {
    return std::any_of(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(m_done),
                       [kind](const ListStep& step) { return step.m_kind == kind; });
}

void ListHistory::Clear() {
    m_steps.clear();
    m_done = 0;
    m_saved = 0;
}

WordPos ListHistory::Apply(ListStep step) {
    m_renames.clear();
    if (step.m_changes.empty() && step.m_appendedCount == 0) {
        return m_words.End();
    }
    // Check every index before anything changes, so that a bad step leaves the list alone.
    std::uint32_t count = m_words.GetCount();
    for (ListStep::Change& change : step.m_changes) {
        if (change.index == ListStep::kAppend) {
            change.index = count;
        }
        const bool inside = change.op == ListStep::Change::Op::Insert ? change.index <= count
                                                                      : change.index < count;
        if (!inside) {
            return m_words.End();
        }
        if (change.op == ListStep::Change::Op::Insert) {
            ++count;
        } else if (change.op == ListStep::Change::Op::Remove) {
            --count;
        }
    }
    if (step.m_keepNumber) {
        for (ListStep::Change& change : step.m_changes) {
            change.entry.number = m_words.Fields(m_words.PosAt(change.index)).number;
        }
    }
    const std::uint32_t firstAppended = count; // where the appended entries will start
    for (ListStep::Change& change : step.m_changes) {
        Run(change, true);
    }
    RunAppended(step, true);
    const ListStep::Change first =
        step.m_changes.empty() ? ListStep::Change{ListStep::Change::Op::Insert, firstAppended, {}}
                               : step.m_changes.front();
    const std::size_t changes = step.m_changes.size() + step.m_appendedCount;
    switch (step.m_kind) {
    case ListStep::Kind::Add:
        step.m_name = "Add " + Quoted(first.entry.word);
        break;
    case ListStep::Kind::Edit:
        step.m_name = "Edit " + Quoted(m_words.At(m_words.PosAt(first.index)).word);
        break;
    case ListStep::Kind::Delete:
        step.m_name = "Delete " + Quoted(first.entry.word);
        break;
    case ListStep::Kind::Import:
        step.m_name = "Import (" + std::to_string(changes) + (changes == 1 ? " word)" : " words)");
        break;
    case ListStep::Kind::Recover:
        step.m_name = "Recover (" + Counted(changes, "change", "changes") + ")";
        break;
    }
    step.m_shown = first.index;
    m_steps.resize(m_done);
    if (m_saved > m_done) {
        m_saved = kNever;
    }
    m_steps.push_back(std::move(step));
    ++m_done;
    return Shown(m_steps.back());
}

std::string ListHistory::UndoName() const {
    return CanUndo() ? "Undo " + m_steps[m_done - 1].m_name : "Undo";
}

std::string ListHistory::RedoName() const {
    return CanRedo() ? "Redo " + m_steps[m_done].m_name : "Redo";
}

WordPos ListHistory::Undo() {
    m_renames.clear();
    if (!CanUndo()) {
        return m_words.End();
    }
    ListStep& step = m_steps[--m_done];
    RunAppended(step, false);
    for (auto change = step.m_changes.rbegin(); change != step.m_changes.rend(); ++change) {
        Run(*change, false);
    }
    return Shown(step);
}

WordPos ListHistory::Redo() {
    m_renames.clear();
    if (!CanRedo()) {
        return m_words.End();
    }
    ListStep& step = m_steps[m_done++];
    for (ListStep::Change& change : step.m_changes) {
        Run(change, true);
    }
    RunAppended(step, true);
    return Shown(step);
}

void ListHistory::Run(ListStep::Change& change, bool forward) {
    const WordPos pos = m_words.PosAt(change.index);
    switch (change.op) {
    case ListStep::Change::Op::Insert:
        // Adding appends without renumbering; only a deletion's reverse inserts mid-list.
        if (forward) {
            m_words.Insert(pos, change.entry, false);
        } else {
            change.entry = m_words.Remove(pos, false);
        }
        break;
    case ListStep::Change::Op::Remove:
        if (forward) {
            change.origin = m_words.Origin(pos);
            change.entry = m_words.Remove(pos, true);
        } else {
            m_words.Insert(pos, change.entry, true);
            m_words.SetOrigin(m_words.PosAt(change.index), change.origin);
        }
        break;
    case ListStep::Change::Op::Replace: {
        WordEntry other = m_words.At(pos);
        if (other.word != change.entry.word)
            m_renames.emplace_back(other.word, change.entry.word);
        m_words.Replace(pos, change.entry);
        change.entry = std::move(other);
        break;
    }
    }
}

void ListHistory::RunAppended(ListStep& step, bool forward) {
    if (step.m_appendedCount == 0) {
        return;
    }
    if (forward) {
        // As the entries of any other step, they make the list differ from what was loaded.
        m_words.AppendAll(std::move(step.m_appended));
        m_words.MarkChanged();
    } else {
        step.m_appended = m_words.TakeLast(step.m_appendedCount);
    }
}

WordPos ListHistory::Shown(const ListStep& step) const {
    const std::uint32_t count = m_words.GetCount();
    if (count == 0) {
        return m_words.End();
    }
    return m_words.PosAt(std::min(step.m_shown, count - 1));
}
