#include "study/DiscardedChanges.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <unordered_map>

#include "storage/Backups.h"
#include "storage/Folder.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

const char* const kAdded = "added.txt";
const char* const kEdited = "edited.txt";
const char* const kDeleted = "deleted.txt";

bool SameTexts(const WordEntry& a, const WordEntry& b) {
    return a.word == b.word && a.spell == b.spell && a.type == b.type && a.mean == b.mean;
}

// The entries of `words` whose word is one of those asked, by word, in list order: one walk
// of the list however many are asked.
class WordIndex {
public:
    WordIndex(const WordList& words, const std::vector<const WordEntry*>& asked) : m_words(words) {
        std::vector<std::string_view> wanted;
        wanted.reserve(asked.size());
        for (const WordEntry* entry : asked)
            wanted.push_back(entry->word);
        for (const WordPos pos : words.FindWords(wanted))
            m_byWord[words.At(pos).word].push_back(words.IndexOf(pos));
    }

    // The first entry with the texts of `entry` that `taken` does not hold yet.
    std::optional<std::uint32_t> Find(const WordEntry& entry,
                                      const std::vector<bool>& taken) const {
        const auto found = m_byWord.find(entry.word);
        if (found == m_byWord.end())
            return std::nullopt;
        for (const std::uint32_t index : found->second) {
            if (!taken[index] && SameTexts(m_words.At(m_words.PosAt(index)), entry))
                return index;
        }
        return std::nullopt;
    }

private:
    const WordList& m_words;
    std::unordered_map<std::string, std::vector<std::uint32_t>> m_byWord;
};

std::string FormatEntries(const std::vector<WordEntry>& entries) {
    std::string text;
    for (const WordEntry& entry : entries)
        AppendWordLine(text, entry);
    return text;
}

std::vector<WordEntry> ParseEntries(const std::string& bytes) {
    WordList list;
    ParseWordText(bytes, list);
    std::vector<WordEntry> entries;
    entries.reserve(list.GetCount());
    for (WordPos pos = list.Begin(); pos != list.End(); pos = list.Next(pos))
        entries.push_back(list.At(pos));
    return entries;
}

Folder OpenBackups(const Folder& list) {
    if (list.IsLink(kBackupFolder))
        return {};
    return Folder::Open(list.HandlePath() + "/" + kBackupFolder);
}

// A kept folder of `backups`, never through a link.
Folder OpenKept(const Folder& backups, const std::string& name) {
    if (!discarded::IsKeptName(name) || backups.IsLink(name))
        return {};
    return Folder::Open(backups.HandlePath() + "/" + name);
}

bool WriteFile(const Folder& folder, const char* name, const std::string& bytes,
               const FileStamp& like) {
    FolderFile file(folder, name);
    return file.Open(&like) && file.Write(bytes) && file.Commit();
}

// Removes all but the newest kKeptMost kept folders: only the files this program writes in
// them, and the folder only once that left it empty.
void Prune(const Folder& backups) {
    std::vector<std::string> names = backups.Names();
    std::erase_if(names, [](const std::string& name) { return !discarded::IsKeptName(name); });
    if (names.size() <= discarded::kKeptMost)
        return;
    std::sort(names.begin(), names.end());
    names.resize(names.size() - discarded::kKeptMost);
    for (const std::string& name : names) {
        const Folder kept = OpenKept(backups, name);
        if (!kept.IsOpen())
            continue;
        for (const char* file :
             {kAdded, kEdited, kDeleted, discarded::kTold, discarded::kRecovered})
            ::unlinkat(kept.fd(), file, 0);
        ::unlinkat(backups.fd(), name.c_str(), AT_REMOVEDIR);
    }
}

} // namespace

DiscardedChanges FindDiscarded(const WordList& saved, const WordList& now) {
    DiscardedChanges changes;
    const std::uint32_t count = saved.GetCount();
    std::vector<bool> kept(count, false);
    // Compared as views: only the entries that changed are copied out.
    for (WordPos pos = now.Begin(); pos != now.End(); pos = now.Next(pos)) {
        const std::int32_t origin = now.Origin(pos);
        if (origin < 0 || static_cast<std::uint32_t>(origin) >= count ||
            kept[static_cast<std::uint32_t>(origin)]) {
            changes.added.push_back(now.At(pos));
            continue;
        }
        kept[static_cast<std::uint32_t>(origin)] = true;
        const WordPos was = saved.PosAt(static_cast<std::uint32_t>(origin));
        const WordFields a = saved.Fields(was);
        const WordFields b = now.Fields(pos);
        if (a.word != b.word || a.spell != b.spell || a.type != b.type || a.mean != b.mean)
            changes.edited.emplace_back(saved.At(was), now.At(pos));
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!kept[i])
            changes.deleted.push_back(saved.At(saved.PosAt(i)));
    }
    return changes;
}

DiscardedChanges FindUnsaved(const WordList& file, const WordList& now) {
    std::vector<WordEntry> entries;
    entries.reserve(now.GetCount());
    for (WordPos pos = now.Begin(); pos != now.End(); pos = now.Next(pos))
        entries.push_back(now.At(pos));
    std::vector<const WordEntry*> asked;
    asked.reserve(entries.size());
    for (const WordEntry& entry : entries)
        asked.push_back(&entry);
    const WordIndex index(file, asked);
    const std::vector<bool> none(file.GetCount(), false);
    DiscardedChanges changes;
    for (WordEntry& entry : entries) {
        if (!index.Find(entry, none))
            changes.added.push_back(std::move(entry));
    }
    return changes;
}

Recovery PlanRecovery(const WordList& words, const DiscardedChanges& changes) {
    std::vector<const WordEntry*> asked;
    for (const auto& [before, after] : changes.edited) {
        asked.push_back(&before);
        asked.push_back(&after);
    }
    for (const WordEntry& entry : changes.deleted)
        asked.push_back(&entry);
    for (const WordEntry& entry : changes.added)
        asked.push_back(&entry);
    const WordIndex index(words, asked);
    std::vector<bool> taken(words.GetCount(), false);
    const std::vector<bool> none(words.GetCount(), false);

    // By its number as saved first, so that of two equal entries the one meant is taken.
    const auto find = [&](const WordEntry& saved) -> std::optional<std::uint32_t> {
        const WordPos pos = words.FindNumber(saved.number);
        if (pos != words.End()) {
            const std::uint32_t at = words.IndexOf(pos);
            if (!taken[at] && SameTexts(words.At(pos), saved))
                return at;
        }
        return index.Find(saved, taken);
    };

    Recovery recovery;
    std::vector<WordEntry> appended;
    for (const auto& [before, after] : changes.edited) {
        if (const std::optional<std::uint32_t> at = find(before)) {
            taken[*at] = true;
            WordEntry entry = after;
            entry.number = words.At(words.PosAt(*at)).number;
            recovery.replaced.emplace_back(*at, std::move(entry));
        } else if (!index.Find(after, none)) {
            appended.push_back(after);
        }
    }
    for (const WordEntry& entry : changes.deleted) {
        if (const std::optional<std::uint32_t> at = find(entry)) {
            taken[*at] = true;
            recovery.removed.push_back(*at);
        }
    }
    for (const WordEntry& entry : changes.added) {
        if (!index.Find(entry, none))
            appended.push_back(entry);
    }
    std::sort(recovery.removed.begin(), recovery.removed.end(), std::greater<>());
    std::int64_t number =
        std::int64_t{words.GetCount()} - static_cast<std::int64_t>(recovery.removed.size());
    for (WordEntry& entry : appended) {
        entry.number = static_cast<std::int32_t>(++number);
        recovery.appended.push_back(std::move(entry));
    }
    return recovery;
}

namespace discarded {

std::string FolderName(std::int64_t when) {
    const std::time_t time = static_cast<std::time_t>(when);
    std::tm local{};
    ::localtime_r(&time, &local);
    char stamp[32];
    const std::size_t n = std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return kPrefix + std::string(stamp, n);
}

bool IsKeptName(const std::string& name) {
    const std::string_view prefix = kPrefix;
    constexpr std::size_t kStamp = 15; // YYYYMMDD-HHMMSS
    if (name.size() < prefix.size() + kStamp || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = 0; i < kStamp; ++i) {
        const char c = name[prefix.size() + i];
        if (i == 8 ? c != '-' : (c < '0' || c > '9'))
            return false;
    }
    // A second one within the same second: "-2" and on.
    const std::string_view rest = std::string_view(name).substr(prefix.size() + kStamp);
    if (rest.empty())
        return true;
    return rest.size() >= 2 && rest.size() <= 3 && rest[0] == '-' &&
           std::all_of(rest.begin() + 1, rest.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Keep(const Folder& list, const std::string& model, const DiscardedChanges& changes,
                 std::int64_t when) {
    if (changes.Empty() || list.IsLink(kBackupFolder))
        return {};
    const FileStamp like = StampBeside(list, model);
    const Folder backups = list.OpenSub(kBackupFolder, like);
    if (!backups.IsOpen())
        return {};
    std::string name = FolderName(when);
    FileStamp existing;
    for (int n = 2; backups.Stat(name, existing) && existing.exists; ++n) {
        if (n > 99)
            return {};
        name = FolderName(when) + "-" + std::to_string(n);
    }
    // Written under a name no reader takes, then renamed: the kept folder is whole or absent.
    const std::string part = "." + name + ".part";
    const Folder folder = backups.OpenSub(part, like);
    std::string edited;
    for (const auto& [before, after] : changes.edited) {
        AppendWordLine(edited, before);
        AppendWordLine(edited, after);
    }
    const bool written =
        folder.IsOpen() &&
        (changes.added.empty() || WriteFile(folder, kAdded, FormatEntries(changes.added), like)) &&
        (edited.empty() || WriteFile(folder, kEdited, edited, like)) &&
        (changes.deleted.empty() ||
         WriteFile(folder, kDeleted, FormatEntries(changes.deleted), like));
    if (!written || ::renameat(backups.fd(), part.c_str(), backups.fd(), name.c_str()) != 0) {
        if (folder.IsOpen()) {
            for (const char* file : {kAdded, kEdited, kDeleted})
                ::unlinkat(folder.fd(), file, 0);
            ::unlinkat(backups.fd(), part.c_str(), AT_REMOVEDIR);
        }
        return {};
    }
    ::fsync(backups.fd());
    Prune(backups);
    return std::string(kBackupFolder) + "/" + name;
}

std::string NewestWithout(const Folder& list, const char* mark) {
    const Folder backups = OpenBackups(list);
    if (!backups.IsOpen())
        return {};
    std::vector<std::string> names = backups.Names();
    std::erase_if(names, [](const std::string& name) { return !IsKeptName(name); });
    if (names.empty())
        return {};
    // Names sort by time; only the newest counts, so an older one is never offered again.
    const std::string& newest = *std::max_element(names.begin(), names.end());
    const Folder kept = OpenKept(backups, newest);
    FileStamp marked;
    if (!kept.IsOpen() || !kept.Stat(mark, marked) || marked.exists)
        return {};
    return newest;
}

bool Read(const Folder& list, const std::string& name, DiscardedChanges& changes) {
    const Folder kept = OpenKept(OpenBackups(list), name);
    if (!kept.IsOpen())
        return false;
    changes = {};
    std::string bytes[3];
    const char* const files[3] = {kAdded, kEdited, kDeleted};
    for (int i = 0; i < 3; ++i) {
        if (kept.ReadAll(files[i], bytes[i]) == Folder::Read::Failed)
            return false;
    }
    changes.added = ParseEntries(bytes[0]);
    std::vector<WordEntry> edited = ParseEntries(bytes[1]);
    // Pairs: an odd one left at the end was cut short and is left out.
    for (std::size_t i = 0; i + 1 < edited.size(); i += 2)
        changes.edited.emplace_back(std::move(edited[i]), std::move(edited[i + 1]));
    changes.deleted = ParseEntries(bytes[2]);
    return true;
}

bool Mark(const Folder& list, const std::string& name, const char* mark) {
    const Folder kept = OpenKept(OpenBackups(list), name);
    return kept.IsOpen() && WriteBeside(kept, kAdded, mark, "");
}

} // namespace discarded
