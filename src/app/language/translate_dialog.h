// The check window: runs the check of a description, lists its errors and warnings, shows the
// result and the counts, follows the editor's caret line, and runs the simulation ("Посчитать
// ..."). While open it owns the Simulation and therefore the run's working arrays.
#pragma once

#include "app/gui/calculation_progress.h"
#include "core/language/checker.h"
#include "core/simulation/simulation.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

class QLabel;
class QPushButton;
class QTreeView;
class TCheckRowModel;

namespace axolite::platform {
struct FolderSettings;
}

class TTranslateDialog : public QDialog {
    Q_OBJECT
public:
    // record: the description's record, which must outlive the window (the description window
    // closes its check window first). folders: the frame's folder settings, read when a
    // simulation loads its models; nullptr means none set. The window deletes itself when closed.
    explicit TTranslateDialog(axolite::language::NetworkRecord& record,
                              const axolite::platform::FolderSettings* folders = nullptr,
                              QWidget* parent = nullptr);
    ~TTranslateDialog() override;

    // Runs the check on the record's token stream (the lexer has run), shows its message
    // boxes in order, the rows, the result and the counts, and prepares the simulation of a
    // correct description; then N and S stand in the record.
    void runCheck();

    const axolite::language::CheckResult& checkResult() const { return check_; }
    // Correct after the check and a successful preparation.
    bool correct() const { return check_.correct; }
    bool running() const { return running_; }
    const axolite::simulation::Simulation& simulation() const { return simulation_; }
    // The progress dialog of the last run while it exists.
    TCalculationProgress* progressDialog() const { return progress_; }
    QTreeView* messageList() const { return list_; }

    // The folder of the description's file (empty for a description without a file): while no
    // models folder is set, model files are also looked up there and in its folder "models".
    void setDescriptionFolder(const QString& folder);

public slots:
    // The editor's caret is on this line (counted from 0).
    void showCaretLine(int zeroBasedLine);
    // "Посчитать ...": the simulation with its progress dialog.
    void calculate();

signals:
    // The window closed (its flags are cleared); the description window forgets it.
    void closed();
    // A simulation run ended (completed, cancelled or refused): the record's flags changed.
    void simulationEnded();
    // A row was double-clicked or Enter was pressed on it: its line, counted from 1.
    void lineChosen(int line);
    // A text for the frame's status bar: the folders a run's models were read from.
    void statusMessage(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void refreshCounts();
    void showResult();
    // "Посчитать ..." as the check and the runs leave it, and never while any computation runs.
    void setCalculateEnabled(bool enabled);
    void updateCalculate();

    axolite::language::NetworkRecord& record_;
    const axolite::platform::FolderSettings* folders_ = nullptr;
    QString descriptionFolder_;
    axolite::language::CheckResult check_;
    axolite::simulation::Simulation simulation_;
    TCheckRowModel* rows_ = nullptr;
    QTreeView* list_ = nullptr;
    QLabel* result_ = nullptr;
    QLabel* lines_ = nullptr;
    QLabel* errors_ = nullptr;
    QLabel* warnings_ = nullptr;
    QLabel* currentLine_ = nullptr;
    QPushButton* calculate_ = nullptr;
    QTimer refresh_;
    QPointer<TCalculationProgress> progress_;
    bool canCalculate_ = true;
    bool running_ = false;
    bool closeWhenIdle_ = false;
    bool checked_ = false;
    bool lastRunCompleted_ = false;
};
