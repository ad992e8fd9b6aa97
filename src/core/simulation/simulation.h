// The simulation of a checked description: the preparation after a correct check (the step
// count and every array) and the run (structure re-read from the token stream, models loaded,
// the synchronous steps, the output series and their statistics).
#pragma once

#include "core/common/message.h"
#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/neuron_model.h"
#include "core/simulation/step_kernel.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace axolite::language {
struct CheckResult;
}

namespace axolite::simulation {

struct NetworkStructure;

// The most steps a run may have.
constexpr std::int32_t kMaxSteps = 1000000;

// "Слишком много шагов пересчета." (information icon).
Message tooManyStepsMessage();
// "Недостаточно памяти для моделирования работы нейронной сети." (error icon).
Message outOfMemoryMessage();

// S = (t1 − t0) / h truncated toward zero. Nothing when the quotient does not fit a 32-bit
// integer, is infinite or not a number; a negative quotient gives 0 steps.
std::optional<std::int32_t> stepCountOf(double t0, double t1, double h);

// The folders a run looks its model files up in, in this order: the models folder when one has
// been set (then no other); otherwise the current folder, then the description's own folder and
// the folder "models" in it. descriptionFolder is empty for a description that has no file; a
// folder met twice is searched once.
std::vector<std::filesystem::path>
modelSearchFolders(const platform::FolderSettings& folders,
                   const std::filesystem::path& descriptionFolder);

class Simulation {
public:
    // After a correct check: computes S, stores N and S in the record and allocates every array
    // (the histories and the output series of the record, the run's own arrays). Throws
    // AxoliteError with tooManyStepsMessage() when S exceeds kMaxSteps and with
    // outOfMemoryMessage() when an allocation fails; the caller then clears correct.
    void prepare(language::NetworkRecord& record, const language::CheckResult& check);

    enum class Outcome {
        NotRun,    // the check did not find the description correct, or nothing was prepared
        Refused,   // models could not be loaded or the structure cannot be simulated: message
        Cancelled, // the user stopped it; histories and series filled up to the last step
        Completed,
    };
    struct Result {
        Outcome outcome = Outcome::NotRun;
        std::optional<Message> message;
        // The folders the models were read from, in the order of first use (empty when the run
        // was refused or did not run).
        std::vector<std::filesystem::path> modelFolders;
    };

    // Runs the whole simulation. Progress gets i × 100 / S after every step and is polled for
    // a cancel request (carried into the record's cancel-requested flag). A failed allocation on
    // the way (reading the structure, the models, the progress's own work) refuses the run with
    // outOfMemoryMessage(); the simulated flag and the output presence flags are then down.
    // Model files are looked up in modelSearchFolders(folders, descriptionFolder).
    Result run(language::NetworkRecord& record, const language::CheckResult& check,
               Progress& progress, const platform::FolderSettings& folders,
               const std::filesystem::path& descriptionFolder = {});

    std::int32_t steps() const { return steps_; }
    std::int32_t neurons() const { return neurons_; }
    bool prepared() const { return prepared_; }

    // The models and codes of the last run (for tests and the views of a neuron).
    const std::vector<ModelParameters>& models() const { return models_; }
    const std::vector<std::int64_t>& codes() const { return codes_; }
    // The wait count (SUSPEND) of every neuron in the last run.
    const std::vector<std::int64_t>& waitCounts() const { return waitReloads_; }

    // Where the run takes its models from: by default the model files (loadModel) in the
    // models folder; a study that builds its network in memory gives its models here.
    void setModelLoader(ModelFiles::Loader loader) { modelLoader_ = std::move(loader); }

    // Releases the run's own arrays (the record keeps its histories and series).
    void release();

private:
    [[noreturn]] void outOfMemory(language::NetworkRecord& record);
    Result runPrepared(language::NetworkRecord& record, const language::CheckResult& check,
                       Progress& progress, const std::vector<std::filesystem::path>& search,
                       std::vector<std::filesystem::path>& used);
    // The steps of a run: codes and wait counts from the structure, the models of the codes
    // (the failure of the first file that cannot be read), the weights, the initial states, the
    // steps themselves (false when cancelled) and the output series with their statistics.
    void assignCodesAndWaits(const NetworkStructure& structure);
    std::optional<Message> loadModels(const std::vector<std::filesystem::path>& search,
                                      std::vector<std::filesystem::path>& used,
                                      std::vector<ModelKind>& kinds);
    void configureWeights(const NetworkStructure& structure);
    void setInitialStates(language::NetworkRecord& record, const NetworkStructure& structure) const;
    bool stepThrough(language::NetworkRecord& record, const std::vector<ModelKind>& kinds,
                     Progress& progress);
    void writeOutputSeries(language::NetworkRecord& record,
                           const NetworkStructure& structure) const;

    std::int32_t neurons_ = 0;
    std::int32_t steps_ = 0;
    bool prepared_ = false;

    std::vector<ModelParameters> models_;
    std::vector<std::int64_t> codes_;
    std::vector<std::int64_t> waitCounters_;
    std::vector<std::int64_t> waitReloads_;
    std::vector<double> weights_; // W[j][k] row-major: weight from neuron k to neuron j
    std::vector<double> senders_; // the x of one step: input + activity of every neuron
    std::vector<double> net_;     // the net input of every neuron in one step
    StepKernel kernel_;
    ModelFiles::Loader modelLoader_ = loadModel;
};

} // namespace axolite::simulation
