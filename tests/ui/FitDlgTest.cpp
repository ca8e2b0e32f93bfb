#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <optional>
#include <vector>

#include "review/Simulate.h"
#include "ui/CFitDlg.h"

namespace {

using memory::Parameters;

// A learner who forgets faster than the defaults say, with enough reviews to be fitted.
const review::LearnerOptions& Learner() {
    static const review::LearnerOptions learner = [] {
        review::LearnerOptions o;
        o.truth[20] = 0.5;
        o.truth[8] = 1.2;
        o.words = 400;
        o.days = 100;
        return o;
    }();
    return learner;
}

struct Window {
    std::vector<Parameters<double>> stored;
    bool storeWorks = true;
    CFitDlg dialog;
    explicit Window(review::ReviewLog log)
        : dialog(
              std::move(log), memory::kDefaultParameters,
              [this](const Parameters<double>& w, std::string& message) {
                  message = "The settings file could not be written.";
                  if (storeWorks)
                      stored.push_back(w);
                  return storeWorks;
              },
              Learner().start + Learner().days * review::kDayMs) {
        dialog.show();
    }
    QPushButton* Button(const char* name) { return dialog.findChild<QPushButton*>(name); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    QString Result() { return dialog.findChild<QLabel*>("result")->text(); }
    // Lets the window's event loop run until the fit has reported its end.
    bool WaitForEnd() {
        QElapsedTimer timer;
        timer.start();
        while (dialog.Running() && timer.elapsed() < 120000)
            QTest::qWait(10);
        return !dialog.Running();
    }
};

TEST(FitWindow, FitsShowsTheResultAndKeepsItOnlyWhenAsked) {
    Window w(review::SimulateLearner(Learner()));
    EXPECT_TRUE(w.Button("fit")->isEnabled());
    EXPECT_FALSE(w.Button("cancel")->isEnabled());
    EXPECT_FALSE(w.Button("useFitted")->isEnabled());
    EXPECT_FALSE(w.Button("useDefaults")->isEnabled()); // the defaults are in use

    w.Click("fit");
    EXPECT_FALSE(w.Button("fit")->isEnabled());
    ASSERT_TRUE(w.WaitForEnd());
    EXPECT_TRUE(w.Result().startsWith("Log loss on your latest")) << w.Result().toStdString();
    EXPECT_EQ(w.dialog.findChild<QProgressBar*>("progress")->value(), 1000);
    ASSERT_TRUE(w.dialog.Outcome().Better()); // this learner differs from the defaults
    EXPECT_TRUE(w.stored.empty());            // shown, not yet used

    // The retention table: four rows, more reviews for a higher retention.
    auto* loads = w.dialog.findChild<QTableWidget*>("loads");
    ASSERT_TRUE(loads->isVisible());
    ASSERT_EQ(loads->rowCount(), 4);
    EXPECT_EQ(loads->item(0, 0)->text(), "0.80");
    for (int row = 1; row < 4; ++row)
        EXPECT_LT(loads->item(row - 1, 1)->text().toDouble(),
                  loads->item(row, 1)->text().toDouble());

    const Parameters<double> fitted = w.dialog.Outcome().fitted;
    w.Click("useFitted");
    ASSERT_EQ(w.stored.size(), 1u);
    EXPECT_EQ(w.stored[0], fitted);
    EXPECT_FALSE(w.Button("useFitted")->isEnabled());
    EXPECT_TRUE(w.Button("useDefaults")->isEnabled());

    w.Click("useDefaults");
    ASSERT_EQ(w.stored.size(), 2u);
    EXPECT_EQ(w.stored[1], memory::kDefaultParameters);
    EXPECT_EQ(w.Result(), "The default parameters are now in use.");
}

TEST(FitWindow, CancelKeepsNothingAndTheWindowAnswersMeanwhile) {
    Window w(review::SimulateLearner(Learner()));
    w.Click("fit");
    ASSERT_TRUE(w.Button("cancel")->isEnabled());
    w.Click("cancel");
    ASSERT_TRUE(w.WaitForEnd());
    EXPECT_EQ(w.Result(), "The fit was cancelled. Nothing was changed.");
    EXPECT_EQ(w.dialog.Outcome().status, review::FitStatus::Cancelled);
    EXPECT_FALSE(w.Button("useFitted")->isEnabled());
    EXPECT_TRUE(w.Button("fit")->isEnabled()); // may be run again
    EXPECT_TRUE(w.stored.empty());

    // Closed while fitting: the fit stops, the window closes, nothing is kept.
    w.Click("fit");
    w.Click("close");
    EXPECT_FALSE(w.dialog.isVisible());
    EXPECT_FALSE(w.dialog.Running());
    EXPECT_TRUE(w.stored.empty());
}

TEST(FitWindow, ShortHistoryIsNotOffered) {
    review::LearnerOptions small = Learner();
    small.words = 30;
    small.days = 20;
    Window w(review::SimulateLearner(small));
    EXPECT_FALSE(w.Button("fit")->isEnabled());
    w.Click("fit");
    EXPECT_FALSE(w.dialog.Running());
}

TEST(FitWindow, AFailedStoreIsSaidAndChangesNothing) {
    Window w(review::SimulateLearner(Learner()));
    w.storeWorks = false;
    w.Click("fit");
    ASSERT_TRUE(w.WaitForEnd());
    ASSERT_TRUE(w.Button("useFitted")->isEnabled());
    // The warning box is modal: close it as the learner would.
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->inherits("QMessageBox") && top->isVisible())
                top->close();
    });
    w.Click("useFitted");
    EXPECT_TRUE(w.stored.empty());
    EXPECT_TRUE(w.Button("useFitted")->isEnabled()); // still on offer
}

} // namespace
