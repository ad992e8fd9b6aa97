// The exact values and the Runge-Kutta solution of one description computed at once, one on
// each core.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/reference/computation.h"
#include "core/reference/runge_kutta.h"

#include <array>
#include <string>

namespace axolite::reference {

struct ExactAndRungeKuttaOutcome {
    ComputationOutcome exact = ComputationOutcome::Completed;
    ComputationOutcome rungeKutta = ComputationOutcome::Completed;
};

// computeExactValues and then computeRungeKutta on the record, the exact values on a second
// thread: the same series, flags, statistics and counters. The formulas and the grid are checked
// first, so their errors are thrown before either computation starts. The caller's progress is
// called on the calling thread only and shows the mean of the two percentages; a cancel request
// stops both.
ExactAndRungeKuttaOutcome
computeExactAndRungeKutta(language::NetworkRecord& record,
                          const std::array<std::string, language::kOutputCount>& formulas,
                          const LinearSystem& system, Progress& progress);

} // namespace axolite::reference
