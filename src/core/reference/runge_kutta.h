// The classical fourth-order Runge-Kutta solution of a normal system of four linear differential
// equations with constant coefficients, y_k' = a_k·y1 + b_k·y2 + c_k·y3 + d_k·y4 + e_k.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/reference/computation.h"

#include <array>
#include <string>

namespace axolite::reference {

using RungeKuttaState = std::array<double, language::kOutputCount>;

struct LinearSystem {
    // Row k: a_k, b_k, c_k, d_k (the coefficients of y1..y4) and the constant term e_k.
    std::array<std::array<double, 5>, language::kOutputCount> rows{};
    double x0 = 0.0;
    RungeKuttaState initial{};
};

// The texts of the dialog, in the order of its exchange buffer: the 20 coefficients row by row
// (a, b, c, d, e), x0, y1(x0)..y4(x0).
constexpr int kSystemTextCount = 25;

// Reads every text by its leading numeric part (a text without one reads as 0).
LinearSystem readLinearSystem(const std::array<std::string, kSystemTextCount>& texts);

// What the dialog does for outputs the network does not have: their rows, their coefficients in
// the other rows and their initial values are 0.
void clearAbsentOutputs(LinearSystem& system,
                        const std::array<std::uint8_t, language::kOutputCount>& networkPresent);

// Whether row k has a non-zero coefficient (the constant term included).
bool rowPresent(const LinearSystem& system, int k);

// One step of length h from state y, computed exactly as the method is written: the right-hand
// side (((a·y1 + b·y2) + c·y3) + d·y4) + e, the stages y + (h·k1)·0.5, y + (h·k2)·0.5, y + h·k3,
// and y + ((k2 + k3)·2 + k1 + k4)·(h·1/6) with 1/6 in extended precision.
RungeKuttaState rungeKuttaStep(const LinearSystem& system, const RungeKuttaState& y, double h);

// The counts of one step for each raised network presence flag: 26 additions, 23 multiplications
// and 8 divisions per existing output neuron.
language::OperationCounters
rungeKuttaStepCounts(const std::array<std::uint8_t, language::kOutputCount>& networkPresent);

// Solves the system on the grid of the record: four series of S + 1 values, index 0 the initial
// values and index j the state after j steps of the record's step h. Raises the Runge-Kutta
// presence flag of every row with a non-zero coefficient and sets the statistics of those series
// over indices 0 .. S − 1. The operation counters are not reset; they grow by the counts of the
// method as it is defined, which integrates afresh from the initial values for every grid point
// (S(S + 1)/2 steps in all); the solution itself advances one step per grid point, which gives the
// same values. A cancel request after a grid point ends the loop, keeping the values so far.
ComputationOutcome computeRungeKutta(language::NetworkRecord& record, const LinearSystem& system,
                                     Progress& progress);

} // namespace axolite::reference
