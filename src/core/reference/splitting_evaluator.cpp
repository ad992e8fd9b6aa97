// The re-splitting evaluator: the lowest-priority operator outside brackets splits the text into
// two operands, evaluated left first; what does not split is an atom.
#include "core/reference/splitting_evaluator.h"

#include "core/common/number_text.h"

#include <string>

namespace axolite::reference {

namespace {

class SplittingEvaluator {
public:
    SplittingEvaluator(FormulaDialect dialect, double x) : dialect_(dialect), x_(x) {}

    bool valid() const { return valid_; }

    double evaluate(std::string_view s, int depth) {
        if (depth > kMaxFormulaNesting) {
            valid_ = false;
            return 0.0;
        }
        char op = 0;
        const std::size_t n = syntax::findSplit(s, op);
        if (n == std::string_view::npos) {
            return atom(s, depth);
        }
        const bool unary = n == 0 && (op == '+' || op == '-');
        const double left = unary ? 0.0 : evaluate(s.substr(0, n), depth + 1);
        const double right = evaluate(s.substr(n + 1), depth + 1);
        switch (op) {
        case '+':
            return left + right;
        case '-':
            return left - right;
        case '*':
            return left * right;
        default:
            return left / right;
        }
    }

private:
    double atom(std::string_view s, int depth) {
        if (s.empty()) {
            return fail();
        }
        if (s.front() == '(') {
            return evaluate(inner(s, 1), depth + 1);
        }
        if (s.front() == '.' || (s.front() >= '0' && s.front() <= '9')) {
            if (scanDecimalNumber(s) != s.size()) {
                return fail();
            }
            return decimalValue(s);
        }
        FormulaFunction function{};
        const std::size_t name = syntax::functionPrefix(s, dialect_, function);
        if (name > 0) {
            return syntax::applyFunction(function, evaluate(inner(s, name), depth + 1));
        }
        if (s == "x") {
            return x_;
        }
        return fail();
    }

    // s without its first `prefix` characters and its last one; empty when nothing is between.
    static std::string_view inner(std::string_view s, std::size_t prefix) {
        return s.size() > prefix ? s.substr(prefix, s.size() - prefix - 1) : std::string_view{};
    }

    double fail() {
        valid_ = false;
        return 0.0;
    }

    FormulaDialect dialect_;
    double x_;
    bool valid_ = true;
};

} // namespace

double evaluateBySplitting(std::string_view text, FormulaDialect dialect, double x, bool& valid) {
    std::string lowered;
    if (!syntax::prepare(text, dialect, lowered)) {
        valid = false;
        return 0.0;
    }
    SplittingEvaluator evaluator(dialect, x);
    const double value = evaluator.evaluate(lowered, 0);
    valid = evaluator.valid();
    return value;
}

} // namespace axolite::reference
