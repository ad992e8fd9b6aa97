// The training dialog's shared state.
#include "app/training/training_state.h"

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

} // namespace axolite::training_ui
