// Formulas of one variable x, parsed once into a flat postfix program and evaluated at any number
// of points without allocating. The values are bit-identical to those of the re-splitting
// evaluator (splitting_evaluator.h), which defines the language.
#pragma once

#include "core/reference/formula_syntax.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace axolite::reference {

class Formula {
public:
    // The formula of the text, or nothing when the text is no formula of the dialect.
    static std::optional<Formula> parse(std::string_view text, FormulaDialect dialect);

    // The slot of a name other than x in the caller's array of values, nothing for a name the
    // caller does not know. Names are read in the lowered text.
    using Names = std::function<std::optional<std::uint32_t>(std::string_view name)>;

    // The same with names: an atom that is no number, function or x is looked up in names and
    // read from the values passed to evaluate. On failure failedAt (when given) receives the
    // position in text of the first atom that could not be read, or of the start of the text
    // when the lexical or bracket check failed.
    static std::optional<Formula> parse(std::string_view text, FormulaDialect dialect,
                                        const Names& names, std::size_t* failedAt = nullptr);

    // The value at x: the operations of the text, in its order, each rounded to double. A formula
    // deeper than the evaluator's machine stack keeps its stack in the object, so one Formula is
    // evaluated by one thread at a time.
    double evaluate(double x) const { return evaluate(x, nullptr); }
    // The value at x, the names read from values[slot].
    double evaluate(double x, const double* values) const;

    // The points over which a block evaluation runs each operation at once.
    static constexpr std::size_t kBlock = 32;

    // The values at the points xs into out (of the same size, apart from xs), each bit-identical
    // to evaluate(xs[i]): the same operations in the same order at every point, each operation
    // run over a block of points at a time so that its dispatch is paid once per block. With
    // values, the names of point i are read from values[i * stride + slot].
    void evaluate(std::span<const double> xs, std::span<double> out, const double* values = nullptr,
                  std::size_t stride = 0) const;

    // Number of instructions of the program (for tests of the compiled form).
    std::size_t size() const { return code_.size(); }

    enum class Op : std::uint8_t {
        Constant, // push value
        X,        // push x
        Add,      // pop right, top = top + right
        Subtract,
        Multiply,
        Divide,
        AddConstant, // top = top + value (the right operand was a single number)
        SubtractConstant,
        MultiplyConstant,
        DivideConstant,
        AddX, // top = top + x (the right operand was x)
        SubtractX,
        MultiplyX,
        DivideX,
        XAddConstant, // push x + value (x followed by an operation with a number)
        XSubtractConstant,
        XMultiplyConstant,
        XDivideConstant,
        ConstantAddX, // push value + x
        ConstantSubtractX,
        ConstantMultiplyX,
        ConstantDivideX,
        XAddX, // push x + x
        XSubtractX,
        XMultiplyX,
        XDivideX,
        Sin, // top = f(top)
        Cos,
        Tg,
        Ctg,
        Exp,
        Sqrt,
        Abs,
        Name, // push values[slot]
    };

    struct Instruction {
        Op op;
        double value;
        std::uint32_t slot = 0;
    };

    // The one instruction of a formula that is a lone number, x or name (callers that scan
    // millions of points compare such values without running the program).
    const Instruction* lone() const { return code_.size() == 1 ? &code_[0] : nullptr; }

    // What a pass of the block evaluation reads at every point: x, a number (from a block that
    // holds it at every point) or a slot of the block's stack.
    struct BlockOperand {
        enum class Kind : std::uint8_t { X, Number, Slot };
        Kind kind = Kind::X;
        std::uint32_t index = 0; // of the number or the slot
        // Where a block finds it: base 0 x, 1 the numbers, 2 the output (slot 0), 3 the other
        // slots; offset in values from there.
        std::uint8_t base = 0;
        std::uint32_t offset = 0;
    };

    // One pass over a block of points. The operations of up to three instructions are joined into
    // one pass, so that their intermediates stay in registers (A..E are the operands in order,
    // o1..o3 the operations, by their position in ops):
    //   Apply       D = A o1 B
    //   LeftPair    D = (A o1 B) o2 C
    //   RightPair   D = A o2 (B o1 C)
    //   RightTriple D = A o3 ((B o1 C) o2 E)
    //   BothPairs   D = (A o1 B) o3 (C o2 E)
    //   Function    D = f(A), f = ops[0]
    //   Name        D = the name of slot index (of the first operand) at every point
    //   Copy        D = A
    enum class PassShape : std::uint8_t {
        Apply,
        LeftPair,
        RightPair,
        RightTriple,
        BothPairs,
        Function,
        Name,
        Copy
    };
    // The function that runs an arithmetic pass or a function over a full block: D, A, B, C, E.
    using BlockKernel = void (*)(double*, const double*, const double*, const double*,
                                 const double*);
    struct BlockPass {
        PassShape shape = PassShape::Copy;
        std::array<Op, 3> ops{};
        std::uint32_t dest = 0; // the slot written, 0 is the caller's output
        std::array<BlockOperand, 4> operands{};
        BlockKernel kernel = nullptr;
    };

    // The passes of the block evaluation (for tests of the compiled form).
    const std::vector<BlockPass>& blockPasses() const { return passes_; }

private:
    Formula() = default;

    // Compiles the passes of the block evaluation from the program.
    void compileBlockPasses();

    std::vector<Instruction> code_;
    std::size_t stackDepth_ = 0;
    std::vector<BlockPass> passes_;
    std::vector<double> numberBlocks_; // each number of the passes kBlock times
    std::size_t blockSlots_ = 1;       // slots of the block evaluation, with the output
    // Room for programs deeper than the stack kept on the machine stack during evaluation.
    mutable std::vector<double> spill_;
};

// The messages of a formula that is no formula.
std::string dependencyErrorText(int k); // "Функциональная зависимость yk введена неверно."
std::string
activationErrorText(double neuron); // "Функция активации для нейрона %3d  введена неверно"

// Parse formula k (1..4) of the analytic dependencies; throws AxoliteError(Error, its message).
Formula parseDependency(std::string_view text, int k);

// Parse the activation function of an input neuron; throws AxoliteError(Information, its message).
Formula parseActivation(std::string_view text, double neuron);

// The evaluation entry point of the analytic dependencies: formula k (1..4) at x, or
// AxoliteError(Error, the formula's message). The text is left as it was.
double evaluateDependency(std::string_view text, int k, double x);

} // namespace axolite::reference
