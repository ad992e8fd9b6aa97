// The experiment record of a training run: program version, settings, seed, pattern files with
// their SHA-256, the initial and final networks in full precision, the norm and error of every
// iteration and the results; reading it back, and what differs between two records.
#pragma once

#include "core/training/network_loading.h"
#include "core/training/training_run.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace axolite::training {

// A record that cannot be read. what() is the tool's text; reason and path let a window say it
// in its own words.
class RecordError : public std::runtime_error {
public:
    enum class Reason {
        Unreadable, // the file cannot be read
        NotARecord, // no JSON, or not of this format
        Incomplete, // a part is missing or of the wrong kind
        BadNetwork, // a network of the record is no layered network
    };
    RecordError(Reason reason, const std::string& path, const std::string& text)
        : std::runtime_error(text), reason_(reason), path_(path) {}
    Reason reason() const { return reason_; }
    const std::string& path() const { return path_; }

private:
    Reason reason_;
    std::string path_;
};

// The version of the program that writes records.
const char* programVersion();

// Weights and biases of every neuron, layer by layer, in full precision (every float exactly).
nlohmann::ordered_json networkJson(const LayeredNetwork& network);

// The network of networkJson with its layers (hidden layers of one ensemble each).
// RecordError(BadNetwork) when it cannot be read.
LoadedNetwork networkFromJson(const nlohmann::json& json);

// The record of a finished run.
nlohmann::ordered_json trainingRecord(const RunSettings& settings,
                                      std::optional<std::uint32_t> seed, const TrainingRun& run);

// The record as written to its file.
std::string recordText(const nlohmann::ordered_json& record);

// The SHA-256 of a file's bytes (hexadecimal), none when it cannot be read.
std::optional<std::string> fileSha256(const std::filesystem::path& path);

// The record in the file at path. RecordError when it cannot be read or is no record.
nlohmann::json readRecordFile(const std::string& path);

// The settings of a record. RecordError(Incomplete) when they cannot be read.
RunSettings recordSettings(const nlohmann::json& record, const std::string& path);

// Everything a window shows of a record.
struct RecordContents {
    RunSettings settings;
    std::optional<std::uint32_t> seed;
    LoadedNetwork initial; // hidden ensembles as the settings give them
    LoadedNetwork final;
    std::vector<float> norms;
    std::vector<double> errors;
    TrainingMethod method = TrainingMethod::BackPropagationOnline;
    TrainingStatus status;
    std::vector<ResultRow> rows; // a value that was no finite number comes back as NaN
    bool interrupted = false;
    bool stoppedAtLocalMinimum = false;
    std::vector<LintWarning> lint; // the lint's warnings, when the run was linted
};

// RecordError when a part cannot be read.
RecordContents recordContents(const nlohmann::json& record, const std::string& path);

// What differs between a record and the record of its replay, one line each; empty when
// identical: the program version, each pattern file (missing or changed, by its SHA-256 now),
// then the first differing place of the networks, the curves and the results.
std::vector<std::string> recordDifferences(const nlohmann::json& recorded,
                                           const nlohmann::json& replayed);

} // namespace axolite::training
