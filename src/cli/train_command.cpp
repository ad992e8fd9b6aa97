// `axolite-cli train`: forms a layered network, trains it on pattern files with one of the four
// methods, prints the status and the results list of the page "Работа сети", investigates the
// trained network on given inputs and writes it as a network description.
#include "cli/train_command.h"

#include "cli/commands.h"
#include "cli/input_streams.h"
#include "cli/train_branch.h"
#include "cli/train_compare.h"
#include "cli/training_record.h"

#include "core/common/number_text.h"
#include "core/training/network_description.h"
#include "core/training/network_trainer.h"
#include "core/training/pattern_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>

#ifdef AXOLITE_CLI_PLOT
#include "cli/pictures.h"
#endif

#include <cmath>
#include <ctime>
#include <functional>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace axolite::cli {

namespace {

using UsageFailure = TrainUsageError;

const char* markerText(training::RowMarker marker) {
    switch (marker) {
    case training::RowMarker::Violet:
        return "фиолетовый";
    case training::RowMarker::Yellow:
        return "желтый";
    case training::RowMarker::None:
        break;
    }
    return "-";
}

std::string joined(const std::vector<float>& values, const char* format) {
    std::string text;
    for (float v : values) {
        text += axolite::formatNumber(format, static_cast<double>(v));
    }
    return text;
}

} // namespace

// Pattern files given as "-" or as pipes are read here, once each (input and target may be the
// same stream), as far as the reader would read them: P rows of the widest layer.
bool readPatternStreams(training::TrainingParameters& parameters) {
    const std::size_t rows =
        static_cast<std::size_t>(std::clamp(parameters.patterns, 1, training::kMaxTrainingCount));
    const std::size_t values = rows * training::kMaxLayerNeurons;
    const bool targetUsed =
        parameters.method == training::TrainingMethod::BackPropagationOnline ||
        parameters.method == training::TrainingMethod::BackPropagationRandomized;
    auto read = [&](const std::string& path, std::optional<std::string>& text) {
        if (path.empty() || !isStreamPath(path)) {
            return true;
        }
        text = readPatternStream(path, values);
        if (!text) {
            std::cerr << training::patternFileMissingText(path) << '\n';
        }
        return text.has_value();
    };
    if (!read(parameters.inputFile, parameters.inputText)) {
        return false;
    }
    if (!targetUsed) {
        return true;
    }
    if (parameters.targetFile == parameters.inputFile && parameters.inputText) {
        parameters.targetText = parameters.inputText;
        return true;
    }
    return read(parameters.targetFile, parameters.targetText);
}

namespace {

// Draws the norm of every iteration into a PNG or SVG file; false when it could not be written.
bool writeCurve(const TrainOptions& options, const std::vector<float>& norms,
                const std::vector<double>& errors, int iterations,
                const std::function<void(const Message&)>& show) {
#ifdef AXOLITE_CLI_PLOT
    const PictureFunctions* pictures = pictureFunctions();
    if (pictures == nullptr) {
        return false;
    }
    CurvePicture curve;
    curve.norms = norms;
    curve.errors = errors;
    curve.iterations = iterations;
    curve.logScale = options.curveLog;
    const auto failure = pictures->curve(options.curve, curve);
    if (!failure) {
        return true;
    }
    show(platform::fileWriteMessage(*failure));
#else
    (void)norms;
    (void)errors;
    (void)iterations;
    show(Message{MessageKind::Error,
                 "--curve: this build has no painter (built without the desktop program) for " +
                     options.curve});
#endif
    return false;
}

} // namespace

void readTrainOptions(const TrainOptions& options, TrainingRun& run) {
    try {
        training::applySettings(options, run);
    } catch (const training::SettingsError& failure) {
        throw UsageFailure(failure.what());
    }
    if (!options.fromNet.empty() && !options.fromRecord.empty()) {
        throw UsageFailure("--from-net and --from-record: give one of them");
    }
    if (!options.fromNet.empty()) {
        try {
            continueFrom(options, run, training::readNetworkDescription(options.fromNet));
        } catch (const AxoliteError& failure) {
            throw UsageFailure(failure.message().text);
        }
    } else if (!options.fromRecord.empty()) {
        continueFrom(options, run, recordFinalNetwork(options.fromRecord));
    }
}

void continueFrom(const TrainOptions& options, TrainingRun& run, training::LoadedNetwork loaded) {
    if (options.inputLayer != "1" || options.outputLayer != "1" ||
        options.hiddenKind != "sigmoid") {
        throw UsageFailure("--from-net, --from-record: the layers are the network's; leave out "
                           "--input-layer, --output-layer and --hidden-kind");
    }
    training::LayerConfiguration& c = loaded.configuration;
    if (!options.hidden.empty()) {
        const training::LayerConfiguration given = run.configuration;
        bool same = given.hiddenLayers == c.hiddenLayers;
        for (int h = 0; same && h < c.hiddenLayers; ++h) {
            same = given.hiddenNeurons[h] == c.hiddenNeurons[h];
            c.hiddenEnsembles[h] = given.hiddenEnsembles[h];
        }
        if (!same) {
            throw UsageFailure("--hidden: the continued network's hidden layers differ");
        }
    }
    run.configuration = c;
    run.trainer.setStartNetwork(std::move(loaded.network));
}

void trainNetwork(const TrainOptions& options, TrainingRun& run, const TrainingHooks& hooks) {
    training::TrainingCallbacks callbacks;
    callbacks.progress = hooks.progress;
    callbacks.notify = hooks.show;
    const bool answerYes = options.localMinimum == "stop";
    callbacks.askStopAtLocalMinimum = [&] {
        hooks.show(Message{MessageKind::Question, training::localMinimumQuestion()});
        if (hooks.answered) {
            hooks.answered(answerYes);
        }
        return answerYes;
    };
    callbacks.normComputed = [&run](int iteration, float norm) {
        run.norms.resize(static_cast<std::size_t>(iteration) + 1);
        run.norms.back() = norm;
    };
    callbacks.errorComputed = [&run](int iteration, double error) {
        run.errors.resize(static_cast<std::size_t>(iteration) + 1);
        run.errors.back() = error;
    };
    if (options.lint) {
        training::observeTraining(callbacks, run.trace);
    }
    callbacks.history = hooks.history;
    try {
        run.outcome = run.trainer.train(run.configuration, run.parameters, callbacks);
    } catch (const AxoliteError&) {
        throw;
    } catch (const std::exception&) { // the pattern tables could not be allocated
        throw AxoliteError(MessageKind::Error, "Недостаточно памяти для обучения нейронной сети.");
    }
}

nlohmann::ordered_json trainingJson(const TrainOptions& options, const TrainingRun& run) {
    return training::resultsJson(options, run);
}

// The status, the results list, the probes and (--lint) the lint's warnings, as text.
void printTrainingText(const TrainOptions& options, const TrainingRun& run) {
    const training::TrainingStatus& status = run.trainer.status();
    std::cout << "Образ : " << (status.lastPattern >= 0 ? std::to_string(status.lastPattern) : "")
              << '\n';
    std::cout << "Итерация обучения : "
              << (status.lastIteration >= 0 ? std::to_string(status.lastIteration) : "") << '\n';
    std::cout << "Норма : " << status.normText << '\n';
    if (options.meanSquaredError && !run.errors.empty()) {
        std::cout << "Среднеквадратичная ошибка : "
                  << axolite::formatNumber("%g", run.errors.back()) << '\n';
    }
    std::cout << '\n' << "Маркер\tВходной образ\tВыходной образ\tОтклик сети\tПогрешность\n";
    for (const training::ResultRow& row : run.trainer.rows()) {
        std::cout << markerText(row.marker) << '\t' << training::inputColumnText(row) << '\t'
                  << training::targetColumnText(row) << '\t' << training::responseColumnText(row)
                  << '\t' << training::errorColumnText(row) << '\n';
    }
    for (const auto& probe : run.probes) {
        std::cout << "\nВходной образ :" << joined(probe, " %g") << '\n'
                  << "Выходной образ :"
                  << joined(training::investigate(run.trainer.network(), probe), "  %g") << '\n';
    }
    if (options.lint) {
        const std::vector<training::LintWarning> warnings = lintWarnings(run);
        std::cout << "\nЗамечания к обучению :" << (warnings.empty() ? " нет" : "") << '\n';
        for (const training::LintWarning& warning : warnings) {
            std::cout << "Итерация " << warning.iteration << ": " << warning.text
                      << " (справка: " << warning.help << ")\n";
        }
    }
}

namespace {

// --write-net, --curve and --record: Done, or Refused when one of them failed (or the run was
// refused).
int writeRunFiles(const TrainOptions& options, const TrainingRun& run, const TrainingHooks& hooks) {
    int exitStatus = run.outcome.refusal ? Refused : Done;
    if (!options.writeNet.empty()) {
        if (run.outcome.interrupted) {
            hooks.show(Message{MessageKind::Error,
                               "Обучение прервано: файл описания нейронной сети не записан."});
            exitStatus = Refused;
        } else {
            try {
                training::writeDescription(run.trainer.network(), options.writeNet);
            } catch (const AxoliteError& failure) {
                hooks.show(failure.message());
                exitStatus = Refused;
            }
        }
    }

    if (!options.curve.empty()) {
        if (!writeCurve(options, run.norms,
                        options.meanSquaredError ? run.errors : std::vector<double>{},
                        run.parameters.iterations, hooks.show)) {
            exitStatus = Refused;
        }
    }

    if (!options.record.empty() && !writeTrainingRecord(options.record, options, run, hooks.show)) {
        exitStatus = Refused;
    }

    return exitStatus;
}

int runTraining(const TrainOptions& given) {
    if (given.branchFrom) {
        return runTrainBranch(given);
    }
    if (!given.compare.empty() || given.seeds > 0) {
        if (given.lint) {
            std::cerr << "--lint: a single run only, not with --compare or --seeds\n";
            return UsageError;
        }
        return runTrainComparison(given);
    }
    TrainOptions options = given;
    if (!options.record.empty() && !options.seed) {
        // The seed the generator would take, kept so that the record can be replayed.
        options.seed = static_cast<std::uint32_t>(std::time(nullptr));
    }
    TrainingRun run(options.seed);
    try {
        readTrainOptions(options, run);
    } catch (const UsageFailure& failure) {
        std::cerr << failure.what() << '\n';
        return UsageError;
    }
    // A record and the lint keep the error of every iteration; the training is not touched.
    run.parameters.meanSquaredError =
        options.meanSquaredError || !options.record.empty() || options.lint;
    if (!readPatternStreams(run.parameters)) {
        return UsageError;
    }

    nlohmann::ordered_json json;
    nlohmann::json messages = nlohmann::json::array();
    const TrainingHooks hooks = consoleHooks(options, messages);
    try {
        trainNetwork(options, run, hooks);
    } catch (const AxoliteError& refusal) {
        return reportRefusal(options, hooks, refusal.message(), messages);
    }

    const int exitStatus = writeRunFiles(options, run, hooks);
    if (options.json) {
        json = trainingJson(options, run);
        json["messages"] = messages;
        std::cout << json.dump(1) << '\n';
        return exitStatus;
    }

    printTrainingText(options, run);
    return exitStatus;
}

} // namespace

void addTrainCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<TrainOptions>();
    CLI::App* command =
        app.add_subcommand("train", "Form and train a layered network on pattern files");
    command->add_option("--input", options->input, "Input pattern file (.ptn)");
    command->add_option("--target", options->target,
                        "Target pattern file (.ptn), for the back-propagation methods");
    command->add_option("--patterns", options->patterns, "Number of patterns P")->required();
    command->add_option("--input-layer", options->inputLayer,
                        "Input layer: N[:linear|step|sigmoid|gaussian]");
    command->add_option("--hidden", options->hidden,
                        "Hidden layers: \"n/e,n/e,...\" (neurons/ensembles, ensembles default 1)");
    command->add_option("--hidden-kind", options->hiddenKind, "Hidden layers: linear or sigmoid");
    command->add_option("--output-layer", options->outputLayer,
                        "Output layer: N[:linear|step|sigmoid|gaussian]");
    command->add_option("--method", options->method, "online, randomized, hebbian or competitive");
    command->add_option("--iterations", options->iterations, "Number of iterations T")->required();
    command->add_option("--rate", options->rate, "Learning rate");
    command->add_option("--local-minimum", options->localMinimum,
                        "At a local minimum: stop (Yes), continue (No) or off (no question)");
    command->add_option("--seed", options->seed,
                        "Seed of the generator (default: the current time in seconds)");
    command->add_option("--probe", options->probes,
                        "Investigate the trained network on these inputs (repeatable)");
    command->add_option("--write-net", options->writeNet,
                        "Write the trained network as a description and its .neu files");
    command->add_option("--curve", options->curve,
                        "Draw the norm of every iteration into this PNG or SVG file");
    command->add_flag("--curve-log", options->curveLog, "Draw the curve on a log scale");
    command->add_flag("--mse", options->meanSquaredError,
                      "After every iteration, the mean squared error over all patterns (a "
                      "forward pass of its own; drawn on the curve)");
    command->add_flag("--json", options->json, "Print one JSON object");
    command->add_option("--from-net", options->fromNet,
                        "Continue training the network of this description (written by "
                        "--write-net)");
    command->add_option("--from-record", options->fromRecord,
                        "Continue training, exactly, from the final weights of this record");
    command->add_option("--record", options->record,
                        "Write the experiment record of the run to this JSON file");
    command->add_option("--compare", options->compare,
                        "Compare runs from the same initial weights: \"rate=A,B,...\", "
                        "\"method=online,randomized\" or \"iterations=...\" (repeatable: the "
                        "cross product)");
    command
        ->add_option("--seeds", options->seeds,
                     "Run every variant with this many seeds (from --seed on) and draw the "
                     "mean curve with a band of one standard deviation")
        ->check(CLI::Range(1, 10000));
    command->add_flag("--lint", options->lint,
                      "After the results, the warnings a teacher would give about the run, each "
                      "with its iteration and help topic");
    addBranchOptions(*command, *options);
    command->callback([options, &status] { status = runTraining(*options); });
}

} // namespace axolite::cli
