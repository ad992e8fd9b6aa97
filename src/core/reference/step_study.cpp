// The step-size study: one in-memory Euler network, exact values and Runge-Kutta solution per grid.
#include "core/reference/step_study.h"

#include "core/common/message.h"
#include "core/common/number_text.h"
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/platform/folder_settings.h"
#include "core/platform/profile_file.h"
#include "core/reference/exact_values.h"
#include "core/reference/formula.h"
#include "core/reference/shared_progress.h"
#include "core/simulation/simulation.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace axolite::reference {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Passes the percentages of one part of the study on to the study's progress, mapped into that
// part's share of the whole.
class PartProgress final : public Progress {
public:
    PartProgress(Progress& whole, double from, double to) : whole_(whole), from_(from), to_(to) {}
    void setPercent(int percent) override {
        if (percent == lastIn_) {
            return; // the simulation reports after every step: most reports repeat the last
        }
        lastIn_ = percent;
        const int mapped = static_cast<int>(from_ + (to_ - from_) * percent / 100.0);
        if (mapped != last_) {
            last_ = mapped;
            whole_.setPercent(std::clamp(mapped, 0, 100));
        }
    }
    void poll() override { whole_.poll(); }
    bool cancelRequested() const override { return whole_.cancelRequested(); }

private:
    Progress& whole_;
    double from_;
    double to_;
    int lastIn_ = -1;
    int last_ = -1;
};

// One pass over a series a and its reference b (none: a alone), j < count: the largest
// The largest |a_j − b_j| over the first count points, NaN when a difference is no number.
double seriesError(const std::vector<double>& a, const std::vector<double>& b, std::size_t count) {
    const SeriesDeviation deviation = largestDeviation(a, b, count);
    return deviation.noNumber ? kNaN : deviation.largest;
}

// The largest |a_j| over the first count points, NaN passed over.
double largestMagnitude(const std::vector<double>& a, std::size_t count) {
    double magnitude = 0.0;
    const std::size_t n = std::min(count, a.size());
    for (std::size_t j = 0; j < n; ++j) {
        const double m = std::fabs(a[j]);
        magnitude = m > magnitude ? m : magnitude;
    }
    return magnitude;
}

// The larger of two errors, NaN winning.
double worse(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return kNaN;
    }
    return std::max(a, b);
}

// The largest magnitude the outputs may reach while the network equals the Euler loop: the
// linear model passes values below its bound unchanged, so every net input stays inside the bound
// while no activity reaches bound ÷ (largest row sum of |W|). A value beyond that may have been
// cut by the model in the next step.
double modelRangeLimit(const std::vector<double>& weights, int outputs) {
    const auto count = static_cast<std::size_t>(outputs) + 1;
    double rowSum = 1.0;
    for (std::size_t j = 0; j < count; ++j) {
        double sum = 0.0;
        for (std::size_t k = 0; k < count; ++k) {
            sum += std::fabs(weights[j * count + k]);
        }
        rowSum = std::max(rowSum, sum);
    }
    return kEulerModelBound / rowSum;
}

std::string noteText(double h, std::int64_t steps) {
    return "Шаг " + formatNumber("%g", h) + " дал бы " + std::to_string(steps) +
           " шагов (не более " + std::to_string(simulation::kMaxSteps) +
           "): исследование остановлено.";
}

// The step count of a grid, beyond the int range counted as one more than the limit.
std::int64_t stepsOf(const EulerGrid& grid, double h) {
    const std::optional<std::int32_t> s = simulation::stepCountOf(grid.t0, grid.t1, h);
    return s ? *s : static_cast<std::int64_t>(simulation::kMaxSteps) + 1;
}

// One grid of the study: the network, the references and the errors.
class GridRun {
public:
    GridRun(const StepStudyRequest& request, double h) : request_(request), h_(h) {}

    // False when the run was cancelled.
    bool run(Progress& progress, double from, double to, StepStudyRow& row) {
        EulerGrid grid = request_.grid;
        grid.h = h_;
        const training::GeneratedDescription description =
            generateEulerNetwork(request_.system, request_.outputs, grid);
        build(description);
        const double third = (to - from) / 3.0;
        PartProgress simulating(progress, from, from + third);
        const auto result = simulation_.run(*record_, check_, simulating, folders_);
        if (result.outcome == simulation::Simulation::Outcome::Cancelled) {
            return false;
        }
        if (result.outcome != simulation::Simulation::Outcome::Completed) {
            throw AxoliteError(MessageKind::Error, result.message
                                                       ? result.message->text
                                                       : language::kUnrecognisedDescriptionText);
        }
        const bool exact = anyExact();
        if (exact) {
            std::array<std::string, language::kOutputCount> formulas;
            for (std::size_t k = 0; k < formulas.size(); ++k) {
                formulas[k] = request_.exact[k].empty() ? "0.0" : request_.exact[k];
            }
            PartProgress evaluating(progress, from + third, from + 2 * third);
            if (computeExactValues(*record_, formulas, evaluating) ==
                ComputationOutcome::Cancelled) {
                return false;
            }
        }
        LinearSystem system = request_.system;
        system.x0 = grid.t0;
        PartProgress solving(progress, from + 2 * third, to);
        if (computeRungeKutta(*record_, system, solving) == ComputationOutcome::Cancelled) {
            return false;
        }
        measure(exact, row);
        return true;
    }

private:
    bool anyExact() const {
        for (int k = 0; k < request_.outputs; ++k) {
            if (!request_.exact[static_cast<std::size_t>(k)].empty()) {
                return true;
            }
        }
        return false;
    }

    // The record of the generated description, checked and prepared, and its model in memory.
    void build(const training::GeneratedDescription& description) {
        record_ = std::make_unique<language::NetworkRecord>();
        const language::DescriptionText text = language::decodeDescription(description.netText);
        if (language::lexDescription(text, *record_)) {
            throw AxoliteError(MessageKind::Error, language::kUnrecognisedDescriptionText);
        }
        check_ = language::checkDescription(*record_);
        if (!check_.correct) {
            throw AxoliteError(MessageKind::Error, language::kUnrecognisedDescriptionText);
        }
        simulation_.prepare(*record_, check_);
        const training::ModelFileText model = description.models.front();
        const platform::ProfileFile profile = platform::ProfileFile::parse(model.text);
        simulation_.setModelLoader([profile, code = model.code](const std::filesystem::path&,
                                                                std::int64_t wanted) {
            return wanted == code ? simulation::modelFromProfile(profile, wanted) : std::nullopt;
        });
    }

    void measure(bool exact, StepStudyRow& row) const {
        const language::NetworkRecord& r = *record_;
        const auto steps = static_cast<std::size_t>(r.steps);
        row.h = h_;
        row.steps = r.steps;
        double network = 0.0;
        double rk = 0.0;
        double magnitude = 0.0; // of the network's outputs, NaN passed over
        for (int k = 0; k < request_.outputs; ++k) {
            const auto c = static_cast<std::size_t>(k);
            const bool hasExact = !request_.exact[c].empty();
            const std::vector<double>* reference =
                exact ? (hasExact ? &r.exactSeries[c] : nullptr) : &r.rungeKuttaSeries[c];
            magnitude = std::max(magnitude, largestMagnitude(r.outputSeries[c], steps));
            if (reference != nullptr) {
                network = worse(network, seriesError(r.outputSeries[c], *reference, steps));
            }
            if (exact && hasExact) {
                rk = worse(rk, seriesError(r.rungeKuttaSeries[c], r.exactSeries[c], steps));
            }
        }
        const double limit =
            modelRangeLimit(eulerWeights(request_.system, request_.outputs, h_), request_.outputs);
        row.networkOutOfRange = !(magnitude < limit);
        if (steps == 0) {
            return; // nothing was compared
        }
        row.networkError = row.networkOutOfRange && !std::isnan(network) ? kInfinity : network;
        if (exact) {
            row.rungeKuttaError = rk;
        }
    }

    const StepStudyRequest& request_;
    double h_;
    std::unique_ptr<language::NetworkRecord> record_;
    language::CheckResult check_;
    simulation::Simulation simulation_;
    platform::FolderSettings folders_;
};

// The grids one after the other; false when a cancel ended them (the rows done stay).
bool runGridsInTurn(const StepStudyRequest& request, const std::vector<double>& steps,
                    std::int64_t total, Progress& progress, std::vector<StepStudyRow>& rows) {
    double done = 0.0;
    for (const double gridStep : steps) {
        const double share = 100.0 * std::max<std::int64_t>(stepsOf(request.grid, gridStep), 1) /
                             static_cast<double>(total);
        StepStudyRow row;
        GridRun grid(request, gridStep);
        if (!grid.run(progress, done, done + share, row)) {
            return false;
        }
        done += share;
        rows.push_back(row);
    }
    return true;
}

// Below this many steps in all a second thread costs more than it saves.
constexpr std::int64_t kParallelStudySteps = 20000;

bool worthParallel(const EulerGrid& grid, const std::vector<double>& steps) {
    std::int64_t total = 0;
    for (const double h : steps) {
        total += stepsOf(grid, h);
    }
    return steps.size() > 1 && total >= kParallelStudySteps &&
           std::thread::hardware_concurrency() > 1;
}

// The grids on two threads: the helper takes grids from the finest end, the calling thread from
// the coarsest, until they meet, so the finest grid (half the work) runs beside all the others and
// the coarse grids complete first, as in turn (a cancel keeps the rows completed so far). Every
// grid has its own record and simulation, so its row is the row the grids in turn give. The rows
// kept are those of the grids before the first that a cancel left unfinished; false when there
// was one.
bool runGridsInParallel(const StepStudyRequest& request, const std::vector<double>& steps,
                        Progress& progress, std::vector<StepStudyRow>& rows) {
    std::vector<double> weights;
    for (const double h : steps) {
        weights.push_back(static_cast<double>(std::max<std::int64_t>(stepsOf(request.grid, h), 1)));
    }
    SharedProgress shared(progress, weights);
    std::vector<StepStudyRow> done(steps.size());
    std::vector<char> finished(steps.size(), 0);
    std::mutex taking;
    std::size_t coarsest = 0;          // the next grid from the coarse end
    std::size_t finest = steps.size(); // one past the next grid from the fine end
    // The next grid not yet taken, from the fine end or the coarse end; nothing when all are.
    const auto take = [&](bool fromFine) -> std::optional<std::size_t> {
        const std::lock_guard<std::mutex> lock(taking);
        if (coarsest >= finest) {
            return std::nullopt;
        }
        return fromFine ? --finest : coarsest++;
    };
    const auto work = [&](bool fromFine) {
        for (auto g = take(fromFine); g; g = take(fromFine)) {
            GridRun grid(request, steps[*g]);
            if (!grid.run(shared.part(*g), 0.0, 100.0, done[*g])) {
                return;
            }
            finished[*g] = 1;
        }
    };
    std::future<void> helper = std::async(std::launch::async, work, true);
    try {
        work(false);
    } catch (...) {
        shared.cancel(); // the helper stops at its next poll; its result is not wanted
        helper.wait();
        throw;
    }
    shared.wait(helper);
    for (std::size_t g = 0; g < steps.size() && finished[g]; ++g) {
        rows.push_back(done[g]);
    }
    return rows.size() == steps.size();
}

} // namespace

std::optional<double> observedOrder(const std::optional<double>& previous,
                                    const std::optional<double>& current) {
    if (!previous || !current || !std::isfinite(*previous) || !std::isfinite(*current) ||
        !(*previous > 0.0 && *current > 0.0)) {
        return std::nullopt;
    }
    return std::log2(*previous / *current);
}

StepStudyResult runStepStudy(const StepStudyRequest& request, Progress& progress) {
    validateEulerNetwork(request.system, request.outputs, request.grid);
    for (int k = 0; k < request.outputs; ++k) {
        const std::string& text = request.exact[static_cast<std::size_t>(k)];
        if (!text.empty()) {
            parseDependency(text, k + 1); // throws the formula's message before any run
        }
    }
    // The grids within the step limit; the first must be one.
    StepStudyResult result;
    std::vector<double> steps;
    std::int64_t total = 0;
    double h = request.grid.h;
    for (int r = 0; r <= std::max(request.halvings, 0); ++r, h /= 2.0) {
        const std::int64_t s = stepsOf(request.grid, h);
        if (s > simulation::kMaxSteps) {
            if (r == 0) {
                const Message m = simulation::tooManyStepsMessage();
                throw AxoliteError(m.kind, m.text);
            }
            result.note = noteText(h, s);
            break;
        }
        steps.push_back(h);
        total += std::max<std::int64_t>(s, 1);
    }
    result.againstExact = false;
    for (int k = 0; k < request.outputs; ++k) {
        result.againstExact =
            result.againstExact || !request.exact[static_cast<std::size_t>(k)].empty();
    }

    progress.setPercent(0);
    const bool completed = request.inParallel && worthParallel(request.grid, steps)
                               ? runGridsInParallel(request, steps, progress, result.rows)
                               : runGridsInTurn(request, steps, total, progress, result.rows);
    for (std::size_t r = 1; r < result.rows.size(); ++r) {
        const StepStudyRow& previous = result.rows[r - 1];
        StepStudyRow& row = result.rows[r];
        row.networkOrder = observedOrder(previous.networkError, row.networkError);
        row.rungeKuttaOrder = observedOrder(previous.rungeKuttaError, row.rungeKuttaError);
    }
    if (!completed) {
        result.outcome = ComputationOutcome::Cancelled;
        return result;
    }
    progress.setPercent(100);
    return result;
}

} // namespace axolite::reference
