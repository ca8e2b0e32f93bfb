#include "StudyWindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QtTest/QTest>
#include <clocale>
#include <unistd.h>

#include "res/ResourceIds.h"
#include "settings/IniFile.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/ListEntries.h"
#include "ui/CVocabDlg.h"
#include "words/WordFile.h"
#include "words/WordList.h"

void Perform(QDialog* window, const Step& step) {
    switch (step.kind) {
    case Step::Click: {
        QWidget* w = Control<QWidget>(window, step.id);
        ASSERT_NE(w, nullptr) << step.id;
        // A check box reacts only on its box and caption, which start at its left edge.
        const QPoint at =
            qobject_cast<QCheckBox*>(w) ? QPoint(4, w->height() / 2) : w->rect().center();
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
        break;
    }
    case Step::Jump:
        Perform(window, Step{Step::Type, IDC_GOTO, step.text});
        Perform(window, Step{Step::Click, IDC_GOTO_BUTTON});
        break;
    case Step::Key: {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        QTest::keyClick(focus, static_cast<Qt::Key>(step.id));
        break;
    }
    case Step::Type: {
        auto* edit = Control<QLineEdit>(window, step.id);
        ASSERT_NE(edit, nullptr) << step.id;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        // Latin letters are keys; other characters arrive as an input method commits them.
        for (const QChar ch : QString::fromUtf8(step.text)) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(edit, ch.toLatin1());
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(ch));
                QApplication::sendEvent(edit, &commit);
            }
        }
        break;
    }
    }
}

void Perform(QDialog* window, const std::vector<Step>& steps) {
    for (const Step& step : steps)
        Perform(window, step);
}

PageView ViewPage(QDialog* window) {
    PageView view;
    for (const RowIds& row : kRows) {
        view.words << Control<QLabel>(window, row.wordLabel)
                          ->text()
                          .section(' ', 0, 0, QString::SectionSkipEmpty);
        view.means << Control<QLabel>(window, row.meanLabel)->text();
    }
    view.label = Control<QLabel>(window, IDC_PAGE)->text();
    return view;
}

void PrintTo(const PageView& view, std::ostream* os) {
    *os << '"' << view.label.toStdString() << "\" [" << view.words.join(',').toStdString() << "] ["
        << view.means.join(',').toStdString() << ']';
}

PageView ExpectedPage(int first, int last, const QString& label) {
    PageView view;
    for (int k = 0; k < 10; ++k) {
        const int p = first + k;
        const bool filled = first > 0 && p <= last;
        view.words << (filled ? QString("w%1").arg(p) : QString());
        view.means << (filled ? QString("m%1").arg(p) : QString());
    }
    view.label = label;
    return view;
}

std::string RowStates(QDialog* window, bool word) {
    std::string states;
    for (const RowIds& row : kRows) {
        const QString caption =
            Control<QAbstractButton>(window, word ? row.wordToggle : row.meanToggle)->text();
        const bool shown =
            !Control<QLabel>(window, word ? row.wordLabel : row.meanLabel)->isHidden();
        states += caption == "+" && shown ? '+' : caption == "-" && !shown ? '-' : '?';
    }
    return states;
}

void StudyWindowTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_oldDir = QDir::currentPath();
    ASSERT_EQ(::chdir(QFile::encodeName(m_dir.path()).constData()), 0);
    m_oldLocale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C.UTF-8");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("config"))));
}

void StudyWindowTest::TearDown() {
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    std::setlocale(LC_ALL, m_oldLocale.c_str());
    ASSERT_EQ(::chdir(QFile::encodeName(m_oldDir).constData()), 0);
}

void StudyWindowTest::WriteNumbered(const std::vector<int>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::string p = std::to_string(i + 1);
        text += std::to_string(numbers[i]) + " w" + p + " s" + p + " n. m" + p + "\r\n";
    }
    WriteFile("WL.txt", text);
}

void StudyWindowTest::WriteWords(int count) {
    std::vector<int> numbers;
    for (int n = 1; n <= count; ++n)
        numbers.push_back(n);
    WriteNumbered(numbers);
}

void StudyWindowTest::WriteFile(const char* name, const std::string& content) {
    QFile file(QString::fromStdString(Path(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content.data(), static_cast<qint64>(content.size()));
}

std::optional<std::string> StudyWindowTest::ReadFile(const char* name) const {
    QFile file(QString::fromStdString(Path(name)));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll().toStdString();
}

std::string StudyWindowTest::UserSettingsPath() const {
    return Path("config/vocamint/vocamint.ini");
}

std::string StudyWindowTest::Path(const char* name) const {
    return QDir(m_dir.path()).filePath(name).toStdString();
}

std::vector<WordEntry> StudyWindowTest::LoadEntries(const char* name) const {
    WordList list;
    LoadWordFile(list, Path(name));
    return ListEntries(list);
}

std::string StudyWindowTest::Settings() const {
    const IniFile ini(Path("env.ini"));
    return std::to_string(ini.ReadInt("Setting", "Index", 0)) + "|" +
           ini.ReadString("Setting", "Goto", "");
}

INT_PTR StudyWindowTest::Run(const std::function<void(QDialog*)>& script, bool* leftOpen) {
    CVocabDlg dlg;
    return RunModal(dlg, script, leftOpen);
}

QAction* MenuItem(QDialog* window, int id) {
    auto* bar = window->findChild<QMenuBar*>();
    if (bar == nullptr)
        return nullptr;
    for (QAction* title : bar->actions())
        for (QAction* item : title->menu()->actions())
            if (!item->isSeparator() && item->data().toInt() == id)
                return item;
    return nullptr;
}
