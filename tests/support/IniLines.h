// A settings file's bytes as lines with their ends, and values as they read back after a
// write, for the settings tests and the settings fuzzer to check edits against.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct IniLine {
    std::string content;
    std::string end; // "\r\n", "\n", "\r", or empty for an unended last line
    bool operator==(const IniLine&) const = default;
};

inline std::vector<IniLine> SplitIniLines(const std::string& bytes) {
    std::vector<IniLine> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", pos);
        if (stop == std::string::npos) {
            lines.push_back({bytes.substr(pos), ""});
            break;
        }
        const std::size_t endLength = bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        lines.push_back({bytes.substr(pos, stop - pos), bytes.substr(stop, endLength)});
        pos = stop + endLength;
    }
    return lines;
}

// Each line break (CR LF, LF or CR) becomes one blank, as a written value reads back.
inline std::string WithoutLineBreaks(const std::string& value) {
    std::string flat;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
            ++i;
        flat += value[i] == '\r' || value[i] == '\n' ? ' ' : value[i];
    }
    return flat;
}
