// The reference options of `axolite-cli run`: input activation before the simulation, exact values
// and the Runge-Kutta solution after it, their pattern files, and the error estimates and series
// they add to the run's text, CSV and JSON output.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/reference/runge_kutta.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <array>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace axolite::cli {

struct ReferenceOptions {
    std::vector<std::string> activate; // "N=FORMULA": input neuron N
    std::vector<std::string> exact;    // "K=FORMULA": dependency yK, K = 1..4
    std::string rk;                    // "a1 b1 c1 d1 e1; a2 ...; a3 ...; a4 ..."
    std::string rkInit;                // "y1 y2 y3 y4"
    std::string ptnExact;
    std::string ptnRk;
    std::string ptnInputs;

    bool wantsActivation() const { return !activate.empty() || !ptnInputs.empty(); }
    bool wantsExact() const { return !exact.empty() || !ptnExact.empty(); }
    bool wantsRungeKutta() const { return !rk.empty() || !rkInit.empty() || !ptnRk.empty(); }
    bool wantsAny() const { return wantsActivation() || wantsExact() || wantsRungeKutta(); }
};

// "N=TEXT" → (N, TEXT); N must be a whole decimal number (CLI::ValidationError otherwise).
std::pair<double, std::string> splitAssignment(const std::string& option, const std::string& item);

// The linear system of --rk "a1 b1 c1 d1 e1; a2 ...; ..." and --rk-init "y1 y2 ...", read as the
// Runge-Kutta dialog reads its fields (fields not given are "0.0"), and the number of equations
// the options gave: the rows of --rk or the values of --rk-init, whichever are more.
// CLI::ValidationError for more than four rows or values, or more than five numbers in a row.
struct SystemOption {
    reference::LinearSystem system;
    int equations = 0;
};
SystemOption readSystemOption(const std::string& rk, const std::string& rkInit);

// The formulas of --exact K=FORMULA items, by K (1..4); components not named get `absent`.
std::array<std::string, language::kOutputCount> exactFormulas(const std::vector<std::string>& items,
                                                              const std::string& absent);

// Adds the options to the run subcommand.
void addReferenceOptions(CLI::App& run, ReferenceOptions& options);

// The operation counters as they stood after each stage, in the order the stages ran.
struct StageCounters {
    std::string stage; // "activation", "simulation", "exact", "rk"
    language::OperationCounters counters;
};

// Runs the reference stages of one `run` and remembers what they did. A formula error or a file
// that cannot be written is thrown as AxoliteError (the run prints its text and exits 1); an
// option that cannot be read is thrown as CLI::ValidationError (exit 2).
class ReferenceStages {
public:
    explicit ReferenceStages(const ReferenceOptions& options);

    // After the preparation, before the simulation: the input activation (when asked for) and its
    // pattern file.
    void beforeSimulation(language::NetworkRecord& record, Progress& progress);

    // Call after the simulation: records the simulation's counters as a stage.
    void afterSimulation(const language::NetworkRecord& record);

    // After the simulation: exact values, Runge-Kutta solution and their pattern files.
    void referenceSolutions(language::NetworkRecord& record, Progress& progress);

    const std::vector<StageCounters>& stageCounters() const { return stages_; }

    // Text output: the two error estimates as the numeric view shows them ("       Недоступна"
    // for Runge-Kutta series without exact values, the label alone for a row the view disables).
    // Printed only when a reference option was given.
    void printEstimates(std::ostream& out, const language::NetworkRecord& record) const;

    // CSV: the names and the values at step i of the extra columns (rk1..rk4, exact1..exact4 for
    // the present series).
    struct Column {
        std::string name;
        const std::vector<double>* values;
    };
    std::vector<Column> csvColumns(const language::NetworkRecord& record) const;

    // JSON: exact_present, rk_present, network_error, rk_error (null when absent), exact_stats,
    // rk_stats and stage_counters.
    void addJson(nlohmann::ordered_json& out, const language::NetworkRecord& record) const;

private:
    ReferenceOptions options_;
    std::vector<StageCounters> stages_;
};

} // namespace axolite::cli
