#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/AsciiText.h"
#include "review/ReviewSession.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;
using memory::Grade;
using review::AnswerSegment;
using review::kDayMs;
using review::kMinuteMs;
using review::ReviewSession;
using review::TimeMs;

struct ScratchDir {
    fs::path path;
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "vocamint-session-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() { fs::remove_all(path); }
    std::string operator/(const char* name) const { return (path / name).string(); }
};

WordList List(int count) {
    WordList list;
    for (int i = 1; i <= count; ++i)
        list.Append(WordEntry{i, "word" + std::to_string(i), "spell", "n.",
                              "meaning " + std::to_string(i)});
    return list;
}

struct FakeClock {
    TimeMs now = 1'796'721'302'123;
    review::Clock Source() {
        return [this] { return now; };
    }
};

TEST(ReviewSession, GradesNewWordsAndBringsLearningCardsBack) {
    ScratchDir dir;
    const WordList list = List(3);
    FakeClock clock;
    ReviewSession session(list, dir / "reviews.tsv", {}, clock.Source());
    std::string message;
    ASSERT_TRUE(session.Start(message)) << message;
    EXPECT_EQ(review::DueSummary(session.Queue()), "0 due, 3 new");
    ASSERT_TRUE(session.HasCard());
    EXPECT_EQ(session.Current().word, "word1");
    EXPECT_EQ(session.Current().Expected(), "meaning 1");
    const char* labels[] = {"1 min", "6 min", "10 min", "7 d"}; // Easy: 8 days, fuzzed
    for (int g = 1; g <= 4; ++g)
        EXPECT_EQ(session.ButtonLabel(Grade(g)), labels[g - 1]) << g;

    clock.now += 4000;
    session.Reveal();
    ASSERT_TRUE(session.Grade(Grade::Good, message)) << message;
    EXPECT_EQ(session.Current().word, "word2");
    ASSERT_TRUE(session.Answer(false, message)); // Forgot
    EXPECT_EQ(session.Current().word, "word3");
    clock.now += 2 * kMinuteMs; // word2's one-minute step is over
    ASSERT_TRUE(session.Grade(Grade::Easy, message));
    EXPECT_EQ(session.Current().word, "word2");
    ASSERT_TRUE(session.Grade(Grade::Good, message));
    // Only word1 waits (10 min from its grade), within the learn-ahead time: shown early.
    ASSERT_TRUE(session.HasCard());
    EXPECT_EQ(session.Current().word, "word1");
    ASSERT_TRUE(session.Grade(Grade::Good, message));
    ASSERT_TRUE(session.HasCard()); // word2 is on its ten-minute step
    ASSERT_TRUE(session.Grade(Grade::Good, message));
    EXPECT_FALSE(session.HasCard());

    const review::SessionSummary summary = session.Summary();
    EXPECT_EQ(summary.reviewed, 6);
    EXPECT_EQ(summary.recalled, 5);
    EXPECT_DOUBLE_EQ(summary.RecalledPercent(), 500.0 / 6);
    EXPECT_EQ(summary.spentMs, 4000 + 2 * kMinuteMs + 3); // grades a millisecond apart
    EXPECT_GT(summary.nextDue, clock.now + kDayMs - 1);

    std::string counts;
    ASSERT_TRUE(review::DueCounts(list, dir / "reviews.tsv", clock.now, {}, counts, message));
    EXPECT_EQ(counts, "0 due, 0 new"); // all three started today, none due yet
    ASSERT_TRUE(
        review::DueCounts(list, dir / "reviews.tsv", clock.now + 30 * kDayMs, {}, counts, message));
    EXPECT_EQ(counts, "3 due, 0 new");

    // What the session holds is what the file replays to, fuzz included.
    ReviewSession again(list, dir / "reviews.tsv", {}, clock.Source());
    ASSERT_TRUE(again.Start(message));
    for (const char* word : {"word1", "word2", "word3"}) {
        const review::CardState* live = session.States().Find(word);
        const review::CardState* replayed = again.States().Find(word);
        ASSERT_TRUE(live && replayed) << word;
        EXPECT_EQ(live->due, replayed->due) << word;
        EXPECT_EQ(live->stability, replayed->stability) << word;
        EXPECT_EQ(live->reps, replayed->reps) << word;
    }
}

TEST(ReviewSession, UndoTakesTheLastGradeBackOnDiskToo) {
    ScratchDir dir;
    const WordList list = List(2);
    FakeClock clock;
    ReviewSession session(list, dir / "reviews.tsv", {}, clock.Source());
    std::string message;
    ASSERT_TRUE(session.Start(message));
    EXPECT_FALSE(session.CanUndo());
    ASSERT_TRUE(session.Grade(Grade::Easy, message));
    clock.now += 1000;
    ASSERT_TRUE(session.Grade(Grade::Again, message));
    ASSERT_TRUE(session.CanUndo());
    ASSERT_TRUE(session.Undo(message)) << message;
    EXPECT_FALSE(session.CanUndo()); // one step only
    EXPECT_EQ(session.Current().word, "word2");
    EXPECT_EQ(session.States().Find("word2")->phase, review::Phase::New);
    EXPECT_EQ(session.Summary().reviewed, 1);
    clock.now += 1000;
    ASSERT_TRUE(session.Grade(Grade::Good, message));

    ReviewSession again(list, dir / "reviews.tsv", {}, clock.Source());
    ASSERT_TRUE(again.Start(message));
    EXPECT_EQ(again.States().Find("word2")->reps, 1);
    EXPECT_EQ(again.States().Find("word2")->step, 1); // the Good, not the Again
    EXPECT_EQ(again.States().Find("word1")->phase, review::Phase::Review);
}

TEST(ReviewSession, KeepsGradesWhenTheHistoryCannotBeWritten) {
    ScratchDir dir;
    const WordList list = List(2);
    FakeClock clock;
    const std::string path = dir / "gone/reviews.tsv";
    ReviewSession session(list, path, {}, clock.Source());
    std::string message;
    ASSERT_TRUE(session.Start(message)); // missing history: nothing reviewed yet
    EXPECT_FALSE(session.Grade(Grade::Good, message));
    EXPECT_NE(message.find("review history"), std::string::npos);
    EXPECT_EQ(session.PendingLines(), 1u);
    EXPECT_EQ(session.States().Find("word1")->reps, 1); // the grade still counts
    fs::create_directory(dir.path / "gone");
    EXPECT_TRUE(session.Grade(Grade::Good, message)) << message;
    EXPECT_EQ(session.PendingLines(), 0u);

    // A history that is not a file stops the session before it starts.
    ReviewSession refused(list, "/dev/null", {}, clock.Source());
    EXPECT_FALSE(refused.Start(message));
    EXPECT_FALSE(refused.HasCard());
}

TEST(ReviewSession, ReportsUnreadableLinesAndAsksTheOtherWayRound) {
    ScratchDir dir;
    WriteBytes(dir / "reviews.tsv", "nonsense\n2026-12-08T09:15:02.123Z\tword1\t3\t1\tw2m\n");
    const WordList list = List(2);
    FakeClock clock;
    review::SessionSettings settings;
    settings.direction = review::Direction::MeaningToWord;
    ReviewSession session(list, dir / "reviews.tsv", settings, clock.Source());
    std::string message;
    ASSERT_TRUE(session.Start(message));
    EXPECT_NE(message.find("1 line of the review history could not be read"), std::string::npos)
        << message;
    EXPECT_EQ(session.Current().Prompt(), "meaning 2");
    EXPECT_EQ(session.Current().Expected(), "word2");
    EXPECT_TRUE(session.CheckTyped(" WORD2 ").exact);
}

TEST(AnswerCheck, ShowsTheDifferenceAndSuggestsAGrade) {
    using K = AnswerSegment::Kind;
    struct Case {
        const char* typed;
        const char* expected;
        Grade suggested;
        std::vector<AnswerSegment> segments;
    };
    const Case cases[] = {
        {"Apple", "apple", Grade::Good, {{K::Same, "apple"}}},
        {"aple", "apple", Grade::Hard, {{K::Same, "ap"}, {K::Missing, "p"}, {K::Same, "le"}}},
        {"applex", "apple", Grade::Hard, {{K::Same, "apple"}, {K::Extra, "x"}}},
        {"pearl",
         "apple",
         Grade::Again,
         {{K::Missing, "a"},
          {K::Same, "p"},
          {K::Missing, "pl"},
          {K::Same, "e"},
          {K::Extra, "arl"}}},
        {"", "apple", Grade::Again, {{K::Missing, "apple"}}},
        // Characters, not bytes: one wrong character is one difference.
        {"\xe4\xb8\xad\xe6\x96\x87",
         "\xe4\xb8\xad\xe5\x9b\xbd",
         Grade::Hard,
         {{K::Same, "\xe4\xb8\xad"}, {K::Missing, "\xe5\x9b\xbd"}, {K::Extra, "\xe6\x96\x87"}}},
    };
    for (const Case& c : cases) {
        const review::AnswerCheck check = review::CheckAnswer(c.typed, c.expected);
        EXPECT_EQ(check.suggested, c.suggested) << c.typed;
        ASSERT_EQ(check.segments.size(), c.segments.size()) << c.typed;
        std::string typed, expected; // the segments spell out both texts
        for (const AnswerSegment& s : check.segments) {
            typed += s.kind == K::Missing ? "" : s.text;
            expected += s.kind == K::Extra ? "" : s.text;
        }
        EXPECT_TRUE(ascii::EqualsNoCase(typed, c.typed)) << c.typed;
        EXPECT_EQ(expected, c.expected) << c.typed;
        for (std::size_t i = 0; i < c.segments.size(); ++i) {
            EXPECT_EQ(check.segments[i].kind, c.segments[i].kind) << c.typed << " " << i;
            EXPECT_EQ(check.segments[i].text, c.segments[i].text) << c.typed << " " << i;
        }
    }
    // A huge answer is not diffed character by character (quadratic), but still judged.
    const std::string big(5000, 'a');
    EXPECT_TRUE(review::CheckAnswer(big, big).exact);
    EXPECT_EQ(review::CheckAnswer(big, big + "b").suggested, Grade::Again);
}

} // namespace
