// The exact values of the analytic dependencies y1(x)..y4(x) on the grid of a description.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/reference/computation.h"

#include <array>
#include <cstdint>
#include <string>

namespace axolite::reference {

// Evaluates formula k at every grid point for each output k that the simulation produced
// (network presence flag raised), into the exact series of the record, and raises the exact
// presence flags of those series and sets their statistics. The operation counters are reset to
// zero (the evaluator counts nothing). Progress is reported after every grid point; a cancel
// request ends the loop there, keeping the values computed so far.
//
// A formula that is no formula throws AxoliteError(Error, "Функциональная зависимость yk введена
// неверно.") before any point is computed; all exact presence flags are then lowered.
ComputationOutcome
computeExactValues(language::NetworkRecord& record,
                   const std::array<std::string, language::kOutputCount>& formulas,
                   Progress& progress);

// The same without touching the counters or the record's cancel flag (the cancel request is
// carried into cancelFlag), so that another computation may use them meanwhile.
ComputationOutcome
computeExactSeries(language::NetworkRecord& record,
                   const std::array<std::string, language::kOutputCount>& formulas,
                   Progress& progress, std::uint8_t& cancelFlag);

} // namespace axolite::reference
