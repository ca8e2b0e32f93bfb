#include <gtest/gtest.h>

#include "study/NewWordCheck.h"

namespace {

using Verdict = NewWordCheck::Verdict;

TEST(NewWordCheck, OrderOfChecksTrimDuplicatesAndNumber) {
    WordList words;
    words.Append({1, "apple", "", "n.", "fruit"});
    words.Append({7, "Book", "", "n.", "pages"});
    struct Case {
        const char* word;
        const char* mean;
        const char* type;
        Verdict verdict;
        const char* stored; // the trimmed word, or the existing one for a duplicate
    };
    const Case cases[] = {
        {"", "", "", Verdict::MissingWord, ""},
        {" \t\r\n\v\f", "m", "n.", Verdict::MissingWord, ""},
        {"pear", "", "", Verdict::MissingMean, ""},
        {"pear", " ", "", Verdict::MissingType, ""},
        {"pear", "fruit", "n.", Verdict::Accepted, "pear"},
        {"  pear\t", "fruit", "n.", Verdict::Accepted, "pear"},
        {"apple", "x", "n.", Verdict::Duplicate, "apple"},
        {" apple ", "x", "n.", Verdict::Duplicate, "apple"},
        {"book", "x", "n.", Verdict::Accepted, "book"}, // case counts
        {"Book", "x", "", Verdict::MissingType, ""},    // missing fields come first
    };
    for (const Case& c : cases) {
        const NewWordCheck check = CheckNewWord(words, c.word, c.mean, c.type);
        EXPECT_EQ(check.verdict, c.verdict) << '"' << c.word << '"';
        if (c.verdict == Verdict::Accepted) {
            EXPECT_EQ(check.word, c.stored);
            EXPECT_EQ(check.number, 3) << "the count plus one, whatever the last number";
        }
        if (c.verdict == Verdict::Duplicate) {
            EXPECT_EQ(check.existingWord, c.stored);
        }
    }
}

} // namespace
