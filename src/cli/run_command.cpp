// `axolite-cli run FILE.net [--models DIR] [--csv OUT.csv] [--json] [--series]`: the road of a
// description through the check window, without a window: check, prepare, simulate, report.
#include "cli/run_command.h"

#include "cli/commands.h"
#include "cli/input_streams.h"

#include "core/common/number_text.h"
#include "core/language/description_text.h"
#include "core/platform/atomic_file.h"

#include <iostream>
#include <memory>
#include <system_error>

namespace axolite::cli {

namespace {

std::vector<RunStage>& stages() {
    static std::vector<RunStage> registered;
    return registered;
}

// The present output series, y1..yn.
int presentOutputs(const language::NetworkRecord& record) {
    int n = 0;
    while (n < language::kOutputCount && record.networkPresent[static_cast<std::size_t>(n)] != 0) {
        ++n;
    }
    return n;
}

// The stages that work between the preparation and the simulation (input activation).
bool stagesBeforeSimulation(RunContext& c, std::optional<int>& status) {
    for (const RunStage& stage : stages()) {
        if (stage.beforeSimulation && !status) {
            status = stage.beforeSimulation(c);
        }
    }
    return !status;
}

void printMessages(const RunContext& c, std::ostream& out) {
    for (const Message& m : c.messages) {
        out << "Сообщение: " << m.text << '\n';
    }
}

void printSimulationText(const RunContext& c, std::ostream& out) {
    out << "Шагов : " << c.record.steps << '\n';
    out << "Операций сложения : " << c.record.counters.additions << '\n';
    out << "Операций умножения : " << c.record.counters.multiplications << '\n';
    out << "Операций деления : " << c.record.counters.divisions << '\n';
    for (int k = 0; k < presentOutputs(c.record); ++k) {
        const auto& s = c.record.stats(language::SeriesFamily::Network, k);
        out << 'y' << k + 1 << " : минимум " << formatNumber("%.17g", s.minimum) << ", максимум "
            << formatNumber("%.17g", s.maximum) << ", диапазон " << formatNumber("%.17g", s.range)
            << '\n';
    }
}

} // namespace

bool checkStage(RunContext& c) {
    c.check = runCheck(c.text, c.record);
    return c.check.correct();
}

bool prepareStage(RunContext& c) {
    try {
        c.simulation.prepare(c.record, *c.check.result);
        return true;
    } catch (const AxoliteError& e) {
        c.messages.push_back(e.message());
        return false;
    }
}

bool simulateStage(RunContext& c, Progress& progress) {
    // Without --models, model files are also looked up beside a description file.
    std::filesystem::path descriptionFolder;
    if (!isStreamPath(c.options.path)) {
        descriptionFolder = platform::pathFromUtf8(c.options.path).parent_path();
        if (descriptionFolder.empty()) {
            descriptionFolder = ".";
        }
    }
    c.result = c.simulation.run(c.record, *c.check.result, progress, c.folders, descriptionFolder);
    if (c.result.message) {
        c.messages.push_back(*c.result.message);
    }
    return c.result.outcome == simulation::Simulation::Outcome::Completed;
}

void addSimulationJson(const RunContext& c, nlohmann::ordered_json& json) {
    json["steps"] = c.record.steps;
    json["counters"] = {{"additions", c.record.counters.additions},
                        {"multiplications", c.record.counters.multiplications},
                        {"divisions", c.record.counters.divisions}};
    nlohmann::ordered_json present = nlohmann::ordered_json::array();
    nlohmann::ordered_json stats = nlohmann::ordered_json::array();
    nlohmann::ordered_json series = nlohmann::ordered_json::array();
    for (int k = 0; k < language::kOutputCount; ++k) {
        present.push_back(c.record.networkPresent[static_cast<std::size_t>(k)] != 0);
    }
    for (int k = 0; k < presentOutputs(c.record); ++k) {
        const auto& s = c.record.stats(language::SeriesFamily::Network, k);
        stats.push_back({{"min", s.minimum}, {"max", s.maximum}, {"range", s.range}});
        if (c.options.series) {
            series.push_back(c.record.outputSeries[static_cast<std::size_t>(k)]);
        }
    }
    json["outputs_present"] = present;
    json["stats"] = stats;
    if (c.options.series) {
        json["series"] = series;
    }
}

namespace {

// Header i,x,y1,...,yn and one row per step, numbers as "%.17g", through a temporary file that
// replaces the file only when all was written. The failure when it cannot be written.
std::optional<platform::FileWriteFailure> writeCsv(const RunContext& c) {
    std::vector<CsvColumn> columns;
    for (int k = 0; k < presentOutputs(c.record); ++k) {
        columns.push_back(
            {"y" + std::to_string(k + 1), &c.record.outputSeries[static_cast<std::size_t>(k)]});
    }
    for (const RunStage& stage : stages()) {
        if (stage.addCsvColumns) {
            stage.addCsvColumns(c, columns);
        }
    }
    platform::AtomicFile file(platform::pathFromUtf8(c.options.csv));
    std::string row = "i,x";
    for (const CsvColumn& column : columns) {
        row += ',' + column.name;
    }
    row += '\n';
    bool written = file.open() && file.write(row);
    for (std::int32_t i = 0; written && i < c.record.steps; ++i) {
        const double x = c.record.t0 + static_cast<double>(i) * c.record.h;
        row = std::to_string(i) + ',';
        appendFormattedNumber("%.17g", x, row);
        for (const CsvColumn& column : columns) {
            const std::size_t index = static_cast<std::size_t>(i);
            const double v = column.values != nullptr && index < column.values->size()
                                 ? (*column.values)[index]
                                 : 0.0;
            row += ',';
            appendFormattedNumber("%.17g", v, row);
        }
        row += '\n';
        written = file.write(row);
    }
    if (written && file.commit()) {
        return std::nullopt;
    }
    return file.failure();
}

// Stage 4: the report, as text or as one JSON object.
void report(const RunContext& c, bool simulated) {
    if (simulated && !c.options.reportWhenSimulated) {
        return;
    }
    if (c.options.json) {
        nlohmann::ordered_json json = checkJson(c.check, c.record);
        for (const Message& m : c.messages) {
            json["messages"].push_back({{"icon", messageKindName(m.kind)}, {"text", m.text}});
        }
        if (simulated) {
            addSimulationJson(c, json);
            for (const RunStage& stage : stages()) {
                if (stage.addJson) {
                    stage.addJson(c, json);
                }
            }
        }
        std::cout << json.dump(1) << '\n';
        return;
    }
    printCheckText(std::cout, c.check);
    printMessages(c, std::cout);
    if (simulated) {
        printSimulationText(c, std::cout);
        for (const RunStage& stage : stages()) {
            if (stage.printText) {
                stage.printText(c, std::cout);
            }
        }
    }
}

} // namespace

std::optional<std::string> setModelsFolder(RunContext& c) {
    if (c.options.models.empty()) {
        return std::nullopt;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(platform::pathFromUtf8(c.options.models), ec)) {
        return "Имя директории введено неверно.";
    }
    c.folders.models = c.options.models;
    c.folders.set = true;
    return std::nullopt;
}

int runDescription(RunContext& c) {
    auto text = readDescriptionInput(c.options.path);
    if (!text) {
        std::cerr << unreadableFileText(c.options.path) << '\n';
        return UsageError;
    }
    c.text = std::move(*text);
    if (const auto refusal = setModelsFolder(c)) {
        std::cerr << *refusal << '\n';
        return UsageError;
    }

    std::optional<int> stageStatus;
    SilentProgress progress;
    const bool simulated = checkStage(c) && prepareStage(c) &&
                           stagesBeforeSimulation(c, stageStatus) && simulateStage(c, progress);
    if (simulated) {
        for (const RunStage& stage : stages()) {
            if (stage.afterSimulation && !stageStatus) {
                stageStatus = stage.afterSimulation(c);
            }
        }
    }
    report(c, simulated && !stageStatus);
    if (!simulated) {
        return stageStatus.value_or(Refused);
    }
    if (stageStatus) {
        return *stageStatus;
    }
    if (!c.options.csv.empty()) {
        if (const auto failure = writeCsv(c)) {
            std::cerr << platform::fileWriteMessage(*failure).text << '\n';
            return UsageError;
        }
    }
    return Done;
}

void registerRunStage(RunStage stage) {
    stages().push_back(std::move(stage));
}

void addRunDescriptionOptions(CLI::App& command, RunOptions& options) {
    command.add_option("file", options.path, "Description file (.net)")->required();
    command.add_option("--models", options.models,
                       "Folder of the neuron models (.neu); the current folder by default");
    for (const RunStage& stage : stages()) {
        if (stage.addOptions) {
            stage.addOptions(command);
        }
    }
}

int runThenReport(const RunOptions& options, int statusOnMessage,
                  const std::function<int(RunContext& context)>& report) {
    auto context = std::make_unique<RunContext>();
    context->options = options;
    context->options.reportWhenSimulated = false;
    const int status = runDescription(*context);
    if (status != Done) {
        return status;
    }
    try {
        return report(*context);
    } catch (const AxoliteError& e) {
        std::cout << "Сообщение: " << e.message().text << '\n';
        return statusOnMessage;
    }
}

void addRunCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<RunOptions>();
    CLI::App* command = app.add_subcommand("run", "Check a description and simulate the network");
    addRunDescriptionOptions(*command, *options);
    command->add_option("--csv", options->csv, "Write the output series to this CSV file");
    command->add_flag("--json", options->json, "Print one JSON object");
    command->add_flag("--series", options->series, "With --json: include the output series");
    command->callback([options, &status] {
        // The context holds the histories of the whole run: one, on the heap, per command.
        auto context = std::make_unique<RunContext>();
        context->options = *options;
        status = runDescription(*context);
    });
}

} // namespace axolite::cli
