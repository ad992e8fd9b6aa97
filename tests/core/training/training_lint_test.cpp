// The training lint: each rule fires on a case made for it, at the iteration where the fault
// appeared, and all stay silent on the examples that train well; observing a run changes nothing.
#include "core/training/training_lint.h"

#include "layer_shapes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

using namespace axolite;
using namespace axolite::training;

namespace {

std::string exampleText(const std::string& name) {
    std::ifstream in(test::examplePath(name));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A run with its per-iteration series and trace, and its lint.
struct LintedRun {
    NetworkTrainer trainer{1};
    std::vector<float> norms;
    std::vector<double> errors;
    TrainingTrace trace;

    LintedRun(const LayerConfiguration& c, TrainingParameters p) {
        p.meanSquaredError = true;
        p.stopAtLocalMinimum = false;
        TrainingCallbacks callbacks;
        callbacks.normComputed = [this](int, float norm) { norms.push_back(norm); };
        callbacks.errorComputed = [this](int, double error) { errors.push_back(error); };
        observeTraining(callbacks, trace);
        trainer.train(c, p, callbacks);
    }
    std::vector<LintWarning> lint() const { return lintTraining(trainer, norms, errors, trace); }
    std::vector<LintWarning> lintWithErrors(const std::vector<double>& series) const {
        return lintTraining(trainer, {}, series, trace);
    }
};

TrainingParameters patterns(const std::string& input, const std::string& target, int count,
                            int iterations, TrainingMethod method, const std::string& rate) {
    return {.patterns = count,
            .iterations = iterations,
            .inputFile = "",
            .targetFile = "",
            .inputText = input,
            .targetText = target,
            .method = method,
            .learningRate = rate};
}

TrainingParameters xor4(int iterations, const std::string& rate,
                        TrainingMethod method = TrainingMethod::BackPropagationOnline) {
    return patterns(exampleText("xor_input.ptn"), exampleText("xor_target.ptn"), 4, iterations,
                    method, rate);
}

std::vector<std::string> rules(const std::vector<LintWarning>& warnings) {
    std::vector<std::string> names;
    for (const LintWarning& w : warnings) {
        names.push_back(w.rule);
        EXPECT_EQ(w.help, "training-lint.html#" + w.rule);
        EXPECT_FALSE(w.text.empty());
    }
    return names;
}

using Rules = std::vector<std::string>;

} // namespace

TEST(TrainingLint, SilentOnTheExamplesThatTrainWell) {
    const LintedRun xorRun(shape(2, {4}, 1, TransferCode::Sigmoid), xor4(3000, "0.5"));
    EXPECT_EQ(rules(xorRun.lint()), Rules{});
    const LintedRun sine(shape(1, {6}, 1),
                         patterns(exampleText("sine_input.ptn"), exampleText("sine_target.ptn"), 21,
                                  200, TrainingMethod::BackPropagationOnline, "0.2"));
    EXPECT_EQ(rules(sine.lint()), Rules{});
}

TEST(TrainingLint, ErrorRulesFireWhereTheErrorMisbehaves) {
    const LintedRun run(shape(2, {4}, 1, TransferCode::Sigmoid), xor4(20, "0.5"));
    // Up from iteration 2 on: growing, found at the first iteration above iteration 0's.
    std::vector<LintWarning> w = run.lintWithErrors({0.25, 0.24, 0.26, 0.27, 0.2});
    ASSERT_EQ(rules(w), Rules{"growing-error"});
    EXPECT_EQ(w[0].iteration, 2);
    // A diverged run (NaN from iteration 1) has grown too; a dip back below iteration 0's by
    // iteration 3 has not.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    w = run.lintWithErrors({0.25, nan, nan, nan});
    ASSERT_EQ(rules(w), Rules{"growing-error"});
    EXPECT_EQ(w[0].iteration, 1);
    EXPECT_EQ(rules(run.lintWithErrors({0.25, 0.3, 0.26, 0.24})), Rules{});

    // Up and down at every step: the sixth reversal (iteration 7) completes the window.
    std::vector<double> zigzag;
    for (int t = 0; t < 30; ++t) {
        zigzag.push_back(0.2 - 0.001 * t + (t % 2 == 0 ? 0.05 : 0.0));
    }
    w = run.lintWithErrors(zigzag);
    ASSERT_EQ(rules(w), Rules{"oscillating-error"});
    EXPECT_EQ(w[0].iteration, 7);
    // Reversals of less than 0.1 % of the error are rounding, not oscillation; five reversals
    // (the zigzag's first five, then no change) are not enough.
    std::vector<double> ripple;
    std::vector<double> few(zigzag.begin(), zigzag.begin() + 7);
    for (int t = 0; t < 30; ++t) {
        ripple.push_back(0.2 - (t % 2 == 0 ? 0.0 : 1e-5));
        if (t >= 7) {
            few.push_back(few.back());
        }
    }
    EXPECT_EQ(rules(run.lintWithErrors(ripple)), Rules{});
    EXPECT_EQ(rules(run.lintWithErrors(few)), Rules{});
}

TEST(TrainingLint, SaturatedSigmoidUnitsOfAnUnlearntNetwork) {
    // Hidden weights of 40 drive the sigmoid neurons to 0 or 1 for every pattern; rate 0 keeps
    // them there, and the linear output stays far from the targets.
    NetworkTrainer former(1);
    const LayerConfiguration c = shape(2, {3}, 1);
    former.train(c, xor4(1, "0"));
    LayeredNetwork start = former.network();
    for (int i = 0; i < 3; ++i) {
        start.neuron(1, i).weights[0] = i == 2 ? 0.0f : 40.0f;
        start.neuron(1, i).weights[1] = i == 2 ? 0.0f : 40.0f;
        start.neuron(1, i).bias = i == 2 ? 0.0f : -20.0f;
    }
    NetworkTrainer trainer(1);
    trainer.setStartNetwork(start);
    TrainingParameters p = xor4(5, "0");
    p.meanSquaredError = true;
    std::vector<double> errors;
    TrainingCallbacks callbacks;
    callbacks.errorComputed = [&](int, double e) { errors.push_back(e); };
    trainer.train(c, p, callbacks);
    const std::vector<LintWarning> w = lintTraining(trainer, {}, errors, {});
    ASSERT_EQ(rules(w), Rules{"saturated-units"});
    EXPECT_EQ(w[0].iteration, 4);
    // Neurons 1 and 2 of layer 2 (the hidden one); neuron 3 answers 0.5 and is not named.
    EXPECT_NE(w[0].text.find("Слой 2: нейроны 1, 2 "), std::string::npos) << w[0].text;
    // The same network with a learnt error is not warned about.
    EXPECT_EQ(rules(lintTraining(trainer, {}, std::vector<double>(5, 0.001), {})), Rules{});
}

TEST(TrainingLint, CompetitiveNeuronsThatNeverWon) {
    // One pattern and three output neurons in one ensemble: only one neuron can win.
    const LintedRun run(shape(2, {}, 3),
                        patterns("1 0", "", 1, 4, TrainingMethod::Competitive, "0.01"));
    const std::vector<LintWarning> w = run.lint();
    ASSERT_EQ(rules(w), Rules{"competitive-never-won"});
    EXPECT_EQ(w[0].iteration, 3);
    ASSERT_EQ(run.trace.wins.size(), 2u);
    long long total = 0;
    int winners = 0;
    for (long long wins : run.trace.wins[1]) {
        total += wins;
        winners += wins > 0 ? 1 : 0;
    }
    EXPECT_EQ(total, 4); // one competition per presentation
    EXPECT_EQ(winners, 1);
    EXPECT_NE(w[0].text.find("Слой 2: нейроны "), std::string::npos) << w[0].text;
}

TEST(TrainingLint, HebbianWeightsThatRunAway) {
    // Every presentation adds the rate to the weights of active inputs: with rate 1 one weight
    // passes 10 (and all are halved) within a few iterations.
    const LintedRun runaway(shape(2, {}, 2), xor4(12, "1", TrainingMethod::Hebbian));
    const std::vector<LintWarning> w = runaway.lint();
    ASSERT_EQ(rules(w), Rules{"hebbian-runaway"});
    ASSERT_GE(runaway.trace.firstHalving, 0);
    EXPECT_LE(w[0].iteration, runaway.trace.firstHalving);
    EXPECT_GT(runaway.trace.weightNorms[static_cast<std::size_t>(w[0].iteration)], 5.0);
    if (w[0].iteration > 0) {
        EXPECT_LE(runaway.trace.weightNorms[static_cast<std::size_t>(w[0].iteration) - 1], 10.0);
    }
    const LintedRun calm(shape(2, {}, 2), xor4(5, "0.01", TrainingMethod::Hebbian));
    EXPECT_EQ(rules(calm.lint()), Rules{});
    EXPECT_EQ(calm.trace.weightNorms.size(), 5u);
}

TEST(TrainingLint, ObservingARunLeavesItBitIdentical) {
    for (TrainingMethod method : {TrainingMethod::Competitive, TrainingMethod::Hebbian}) {
        LayerConfiguration c = shape(2, {}, 3);
        const LintedRun observed(c, xor4(30, "0.5", method));
        NetworkTrainer plain(1);
        TrainingParameters p = xor4(30, "0.5", method);
        p.stopAtLocalMinimum = false;
        plain.train(c, p);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(0, std::memcmp(&plain.network().neuron(1, i),
                                     &observed.trainer.network().neuron(1, i), sizeof(LayerNeuron)))
                << trainingMethodName(method) << " neuron " << i;
        }
    }
}
