// The step-size study of a linear system: its Euler network and the Runge-Kutta solution on the
// grids h, h/2, h/4, ..., each compared with the exact values (or, without them, the network with
// Runge-Kutta), and the order log2(E(h)/E(h/2)) each method shows.
#pragma once

#include "core/common/progress.h"
#include "core/reference/computation.h"
#include "core/reference/euler_network.h"
#include "core/reference/runge_kutta.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace axolite::reference {

// The name of the study in the progress dialog.
inline constexpr const char* kStepStudyTitle = "Исследование шага моделирования...";

struct StepStudyRequest {
    LinearSystem system; // initial values in system.initial; x0 is set to grid.t0
    int outputs = 1;     // the equations y1..yn of the system
    EulerGrid grid;      // the interval and the first (coarsest) step
    int halvings = 0;    // grids h, h/2, ..., h/2^halvings
    // The exact solution yk(x) of the system, k = 1..outputs, as formulas; an empty text: none.
    std::array<std::string, language::kOutputCount> exact;
    // The grids of a large study run on two threads (the rows are the same); false: in turn.
    bool inParallel = true;
};

struct StepStudyRow {
    double h = 0.0;
    std::int32_t steps = 0;
    // The largest |network − reference| over the components and the steps 0 .. steps − 1: the
    // reference is the exact values where given, the Runge-Kutta solution otherwise. +inf when
    // the network's values left the range its model represents (networkOutOfRange); NaN when a
    // value compared is no number. Nothing for a grid without steps.
    std::optional<double> networkError;
    // The largest |Runge-Kutta − exact|; nothing without exact values or steps. +inf when the
    // solution overflowed.
    std::optional<double> rungeKuttaError;
    // log2(E(previous row) / E(this row)), when both are finite and above zero.
    std::optional<double> networkOrder;
    std::optional<double> rungeKuttaOrder;
    bool networkOutOfRange = false;
};

struct StepStudyResult {
    ComputationOutcome outcome = ComputationOutcome::Completed;
    bool againstExact = false; // the network's error is measured against exact values
    std::vector<StepStudyRow> rows;
    // Why the study ended before the last halving asked for (a grid of too many steps).
    std::optional<std::string> note;
};

// log2(previous / current) when both exist and are finite and above zero.
std::optional<double> observedOrder(const std::optional<double>& previous,
                                    const std::optional<double>& current);

// Runs the study: for each grid, builds the network that generateEulerNetwork writes (in
// memory, with its model), checks and simulates it, and computes the exact values and the
// Runge-Kutta solution on the same grid. Progress covers all grids; a cancel request ends the
// study after the computation that was running (the rows completed so far stay; outcome
// Cancelled). Throws AxoliteError: the request refused by validateEulerNetwork, an exact formula
// that is no formula ("Функциональная зависимость yk введена неверно.", before any run), or a
// first grid of more than kMaxGridPoints steps ("Слишком много шагов пересчета."). A later grid of
// too many steps ends the study there with the note
// "Шаг <h> дал бы <S> шагов (не более 1000000): исследование остановлено.".
StepStudyResult runStepStudy(const StepStudyRequest& request, Progress& progress);

} // namespace axolite::reference
