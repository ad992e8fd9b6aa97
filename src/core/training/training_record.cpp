// Experiment records of training runs.
#include "core/training/training_record.h"

#include "core/common/sha256.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace axolite::training {

namespace {

constexpr const char* kFormat = "axolite-training-record";
constexpr int kFormatVersion = 1;

nlohmann::ordered_json settingsJson(const RunSettings& o) {
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

std::string fileText(const std::filesystem::path& path, bool& read) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    read = static_cast<bool>(file) || file.eof();
    return bytes.str();
}

nlohmann::ordered_json patternFileJson(const char* role, const std::string& path,
                                       const std::optional<std::string>& text) {
    std::optional<std::string> digest = text ? std::optional(sha256Hex(*text)) : fileSha256(path);
    return {{"role", role},
            {"path", path},
            {"sha256", digest ? nlohmann::json(*digest) : nlohmann::json(nullptr)}};
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

RecordError incomplete(const std::string& path, const std::exception& failure) {
    return RecordError(RecordError::Reason::Incomplete, path,
                       path + ": the record is incomplete (" + failure.what() + ")");
}

std::vector<float> floatsOf(const nlohmann::json& list) {
    std::vector<float> values;
    for (const nlohmann::json& v : list) {
        values.push_back(v.is_null() ? std::numeric_limits<float>::quiet_NaN() : v.get<float>());
    }
    return values;
}

RowMarker markerOf(const std::string& name) {
    return name == "violet" ? RowMarker::Violet
                            : (name == "yellow" ? RowMarker::Yellow : RowMarker::None);
}

// The results part: the trainer's status and table.
void readResults(const nlohmann::json& results, RecordContents& contents) {
    contents.status.lastIteration = results.at("iterations_done").get<int>() - 1;
    contents.status.lastPattern = results.at("last_pattern").get<int>();
    contents.status.normText = results.at("norm_text").get<std::string>();
    if (!results.at("norm").is_null()) {
        contents.status.norm = results.at("norm").get<float>();
    }
    contents.status.percent = results.at("percent").get<int>();
    contents.interrupted = results.at("interrupted").get<bool>();
    contents.stoppedAtLocalMinimum = results.at("stopped_at_local_minimum").get<bool>();
    for (const nlohmann::json& row : results.at("rows")) {
        contents.rows.push_back(ResultRow{floatsOf(row.at("input")), floatsOf(row.at("target")),
                                          floatsOf(row.at("response")), floatsOf(row.at("error")),
                                          markerOf(row.at("marker").get<std::string>())});
    }
    for (const nlohmann::json& warning : results.value("lint", nlohmann::json::array())) {
        contents.lint.push_back(LintWarning{warning.at("rule"), warning.at("iteration"),
                                            warning.at("text"), warning.at("help")});
    }
}

// The ensembles of the settings' hidden layers where they name the network's layers, and the
// hidden layers' kind where the network has none.
void takeEnsembles(const RunSettings& settings, LoadedNetwork& loaded) {
    try {
        const LayerConfiguration given = settingsConfiguration(settings);
        if (given.hiddenLayers == loaded.configuration.hiddenLayers) {
            loaded.configuration.hiddenEnsembles = given.hiddenEnsembles;
        }
        if (loaded.configuration.hiddenLayers == 0) {
            loaded.configuration.hiddenTransfer = given.hiddenTransfer;
        }
    } catch (const SettingsError&) {
    }
}

} // namespace

const char* programVersion() {
    return AXOLITE_VERSION;
}

nlohmann::ordered_json networkJson(const LayeredNetwork& network) {
    nlohmann::ordered_json layers = nlohmann::ordered_json::array();
    for (int l = 0; l < network.layerCount(); ++l) {
        nlohmann::ordered_json neurons = nlohmann::ordered_json::array();
        const int previous = l == 0 ? 0 : network.layerSize(l - 1);
        for (int i = 0; i < network.layerSize(l); ++i) {
            const LayerNeuron& neuron = network.neuron(l, i);
            std::vector<double> weights(neuron.weights.begin(), neuron.weights.begin() + previous);
            neurons.push_back({{"bias", static_cast<double>(neuron.bias)}, {"weights", weights}});
        }
        layers.push_back(
            {{"transfer", transferKey(network.neuron(l, 0).transfer)}, {"neurons", neurons}});
    }
    return layers;
}

LoadedNetwork networkFromJson(const nlohmann::json& json) {
    LoadedNetwork loaded;
    LayerConfiguration& c = loaded.configuration;
    const RecordError bad(RecordError::Reason::BadNetwork, "",
                          "the network of the record cannot be read");
    try {
        const int layers = static_cast<int>(json.size());
        if (!json.is_array() || layers < 2 || layers > kMaxHiddenLayers + 2) {
            throw bad;
        }
        auto shape = [&](int l, int& neurons, TransferCode& transfer) {
            neurons = static_cast<int>(json[l].at("neurons").size());
            const std::string name = json[l].at("transfer");
            transfer = TransferCode::Linear;
            for (auto code : {TransferCode::Step, TransferCode::Sigmoid, TransferCode::Gaussian}) {
                transfer = name == transferKey(code) ? code : transfer;
            }
            if (neurons < 1 || neurons > kMaxLayerNeurons || name != transferKey(transfer)) {
                throw bad;
            }
        };
        shape(0, c.inputNeurons, c.inputTransfer);
        shape(layers - 1, c.outputNeurons, c.outputTransfer);
        c.hiddenLayers = layers - 2;
        for (int h = 0; h < c.hiddenLayers; ++h) {
            shape(h + 1, c.hiddenNeurons[h], c.hiddenTransfer);
            c.hiddenEnsembles[h] = 1;
        }
        RandomSource unused(0);
        loaded.network = LayeredNetwork::build(c, unused);
        for (int l = 0; l < layers; ++l) {
            const std::size_t previous =
                l == 0 ? 0 : static_cast<std::size_t>(loaded.network.layerSize(l - 1));
            for (int i = 0; i < loaded.network.layerSize(l); ++i) {
                const nlohmann::json& neuron = json[l].at("neurons").at(i);
                const nlohmann::json& weights = neuron.at("weights");
                LayerNeuron& target = loaded.network.neuron(l, i);
                if (weights.size() != previous) {
                    throw bad;
                }
                target.bias = neuron.at("bias").get<float>();
                for (std::size_t k = 0; k < previous; ++k) {
                    target.weights[k] = weights[k].get<float>();
                }
            }
        }
    } catch (const std::exception&) {
        throw bad;
    }
    return loaded;
}

nlohmann::ordered_json trainingRecord(const RunSettings& settings,
                                      std::optional<std::uint32_t> seed, const TrainingRun& run) {
    nlohmann::ordered_json record;
    record["format"] = kFormat;
    record["format_version"] = kFormatVersion;
    record["program_version"] = programVersion();
    record["settings"] = settingsJson(settings);
    record["seed"] = seed ? nlohmann::json(*seed) : nlohmann::json(nullptr);
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    files.push_back(patternFileJson("input", run.parameters.inputFile, run.parameters.inputText));
    if (run.parameters.method == TrainingMethod::BackPropagationOnline ||
        run.parameters.method == TrainingMethod::BackPropagationRandomized) {
        files.push_back(
            patternFileJson("target", run.parameters.targetFile, run.parameters.targetText));
    }
    record["pattern_files"] = std::move(files);
    record["initial_network"] = networkJson(run.trainer.initialNetwork());
    record["final_network"] = networkJson(run.trainer.network());
    std::vector<double> norms(run.norms.begin(), run.norms.end());
    record["norms"] = norms;
    record["errors"] = run.errors;
    record["results"] = resultsJson(settings, run);
    return record;
}

std::string recordText(const nlohmann::ordered_json& record) {
    return record.dump(1) + "\n";
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

nlohmann::json readRecordFile(const std::string& path) {
    bool read = false;
    std::error_code error;
    const std::string text =
        std::filesystem::is_directory(path, error) ? std::string() : fileText(path, read);
    if (!read) {
        throw RecordError(RecordError::Reason::Unreadable, path, "cannot read the record " + path);
    }
    nlohmann::json record = nlohmann::json::parse(text, nullptr, false);
    if (!record.is_object() || record.value("format", "") != kFormat) {
        throw RecordError(RecordError::Reason::NotARecord, path,
                          path + " is no training record of axolite-cli");
    }
    return record;
}

RunSettings recordSettings(const nlohmann::json& record, const std::string& path) {
    RunSettings o;
    try {
        const nlohmann::json& s = record.at("settings");
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
        // A run with the lint's warnings keeps them in its results.
        o.lint = record.contains("results") && record.at("results").contains("lint");
    } catch (const nlohmann::json::exception& failure) {
        throw incomplete(path, failure);
    }
    return o;
}

RecordContents recordContents(const nlohmann::json& record, const std::string& path) {
    RecordContents contents;
    contents.settings = recordSettings(record, path);
    try {
        if (record.at("seed").is_number_unsigned()) {
            contents.seed = record.at("seed").get<std::uint32_t>();
        }
        contents.method =
            methodOfKey(contents.settings.method).value_or(TrainingMethod::BackPropagationOnline);
        contents.norms = floatsOf(record.at("norms"));
        contents.errors = record.at("errors").get<std::vector<double>>();
        readResults(record.at("results"), contents);
        contents.initial = networkFromJson(record.at("initial_network"));
        contents.final = networkFromJson(record.at("final_network"));
    } catch (const RecordError& failure) {
        throw RecordError(failure.reason(), path, path + ": " + failure.what());
    } catch (const nlohmann::json::exception& failure) {
        throw incomplete(path, failure);
    }
    takeEnsembles(contents.settings, contents.initial);
    takeEnsembles(contents.settings, contents.final);
    return contents;
}

std::vector<std::string> recordDifferences(const nlohmann::json& recorded,
                                           const nlohmann::json& replayed) {
    std::vector<std::string> lines;
    const std::string version = programVersion();
    if (recorded.value("program_version", "") != version) {
        lines.push_back("program version: recorded " + recorded.value("program_version", "?") +
                        ", now " + version);
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

} // namespace axolite::training
