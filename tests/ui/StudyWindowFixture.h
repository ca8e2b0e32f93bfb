// Runs the study window in a fresh current directory holding the test's own WL.txt and env.ini.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "framework/WinDef.h"
#include "res/RowIds.h"
#include "words/WordEntry.h"

class QAction;
class QDialog;
class CVocabDlg;

// One thing the learner does in the window.
struct Step {
    enum Kind {
        Click, // a click on control `id`
        Jump,  // `text` typed into the emptied jump field, then a click on "GoTo"
        Key,   // key `id` (a Qt::Key) pressed on the widget with the focus
        Type,  // `text` typed into the emptied edit `id`
    } kind;
    int id = 0;
    const char* text = "";
};
void Perform(QDialog* window, const Step& step);
void Perform(QDialog* window, const std::vector<Step>& steps);

// What the ten rows and the page label show.
struct PageView {
    QStringList words; // first blank-separated token of each word label
    QStringList means;
    QString label;
    friend bool operator==(const PageView&, const PageView&) = default;
};
void PrintTo(const PageView& view, std::ostream* os);
PageView ViewPage(QDialog* window);
// The menu bar's item for command `id`, or nullptr.
QAction* MenuItem(QDialog* window, int id);
// The view of entries first..last (1-based list positions, words "w<n>", means "m<n>"),
// the other rows empty; first = 0 gives ten empty rows.
PageView ExpectedPage(int first, int last, const QString& label);

// Per row of one kind: '+' caption "+" with a visible label, '-' caption "-" with a hidden
// label, '?' anything else.
std::string RowStates(QDialog* window, bool word);

// Table cases print as their names in test listings; a test file brings this into its
// namespace with `using ::PrintTo;`.
template <class Case>
requires requires(const Case& c) {
    std::string_view(c.name);
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// Ids of the five controls of each row, top to bottom.
inline constexpr const RowIds (&kRows)[kRowIdCount] = kRowIds;

class StudyWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Entries at list positions 1..numbers.size() carry these numbers; entry p reads
    // "<number> w<p> s<p> n. m<p>".
    void WriteNumbered(const std::vector<int>& numbers);
    void WriteWords(int count); // numbered 1..count
    void WriteFile(const char* name, const std::string& content);
    std::optional<std::string> ReadFile(const char* name) const;
    std::string Path(const char* name) const;
    // The learner's view preferences, which each test keeps in its own folder.
    std::string UserSettingsPath() const;
    // The entries of a word file as the program reads them.
    std::vector<WordEntry> LoadEntries(const char* name) const;
    // "Index" and "Goto" of env.ini as the program reads them, e.g. "1|7".
    std::string Settings() const;

    // Runs a new study window with `script`; returns the end code.
    INT_PTR Run(const std::function<void(QDialog*)>& script, bool* leftOpen = nullptr);

    QTemporaryDir m_dir;
    QString m_oldDir;
    std::string m_oldLocale;
    QByteArray m_oldConfig;
};
