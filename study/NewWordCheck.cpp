#include "study/NewWordCheck.h"

#include "base/AsciiText.h"

namespace {

NewWordCheck Check(const WordList& words, const WordPos* self, std::string_view word,
                   std::string_view mean, std::string_view type) {
    NewWordCheck check;
    // A word of blanks alone would be stored as an empty word, so it counts as missing.
    const std::string_view trimmed = ascii::Trim(word);
    if (trimmed.empty())
        check.verdict = NewWordCheck::Verdict::MissingWord;
    else if (mean.empty())
        check.verdict = NewWordCheck::Verdict::MissingMean;
    else if (type.empty())
        check.verdict = NewWordCheck::Verdict::MissingType;
    if (check.verdict != NewWordCheck::Verdict::Accepted)
        return check;

    check.word = std::string(trimmed);
    const WordPos found = words.FindWord(trimmed);
    if (!(found == words.End()) && (self == nullptr || !(found == *self))) {
        check.verdict = NewWordCheck::Verdict::Duplicate;
        check.existingWord = words.At(found).word;
        return check;
    }
    check.number = static_cast<std::int32_t>(words.GetCount() + 1u);
    return check;
}

} // namespace

NewWordCheck CheckNewWord(const WordList& words, std::string_view word, std::string_view mean,
                          std::string_view type) {
    return Check(words, nullptr, word, mean, type);
}

NewWordCheck CheckEditedEntry(const WordList& words, WordPos self, std::string_view word,
                              std::string_view mean, std::string_view type) {
    return Check(words, &self, word, mean, type);
}
