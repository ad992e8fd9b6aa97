// The training history: the stride within the byte limit, the networks it answers against runs
// stopped there, and branches against runs continued in memory, bit for bit.
#include "core/training/network_trainer.h"
#include "core/training/training_history.h"

#include "layer_shapes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace axolite;
using namespace axolite::training;

namespace {

// Patterns in the text form, so no files are needed: P rows of values in −1 … 1.
std::string patternText(int count, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += std::to_string(value(engine)) + "\n";
    }
    return text;
}

TrainingParameters parameters(TrainingMethod method, int iterations, const std::string& rate) {
    TrainingParameters p;
    p.patterns = 7;
    p.iterations = iterations;
    p.inputText = patternText(7 * 3, 1);
    p.targetText = patternText(7 * 2, 2);
    p.method = method;
    p.learningRate = rate;
    p.stopAtLocalMinimum = false;
    return p;
}

const LayerConfiguration kShape = shape(3, {5, 4}, 2);

// Weights and biases of layers 1 … L−1, bit for bit.
::testing::AssertionResult sameParameters(const LayeredNetwork& a, const LayeredNetwork& b) {
    if (a.layerCount() != b.layerCount()) {
        return ::testing::AssertionFailure() << "layer counts differ";
    }
    for (int l = 1; l < a.layerCount(); ++l) {
        for (int i = 0; i < a.layerSize(l); ++i) {
            const LayerNeuron& x = a.neuron(l, i);
            const LayerNeuron& y = b.neuron(l, i);
            if (std::memcmp(&x.bias, &y.bias, sizeof x.bias) != 0 ||
                std::memcmp(x.weights.data(), y.weights.data(), sizeof x.weights) != 0) {
                return ::testing::AssertionFailure() << "layer " << l << ", neuron " << i;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// A byte limit that gives this shape's 54 weights and biases a stride of 3 over 10 iterations.
std::size_t limitForStrideThree() {
    const std::size_t snapshot = 54 * sizeof(float) + sizeof(RandomSource) + sizeof(int);
    return snapshot * 5; // 10 / 3 + 2 = 5 networks
}

NetworkTrainer trainedWithHistory(TrainingHistory& history, const TrainingParameters& p) {
    NetworkTrainer trainer(7);
    TrainingCallbacks callbacks;
    callbacks.history = &history;
    trainer.train(kShape, p, callbacks);
    return trainer;
}

} // namespace

TEST(TrainingHistoryStride, SmallestStrideThatStaysUnderTheLimit) {
    for (int iterations : {1, 5000, 17000, 30000}) {
        for (long long parameters : {47LL, 1026LL, 3762LL}) {
            const int k = TrainingHistory::strideFor(parameters, parameters, iterations);
            ASSERT_GE(k, 1);
            const auto bytes = [&](int stride) {
                return static_cast<double>(iterations / stride + 2) *
                       static_cast<double>(parameters * 4 + sizeof(RandomSource) + sizeof(int));
            };
            EXPECT_LE(bytes(k), static_cast<double>(TrainingHistory::kByteLimit));
            if (k > 1) {
                EXPECT_GT(bytes(k - 1), static_cast<double>(TrainingHistory::kByteLimit));
            }
        }
    }
    // The largest network of the dialog over the most iterations needs every second one.
    EXPECT_EQ(TrainingHistory::strideFor(3564, 3762, 30000), 2);
    EXPECT_EQ(TrainingHistory::strideFor(100001, 100001, 10), 0);
    EXPECT_EQ(TrainingHistory::strideFor(100000, 100100, 10), 1);
}

TEST(TrainingHistory, KeepsEveryStrideThLastAndStartAndAnswersTheirNetworks) {
    for (TrainingMethod method :
         {TrainingMethod::BackPropagationOnline, TrainingMethod::BackPropagationRandomized}) {
        TrainingHistory history(limitForStrideThree());
        const NetworkTrainer trainer = trainedWithHistory(history, parameters(method, 10, "0.3"));
        EXPECT_EQ(history.stride(), 3);
        EXPECT_EQ(history.iterations(), (std::vector<int>{0, 3, 6, 9, 10}));
        EXPECT_EQ(history.nearestKept(5), 6);
        EXPECT_EQ(history.nearestKept(4), 3);
        EXPECT_THROW(history.networkAt(5), AxoliteError);
        EXPECT_TRUE(sameParameters(history.networkAt(0), trainer.initialNetwork()));
        EXPECT_TRUE(sameParameters(history.networkAt(10), trainer.network()));
        // The list's rows of the last network are the trainer's own.
        const auto rows = resultRowsOf(history.networkAt(10), trainer.rows());
        ASSERT_EQ(rows.size(), trainer.rows().size());
        for (std::size_t p = 0; p < rows.size(); ++p) {
            EXPECT_EQ(responseColumnText(rows[p]), responseColumnText(trainer.rows()[p]));
            EXPECT_EQ(errorColumnText(rows[p]), errorColumnText(trainer.rows()[p]));
            EXPECT_EQ(rows[p].marker, trainer.rows()[p].marker);
        }
        // A run stopped after 6 iterations ends with the network kept at 6, and its rows.
        TrainingHistory shorter;
        const NetworkTrainer six = trainedWithHistory(shorter, parameters(method, 6, "0.3"));
        EXPECT_TRUE(sameParameters(history.networkAt(6), six.network()));
        EXPECT_EQ(inputColumnText(resultRowsOf(history.networkAt(6), trainer.rows())[2]),
                  inputColumnText(six.rows()[2]));
        EXPECT_EQ(responseColumnText(resultRowsOf(history.networkAt(6), trainer.rows())[2]),
                  responseColumnText(six.rows()[2]));
        EXPECT_NE(history.summary().find("каждая 3-я итерация"), std::string::npos);
    }
}

// A branch from a kept iteration k equals a run of k iterations (same seed and settings)
// continued in memory with the branch's settings: for k a multiple of the stride and for the
// last iteration, which is not.
TEST(TrainingBranch, EqualsTheRunStoppedThereAndContinuedInMemory) {
    for (TrainingMethod method :
         {TrainingMethod::BackPropagationOnline, TrainingMethod::BackPropagationRandomized}) {
        TrainingHistory history(limitForStrideThree());
        trainedWithHistory(history, parameters(method, 10, "0.3"));
        for (int k : {6, 10}) {
            SCOPED_TRACE(std::string(trainingMethodName(method)) + ", k " + std::to_string(k));
            const TrainingParameters branchSettings = parameters(method, 4, "0.1");

            NetworkTrainer branch(7);
            branch.setBranchPoint(history.branchPoint(k, true));
            TrainingHistory branchHistory;
            TrainingCallbacks callbacks;
            callbacks.history = &branchHistory;
            branch.train(kShape, branchSettings, callbacks);

            NetworkTrainer memory(7);
            memory.train(kShape, parameters(method, k, "0.3"));
            memory.setBranchPoint(BranchPoint{k, memory.network(), memory.generator()});
            memory.train(kShape, branchSettings);

            EXPECT_TRUE(sameParameters(branch.network(), memory.network()));
            EXPECT_EQ(responseColumnText(branch.rows()[3]), responseColumnText(memory.rows()[3]));
            // The branch's history counts on from k.
            EXPECT_EQ(branchHistory.iterations().front(), k);
            EXPECT_EQ(branchHistory.iterations().back(), k + 4);
        }
        // With the same settings, a branch from 6 for the 4 iterations left is the original run.
        NetworkTrainer whole(7);
        whole.train(kShape, parameters(method, 10, "0.3"));
        NetworkTrainer rest(99);
        rest.setBranchPoint(history.branchPoint(6, true));
        rest.train(kShape, parameters(method, 4, "0.3"));
        EXPECT_TRUE(sameParameters(rest.network(), whole.network()));
    }
}

TEST(TrainingBranch, AGeneratorLeftBehindSeedsAfreshAndOtherLayersAreRefused) {
    TrainingHistory history;
    trainedWithHistory(history, parameters(TrainingMethod::BackPropagationRandomized, 5, "0.3"));
    // Without the generator the branch draws from its own seed: as a run from that network.
    NetworkTrainer reseeded(3);
    reseeded.setBranchPoint(history.branchPoint(2, false));
    reseeded.train(kShape, parameters(TrainingMethod::BackPropagationRandomized, 3, "0.3"));
    NetworkTrainer started(3);
    started.setStartNetwork(history.networkAt(2));
    started.train(kShape, parameters(TrainingMethod::BackPropagationRandomized, 3, "0.3"));
    EXPECT_TRUE(sameParameters(reseeded.network(), started.network()));

    NetworkTrainer other(3);
    other.setBranchPoint(history.branchPoint(2, true));
    EXPECT_THROW(
        other.train(shape(3, {4}, 2), parameters(TrainingMethod::BackPropagationOnline, 2, "0.3")),
        AxoliteError);
}

TEST(TrainingHistory, ARunWithoutItIsUntouchedAndARefusedHebbianRunKeepsNone) {
    NetworkTrainer plain(7);
    plain.train(kShape, parameters(TrainingMethod::BackPropagationRandomized, 8, "0.3"));
    TrainingHistory history;
    const NetworkTrainer kept = trainedWithHistory(
        history, parameters(TrainingMethod::BackPropagationRandomized, 8, "0.3"));
    EXPECT_TRUE(sameParameters(plain.network(), kept.network()));

    TrainingParameters hebbian = parameters(TrainingMethod::Hebbian, 3, "0.3");
    trainedWithHistory(history, hebbian);
    EXPECT_TRUE(history.empty());
    EXPECT_EQ(history.summary(), "");
}
