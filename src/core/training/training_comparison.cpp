// Independent training runs on several threads.
#include "core/training/training_comparison.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace axolite::training {

namespace {

// The stop request of a comparison as a run's "Прервать ".
class StopRequest final : public Progress {
public:
    explicit StopRequest(const ComparisonControl& control) : control_(control) {}
    bool cancelRequested() const override { return control_.stop.load(std::memory_order_relaxed); }

private:
    const ComparisonControl& control_;
};

// Counts a run's iterations into the control as they end, and the rest of them when it ends.
void followProgress(TrainingCallbacks& callbacks, ComparisonControl& control, long long& counted) {
    callbacks.iterationDone = [&control, &counted](const TrainingStatus&) {
        ++counted;
        control.iterationsDone.fetch_add(1, std::memory_order_relaxed);
    };
}

ComparedResult runOne(const LayerConfiguration& configuration, const ComparedRun& run,
                      ComparisonControl* control) {
    ComparedResult result;
    NetworkTrainer trainer(run.seed);
    TrainingParameters parameters = run.parameters;
    parameters.meanSquaredError = true;
    TrainingCallbacks callbacks;
    std::optional<StopRequest> stop;
    long long counted = 0;
    if (control != nullptr) {
        stop.emplace(*control);
        callbacks.progress = &*stop;
        followProgress(callbacks, *control, counted);
    }
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
        result.interrupted = trainer.train(configuration, parameters, callbacks).interrupted;
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
    if (control != nullptr) {
        control->iterationsDone.fetch_add(std::max(0LL, run.parameters.iterations - counted),
                                          std::memory_order_relaxed);
        control->runsDone.fetch_add(1, std::memory_order_release);
    }
    return result;
}

// A run the stop came before.
ComparedResult notStarted(const ComparedRun& run, ComparisonControl& control) {
    ComparedResult result;
    result.interrupted = true;
    control.iterationsDone.fetch_add(run.parameters.iterations, std::memory_order_relaxed);
    control.runsDone.fetch_add(1, std::memory_order_release);
    return result;
}

} // namespace

long long totalIterations(const std::vector<ComparedRun>& runs) {
    long long total = 0;
    for (const ComparedRun& run : runs) {
        total += run.parameters.iterations;
    }
    return total;
}

std::vector<ComparedResult> runComparison(const LayerConfiguration& configuration,
                                          const std::vector<ComparedRun>& runs, int threads,
                                          ComparisonControl* control) {
    std::vector<ComparedResult> results(runs.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < runs.size(); i = next++) {
            const bool stopped = control != nullptr && control->stop.load();
            results[i] =
                stopped ? notStarted(runs[i], *control) : runOne(configuration, runs[i], control);
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

std::vector<ComparedRun> sweepRuns(const std::vector<ComparedVariant>& variants, int seeds) {
    std::vector<ComparedRun> runs;
    for (const ComparedVariant& variant : variants) {
        for (int s = 0; s < seeds; ++s) {
            runs.push_back(
                {variant.label, variant.parameters, variant.seed + static_cast<std::uint32_t>(s)});
        }
    }
    return runs;
}

namespace {

std::string sweepSuffix(int seeds) {
    return seeds > 1 ? " (среднее по " + std::to_string(seeds) + ", ±σ)" : "";
}

} // namespace

std::vector<VariantCurves> variantCurves(const std::vector<ComparedVariant>& variants, int seeds,
                                         const std::vector<ComparedResult>& results) {
    std::vector<VariantCurves> curves;
    for (std::size_t v = 0; v < variants.size(); ++v) {
        std::vector<std::vector<double>> errors;
        std::vector<std::vector<double>> norms;
        for (std::size_t s = 0; s < static_cast<std::size_t>(seeds); ++s) {
            const ComparedResult& r = results.at(v * static_cast<std::size_t>(seeds) + s);
            errors.push_back(r.errors);
            if (!r.norms.empty()) {
                norms.emplace_back(r.norms.begin(), r.norms.end());
            }
        }
        const std::string& label = variants[v].label;
        curves.push_back({(label.empty() ? "Ошибка" : label) + sweepSuffix(seeds),
                          (label.empty() ? "Норма" : label + ", норма") + sweepSuffix(seeds),
                          meanCurve(errors), meanCurve(norms)});
    }
    return curves;
}

std::string variantLabel(const TrainingParameters& parameters, std::optional<std::uint32_t> seed) {
    // The legend is narrower than the methods' names: the word that tells them apart.
    static const char* const kShortNames[] = {"online", "randomized", "Hebbian", "competitive"};
    std::string label = kShortNames[static_cast<int>(parameters.method) & 3];
    label += ", η=" + parameters.learningRate;
    if (seed) {
        label += ", " + std::to_string(*seed);
    }
    return label;
}

} // namespace axolite::training
