// The review window and the Review menu, driven with the keys a learner uses.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

#include "StudyWindowFixture.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"

namespace {

using ::PrintTo;

QAction* ReviewItem(QDialog* w) {
    auto* bar = w->findChild<QMenuBar*>();
    for (QAction* title : bar ? bar->actions() : QList<QAction*>()) {
        if (title->text() != "&Review" || title->menu() == nullptr)
            continue;
        for (QAction* item : title->menu()->actions()) {
            if (item->text().startsWith("&Review"))
                return item;
        }
    }
    return nullptr;
}

// Waits until the history has been read and the counts stand in the menu.
QString CountsText(QDialog* w) {
    QAction* item = ReviewItem(w);
    if (item == nullptr)
        return "no Review item";
    (void)QTest::qWaitFor([&] { return item->text().contains('('); }, 5000);
    return item->text();
}

// The keys to the focused widget of `window`, or to the window when nothing has the focus yet.
void Press(QWidget* window, QKeySequence keys) {
    QWidget* focus = window->focusWidget();
    QTest::keySequence(focus ? focus : window, keys);
}

QString Text(QDialog* d, int id) {
    if (auto* label = Control<QLabel>(d, id))
        return label->text();
    return "no control";
}

// Grade lines of reviews.tsv without their time fields: "w1 3 w2m", "w1 undo".
QStringList GradeLines(const std::optional<std::string>& history) {
    QStringList lines;
    if (!history)
        return lines;
    for (const QString& line : QString::fromStdString(*history).split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = line.split('\t');
        if (fields.size() >= 5)
            lines << fields[1] + " " + fields[2] + " " + fields[4];
        else if (fields.size() >= 3)
            lines << fields[1] + " " + fields[2];
    }
    return lines;
}

struct ReviewCase {
    const char* name;
    const char* review;             // the [Review] section's keys, or empty
    const char* typed;              // typed before Enter in the typed mode, else empty
    std::vector<QKeySequence> keys; // in the review window, after Space (or the typed answer)
    QString promptAfter;            // the card (or summary) shown after the keys
    QStringList grades;             // what reviews.tsv holds at the end
    int visibleGradeButtons;        // after the answer was shown, before the keys
};

const ReviewCase kCases[] = {
    {"good_then_escape",
     "",
     "",
     {QKeySequence("3"), QKeySequence(Qt::Key_Escape)},
     "w2",
     {"w1 3 w2m"},
     4},
    {"again", "", "", {QKeySequence("1")}, "w2", {"w1 1 w2m"}, 4},
    {"enter_takes_the_focused_good", "", "", {QKeySequence(Qt::Key_Return)}, "w2", {"w1 3 w2m"}, 4},
    {"ctrl_z_takes_the_grade_back",
     "",
     "",
     {QKeySequence("4"), QKeySequence(Qt::CTRL | Qt::Key_Z)},
     "w1",
     {"w1 4 w2m", "w1 undo"},
     4},
    {"keys_5_and_0_do_nothing", "", "", {QKeySequence("5"), QKeySequence("0")}, "w1", {}, 4},
    {"two_answers", "Answers=2\r\n", "", {QKeySequence("2")}, "w2", {"w1 3 w2m"}, 2},
    {"two_answers_forgot", "Answers=2\r\n", "", {QKeySequence("1")}, "w2", {"w1 1 w2m"}, 2},
    {"meaning_shown_asks_the_word",
     "Direction=meaning\r\n",
     "",
     {QKeySequence("3")},
     "m2",
     {"w1 3 m2w"},
     4},
    {"typed_answer_suggests_good",
     "Typed=1\r\n",
     "m1",
     {QKeySequence(Qt::Key_Return)},
     "w2",
     {"w1 3 w2m"},
     4},
    {"typed_wrong_answer_suggests_again",
     "Typed=1\r\n",
     "zz",
     {QKeySequence(Qt::Key_Return)},
     "w2",
     {"w1 1 w2m"},
     4},
    {"one_new_word_a_day_ends_with_a_summary",
     "NewPerDay=1\r\n",
     "",
     {QKeySequence("4")},
     "Reviewed 1, recalled 1 (100%)",
     {"w1 4 w2m"},
     4},
};

class ReviewWindowTest : public StudyWindowTest,
                         public ::testing::WithParamInterface<ReviewCase> {};

TEST_P(ReviewWindowTest, KeysGradeTheCardsAndTheHistoryKeepsThem) {
    const ReviewCase& c = GetParam();
    WriteWords(12);
    const std::string env = std::string("[Setting]\r\nIndex=-9\r\n") +
                            (*c.review ? std::string("[Review]\r\n") + c.review : "");
    WriteFile("env.ini", env);
    QString counts, countsAfter, prompt, answerBefore, answer, promptAfter, goodText, goodName,
        check;
    int visible = -1;
    bool opened = false;
    Run([&](QDialog* w) {
        counts = CountsText(w);
        ActOnNextDialog("Review", [&](QDialog* d) {
            opened = true;
            prompt = Text(d, IDC_REVIEW_PROMPT);
            answerBefore = Text(d, IDC_REVIEW_ANSWER);
            if (*c.typed) {
                Perform(d, Step{Step::Type, IDC_REVIEW_TYPED, c.typed});
                Press(d, QKeySequence(Qt::Key_Return));
                check = Text(d, IDC_REVIEW_CHECK);
            } else {
                Press(d, QKeySequence(Qt::Key_Space));
            }
            answer = Text(d, IDC_REVIEW_ANSWER);
            visible = 0;
            for (const int id :
                 {IDC_REVIEW_AGAIN, IDC_REVIEW_HARD, IDC_REVIEW_GOOD, IDC_REVIEW_EASY})
                visible += Control<QPushButton>(d, id)->isVisible() ? 1 : 0;
            goodText = Control<QPushButton>(d, IDC_REVIEW_GOOD)->text();
            goodName = Control<QPushButton>(d, IDC_REVIEW_GOOD)->accessibleName();
            for (const QKeySequence& keys : c.keys) {
                if (d->isVisible())
                    Press(d, keys);
            }
            promptAfter = Text(d, IDC_REVIEW_PROMPT);
        });
        QApplication::setActiveWindow(w);
        Control<QWidget>(w, IDOK)->setFocus();
        Press(w, QKeySequence(Qt::CTRL | Qt::Key_R));
        // The counts are read again after the review; one grade takes a word off the new.
        if (c.grades.size() == 1 && *c.review == '\0')
            (void)QTest::qWaitFor([&] { return ReviewItem(w)->text() != counts; }, 2000);
        countsAfter = ReviewItem(w)->text();
        Perform(w, Step{Step::Click, IDOK});
    });
    ASSERT_TRUE(opened);
    const bool meaningShown = std::string(c.review).find("meaning") != std::string::npos;
    EXPECT_EQ(counts, c.review == std::string("NewPerDay=1\r\n") ? "&Review (0 due, 1 new)"
                                                                 : "&Review (0 due, 12 new)");
    EXPECT_EQ(prompt, meaningShown ? "m1" : "w1");
    EXPECT_EQ(answerBefore, "") << "the answer showed before it was asked for";
    EXPECT_EQ(answer, meaningShown ? "n.  w1" : "n.  m1");
    EXPECT_EQ(visible, c.visibleGradeButtons);
    EXPECT_TRUE(goodText.endsWith("\n10 min")) << goodText.toStdString();
    EXPECT_EQ(goodName, (visible == 2 ? "Knew, 10 min" : "Good, 10 min"));
    if (*c.typed) {
        EXPECT_EQ(check, c.typed == std::string("m1") ? "Exact." : "[m1]{zz}");
    }
    EXPECT_TRUE(promptAfter.startsWith(c.promptAfter)) << promptAfter.toStdString();
    EXPECT_EQ(GradeLines(ReadFile("reviews.tsv")), c.grades);
    // Escape in the review window keeps the grades; the options were not changed, so env.ini
    // is as the study window writes it.
    EXPECT_EQ(ReadFile("env.ini").value_or("").find("[Review]") != std::string::npos,
              *c.review != '\0');
    if (c.grades.size() == 1 && c.grades[0].endsWith(" 3 w2m") && *c.review == '\0') {
        EXPECT_EQ(countsAfter, "&Review (0 due, 11 new)");
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, ReviewWindowTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The keys and the counts at the largest zoom in the dark palette and at the smallest in the
// light one, with every grade button's two lines whole.
TEST_F(StudyWindowTest, ReviewKeysWorkAtEveryZoomInDarkAndLight) {
    const struct {
        const char* view;
    } cases[] = {{"[View]\r\nTheme=dark\r\nZoom=300\r\n"},
                 {"[View]\r\nTheme=light\r\nZoom=80\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        WriteWords(3);
        WriteFile("reviews.tsv", "");
        WriteFile("env.ini", std::string("[Setting]\r\nIndex=-9\r\n") + c.view);
        QString counts;
        bool whole = true;
        Run([&](QDialog* w) {
            counts = CountsText(w);
            ActOnNextDialog("Review", [&](QDialog* d) {
                Press(d, QKeySequence(Qt::Key_Space));
                for (const int id :
                     {IDC_REVIEW_AGAIN, IDC_REVIEW_HARD, IDC_REVIEW_GOOD, IDC_REVIEW_EASY}) {
                    auto* button = Control<QPushButton>(d, id);
                    whole &= button->sizeHint().height() <= button->height() + 2 &&
                             button->fontMetrics().horizontalAdvance(
                                 button->text().section('\n', 0, 0)) < button->width();
                }
                Press(d, QKeySequence("3"));
                Press(d, QKeySequence(Qt::Key_Escape));
            });
            QApplication::setActiveWindow(w);
            Control<QWidget>(w, IDOK)->setFocus();
            Press(w, QKeySequence(Qt::CTRL | Qt::Key_R));
        });
        EXPECT_EQ(counts, "&Review (0 due, 3 new)");
        EXPECT_TRUE(whole);
        EXPECT_EQ(GradeLines(ReadFile("reviews.tsv")), QStringList{"w1 3 w2m"});
    }
}

// The options take effect for the next review at once, and reach env.ini only at Exit.
TEST_F(StudyWindowTest, ReviewOptionsAreWrittenAtExitOnlyAndOnlyWhenChanged) {
    struct {
        const char* name;
        const char* newPerDay; // typed into the options, or nullptr to cancel them
        bool exit;             // Exit, else Escape in the study window
        const char* written;   // the [Review] line expected in env.ini, or nullptr for none
        QString countsAfter;
    } cases[] = {
        {"changed_then_exit", "5", true, "NewPerDay=5", "&Review (0 due, 5 new)"},
        {"changed_then_escape", "5", false, nullptr, "&Review (0 due, 5 new)"},
        {"same_value_then_exit", "20", true, nullptr, "&Review (0 due, 12 new)"},
        {"cancelled", nullptr, true, nullptr, "&Review (0 due, 12 new)"},
        {"refused_value_keeps_the_dialog", "x", true, nullptr, "&Review (0 due, 12 new)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWords(12);
        WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
        QString countsAfter;
        SeenMessageBox refusal;
        Run([&](QDialog* w) {
            CountsText(w);
            ActOnNextDialog("Review Options", [&](QDialog* d) {
                if (c.newPerDay == nullptr)
                    return; // left open: cancelled
                if (std::string(c.newPerDay) == "x")
                    AnswerNextMessageBox(&refusal);
                Perform(d, Step{Step::Type, IDC_REVIEW_NEW_PER_DAY, c.newPerDay});
                Perform(d, Step{Step::Click, IDOK});
            });
            auto* bar = w->findChild<QMenuBar*>();
            for (QAction* title : bar->actions()) {
                if (title->text() == "&Review") {
                    for (QAction* item : title->menu()->actions()) {
                        if (item->text() == "&Options...")
                            item->trigger();
                    }
                }
            }
            QTest::qWait(50);
            countsAfter = CountsText(w);
            if (c.exit)
                Perform(w, Step{Step::Click, IDOK});
        });
        EXPECT_EQ(countsAfter, c.countsAfter);
        const std::string env = ReadFile("env.ini").value_or("");
        if (c.written) {
            EXPECT_NE(env.find(c.written), std::string::npos) << env;
        } else {
            EXPECT_EQ(env.find("[Review]"), std::string::npos) << env;
        }
        if (std::string(c.newPerDay ? c.newPerDay : "") == "x") {
            EXPECT_TRUE(refusal.shown);
        }
    }
}

// A history that cannot grow (a full disk; here a file size limit, which binds root too): the
// review says so once and goes on, and at Exit the grades are kept beside it, none dropped.
TEST_F(StudyWindowTest, GradesTheHistoryCannotTakeAreKeptAtExit) {
    WriteWords(3);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    const std::string history = "#" + std::string(4094, ' ') + "\n";
    WriteFile("reviews.tsv", history);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = history.size();
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    SeenMessageBox told, atExit;
    Run([&](QDialog* w) {
        CountsText(w);
        ActOnNextDialog("Review", [&](QDialog* d) {
            Press(d, QKeySequence(Qt::Key_Space));
            AnswerNextMessageBox(&told);
            Press(d, QKeySequence(Qt::Key_3));
            Press(d, QKeySequence(Qt::Key_Space));
            Press(d, QKeySequence(Qt::Key_1));
        });
        QApplication::setActiveWindow(w);
        Control<QWidget>(w, IDOK)->setFocus();
        Press(w, QKeySequence(Qt::CTRL | Qt::Key_R));
        AnswerNextMessageBox(&atExit);
        Perform(w, Step{Step::Click, IDOK});
    });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_TRUE(told.shown);
    EXPECT_TRUE(told.text.contains("written when you exit")) << told.text.toStdString();
    EXPECT_TRUE(atExit.shown);
    EXPECT_TRUE(atExit.text.contains("reviews.conflict-")) << atExit.text.toStdString();
    EXPECT_EQ(ReadFile("reviews.tsv"), history);
    const QStringList kept =
        QDir(QString::fromStdString(Path("."))).entryList({"reviews.conflict-*.tsv"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(GradeLines(ReadFile(kept[0].toUtf8().constData())),
              (QStringList{"w1 3 w2m", "w2 1 w2m"}));
}

// A history with unreadable lines: one Info box, once, with the count and the first line.
TEST_F(StudyWindowTest, UnreadableHistoryLinesAreToldOnceWhenTheReviewOpens) {
    WriteWords(3);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    WriteFile("reviews.tsv", "# history\nbad line\n2026-01-01T00:00:00.000Z\tw1\t3\t10\tw2m\nx\n");
    SeenMessageBox first, second;
    Run([&](QDialog* w) {
        CountsText(w);
        QApplication::setActiveWindow(w);
        AnswerNextMessageBox(&first);
        ActOnNextDialog("Review", [](QDialog*) {});
        Control<QWidget>(w, IDOK)->setFocus();
        Press(w, QKeySequence(Qt::CTRL | Qt::Key_R));
        QApplication::setActiveWindow(w);
        AnswerNextMessageBox(&second);
        ActOnNextDialog("Review", [](QDialog*) {});
        Control<QWidget>(w, IDOK)->setFocus();
        Press(w, QKeySequence(Qt::CTRL | Qt::Key_R));
        QTest::qWait(100);
    });
    EXPECT_TRUE(first.shown);
    EXPECT_EQ(first.caption, "Info");
    EXPECT_TRUE(first.text.startsWith("2 lines of the review history could not be read"))
        << first.text.toStdString();
    EXPECT_TRUE(first.text.contains("line 2")) << first.text.toStdString();
    EXPECT_FALSE(second.shown);
}

// Reviews that reach the folder while the window is open (another machine's, through a folder
// synchroniser) are counted without a restart.
TEST_F(StudyWindowTest, CountsFollowReviewsAddedToTheHistoryWhileOpen) {
    WriteWords(3);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    QString before, after;
    Run([&](QDialog* w) {
        before = CountsText(w);
        // As a synchroniser delivers a file: a new one renamed over the old.
        WriteFile("reviews.tsv.part", "2026-01-01T00:00:00.000Z\tw1\t3\t10\tw2m\n");
        ASSERT_TRUE(QFile::rename(QString::fromStdString(Path("reviews.tsv.part")),
                                  QString::fromStdString(Path("reviews.tsv"))));
        (void)QTest::qWaitFor([&] { return ReviewItem(w)->text() != before; }, 15000);
        after = ReviewItem(w)->text();
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_EQ(before, "&Review (0 due, 3 new)");
    EXPECT_EQ(after, "&Review (1 due, 2 new)");
}

bool ChartsMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Charts");
}

void ChooseReviewMenu(QDialog* w, const QString& text) {
    auto* bar = w->findChild<QMenuBar*>();
    for (QAction* title : bar->actions()) {
        if (title->text() != "&Review")
            continue;
        for (QAction* item : title->menu()->actions()) {
            if (item->text() == text) {
                item->trigger();
                return;
            }
        }
    }
    ADD_FAILURE() << "no item " << text.toStdString();
}

// The charts library comes in with the statistics window, not before; the window says in
// words what each chart shows.
TEST_F(StudyWindowTest, StatisticsLoadTheChartsOnlyWhenOpenedAndNameEveryChart) {
    qputenv("VOCAMINT_MODULE_DIR", VOCAMINT_MODULE_BUILD_DIR);
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    // w1 learned two days ago and overdue, w2 graded once just now (learning), w3 taken back.
    const auto at = [](qint64 msAgo) {
        return QDateTime::currentDateTimeUtc()
            .addMSecs(-msAgo)
            .toString(Qt::ISODateWithMs)
            .toStdString();
    };
    const qint64 day = 86'400'000;
    // Taken once: the retraction must name the very time of the grade it takes back.
    const std::string takenBack = at(50'000);
    WriteFile("reviews.tsv", "# history\n" + at(2 * day) + "\tw1\t3\t900\tw2m\n" +
                                 at(2 * day - 600'000) + "\tw1\t3\t900\tw2m\n" + at(60'000) +
                                 "\tw2\t3\t900\tw2m\n" + takenBack + "\tw3\t4\t900\tw2m\n" +
                                 at(40'000) + "\tw3\tundo\t" + takenBack + "\n");
    bool mappedAtStart = true, mappedAfter = false, opened = false;
    QStringList summaries;
    Run([&](QDialog* w) {
        CountsText(w);
        mappedAtStart = ChartsMapped();
        ActOnNextDialog("Statistics", [&](QDialog* d) {
            opened = true;
            for (QWidget* view : d->findChildren<QWidget*>()) {
                if (!view->accessibleDescription().isEmpty())
                    summaries << view->accessibleName() + ": " + view->accessibleDescription();
            }
            mappedAfter = ChartsMapped();
        });
        ChooseReviewMenu(w, "&Statistics...");
    });
    qunsetenv("VOCAMINT_MODULE_DIR");
    EXPECT_FALSE(mappedAtStart);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(mappedAfter);
    summaries.sort();
    EXPECT_EQ(
        summaries.join("\n").toStdString(),
        (QStringList{"Reviews due, next 30 days: 2 reviews due, 2 of them today",
                     "Reviews per day, past year: 3 reviews on 2 of the last 365 days; the most in "
                     "a day: 2",
                     "Share recalled per week: no reviews this week; desired 90%",
                     "Words by stage: New 10, Learning 1, Young 1, Mature 0 (young: an interval "
                     "under 21 days)"})
            .join("\n")
            .toStdString());
}

} // namespace
