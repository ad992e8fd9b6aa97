// The explanation of one value as rows of text, each with the description line it comes from: the
// list "Объяснить значение ..." shows, and the lines the debugger highlights in the description.
#pragma once

#include "core/simulation/explain.h"

#include <cstdint>
#include <string>
#include <vector>

namespace axolite::debugger {

struct ExplanationRow {
    std::string text;
    std::int32_t line = 0; // the description line (from 1), 0 for none
};

// The rows of the explanation, numbers in their shortest text.
std::vector<ExplanationRow> explanationRows(const simulation::Explanation& explanation);

// The description lines that fed the value (the rows' lines), ascending, each once.
std::vector<std::int32_t> explanationLines(const simulation::Explanation& explanation);

} // namespace axolite::debugger
