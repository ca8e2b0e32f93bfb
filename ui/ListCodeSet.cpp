#include "ui/ListCodeSet.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <langinfo.h>
#include <string>

#include "framework/TextCodec.h"

namespace {

bool CodeSetIsUtf8() {
    return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void ImportIntoListCodeSet(ImportedWords& read) {
    if (CodeSetIsUtf8())
        return;
    WordList held;
    for (WordPos pos = read.entries.Begin(); pos != read.entries.End();
         pos = read.entries.Next(pos)) {
        const WordFields fields = read.entries.Fields(pos);
        WordEntry entry{fields.number, {}, {}, {}, {}};
        bool fits = true;
        for (const auto& [from, to] : {std::pair{fields.word, &entry.word},
                                       {fields.spell, &entry.spell},
                                       {fields.type, &entry.type},
                                       {fields.mean, &entry.mean}}) {
            const QString text = FromUtf8(from);
            fits = fits && CanEncode(text);
            if (fits)
                *to = FromQString(text);
        }
        if (fits)
            held.Append(entry);
        else
            read.AddProblem(static_cast<std::size_t>(fields.number),
                            std::string("holds characters this system's character set (") +
                                nl_langinfo(CODESET) + ") cannot store");
    }
    read.entries = std::move(held);
    std::stable_sort(
        read.problems.begin(), read.problems.end(),
        [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
}

const WordList& ListInUtf8(const WordList& words, WordList& converted) {
    if (CodeSetIsUtf8())
        return words;
    converted = WordList();
    for (WordPos pos = words.Begin(); pos != words.End(); pos = words.Next(pos)) {
        const WordFields fields = words.Fields(pos);
        WordEntry entry{fields.number, {}, {}, {}, {}};
        for (const auto& [from, to] : {std::pair{fields.word, &entry.word},
                                       {fields.spell, &entry.spell},
                                       {fields.type, &entry.type},
                                       {fields.mean, &entry.mean}})
            *to = ToQString(from).toStdString();
        converted.Append(entry);
    }
    return converted;
}

std::string InListCodeSet(std::string_view utf8) {
    if (CodeSetIsUtf8())
        return std::string(utf8);
    return FromQString(FromUtf8(utf8));
}
