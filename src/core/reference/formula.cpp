// Parsing a formula into a postfix program by the same recursive split that defines the language,
// and running the program.
#include "core/reference/formula.h"

#include "core/common/message.h"
#include "core/common/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace axolite::reference {

namespace {

using Op = Formula::Op;
using Instruction = Formula::Instruction;

// Emits the program of a text by the split rules of the language. The order of the emitted
// operations is the order in which the splitting evaluator performs them, so the values agree bit
// for bit.
class Compiler {
public:
    Compiler(FormulaDialect dialect, const Formula::Names* names, std::string_view text)
        : dialect_(dialect), names_(names), text_(text) {}

    // Position in the text of the first atom that could not be read.
    std::size_t failedAt() const { return failedAt_; }

    bool valid() const { return valid_; }
    std::vector<Instruction> takeCode() { return std::move(code_); }

    void compile(std::string_view s, int depth) {
        if (depth > kMaxFormulaNesting) {
            fail(s);
            return;
        }
        char op = 0;
        const std::size_t n = syntax::findSplit(s, op);
        if (n == std::string_view::npos) {
            atom(s, depth);
            return;
        }
        if (n == 0 && (op == '+' || op == '-')) {
            code_.push_back({Op::Constant, 0.0}); // a unary sign: 0 + right, 0 - right
        } else {
            compile(s.substr(0, n), depth + 1);
        }
        const std::size_t rightStart = code_.size();
        compile(s.substr(n + 1), depth + 1);
        emitBinary(op, rightStart);
    }

private:
    void atom(std::string_view s, int depth) {
        if (s.empty()) {
            fail(s);
            return;
        }
        if (s.front() == '(') {
            compile(inner(s, 1), depth + 1);
            return;
        }
        if (s.front() == '.' || (s.front() >= '0' && s.front() <= '9')) {
            if (scanDecimalNumber(s) != s.size()) {
                fail(s);
                return;
            }
            code_.push_back({Op::Constant, decimalValue(s)});
            return;
        }
        FormulaFunction function{};
        const std::size_t name = syntax::functionPrefix(s, dialect_, function);
        if (name > 0) {
            compile(inner(s, name), depth + 1);
            code_.push_back({functionOp(function), 0.0});
            return;
        }
        if (s == "x") {
            code_.push_back({Op::X, 0.0});
            return;
        }
        if (names_ != nullptr && *names_) {
            if (const auto slot = (*names_)(s)) {
                code_.push_back({Op::Name, 0.0, *slot});
                return;
            }
        }
        fail(s);
    }

    // When the right operand is a single number or x, the operation takes it directly.
    void emitBinary(char op, std::size_t rightStart) {
        const int base = op == '+' ? 0 : op == '-' ? 1 : op == '*' ? 2 : 3;
        if (code_.size() == rightStart + 1 && code_.back().op == Op::Constant) {
            code_.back().op = static_cast<Op>(static_cast<int>(Op::AddConstant) + base);
        } else if (code_.size() == rightStart + 1 && code_.back().op == Op::X) {
            code_.back().op = static_cast<Op>(static_cast<int>(Op::AddX) + base);
        } else {
            code_.push_back({static_cast<Op>(static_cast<int>(Op::Add) + base), 0.0});
        }
    }

    static Op functionOp(FormulaFunction function) {
        return static_cast<Op>(static_cast<int>(Op::Sin) + static_cast<int>(function));
    }

    static std::string_view inner(std::string_view s, std::size_t prefix) {
        return s.size() > prefix ? s.substr(prefix, s.size() - prefix - 1) : std::string_view{};
    }

    // The evaluation of an erroneous text goes on (the error is a property of the whole text);
    // a placeholder keeps the program's shape.
    void fail(std::string_view where) {
        if (valid_) {
            // An empty operand has no characters: it stands where its text would begin.
            const char* at = where.data() != nullptr ? where.data() : text_.data();
            failedAt_ = static_cast<std::size_t>(at - text_.data());
        }
        valid_ = false;
        code_.push_back({Op::Constant, 0.0});
    }

    FormulaDialect dialect_;
    const Formula::Names* names_;
    std::string_view text_;
    std::size_t failedAt_ = 0;
    std::vector<Instruction> code_;
    bool valid_ = true;
};

Op shifted(Op base, Op op, Op family) {
    return static_cast<Op>(static_cast<int>(base) + static_cast<int>(op) -
                           static_cast<int>(family));
}

bool inFamily(Op op, Op family) {
    return op >= family && static_cast<int>(op) < static_cast<int>(family) + 4;
}

// Joins a push of x or of a number with the operation that follows it and takes x or a number as
// its right operand: one instruction computes the same operation on the same values.
std::vector<Instruction> joinPairs(const std::vector<Instruction>& code) {
    std::vector<Instruction> joined;
    joined.reserve(code.size());
    for (std::size_t i = 0; i < code.size(); ++i) {
        const Instruction& first = code[i];
        const Op next = i + 1 < code.size() ? code[i + 1].op : Op::Constant;
        if (first.op == Op::X && inFamily(next, Op::AddConstant)) {
            joined.push_back({shifted(Op::XAddConstant, next, Op::AddConstant), code[i + 1].value});
        } else if (first.op == Op::X && inFamily(next, Op::AddX)) {
            joined.push_back({shifted(Op::XAddX, next, Op::AddX), 0.0});
        } else if (first.op == Op::Constant && inFamily(next, Op::AddX)) {
            joined.push_back({shifted(Op::ConstantAddX, next, Op::AddX), first.value});
        } else {
            joined.push_back(first);
            continue;
        }
        ++i;
    }
    return joined;
}

// What an instruction does to the stack: pushes one element, pops the right operand into the top,
// changes the top with its own operand (a number or x), or applies a function (or abs) to the top.
enum class Shape { Push, Binary, WithOperand, Function, Absolute };

constexpr Shape shapeOf(Op op) {
    switch (op) {
    case Op::Add:
    case Op::Subtract:
    case Op::Multiply:
    case Op::Divide:
        return Shape::Binary;
    case Op::AddConstant:
    case Op::SubtractConstant:
    case Op::MultiplyConstant:
    case Op::DivideConstant:
    case Op::AddX:
    case Op::SubtractX:
    case Op::MultiplyX:
    case Op::DivideX:
        return Shape::WithOperand;
    case Op::Sin:
    case Op::Cos:
    case Op::Tg:
    case Op::Ctg:
    case Op::Exp:
    case Op::Sqrt:
        return Shape::Function;
    case Op::Abs:
        return Shape::Absolute;
    default:
        return Shape::Push;
    }
}

std::size_t stackDepthOf(const std::vector<Instruction>& code) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    for (const Instruction& instruction : code) {
        const Shape shape = shapeOf(instruction.op);
        if (shape == Shape::Push) {
            ++depth;
        } else if (shape == Shape::Binary) {
            --depth;
        }
        deepest = std::max(deepest, depth);
    }
    return deepest;
}

constexpr std::size_t kMachineStack = 32;

} // namespace

std::optional<Formula> Formula::parse(std::string_view text, FormulaDialect dialect) {
    return parse(text, dialect, Names{});
}

std::optional<Formula> Formula::parse(std::string_view text, FormulaDialect dialect,
                                      const Names& names, std::size_t* failedAt) {
    std::string lowered;
    if (!syntax::prepare(text, dialect, lowered)) {
        if (failedAt != nullptr) {
            *failedAt = 0;
        }
        return std::nullopt;
    }
    Compiler compiler(dialect, &names, lowered);
    compiler.compile(lowered, 0);
    if (!compiler.valid()) {
        if (failedAt != nullptr) {
            *failedAt = compiler.failedAt();
        }
        return std::nullopt;
    }
    Formula formula;
    formula.code_ = joinPairs(compiler.takeCode());
    formula.stackDepth_ = stackDepthOf(formula.code_);
    if (formula.stackDepth_ > kMachineStack) {
        formula.spill_.resize(formula.stackDepth_);
    }
    formula.compileBlockPasses();
    return formula;
}

double Formula::evaluate(double x, const double* values) const {
    if (code_.size() == 1) {
        // A lone number, x or name (the default "0.0" of every dependency): nothing to run.
        switch (code_[0].op) {
        case Op::X:
            return x;
        case Op::Constant:
            return code_[0].value;
        case Op::Name:
            return values[code_[0].slot];
        default:
            break;
        }
    }
    std::array<double, kMachineStack> local;
    double* const base = stackDepth_ <= kMachineStack ? local.data() : spill_.data();
    double* top = base; // one past the top element: the top is top[-1]
    // One switch over all operations: one indirect jump per instruction (a dispatch by the
    // instruction's shape first costs a second, mispredicted, jump).
    for (const Instruction& in : code_) {
        const double v = in.value;
        switch (in.op) {
        // clang-format off
        case Op::Constant: *top++ = v; break;
        case Op::X: *top++ = x; break;
        case Op::Name: *top++ = values[in.slot]; break;
        case Op::Add: --top; top[-1] = top[-1] + top[0]; break;
        case Op::Subtract: --top; top[-1] = top[-1] - top[0]; break;
        case Op::Multiply: --top; top[-1] = top[-1] * top[0]; break;
        case Op::Divide: --top; top[-1] = top[-1] / top[0]; break;
        case Op::AddConstant: top[-1] = top[-1] + v; break;
        case Op::SubtractConstant: top[-1] = top[-1] - v; break;
        case Op::MultiplyConstant: top[-1] = top[-1] * v; break;
        case Op::DivideConstant: top[-1] = top[-1] / v; break;
        case Op::AddX: top[-1] = top[-1] + x; break;
        case Op::SubtractX: top[-1] = top[-1] - x; break;
        case Op::MultiplyX: top[-1] = top[-1] * x; break;
        case Op::DivideX: top[-1] = top[-1] / x; break;
        case Op::XAddConstant: *top++ = x + v; break;
        case Op::XSubtractConstant: *top++ = x - v; break;
        case Op::XMultiplyConstant: *top++ = x * v; break;
        case Op::XDivideConstant: *top++ = x / v; break;
        case Op::ConstantAddX: *top++ = v + x; break;
        case Op::ConstantSubtractX: *top++ = v - x; break;
        case Op::ConstantMultiplyX: *top++ = v * x; break;
        case Op::ConstantDivideX: *top++ = v / x; break;
        case Op::XAddX: *top++ = x + x; break;
        case Op::XSubtractX: *top++ = x - x; break;
        case Op::XMultiplyX: *top++ = x * x; break;
        case Op::XDivideX: *top++ = x / x; break;
        case Op::Sin: top[-1] = std::sin(top[-1]); break;
        case Op::Cos: top[-1] = std::cos(top[-1]); break;
        case Op::Tg: top[-1] = std::tan(top[-1]); break;
        case Op::Ctg: top[-1] = 1.0 / std::tan(top[-1]); break;
        case Op::Exp: top[-1] = std::exp(top[-1]); break;
        case Op::Sqrt: top[-1] = std::sqrt(top[-1]); break;
        case Op::Abs: top[-1] = std::fabs(top[-1]); break;
            // clang-format on
        }
    }
    return base[0];
}

std::string dependencyErrorText(int k) {
    return "Функциональная зависимость y" + std::to_string(k) + " введена неверно.";
}

std::string activationErrorText(double neuron) {
    // Neuron numbers come from a checked description; a number no int holds is shown as 0.
    const bool representable = neuron > -2147483648.0 && neuron < 2147483648.0;
    std::array<char, 64> number{};
    std::snprintf(number.data(), number.size(), "%3d",
                  representable ? static_cast<int>(neuron) : 0);
    return std::string("Функция активации для нейрона ") + number.data() + "  введена неверно";
}

Formula parseDependency(std::string_view text, int k) {
    auto formula = Formula::parse(text, FormulaDialect::Dependency);
    if (!formula) {
        throw AxoliteError(MessageKind::Error, dependencyErrorText(k));
    }
    return std::move(*formula);
}

Formula parseActivation(std::string_view text, double neuron) {
    auto formula = Formula::parse(text, FormulaDialect::Activation);
    if (!formula) {
        throw AxoliteError(MessageKind::Information, activationErrorText(neuron));
    }
    return std::move(*formula);
}

double evaluateDependency(std::string_view text, int k, double x) {
    return parseDependency(text, k).evaluate(x);
}

} // namespace axolite::reference
