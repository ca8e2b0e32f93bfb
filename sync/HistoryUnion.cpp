#include "sync/HistoryUnion.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unordered_map>

namespace {

constexpr std::string_view kCapMark = "\t@";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Line {
    std::string_view text; // without its line end
    bool complete = false; // ended by '\n'
};

// The lines of `bytes`; a line is ended by LF.
std::vector<Line> SplitLines(std::string_view bytes) {
    std::vector<Line> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back({bytes, false});
            break;
        }
        lines.push_back({bytes.substr(0, end), true});
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

bool IsRecord(std::string_view line) {
    return !line.empty() && line.front() != '#';
}

// The stamp a record is ordered by: its own, or none for a line without one.
std::string_view SortStamp(std::string_view line) {
    return IsHistoryStamp(line.substr(0, kStampBytes)) ? line.substr(0, kStampBytes)
                                                       : std::string_view();
}

bool IsCapped(std::string_view line) {
    constexpr std::size_t kTail = 2 + kStampBytes;
    return line.size() >= kStampBytes + kTail && IsHistoryStamp(line.substr(0, kStampBytes)) &&
           line.substr(line.size() - kTail, 2) == kCapMark &&
           IsHistoryStamp(line.substr(line.size() - kStampBytes));
}

} // namespace

bool IsHistoryStamp(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS.mmmZ
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddZ";
    if (text.size() != kShape.size())
        return false;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        if (kShape[i] == 'd' ? !IsDigit(text[i]) : text[i] != kShape[i])
            return false;
    }
    return true;
}

std::string HistoryStamp(const timespec& when) {
    std::tm utc{};
    ::gmtime_r(&when.tv_sec, &utc);
    char text[40];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03ldZ",
                                utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                utc.tm_min, utc.tm_sec, (when.tv_nsec / 1000000) % 1000);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string CapFutureStamp(std::string_view line, std::string_view now) {
    const std::string_view stamp = SortStamp(line);
    // Stamps of one shape compare as text in the order of time.
    if (stamp.empty() || stamp <= now || IsCapped(line))
        return std::string(line);
    std::string capped(now);
    capped.append(line.substr(kStampBytes)).append(kCapMark).append(stamp);
    return capped;
}

std::string UnionKey(std::string_view line) {
    if (!IsCapped(line))
        return std::string(line);
    const std::size_t tail = 2 + kStampBytes;
    std::string key(line.substr(line.size() - kStampBytes));
    key.append(line.substr(kStampBytes, line.size() - tail - kStampBytes));
    return key;
}

HistoryUnion UniteHistories(std::string_view ours, std::string_view theirs, std::string_view now) {
    HistoryUnion result;
    const std::vector<Line> mine = SplitLines(ours);
    std::vector<std::string_view> comments;
    std::vector<std::string> records;
    std::string_view cutOff;
    std::unordered_map<std::string, std::size_t> byKey; // union key -> index in `records`
    // Takes a record unless its line is there; of two versions of one line the smaller stays:
    // a capped one before the future one, and the earlier cap of two, so that machines that
    // capped it at different times agree. True when the record was taken.
    const auto take = [&](std::string record) {
        const auto [at, isNew] = byKey.emplace(UnionKey(record), records.size());
        if (isNew) {
            records.push_back(std::move(record));
            return true;
        }
        if (record < records[at->second]) {
            records[at->second] = std::move(record);
            result.changed = true;
        }
        return false;
    };
    // Every line stamped after `now` counts from now, ours too: the file in place may have come
    // from the other machine.
    const auto capped = [&](std::string_view text, bool ourLine) {
        std::string record = CapFutureStamp(text, now);
        // Our file changes with our line; theirs counts only once taken.
        result.changed = result.changed || (ourLine && record != text);
        return record;
    };
    for (const Line& line : mine) {
        if (!line.complete) {
            cutOff = line.text;
        } else if (!IsRecord(line.text)) {
            comments.push_back(line.text);
        } else {
            take(capped(line.text, true));
        }
    }
    for (const Line& line : SplitLines(theirs)) {
        if (!line.complete || !IsRecord(line.text))
            continue;
        if (take(capped(line.text, false)))
            ++result.added;
    }
    result.changed = result.changed || result.added > 0;
    for (const std::string& record : records)
        result.capped += IsCapped(record) && record.starts_with(now) ? 1 : 0;
    if (!result.changed) {
        result.merged.assign(ours);
        return result;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const std::string& a, const std::string& b) {
                         const std::string_view sa = SortStamp(a);
                         const std::string_view sb = SortStamp(b);
                         return sa != sb ? sa < sb : a < b;
                     });
    for (const std::string_view comment : comments)
        result.merged.append(comment).push_back('\n');
    for (const std::string& record : records)
        result.merged.append(record).push_back('\n');
    result.merged.append(cutOff);
    return result;
}

bool HistoryFollower::NewLines(const Folder& folder, std::string_view now,
                               std::vector<std::string>& lines) {
    lines.clear();
    FileStamp stamp;
    if (folder.Stat(m_name, stamp) && stamp.SameVersion(m_stamp))
        return true;
    std::string bytes;
    const Folder::Read read = folder.ReadAll(m_name, bytes, &stamp);
    if (read == Folder::Read::Failed)
        return false;
    m_stamp = stamp;
    for (const Line& line : SplitLines(bytes)) {
        if (!line.complete || !IsRecord(line.text))
            continue;
        std::string capped = CapFutureStamp(line.text, now);
        if (m_seen.insert(std::hash<std::string>{}(UnionKey(capped))).second)
            lines.push_back(std::move(capped));
    }
    return true;
}
