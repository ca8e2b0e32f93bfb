#include <gtest/gtest.h>

#include <string>

#include "base/AsciiText.h"
#include "base/Counted.h"

namespace {

TEST(AsciiText, TrimsOnlyItsOwnBlanks) {
    struct Case {
        const char* text;
        const char* trimmed;
        const char* trimmedBlanks;
    };
    const Case cases[] = {
        {"", "", ""},
        {"  \t ", "", ""},
        {" a b ", "a b", "a b"},
        {"\r\nword\v\f", "word", "\r\nword\v\f"},
        {"\t\xe4\xb8\xad ", "\xe4\xb8\xad", "\xe4\xb8\xad"}, // bytes above 127 are text
        {"\xa0x\xa0", "\xa0x\xa0", "\xa0x\xa0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ascii::Trim(c.text), c.trimmed) << c.text;
        EXPECT_EQ(ascii::TrimBlanks(c.text), c.trimmedBlanks) << c.text;
        EXPECT_EQ(ascii::IsAllSpace(c.text), std::string(c.trimmed).empty()) << c.text;
    }
}

TEST(AsciiText, ChangesTheCaseOfAsciiLettersOnly) {
    EXPECT_EQ(ascii::Lower("Hello, WORLD 42 \xc3\x84"), "hello, world 42 \xc3\x84");
    EXPECT_TRUE(ascii::EqualsNoCase("Front", "fRONT"));
    EXPECT_FALSE(ascii::EqualsNoCase("Front", "Fron"));
    EXPECT_FALSE(ascii::EqualsNoCase("\xc3\x84", "\xc3\xa4")); // no Unicode folding
    EXPECT_TRUE(ascii::StartsWithNoCase("#Separator:tab", "#separator:"));
    EXPECT_FALSE(ascii::StartsWithNoCase("#Sep", "#separator:"));
}

TEST(Counted, TakesTheSingularForOneOnly) {
    EXPECT_EQ(Counted(0, "word", "words"), "0 words");
    EXPECT_EQ(Counted(1, "word", "words"), "1 word");
    EXPECT_EQ(Counted(2, "word", "words"), "2 words");
    EXPECT_EQ(Counted(1000000, "review", "reviews"), "1000000 reviews");
}

} // namespace
