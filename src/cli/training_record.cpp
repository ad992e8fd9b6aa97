// Experiment records of training runs and their replay.
#include "cli/training_record.h"

#include "cli/commands.h"

#include "core/platform/atomic_file.h"
#include "core/training/training_record.h"

#include <iostream>
#include <memory>

namespace axolite::cli {

namespace {

// Replays the record: the same settings and seed, and the recorded initial network when the run
// continued another one. The replay's record, or a refusal's message.
nlohmann::ordered_json replayRecord(const nlohmann::json& record, const std::string& path,
                                    std::string& refusal) {
    TrainOptions options;
    static_cast<training::RunSettings&>(options) = training::recordSettings(record, path);
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
        try {
            continueFrom(reading, run, training::networkFromJson(record.at("initial_network")));
        } catch (const training::RecordError& failure) {
            throw TrainUsageError(failure.what());
        }
    }
    // The error of every iteration, as the recorded run computed it (a record written by the
    // tool always has it; the dialog's only when its curve showed it).
    run.parameters.meanSquaredError =
        options.meanSquaredError || !record.value("errors", nlohmann::json::array()).empty();
    TrainingHooks hooks;
    hooks.show = [](const Message&) {};
    try {
        trainNetwork(options, run, hooks);
    } catch (const AxoliteError& failure) {
        refusal = failure.message().text;
        return {};
    }
    return training::trainingRecord(options, options.seed, run);
}

int runReplay(const std::string& path) {
    nlohmann::json record;
    nlohmann::ordered_json replayed;
    std::string refusal;
    try {
        record = training::readRecordFile(path);
        replayed = replayRecord(record, path, refusal);
    } catch (const training::RecordError& failure) {
        std::cerr << failure.what() << '\n';
        return UsageError;
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
        differences = training::recordDifferences(record, nlohmann::json::parse(replayed.dump()));
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

bool writeTrainingRecord(const std::string& path, const TrainOptions& options,
                         const TrainingRun& run, const std::function<void(const Message&)>& show) {
    const auto failure = platform::writeFileAtomically(
        path, training::recordText(training::trainingRecord(options, options.seed, run)));
    if (failure) {
        show(platform::fileWriteMessage(*failure));
    }
    return !failure;
}

training::LoadedNetwork recordFinalNetwork(const std::string& path) {
    try {
        const nlohmann::json record = training::readRecordFile(path);
        if (!record.contains("final_network")) {
            throw TrainUsageError(path + ": the record holds no final network");
        }
        return training::networkFromJson(record.at("final_network"));
    } catch (const training::RecordError& failure) {
        throw TrainUsageError(failure.what());
    }
}

void addReplayCommand(CLI::App& app, int& status) {
    auto path = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "replay", "Run a training record again and say whether the run is identical");
    command->add_option("record", *path, "The record written by train --record")->required();
    command->callback([path, &status] { status = runReplay(*path); });
}

} // namespace axolite::cli
