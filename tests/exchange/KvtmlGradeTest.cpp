#include <gtest/gtest.h>

#include <string>

#include "exchange/Exporters.h"
#include "exchange/KvtmlReader.h"

namespace {

std::string Entry(const char* word, const char* grade0, const char* grade1) {
    return std::string("<entry id=\"0\"><translation id=\"0\"><text>") + word + "</text>" + grade0 +
           "</translation><translation id=\"1\"><text>m</text>" + grade1 + "</translation></entry>";
}

std::string Doc(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kvtml version=\"2.0\"><entries>" + entries +
           "</entries></kvtml>";
}

const char* const kGrade3 = "<grade><currentgrade>3</currentgrade><count>5</count>"
                            "<errorcount>2</errorcount><date>2010-03-07T14:32:10</date></grade>";
const char* const kGrade1 = "<grade><currentgrade>1</currentgrade><count>1</count></grade>";

TEST(KvtmlGrade, TheMeaningsGradeWinsAndUngradedEntriesListNone) {
    const struct {
        const char* name;
        std::string doc;
        std::string grades; // word:grade/count/errors/date, ...
    } cases[] = {
        {"none", Doc(Entry("a", "", "")), ""},
        {"meaning", Doc(Entry("a", "", kGrade3)), "a:3/5/2/2010-03-07T14:32:10,"},
        {"word only", Doc(Entry("a", kGrade1, "")), "a:1/1/0/,"},
        {"both: the meaning's", Doc(Entry("a", kGrade1, kGrade3)), "a:3/5/2/2010-03-07T14:32:10,"},
        {"junk numbers read as 0",
         Doc(Entry("a", "", "<grade><currentgrade>x</currentgrade><count>-</count></grade>")),
         "a:0/0/0/,"},
    };
    for (const auto& c : cases) {
        ImportedWords read;
        std::string error;
        ASSERT_TRUE(ReadKvtml(c.doc, true, read, error)) << c.name << ": " << error;
        std::string grades;
        for (const KvtmlGrade& g : read.grades)
            grades += g.word + ":" + std::to_string(g.currentGrade) + "/" +
                      std::to_string(g.count) + "/" + std::to_string(g.errorCount) + "/" + g.date +
                      ",";
        EXPECT_EQ(grades, c.grades) << c.name;
        EXPECT_EQ(read.entries.GetCount(), 1u) << c.name;
    }
}

TEST(KvtmlGrade, ExportWritesTheScheduleAndReadsBackTheSame) {
    WordList words;
    words.Append(WordEntry{1, "graded", "", "n.", "m1"});
    words.Append(WordEntry{2, "new", "", "n.", "m2"});
    const GradeLookup lookup = [](std::string_view word) -> std::optional<KvtmlGrade> {
        if (word != "graded")
            return std::nullopt;
        return KvtmlGrade{"graded", 4, 6, 1, "2026-12-01T08:00:00"};
    };
    EXPECT_EQ(FormatKvtml(words, GradeLookup()), FormatKvtml(words))
        << "a list without progress is written as before";
    const std::string doc = FormatKvtml(words, lookup);
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ReadKvtml(doc, true, read, error)) << error;
    ASSERT_EQ(read.grades.size(), 1u) << doc;
    EXPECT_EQ(read.grades[0].word, "graded");
    EXPECT_EQ(read.grades[0].currentGrade, 4);
    EXPECT_EQ(read.grades[0].count, 6);
    EXPECT_EQ(read.grades[0].errorCount, 1);
    EXPECT_EQ(read.grades[0].date, "2026-12-01T08:00:00");
}

} // namespace
