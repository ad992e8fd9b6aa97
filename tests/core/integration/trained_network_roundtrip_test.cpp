// A trained layered network written as a description: the checker accepts it without an error,
// and simulating it with the input pattern held as external input on the input neurons gives the
// trained network's response after L − 1 steps.
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/simulation/simulation.h"
#include "core/training/network_description.h"
#include "core/training/network_trainer.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace axolite;
using namespace axolite::training;

namespace {

LayerConfiguration shape(int inputs, std::vector<int> hidden, int outputs, TransferCode hiddenKind,
                         TransferCode outputKind) {
    LayerConfiguration c;
    c.inputNeurons = inputs;
    c.hiddenLayers = static_cast<int>(hidden.size());
    for (std::size_t h = 0; h < hidden.size(); ++h) {
        c.hiddenNeurons[h] = hidden[h];
    }
    c.hiddenTransfer = hiddenKind;
    c.outputNeurons = outputs;
    c.outputTransfer = outputKind;
    return c;
}

std::vector<double> patternValues(int patterns, int width, double scale) {
    std::vector<double> values;
    for (int p = 0; p < patterns; ++p) {
        for (int j = 0; j < width; ++j) {
            values.push_back(scale * std::sin(0.7 * p + 1.3 * j + 0.2));
        }
    }
    return values;
}

// Checks and simulates the description in folder/net.net with the inputs held constant;
// returns the output series at step L − 1.
std::vector<double> simulate(const test::TempDir& folder, int layers,
                             const std::vector<float>& inputs, language::CheckResult& check) {
    const auto text = language::readDescriptionFile(folder / "net.net");
    EXPECT_TRUE(text);
    language::NetworkRecord record;
    EXPECT_FALSE(language::lexDescription(*text, record));
    check = language::checkDescription(record);
    if (!check.correct) {
        return {};
    }
    simulation::Simulation simulation;
    simulation.prepare(record, check);
    for (int i = 0; i < simulation.steps(); ++i) {
        for (std::size_t k = 0; k < inputs.size(); ++k) {
            record.externalInput.at(static_cast<std::int32_t>(k), i) = inputs[k];
        }
    }
    platform::FolderSettings folders;
    folders.models = platform::utf8FromPath(folder.path());
    folders.set = true;
    SilentProgress progress;
    const auto result = simulation.run(record, check, progress, folders);
    EXPECT_EQ(result.outcome, simulation::Simulation::Outcome::Completed)
        << (result.message ? result.message->text : "");
    std::vector<double> outputs;
    for (int k = 0; k < 4; ++k) {
        if (record.networkPresent[k] && static_cast<int>(record.outputSeries[k].size()) >= layers) {
            outputs.push_back(record.outputSeries[k][layers - 1]);
        }
    }
    return outputs;
}

} // namespace

TEST(TrainedNetworkRoundTrip, DescriptionReproducesTheTrainedResponse) {
    struct Case {
        LayerConfiguration configuration;
        TrainingMethod method;
    };
    const std::vector<Case> cases = {
        {shape(2, {10}, 1, TransferCode::Sigmoid, TransferCode::Linear),
         TrainingMethod::BackPropagationOnline},
        {shape(3, {4, 5}, 2, TransferCode::Sigmoid, TransferCode::Sigmoid),
         TrainingMethod::BackPropagationRandomized},
        {shape(2, {3}, 2, TransferCode::Linear, TransferCode::Linear),
         TrainingMethod::BackPropagationOnline},
        {shape(4, {}, 6, TransferCode::Sigmoid, TransferCode::Sigmoid),
         TrainingMethod::BackPropagationOnline},
    };
    for (const Case& c : cases) {
        const int nIn = c.configuration.inputNeurons;
        const int nOut = c.configuration.outputNeurons;
        const int patterns = 8;
        test::TempDir folder;
        writePatternFile((folder / "in.ptn").string(), patternValues(patterns, nIn, 1.0));
        writePatternFile((folder / "out.ptn").string(), patternValues(patterns, nOut, 0.4));
        TrainingParameters parameters;
        parameters.patterns = patterns;
        parameters.iterations = 50;
        parameters.inputFile = (folder / "in.ptn").string();
        parameters.targetFile = (folder / "out.ptn").string();
        parameters.method = c.method;
        parameters.learningRate = "0.1";
        parameters.stopAtLocalMinimum = false;
        NetworkTrainer trainer(1234);
        trainer.train(c.configuration, parameters);
        writeDescription(trainer.network(), folder / "net.net");

        const int layers = trainer.network().layerCount();
        for (int p = 0; p < patterns; ++p) {
            const std::vector<float>& inputs = trainer.rows()[p].input;
            language::CheckResult check;
            const auto simulated = simulate(folder, layers, inputs, check);
            ASSERT_TRUE(check.correct);
            EXPECT_EQ(check.errors(), 0);
            for (const auto& row : check.rows) {
                EXPECT_EQ(row.kind, language::RowKind::Warning) << row.text;
            }
            const auto expected = investigate(trainer.network(), inputs);
            ASSERT_EQ(simulated.size(), static_cast<std::size_t>(std::min(nOut, 4)));
            for (std::size_t s = 0; s < simulated.size(); ++s) {
                EXPECT_NEAR(simulated[s], expected[s], 1e-3 * (1.0 + std::fabs(expected[s])))
                    << "pattern " << p << " output " << s;
            }
        }
    }
}

TEST(TrainedNetworkRoundTrip, StepOutputsKeepTheirThreshold) {
    test::TempDir folder;
    writePatternFile((folder / "in.ptn").string(), {0.0, 1.0, 1.0, 0.0, 1.0, 1.0, 0.0, 0.0});
    writePatternFile((folder / "out.ptn").string(), {1.0, 1.0, 1.0, 0.0});
    TrainingParameters parameters;
    parameters.patterns = 4;
    parameters.iterations = 20;
    parameters.inputFile = (folder / "in.ptn").string();
    parameters.targetFile = (folder / "out.ptn").string();
    parameters.learningRate = "0.25";
    parameters.stopAtLocalMinimum = false;
    NetworkTrainer trainer(5);
    trainer.train(shape(2, {}, 1, TransferCode::Sigmoid, TransferCode::Step), parameters);
    writeDescription(trainer.network(), folder / "net.net");
    for (int p = 0; p < 4; ++p) {
        const auto& inputs = trainer.rows()[p].input;
        language::CheckResult check;
        const auto simulated = simulate(folder, 2, inputs, check);
        ASSERT_TRUE(check.correct);
        ASSERT_EQ(simulated.size(), 1u);
        EXPECT_EQ(simulated[0], investigate(trainer.network(), inputs)[0]) << p;
    }
}
