// A training run and a branch from a kept iteration of its history.
#include "cli/train_branch.h"

#include "cli/commands.h"
#include "cli/train_compare.h"

#include "core/training/training_history.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <ctime>
#include <iostream>
#include <sstream>

namespace axolite::cli {

namespace {

// The branch's options: the run's with the keys of --branch changed. The generator goes on from
// the branch point unless a seed is given (then the branch seeds its own).
TrainOptions branchOptionsOf(const TrainOptions& options, bool& reseeded) {
    TrainOptions branch = options;
    reseeded = false;
    std::stringstream pairs(options.branch);
    std::string pair;
    while (std::getline(pairs, pair, ',')) {
        const std::size_t equals = pair.find('=');
        const std::string key = pair.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : pair.substr(equals + 1);
        if (key == "method") {
            branch.method = value == "random" ? "randomized" : value;
        } else if (key == "rate") {
            branch.rate = value;
        } else if (key == "iterations") {
            branch.iterations = value;
        } else if (key == "seed" && !value.empty() &&
                   value.find_first_not_of("0123456789") == std::string::npos) {
            branch.seed = static_cast<std::uint32_t>(std::stoul(value));
            reseeded = true;
        } else {
            throw TrainUsageError("--branch: \"method=...\", \"rate=...\", \"iterations=...\" or "
                                  "\"seed=N\", separated by commas, got '" +
                                  pair + "'");
        }
    }
    return branch;
}

nlohmann::ordered_json historyJson(const training::TrainingHistory& history) {
    return {{"stride", history.stride()},
            {"bytes", history.bytes()},
            {"kept", history.iterations().size()},
            {"summary", history.empty() ? history.unavailable() : history.summary()}};
}

std::string keptRange(const training::TrainingHistory& history) {
    if (history.empty()) {
        return history.unavailable();
    }
    return "сохранены итерации 0, " + std::to_string(history.stride()) + ", " +
           std::to_string(2 * history.stride()) + " … и последняя, " +
           std::to_string(history.iterations().back());
}

// Both curves: the run's from iteration 0, the branch's from its branch point.
bool drawBranchCurves(const TrainOptions& options, const TrainingRun& run,
                      const TrainingRun& branch, int from) {
    const bool mse = options.meanSquaredError;
    std::vector<CurveLine> curves;
    curves.push_back({"Норма",
                      mse ? run.errors : std::vector<double>(run.norms.begin(), run.norms.end()),
                      {},
                      0,
                      false});
    curves.push_back(
        {training::branchNormName(from),
         mse ? branch.errors : std::vector<double>(branch.norms.begin(), branch.norms.end()),
         {},
         from,
         true});
    if (mse) {
        curves[0].name = "Среднеквадратичная ошибка";
        curves[1].name += ", ошибка";
    }
    const int iterations = std::max(run.parameters.iterations, from + branch.parameters.iterations);
    return drawComparison(options.curve, iterations, curves, options.curveLog);
}

} // namespace

void addBranchOptions(CLI::App& command, TrainOptions& options) {
    command.add_option("--branch-from", options.branchFrom,
                       "After the run, a branch from this kept iteration of its history (0: the "
                       "initial network)");
    command.add_option("--branch", options.branch,
                       "The branch's settings: \"method=...,rate=...,iterations=...,seed=N\" "
                       "(unchanged when left out; without seed the generator goes on)");
}

int runTrainBranch(const TrainOptions& given) {
    if (!given.compare.empty() || given.seeds > 0 || !given.record.empty() || given.lint) {
        std::cerr << "--branch-from: not with --compare, --seeds, --record or --lint\n";
        return UsageError;
    }
    TrainOptions options = given;
    // The seed the run took, so that the branch can be made again.
    if (!options.seed) {
        options.seed = static_cast<std::uint32_t>(std::time(nullptr));
    }
    bool reseeded = false;
    TrainingRun run(options.seed);
    std::optional<TrainOptions> branchOptions;
    try {
        branchOptions = branchOptionsOf(options, reseeded);
        readTrainOptions(options, run);
    } catch (const TrainUsageError& failure) {
        std::cerr << failure.what() << '\n';
        return UsageError;
    }
    TrainingRun branch(branchOptions->seed);
    try {
        readTrainOptions(*branchOptions, branch);
    } catch (const TrainUsageError& failure) {
        std::cerr << "--branch: " << failure.what() << '\n';
        return UsageError;
    }
    if (!readPatternStreams(run.parameters)) {
        return UsageError;
    }
    // Standard input is read once: the branch trains on the same patterns.
    branch.parameters.inputText = run.parameters.inputText;
    branch.parameters.targetText = run.parameters.targetText;

    nlohmann::json messages = nlohmann::json::array();
    TrainingHooks hooks = consoleHooks(options, messages);
    training::TrainingHistory history;
    training::TrainingHistory branchHistory;
    const int from = *options.branchFrom;
    try {
        hooks.history = &history;
        trainNetwork(options, run, hooks);
        if (!history.kept(from)) {
            throw AxoliteError(MessageKind::Error,
                               "--branch-from: итерация " + std::to_string(from) +
                                   " не сохранена в истории (" + keptRange(history) + ").");
        }
        branch.trainer.setBranchPoint(history.branchPoint(from, !reseeded));
        hooks.history = &branchHistory;
        trainNetwork(*branchOptions, branch, hooks);
    } catch (const AxoliteError& refusal) {
        return reportRefusal(options, hooks, refusal.message(), messages);
    }

    int status = Done;
    if (!options.curve.empty() && !drawBranchCurves(options, run, branch, from)) {
        status = Refused;
    }
    if (options.json) {
        nlohmann::ordered_json json;
        json["run"] = trainingJson(options, run);
        json["history"] = historyJson(history);
        json["branch"] = trainingJson(*branchOptions, branch);
        json["branch"]["from"] = from;
        json["branch"]["seed"] =
            reseeded ? nlohmann::json(*branchOptions->seed) : nlohmann::json("continued");
        json["branch"]["history"] = historyJson(branchHistory);
        json["messages"] = messages;
        std::cout << json.dump(1) << '\n';
        return status;
    }
    printTrainingText(options, run);
    std::cout << '\n' << history.summary() << '\n';
    std::cout << "\nВетвь от итерации " << from
              << (options.branch.empty() ? "" : " (" + options.branch + ")") << " :\n";
    printTrainingText(*branchOptions, branch);
    return status;
}

} // namespace axolite::cli
