#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "review/History.h"
#include "review/HistoryWriter.h"
#include "tests/support/FileBytes.h"

namespace {

namespace fs = std::filesystem;
using memory::Grade;
using review::EventKind;
using review::History;
using review::HistoryEvent;

struct ScratchDir {
    fs::path path;
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "vocamint-review-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() { fs::remove_all(path); }
    std::string operator/(const char* name) const { return (path / name).string(); }
};

HistoryEvent GradeEvent(review::TimeMs time, std::string word, Grade grade) {
    HistoryEvent e;
    e.time = time;
    e.word = std::move(word);
    e.grade = grade;
    e.tookMs = 1500;
    return e;
}

History ReadText(std::string_view text, std::size_t pieceBytes) {
    History history;
    review::HistoryParser parser(history);
    for (std::size_t at = 0; at < text.size(); at += pieceBytes)
        parser.Feed(text.substr(at, pieceBytes));
    parser.Finish();
    return history;
}

TEST(HistoryLine, TimeStampsRoundTripAndRejectOtherForms) {
    struct Case {
        const char* text;
        review::TimeMs time; // -1: refused
    };
    const Case cases[] = {
        {"1970-01-01T00:00:00.000Z", 0},
        {"2026-12-08T09:15:02.123Z", 1796721302123},
        {"2000-02-29T23:59:59.999Z", 951868799999},
        {"2001-02-29T00:00:00.000Z", -1}, // no such day
        {"2026-04-31T00:00:00.000Z", -1},
        {"2026-12-08T24:00:00.000Z", -1},
        {"2026-12-08T09:15:02.123", -1},
        {"2026-12-08 09:15:02.123Z", -1},
        {"2026-12-08T09:15:02.12Z", -1},
        {"2026-1a-08T09:15:02.123Z", -1},
        {"", -1},
    };
    for (const Case& c : cases) {
        review::TimeMs time = -1;
        const bool ok = review::ParseTime(c.text, time);
        EXPECT_EQ(ok, c.time >= 0) << c.text;
        if (c.time >= 0) {
            EXPECT_EQ(time, c.time) << c.text;
            EXPECT_EQ(review::FormatTime(time), c.text);
        }
    }
}

TEST(HistoryLine, EventsRoundTripWithEscapedWords) {
    HistoryEvent grade = GradeEvent(1796721302123, "a\\b\tc\nd\re", Grade::Hard);
    grade.direction = review::Direction::MeaningToWord;
    HistoryEvent rename;
    rename.time = 1796721302124;
    rename.kind = EventKind::Rename;
    rename.word = "colour";
    rename.newWord = "color \xe4\xb8\xad";
    HistoryEvent retract;
    retract.time = 1796721302125;
    retract.kind = EventKind::Retract;
    retract.word = "x";
    retract.retractedAt = 1796721302123;
    EXPECT_EQ(review::FormatEvent(grade),
              "2026-12-08T09:15:02.123Z\ta\\\\b\\tc\\nd\\re\t2\t1500\tm2w");
    for (const HistoryEvent& e : {grade, rename, retract}) {
        const std::string line = review::FormatEvent(e);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        HistoryEvent back;
        ASSERT_TRUE(review::ParseEvent(line, back)) << line;
        EXPECT_EQ(review::FormatEvent(back), line);
        EXPECT_EQ(back.word, e.word);
        EXPECT_EQ(back.newWord, e.kind == EventKind::Rename ? e.newWord : "");
    }
}

TEST(HistoryLine, RefusesMalformedLines) {
    const char* bad[] = {
        "2026-12-08T09:15:02.123Z\tword\t5\t100\tw2m", // grade out of range
        "2026-12-08T09:15:02.123Z\tword\t0\t100\tw2m",
        "2026-12-08T09:15:02.123Z\tword\t3\t-1\tw2m",    // negative time taken
        "2026-12-08T09:15:02.123Z\tword\t3\t100\tx2y",   // unknown direction
        "2026-12-08T09:15:02.123Z\tword\t3\t100",        // missing field
        "2026-12-08T09:15:02.123Z\tword\t3\t100\tw2m\t", // extra field
        "2026-12-08T09:15:02.123Z\t\t3\t100\tw2m",       // no word
        "2026-12-08T09:15:02.123Z\tw\\x\t3\t100\tw2m",   // unknown escape
        "2026-12-08T09:15:02.123Z\tw\\\t3\t100\tw2m",    // escape cut off
        "2026-12-08T09:15:02.123Z\tw\r\t3\t100\tw2m",    // raw carriage return
        "2026-12-08T09:15:02.123Z\tword\trename\t",
        "2026-12-08T09:15:02.123Z\tword\tundo\tyesterday",
        "2026-12-08T09:15:02.123Z\tword\tskip\tx",
        "2026-12-08T09:15:02.123Z\tword\t3\t99999999999\tw2m",
        "garbage",
    };
    for (const char* line : bad) {
        HistoryEvent e;
        EXPECT_FALSE(review::ParseEvent(line, e)) << line;
    }
}

TEST(HistoryParser, ReadsTheSameInPiecesAndCountsWhatItCannotRead) {
    const std::string text = "# comment\n"
                             "2026-12-08T09:15:02.123Z\tapple\t3\t1200\tw2m\n"
                             "\n"
                             "broken line\n"
                             "2026-12-08T09:16:02.123Z\tpear\t1\t800\tm2w\n" +
                             std::string(70'000, 'x') + "\n" +
                             "2026-12-08T09:17:02.123Z\tapple\trename\tapples\n"
                             "2026-12-08T09:18:02.123Z\tpear\t3\t8"; // torn: no newline
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{7}, std::size_t{4096}, text.size()}) {
        const History h = ReadText(text, piece);
        ASSERT_EQ(h.events.size(), 3u) << piece;
        EXPECT_EQ(h.unreadableLines, 2u) << piece;
        EXPECT_EQ(h.firstUnreadableLine, 4u) << piece;
        EXPECT_TRUE(h.tornTail);
        EXPECT_EQ(h.words, (std::vector<std::string>{"apple", "pear", "apples"}));
        EXPECT_EQ(h.events[2].kind, EventKind::Rename);
        EXPECT_EQ(h.events[2].newWord, 2);
    }
    History h = ReadText(text, 100);
    EXPECT_EQ(review::UnreadableLinesMessage(h),
              "2 lines of the review history could not be read and were skipped (the first "
              "is line 4). The file keeps them as they are.");
    EXPECT_EQ(review::UnreadableLinesMessage(ReadText("", 1)), "");
}

// The reader parses a line ahead of interning its word and remembers the last date; whatever
// the pieces, it must read exactly what ParseEvent reads line by line, words interned in the
// order they first appear.
TEST(HistoryParser, ReadsWhatEachLineSaysOnItsOwn) {
    std::vector<std::string> lines = {
        "# comment",
        "2026-02-28T23:59:59.999Z\tapple\t3\t1200\tw2m",
        "2026-02-28T24:00:00.000Z\tapple\t3\t1200\tw2m", // same date, no such hour
        "2026-02-29T00:00:00.000Z\tapple\t3\t1200\tw2m", // no such day in 2026
        "2024-02-29T00:00:00.000Z\tapple\t2\t0\tm2w",
        "2024-02-29T00:00:00.00xZ\tapple\t2\t0\tm2w",
        "2024-02-29T00:00:00.001Z\ta\\\\b\\tc\t4\t7\tw2m", // a backslash and a tab, escaped
        "2024-02-29T00:00:00.002Z\ta\\qb\t4\t7\tw2m",      // unknown escape
        "2024-02-29T00:00:00.003Z\tpear\trename\tp\\nr",
        "2024-02-29T00:00:00.004Z\tpear\trename\t@soon", // the last field is read as a stamp
        "2024-02-29T00:00:00.005Z\tpear\tundo\t2024-02-29T00:00:00.000Z",
        "2024-02-29T00:00:00.006Z\tpear\t1\t5\tw2m\t@2024-03-01T00:00:00.000Z",
        "2024-02-29T00:00:00.007Z\tpear\t1\t5\tw2m\t@2024-02-30T00:00:00.000Z",
        "2024-02-29T00:00:00.008Z pear\t1\t5\tw2m",
        "2024-02-29T00:00:00.009Z\tpe\rar\t1\t5\tw2m",
        "",
    };
    // More words than the index starts with, and more lines than are parsed ahead.
    for (int i = 0; i < 1500; ++i)
        lines.push_back("2024-03-01T00:00:00.000Z\tw" + std::to_string(i * 7919 % 1000) + "\t3\t" +
                        std::to_string(i) + "\tw2m");
    lines.push_back(std::string(70'000, 'x'));
    lines.push_back("2024-03-02T00:00:00.000Z\tw1\trename\tapple");

    std::string text;
    History expected;
    std::map<std::string, std::int32_t> ids;
    const auto intern = [&](const std::string& word) {
        const auto [at, added] = ids.emplace(word, static_cast<std::int32_t>(ids.size()));
        if (added)
            expected.words.push_back(word);
        return at->second;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i] + "\n";
        HistoryEvent e;
        if (lines[i].empty() || lines[i][0] == '#')
            continue;
        if (!review::ParseEvent(lines[i], e)) {
            if (expected.unreadableLines++ == 0)
                expected.firstUnreadableLine = i + 1;
            continue;
        }
        History::Event event;
        event.time = e.time;
        event.firstStamped = e.firstStamped;
        event.kind = e.kind;
        event.word = intern(e.word);
        if (e.kind == EventKind::Grade) {
            event.grade = e.grade;
            event.tookMs = static_cast<std::int32_t>(e.tookMs);
            event.direction = e.direction;
        }
        if (e.kind == EventKind::Rename)
            event.newWord = intern(e.newWord);
        if (e.kind == EventKind::Retract)
            event.retractedAt = e.retractedAt;
        expected.events.push_back(event);
    }
    ASSERT_EQ(expected.unreadableLines, 9u);
    ASSERT_GT(expected.words.size(), 1000u);

    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{5}, std::size_t{64}, std::size_t{4096}, text.size()}) {
        const History h = ReadText(text, piece);
        EXPECT_EQ(h.words, expected.words) << piece;
        EXPECT_EQ(h.unreadableLines, expected.unreadableLines) << piece;
        EXPECT_EQ(h.firstUnreadableLine, expected.firstUnreadableLine) << piece;
        ASSERT_EQ(h.events.size(), expected.events.size()) << piece;
        for (std::size_t i = 0; i < h.events.size(); ++i) {
            const History::Event &a = h.events[i], &b = expected.events[i];
            EXPECT_TRUE(a.time == b.time && a.firstStamped == b.firstStamped && a.kind == b.kind &&
                        a.word == b.word && a.newWord == b.newWord && a.grade == b.grade &&
                        a.tookMs == b.tookMs && a.direction == b.direction &&
                        a.retractedAt == b.retractedAt)
                << "piece " << piece << ", event " << i;
        }
    }
}

TEST(HistoryWriter, CreatesAPrivateFileAndAppendsSyncedLines) {
    ScratchDir dir;
    const std::string path = dir / "reviews.tsv";
    FileStamp like;
    like.exists = true;
    like.owner = ::getuid();
    like.group = ::getgid();
    like.mode = 0640;
    {
        review::HistoryWriter writer(path, &like);
        std::string message;
        ASSERT_TRUE(writer.Append(GradeEvent(1000, "one", Grade::Good), message)) << message;
        ASSERT_TRUE(writer.Append(GradeEvent(2000, "two", Grade::Again), message));
    }
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u & 0640u);
    History h;
    std::string message;
    ASSERT_EQ(review::ReadHistory(path, h, message), review::ReadStatus::Ok);
    EXPECT_EQ(h.events.size(), 2u);
    EXPECT_EQ(h.unreadableLines, 0u);
    EXPECT_EQ(ReadBytes(path).front(), '#'); // the header says how to read the file
}

TEST(HistoryWriter, NeverGluesALineToATornTail) {
    ScratchDir dir;
    const std::string path = dir / "reviews.tsv";
    WriteBytes(path, "2026-12-08T09:15:02.123Z\tapple\t3\t1200\tw2m\n2026-12-08T09:1");
    review::HistoryWriter writer(path);
    std::string message;
    ASSERT_TRUE(writer.Append(GradeEvent(1796721400000, "pear", Grade::Good), message));
    History h;
    ASSERT_EQ(review::ReadHistory(path, h, message), review::ReadStatus::Ok);
    EXPECT_EQ(h.events.size(), 2u);
    EXPECT_EQ(h.unreadableLines, 1u); // the torn bytes, kept as they were
    EXPECT_FALSE(h.tornTail);
}

TEST(HistoryWriter, KeepsGradesPendingUntilTheFileCanBeWritten) {
    ScratchDir dir;
    const std::string path = dir / "later/reviews.tsv"; // its folder does not exist yet
    review::HistoryWriter writer(path);
    std::string message;
    EXPECT_FALSE(writer.Append(GradeEvent(1000, "one", Grade::Good), message));
    EXPECT_NE(message.find("review history"), std::string::npos) << message;
    EXPECT_FALSE(writer.Append(GradeEvent(2000, "two", Grade::Good), message));
    EXPECT_EQ(writer.PendingCount(), 2u);

    // Either to a file the learner names ...
    ASSERT_TRUE(writer.WritePendingTo(dir / "conflict.tsv", message)) << message;
    EXPECT_EQ(writer.PendingCount(), 0u);
    History conflict;
    review::ReadHistory(dir / "conflict.tsv", conflict, message);
    EXPECT_EQ(conflict.events.size(), 2u);

    // ... or to the history once it can be written.
    EXPECT_FALSE(writer.Append(GradeEvent(3000, "three", Grade::Good), message));
    fs::create_directory(dir.path / "later");
    ASSERT_TRUE(writer.Append(GradeEvent(4000, "four", Grade::Good), message)) << message;
    History h;
    review::ReadHistory(path, h, message);
    EXPECT_EQ(h.events.size(), 2u);
}

TEST(HistoryFile, RefusesWhatIsNotARegularFile) {
    ScratchDir dir;
    const std::string fifo = dir / "fifo.tsv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/null"), dir.path.string()}) {
        History h;
        std::string message;
        EXPECT_EQ(review::ReadHistory(path, h, message), review::ReadStatus::Refused) << path;
        review::HistoryWriter writer(path);
        EXPECT_FALSE(writer.Append(GradeEvent(1000, "one", Grade::Good), message)) << path;
    }
    History h;
    std::string message;
    EXPECT_EQ(review::ReadHistory(dir / "none.tsv", h, message), review::ReadStatus::Missing);
}

// Two processes append to one history at once: every line arrives whole.
TEST(HistoryFile, TwoProcessesAppendingAtOnceLoseNothing) {
    ScratchDir dir;
    const std::string path = dir / "reviews.tsv";
    constexpr int kLines = 400;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = ::fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            review::HistoryWriter writer(path);
            std::string message;
            bool ok = true;
            for (int i = 0; i < kLines; ++i)
                ok =
                    writer.Append(GradeEvent(1000 + i,
                                             "w" + std::to_string(child) + std::string(i % 50, 'x'),
                                             Grade::Good),
                                  message) &&
                    ok;
            ::_exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    History h;
    std::string message;
    ASSERT_EQ(review::ReadHistory(path, h, message), review::ReadStatus::Ok);
    EXPECT_EQ(h.events.size(), 2u * kLines);
    EXPECT_EQ(h.unreadableLines, 0u);
}

} // namespace
