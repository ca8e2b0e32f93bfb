#include "ui/CFitDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "review/Replay.h"
#include "review/ReviewSession.h"

CFitDlg::CFitDlg(review::ReviewLog log, const memory::Parameters<double>& current,
                 review::ParameterStore store, review::TimeMs now, QWidget* parent)
    : QDialog(parent), m_log(std::move(log)), m_current(current), m_store(std::move(store)),
      m_now(now), m_scored(review::ScoredReviewCount(m_log)) {
    setWindowTitle("Fit to My History");
    m_offer = new QLabel(QString::fromStdString(review::OfferText(m_scored)));
    m_offer->setWordWrap(true);
    m_progress = new QProgressBar;
    m_progress->setObjectName("progress");
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_result = new QLabel;
    m_result->setObjectName("result");
    m_result->setWordWrap(true);
    m_loadCaption = new QLabel("Reviews a day over the next year, by desired retention:");
    m_loadCaption->setVisible(false);
    m_loads = new QTableWidget(static_cast<int>(std::size(review::kAdvisedRetentions)), 2);
    m_loads->setObjectName("loads");
    m_loads->setHorizontalHeaderLabels({"Desired retention", "Reviews a day"});
    m_loads->verticalHeader()->setVisible(false);
    m_loads->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_loads->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_loads->setVisible(false);

    m_fit = new QPushButton("&Fit");
    m_fit->setObjectName("fit");
    m_cancel = new QPushButton("Cancel");
    m_cancel->setObjectName("cancel");
    m_useFitted = new QPushButton("&Use Fitted");
    m_useFitted->setObjectName("useFitted");
    m_useDefaults = new QPushButton("Use &Defaults");
    m_useDefaults->setObjectName("useDefaults");
    m_close = new QPushButton("Close");
    m_close->setObjectName("close");
    connect(m_fit, &QPushButton::clicked, this, [this] { OnFit(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(m_useFitted, &QPushButton::clicked, this, [this] { OnUseFitted(); });
    connect(m_useDefaults, &QPushButton::clicked, this, [this] { OnUseDefaults(); });
    connect(m_close, &QPushButton::clicked, this, [this] { reject(); });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_fit, m_cancel, m_useFitted, m_useDefaults})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_offer);
    layout->addWidget(m_progress);
    layout->addWidget(m_result);
    layout->addWidget(m_loadCaption);
    layout->addWidget(m_loads);
    layout->addLayout(buttons);
    resize(520, 200);
    UpdateButtons();
}

CFitDlg::~CFitDlg() {
    StopWorker();
}

void CFitDlg::reject() {
    // Closing the window while the fit runs cancels it first.
    StopWorker();
    QDialog::reject();
}

void CFitDlg::StopWorker() {
    if (m_job)
        m_job->Cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void CFitDlg::UpdateButtons() {
    const bool running = Running();
    m_fit->setEnabled(!running && m_scored >= review::kMinReviewsToFit);
    m_cancel->setEnabled(running);
    m_useFitted->setEnabled(!running && m_outcome.Better());
    m_useDefaults->setEnabled(!running && m_current != memory::kDefaultParameters);
}

void CFitDlg::OnFit() {
    if (Running() || m_scored < review::kMinReviewsToFit)
        return;
    if (m_worker.joinable())
        m_worker.join();
    m_outcome = {};
    m_finished = false;
    m_progress->setValue(0);
    m_result->setText("Fitting...");
    m_job = std::make_unique<review::FitJob>(m_log, m_current);
    review::FitJob* job = m_job.get();
    const review::TimeMs now = m_now;
    m_worker = std::thread([this, job, now] {
        int shown = -1;
        const review::FitComparison outcome = job->Run([&](double done) {
            const int permille = static_cast<int>(done * 1000);
            if (permille == shown)
                return;
            shown = permille;
            QMetaObject::invokeMethod(
                this, [this, permille] { OnProgress(permille); }, Qt::QueuedConnection);
        });
        std::vector<review::RetentionLoad> loads;
        if (!job->Cancelled()) {
            const memory::Parameters<double>& w =
                outcome.Better() ? outcome.fitted : outcome.current;
            loads = review::ReviewLoad(job->Log(), w, now, review::kAdvisedRetentions);
        }
        QMetaObject::invokeMethod(
            this, [this, outcome, loads] { OnFinished(outcome, loads); }, Qt::QueuedConnection);
    });
    UpdateButtons();
}

void CFitDlg::OnCancel() {
    if (m_job)
        m_job->Cancel();
    m_cancel->setEnabled(false);
}

void CFitDlg::OnProgress(int permille) {
    if (!m_finished)
        m_progress->setValue(permille);
}

void CFitDlg::OnFinished(const review::FitComparison& outcome,
                         const std::vector<review::RetentionLoad>& loads) {
    m_finished = true;
    if (m_worker.joinable())
        m_worker.join();
    m_outcome =
        m_job && m_job->Cancelled() ? review::FitComparison{review::FitStatus::Cancelled} : outcome;
    m_progress->setValue(m_outcome.status == review::FitStatus::Cancelled ? 0 : 1000);
    m_result->setText(QString::fromStdString(review::OutcomeText(m_outcome)));
    const bool haveLoads = !loads.empty() && m_outcome.status == review::FitStatus::Fitted;
    if (haveLoads) {
        for (std::size_t i = 0; i < loads.size(); ++i) {
            const int row = static_cast<int>(i);
            m_loads->setItem(row, 0,
                             new QTableWidgetItem(QString::number(loads[i].retention, 'f', 2)));
            m_loads->setItem(row, 1,
                             new QTableWidgetItem(QString::number(loads[i].reviewsPerDay, 'f', 1)));
        }
        m_loadCaption->setText(
            m_outcome.Better() ? "Reviews a day over the next year with the fitted parameters:"
                               : "Reviews a day over the next year with the current parameters:");
    }
    m_loadCaption->setVisible(haveLoads);
    m_loads->setVisible(haveLoads);
    UpdateButtons();
}

void CFitDlg::Store(const memory::Parameters<double>& w, const char* done) {
    std::string message;
    if (!m_store(w, message)) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(message));
        return;
    }
    m_current = w;
    m_outcome = {};
    m_result->setText(done);
    UpdateButtons();
}

void CFitDlg::OnUseFitted() {
    if (m_outcome.Better())
        Store(m_outcome.fitted, "The fitted parameters are now in use.");
}

void CFitDlg::OnUseDefaults() {
    Store(memory::kDefaultParameters, "The default parameters are now in use.");
}

void ShowFitDialog(QWidget* parent, const std::string& listPath,
                   const memory::Parameters<double>& current, const review::ParameterStore& store) {
    review::ReviewLog log;
    std::string message;
    if (!review::ReadHistoryGrades(review::HistoryPathFor(listPath), log, message)) {
        QMessageBox::warning(parent, "Fit to My History", QString::fromStdString(message));
        return;
    }
    CFitDlg dialog(std::move(log), current, store, review::SystemNow(), parent);
    dialog.exec();
}
