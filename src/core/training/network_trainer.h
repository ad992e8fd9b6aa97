// The training command of the dialog "Формирование и обучение нейронной сети ": parameter checks,
// building the network, reading the pattern files, the four methods, the norm with its
// local-minimum question, and the results list of the page "Работа сети".
#pragma once

#include "core/common/message.h"
#include "core/common/progress.h"
#include "core/training/layered_network.h"
#include "core/training/pattern_file.h"
#include "core/training/training_history.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace axolite::training {

enum class TrainingMethod : int {
    BackPropagationOnline = 0,
    BackPropagationRandomized = 1,
    Hebbian = 2,
    Competitive = 3,
};

// "Back propagation online", "Back propagation randomized", "Hebbian rule method",
// "Competitive method".
const char* trainingMethodName(TrainingMethod method);

// The largest number of patterns P and of iterations T that the fields take.
constexpr int kMaxTrainingCount = 30000;

// The parameters of the page "Обучение сети".
struct TrainingParameters {
    int patterns = 1; // "Число эталонных образов :"; outside 1 … 30000 refused
    int iterations = 200; // "Число итераций обучения :"; outside 1 … 30000 refused
    std::string inputFile;
    std::string targetFile;
    // The patterns already read from a stream (acceptedPatternText); used instead of the file.
    std::optional<std::string> inputText;
    std::optional<std::string> targetText;
    TrainingMethod method = TrainingMethod::BackPropagationOnline;
    std::string learningRate = "0.25"; // converted as "%f" would; text that is no number is 0
    bool stopAtLocalMinimum = true;
    // After each iteration of back-propagation, the mean squared error over all patterns by a
    // forward pass of its own (the training itself is not touched). It adds about a third of a
    // back-propagation iteration's work, so it is asked for, not done by default.
    bool meanSquaredError = false;
};

// What the page shows while training: "Образ :", "Итерация обучения :", "Норма :" and the
// progress bar.
struct TrainingStatus {
    int lastPattern = -1;   // none shown yet
    int lastIteration = -1; // none shown yet
    std::string normText = "Недоступна";
    std::optional<float> norm; // the norm last shown, when one was
    int percent = 0;
};

// How the caller takes part in a run. Every member may be left empty.
struct TrainingCallbacks {
    // Percentage, pending events (polled at least once per iteration) and the "Прервать " flag,
    // which takes effect after the iteration in which it was raised.
    Progress* progress = nullptr;
    // Messages shown while the run goes on (the pattern files' warning, the Hebbian refusal).
    std::function<void(const Message&)> notify;
    // The local-minimum question; true answers Yes (stop). Without it the answer is Yes.
    std::function<bool()> askStopAtLocalMinimum;
    // Called after every iteration with the status shown.
    std::function<void(const TrainingStatus&)> iterationDone;
    // Called once the checks have passed, just before the method runs.
    std::function<void()> started;
    // Called with every norm computed (after each iteration of back-propagation with as many
    // input as output neurons), whether or not it differs from the one shown.
    std::function<void(int iteration, float norm)> normComputed;
    // Called with the mean squared error after every iteration, when it is asked for.
    std::function<void(int iteration, double error)> errorComputed;
    // For those who study a run from inside (the training lint); the methods look at these only
    // when they are set, so a run without them is untouched. competed: after every competition
    // of the competitive method, the layer's activities (1.0 for each ensemble's winner, else
    // 0.0). weightsUpdated: after every iteration of the two unsupervised methods, the Euclidean
    // norm of the weights into layer 1 and whether the Hebbian update halved them in it.
    std::function<void(int layer, const float* activities, int size)> competed;
    std::function<void(int iteration, double weightNorm, bool halved)> weightsUpdated;
    // Keeps the network after every k-th iteration of a run that gets past the checks (the
    // history of the previous run is dropped when the method starts). Without it nothing is
    // copied and the run is untouched.
    TrainingHistory* history = nullptr;
};

// The question asked at a local minimum (Yes/No, information icon).
std::string localMinimumQuestion();

enum class RowMarker { None, Violet, Yellow };

// One row of the results list.
struct ResultRow {
    std::vector<float> input;
    std::vector<float> target; // back-propagation only
    std::vector<float> response;
    std::vector<float> error; // (t − y) × 100 / y, back-propagation only
    RowMarker marker = RowMarker::None;
};

// The four column texts of a row: " %g" per input value, "  %g" per target and response value,
// "  %6.3g%" per relative error.
std::string inputColumnText(const ResultRow& row);
std::string targetColumnText(const ResultRow& row);
std::string responseColumnText(const ResultRow& row);
std::string errorColumnText(const ResultRow& row);

// The rows of the results list for another network over the same patterns: each row's input
// (and target, when it has one) answered by the network as the list's own rows were.
std::vector<ResultRow> resultRowsOf(const LayeredNetwork& network,
                                    const std::vector<ResultRow>& rows);

// How a run that got past the checks ended.
struct TrainingOutcome {
    bool interrupted = false; // the stop flag was raised ("Прервать " or the refusal)
    bool stoppedAtLocalMinimum = false; // Yes at the local-minimum question
    std::optional<Message> refusal;     // the Hebbian method's refusal with hidden layers
    std::vector<Message> warnings;      // shown during the run, in order
};

// The formed network of the dialog and everything a run leaves behind.
class NetworkTrainer {
public:
    // With a seed, the generator starts from it instead of the current time in seconds.
    explicit NetworkTrainer(std::optional<std::uint32_t> seed = std::nullopt) : random_(seed) {}

    // The seed of the following runs (none: the current time in seconds at each seeding).
    void setSeed(std::optional<std::uint32_t> seed) { random_ = RandomSource(seed); }

    // The network the following runs start from instead of a newly formed one: training
    // continues from its weights and biases (the generator is then not drawn from for forming).
    // None: every run forms its network with random initial weights. train refuses a start
    // network whose layers differ from the configuration's.
    void setStartNetwork(std::optional<LayeredNetwork> network) { start_ = std::move(network); }

    // The following runs are branches: they start from the point's network (instead of a formed
    // one or the start network) and count their iterations on from its iteration; the
    // randomized method draws on from the point's generator when it has one, else it seeds its
    // own as always. None: runs start as before.
    void setBranchPoint(std::optional<BranchPoint> point) { branch_ = std::move(point); }
    const std::optional<BranchPoint>& branchPoint() const { return branch_; }

    // The training command. Throws AxoliteError for a refusal: Error kind for P or T outside
    // 1 … 30000 (the message of a count typed wrongly), Information
    // for the learning rate, the pattern files and the ensemble counts (the network has already
    // been rebuilt for the last three).
    TrainingOutcome train(const LayerConfiguration& configuration,
                          const TrainingParameters& parameters, TrainingCallbacks callbacks = {});

    // Takes back a finished run (from its record): the network it started from, the one it
    // ended with, its method, status and results table, as if it had just run.
    void restoreRun(LayeredNetwork initial, LayeredNetwork final, TrainingMethod method,
                    TrainingStatus status, std::vector<ResultRow> rows);

    const LayeredNetwork& network() const { return network_; }
    // The network as the last run started: formed, or the start network.
    const LayeredNetwork& initialNetwork() const { return initial_; }
    bool trained() const { return trained_; }
    const TrainingStatus& status() const { return status_; }
    const std::vector<ResultRow>& rows() const { return rows_; }
    TrainingMethod lastMethod() const { return lastMethod_; }
    // The generator as the last run left it (the randomized method's draws go on from here).
    const RandomSource& generator() const { return random_; }

private:
    bool stopsAtLocalMinimum(float norm, int t, float& previousNorm,
                             const TrainingParameters& parameters, TrainingCallbacks& callbacks);
    void runBackPropagation(const TrainingParameters& parameters, const PatternTable& inputs,
                            const PatternTable& targets, float rate, TrainingCallbacks& callbacks,
                            TrainingOutcome& outcome);
    void runUnsupervised(const LayerConfiguration& configuration,
                         const TrainingParameters& parameters, const PatternTable& inputs,
                         float rate, TrainingCallbacks& callbacks, TrainingOutcome& outcome);
    void fillResults(const PatternTable& inputs, const PatternTable* targets);
    int firstIteration() const { return branch_ ? branch_->iteration : 0; }

    RandomSource random_;
    std::optional<LayeredNetwork> start_;
    std::optional<BranchPoint> branch_;
    LayeredNetwork network_;
    LayeredNetwork initial_;
    bool trained_ = false;
    TrainingStatus status_;
    std::vector<ResultRow> rows_;
    TrainingMethod lastMethod_ = TrainingMethod::BackPropagationOnline;
};

} // namespace axolite::training
