// Import and export from the study window's File menu, driven as a learner drives them: the
// file comes from a stand-in for the file chooser, the rest goes through the real widgets.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "StudyWindowFixture.h"
#include "exchange/Import.h"
#include "res/ResourceIds.h"
#include "tests/support/DialogDriver.h"
#include "ui/CVocabDlg.h"

namespace {

using ::PrintTo;

// Chooses an item of the File menu as a click on it would.
void ChooseFileMenu(QDialog* w, const QString& text) {
    auto* bar = w->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    for (QAction* action : bar->actions().at(0)->menu()->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    FAIL() << "no menu item " << text.toStdString();
}

QStringList Rows(QDialog* d, int id) {
    QStringList rows;
    auto* list = Control<QListWidget>(d, id);
    for (int i = 0; list && i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

// The preview table's rows as "heading | cell | cell...", the heading saying what the row
// becomes.
QStringList TableRows(QDialog* d) {
    QStringList rows;
    auto* table = Control<QTableWidget>(d, IDC_IMPORT_PREVIEW);
    for (int r = 0; table && r < table->rowCount(); ++r) {
        QStringList cells;
        const QTableWidgetItem* heading = table->verticalHeaderItem(r);
        cells << (heading ? heading->text() : QString());
        for (int c = 0; c < table->columnCount(); ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells.join(" | ");
    }
    return rows;
}

QStringList Headings(QDialog* d) {
    QStringList headings;
    auto* table = Control<QTableWidget>(d, IDC_IMPORT_PREVIEW);
    for (int c = 0; table && c < table->columnCount(); ++c)
        headings << (table->horizontalHeaderItem(c) ? table->horizontalHeaderItem(c)->text()
                                                    : QString());
    return headings;
}

QString Text(QDialog* d, int id) {
    return Control<QLabel>(d, id)->text();
}

QString UndoText(QDialog* w) {
    auto* bar = w->findChild<QMenuBar*>();
    return bar->actions().at(1)->menu()->actions().at(0)->text();
}

std::vector<std::string> Fields(const std::vector<WordEntry>& entries) {
    std::vector<std::string> lines;
    for (const WordEntry& e : entries)
        lines.push_back(std::to_string(e.number) + "|" + e.word + "|" + e.spell + "|" + e.type +
                        "|" + e.mean);
    return lines;
}

class ImportWindowTest : public StudyWindowTest {
protected:
    // Runs the study window with the file chooser answering `file` (a name in the test's folder).
    INT_PTR RunChoosing(const char* file, const std::function<void(QDialog*)>& script) {
        CVocabDlg dlg;
        const std::string path = Path(file);
        dlg.SetFileChooser([&, path](bool save, std::string& chosen) {
            m_saveAsked = save;
            chosen = path;
            return true;
        });
        return RunModal(dlg, script);
    }

    bool m_saveAsked = false;
};

// Header, a new word, a word of the list, a quoted meaning with a comma, a row without a word
// and an unclosed quote at the end.
const char* const kCsv = "word,spell,type,meaning\n"
                         "apple,/ap/,n.,苹果\n"
                         "w3,/new/,v.,changed\n"
                         "pear,,n.,\"梨,绿\"\n"
                         ",,n.,nothing\n"
                         "kiwi,,n.,\"unclosed\n";

struct PolicyCase {
    const char* name;
    int policyBox;    // the box clicked, 0 for none (skip, the default)
    bool confirm;     // Import, else Cancel
    bool undo;        // Ctrl+Z after the import
    QString undoText; // the Undo item after the import
    QStringList preview;
    // The saved list; empty: WL.txt left as it was.
    std::vector<std::string> saved;
};

const std::vector<std::string> kTwelve = {
    "1|w1|s1|n.|m1", "2|w2|s2|n.|m2",     "3|w3|s3|n.|m3",     "4|w4|s4|n.|m4",
    "5|w5|s5|n.|m5", "6|w6|s6|n.|m6",     "7|w7|s7|n.|m7",     "8|w8|s8|n.|m8",
    "9|w9|s9|n.|m9", "10|w10|s10|n.|m10", "11|w11|s11|n.|m11", "12|w12|s12|n.|m12"};

std::vector<std::string> Twelve(std::vector<std::string> changes, std::vector<std::string> more) {
    std::vector<std::string> lines = kTwelve;
    for (std::string& change : changes)
        lines[std::stoul(change) - 1] = change;
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

const PolicyCase kPolicyCases[] = {
    {"skip_appends_the_new_words",
     0,
     true,
     false,
     "&Undo Import (2 words)",
     {"13 | apple | /ap/ | n. | 苹果", "already in the list: skipped | w3 | /new/ | v. | changed",
      "14 | pear |  | n. | 梨,绿", "not read |  |  | n. | nothing"},
     Twelve({}, {"13|apple|/ap/|n.|苹果", "14|pear||n.|梨,绿"})},
    {"replace_changes_the_listed_word_in_place",
     IDC_IMPORT_REPLACE,
     true,
     false,
     "&Undo Import (3 words)",
     {"13 | apple | /ap/ | n. | 苹果",
      "3: replaces the entry in the list | w3 | /new/ | v. | changed", "14 | pear |  | n. | 梨,绿",
      "not read |  |  | n. | nothing"},
     Twelve({"3|w3|/new/|v.|changed"}, {"13|apple|/ap/|n.|苹果", "14|pear||n.|梨,绿"})},
    {"add_anyway_appends_the_listed_word_again",
     IDC_IMPORT_ADD,
     true,
     false,
     "&Undo Import (3 words)",
     {"13 | apple | /ap/ | n. | 苹果",
      "14: already in the list, added again | w3 | /new/ | v. | changed",
      "15 | pear |  | n. | 梨,绿", "not read |  |  | n. | nothing"},
     Twelve({}, {"13|apple|/ap/|n.|苹果", "14|w3|/new/|v.|changed", "15|pear||n.|梨,绿"})},
    {"undo_takes_back_the_whole_import",
     IDC_IMPORT_REPLACE,
     true,
     true,
     "&Undo Import (3 words)",
     {"13 | apple | /ap/ | n. | 苹果",
      "3: replaces the entry in the list | w3 | /new/ | v. | changed", "14 | pear |  | n. | 梨,绿",
      "not read |  |  | n. | nothing"},
     {}},
    {"cancel_changes_nothing",
     IDC_IMPORT_ADD,
     false,
     false,
     "&Undo",
     {"13 | apple | /ap/ | n. | 苹果",
      "14: already in the list, added again | w3 | /new/ | v. | changed",
      "15 | pear |  | n. | 梨,绿", "not read |  |  | n. | nothing"},
     {}},
};

class ImportPolicyTest : public ImportWindowTest,
                         public ::testing::WithParamInterface<PolicyCase> {};

TEST_P(ImportPolicyTest, PreviewCountsAndSavedList) {
    const PolicyCase& c = GetParam();
    WriteWords(12);
    WriteFile("env.ini", "[Setting]\r\nIndex=-9\r\n");
    WriteFile("in.csv", kCsv);
    const std::optional<std::string> original = ReadFile("WL.txt");
    QString file, readAs, counts, undoText, page;
    QStringList preview, problems;
    bool skipTicked = false, othersClear = false, opened = false;
    RunChoosing("in.csv", [&](QDialog* w) {
        ActOnNextDialog("Import", [&](QDialog* d) {
            opened = true;
            file = Text(d, IDC_IMPORT_FILE);
            readAs = Text(d, IDC_IMPORT_READ_AS);
            problems = Rows(d, IDC_IMPORT_PROBLEMS);
            skipTicked = Control<QRadioButton>(d, IDC_IMPORT_SKIP)->isChecked();
            if (c.policyBox != 0) {
                QWidget* box = Control<QWidget>(d, c.policyBox);
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            }
            int ticked = 0;
            for (const int id : {IDC_IMPORT_SKIP, IDC_IMPORT_REPLACE, IDC_IMPORT_ADD})
                ticked += Control<QRadioButton>(d, id)->isChecked() ? 1 : 0;
            othersClear = ticked == 1;
            counts = Text(d, IDC_IMPORT_COUNTS);
            preview = TableRows(d);
            QTest::mouseClick(Control<QWidget>(d, c.confirm ? IDOK : IDCANCEL), Qt::LeftButton);
        });
        ChooseFileMenu(w, "&Import...");
        undoText = UndoText(w);
        page = ViewPage(w).label;
        if (c.undo) {
            // The window is active again once the dialog is gone, as on a desktop.
            QApplication::setActiveWindow(w);
            QWidget* row = Control<QWidget>(w, kRows[0].check);
            row->setFocus();
            QTest::keyClick(row, Qt::Key_Z, Qt::ControlModifier);
        }
        Perform(w, Step{Step::Click, IDOK});
    });
    ASSERT_TRUE(opened);
    EXPECT_FALSE(m_saveAsked);
    EXPECT_EQ(file, "in.csv");
    EXPECT_EQ(readAs, "comma-separated, header row, UTF-8");
    EXPECT_EQ(counts, "2 new words, 1 already in the list, 2 lines could not be read");
    EXPECT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems.value(0).startsWith("line 5: ")) << problems.value(0).toStdString();
    EXPECT_TRUE(problems.value(1).startsWith("line 6: ")) << problems.value(1).toStdString();
    EXPECT_TRUE(skipTicked);
    EXPECT_TRUE(othersClear);
    EXPECT_EQ(preview, c.preview);
    EXPECT_EQ(undoText, c.undoText);
    if (c.confirm) {
        EXPECT_EQ(page, "Page: 2  /2   ");
    }
    if (c.saved.empty()) {
        EXPECT_EQ(ReadFile("WL.txt"), original);
    } else {
        EXPECT_EQ(Fields(LoadEntries("WL.txt")), c.saved);
    }
}

INSTANTIATE_TEST_SUITE_P(Policies, ImportPolicyTest, ::testing::ValuesIn(kPolicyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The three answers for words already in the list are one choice, picked as radio buttons are:
// a click, an Alt letter, or an arrow within the group.
TEST_F(ImportWindowTest, WordsAlreadyInTheListAreOneChoiceOfThreeRadioButtons) {
    struct Case {
        const char* name;
        std::function<void(QDialog*)> act;
        int checked;        // the one button checked afterwards
        const char* marker; // what the preview row of w3 then says
    };
    const auto click = [](int id) {
        return [id](QDialog* d) {
            QWidget* button = Control<QWidget>(d, id);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
        };
    };
    const Case cases[] = {
        {"as_opened", [](QDialog*) {}, IDC_IMPORT_SKIP, "skipped"},
        {"click_add", click(IDC_IMPORT_ADD), IDC_IMPORT_ADD, "added again"},
        {"click_checked_again", click(IDC_IMPORT_SKIP), IDC_IMPORT_SKIP, "skipped"},
        {"alt_r",
         [](QDialog* d) {
             QTest::keyClick(Control<QWidget>(d, IDC_IMPORT_FORMAT), Qt::Key_R, Qt::AltModifier);
         },
         IDC_IMPORT_REPLACE, "replaces"},
        {"down_arrow_from_skip",
         [](QDialog* d) {
             auto* skip = Control<QWidget>(d, IDC_IMPORT_SKIP);
             skip->setFocus();
             QTest::keyClick(skip, Qt::Key_Down);
         },
         IDC_IMPORT_REPLACE, "replaces"},
        {"up_arrow_wraps_from_skip_to_add",
         [](QDialog* d) {
             auto* skip = Control<QWidget>(d, IDC_IMPORT_SKIP);
             skip->setFocus();
             QTest::keyClick(skip, Qt::Key_Up);
         },
         IDC_IMPORT_ADD, "added again"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWords(12);
        WriteFile("in.csv", kCsv);
        std::vector<int> checked;
        QStringList preview;
        bool radios = false;
        RunChoosing("in.csv", [&](QDialog* w) {
            ActOnNextDialog("Import", [&](QDialog* d) {
                c.act(d);
                for (const int id : {IDC_IMPORT_SKIP, IDC_IMPORT_REPLACE, IDC_IMPORT_ADD}) {
                    auto* radio = Control<QRadioButton>(d, id);
                    radios = radio != nullptr;
                    if (radio && radio->isChecked())
                        checked.push_back(id);
                }
                preview = TableRows(d);
            });
            ChooseFileMenu(w, "&Import...");
            Perform(w, Step{Step::Click, IDOK});
        });
        ASSERT_TRUE(radios);
        EXPECT_EQ(checked, std::vector<int>{c.checked});
        ASSERT_EQ(preview.size(), 4);
        EXPECT_TRUE(preview[1].contains(c.marker)) << preview[1].toStdString();
    }
}

// Format and encoding are closed lists that drop down, each showing what the file was read as.
TEST_F(ImportWindowTest, FormatAndEncodingAreDropDownChoices) {
    WriteWords(3);
    WriteFile("in.csv", kCsv);
    QStringList formats, encodings;
    QString format, encoding;
    bool editable = true;
    RunChoosing("in.csv", [&](QDialog* w) {
        ActOnNextDialog("Import", [&](QDialog* d) {
            for (const auto& [id, items, shown] :
                 {std::tuple{IDC_IMPORT_FORMAT, &formats, &format},
                  std::tuple{IDC_IMPORT_ENCODING, &encodings, &encoding}}) {
                auto* combo = Control<QComboBox>(d, id);
                ASSERT_NE(combo, nullptr);
                editable = editable && combo->isEditable();
                for (int i = 0; i < combo->count(); ++i)
                    *items << combo->itemText(i);
                *shown = combo->currentText();
            }
        });
        ChooseFileMenu(w, "&Import...");
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_FALSE(editable);
    EXPECT_EQ(formats, (QStringList{"CSV", "Tab-separated", "KVTML"}));
    EXPECT_EQ(encodings.size(), 4);
    EXPECT_EQ(format, "CSV");
    EXPECT_EQ(encoding, "UTF-8");
}

struct BadFileCase {
    const char* name;
    const char* file;
    bool exists;
    std::string_view content;
    const char* message;
};

const BadFileCase kBadFiles[] = {
    {"missing", "gone.csv", false, "", "Cannot import gone.csv: cannot open '"},
    {"empty", "empty.csv", true, "", "Cannot import empty.csv: the file is empty."},
    {"blank_lines_only", "blank.txt", true, "\n \r\n\t\n",
     "Cannot import blank.txt: the file is empty."},
    {"header_alone", "head.csv", true, "word,meaning\n",
     "Cannot import head.csv: no words in the file."},
    {"binary", "x.tsv", true, std::string_view("ab\0cd", 5), "Cannot import x.tsv: "},
};

class ImportBadFileTest : public ImportWindowTest,
                          public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(ImportBadFileTest, OneMessageAndNoChange) {
    const BadFileCase& c = GetParam();
    WriteWords(3);
    if (c.exists)
        WriteFile(c.file, std::string(c.content));
    const std::optional<std::string> original = ReadFile("WL.txt");
    SeenMessageBox seen;
    bool opened = false;
    RunChoosing(c.file, [&](QDialog* w) {
        ActOnNextDialog("Import", [&](QDialog*) { opened = true; });
        AnswerNextMessageBox(&seen);
        ChooseFileMenu(w, "&Import...");
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_FALSE(opened);
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_TRUE(seen.text.startsWith(QString::fromUtf8(c.message))) << seen.text.toStdString();
    EXPECT_EQ(ReadFile("WL.txt"), original);
}

INSTANTIATE_TEST_SUITE_P(Files, ImportBadFileTest, ::testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// A format that does not fit the file reads nothing and cannot be imported; the right one
// brings the plan back.
TEST_F(ImportWindowTest, ChangingTheFormatReadsTheFileAgain) {
    WriteWords(3);
    WriteFile("semi.txt", "apple;苹果\npear;梨\n");
    QString countsKvtml, countsCsv, readAsKvtml;
    bool importEnabledKvtml = true, importEnabledCsv = false;
    int previewKvtml = -1;
    RunChoosing("semi.txt", [&](QDialog* w) {
        ActOnNextDialog("Import", [&](QDialog* d) {
            // Chosen from the keyboard, as a learner does with the list closed.
            auto* formats = Control<QComboBox>(d, IDC_IMPORT_FORMAT);
            formats->setFocus();
            QTest::keyClick(formats, Qt::Key_End); // KVTML
            countsKvtml = Text(d, IDC_IMPORT_COUNTS);
            readAsKvtml = Text(d, IDC_IMPORT_READ_AS);
            previewKvtml = Control<QTableWidget>(d, IDC_IMPORT_PREVIEW)->rowCount();
            importEnabledKvtml = Control<QPushButton>(d, IDOK)->isEnabled();
            QTest::keyClick(formats, Qt::Key_Home); // CSV
            countsCsv = Text(d, IDC_IMPORT_COUNTS);
            importEnabledCsv = Control<QPushButton>(d, IDOK)->isEnabled();
        });
        ChooseFileMenu(w, "&Import...");
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_EQ(countsKvtml, "Nothing to import");
    EXPECT_TRUE(readAsKvtml.startsWith("cannot be read this way: ")) << readAsKvtml.toStdString();
    EXPECT_EQ(previewKvtml, 0);
    EXPECT_FALSE(importEnabledKvtml);
    EXPECT_EQ(countsCsv, "2 new words, 0 already in the list, 0 lines could not be read");
    EXPECT_TRUE(importEnabledCsv);
}

// A header of names the program does not all know, as a learner met it. The headings say where
// each column goes; a field chosen for a column, from the keyboard or by a heading's click,
// and the header switch change the headings, the rows and the counts at once, and the import
// takes what was shown last.
TEST_F(ImportWindowTest, ColumnHeadingsAndTheHeaderSwitchDecideWhatIsImported) {
    WriteWords(3);
    WriteFile("de.csv", "German,English,Part of speech\nHund,dog,n.\nKatze,cat,n.\n");
    struct Seen {
        const char* step;
        bool header;
        QStringList headings;
        QStringList rows;
        QString column;
        QString role;
        QString counts;
        bool importable;
    };
    std::vector<Seen> seen;
    bool opened = false;
    RunChoosing("de.csv", [&](QDialog* w) {
        ActOnNextDialog("Import", [&](QDialog* d) {
            opened = true;
            auto* column = Control<QComboBox>(d, IDC_IMPORT_COLUMN);
            auto* role = Control<QComboBox>(d, IDC_IMPORT_ROLE);
            auto* header = Control<QWidget>(d, IDC_IMPORT_HEADER);
            auto* table = Control<QTableWidget>(d, IDC_IMPORT_PREVIEW);
            ASSERT_TRUE(column && role && header && table);
            const auto look = [&](const char* step) {
                seen.push_back({step, Control<QAbstractButton>(d, IDC_IMPORT_HEADER)->isChecked(),
                                Headings(d), TableRows(d), column->currentText(),
                                role->currentText(), Text(d, IDC_IMPORT_COUNTS),
                                Control<QPushButton>(d, IDOK)->isEnabled()});
            };
            const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
                QWidget* focused = d->focusWidget();
                QTest::keyClick(focused ? focused : d, k, modifiers);
            };
            look("opened");
            QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(6, header->height() / 2));
            look("header_off");
            // The second column becomes the word from the keyboard: the first, the word
            // before, is then not imported.
            key(Qt::Key_O, Qt::AltModifier);
            key(Qt::Key_Down);
            key(Qt::Key_G, Qt::AltModifier);
            key(Qt::Key_Home);
            look("second_column_is_the_word");
            key(Qt::Key_End);
            look("no_word_column");
            key(Qt::Key_Home);
            // A click on the third heading chooses that column.
            QHeaderView* headings = table->horizontalHeader();
            QTest::mouseClick(
                headings->viewport(), Qt::LeftButton, {},
                QPoint(headings->sectionViewportPosition(2) + 4, headings->height() / 2));
            look("third_heading_clicked");
            role->setFocus();
            key(Qt::Key_End);
            look("third_column_not_imported");
            // The arrows in the table choose a column too.
            table->setFocus();
            key(Qt::Key_Left);
            look("left_arrow_in_the_table");
            QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(6, header->height() / 2));
            look("header_on");
            QTest::mouseClick(Control<QWidget>(d, IDOK), Qt::LeftButton);
        });
        ChooseFileMenu(w, "&Import...");
        Perform(w, Step{Step::Click, IDOK});
    });
    ASSERT_TRUE(opened);
    const QString three = "3 new words, 0 already in the list, 0 lines could not be read";
    const QStringList allRows = {"4 | German | English | Part of speech", "5 | Hund | dog | n.",
                                 "6 | Katze | cat | n."};
    const Seen want[] = {
        {"opened",
         true,
         {"Word (German)", "Meaning (English)", "Type (Part of speech)"},
         {"4 | Hund | dog | n.", "5 | Katze | cat | n."},
         "1: German",
         "Word",
         "2 new words, 0 already in the list, 0 lines could not be read",
         true},
        {"header_off",
         false,
         {"Word", "Meaning", "Type"},
         allRows,
         "1: German",
         "Word",
         three,
         true},
        {"second_column_is_the_word",
         false,
         {"Not imported", "Word", "Type"},
         allRows,
         "2: English",
         "Word",
         three,
         true},
        {"no_word_column",
         false,
         {"Not imported", "Not imported", "Type"},
         {"not read | German | English | Part of speech", "not read | Hund | dog | n.",
          "not read | Katze | cat | n."},
         "2: English",
         "Not imported",
         "Nothing to import",
         false},
        {"third_heading_clicked",
         false,
         {"Not imported", "Word", "Type"},
         allRows,
         "3: Part of speech",
         "Type",
         three,
         true},
        {"third_column_not_imported",
         false,
         {"Not imported", "Word", "Not imported"},
         allRows,
         "3: Part of speech",
         "Not imported",
         three,
         true},
        {"left_arrow_in_the_table",
         false,
         {"Not imported", "Word", "Not imported"},
         allRows,
         "2: English",
         "Word",
         three,
         true},
        {"header_on",
         true,
         {"Not imported (German)", "Word (English)", "Not imported (Part of speech)"},
         {"4 | Hund | dog | n.", "5 | Katze | cat | n."},
         "2: English",
         "Word",
         "2 new words, 0 already in the list, 0 lines could not be read",
         true},
    };
    ASSERT_EQ(seen.size(), std::size(want));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(want[i].step);
        EXPECT_EQ(seen[i].step, std::string(want[i].step));
        EXPECT_EQ(seen[i].header, want[i].header);
        EXPECT_EQ(seen[i].headings.join(" ; ").toStdString(),
                  want[i].headings.join(" ; ").toStdString());
        EXPECT_EQ(seen[i].rows.join(" ; ").toStdString(), want[i].rows.join(" ; ").toStdString());
        EXPECT_EQ(seen[i].column.toStdString(), want[i].column.toStdString());
        EXPECT_EQ(seen[i].role.toStdString(), want[i].role.toStdString());
        EXPECT_EQ(seen[i].counts.toStdString(), want[i].counts.toStdString());
        EXPECT_EQ(seen[i].importable, want[i].importable);
    }
    EXPECT_EQ(Fields(LoadEntries("WL.txt")),
              (std::vector<std::string>{"1|w1|s1|n.|m1", "2|w2|s2|n.|m2", "3|w3|s3|n.|m3",
                                        "4|dog|||", "5|cat|||"}));
}

// The import dialog as the README shows it, written where VOCAMINT_SCREENSHOT_DIR says (else
// beside the test) as import-dialog.png.
TEST_F(ImportWindowTest, RendersTheImportDialog) {
    WriteWords(12);
    WriteFile("list.csv", "English,中文,Part of speech\napple,苹果,n.\nw3,变了,v.\nrun,跑,v.\n"
                          "pear,梨,n.\n,没有词,n.\nwater,水,n.\n");
    bool shot = false;
    RunChoosing("list.csv", [&](QDialog* w) {
        ActOnNextDialog("Import", [&](QDialog* d) {
            QTest::qWait(50);
            const QString dir = qEnvironmentVariableIsSet("VOCAMINT_SCREENSHOT_DIR")
                                    ? qEnvironmentVariable("VOCAMINT_SCREENSHOT_DIR")
                                    : QCoreApplication::applicationDirPath();
            shot = d->grab().save(dir + "/import-dialog.png");
        });
        ChooseFileMenu(w, "&Import...");
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_TRUE(shot);
}

struct ExportCase {
    const char* name;
    const char* file;
    const char* caption; // of the message box
    const char* message; // its start
};

const ExportCase kExports[] = {
    {"csv", "out.csv", "Info", "Exported 3 words."},
    {"tab_separated", "out.tsv", "Info", "Exported 3 words."},
    {"txt_is_tab_separated", "out.txt", "Info", "Exported 3 words."},
    {"kvtml", "out.kvtml", "Info", "Exported 3 words."},
    {"unknown_extension", "out.doc", "Error", "Please give the file a name ending in .csv"},
    {"missing_folder", "no/such/out.csv", "Error", ""},
};

class ExportTest : public ImportWindowTest, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportTest, WritesAFileThatImportsBack) {
    const ExportCase& c = GetParam();
    WriteFile("WL.txt",
              "1 apple /ap/ n. 苹果,红的\r\n2 say\"hi\" /s/ v. 说\\话\r\n3 w3 s3 n. m3\r\n");
    const std::optional<std::string> original = ReadFile("WL.txt");
    SeenMessageBox seen;
    RunChoosing(c.file, [&](QDialog* w) {
        AnswerNextMessageBox(&seen);
        ChooseFileMenu(w, "&Export...");
        Perform(w, Step{Step::Click, IDOK});
    });
    EXPECT_TRUE(m_saveAsked);
    EXPECT_EQ(seen.caption, c.caption);
    EXPECT_TRUE(seen.text.startsWith(QString::fromUtf8(c.message))) << seen.text.toStdString();
    EXPECT_EQ(ReadFile("WL.txt"), original);
    if (std::string_view(c.caption) != "Info") {
        EXPECT_FALSE(ReadFile(c.file).has_value());
        return;
    }
    ImportedWords read;
    std::string error;
    ASSERT_TRUE(ImportFile(Path(c.file), {}, read, error)) << error;
    std::vector<WordEntry> back;
    for (WordPos pos = read.entries.Begin(); pos != read.entries.End();
         pos = read.entries.Next(pos)) {
        WordEntry e = read.entries.At(pos);
        e.number = static_cast<std::int32_t>(back.size()) + 1; // read entries carry line numbers
        back.push_back(e);
    }
    EXPECT_EQ(Fields(back), Fields(LoadEntries("WL.txt")));
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportTest, ::testing::ValuesIn(kExports),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
