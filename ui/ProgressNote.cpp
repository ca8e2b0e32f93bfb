#include "ui/ProgressNote.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// The note's window: the work cannot be stopped half way, so it cannot be closed either.
class NoteWindow : public QWidget {
public:
    explicit NoteWindow(QWidget* parent)
        : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

ProgressNote::ProgressNote(QWidget* window, std::chrono::milliseconds delay)
    : m_window(window), m_delay(delay) {
    m_clock.start();
}

ProgressNote::~ProgressNote() {
    if (m_note)
        m_note->hide();
}

void ProgressNote::Report(std::string_view step, int permille) {
    const qint64 now = m_clock.elapsed();
    if (now < m_delay.count() || permille >= kWhole)
        return;
    const bool first = !m_note;
    if (!first && now - m_paintedAt < kPaintEvery.count())
        return;
    if (first)
        Show();
    m_text->setText(QString::fromUtf8(step.data(), static_cast<qsizetype>(step.size())) +
                    QStringLiteral("... %1%").arg(permille / 10));
    m_bar->setValue(permille);
    m_paintedAt = now;
    Paint();
}

void ProgressNote::Show() {
    m_note = std::make_unique<NoteWindow>(m_window);
    m_note->setObjectName("progressNote");
    m_note->setWindowTitle("Vocamint");
    // Input to every other window waits out the work: the learner cannot act on the list, or
    // close the window, while it is being saved.
    m_note->setWindowModality(Qt::ApplicationModal);
    m_text = new QLabel;
    m_text->setObjectName("progressText");
    m_text->setMinimumWidth(m_text->fontMetrics().averageCharWidth() * 48);
    m_bar = new QProgressBar;
    m_bar->setRange(0, kWhole);
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(m_note.get());
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    m_note->show();
}

// The work runs on this thread, so the windows are painted from here. Input never reaches them
// meanwhile (the note is modal), and the window's own timed work keeps out of a modal note's way.
void ProgressNote::Paint() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
