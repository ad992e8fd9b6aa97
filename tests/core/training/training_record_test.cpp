// Experiment records: a record reads back bit for bit and continues as the run in memory does,
// its settings texts give back the layers, every kind of change is named, and a file that is no
// record is refused with its reason.
#include "core/training/training_record.h"

#include "layer_shapes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace axolite;
using namespace axolite::training;

namespace {

bool sameNetwork(const LayeredNetwork& a, const LayeredNetwork& b) {
    if (a.layerCount() != b.layerCount()) {
        return false;
    }
    for (int l = 0; l < a.layerCount(); ++l) {
        if (a.layerSize(l) != b.layerSize(l)) {
            return false;
        }
        for (int i = 0; i < a.layerSize(l); ++i) {
            const LayerNeuron& x = a.neuron(l, i);
            const LayerNeuron& y = b.neuron(l, i);
            if (std::memcmp(x.weights.data(), y.weights.data(), sizeof x.weights) != 0 ||
                std::memcmp(&x.bias, &y.bias, sizeof x.bias) != 0 || x.transfer != y.transfer) {
                return false;
            }
        }
    }
    return true;
}

// The XOR example copied into a folder of its own, and a run on it.
struct XorRun {
    test::TempDir dir;
    RunSettings settings;
    TrainingRun run{7};

    explicit XorRun(const std::string& method = "randomized") {
        settings.input = (dir / "in.ptn").string();
        settings.target = (dir / "out.ptn").string();
        test::writeFile(settings.input, test::readFile(test::examplePath("xor_input.ptn")));
        test::writeFile(settings.target, test::readFile(test::examplePath("xor_target.ptn")));
        settings.patterns = "4";
        settings.iterations = "25";
        settings.method = method;
        settings.rate = "0.5";
        settings.localMinimum = "off";
        settings.meanSquaredError = true;
        settings.lint = true;
        setLayerTexts(shape(2, {4}, 1, TransferCode::Sigmoid), settings);
        applySettings(settings, run);
        TrainingCallbacks callbacks;
        callbacks.normComputed = [this](int, float norm) { run.norms.push_back(norm); };
        callbacks.errorComputed = [this](int, double error) { run.errors.push_back(error); };
        observeTraining(callbacks, run.trace);
        run.outcome = run.trainer.train(run.configuration, run.parameters, callbacks);
    }
    // The record as it comes back from its file.
    nlohmann::json record() const {
        return nlohmann::json::parse(recordText(trainingRecord(settings, 7, run)));
    }
    std::string write(const nlohmann::json& record, const std::string& name) const {
        const std::string path = (dir / name).string();
        test::writeFile(path, record.dump(1));
        return path;
    }
};

} // namespace

TEST(TrainingRecord, ReadsBackBitForBitAndContinuesAsTheRunInMemory) {
    XorRun xor_;
    const RecordContents back = recordContents(xor_.record(), "run.json");
    EXPECT_TRUE(sameNetwork(back.initial.network, xor_.run.trainer.initialNetwork()));
    EXPECT_TRUE(sameNetwork(back.final.network, xor_.run.trainer.network()));
    EXPECT_EQ(back.norms, xor_.run.norms);
    EXPECT_EQ(back.errors, xor_.run.errors);
    EXPECT_EQ(back.seed, 7u);
    EXPECT_EQ(back.status.lastIteration, xor_.run.trainer.status().lastIteration);
    EXPECT_EQ(back.status.normText, xor_.run.trainer.status().normText);
    ASSERT_EQ(back.rows.size(), 4u);
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(back.rows[r].response, xor_.run.trainer.rows()[r].response);
        EXPECT_EQ(back.rows[r].marker, xor_.run.trainer.rows()[r].marker);
    }
    EXPECT_EQ(back.lint.size(), lintWarnings(xor_.run).size());

    // Ten more iterations from the record's final network and from the trainer's own.
    TrainingParameters more = xor_.run.parameters;
    more.iterations = 10;
    NetworkTrainer fromRecord(3);
    fromRecord.setStartNetwork(back.final.network);
    fromRecord.train(back.final.configuration, more);
    NetworkTrainer inMemory(3);
    inMemory.setStartNetwork(xor_.run.trainer.network());
    inMemory.train(xor_.run.configuration, more);
    EXPECT_TRUE(sameNetwork(fromRecord.network(), inMemory.network()));
}

TEST(TrainingRecord, LayerTextsGiveBackTheLayers) {
    LayerConfiguration c = shape(3, {5, 2}, 2, TransferCode::Gaussian, TransferCode::Step);
    c.hiddenEnsembles = {5, 1};
    c.hiddenTransfer = TransferCode::Linear;
    RunSettings settings;
    setLayerTexts(c, settings);
    EXPECT_EQ(settings.hidden, "5/5,2/1");
    const LayerConfiguration back = settingsConfiguration(settings);
    EXPECT_EQ(back.inputNeurons, 3);
    EXPECT_EQ(back.inputTransfer, TransferCode::Step);
    EXPECT_EQ(back.hiddenLayers, 2);
    EXPECT_EQ(back.hiddenNeurons[1], 2);
    EXPECT_EQ(back.hiddenEnsembles[0], 5);
    EXPECT_EQ(back.hiddenTransfer, TransferCode::Linear);
    EXPECT_EQ(back.outputTransfer, TransferCode::Gaussian);
    settings.inputLayer = "3:cubic";
    EXPECT_THROW(settingsConfiguration(settings), SettingsError);
}

TEST(TrainingRecord, DifferencesNameTheVersionThePatternFileAndTheFirstPlace) {
    XorRun xor_;
    const nlohmann::json record = xor_.record();
    EXPECT_TRUE(recordDifferences(record, record).empty());

    nlohmann::json edited = record;
    edited["final_network"][1]["neurons"][0]["bias"] = 0.125;
    std::vector<std::string> lines = recordDifferences(record, edited);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("/final_network/1/neurons/0/bias: recorded ", 0), 0u) << lines[0];

    edited = record;
    edited["program_version"] = "0.0.1";
    lines = recordDifferences(edited, record);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string("program version: recorded 0.0.1, now ") + programVersion());

    test::writeFile(xor_.settings.target, test::readFile(xor_.settings.target) + " ");
    lines = recordDifferences(record, record);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("pattern file changed: " + xor_.settings.target, 0), 0u);
    std::filesystem::remove(xor_.settings.input);
    EXPECT_EQ(recordDifferences(record, record)[0], "pattern file missing: " + xor_.settings.input);
}

TEST(TrainingRecord, RefusesWhatIsNoRecordWithItsReason) {
    XorRun xor_;
    const auto reason = [](const std::function<void()>& read) {
        try {
            read();
        } catch (const RecordError& failure) {
            return failure.reason();
        }
        ADD_FAILURE() << "not refused";
        return RecordError::Reason::Unreadable;
    };
    using Reason = RecordError::Reason;
    const std::string missing = (xor_.dir / "none.json").string();
    EXPECT_EQ(reason([&] { readRecordFile(missing); }), Reason::Unreadable);
    EXPECT_EQ(reason([&] { readRecordFile(xor_.dir.path().string()); }), Reason::Unreadable);
    const std::string other = xor_.write(nlohmann::json{{"rows", 1}}, "other.json");
    EXPECT_EQ(reason([&] { readRecordFile(other); }), Reason::NotARecord);
    test::writeFile(other, "{\"format\": \"axolite-training-record\"");
    EXPECT_EQ(reason([&] { readRecordFile(other); }), Reason::NotARecord);

    nlohmann::json record = xor_.record();
    record["results"].erase("rows");
    EXPECT_EQ(reason([&] { recordContents(record, "r.json"); }), Reason::Incomplete);
    record = xor_.record();
    record["settings"].erase("rate");
    EXPECT_EQ(reason([&] { recordContents(record, "r.json"); }), Reason::Incomplete);
    record = xor_.record();
    record["final_network"][0]["transfer"] = "cubic";
    EXPECT_EQ(reason([&] { recordContents(record, "r.json"); }), Reason::BadNetwork);
    record = xor_.record();
    record["initial_network"][1]["neurons"][0]["weights"].push_back(1.0);
    EXPECT_EQ(reason([&] { recordContents(record, "r.json"); }), Reason::BadNetwork);
}
