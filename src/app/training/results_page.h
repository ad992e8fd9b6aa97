// The page "Работа сети" of the training dialog: the results list over the trainer's results
// table, its CSV export, the seed of the run that made it, and "Исследовать ...".
#pragma once

#include "app/training/training_state.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QAbstractItemModel;
class QDialog;
class QLabel;
class QPushButton;
class QTreeView;

namespace axolite::training_ui {

class HistoryBar;
class TrainingResultsModel;

class ResultsPage : public QWidget {
    Q_OBJECT
public:
    ResultsPage(TrainingState& state, QWidget* parent);
    // The list stops reading the trainer's rows (before the trainer goes).
    ~ResultsPage() override;

    QAbstractItemModel* resultsModel() const;
    // The results list as CSV text, and written to a file (answers false after the message).
    QString resultsCsv() const;
    bool saveResultsCsv(const QString& path);
    // Runs TRunNetwork on the trained network, modally unless a runner is set (tests).
    void investigate();
    void setInvestigationRunner(std::function<void(QDialog&)> runner) {
        runInvestigation_ = std::move(runner);
    }
    // A row under the list (the lint's warnings).
    void addRow(QWidget* row);
    // The buttons a run disables and its end enables again.
    QList<QWidget*> runButtons() const;
    HistoryBar* historyBar() const { return historyBar_; }

private:
    void showResults(std::optional<std::uint32_t> seed);
    void chooseResultsCsv();

    TrainingState& state_;
    QTreeView* results_ = nullptr;
    TrainingResultsModel* resultsModel_ = nullptr;
    QPushButton* investigateButton_ = nullptr;
    QLabel* seedUsed_ = nullptr;
    HistoryBar* historyBar_ = nullptr;
    std::function<void(QDialog&)> runInvestigation_;
};

} // namespace axolite::training_ui
