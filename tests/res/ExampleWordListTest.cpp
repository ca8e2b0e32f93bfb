#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadExample() {
    std::ifstream in(VOCAMINT_SOURCE_DIR "/examples/WL.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HasAsciiWhiteSpace(const std::string& s) {
    return s.find_first_of(" \t\n\v\f\r") != std::string::npos;
}

// The sample list is canonical: "number word /spell/ type mean" with CR LF, numbered 1, 2, ...
TEST(ExampleWordList, EveryLineIsACanonicalRecordInNumberOrder) {
    const std::string text = ReadExample();
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");

    std::set<std::string> words;
    int expectedNumber = 1;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        SCOPED_TRACE(line);

        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t blank = line.find(' ', from);
            fields.push_back(line.substr(from, blank - from));
            if (blank == std::string::npos)
                break;
            from = blank + 1;
        }
        ASSERT_EQ(fields.size(), 5u);
        for (const std::string& f : fields)
            EXPECT_TRUE(!f.empty() && !HasAsciiWhiteSpace(f)) << "field '" << f << "'";
        EXPECT_EQ(fields[0], std::to_string(expectedNumber++));
        EXPECT_TRUE(words.insert(fields[1]).second) << "repeated word";
        const std::string& spell = fields[2];
        EXPECT_TRUE(spell.size() > 2 && spell.front() == '/' && spell.back() == '/');
        EXPECT_EQ(fields[3].back(), '.');
        EXPECT_GE(static_cast<unsigned char>(fields[4][0]), 0x80u) << "meaning not in Chinese";
    }
    EXPECT_GE(expectedNumber - 1, 100);
}

} // namespace
