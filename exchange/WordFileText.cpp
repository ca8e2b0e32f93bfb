#include "exchange/WordFileText.h"

#include <cstdint>
#include <string>

#include "base/AsciiText.h"
#include "words/WordFileFormat.h"

namespace {

constexpr std::size_t kSampleLines = 20;
constexpr std::size_t kFields = 5;

// Calls `take(line, lineNumber)` for each line of `text` that is not blank.
template <typename Take> void ForEachLine(std::string_view text, Take take) {
    std::size_t number = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t stop = text.find_first_of("\r\n", at);
        const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
        const std::string_view line = text.substr(at, end - at);
        if (!ascii::IsAllSpace(line) && !take(line, number)) {
            return;
        }
        at = end;
        if (at < text.size() && text[at] == '\r') {
            ++at;
        }
        if (at < text.size() && text[at] == '\n') {
            ++at;
        }
        ++number;
    }
}

// Cuts a line into at most kFields + 1 tokens; true when there are exactly kFields.
bool Tokens(std::string_view line, std::string_view (&tokens)[kFields]) {
    std::size_t count = 0;
    std::size_t at = 0;
    for (;;) {
        while (at < line.size() && IsWordFileSpace(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return count == kFields;
        }
        if (count == kFields) {
            return false;
        }
        const std::size_t from = at;
        while (at < line.size() && !IsWordFileSpace(line[at])) {
            ++at;
        }
        tokens[count++] = line.substr(from, at - from);
    }
}

bool IsNumberToken(std::string_view token) {
    if (!token.empty() && token.front() == '-') {
        token.remove_prefix(1);
    }
    if (token.empty() || token.size() > 11) {
        return false;
    }
    for (const char c : token) {
        if (!ascii::IsDigit(c)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool LooksLikeWordFile(std::string_view text) {
    // The first line must be a record, and most of the others: a list edited by hand may hold
    // a bad line or two, which then are named as problems.
    std::size_t lines = 0;
    std::size_t records = 0;
    bool firstIsRecord = false;
    ForEachLine(text, [&](std::string_view line, std::size_t) {
        std::string_view tokens[kFields];
        const bool record = line.find('\t') == std::string_view::npos && Tokens(line, tokens) &&
                            IsNumberToken(tokens[0]);
        firstIsRecord = firstIsRecord || (record && lines == 0);
        ++lines;
        records += record ? 1 : 0;
        return firstIsRecord && lines < kSampleLines;
    });
    return firstIsRecord && records * 4 >= lines * 3;
}

void ReadWordFileText(std::string_view text, ImportedWords& out) {
    out.format = ReadFormat::WordFile;
    out.separator = ' ';
    out.header = false;
    out.html = false;
    out.columns = ColumnMap{1, 2, 3, 4};
    std::string fields[4];
    ForEachLine(text, [&](std::string_view line, std::size_t number) {
        std::string_view tokens[kFields];
        if (!Tokens(line, tokens)) {
            out.AddProblem(number, "not a record of the word list");
            return true;
        }
        std::string_view values[4];
        for (std::size_t i = 0; i < 4; ++i) {
            const std::string_view token = tokens[i + 1];
            if (token.find('\\') == std::string_view::npos) {
                values[i] = token;
            } else {
                UnescapeField(token, fields[i]);
                values[i] = fields[i];
            }
        }
        if (IsNoWord(values[0])) {
            out.AddProblem(number, "no word");
            return true;
        }
        out.entries.AppendFields(
            static_cast<std::int32_t>(std::min<std::size_t>(number, INT32_MAX)), values[0],
            values[1], values[2], values[3]);
        return true;
    });
}
