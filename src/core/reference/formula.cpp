// Parsing a formula into a postfix program by the same recursive split that defines the language,
// and running the program.
#include "core/reference/formula.h"

#include "core/common/message.h"
#include "core/common/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <type_traits>

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

namespace {

// The slots of a block evaluation's stack kept on the machine stack, beyond the bottom slot (which
// is the caller's output).
constexpr std::size_t kBlockSlots = 8;
constexpr std::size_t kBlock = Formula::kBlock;

// The operations over a block of n points. Each loop is one operation at every point, so the
// arithmetic ones run in vector registers (each lane rounds as the scalar operation does). The
// operands that value reads (x, a slot above the top) never overlap the slot written.
template <class Count, class Value> void changeTop(double* __restrict top, Count n, Value value) {
    for (std::size_t i = 0; i < n; ++i) {
        top[i] = value(top[i], i);
    }
}

template <class Count, class Value> void push(double* __restrict slot, Count n, Value value) {
    for (std::size_t i = 0; i < n; ++i) {
        slot[i] = value(i);
    }
}

// Calls body with the operation of a family's member: 0 +, 1 −, 2 ×, 3 ÷.
template <class Body> void withArithmetic(int member, Body&& body) {
    switch (member) {
    case 0:
        body(std::plus<>{});
        break;
    case 1:
        body(std::minus<>{});
        break;
    case 2:
        body(std::multiplies<>{});
        break;
    default:
        body(std::divides<>{});
        break;
    }
}

// One block of the program: the bottom slot of the stack is out, the others lie in scratch. A
// full block has its count fixed at compile time, so that its loops are unrolled.
template <class Count> struct BlockRun {
    const double* x;
    Count n;
    double* out;
    double* scratch;
    const double* values;
    std::size_t stride;

    double* slot(std::size_t depth) const {
        return depth == 0 ? out : scratch + (depth - 1) * kBlock;
    }

    void run(const std::vector<Instruction>& code) const {
        std::size_t depth = 0;
        for (const Instruction& in : code) {
            const double v = in.value;
            const auto member = [&in](Op family) {
                return static_cast<int>(in.op) - static_cast<int>(family);
            };
            switch (in.op) {
            case Op::Constant:
                std::fill_n(slot(depth++), n, v);
                break;
            case Op::X:
                std::copy_n(x, n, slot(depth++));
                break;
            case Op::Name:
                pushName(slot(depth++), in.slot);
                break;
            case Op::Add:
            case Op::Subtract:
            case Op::Multiply:
            case Op::Divide:
                --depth;
                withArithmetic(member(Op::Add), [&](auto f) {
                    changeTop(slot(depth - 1), n,
                              [f, right = slot(depth)](double a, std::size_t i) {
                                  return f(a, right[i]);
                              });
                });
                break;
            case Op::AddConstant:
            case Op::SubtractConstant:
            case Op::MultiplyConstant:
            case Op::DivideConstant:
                withArithmetic(member(Op::AddConstant), [&](auto f) {
                    changeTop(slot(depth - 1), n,
                              [f, v](double a, std::size_t) { return f(a, v); });
                });
                break;
            case Op::AddX:
            case Op::SubtractX:
            case Op::MultiplyX:
            case Op::DivideX:
                withArithmetic(member(Op::AddX), [&](auto f) {
                    changeTop(slot(depth - 1), n,
                              [f, x = x](double a, std::size_t i) { return f(a, x[i]); });
                });
                break;
            case Op::XAddConstant:
            case Op::XSubtractConstant:
            case Op::XMultiplyConstant:
            case Op::XDivideConstant:
                withArithmetic(member(Op::XAddConstant), [&](auto f) {
                    push(slot(depth), n, [f, x = x, v](std::size_t i) { return f(x[i], v); });
                });
                ++depth;
                break;
            case Op::ConstantAddX:
            case Op::ConstantSubtractX:
            case Op::ConstantMultiplyX:
            case Op::ConstantDivideX:
                withArithmetic(member(Op::ConstantAddX), [&](auto f) {
                    push(slot(depth), n, [f, x = x, v](std::size_t i) { return f(v, x[i]); });
                });
                ++depth;
                break;
            case Op::XAddX:
            case Op::XSubtractX:
            case Op::XMultiplyX:
            case Op::XDivideX:
                withArithmetic(member(Op::XAddX), [&](auto f) {
                    push(slot(depth), n, [f, x = x](std::size_t i) { return f(x[i], x[i]); });
                });
                ++depth;
                break;
            default:
                applyFunction(in.op, slot(depth - 1));
                break;
            }
        }
    }

    void pushName(double* slot, std::uint32_t name) const {
        for (std::size_t i = 0; i < n; ++i) {
            slot[i] = values[i * stride + name];
        }
    }

    // The functions call the same library functions as the evaluation at one point.
    void applyFunction(Op op, double* top) const {
        switch (op) {
        case Op::Sin:
            changeTop(top, n, [](double a, std::size_t) { return std::sin(a); });
            break;
        case Op::Cos:
            changeTop(top, n, [](double a, std::size_t) { return std::cos(a); });
            break;
        case Op::Tg:
            changeTop(top, n, [](double a, std::size_t) { return std::tan(a); });
            break;
        case Op::Ctg:
            changeTop(top, n, [](double a, std::size_t) { return 1.0 / std::tan(a); });
            break;
        case Op::Exp:
            changeTop(top, n, [](double a, std::size_t) { return std::exp(a); });
            break;
        case Op::Sqrt:
            changeTop(top, n, [](double a, std::size_t) { return std::sqrt(a); });
            break;
        default:
            changeTop(top, n, [](double a, std::size_t) { return std::fabs(a); });
            break;
        }
    }
};

} // namespace

void Formula::evaluate(std::span<const double> xs, std::span<double> out, const double* values,
                       std::size_t stride) const {
    std::array<double, kBlockSlots * kBlock> local;
    std::vector<double> deep; // a program deeper than the slots on the machine stack
    double* scratch = local.data();
    if (stackDepth_ > kBlockSlots + 1) {
        deep.resize((stackDepth_ - 1) * kBlock);
        scratch = deep.data();
    }
    for (std::size_t from = 0; from < xs.size(); from += kBlock) {
        const double* const blockValues = values != nullptr ? values + from * stride : nullptr;
        if (xs.size() - from >= kBlock) {
            const BlockRun<std::integral_constant<std::size_t, kBlock>> block{
                xs.data() + from, {}, out.data() + from, scratch, blockValues, stride};
            block.run(code_);
        } else {
            const BlockRun<std::size_t> block{xs.data() + from, xs.size() - from, out.data() + from,
                                              scratch,          blockValues,      stride};
            block.run(code_);
        }
    }
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
