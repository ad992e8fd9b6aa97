// The plain evaluator of the formula language: checks the text and re-splits it at every call.
// It is the definition that the compiled formulas are tested against, bit for bit.
#pragma once

#include "core/reference/formula_syntax.h"

#include <string_view>

namespace axolite::reference {

// Value of the formula text at x, computed by re-reading and re-splitting the text. valid is set
// false when the text is no formula of the dialect (the value is then meaningless).
double evaluateBySplitting(std::string_view text, FormulaDialect dialect, double x, bool& valid);

} // namespace axolite::reference
