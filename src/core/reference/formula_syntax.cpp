// Lexical check, bracket check, split points and function names of the formula language.
#include "core/reference/formula_syntax.h"

#include <array>
#include <cmath>

namespace axolite::reference::syntax {

namespace {

struct FunctionName {
    std::string_view name;
    FormulaFunction function;
};

// In the order the lexical scan and the atom reader try them.
constexpr std::array<FunctionName, 7> kFunctionNames{{
    {"sin(", FormulaFunction::Sin},
    {"cos(", FormulaFunction::Cos},
    {"tg(", FormulaFunction::Tg},
    {"ctg(", FormulaFunction::Ctg},
    {"exp(", FormulaFunction::Exp},
    {"sqrt(", FormulaFunction::Sqrt},
    {"abs(", FormulaFunction::Abs},
}};

bool knowsFunction(FormulaDialect dialect, FormulaFunction function) {
    switch (function) {
    case FormulaFunction::Sqrt:
        return dialect != FormulaDialect::Activation;
    case FormulaFunction::Abs:
        return dialect == FormulaDialect::Condition;
    default:
        return true;
    }
}

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || c == '_';
}

// The one-character tokens: + - * / ( ) x e . and the ten digits.
bool isSingleCharacterToken(char c) {
    switch (c) {
    case '+':
    case '-':
    case '*':
    case '/':
    case '(':
    case ')':
    case 'x':
    case 'e':
    case '.':
        return true;
    default:
        return c >= '0' && c <= '9';
    }
}

} // namespace

bool prepare(std::string_view text, FormulaDialect dialect, std::string& lowered) {
    lowered.assign(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (lowered.empty()) {
        return false;
    }
    // Lexical scan: the tokens are tried in their fixed order at each position. A character at
    // which none stands (a blank, a comma, a stray letter) makes the text no formula.
    const std::string_view s = lowered;
    std::size_t i = 0;
    while (i < s.size()) {
        FormulaFunction function{};
        const std::size_t name = functionPrefix(s.substr(i), dialect, function);
        if (name > 0) {
            i += name;
        } else if (isSingleCharacterToken(s[i]) ||
                   (dialect == FormulaDialect::Condition && isNameCharacter(s[i]))) {
            ++i;
        } else {
            return false;
        }
    }
    long depth = 0;
    for (const char c : s) {
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth < 0) {
            return false;
        }
    }
    return depth == 0;
}

std::size_t findSplit(std::string_view s, char& op) {
    constexpr std::string_view kOperators = "+-*/";
    std::array<std::size_t, 4> rightmost{std::string_view::npos, std::string_view::npos,
                                         std::string_view::npos, std::string_view::npos};
    long depth = 0;
    for (std::size_t i = s.size(); i-- > 0;) {
        const char c = s[i];
        if (c == ')') {
            --depth;
        } else if (c == '(') {
            ++depth;
        } else if (depth == 0) {
            const std::size_t which = kOperators.find(c);
            if (which == std::string_view::npos || rightmost[which] != std::string_view::npos) {
                continue;
            }
            if (which < 2 && i > 0 && s[i - 1] == 'e') {
                continue; // the sign of an exponent
            }
            rightmost[which] = i;
            if (which == 0) {
                break; // "+" is tried first: nothing found further left can win
            }
        }
    }
    for (std::size_t which = 0; which < kOperators.size(); ++which) {
        if (rightmost[which] != std::string_view::npos) {
            op = kOperators[which];
            return rightmost[which];
        }
    }
    return std::string_view::npos;
}

std::size_t functionPrefix(std::string_view s, FormulaDialect dialect, FormulaFunction& function) {
    for (const FunctionName& candidate : kFunctionNames) {
        if (knowsFunction(dialect, candidate.function) && s.starts_with(candidate.name)) {
            function = candidate.function;
            return candidate.name.size();
        }
    }
    return 0;
}

double applyFunction(FormulaFunction function, double v) {
    switch (function) {
    case FormulaFunction::Sin:
        return std::sin(v);
    case FormulaFunction::Cos:
        return std::cos(v);
    case FormulaFunction::Tg:
        return std::tan(v);
    case FormulaFunction::Ctg:
        return 1.0 / std::tan(v);
    case FormulaFunction::Exp:
        return std::exp(v);
    case FormulaFunction::Sqrt:
        return std::sqrt(v);
    case FormulaFunction::Abs:
        return std::fabs(v);
    }
    return 0.0;
}

} // namespace axolite::reference::syntax
