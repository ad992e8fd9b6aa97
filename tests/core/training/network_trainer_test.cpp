// The training command: refusals in their order, the four methods, status, norm and local
// minimum, cancellation, the results list, and the packed kernel against the reference loop.
#include "core/training/network_trainer.h"
#include "core/training/reference_training.h"

#include "layer_shapes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

using namespace axolite;
using namespace axolite::training;

namespace {

struct Files {
    test::TempDir dir;
    std::string input;
    std::string target;
    Files(const std::vector<double>& in, const std::vector<double>& out) {
        input = (dir / "in.ptn").string();
        target = (dir / "out.ptn").string();
        writePatternFile(input, in);
        writePatternFile(target, out);
    }
    TrainingParameters parameters(int patterns, int iterations, TrainingMethod method,
                                  const std::string& rate = "0.25") const {
        TrainingParameters p;
        p.patterns = patterns;
        p.iterations = iterations;
        p.inputFile = input;
        p.targetFile = target;
        p.method = method;
        p.learningRate = rate;
        p.stopAtLocalMinimum = false;
        return p;
    }
};

std::string refusalOf(NetworkTrainer& trainer, const LayerConfiguration& c,
                      const TrainingParameters& p, MessageKind expectedKind) {
    try {
        trainer.train(c, p);
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), expectedKind) << e.text();
        return e.text();
    }
    return "no refusal";
}

class CancelAfter : public Progress {
public:
    explicit CancelAfter(int polls) : remaining_(polls) {}
    void poll() override { --remaining_; }
    bool cancelRequested() const override { return remaining_ <= 0; }
    void setPercent(int percent) override { lastPercent = percent; }
    int lastPercent = -1;

private:
    int remaining_;
};

std::vector<double> randomValues(std::size_t count, unsigned seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> values(count);
    for (double& v : values) {
        v = value(engine);
    }
    return values;
}

} // namespace

TEST(TrainingCommand, RefusesInTheOrderOfItsChecks) {
    Files files({1.0}, {1.0});
    NetworkTrainer trainer(1);
    const LayerConfiguration c = shape(1, {}, 1);
    auto p = files.parameters(1, 1, TrainingMethod::BackPropagationOnline);

    // P is checked before T; both must lie in the fields' range 1 … 30000, so a large count is
    // refused before anything is allocated.
    const std::string wrongP = "Число эталонных образов введено неверно.";
    const std::string wrongT = "Число итераций обучения введено неверно.";
    const struct {
        int patterns;
        int iterations;
        const std::string& message;
    } counts[] = {{0, 0, wrongP},     {1, 0, wrongT},          {1, 30001, wrongT},
                  {30001, 1, wrongP}, {1000000000, 1, wrongP}, {-1, 1, wrongP}};
    for (const auto& count : counts) {
        p.patterns = count.patterns;
        p.iterations = count.iterations;
        EXPECT_EQ(refusalOf(trainer, c, p, MessageKind::Error), count.message)
            << count.patterns << " " << count.iterations;
    }
    p.patterns = 1;
    EXPECT_TRUE(trainer.network().empty()); // nothing built yet
    p.iterations = 1;
    p.learningRate = "1e39";
    p.inputFile.clear();
    EXPECT_EQ(refusalOf(trainer, c, p, MessageKind::Information),
              "Величина приращения весов межнейронных связей введена неверно.");
    EXPECT_FALSE(trainer.network().empty()); // rebuilt before the rate was checked
    EXPECT_FALSE(trainer.trained());
    p.learningRate = "0.1";
    EXPECT_EQ(refusalOf(trainer, c, p, MessageKind::Information),
              "Файл входных эталонных образов не определен.");
    p.inputFile = files.input;
    p.targetFile.clear();
    EXPECT_EQ(refusalOf(trainer, c, p, MessageKind::Information),
              "Файл выходных эталонных образов не определен.");
    // The unsupervised methods read no targets.
    p.method = TrainingMethod::Hebbian;
    EXPECT_NO_THROW(trainer.train(c, p));

    LayerConfiguration ensembles = shape(1, {10}, 1);
    ensembles.hiddenEnsembles[0] = 3;
    p.method = TrainingMethod::Competitive;
    EXPECT_EQ(refusalOf(trainer, ensembles, p, MessageKind::Information),
              "Число нейронных ансамблей для 1-го скрытого слоя введено неверно.");
    p.method = TrainingMethod::BackPropagationOnline;
    p.targetFile = files.target;
    EXPECT_NO_THROW(trainer.train(ensembles, p)); // other methods ignore the ensembles
}

TEST(TrainingCommand, ShortPatternFilesWarnAndTrainOnZeros) {
    Files files({1.0}, {});
    NetworkTrainer trainer(1);
    std::vector<Message> shown;
    TrainingCallbacks callbacks;
    callbacks.notify = [&](const Message& m) { shown.push_back(m); };
    const auto outcome = trainer.train(
        shape(2, {}, 1), files.parameters(2, 3, TrainingMethod::BackPropagationOnline), callbacks);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Некоторые эталонные образы пропущены, они будут приняты равными 0.0");
    EXPECT_EQ(shown[1].text, "Некоторые эталонные образы пропущены. Они будут приняты равными 0.0");
    EXPECT_EQ(outcome.warnings, shown);
    ASSERT_EQ(trainer.rows().size(), 2u);
    EXPECT_EQ(trainer.rows()[1].input, (std::vector<float>{0.0f, 0.0f}));
    EXPECT_EQ(trainer.rows()[1].target, (std::vector<float>{0.0f}));
}

TEST(TrainingCommand, AFullRunShowsTheLastIterationPatternAndPercent) {
    Files files({0.1, 0.2, 0.3, 0.4, 0.5, 0.6}, {0.2, 0.4, 0.6});
    for (auto method : {TrainingMethod::BackPropagationOnline, TrainingMethod::Hebbian,
                        TrainingMethod::Competitive}) {
        NetworkTrainer trainer(9);
        CancelAfter never(1 << 30);
        TrainingCallbacks callbacks;
        callbacks.progress = &never;
        const auto outcome =
            trainer.train(shape(2, {}, 1), files.parameters(3, 7, method), callbacks);
        EXPECT_FALSE(outcome.interrupted);
        EXPECT_EQ(trainer.status().lastIteration, 6);
        EXPECT_EQ(trainer.status().lastPattern, 2);
        EXPECT_EQ(trainer.status().percent, 6 * 100 / 7);
        EXPECT_EQ(never.lastPercent, 85);
        EXPECT_TRUE(trainer.trained());
        EXPECT_EQ(trainer.rows().size(), 3u);
    }
}

TEST(TrainingCommand, RandomizedOrderNeverDrawsTheLastPattern) {
    Files files({0.1, 0.2, 0.3}, {0.1, 0.2, 0.3});
    for (int patterns : {1, 2}) {
        NetworkTrainer trainer(11);
        TrainingCallbacks callbacks;
        std::vector<int> seen;
        callbacks.iterationDone = [&](const TrainingStatus& s) { seen.push_back(s.lastPattern); };
        trainer.train(shape(1, {}, 1),
                      files.parameters(patterns, 20, TrainingMethod::BackPropagationRandomized),
                      callbacks);
        ASSERT_EQ(seen.size(), 20u);
        for (int p : seen) {
            EXPECT_EQ(p, 0) << "P = " << patterns;
        }
    }
}

TEST(TrainingNorm, ShownOnTheFirstIterationWithItsFormula) {
    Files files({0.5, 0.25}, {0.75, 0.3});
    NetworkTrainer trainer(21);
    std::vector<std::string> norms;
    TrainingCallbacks callbacks;
    callbacks.iterationDone = [&](const TrainingStatus& s) { norms.push_back(s.normText); };
    trainer.train(shape(1, {}, 1), files.parameters(2, 1, TrainingMethod::BackPropagationOnline),
                  callbacks);

    // The same presentations through the reference loop; the norm compares every output with the
    // last target value of each pattern and the response to the pattern presented last.
    RandomSource random(21);
    LayeredNetwork n = LayeredNetwork::build(shape(1, {}, 1), random);
    const float in[2] = {0.5f, 0.25f};
    const float out[2] = {0.75f, 0.3f};
    referenceBackPropagation(n, &in[0], &out[0], 0.25f);
    referenceBackPropagation(n, &in[1], &out[1], 0.25f);
    const float y = n.neuron(1, 0).activity;
    float expected = 0.0f;
    for (float t : out) {
        expected = expected + std::sqrt((((t - y) * (t - y)) / 2.0f) * 1.0f);
    }
    ASSERT_EQ(norms.size(), 1u);
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(expected));
    EXPECT_EQ(norms[0], text);
    ASSERT_TRUE(trainer.status().norm);
    EXPECT_EQ(*trainer.status().norm, expected);
}

TEST(TrainingNorm, DifferentLayerSizesNeverShowANorm) {
    Files files({0.5, 0.25}, {0.75, 0.3});
    NetworkTrainer trainer(21);
    int asked = 0;
    TrainingCallbacks callbacks;
    callbacks.askStopAtLocalMinimum = [&] { return ++asked, true; };
    auto p = files.parameters(1, 5, TrainingMethod::BackPropagationOnline, "0");
    p.stopAtLocalMinimum = true;
    trainer.train(shape(2, {}, 1), p, callbacks);
    EXPECT_EQ(trainer.status().normText, "Недоступна");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(trainer.status().lastIteration, 4);
}

TEST(TrainingNorm, EqualNormsAskAtALocalMinimum) {
    Files files({0.5}, {0.75});
    auto p = files.parameters(1, 6, TrainingMethod::BackPropagationOnline, "0"); // weights stay
    p.stopAtLocalMinimum = true;
    {
        NetworkTrainer trainer(3);
        int asked = 0;
        TrainingCallbacks callbacks;
        callbacks.askStopAtLocalMinimum = [&] { return ++asked, true; };
        const auto outcome = trainer.train(shape(1, {}, 1), p, callbacks);
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(outcome.stoppedAtLocalMinimum);
        EXPECT_FALSE(outcome.interrupted);
        EXPECT_EQ(trainer.status().lastIteration, 1);
        EXPECT_EQ(trainer.rows().size(), 1u);
    }
    {
        NetworkTrainer trainer(3);
        int asked = 0;
        TrainingCallbacks callbacks;
        callbacks.askStopAtLocalMinimum = [&] { return ++asked, false; };
        const auto outcome = trainer.train(shape(1, {}, 1), p, callbacks);
        EXPECT_EQ(asked, 5);
        EXPECT_FALSE(outcome.stoppedAtLocalMinimum);
        EXPECT_EQ(trainer.status().lastIteration, 5);
    }
    {
        NetworkTrainer trainer(3);
        p.stopAtLocalMinimum = false;
        TrainingCallbacks callbacks;
        callbacks.askStopAtLocalMinimum = [] {
            ADD_FAILURE() << "asked with the check box off";
            return true;
        };
        trainer.train(shape(1, {}, 1), p, callbacks);
        EXPECT_EQ(trainer.status().lastIteration, 5);
    }
    // A rate that is no number is 0.
    NetworkTrainer trainer(3);
    p.learningRate = "abc";
    trainer.train(shape(1, {}, 1), p);
    RandomSource random(3);
    EXPECT_EQ(trainer.network().neuron(1, 0).weights,
              LayeredNetwork::build(shape(1, {}, 1), random).neuron(1, 0).weights);
}

TEST(TrainingCancel, StopsAfterTheIterationEvenWithTheLargestCounts) {
    const std::vector<double> values(30000, 0.5);
    Files files(values, values);
    NetworkTrainer trainer(1);
    CancelAfter cancel(1);
    TrainingCallbacks callbacks;
    callbacks.progress = &cancel;
    const auto outcome = trainer.train(
        shape(1, {}, 1), files.parameters(30000, 30000, TrainingMethod::BackPropagationOnline),
        callbacks);
    EXPECT_TRUE(outcome.interrupted);
    EXPECT_EQ(trainer.status().lastIteration, 0);
    EXPECT_EQ(trainer.status().lastPattern, 29999);
    EXPECT_EQ(trainer.rows().size(), 30000u); // the partly trained network is listed
}

TEST(HebbianMethod, RefusesHiddenLayersAndStillListsTheResults) {
    Files files({1.0, 0.0}, {});
    NetworkTrainer trainer(1);
    std::vector<Message> shown;
    TrainingCallbacks callbacks;
    callbacks.notify = [&](const Message& m) { shown.push_back(m); };
    const auto outcome =
        trainer.train(shape(1, {3}, 1), files.parameters(2, 5, TrainingMethod::Hebbian), callbacks);
    EXPECT_TRUE(outcome.interrupted);
    ASSERT_TRUE(outcome.refusal);
    EXPECT_EQ(outcome.refusal->kind, MessageKind::Warning);
    EXPECT_EQ(outcome.refusal->text,
              "Должны быть сформированы только и входной и выходной слои сети.");
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(trainer.status().lastIteration, -1);
    ASSERT_EQ(trainer.rows().size(), 2u);
    EXPECT_TRUE(trainer.rows()[0].target.empty());
    EXPECT_EQ(trainer.rows()[0].marker, RowMarker::None);
}

TEST(HebbianMethod, HalvesEveryWeightOnceOneGrowsPastTen) {
    Files files({1.0, 1.0, 0.0, 1.0}, {});
    const LayerConfiguration c = shape(2, {}, 3);
    NetworkTrainer trainer(4);
    int iterations = 0;
    TrainingCallbacks callbacks;
    callbacks.iterationDone = [&](const TrainingStatus&) { ++iterations; };
    trainer.train(c, files.parameters(2, 8, TrainingMethod::Hebbian, "3"), callbacks);
    EXPECT_EQ(iterations, 8);

    RandomSource random(4);
    LayeredNetwork n = LayeredNetwork::build(c, random);
    const float patterns[2][2] = {{1.0f, 1.0f}, {0.0f, 1.0f}};
    bool halved = false;
    for (int t = 0; t < 8; ++t) {
        for (const auto& pattern : patterns) {
            n.setInputs(pattern);
            n.forwardPass();
            const float before = n.neuron(1, 0).weights[1];
            referenceHebbianUpdate(n, 3.0f);
            halved = halved || n.neuron(1, 0).weights[1] < before;
            for (int i = 0; i < 3; ++i) {
                EXPECT_LE(n.neuron(1, i).weights[0], 10.0f);
                EXPECT_LE(n.neuron(1, i).weights[1], 10.0f);
            }
        }
    }
    EXPECT_TRUE(halved);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(trainer.network().neuron(1, i).weights, n.neuron(1, i).weights);
        EXPECT_EQ(trainer.network().neuron(1, i).bias, n.neuron(1, i).bias); // never changed
    }
}

TEST(CompetitiveMethod, OnlyTheWinnersWeightsFromActiveInputsGrow) {
    Files files({1.0, 0.0, 1.0}, {});
    const LayerConfiguration c = shape(3, {}, 4);
    NetworkTrainer trainer(8);
    trainer.train(c, files.parameters(1, 1, TrainingMethod::Competitive, "0.5"));
    RandomSource random(8);
    LayeredNetwork n = LayeredNetwork::build(c, random);
    const float pattern[3] = {1.0f, 0.0f, 1.0f};
    n.setInputs(pattern);
    n.forwardPass();
    n.competeLayer(1, 4);
    int winners = 0;
    for (int i = 0; i < 4; ++i) {
        const bool winner = n.neuron(1, i).activity == 1.0f;
        winners += winner ? 1 : 0;
        for (int k = 0; k < 3; ++k) {
            const float before = n.neuron(1, i).weights[k];
            const float after = trainer.network().neuron(1, i).weights[k];
            EXPECT_EQ(after, winner && pattern[k] > 0.0f ? before + 0.5f : before);
        }
    }
    EXPECT_EQ(winners, 1);
}

TEST(ResultsList, FormatsColumnsAndMarksRows) {
    ResultRow row;
    row.input = {1.0f, 2.5f};
    row.target = {0.5f};
    row.response = {0.25f};
    row.error = {12.345f, -0.5f, NAN};
    EXPECT_EQ(inputColumnText(row), " 1 2.5");
    EXPECT_EQ(targetColumnText(row), "  0.5");
    EXPECT_EQ(responseColumnText(row), "  0.25");
    EXPECT_EQ(errorColumnText(row), "    12.3%    -0.5%     nan%");
}

TEST(ResultsList, ZeroOrNaNResponsesAreMarkedYellow) {
    // A step output neuron gives exactly 0.0 for a negative sum.
    Files files({-100.0, 100.0, 1.0}, {1.0, 1.05, 1.0});
    NetworkTrainer trainer(2);
    trainer.train(shape(1, {}, 1, TransferCode::Step),
                  files.parameters(3, 1, TrainingMethod::BackPropagationOnline, "0"));
    const auto& rows = trainer.rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].response[0], 0.0f);
    EXPECT_TRUE(std::isinf(rows[0].error[0]));
    EXPECT_EQ(rows[0].marker, RowMarker::Yellow);
    EXPECT_EQ(rows[1].response[0], 1.0f);
    EXPECT_EQ(rows[1].marker, RowMarker::Violet); // 5 %
    EXPECT_EQ(rows[2].marker, RowMarker::Violet);

    // A response of 0 for a target of 0: 0 / 0, shown as printf shows a NaN without a sign.
    Files zero({-100.0}, {0.0});
    NetworkTrainer third(2);
    third.train(shape(1, {}, 1, TransferCode::Step),
                zero.parameters(1, 1, TrainingMethod::BackPropagationOnline, "0"));
    ASSERT_EQ(third.rows().size(), 1u);
    EXPECT_EQ(third.rows()[0].response[0], 0.0f);
    EXPECT_EQ(errorColumnText(third.rows()[0]), "     nan%");
    EXPECT_EQ(third.rows()[0].marker, RowMarker::Yellow);

    Files nan({NAN}, {1.0});
    NetworkTrainer second(2);
    second.train(shape(1, {}, 1), nan.parameters(1, 1, TrainingMethod::BackPropagationOnline));
    EXPECT_EQ(second.rows()[0].marker, RowMarker::Yellow);
}

// The packed kernel used by the command must give bit for bit the weights of the plain loop.
TEST(TrainingKernel, MatchesTheReferenceLoopBitForBit) {
    struct Case {
        LayerConfiguration configuration;
        TransferCode hidden;
        const char* rate = "0.3";
    };
    const std::vector<Case> cases = {
        {shape(18, {18, 18}, 18), TransferCode::Sigmoid},
        {shape(2, {10}, 1), TransferCode::Sigmoid},
        {shape(3, {7, 5, 4}, 2, TransferCode::Sigmoid), TransferCode::Linear},
        {shape(4, {6}, 3, TransferCode::Gaussian), TransferCode::Sigmoid},
        {shape(5, {}, 5, TransferCode::Step), TransferCode::Sigmoid},
        // Layers of one and two neurons (each summed over a row of its own) before and after
        // wider ones, and every number of blocks of four neurons.
        {shape(4, {2, 5}, 3), TransferCode::Sigmoid},
        {shape(16, {13, 1, 9}, 15, TransferCode::Gaussian), TransferCode::Sigmoid},
        {shape(1, {2}, 17), TransferCode::Linear},
        // A rate that drives the weights to infinities and NaN: the lanes past the last neuron
        // must still never reach a neuron's result.
        {shape(3, {9, 6}, 2), TransferCode::Sigmoid, "1e30"},
    };
    for (Case c : cases) {
        c.configuration.hiddenTransfer = c.hidden;
        const int nIn = c.configuration.inputNeurons;
        const int nOut = c.configuration.outputNeurons;
        const int patterns = 37;
        Files files(randomValues(static_cast<std::size_t>(patterns * nIn), 1),
                    randomValues(static_cast<std::size_t>(patterns * nOut), 2));
        NetworkTrainer trainer(77);
        trainer.train(c.configuration,
                      files.parameters(patterns, 5, TrainingMethod::BackPropagationOnline, c.rate));

        RandomSource random(77);
        LayeredNetwork n = LayeredNetwork::build(c.configuration, random);
        const auto in = readPatternFile(files.input, patterns, nIn, PatternRole::Input).table;
        const auto out = readPatternFile(files.target, patterns, nOut, PatternRole::Target).table;
        for (int t = 0; t < 5; ++t) {
            for (int p = 0; p < patterns; ++p) {
                referenceBackPropagation(n, in.row(p), out.row(p), std::strtof(c.rate, nullptr));
            }
        }
        // Bit for bit, except that a NaN may come out with either sign (which one the
        // processor gives depends on the order of operands the compiler chose).
        const auto same = [](float a, float b) {
            return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
        };
        int nans = 0;
        for (int l = 1; l < n.layerCount(); ++l) {
            for (int i = 0; i < n.layerSize(l); ++i) {
                const LayerNeuron& a = trainer.network().neuron(l, i);
                const LayerNeuron& b = n.neuron(l, i);
                for (int k = 0; k < kMaxLayerNeurons; ++k) {
                    EXPECT_TRUE(same(a.weights[k], b.weights[k]))
                        << "layer " << l << " neuron " << i << " weight " << k;
                    nans += std::isnan(b.weights[k]) ? 1 : 0;
                }
                EXPECT_TRUE(same(a.bias, b.bias)) << "layer " << l << " neuron " << i;
            }
        }
        EXPECT_EQ(nans > 0, std::string(c.rate) == "1e30");
    }
}

// Layer 1 of every width: the Hebbian update reaches its weights in whichever order the kernel
// keeps them, halving included.
TEST(HebbianMethod, EveryWidthFollowsTheReferenceUpdate) {
    for (int outputs : {1, 2, 3, 6}) {
        Files files(randomValues(12, 5), {});
        const LayerConfiguration c = shape(3, {}, outputs);
        NetworkTrainer trainer(6);
        trainer.train(c, files.parameters(4, 6, TrainingMethod::Hebbian, "2.5"));
        RandomSource random(6);
        LayeredNetwork n = LayeredNetwork::build(c, random);
        const auto in = readPatternFile(files.input, 4, 3, PatternRole::Input).table;
        for (int t = 0; t < 6; ++t) {
            for (int p = 0; p < 4; ++p) {
                n.setInputs(in.row(p));
                n.forwardPass();
                referenceHebbianUpdate(n, 2.5f);
            }
        }
        for (int i = 0; i < outputs; ++i) {
            EXPECT_EQ(trainer.network().neuron(1, i).weights, n.neuron(1, i).weights) << outputs;
        }
    }
}

// One presentation worked through by the rules of the update, neuron by neuron: the output error
// term of a sigmoid neuron, the hidden error term from the output weight as it was before the
// update, then biases and weights.
TEST(BackPropagationUpdate, FollowsTheRulesForOnePresentation) {
    Files files({0.75}, {0.2});
    LayerConfiguration c = shape(1, {1}, 1, TransferCode::Sigmoid);
    NetworkTrainer trainer(13);
    trainer.train(c, files.parameters(1, 1, TrainingMethod::BackPropagationOnline, "0.5"));

    RandomSource random(13);
    const LayeredNetwork start = LayeredNetwork::build(c, random);
    const float x = 0.75f;
    const float t = 0.2f;
    const float eta = 0.5f;
    const float b1 = start.neuron(1, 0).bias;
    const float w1 = start.neuron(1, 0).weights[0];
    const float b2 = start.neuron(2, 0).bias;
    const float w2 = start.neuron(2, 0).weights[0];
    const float a1 = 1.0f / (1.0f + std::exp(-(b1 + x * w1)));
    const float a2 = 1.0f / (1.0f + std::exp(-(b2 + a1 * w2)));
    const float d2 = (1.0f - a2) * ((t - a2) * a2);
    const float d1 = (1.0f - a1) * ((d2 * w2) * a1);

    const LayeredNetwork& trained = trainer.network();
    EXPECT_EQ(trained.neuron(2, 0).bias, b2 + eta * d2);
    EXPECT_EQ(trained.neuron(2, 0).weights[0], w2 + eta * (d2 * a1));
    EXPECT_EQ(trained.neuron(1, 0).bias, b1 + eta * d1);
    EXPECT_EQ(trained.neuron(1, 0).weights[0], w1 + eta * (d1 * x));
    EXPECT_NE(trained.neuron(1, 0).weights[0], w1);
    // The input neuron keeps its bias and has no weights.
    EXPECT_EQ(trained.neuron(0, 0).bias, -3.0f);
}

// The randomized order restarts the generator when the method starts and draws r mod (P − 1).
TEST(BackPropagationRandomized, DrawsFromAFreshlySeededGeneratorModuloPMinusOne) {
    Files files({0.1, 0.2, 0.3}, {0.1, 0.2, 0.3});
    NetworkTrainer trainer(29);
    std::vector<int> seen;
    TrainingCallbacks callbacks;
    callbacks.iterationDone = [&](const TrainingStatus& s) { seen.push_back(s.lastPattern); };
    trainer.train(shape(1, {}, 1),
                  files.parameters(3, 12, TrainingMethod::BackPropagationRandomized), callbacks);
    std::minstd_rand draws(29);
    ASSERT_EQ(seen.size(), 12u);
    for (int t = 0; t < 12; ++t) {
        int last = -1;
        for (int q = 0; q < 3; ++q) {
            last = static_cast<int>(draws() % 2u);
        }
        EXPECT_EQ(seen[t], last) << "iteration " << t;
    }
}

// Hidden layer of 6 neurons in 2 ensembles: ensembles of 3 neurons, one winner each; only the
// winners' weights from active inputs grow, and nothing beyond layer 1 changes.
TEST(CompetitiveMethod, HiddenEnsemblesHoldLayerSizeOverCountNeurons) {
    Files files({1.0, 0.0}, {});
    LayerConfiguration c = shape(2, {6}, 2);
    c.hiddenEnsembles[0] = 2;
    NetworkTrainer trainer(31);
    trainer.train(c, files.parameters(1, 1, TrainingMethod::Competitive, "0.5"));

    RandomSource random(31);
    LayeredNetwork n = LayeredNetwork::build(c, random);
    const LayeredNetwork start = n;
    const float pattern[2] = {1.0f, 0.0f};
    n.setInputs(pattern);
    n.forwardLayer(1);
    std::vector<int> winners;
    for (int first : {0, 3}) {
        int winner = first;
        for (int i = first + 1; i < first + 3; ++i) {
            if (n.neuron(1, i).activity > n.neuron(1, winner).activity) {
                winner = i;
            }
        }
        winners.push_back(winner);
    }
    for (int i = 0; i < 6; ++i) {
        const bool winner = i == winners[0] || i == winners[1];
        const LayerNeuron& before = start.neuron(1, i);
        const LayerNeuron& after = trainer.network().neuron(1, i);
        EXPECT_EQ(after.weights[0], winner ? before.weights[0] + 0.5f : before.weights[0]) << i;
        EXPECT_EQ(after.weights[1], before.weights[1]) << i; // inactive input
        EXPECT_EQ(after.bias, before.bias);
    }
    for (int s = 0; s < 2; ++s) {
        EXPECT_EQ(trainer.network().neuron(2, s).weights, start.neuron(2, s).weights);
        EXPECT_EQ(trainer.network().neuron(2, s).bias, start.neuron(2, s).bias);
    }
}

TEST(TrainingCommand, ARefusedRunKeepsTheListButHasReplacedTheNetwork) {
    Files files({0.5, 0.25}, {0.75, 0.3});
    NetworkTrainer trainer(6);
    auto p = files.parameters(2, 3, TrainingMethod::BackPropagationOnline);
    trainer.train(shape(1, {}, 1), p);
    const std::vector<ResultRow> rows = trainer.rows();
    ASSERT_EQ(rows.size(), 2u);

    // The input file is read before the ensemble counts are checked.
    LayerConfiguration wider = shape(1, {4}, 1);
    wider.hiddenEnsembles[0] = 3;
    p.method = TrainingMethod::Competitive;
    p.inputFile.clear();
    EXPECT_EQ(refusalOf(trainer, wider, p, MessageKind::Information),
              "Файл входных эталонных образов не определен.");
    p.inputFile = files.input;
    EXPECT_EQ(refusalOf(trainer, wider, p, MessageKind::Information),
              "Число нейронных ансамблей для 1-го скрытого слоя введено неверно.");

    EXPECT_EQ(trainer.network().layerCount(), 3); // rebuilt from the new configuration
    EXPECT_TRUE(trainer.trained());
    ASSERT_EQ(trainer.rows().size(), rows.size());
    EXPECT_EQ(trainer.rows()[1].response, rows[1].response);
    EXPECT_EQ(trainer.lastMethod(), TrainingMethod::BackPropagationOnline);
}

TEST(TrainingCallbacks, EveryNormReachesTheCurveAndStartComesAfterTheChecks) {
    Files files({0.5}, {0.75});
    auto p = files.parameters(1, 4, TrainingMethod::BackPropagationOnline, "0"); // equal norms
    NetworkTrainer trainer(5);
    std::vector<std::pair<int, float>> curve;
    int started = 0;
    TrainingCallbacks callbacks;
    callbacks.normComputed = [&](int t, float norm) { curve.emplace_back(t, norm); };
    callbacks.started = [&] { ++started; };
    trainer.train(shape(1, {}, 1), p, callbacks);
    EXPECT_EQ(started, 1);
    // Equal norms are not shown again, but each iteration's norm is reported.
    ASSERT_EQ(curve.size(), 4u);
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(curve[t].first, t);
        EXPECT_EQ(curve[t].second, *trainer.status().norm);
    }
    // Different layer sizes compute no norm; a refused run never starts.
    curve.clear();
    trainer.train(shape(1, {}, 2), files.parameters(1, 4, TrainingMethod::BackPropagationOnline),
                  callbacks);
    EXPECT_TRUE(curve.empty());
    p.learningRate = "1e99";
    EXPECT_THROW(trainer.train(shape(1, {}, 1), p, callbacks), AxoliteError);
    EXPECT_EQ(started, 2);
}

TEST(TrainingSeed, ASeedSetLaterRepeatsTheRunOfATrainerBuiltWithIt) {
    Files files(randomValues(8, 1), randomValues(8, 2));
    const auto p = files.parameters(4, 20, TrainingMethod::BackPropagationRandomized);
    NetworkTrainer built(77);
    built.train(shape(2, {3}, 2), p);
    NetworkTrainer later;
    later.setSeed(77);
    later.train(shape(2, {3}, 2), p);
    for (int l = 1; l < 3; ++l) {
        for (int i = 0; i < built.network().layerSize(l); ++i) {
            EXPECT_EQ(later.network().neuron(l, i).weights, built.network().neuron(l, i).weights);
            EXPECT_EQ(later.network().neuron(l, i).bias, built.network().neuron(l, i).bias);
        }
    }
}

// The error pass answers every pattern with the iteration's weights and changes nothing of the
// training: the same seed gives the same network, norms and results with it and without it, and
// the last error is the one of the results list's responses.
TEST(TrainingError, AnExtraPassThatLeavesTheTrainingBitIdentical) {
    for (const auto method :
         {TrainingMethod::BackPropagationOnline, TrainingMethod::BackPropagationRandomized}) {
        Files files(randomValues(12, 3), randomValues(12, 4));
        auto p = files.parameters(4, 30, method);
        std::vector<float> plainNorms;
        TrainingCallbacks plainCallbacks;
        plainCallbacks.normComputed = [&](int, float norm) { plainNorms.push_back(norm); };
        NetworkTrainer plain(11);
        plain.train(shape(3, {5}, 3), p, plainCallbacks);

        p.meanSquaredError = true;
        std::vector<float> norms;
        std::vector<double> errors;
        TrainingCallbacks callbacks;
        callbacks.normComputed = [&](int, float norm) { norms.push_back(norm); };
        callbacks.errorComputed = [&](int t, double error) {
            EXPECT_EQ(t, static_cast<int>(errors.size()));
            errors.push_back(error);
        };
        NetworkTrainer measured(11);
        measured.train(shape(3, {5}, 3), p, callbacks);

        EXPECT_EQ(norms, plainNorms);
        ASSERT_EQ(errors.size(), 30u);
        for (int l = 1; l < 3; ++l) {
            for (int i = 0; i < plain.network().layerSize(l); ++i) {
                EXPECT_EQ(measured.network().neuron(l, i).weights,
                          plain.network().neuron(l, i).weights);
                EXPECT_EQ(measured.network().neuron(l, i).bias, plain.network().neuron(l, i).bias);
            }
        }
        double sum = 0.0;
        for (std::size_t r = 0; r < measured.rows().size(); ++r) {
            EXPECT_EQ(measured.rows()[r].response, plain.rows()[r].response);
            for (std::size_t s = 0; s < 3; ++s) {
                const double d = static_cast<double>(measured.rows()[r].target[s]) -
                                 static_cast<double>(measured.rows()[r].response[s]);
                sum += d * d;
            }
        }
        EXPECT_DOUBLE_EQ(errors.back(), sum / 12.0);
    }
}
