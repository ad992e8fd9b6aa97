// The training dialog's shared state.
#include "app/training/training_state.h"

#include "core/training/training_lint.h"
#include <algorithm>

namespace axolite::training_ui {

namespace {

// The run drawn so far, kept as a curve of its own when a branch starts.
void keepCurveSoFar(TrainingCurve& curve) {
    const int first = curve.firstIteration;
    if (!curve.norms.empty()) {
        curve.compared.push_back({first > 0 ? normName(first) : QStringLiteral("Норма (обучение)"),
                                  std::vector<double>(curve.norms.begin(), curve.norms.end()),
                                  {},
                                  first,
                                  true});
    }
    if (!curve.errors.empty()) {
        curve.compared.push_back(
            {QStringLiteral("Среднеквадратичная ошибка (до ветви от %1)").arg(first),
             curve.errors,
             {},
             first,
             true});
    }
}

} // namespace

void TrainingState::requestBranch(int iteration) {
    if (running_ || !history_.kept(iteration)) {
        return;
    }
    trainer_.setBranchPoint(history_.branchPoint(iteration, true));
    branchFrom_ = iteration;
    emit branchRequested();
}

void TrainingState::endBranch() {
    trainer_.setBranchPoint(std::nullopt);
    branchFrom_.reset();
}

void TrainingState::beginRun(std::uint32_t seed, int iterations) {
    lastSeed_ = seed;
    if (branchFrom_) {
        keepCurveSoFar(curve_);
        curve_.firstIteration = *branchFrom_;
        curve_.iterations = std::max(curve_.iterations, *branchFrom_ + iterations);
    } else {
        // A fresh run: the branches of the last line go with it.
        std::erase_if(curve_.compared, [](const ComparedCurve& c) { return c.branch; });
        curve_.firstIteration = 0;
        curve_.iterations = iterations;
    }
    curve_.cursor.reset();
    curve_.norms.clear();
    curve_.norms.reserve(static_cast<std::size_t>(iterations));
    curve_.errors.clear();
    running_ = true;
    run_.emplace();
    emit runStarted();
}

void TrainingState::endRun(bool interrupted) {
    running_ = false;
    run_.reset();
    emit runEnded(interrupted);
}

void TrainingState::showResults(std::optional<std::uint32_t> seed) {
    emit resultsChanged(seed);
}

void TrainingState::setContinuation(std::optional<Continuation> continuation) {
    if (!continuation && !continuation_) {
        return;
    }
    continuation_ = std::move(continuation);
    emit continuationChanged();
}

void TrainingState::observeRun(training::TrainingCallbacks& callbacks,
                               const training::TrainingParameters& parameters, std::uint32_t seed) {
    lastRun_ = RunRecordParts{};
    lastRun_.parameters = parameters;
    lastRun_.seed = seed;
    if (settingsSource_) {
        lastRun_.settings = settingsSource_();
    }
    lastRun_.settings.lint = true;
    if (continuation_) {
        // The layers are the continued network's: the settings give only the ensembles.
        const training::RunSettings defaults;
        lastRun_.settings.inputLayer = defaults.inputLayer;
        lastRun_.settings.outputLayer = defaults.outputLayer;
        lastRun_.settings.hiddenKind = defaults.hiddenKind;
        lastRun_.settings.fromNet = continuation_->fromNet;
        lastRun_.settings.fromRecord = continuation_->fromRecord;
    }
    trainer_.setStartNetwork(continuation_ ? std::optional(continuation_->network) : std::nullopt);
    auto ask = std::move(callbacks.askStopAtLocalMinimum);
    callbacks.askStopAtLocalMinimum = [this, ask = std::move(ask)] {
        const bool yes = ask ? ask() : true;
        // The record replays the first answer at every local minimum.
        if (lastRun_.settings.localMinimum == "stop" && !answered_) {
            lastRun_.settings.localMinimum = yes ? "stop" : "continue";
        }
        answered_ = true;
        return yes;
    };
    answered_ = false;
    auto started = std::move(callbacks.started);
    callbacks.started = [this, started = std::move(started)] {
        // The continued network is taken: the following runs form their own.
        trainer_.setStartNetwork(std::nullopt);
        setContinuation(std::nullopt);
        if (started) {
            started();
        }
    };
    training::observeTraining(callbacks, lastRun_.trace);
}

void TrainingState::keepOutcome(const training::TrainingOutcome& outcome) {
    lastRun_.outcome = outcome;
    lastRun_.available = true;
    lastRun_.lint = training::lintTraining(trainer_, curve_.norms, curve_.errors, lastRun_.trace);
}

void TrainingState::restoreRun(RunRecordParts parts, std::optional<Continuation> continuation) {
    lastRun_ = std::move(parts);
    lastRun_.available = true;
    lastSeed_ = lastRun_.seed;
    setContinuation(std::move(continuation));
    emit resultsChanged(lastRun_.seed);
}

} // namespace axolite::training_ui
