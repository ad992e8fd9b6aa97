// Experiment records of training runs and their replay.
#include "cli/training_record.h"

#include "cli/commands.h"

#include "core/common/sha256.h"
#include "core/platform/atomic_file.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace axolite::cli {

namespace {

constexpr const char* kFormat = "axolite-training-record";
constexpr int kFormatVersion = 1;

const char* transferName(training::TransferCode code) {
    switch (code) {
    case training::TransferCode::Step:
        return "step";
    case training::TransferCode::Sigmoid:
        return "sigmoid";
    case training::TransferCode::Gaussian:
        return "gaussian";
    case training::TransferCode::Linear:
        break;
    }
    return "linear";
}

nlohmann::ordered_json settingsJson(const TrainOptions& o) {
    return {{"input", o.input},
            {"target", o.target},
            {"patterns", o.patterns},
            {"input_layer", o.inputLayer},
            {"hidden", o.hidden},
            {"hidden_kind", o.hiddenKind},
            {"output_layer", o.outputLayer},
            {"method", o.method},
            {"iterations", o.iterations},
            {"rate", o.rate},
            {"local_minimum", o.localMinimum},
            {"mse", o.meanSquaredError},
            {"probes", o.probes},
            {"from_net", o.fromNet},
            {"from_record", o.fromRecord}};
}

TrainOptions optionsOfSettings(const nlohmann::json& s) {
    TrainOptions o;
    o.input = s.at("input");
    o.target = s.at("target");
    o.patterns = s.at("patterns");
    o.inputLayer = s.at("input_layer");
    o.hidden = s.at("hidden");
    o.hiddenKind = s.at("hidden_kind");
    o.outputLayer = s.at("output_layer");
    o.method = s.at("method");
    o.iterations = s.at("iterations");
    o.rate = s.at("rate");
    o.localMinimum = s.at("local_minimum");
    o.meanSquaredError = s.at("mse");
    o.probes = s.at("probes").get<std::vector<std::string>>();
    o.fromNet = s.at("from_net");
    o.fromRecord = s.at("from_record");
    return o;
}

nlohmann::ordered_json patternFileJson(const char* role, const std::string& path,
                                       const std::optional<std::string>& text) {
    std::optional<std::string> digest = text ? std::optional(sha256Hex(*text)) : fileSha256(path);
    return {{"role", role},
            {"path", path},
            {"sha256", digest ? nlohmann::json(*digest) : nlohmann::json(nullptr)}};
}

std::string fileText(const std::filesystem::path& path, bool& read) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    read = static_cast<bool>(file) || file.eof();
    return bytes.str();
}

nlohmann::json readRecord(const std::string& path) {
    bool read = false;
    const std::string text = fileText(path, read);
    if (!read) {
        throw TrainUsageError("cannot read the record " + path);
    }
    nlohmann::json record = nlohmann::json::parse(text, nullptr, false);
    if (!record.is_object() || record.value("format", "") != kFormat) {
        throw TrainUsageError(path + " is no training record of axolite-cli");
    }
    return record;
}

// The first place where two values differ, as a JSON pointer below path; empty when equal.
std::string firstDifference(const nlohmann::json& a, const nlohmann::json& b,
                            const std::string& path) {
    if (a.type() != b.type() || (!a.is_structured() && a != b) || a.size() != b.size()) {
        return path;
    }
    if (a.is_object()) {
        for (const auto& [key, value] : a.items()) {
            if (!b.contains(key)) {
                return path + "/" + key;
            }
            std::string inner = firstDifference(value, b.at(key), path + "/" + key);
            if (!inner.empty()) {
                return inner;
            }
        }
    } else if (a.is_array()) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            std::string inner = firstDifference(a[i], b[i], path + "/" + std::to_string(i));
            if (!inner.empty()) {
                return inner;
            }
        }
    }
    return "";
}

std::string shortDump(const nlohmann::json& value) {
    std::string text = value.dump();
    return text.size() > 60 ? text.substr(0, 57) + "..." : text;
}

// Replays the record: the same settings and seed, and the recorded initial network when the run
// continued another one. The replay's record, or a refusal's message.
nlohmann::ordered_json replayRecord(const nlohmann::json& record, std::string& refusal) {
    TrainOptions options = optionsOfSettings(record.at("settings"));
    const bool continued = !options.fromNet.empty() || !options.fromRecord.empty();
    TrainOptions reading = options;
    reading.fromNet.clear();
    reading.fromRecord.clear();
    if (record.at("seed").is_number_unsigned()) {
        options.seed = record.at("seed").get<std::uint32_t>();
    }
    TrainingRun run(options.seed);
    readTrainOptions(reading, run);
    if (continued) {
        continueFrom(reading, run, networkFromJson(record.at("initial_network")));
    }
    run.parameters.meanSquaredError = true;
    TrainingHooks hooks;
    hooks.show = [](const Message&) {};
    try {
        trainNetwork(options, run, hooks);
    } catch (const AxoliteError& failure) {
        refusal = failure.message().text;
        return {};
    }
    return trainingRecord(options, run);
}

int runReplay(const std::string& path) {
    nlohmann::json record;
    nlohmann::ordered_json replayed;
    std::string refusal;
    try {
        record = readRecord(path);
        replayed = replayRecord(record, refusal);
    } catch (const TrainUsageError& failure) {
        std::cerr << failure.what() << '\n';
        return UsageError;
    } catch (const nlohmann::json::exception& failure) {
        std::cerr << path << ": the record is incomplete (" << failure.what() << ")\n";
        return UsageError;
    }
    std::vector<std::string> differences;
    if (!refusal.empty()) {
        differences.push_back("the run was refused: " + refusal);
    } else {
        differences = recordDifferences(record, nlohmann::json::parse(replayed.dump()));
    }
    for (const std::string& line : differences) {
        std::cout << "differs: " << line << '\n';
    }
    if (differences.empty()) {
        std::cout << "identical\n";
        return Done;
    }
    return Refused;
}

} // namespace

nlohmann::ordered_json networkJson(const training::LayeredNetwork& network) {
    nlohmann::ordered_json layers = nlohmann::ordered_json::array();
    for (int l = 0; l < network.layerCount(); ++l) {
        nlohmann::ordered_json neurons = nlohmann::ordered_json::array();
        const int previous = l == 0 ? 0 : network.layerSize(l - 1);
        for (int i = 0; i < network.layerSize(l); ++i) {
            const training::LayerNeuron& neuron = network.neuron(l, i);
            std::vector<double> weights(neuron.weights.begin(), neuron.weights.begin() + previous);
            neurons.push_back({{"bias", static_cast<double>(neuron.bias)}, {"weights", weights}});
        }
        layers.push_back(
            {{"transfer", transferName(network.neuron(l, 0).transfer)}, {"neurons", neurons}});
    }
    return layers;
}

training::LoadedNetwork networkFromJson(const nlohmann::json& json) {
    training::LoadedNetwork loaded;
    training::LayerConfiguration& c = loaded.configuration;
    try {
        const int layers = static_cast<int>(json.size());
        if (!json.is_array() || layers < 2 || layers > training::kMaxHiddenLayers + 2) {
            throw TrainUsageError("");
        }
        auto shape = [&](int l, int& neurons, training::TransferCode& transfer) {
            neurons = static_cast<int>(json[l].at("neurons").size());
            const std::string name = json[l].at("transfer");
            transfer = training::TransferCode::Linear;
            for (auto code : {training::TransferCode::Step, training::TransferCode::Sigmoid,
                              training::TransferCode::Gaussian}) {
                transfer = name == transferName(code) ? code : transfer;
            }
            if (neurons < 1 || neurons > training::kMaxLayerNeurons ||
                name != transferName(transfer)) {
                throw TrainUsageError("");
            }
        };
        shape(0, c.inputNeurons, c.inputTransfer);
        shape(layers - 1, c.outputNeurons, c.outputTransfer);
        c.hiddenLayers = layers - 2;
        for (int h = 0; h < c.hiddenLayers; ++h) {
            shape(h + 1, c.hiddenNeurons[h], c.hiddenTransfer);
            c.hiddenEnsembles[h] = 1;
        }
        training::RandomSource unused(0);
        loaded.network = training::LayeredNetwork::build(c, unused);
        for (int l = 0; l < layers; ++l) {
            const std::size_t previous =
                l == 0 ? 0 : static_cast<std::size_t>(loaded.network.layerSize(l - 1));
            for (int i = 0; i < loaded.network.layerSize(l); ++i) {
                const nlohmann::json& neuron = json[l].at("neurons").at(i);
                const nlohmann::json& weights = neuron.at("weights");
                training::LayerNeuron& target = loaded.network.neuron(l, i);
                if (weights.size() != previous) {
                    throw TrainUsageError("");
                }
                target.bias = neuron.at("bias").get<float>();
                for (std::size_t k = 0; k < previous; ++k) {
                    target.weights[k] = weights[k].get<float>();
                }
            }
        }
    } catch (const std::exception&) {
        throw TrainUsageError("the network of the record cannot be read");
    }
    return loaded;
}

nlohmann::ordered_json trainingRecord(const TrainOptions& options, const TrainingRun& run) {
    nlohmann::ordered_json record;
    record["format"] = kFormat;
    record["format_version"] = kFormatVersion;
    record["program_version"] = AXOLITE_VERSION;
    record["settings"] = settingsJson(options);
    record["seed"] = options.seed ? nlohmann::json(*options.seed) : nlohmann::json(nullptr);
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    files.push_back(patternFileJson("input", run.parameters.inputFile, run.parameters.inputText));
    if (run.parameters.method == training::TrainingMethod::BackPropagationOnline ||
        run.parameters.method == training::TrainingMethod::BackPropagationRandomized) {
        files.push_back(
            patternFileJson("target", run.parameters.targetFile, run.parameters.targetText));
    }
    record["pattern_files"] = std::move(files);
    record["initial_network"] = networkJson(run.trainer.initialNetwork());
    record["final_network"] = networkJson(run.trainer.network());
    std::vector<double> norms(run.norms.begin(), run.norms.end());
    record["norms"] = norms;
    record["errors"] = run.errors;
    record["results"] = trainingJson(options, run);
    return record;
}

bool writeTrainingRecord(const std::string& path, const TrainOptions& options,
                         const TrainingRun& run, const std::function<void(const Message&)>& show) {
    const auto failure =
        platform::writeFileAtomically(path, trainingRecord(options, run).dump(1) + "\n");
    if (failure) {
        show(platform::fileWriteMessage(*failure));
    }
    return !failure;
}

std::optional<std::string> fileSha256(const std::filesystem::path& path) {
    bool read = false;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::string bytes = fileText(path, read);
    return read ? std::optional(sha256Hex(bytes)) : std::nullopt;
}

training::LoadedNetwork recordFinalNetwork(const std::string& path) {
    const nlohmann::json record = readRecord(path);
    if (!record.contains("final_network")) {
        throw TrainUsageError(path + ": the record holds no final network");
    }
    return networkFromJson(record.at("final_network"));
}

std::vector<std::string> recordDifferences(const nlohmann::json& recorded,
                                           const nlohmann::json& replayed) {
    std::vector<std::string> lines;
    if (recorded.value("program_version", "") != AXOLITE_VERSION) {
        lines.push_back("program version: recorded " + recorded.value("program_version", "?") +
                        ", now " + AXOLITE_VERSION);
    }
    for (const nlohmann::json& file : recorded.value("pattern_files", nlohmann::json::array())) {
        const std::string path = file.value("path", "");
        const std::optional<std::string> now = fileSha256(path);
        if (!now) {
            lines.push_back("pattern file missing: " + path);
        } else if (file.value("sha256", "") != *now) {
            lines.push_back("pattern file changed: " + path + " (SHA-256 recorded " +
                            file.value("sha256", "") + ", now " + *now + ")");
        }
    }
    for (const char* part : {"initial_network", "final_network", "norms", "errors", "results"}) {
        const nlohmann::json& a = recorded.contains(part) ? recorded.at(part) : nlohmann::json();
        const std::string where = firstDifference(a, replayed.at(part), std::string("/") + part);
        if (!where.empty()) {
            const auto pointer = nlohmann::json::json_pointer(where);
            lines.push_back(where + ": recorded " +
                            (recorded.contains(pointer) ? shortDump(recorded.at(pointer)) : "-") +
                            ", now " +
                            (replayed.contains(pointer) ? shortDump(replayed.at(pointer)) : "-"));
        }
    }
    return lines;
}

void addReplayCommand(CLI::App& app, int& status) {
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "replay", "Run a training record again and say whether the run is identical");
    command->add_option("record", *path, "The record written by train --record")->required();
    command->callback([path, &status] { status = runReplay(*path); });
}

} // namespace axolite::cli
