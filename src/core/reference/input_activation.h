// The activation of the input layer: functions of time x, one per entry of the input-layer list,
// evaluated on the grid into the external input history that the simulation adds to the inputs.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"
#include "core/reference/computation.h"

#include <string>
#include <vector>

namespace axolite::reference {

// The input neuron of list entry n as a zero-based index into the histories, or -1 when the entry
// is unused (neuron number 0). Throws AxoliteError(Error, "Нейрон m входного слоя отсутствует в
// сети.") when the number names no neuron of the prepared histories.
std::int32_t inputNeuronIndex(const language::NetworkRecord& record, std::size_t entry);

// The number of steps that the external input history holds for the grid: S, or fewer when the
// history was prepared for fewer (it is never read past its end).
std::int32_t activationStepCount(const language::NetworkRecord& record);

// Fills the external input of every input neuron at steps t = 0 .. S − 1 with its function at
// x = t0 + t × h. functions[n] belongs to list entry n; an entry without a function gets "0". The
// operation counters are reset to zero. Progress is reported after every step and a cancel
// request is honoured after every list entry.
//
// A function that is no formula throws AxoliteError(Information, "Функция активации для нейрона
// %3d  введена неверно") before anything is stored.
ComputationOutcome computeInputActivation(language::NetworkRecord& record,
                                          const std::vector<std::string>& functions,
                                          Progress& progress);

} // namespace axolite::reference
