// What the pages of the training dialog share: the trainer (the network, its training status and
// the results table), the curve of the last run, the seed it used, and the run in progress with
// its stop request. The pages read it and follow its signals; only the training page starts and
// ends a run.
#pragma once

#include "app/gui/computation_guard.h"
#include "core/training/network_trainer.h"
#include "core/training/training_run.h"
#include "render/training_curve_painter.h"

#include <QObject>
#include <QString>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace axolite::training_ui {

// What the experiment record of the last run needs beside the trainer and the curve.
struct RunRecordParts {
    bool available = false; // a run ended (or a record was opened) and nothing replaced it
    training::RunSettings settings;
    std::optional<std::uint32_t> seed;
    training::TrainingParameters parameters;
    training::TrainingOutcome outcome;
    training::TrainingTrace trace;
    std::vector<training::LintWarning> lint;
    nlohmann::json opened; // the record itself, when it was opened rather than run
};

// A network the next run continues (loaded from a description or a record).
struct Continuation {
    training::LayeredNetwork network;
    std::string fromNet;    // the description it came from
    std::string fromRecord; // or the record
    QString fileName;       // as the dialog names it
};

class TrainingState : public QObject {
    Q_OBJECT
public:
    explicit TrainingState(QObject* parent = nullptr) : QObject(parent) {}

    training::NetworkTrainer& trainer() { return trainer_; }
    const training::NetworkTrainer& trainer() const { return trainer_; }
    bool trained() const { return trainer_.trained(); }

    TrainingCurve& curve() { return curve_; }
    const TrainingCurve& curve() const { return curve_; }

    // The weights after every kept iteration of the last run that got past the checks.
    training::TrainingHistory& history() { return history_; }
    const training::TrainingHistory& history() const { return history_; }
    // "Продолжить отсюда": the next run is a branch from the kept iteration (its network and
    // generator), drawn as a new curve from there beside the curves so far; asks for the run.
    void requestBranch(int iteration);
    // The branch's run has ended (or was refused): runs start afresh again.
    void endBranch();
    std::optional<int> branchFrom() const { return branchFrom_; }

    // The seed of the last run that got past the checks.
    std::optional<std::uint32_t> lastSeed() const { return lastSeed_; }

    bool running() const { return running_; }
    bool stopRequested() const { return stop_; }
    // "Прервать ": the run ends after the work in hand.
    void requestStop() { stop_ = true; }

    // A run got past the checks with this seed and iteration count: the curve starts afresh.
    void beginRun(std::uint32_t seed, int iterations);
    void endRun(bool interrupted);
    // A new request is about to be checked: no stop asked for yet.
    void prepareRun() { stop_ = false; }
    // The trainer's results table holds new rows (seed: that of the run which made them).
    void showResults(std::optional<std::uint32_t> seed);

    // Where the settings of a run come from (the dialog's pages), read as the run starts.
    void setSettingsSource(std::function<training::RunSettings()> source) {
        settingsSource_ = std::move(source);
    }
    // Before a run: the network it continues, the settings, the local-minimum answers and the
    // lint's observations are taken into callbacks. Nothing of the training changes.
    void observeRun(training::TrainingCallbacks& callbacks,
                    const training::TrainingParameters& parameters, std::uint32_t seed);
    // After a run that got to its end: what its record and the lint need.
    void keepOutcome(const training::TrainingOutcome& outcome);
    const RunRecordParts& lastRun() const { return lastRun_; }
    // An opened record: its run as the dialog's last one, continued by the next run.
    void restoreRun(RunRecordParts parts, std::optional<Continuation> continuation);

    const std::optional<Continuation>& continuation() const { return continuation_; }
    void setContinuation(std::optional<Continuation> continuation);

signals:
    void runStarted();
    // After the run's last update; interrupted: stopped, refused or failed on the way.
    void runEnded(bool interrupted);
    void resultsChanged(std::optional<std::uint32_t> seed);
    // The network the next run continues was set or dropped.
    void continuationChanged();
    // A branch was asked for: the dialog runs the training page's settings from there.
    void branchRequested();

private:
    training::NetworkTrainer trainer_;
    TrainingCurve curve_;
    training::TrainingHistory history_;
    std::optional<int> branchFrom_;
    std::optional<std::uint32_t> lastSeed_;
    RunRecordParts lastRun_;
    std::optional<Continuation> continuation_;
    std::function<training::RunSettings()> settingsSource_;
    bool answered_ = false; // the local-minimum question was answered in this run
    bool running_ = false;
    bool stop_ = false;
    // Messages shown during the run do not hold it.
    std::optional<gui::RunGuard> run_;
};

} // namespace axolite::training_ui
