// The reference stages of `axolite-cli run`.
#include "cli/reference_options.h"

#include "cli/commands.h"
#include "cli/run_command.h"

#include "core/common/number_text.h"
#include "core/common/progress.h"
#include "core/reference/exact_and_runge_kutta.h"
#include "core/reference/exact_values.h"
#include "core/reference/input_activation.h"
#include "core/reference/pattern_writers.h"
#include "core/reference/runge_kutta.h"
#include "core/views/series.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <optional>
#include <sstream>

namespace axolite::cli {

namespace {

using language::kOutputCount;
using language::NetworkRecord;
using language::SeriesFamily;

std::vector<std::string> fields(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> result;
    for (std::string field; in >> field;) {
        result.push_back(field);
    }
    return result;
}

// The 25 texts of the Runge-Kutta dialog from the two options; fields not given stay "0.0".
std::array<std::string, reference::kSystemTextCount>
systemTexts(const std::string& rk, const std::string& rkInit, int& equations) {
    std::array<std::string, reference::kSystemTextCount> texts;
    texts.fill("0.0");
    std::vector<std::string> rows;
    std::string row;
    std::istringstream in(rk);
    while (std::getline(in, row, ';')) {
        rows.push_back(row);
    }
    if (rows.size() > kOutputCount) {
        throw CLI::ValidationError("--rk", "at most four rows separated by ';'");
    }
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto numbers = fields(rows[k]);
        if (numbers.size() > 5) {
            throw CLI::ValidationError("--rk", "at most five numbers a b c d e in a row");
        }
        for (std::size_t c = 0; c < numbers.size(); ++c) {
            texts[k * 5 + c] = numbers[c];
        }
    }
    const auto initial = fields(rkInit);
    if (initial.size() > kOutputCount) {
        throw CLI::ValidationError("--rk-init", "at most four initial values y1 y2 y3 y4");
    }
    for (std::size_t k = 0; k < initial.size(); ++k) {
        texts[21 + k] = initial[k];
    }
    equations = static_cast<int>(std::max(rows.size(), initial.size()));
    return texts;
}

} // namespace

std::pair<double, std::string> splitAssignment(const std::string& option, const std::string& item) {
    const std::size_t equals = item.find('=');
    const std::string number = item.substr(0, equals);
    const std::size_t length = scanDecimalNumber(number);
    if (equals == std::string::npos || length == 0 || length != number.size()) {
        throw CLI::ValidationError(option, "expected NUMBER=FORMULA, got \"" + item + "\"");
    }
    return {decimalValue(number), item.substr(equals + 1)};
}

SystemOption readSystemOption(const std::string& rk, const std::string& rkInit) {
    SystemOption option;
    option.system = reference::readLinearSystem(systemTexts(rk, rkInit, option.equations));
    return option;
}

std::array<std::string, kOutputCount> exactFormulas(const std::vector<std::string>& items,
                                                    const std::string& absent) {
    std::array<std::string, kOutputCount> formulas;
    formulas.fill(absent);
    for (const std::string& item : items) {
        const auto [k, formula] = splitAssignment("--exact", item);
        if (!(k >= 1 && k <= kOutputCount && k == static_cast<int>(k))) {
            throw CLI::ValidationError("--exact", "K must be 1, 2, 3 or 4");
        }
        formulas[static_cast<std::size_t>(k) - 1] = formula;
    }
    return formulas;
}

namespace {

nlohmann::ordered_json flags(const std::array<std::uint8_t, kOutputCount>& present) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const std::uint8_t flag : present) {
        out.push_back(flag != 0);
    }
    return out;
}

nlohmann::ordered_json statistics(const NetworkRecord& record, SeriesFamily family) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (int k = 0; k < kOutputCount; ++k) {
        if (!views::seriesPresent(record, family, k)) {
            out.push_back(nullptr);
            continue;
        }
        const auto& s = record.stats(family, k);
        out.push_back({{"min", s.minimum}, {"max", s.maximum}, {"range", s.range}});
    }
    return out;
}

nlohmann::ordered_json estimate(std::optional<double> value) {
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

} // namespace

void addReferenceOptions(CLI::App& run, ReferenceOptions& options) {
    run.add_option("--activate", options.activate,
                   "Activation function of input neuron N, as N=FORMULA (repeatable; input "
                   "neurons not named get 0)");
    run.add_option("--exact", options.exact,
                   "Analytic dependency yK, as K=FORMULA with K 1..4 (repeatable; 0.0 otherwise)");
    run.add_option("--rk", options.rk,
                   "Runge-Kutta system: \"a1 b1 c1 d1 e1; a2 ...; a3 ...; a4 ...\"");
    run.add_option("--rk-init", options.rkInit, "Initial values \"y1 y2 y3 y4\"");
    run.add_option("--ptn-exact", options.ptnExact, "Write the exact values as a pattern file");
    run.add_option("--ptn-rk", options.ptnRk, "Write the Runge-Kutta solution as a pattern file");
    run.add_option("--ptn-inputs", options.ptnInputs,
                   "Write the input activations as a pattern file");
}

ReferenceStages::ReferenceStages(const ReferenceOptions& options) : options_(options) {}

void ReferenceStages::beforeSimulation(NetworkRecord& record, Progress& progress) {
    if (!options_.wantsActivation()) {
        return;
    }
    const std::size_t entries = record.inputLayer ? record.inputLayer->size() : 0;
    std::vector<std::string> functions(entries, "0");
    for (const std::string& item : options_.activate) {
        const auto [neuron, formula] = splitAssignment("--activate", item);
        bool found = false;
        for (std::size_t n = 0; n < entries; ++n) {
            if ((*record.inputLayer)[n] == neuron && neuron != 0.0) {
                functions[n] = formula;
                found = true;
            }
        }
        if (!found) {
            throw CLI::ValidationError("--activate", "neuron " + item.substr(0, item.find('=')) +
                                                         " is not in the input layer");
        }
    }
    reference::computeInputActivation(record, functions, progress);
    stages_.push_back({"activation", record.counters});
    if (!options_.ptnInputs.empty()) {
        reference::writeInputActivationPatterns(record, options_.ptnInputs);
    }
}

void ReferenceStages::afterSimulation(const NetworkRecord& record) {
    stages_.push_back({"simulation", record.counters});
}

void ReferenceStages::referenceSolutions(NetworkRecord& record, Progress& progress) {
    const bool exact = options_.wantsExact();
    const bool rungeKutta = options_.wantsRungeKutta();
    reference::LinearSystem system;
    if (rungeKutta) {
        system = readSystemOption(options_.rk, options_.rkInit).system;
        system.x0 = record.t0;
        reference::clearAbsentOutputs(system, record.networkPresent);
    }
    if (exact && rungeKutta) {
        // Both at once, one on each core; the exact values leave the counters at zero.
        reference::computeExactAndRungeKutta(record, exactFormulas(options_.exact, "0.0"), system,
                                             progress);
        stages_.push_back({"exact", {}});
    } else if (exact) {
        reference::computeExactValues(record, exactFormulas(options_.exact, "0.0"), progress);
        stages_.push_back({"exact", record.counters});
    } else if (rungeKutta) {
        reference::computeRungeKutta(record, system, progress);
    }
    if (rungeKutta) {
        stages_.push_back({"rk", record.counters});
    }
    if (exact && !options_.ptnExact.empty()) {
        reference::writeExactPatterns(record, options_.ptnExact);
    }
    if (rungeKutta && !options_.ptnRk.empty()) {
        reference::writeRungeKuttaPatterns(record, options_.ptnRk);
    }
}

void ReferenceStages::printEstimates(std::ostream& out, const NetworkRecord& record) const {
    if (!options_.wantsExact() && !options_.wantsRungeKutta()) {
        return;
    }
    // As the numeric view shows them: a row it disables (no exact values for the network's, no
    // Runge-Kutta series for the other) is its label with an empty field.
    const auto network = views::networkErrorEstimate(record);
    const bool rungeKutta = views::anySeriesPresent(record, SeriesFamily::RungeKutta);
    out << " Оценка максимальной абсолютной погрешности  \n";
    out << "Работы нейроннной сети : " << (network ? views::errorEstimateText(network) : "")
        << "\n";
    out << "Вычислений методом Рунге-Кутта : "
        << (rungeKutta ? views::errorEstimateText(views::rungeKuttaErrorEstimate(record)) : "")
        << "\n";
}

std::vector<ReferenceStages::Column>
ReferenceStages::csvColumns(const NetworkRecord& record) const {
    std::vector<Column> columns;
    for (int k = 0; k < kOutputCount; ++k) {
        if (views::seriesPresent(record, SeriesFamily::RungeKutta, k)) {
            columns.push_back({"rk" + std::to_string(k + 1), &record.rungeKuttaSeries[k]});
        }
    }
    for (int k = 0; k < kOutputCount; ++k) {
        if (views::seriesPresent(record, SeriesFamily::Exact, k)) {
            columns.push_back({"exact" + std::to_string(k + 1), &record.exactSeries[k]});
        }
    }
    return columns;
}

void ReferenceStages::addJson(nlohmann::ordered_json& out, const NetworkRecord& record) const {
    out["exact_present"] = flags(record.exactPresent);
    out["rk_present"] = flags(record.rungeKuttaPresent);
    out["network_error"] = estimate(views::networkErrorEstimate(record));
    out["rk_error"] = estimate(views::rungeKuttaErrorEstimate(record));
    out["exact_stats"] = statistics(record, SeriesFamily::Exact);
    out["rk_stats"] = statistics(record, SeriesFamily::RungeKutta);
    nlohmann::ordered_json stages = nlohmann::ordered_json::array();
    for (const StageCounters& stage : stages_) {
        stages.push_back({{"stage", stage.stage},
                          {"additions", stage.counters.additions},
                          {"multiplications", stage.counters.multiplications},
                          {"divisions", stage.counters.divisions}});
    }
    out["stage_counters"] = stages;
}

} // namespace axolite::cli

// The reference stages join `axolite-cli run` before main() parses the command line.
namespace axolite::cli {

namespace {

struct ReferenceRun {
    ReferenceOptions options;
    std::optional<ReferenceStages> stages;

    ReferenceStages& started() {
        if (!stages) {
            stages.emplace(options);
        }
        return *stages;
    }
};

ReferenceRun& referenceRun() {
    static ReferenceRun run;
    return run;
}

// Runs a stage's work: a message of the system stops the run with exit status 1 (the report
// prints it), an option that cannot be read with status 2.
template <typename Work> std::optional<int> guarded(RunContext& context, Work work) {
    try {
        work();
        return std::nullopt;
    } catch (const AxoliteError& e) {
        context.messages.push_back(e.message());
        return Refused;
    } catch (const CLI::ValidationError& e) {
        std::cerr << e.what() << '\n';
        return UsageError;
    }
}

const bool kRegistered = [] {
    RunStage stage;
    stage.addOptions = [](CLI::App& command) {
        addReferenceOptions(command, referenceRun().options);
    };
    stage.beforeSimulation = [](RunContext& context) {
        return guarded(context, [&] {
            SilentProgress progress;
            referenceRun().started().beforeSimulation(context.record, progress);
        });
    };
    stage.afterSimulation = [](RunContext& context) {
        ReferenceStages& stages = referenceRun().started();
        stages.afterSimulation(context.record);
        return guarded(context, [&] {
            SilentProgress progress;
            stages.referenceSolutions(context.record, progress);
        });
    };
    stage.printText = [](const RunContext& context, std::ostream& out) {
        referenceRun().started().printEstimates(out, context.record);
    };
    stage.addJson = [](const RunContext& context, nlohmann::ordered_json& json) {
        if (referenceRun().options.wantsAny()) {
            referenceRun().started().addJson(json, context.record);
        }
    };
    stage.addCsvColumns = [](const RunContext& context, std::vector<CsvColumn>& columns) {
        for (const auto& column : referenceRun().started().csvColumns(context.record)) {
            columns.push_back({column.name, column.values});
        }
    };
    registerRunStage(std::move(stage));
    return true;
}();

} // namespace

} // namespace axolite::cli
