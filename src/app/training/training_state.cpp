// The training dialog's shared state.
#include "app/training/training_state.h"

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

} // namespace axolite::training_ui
