#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/ListEntries.h"
#include "words/WordFileFormat.h"
#include "words/WordList.h"
#include "words/WordTextReader.h"

namespace {

std::vector<WordEntry> Parse(std::string_view text) {
    WordList list;
    ParseWordText(text, list);
    return ListEntries(list);
}

const WordEntry kApple{1, "apple", "/ap/", "n.", "fruit"};
const WordEntry kBook{2, "book", "/bk/", "n.", "pages"};

TEST(WordFileFormat, TokensGroupFiveAtATimeWhateverTheLayout) {
    const std::string canonical = "1 apple /ap/ n. fruit\r\n2 book /bk/ n. pages\r\n";
    struct Case {
        const char* name;
        std::string text;
        std::vector<WordEntry> expected;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"only white space", " \t\r\n\v\f \r\n\r\n", {}},
        {"canonical", canonical, {kApple, kBook}},
        {"no final line end", "1 apple /ap/ n. fruit\r\n2 book /bk/ n. pages", {kApple, kBook}},
        {"blank lines at end", canonical + "\r\n\r\n  \n", {kApple, kBook}},
        {"LF only", "1 apple /ap/ n. fruit\n2 book /bk/ n. pages\n", {kApple, kBook}},
        {"two on a line", "1 apple /ap/ n. fruit 2 book /bk/ n. pages", {kApple, kBook}},
        {"one over five lines", "\n1\napple\r\n/ap/\n\nn.\nfruit\n", {kApple}},
        {"every separator", "\v1\tapple\f/ap/\rn.\x20 fruit", {kApple}},
        {"short last record", canonical + "3 cat /kt/ n.", {kApple, kBook}},
        {"short last record, white space after", canonical + "3 cat\r\n\r\n", {kApple, kBook}},
        {"odd numbers",
         "+0003 a b c d\n-00 e f g h\nx9 i j k l\n9x m n o p\n",
         {{3, "a", "b", "c", "d"},
          {0, "e", "f", "g", "h"},
          {0, "i", "j", "k", "l"},
          {9, "m", "n", "o", "p"}}},
        {"repeated and descending numbers",
         "5 a b c d 5 e f g h 1 i j k l",
         {{5, "a", "b", "c", "d"}, {5, "e", "f", "g", "h"}, {1, "i", "j", "k", "l"}}},
        {"high bytes stay in their token",
         "1 \xc4\xe3\xba\xc3 \xa0\x85 \xff \x80\x0b\x81",
         {{1, "\xc4\xe3\xba\xc3", "\xa0\x85", "\xff", "\x80"}}},
        {"long token read whole",
         "1 " + std::string(5000, 'w') + " s t m",
         {{1, std::string(5000, 'w'), "s", "t", "m"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.text), c.expected) << c.name;
    }
}

TEST(WordFileFormat, LoadedNumbersAreWrittenInPlainDecimal) {
    WordList list;
    ParseWordText("+0003 a b c d\nword e f g h\n-0 i j k l\n99999999999 m n o p", list);
    EXPECT_EQ(FormatWordFile(list),
              "3 a b c d\r\n0 e f g h\r\n0 i j k l\r\n2147483647 m n o p\r\n");
}

TEST(WordFileFormat, PlainFieldsAreWrittenAsTheyAre) {
    WordList list;
    list.Append(kApple);
    list.Append({-12, "\xc4\xe3\xba\xc3", "[x]", "adj.", "e\\"});
    list.Append({INT32_MIN, "a", "b", "c", "d"});
    EXPECT_EQ(FormatWordFile(list), "1 apple /ap/ n. fruit\r\n"
                                    "-12 \xc4\xe3\xba\xc3 [x] adj. e\\\\\r\n"
                                    "-2147483648 a b c d\r\n");
}

TEST(WordFileFormat, FieldsWithWhiteSpaceOrBackslashAreEscaped) {
    struct Case {
        std::string field;
        std::string token;
    };
    const std::vector<Case> cases = {
        {"", "\\e"},    {"take off", "take\\soff"}, {" \t\n\v\f\r", "\\s\\t\\n\\v\\f\\r"},
        {"\\", "\\\\"}, {"\\e", "\\\\e"},           {"a\\sb", "a\\\\sb"},
    };
    for (const Case& c : cases) {
        std::string token;
        AppendEscapedField(token, c.field);
        EXPECT_EQ(token, c.token);
        std::string back;
        UnescapeField(token, back);
        EXPECT_EQ(back, c.field);
    }
}

TEST(WordFileFormat, StrayBackslashesInOlderFilesLoadUnchanged) {
    struct Case {
        const char* token;
        const char* field;
    };
    const Case cases[] = {
        {"\\", "\\"},       {"C:\\x", "C:\\x"}, {"a\\", "a\\"},
        {"\\1\\s", "\\1 "}, {"a\\eb", "ab"},    {"\\\\\\", "\\\\"},
    };
    for (const Case& c : cases) {
        std::string field;
        UnescapeField(c.token, field);
        EXPECT_EQ(field, c.field) << c.token;
    }
}

TEST(WordFileFormat, ReadingInPiecesGivesTheSameEntries) {
    // Long enough that tokens, escapes and white-space runs straddle 16- and 64-byte blocks.
    const std::string record = " 1 apple /ap/ n. fruit\r\n2 bo\\sok /bk/ \\e pages\r\n  ";
    const std::string text =
        record + record + "3 " + std::string(40, 'x') + "\\sy a b c " + record + "3 c";
    const std::vector<WordEntry> whole = Parse(text);
    ASSERT_EQ(whole.size(), 7u);
    EXPECT_EQ(whole[4], (WordEntry{3, std::string(40, 'x') + " y", "a", "b", "c"}));
    for (std::size_t split = 0; split <= text.size(); ++split) {
        for (std::size_t step : {std::size_t{1}, std::size_t{3}, text.size()}) {
            WordList list;
            WordTextReader reader(list);
            // Each piece comes from one buffer that is overwritten after use, as a file's
            // read buffer is: the reader must not keep views into it.
            std::string buffer;
            const auto feed = [&](std::string_view piece) {
                buffer.assign(piece);
                reader.Feed(buffer);
                buffer.assign(buffer.size(), '#');
            };
            feed(std::string_view(text).substr(0, split));
            for (std::size_t at = split; at < text.size(); at += step) {
                feed(std::string_view(text).substr(at, step));
            }
            reader.Finish();
            EXPECT_EQ(ListEntries(list), whole) << split << "/" << step;
        }
    }
}

// Random fields full of separators, escapes, empty fields and high bytes survive a save and
// a load unchanged.
TEST(WordFileFormat, RandomEntriesSurviveTheRoundTrip) {
    std::mt19937 random(20240607);
    const std::string alphabet = std::string(" \t\r\n\v\f\\\\\\esntrvfa0-+") + '\0';
    auto field = [&] {
        std::string text(random() % 7, ' ');
        for (char& c : text) {
            c = random() % 3 == 0 ? static_cast<char>(0x80 + random() % 0x80)
                                  : alphabet[random() % alphabet.size()];
        }
        return text;
    };
    const std::int32_t numbers[] = {0, 1, -1, INT32_MAX, INT32_MIN};
    for (int round = 0; round < 3000; ++round) {
        WordList list;
        for (int i = random() % 6; i > 0; --i) {
            const std::int32_t number =
                random() % 2 ? numbers[random() % 5] : static_cast<std::int32_t>(random());
            list.Append({number, field(), field(), field(), field()});
        }
        const std::string text = FormatWordFile(list);
        WordList again;
        ParseWordText(text, again);
        ASSERT_EQ(ListEntries(again), ListEntries(list)) << "round " << round;
        ASSERT_EQ(FormatWordFile(again), text);
    }
}

} // namespace
