// Explaining one value: the explanation's numbers are the run's own (bit for bit, at every neuron
// and step of a network with every kind, wait counts and external inputs), its lines name the
// entries that set each weight, model and wait count, and a value outside the run is refused.
#include "core/simulation/explain.h"

#include "core/simulation/simulation.h"

#include "simulation_fixture.h"
#include "test_support.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace axolite;
using namespace axolite::simulation;
using axolite::test::lexAndAccept;
using axolite::test::TempDir;
using axolite::test::writeDefaultModel;
using axolite::test::writeModelFile;

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct SimulatedRun {
    TempDir models;
    language::NetworkRecord record;
    language::CheckResult check;
    Simulation simulation;

    explicit SimulatedRun(const std::string& text, bool withInputs = false) {
        writeDefaultModel(models.path());
        writeModelFile(models / "1.neu", "Линейная",
                       {{"ID", "1"}, {"Y1", "2"}, {"X1", "-3"}, {"Xt", "0.05"}});
        writeModelFile(models / "250.neu", "Ступенчатая",
                       {{"ID", "250"}, {"Y1", "1"}, {"X1", "0.1"}});
        writeModelFile(models / "450.neu", "Сигмовидная",
                       {{"ID", "450"}, {"Y1", "1.5"}, {"X1", "-100"}, {"Xt", "-0.5"}});
        writeModelFile(models / "650.neu", "Гауссова",
                       {{"ID", "650"}, {"Y1", "0.7"}, {"X1", "-100"}, {"Xt", "-0.2"}});
        check = lexAndAccept(record, text);
        platform::FolderSettings folders;
        folders.models = models.path().string();
        folders.set = true;
        simulation.prepare(record, check);
        if (withInputs) {
            std::mt19937 random(7);
            std::uniform_real_distribution<double> value(-0.5, 0.5);
            for (std::int32_t i = 0; i < record.externalInput.steps(); ++i) {
                for (std::int32_t n = 0; n < record.externalInput.neurons(); ++n) {
                    record.externalInput.at(n, i) = value(random);
                }
            }
        }
        SilentProgress silent;
        if (simulation.run(record, check, silent, folders).outcome !=
            Simulation::Outcome::Completed) {
            throw std::runtime_error("run failed");
        }
    }
};

// Twelve neurons of all four kinds, dense random weights written in several entries (one pair
// twice, so a later weight overrides), wait counts 0, 1, 2, −1 and −2.
std::string mixedNetwork() {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> weight(-0.25, 0.25);
    std::string text = "neurons 12;\nsimtime 0, 3;\ntimestep 0.1;\n";
    text += "initstate { (neuron 1, neuron 5), 0.75; neuron 9, -0.3; }\n";
    text += "suspend { neuron 2, 1; neuron 3, 2; neuron 4, -1; neuron 6, -2; }\n";
    text += "model { (neuron 1, neuron 2, neuron 3), 1; (neuron 4, neuron 5), 250;\n";
    text += "(neuron 6, neuron 7, neuron 8), 450; (neuron 9, neuron 10), 650; }\n";
    text += "inputlayer { neuron 1; }\noutputlayer { neuron 1, weight 1; }\nnetworklayout {\n";
    for (int k = 1; k <= 12; ++k) {
        for (int j = 1; j <= 12; ++j) {
            if ((k + j) % 5 != 0) {
                text += "neuron " + std::to_string(k) + ", neuron " + std::to_string(j) +
                        ", weight " + std::to_string(weight(random)) + ";\n";
            }
        }
    }
    text += "neuron 3, neuron 1, weight 0.25;\n}\nend\n";
    return text;
}

TEST(Explain, EveryValueOfTheRunIsExplainedWithTheRunsOwnNumbers) {
    const SimulatedRun r(mixedNetwork(), true);
    int held = 0;
    int computed = 0;
    int finite = 0;
    for (std::int32_t n = 0; n < 12; ++n) {
        for (std::int32_t i = 0; i < r.record.steps; ++i) {
            const Explanation e = explainValue(r.record, r.check, r.simulation, n, i);
            const double value = r.record.activity.at(n, i);
            ASSERT_TRUE(sameBits(e.value, value)) << n << ' ' << i;
            if (e.origin == ValueOrigin::Computed) {
                ++computed;
                ASSERT_TRUE(sameBits(e.result, value)) << n << ' ' << i;
            } else if (e.origin == ValueOrigin::Held) {
                ++held;
                ASSERT_TRUE(sameBits(value, r.record.activity.at(n, i - 1))) << n << ' ' << i;
            } else {
                ASSERT_EQ(i, 0);
            }
            if (i > 0) {
                // The terms are the senders with a weight; their products add up to net.
                double sum = 0.0;
                for (const ExplanationTerm& t : e.terms) {
                    // A zero weight is shown only when its product is no number (a Gaussian
                    // that overflowed), which turns the whole sum into NaN.
                    ASSERT_TRUE(t.weight != 0.0 || std::isnan(t.product));
                    ASSERT_TRUE(sameBits(t.activity, r.record.activity.at(t.source, i - 1)));
                    ASSERT_TRUE(sameBits(t.input, r.record.externalInput.at(t.source, i - 1)));
                    sum += t.product;
                }
                if (std::isfinite(e.net)) {
                    EXPECT_NEAR(sum, e.net, 1e-12);
                    ++finite;
                }
            }
        }
    }
    EXPECT_GT(held, 0);
    EXPECT_GT(computed, 0);
    EXPECT_GT(finite, 12 * 20);
}

TEST(Explain, LinesNameTheEntriesThatSetWeightsModelsWaitsAndInitialStates) {
    const SimulatedRun r(R"(neurons 3;
simtime 0, 1;
timestep 0.25;
initstate { neuron 1, 1; }
suspend {
  neuron 2, 2;
}
model {
  (neuron 2,
   neuron 3), 450;
}
outputlayer { neuron 2, weight 1; }
networklayout {
  neuron 1, (neuron 2, neuron 3),
    weight 0.5, 0.25;
  neuron 1, neuron 2, weight 0.75;
}
end)");
    const Explanation start = explainValue(r.record, r.check, r.simulation, 0, 0);
    EXPECT_EQ(start.origin, ValueOrigin::Initial);
    EXPECT_EQ(start.initialLine, 4);
    EXPECT_EQ(explainValue(r.record, r.check, r.simulation, 1, 0).initialLine, 0);

    const Explanation held = explainValue(r.record, r.check, r.simulation, 1, 2);
    EXPECT_EQ(held.origin, ValueOrigin::Held);
    EXPECT_EQ(held.waitCount, 2);
    EXPECT_EQ(held.waitCounter, 1);
    EXPECT_EQ(held.waitLine, 6);
    EXPECT_EQ(held.modelLine, 10); // the line of the code, after the list of neurons
    EXPECT_EQ(held.code, 450);
    EXPECT_EQ(held.kind, ModelKind::Sigmoid);
    ASSERT_EQ(held.terms.size(), 1u);
    EXPECT_EQ(held.terms[0].weight, 0.75); // the later entry overrides
    EXPECT_EQ(held.terms[0].line, 16);

    const Explanation third = explainValue(r.record, r.check, r.simulation, 2, 1);
    ASSERT_EQ(third.terms.size(), 1u);
    EXPECT_EQ(third.terms[0].line, 15);
    EXPECT_EQ(third.modelLine, 10);
    EXPECT_EQ(third.waitLine, 0);
    EXPECT_EQ(explainValue(r.record, r.check, r.simulation, 1, 3).origin, ValueOrigin::Computed);
}

TEST(Explain, AValueOutsideTheRunIsRefusedWithItsMessage) {
    const SimulatedRun r(R"(neurons 2;
simtime 0, 1;
timestep 0.25;
outputlayer { neuron 2, weight 1; }
networklayout { neuron 1, neuron 2, weight 0.5; }
end)");
    const auto refusal = [&](std::int64_t neuron, std::int64_t step) {
        try {
            explainValue(r.record, r.check, r.simulation, neuron, step);
        } catch (const AxoliteError& e) {
            return e.message().text;
        }
        return std::string("no refusal");
    };
    EXPECT_EQ(refusal(2, 1), "Нейрон 3 отсутствует в сети: нейроны от 1 до 2.");
    EXPECT_EQ(refusal(-1, 1), "Нейрон 0 отсутствует в сети: нейроны от 1 до 2.");
    EXPECT_EQ(refusal(0, 4), "Шаг 4 вне интервала моделирования: шаги от 0 до 3.");
    EXPECT_EQ(refusal(0, -1), "Шаг -1 вне интервала моделирования: шаги от 0 до 3.");
    language::NetworkRecord edited = r.record;
    edited.simulated = 0; // a key pressed in the editor
    EXPECT_THROW(explainValue(edited, r.check, r.simulation, 0, 1), AxoliteError);
}

TEST(Explain, TheTransferCaseNamesTheBranchTaken) {
    const ModelParameters p{1, 2, -3, 0.05};
    EXPECT_EQ(transferCaseText(ModelKind::Linear, p, -4), "net < X1: 0");
    EXPECT_EQ(transferCaseText(ModelKind::Linear, p, 2), "net >= Y1: Y1");
    EXPECT_EQ(transferCaseText(ModelKind::Linear, p, -2.5), "net <= -Y1: -Y1");
    EXPECT_EQ(transferCaseText(ModelKind::Linear, p, 1), "net + Xt");
    EXPECT_EQ(transferCaseText(ModelKind::Step, p, 0), "net >= X1: Y1");
}

} // namespace
