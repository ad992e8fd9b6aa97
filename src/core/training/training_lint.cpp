// The training lint's rules.
#include "core/training/training_lint.h"

#include "core/common/number_text.h"

#include <cmath>
#include <cstddef>

namespace axolite::training {

namespace {

// saturated-units: a response within this distance of 0 or 1 is at a limit ...
constexpr float kSaturationMargin = 0.02f;
// ... and a neuron is saturated when more than this share of its responses are.
constexpr double kSaturatedShare = 0.9;
// ... unless the run has learnt: a last mean squared error at or below this.
constexpr double kLearntError = 0.01;
// hebbian-runaway: the norm (and the single weight, where the update halves) called runaway.
constexpr double kRunawayNorm = 10.0;
// oscillating-error: at least kReversals reversals within kWindow consecutive changes, each
// change larger than kSignificantChange × the error before it.
constexpr int kWindow = 10;
constexpr int kReversals = 6;
constexpr double kSignificantChange = 1e-3;
// growing-error: the iteration compared with iteration 0.
constexpr int kEarlyIteration = 3;

std::string help(const std::string& rule) {
    return "training-lint.html#" + rule;
}

std::string number(double value) {
    return formatNumber("%g", value);
}

bool isBackPropagation(TrainingMethod method) {
    return method == TrainingMethod::BackPropagationOnline ||
           method == TrainingMethod::BackPropagationRandomized;
}

// "нейрон 3", "нейроны 1, 4": neurons counted from 1 within their layer.
std::string neuronList(const std::vector<int>& neurons) {
    std::string text = neurons.size() == 1 ? "нейрон " : "нейроны ";
    for (std::size_t i = 0; i < neurons.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(neurons[i] + 1);
    }
    return text;
}

// The error of every iteration: the mean squared error, else the norm.
std::vector<double> errorSeries(const std::vector<float>& norms,
                                const std::vector<double>& errors) {
    if (!errors.empty()) {
        return errors;
    }
    return {norms.begin(), norms.end()};
}

void saturatedUnits(const NetworkTrainer& trainer, double lastError, int last,
                    std::vector<LintWarning>& warnings) {
    if (!(lastError > kLearntError) || trainer.rows().empty()) {
        return;
    }
    LayeredNetwork network = trainer.network();
    const int layers = network.layerCount();
    // Per neuron of layers 1 … L−1: the responses at a limit.
    std::vector<std::vector<int>> atLimit(static_cast<std::size_t>(layers));
    for (int l = 1; l < layers; ++l) {
        atLimit[l].assign(static_cast<std::size_t>(network.layerSize(l)), 0);
    }
    for (const ResultRow& row : trainer.rows()) {
        network.setInputs(row.input.data());
        network.forwardPass();
        for (int l = 1; l < layers; ++l) {
            for (int i = 0; i < network.layerSize(l); ++i) {
                const float a = network.neuron(l, i).activity;
                if (a <= kSaturationMargin || a >= 1.0f - kSaturationMargin) {
                    ++atLimit[l][i];
                }
            }
        }
    }
    const double patterns = static_cast<double>(trainer.rows().size());
    for (int l = 1; l < layers; ++l) {
        std::vector<int> saturated;
        for (int i = 0; i < network.layerSize(l); ++i) {
            if (network.neuron(l, i).transfer == TransferCode::Sigmoid &&
                atLimit[l][i] > kSaturatedShare * patterns) {
                saturated.push_back(i);
            }
        }
        if (!saturated.empty()) {
            warnings.push_back(
                {"saturated-units", last,
                 "Слой " + std::to_string(l + 1) + ": " + neuronList(saturated) +
                     " в насыщении: более 90 % откликов ближе 0.02 к 0 или 1, такие нейроны "
                     "почти не обучаются. Уменьшите скорость обучения или масштаб входных "
                     "образов.",
                 help("saturated-units")});
        }
    }
}

void neverWon(const NetworkTrainer& trainer, const TrainingTrace& trace, int last,
              std::vector<LintWarning>& warnings) {
    const LayeredNetwork& network = trainer.network();
    for (int l = 1; l < network.layerCount(); ++l) {
        if (static_cast<std::size_t>(l) >= trace.wins.size() || trace.wins[l].empty()) {
            continue;
        }
        std::vector<int> losers;
        for (std::size_t i = 0; i < trace.wins[l].size(); ++i) {
            if (trace.wins[l][i] == 0) {
                losers.push_back(static_cast<int>(i));
            }
        }
        if (!losers.empty()) {
            warnings.push_back({"competitive-never-won", last,
                                "Слой " + std::to_string(l + 1) + ": " + neuronList(losers) +
                                    " ни разу не победили в конкуренции и не обучались. "
                                    "Проверьте число ансамблей и разнообразие образов.",
                                help("competitive-never-won")});
        }
    }
}

void hebbianRunaway(const TrainingTrace& trace, std::vector<LintWarning>& warnings) {
    int first = trace.firstHalving;
    for (std::size_t t = 0; t < trace.weightNorms.size(); ++t) {
        if (!(trace.weightNorms[t] <= kRunawayNorm)) {
            if (first < 0 || static_cast<int>(t) < first) {
                first = static_cast<int>(t);
            }
            break;
        }
    }
    if (first >= 0) {
        warnings.push_back({"hebbian-runaway", first,
                            "Веса связей входного слоя растут без ограничения (норма весов "
                            "превысила 10 или веса были уменьшены вдвое). Уменьшите скорость "
                            "обучения или число итераций.",
                            help("hebbian-runaway")});
    }
}

// The direction of the change from iteration t − 1 to t: +1, −1, or 0 when it is too small.
int direction(const std::vector<double>& error, std::size_t t) {
    const double change = error[t] - error[t - 1];
    if (!std::isfinite(change) ||
        std::fabs(change) <= kSignificantChange * std::fabs(error[t - 1])) {
        return 0;
    }
    return change > 0.0 ? 1 : -1;
}

void oscillating(const std::vector<double>& error, std::vector<LintWarning>& warnings) {
    // reversal[t]: the change into t reversed the one into t − 1.
    std::vector<int> reversal(error.size(), 0);
    for (std::size_t t = 2; t < error.size(); ++t) {
        const int before = direction(error, t - 1);
        const int now = direction(error, t);
        reversal[t] = before != 0 && now != 0 && before != now ? 1 : 0;
    }
    int inWindow = 0;
    for (std::size_t t = 2; t < error.size(); ++t) {
        inWindow += reversal[t];
        // The window of kWindow changes into t − kWindow + 1 … t holds kWindow − 1 reversals.
        if (t >= static_cast<std::size_t>(kWindow)) {
            inWindow -= reversal[t - kWindow + 1];
        }
        if (inWindow >= kReversals) {
            warnings.push_back({"oscillating-error", static_cast<int>(t),
                                "Ошибка колеблется: за последние " + std::to_string(kWindow) +
                                    " итераций она " + std::to_string(inWindow) +
                                    " раз меняла направление. Уменьшите скорость обучения.",
                                help("oscillating-error")});
            return;
        }
    }
}

void growing(const std::vector<double>& error, std::vector<LintWarning>& warnings) {
    if (error.size() <= static_cast<std::size_t>(kEarlyIteration)) {
        return;
    }
    const double start = error[0];
    const double early = error[kEarlyIteration];
    if (early <= start || !std::isfinite(start)) {
        return; // also a NaN at iteration 0: nothing to compare with
    }
    int first = kEarlyIteration;
    for (int t = 1; t <= kEarlyIteration; ++t) {
        if (!(error[t] <= start)) {
            first = t;
            break;
        }
    }
    warnings.push_back({"growing-error", first,
                        "Ошибка растет с первых итераций: " + number(start) + " на итерации 0, " +
                            number(early) + " на итерации " + std::to_string(kEarlyIteration) +
                            ". Скорость обучения слишком велика, уменьшите ее.",
                        help("growing-error")});
}

} // namespace

void observeTraining(TrainingCallbacks& callbacks, TrainingTrace& trace) {
    callbacks.competed = [&trace](int layer, const float* activities, int size) {
        if (trace.wins.size() <= static_cast<std::size_t>(layer)) {
            trace.wins.resize(static_cast<std::size_t>(layer) + 1);
        }
        std::vector<long long>& wins = trace.wins[layer];
        wins.resize(static_cast<std::size_t>(size), 0);
        for (int i = 0; i < size; ++i) {
            if (activities[i] == 1.0f) {
                ++wins[i];
            }
        }
    };
    callbacks.weightsUpdated = [&trace](int iteration, double norm, bool halved) {
        trace.weightNorms.resize(static_cast<std::size_t>(iteration) + 1);
        trace.weightNorms.back() = norm;
        if (halved && trace.firstHalving < 0) {
            trace.firstHalving = iteration;
        }
    };
}

std::vector<LintWarning> lintTraining(const NetworkTrainer& trainer,
                                      const std::vector<float>& norms,
                                      const std::vector<double>& errors,
                                      const TrainingTrace& trace) {
    std::vector<LintWarning> warnings;
    const int last = trainer.status().lastIteration;
    if (!trainer.trained() || last < 0) {
        return warnings;
    }
    const TrainingMethod method = trainer.lastMethod();
    if (isBackPropagation(method)) {
        const std::vector<double> error = errorSeries(norms, errors);
        const double lastError = error.empty() ? HUGE_VAL : error.back();
        saturatedUnits(trainer, lastError, last, warnings);
        oscillating(error, warnings);
        growing(error, warnings);
        return warnings;
    }
    if (method == TrainingMethod::Competitive) {
        neverWon(trainer, trace, last, warnings);
    }
    hebbianRunaway(trace, warnings);
    return warnings;
}

} // namespace axolite::training
