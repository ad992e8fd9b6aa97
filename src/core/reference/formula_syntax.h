// The pieces of the formula language that the compiled formulas and the splitting evaluator share:
// the dialects, the lexical and bracket checks, the split point and the function names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace axolite::reference {

// The analytic dependencies know six functions (with "sqrt("); the activation functions of the
// input layer know five (without it). The conditions of the debugger know seven (with "abs(") and
// read names besides x (the values of a run), which the caller of the parse resolves.
enum class FormulaDialect { Dependency, Activation, Condition };

// The deepest nesting of splits, brackets and functions that a formula may have. Formulas typed in
// the dialogs (126 and 254 characters) never reach it; a longer text that does is refused with the
// formula's message, so no text can exhaust the stack.
constexpr int kMaxFormulaNesting = 1000;

enum class FormulaFunction { Sin, Cos, Tg, Ctg, Exp, Sqrt, Abs };

namespace syntax {

// Lower-cases the text (ASCII letters only) into lowered and runs the lexical and bracket checks.
// False when the text is empty, holds a character at which no token of the dialect stands, or
// has unbalanced brackets. In the Condition dialect every ASCII letter and "_" stand (in names).
bool prepare(std::string_view text, FormulaDialect dialect, std::string& lowered);

// The position at which s splits into two operands, or npos when s is an atom. The operator is
// stored in op. Operators are tried in the order + - * /; for each, the rightmost position at
// bracket depth 0 counts, except a "+" or "-" right after an "e" (an exponent sign).
std::size_t findSplit(std::string_view s, char& op);

// Length of the function name (with its bracket) that s starts with, 0 when none. "sqrt(" only in
// the Dependency and Condition dialects, "abs(" only in the Condition dialect.
std::size_t functionPrefix(std::string_view s, FormulaDialect dialect, FormulaFunction& function);

// The elementary functions, shared so that every evaluator computes bit-identical values.
double applyFunction(FormulaFunction function, double v);

} // namespace syntax
} // namespace axolite::reference
