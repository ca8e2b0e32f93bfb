#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "words/TextQuery.h"
#include "words/WordList.h"

namespace {

// UTF-8 of one code point below U+0800.
std::string Utf8(unsigned code) {
    if (code < 0x80) {
        return std::string(1, static_cast<char>(code));
    }
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

std::vector<std::uint32_t> Indexes(const WordList& list, const std::vector<WordPos>& found) {
    std::vector<std::uint32_t> indexes;
    for (const WordPos pos : found) {
        indexes.push_back(list.IndexOf(pos));
    }
    return indexes;
}

// What the scan must find: the same test made field by field.
std::vector<std::uint32_t> Expected(const WordList& list, const TextQuery& query) {
    std::vector<std::uint32_t> indexes;
    for (std::uint32_t i = 0; i < list.GetCount(); ++i) {
        const WordFields fields = list.Fields(list.PosAt(i));
        if (query.FoundIn(fields.word) || query.FoundIn(fields.spell) ||
            query.FoundIn(fields.mean)) {
            indexes.push_back(i);
        }
    }
    return indexes;
}

std::vector<std::uint32_t> Scan(const WordList& list, std::string_view text) {
    std::vector<WordPos> found;
    EXPECT_EQ(list.FindText(TextQuery(text), list.Begin(), list.GetCount(), found), list.End());
    return Indexes(list, found);
}

TEST(TextQuery, FoundInFoldsLatinCaseOnly) {
    struct Case {
        const char* query;
        const char* field;
        bool found;
    };
    const Case cases[] = {
        {"app", "Apple", true},     {"APP", "apple", true},
        {"ple", "apPLE", true},     {"[", "{", false}, // bit 5 apart, but not letters
        {"@", "`", false},          {"é", "CAFÉ", true},
        {"É", "café", true},        {"ÀÞ", "àþ", true},
        {"×", "÷", false},                            // Latin-1 signs, not letters
        {"ß", "ÿ", false},          {"ą", "Ą", true}, // Latin Extended-A, capital even
        {"ĺ", "Ĺ", true},                             // capital odd
        {"ż", "Ż", true},           {"ň", "Ň", true},
        {"ŀ", "Ŀ", false}, // forms with different first bytes match only themselves
        {"ÿ", "Ÿ", false},          {"i", "İ", false},
        {"苹果", "红苹果汁", true}, {"苹果", "苹", false},
        {"汁", "红苹果汁", true},   {"", "anything", false},
        {"a", "", false},           {"abc", "ab", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextQuery(c.query).FoundIn(c.field), c.found) << c.query << " in " << c.field;
    }
}

// Every fold keeps the first byte, so that the bytes a scan trusts are right.
TEST(TextQuery, FoldingKeepsLengthAndFirstByte) {
    for (unsigned code = 0; code < 0x800; ++code) {
        const std::string text = Utf8(code);
        const std::string folded = FoldLatinCase(text);
        ASSERT_EQ(folded.size(), text.size()) << code;
        if (text.size() == 2) {
            EXPECT_EQ(folded[0], text[0]) << code;
        }
        // A capital and its small form find each other.
        EXPECT_TRUE(TextQuery(folded).FoundIn(text)) << code;
        EXPECT_TRUE(TextQuery(text).FoundIn(folded)) << code;
    }
}

TEST(TextQuery, ScanMatchesInsideOneSearchedField) {
    WordList list;
    list.Append({1, "apple", "/ap/", "noun", "fruit"});
    list.Append({2, "Pineapple", "", "n.", "菠萝"});
    list.Append({3, "book", "/bʊk/", "n.", "书本"});
    list.Append({4, "ab", "cd", "ef", "gh"});
    list.Append({5, "Ärger", "", "n.", "anger"});
    struct Case {
        const char* query;
        std::vector<std::uint32_t> indexes;
    };
    const Case cases[] = {
        {"APPLE", {0, 1}}, {"noun", {}}, // the type is not searched
        {"n.", {}},        {"bc", {}},   // word "ab" and spell "cd" are neighbours in memory
        {"bcd", {}},       {"ap", {0, 1}}, {"/b", {2}},    {"ʊ", {2}}, {"书", {2}},
        {"萝", {1}},       {"är", {4}},    {"ANGER", {4}}, {"", {}},   {"zzz", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Scan(list, c.query), c.indexes) << c.query;
    }
}

// Random lists, edited, searched whole and in slices: the scan agrees with a field-by-field
// search, whatever the garbage the edits left between the texts.
TEST(TextQuery, ScanAgreesWithFieldSearchAfterEdits) {
    std::mt19937 random(11);
    const std::vector<std::string> pieces = {"a",  "B",  "ab", "AB", "é",  "É", "ą", "Ą",
                                             "苹", "果", " ",  "x",  "Ab", "ĺ", "Ĺ", "ß"};
    const auto text = [&](int most) {
        std::string out;
        for (int n = static_cast<int>(random() % (most + 1)); n > 0; --n) {
            out += pieces[random() % pieces.size()];
        }
        return out;
    };
    const auto entry = [&](int number) {
        return WordEntry{number, text(6), text(4), text(3), text(30)};
    };
    WordList list;
    for (int i = 1; i <= 2000; ++i) {
        list.Append(entry(i));
    }
    for (int round = 0; round < 6; ++round) {
        for (int edit = 0; edit < 300; ++edit) {
            const std::uint32_t index = random() % list.GetCount();
            switch (random() % 3) {
            case 0:
                list.Replace(list.PosAt(index), entry(static_cast<int>(index) + 1));
                break;
            case 1:
                list.Remove(list.PosAt(index), true);
                break;
            default:
                list.Insert(list.PosAt(index), entry(static_cast<int>(index) + 1), true);
                break;
            }
        }
        for (const char* query : {"ab", "aba", "É", "éa", "ąĄ", "苹果", "b é", "ĺa", "x", "ßa"}) {
            const TextQuery prepared(query);
            const std::vector<std::uint32_t> expected = Expected(list, prepared);
            EXPECT_EQ(Scan(list, query), expected) << query;
            std::vector<WordPos> found;
            WordPos next = list.Begin();
            while (next != list.End()) {
                next = list.FindText(prepared, next, 1 + random() % 97, found);
            }
            EXPECT_EQ(Indexes(list, found), expected) << query << " in slices";
        }
    }
}

} // namespace
