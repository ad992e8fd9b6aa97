// `axolite-cli run`: check, prepare, simulate, report. The command runs in separate stages over
// one context, and further stages (reference solutions, ...) can join it: each may add options,
// work after the simulation, and add its lines, JSON members and CSV columns to the report.
#pragma once

#include "cli/check_report.h"

#include "core/common/progress.h"
#include "core/language/description_text.h"
#include "core/language/network_record.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/simulation.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace axolite::cli {

struct RunOptions {
    std::string path;
    std::string models; // empty: the current directory
    std::string csv;    // empty: no CSV file
    bool json = false;
    bool series = false;
    // False: a run that completed prints nothing (a command that reports something else after
    // the run); a failed one still prints its report.
    bool reportWhenSimulated = true;
};

// Everything one `run` works on, in the order the stages fill it.
struct RunContext {
    RunOptions options;
    // The description as it was read, once: a stream cannot be read a second time.
    language::DescriptionText text;
    platform::FolderSettings folders;
    language::NetworkRecord record;
    CheckOutcome check;
    simulation::Simulation simulation;
    simulation::Simulation::Result result;
    // Message boxes of the stages after the check (preparation, models, ...), in order.
    std::vector<Message> messages;
};

// One column of the CSV file: its header and one value per step.
struct CsvColumn {
    std::string name;
    const std::vector<double>* values = nullptr;
};

// A stage that joins `run`. Every member is optional.
struct RunStage {
    std::function<void(CLI::App& command)> addOptions;
    // After the preparation, before the simulation; returns the exit status to stop with.
    std::function<std::optional<int>(RunContext& context)> beforeSimulation;
    // After a completed simulation; returns the exit status to stop with, or nothing to go on.
    std::function<std::optional<int>(RunContext& context)> afterSimulation;
    std::function<void(const RunContext& context, std::ostream& out)> printText;
    std::function<void(const RunContext& context, nlohmann::ordered_json& json)> addJson;
    std::function<void(const RunContext& context, std::vector<CsvColumn>& columns)> addCsvColumns;
};

// Stages join before main() parses the command line (e.g. from a static initialiser).
void registerRunStage(RunStage stage);

// The options of every command that runs a description as `run` does: the file, --models and
// the options of the stages (input activation, reference solutions, ...).
void addRunDescriptionOptions(CLI::App& command, RunOptions& options);

// The stages of the road, for callers that report in their own way. Each is false when the
// description goes no further: the check's rows, context.messages or the simulation's result say
// why.
// The models folder of the options into the folder settings; the message when it is no folder.
std::optional<std::string> setModelsFolder(RunContext& context);
// The check of context.text, as `check` does it.
bool checkStage(RunContext& context);
// The preparation after a correct check.
bool prepareStage(RunContext& context);
// The simulation; model files are also looked up beside a description file.
bool simulateStage(RunContext& context, Progress& progress);
// steps, counters, outputs_present, stats and, with options.series, the output series.
void addSimulationJson(const RunContext& context, nlohmann::ordered_json& json);

// The road of `run`: read, check, prepare, simulate with the stages around it, print the report
// (text or JSON) and write the CSV file. Done when everything completed: the record then holds
// the series.
int runDescription(RunContext& context);

// The road of a command that reports something else after a completed run (explain, debug):
// runs the description as `run` does, printing its report only when it fails (and returning its
// status), then returns what report returns. A message the report throws (AxoliteError) is
// printed as "Сообщение: <text>" and gives statusOnMessage.
int runThenReport(const RunOptions& options, int statusOnMessage,
                  const std::function<int(RunContext& context)>& report);

} // namespace axolite::cli
