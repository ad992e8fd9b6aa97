// Independent training runs on several threads.
#include "core/training/training_comparison.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace axolite::training {

namespace {

ComparedResult runOne(const LayerConfiguration& configuration, const ComparedRun& run) {
    ComparedResult result;
    NetworkTrainer trainer(run.seed);
    TrainingParameters parameters = run.parameters;
    parameters.meanSquaredError = true;
    TrainingCallbacks callbacks;
    callbacks.askStopAtLocalMinimum = [] { return false; };
    callbacks.normComputed = [&result](int iteration, float norm) {
        result.norms.resize(static_cast<std::size_t>(iteration) + 1);
        result.norms.back() = norm;
    };
    callbacks.errorComputed = [&result](int iteration, double error) {
        result.errors.resize(static_cast<std::size_t>(iteration) + 1);
        result.errors.back() = error;
    };
    const auto start = std::chrono::steady_clock::now();
    try {
        trainer.train(configuration, parameters, callbacks);
        result.iterations = trainer.status().lastIteration + 1;
    } catch (const AxoliteError& refusal) {
        result.refusal = refusal.text();
    } catch (const std::exception&) {
        result.refusal = "Недостаточно памяти для обучения нейронной сети.";
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.errors.empty()) {
        result.finalError = result.errors.back();
    }
    result.initialNetwork = trainer.initialNetwork();
    result.finalNetwork = trainer.network();
    return result;
}

} // namespace

std::vector<ComparedResult> runComparison(const LayerConfiguration& configuration,
                                          const std::vector<ComparedRun>& runs, int threads) {
    std::vector<ComparedResult> results(runs.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < runs.size(); i = next++) {
            results[i] = runOne(configuration, runs[i]);
        }
    };
    const std::size_t helpers =
        std::min(runs.size(), static_cast<std::size_t>(std::max(threads, 1))) -
        (runs.empty() ? 0 : 1);
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < helpers; ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    return results;
}

MeanCurve meanCurve(const std::vector<std::vector<double>>& curves) {
    MeanCurve curve;
    std::size_t length = 0;
    for (const auto& c : curves) {
        length = std::max(length, c.size());
    }
    for (std::size_t i = 0; i < length; ++i) {
        double sum = 0.0;
        int count = 0;
        for (const auto& c : curves) {
            if (i < c.size()) {
                sum += c[i];
                ++count;
            }
        }
        const double mean = sum / count;
        double squares = 0.0;
        for (const auto& c : curves) {
            if (i < c.size()) {
                squares += (c[i] - mean) * (c[i] - mean);
            }
        }
        curve.mean.push_back(mean);
        curve.deviation.push_back(std::sqrt(squares / count));
    }
    return curve;
}

} // namespace axolite::training
