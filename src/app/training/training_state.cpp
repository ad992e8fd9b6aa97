// The training dialog's shared state.
#include "app/training/training_state.h"

#include "core/training/training_lint.h"

namespace axolite::training_ui {

void TrainingState::beginRun(std::uint32_t seed, int iterations) {
    lastSeed_ = seed;
    curve_.norms.clear();
    curve_.norms.reserve(static_cast<std::size_t>(iterations));
    curve_.errors.clear();
    curve_.iterations = iterations;
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
        lastRun_.settings.inputLayer = "1";
        lastRun_.settings.outputLayer = "1";
        lastRun_.settings.hiddenKind = "sigmoid";
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
