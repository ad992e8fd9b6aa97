// Runs compared side by side: the same seed gives the same initial weights whatever the settings,
// every run's curve is that of the run made alone, on any number of threads; the mean curve.
#include "core/training/training_comparison.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using namespace axolite::training;

namespace {

TrainingParameters xorParameters(TrainingMethod method, const std::string& rate) {
    TrainingParameters p;
    p.patterns = 4;
    p.iterations = 60;
    p.inputText = formatPatternValues({0, 0, 0, 1, 1, 0, 1, 1});
    p.targetText = formatPatternValues({0.1, 0.9, 0.9, 0.1});
    p.method = method;
    p.learningRate = rate;
    return p;
}

LayerConfiguration xorLayers() {
    LayerConfiguration c;
    c.inputNeurons = 2;
    c.hiddenLayers = 1;
    c.hiddenNeurons[0] = 4;
    c.hiddenEnsembles[0] = 1;
    c.outputTransfer = TransferCode::Sigmoid;
    return c;
}

bool sameWeights(const LayeredNetwork& a, const LayeredNetwork& b) {
    for (int l = 0; l < a.layerCount(); ++l) {
        for (int i = 0; i < a.layerSize(l); ++i) {
            if (std::memcmp(&a.neuron(l, i).weights, &b.neuron(l, i).weights,
                            sizeof a.neuron(l, i).weights) != 0 ||
                std::memcmp(&a.neuron(l, i).bias, &b.neuron(l, i).bias, sizeof(float)) != 0) {
                return false;
            }
        }
    }
    return a.layerCount() == b.layerCount();
}

} // namespace

TEST(TrainingComparison, RunsEqualSeparateRunsFromIdenticalWeights) {
    std::vector<ComparedRun> runs;
    for (const auto method :
         {TrainingMethod::BackPropagationOnline, TrainingMethod::BackPropagationRandomized}) {
        for (const char* rate : {"0.1", "0.5"}) {
            runs.push_back({rate, xorParameters(method, rate), 9});
        }
    }
    runs.push_back({"other seed", xorParameters(TrainingMethod::BackPropagationOnline, "0.1"), 10});
    const auto alone = runComparison(xorLayers(), runs, 1);
    const auto together = runComparison(xorLayers(), runs, 2);
    ASSERT_EQ(together.size(), runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        // One run by itself, as the training page makes it.
        NetworkTrainer single(runs[i].seed);
        std::vector<double> errors;
        TrainingCallbacks callbacks;
        callbacks.errorComputed = [&](int, double e) { errors.push_back(e); };
        TrainingParameters p = runs[i].parameters;
        p.meanSquaredError = true;
        single.train(xorLayers(), p, callbacks);
        EXPECT_EQ(together[i].errors, errors) << runs[i].label;
        EXPECT_EQ(alone[i].errors, errors) << runs[i].label;
        EXPECT_EQ(together[i].iterations, 60);
        EXPECT_TRUE(sameWeights(together[i].finalNetwork, single.network()));
        EXPECT_TRUE(sameWeights(together[i].initialNetwork, together[0].initialNetwork) ==
                    (runs[i].seed == runs[0].seed));
    }
}

TEST(TrainingComparison, RefusedRunsAreReportedNotThrown) {
    const auto results = runComparison(
        xorLayers(), {{"bad", xorParameters(TrainingMethod::BackPropagationOnline, "nan"), 1}}, 2);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].refusal.has_value());
    EXPECT_FALSE(results[0].finalError.has_value());
}

TEST(TrainingComparison, MeanCurveOverTheCurvesThatReachAnIteration) {
    const MeanCurve curve = meanCurve({{1.0, 2.0, 5.0}, {3.0, 4.0}});
    EXPECT_EQ(curve.mean, (std::vector<double>{2.0, 3.0, 5.0}));
    EXPECT_EQ(curve.deviation, (std::vector<double>{1.0, 1.0, 0.0}));
}

TEST(TrainingComparison, AControlWithoutStopLeavesTheRunsAsTheyWereAndCountsThem) {
    const std::vector<ComparedRun> runs = {
        {"a", xorParameters(TrainingMethod::BackPropagationOnline, "0.25"), 3},
        {"b", xorParameters(TrainingMethod::BackPropagationRandomized, "0.5"), 4}};
    ComparisonControl control;
    const auto followed = runComparison(xorLayers(), runs, 2, &control);
    const auto plain = runComparison(xorLayers(), runs, 1);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(followed[i].errors, plain[i].errors);
        EXPECT_EQ(followed[i].norms, plain[i].norms);
        EXPECT_FALSE(followed[i].interrupted);
    }
    EXPECT_EQ(control.iterationsDone.load(), totalIterations(runs));
    EXPECT_EQ(control.runsDone.load(), 2);
}

TEST(TrainingComparison, AStopEndsTheRunsInHandAndSkipsTheRest) {
    std::vector<ComparedRun> runs;
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        TrainingParameters p = xorParameters(TrainingMethod::BackPropagationOnline, "0.25");
        p.iterations = 30000;
        runs.push_back({"", p, seed});
    }
    ComparisonControl control;
    std::thread user([&] {
        while (control.iterationsDone.load() < 5) {
            std::this_thread::yield();
        }
        control.stop = true;
    });
    const auto results = runComparison(xorLayers(), runs, 2, &control);
    user.join();
    for (const ComparedResult& r : results) {
        EXPECT_TRUE(r.interrupted);
        EXPECT_LT(r.iterations, 30000);
        EXPECT_EQ(r.errors.size(), static_cast<std::size_t>(r.iterations));
    }
    EXPECT_EQ(results.back().iterations, 0); // never started
    EXPECT_EQ(control.iterationsDone.load(), totalIterations(runs));
    EXPECT_EQ(control.runsDone.load(), 6);
}

TEST(TrainingComparison, SweepCurvesAreTheMeansOfEachVariantsRuns) {
    const std::vector<ComparedVariant> variants = {
        {"", xorParameters(TrainingMethod::BackPropagationOnline, "0.25"), 5},
        {"x", xorParameters(TrainingMethod::BackPropagationOnline, "0.5"), 20}};
    const auto runs = sweepRuns(variants, 3);
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[2].seed, 7u);
    EXPECT_EQ(runs[3].seed, 20u);
    EXPECT_EQ(runs[4].parameters.learningRate, "0.5");
    const auto results = runComparison(xorLayers(), runs, 2);
    const auto curves = variantCurves(variants, 3, results);
    ASSERT_EQ(curves.size(), 2u);
    EXPECT_EQ(curves[1].errors.mean,
              meanCurve({results[3].errors, results[4].errors, results[5].errors}).mean);
    EXPECT_EQ(curves[0].errorName, "Ошибка (среднее по 3, ±σ)");
    EXPECT_EQ(curves[1].normName, "x, норма (среднее по 3, ±σ)");
    // 2 inputs, 1 output: this network has no norm.
    EXPECT_TRUE(curves[0].norms.mean.empty());
}
