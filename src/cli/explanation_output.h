// The explanation of one value as `explain` and `debug` print it: the rows of the explanation,
// each with its description line, or one JSON object.
#pragma once

#include "core/language/description_text.h"
#include "core/simulation/explain.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace axolite::cli {

void printExplanation(const simulation::Explanation& explanation,
                      const language::DescriptionText& text, std::ostream& out);

nlohmann::ordered_json explanationJson(const simulation::Explanation& explanation);

} // namespace axolite::cli
