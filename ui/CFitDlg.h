// The "Fit to My History" window: fits the schedule to the learner's reviews on a thread of its
// own, with a progress bar and Cancel, shows how the fit predicts the latest reviews against the
// parameters in use, and the review load each desired retention would bring.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include <QDialog>

#include "review/Fit.h"
#include "review/FitJob.h"
#include "review/Simulate.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

class CFitDlg : public QDialog {
public:
    // `current`: the parameters in use; `store` keeps the ones the learner chooses; `now` is the
    // day the review load is counted from.
    CFitDlg(review::ReviewLog log, const memory::Parameters<double>& current,
            review::ParameterStore store, review::TimeMs now, QWidget* parent = nullptr);
    ~CFitDlg() override;

    bool Running() const { return m_worker.joinable() && !m_finished; }
    const review::FitComparison& Outcome() const { return m_outcome; }

protected:
    void reject() override;

private:
    void OnFit();
    void OnCancel();
    void OnUseFitted();
    void OnUseDefaults();
    // On the window's thread, from the worker.
    void OnProgress(int permille);
    void OnFinished(const review::FitComparison& outcome,
                    const std::vector<review::RetentionLoad>& loads);
    void Store(const memory::Parameters<double>& w, const char* done);
    void StopWorker();
    void UpdateButtons();

    const review::ReviewLog m_log;
    memory::Parameters<double> m_current;
    review::ParameterStore m_store;
    review::TimeMs m_now;
    std::size_t m_scored = 0;
    std::unique_ptr<review::FitJob> m_job;
    std::thread m_worker;
    bool m_finished = true;
    review::FitComparison m_outcome;

    QLabel* m_offer;
    QProgressBar* m_progress;
    QLabel* m_result;
    QLabel* m_loadCaption;
    QTableWidget* m_loads;
    QPushButton* m_fit;
    QPushButton* m_cancel;
    QPushButton* m_useFitted;
    QPushButton* m_useDefaults;
    QPushButton* m_close;
};

// Opens the window for the list at `listPath` (its history beside it), modal over `parent`. A
// history that cannot be read is said in a message box instead.
void ShowFitDialog(QWidget* parent, const std::string& listPath,
                   const memory::Parameters<double>& current, const review::ParameterStore& store);
