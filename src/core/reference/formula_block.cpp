// The block evaluation of a formula: the program read back into its tree, the tree covered by
// passes that join up to three operations on x and numbers, each pass run over a block of points.
// A pass applies the same operations to the same operands as the program, so each value is the
// program's bit for bit, in whatever order the passes compute the tree's parts.
#include "core/reference/formula.h"

#include "core/platform/processor_features.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace axolite::reference {

namespace {

using Op = Formula::Op;
using Operand = Formula::BlockOperand;
using Pass = Formula::BlockPass;
using Shape = Formula::PassShape;
constexpr std::size_t kBlock = Formula::kBlock;

// A node of the formula's tree: a leaf (Constant, X, Name), an operation of two (Add .. Divide)
// or a function of one (Sin .. Abs, in left).
struct Node {
    Op op = Op::Constant;
    double value = 0.0;
    std::uint32_t slot = 0;
    int left = -1;
    int right = -1;
};

bool isArithmetic(Op op) {
    return op >= Op::Add && op <= Op::Divide;
}

Op arithmeticOf(Op op, Op family) {
    return static_cast<Op>(static_cast<int>(Op::Add) + static_cast<int>(op) -
                           static_cast<int>(family));
}

bool inFamily(Op op, Op family) {
    return op >= family && static_cast<int>(op) < static_cast<int>(family) + 4;
}

// The tree of a postfix program; the root is the last node.
std::vector<Node> treeOf(const std::vector<Formula::Instruction>& code) {
    std::vector<Node> nodes;
    std::vector<int> stack;
    const auto add = [&nodes](Node node) {
        nodes.push_back(node);
        return static_cast<int>(nodes.size() - 1);
    };
    const auto x = [&add] { return add({Op::X}); };
    const auto pop = [&stack] {
        const int top = stack.back();
        stack.pop_back();
        return top;
    };
    for (const Formula::Instruction& in : code) {
        const Node number{Op::Constant, in.value};
        if (in.op == Op::Constant || in.op == Op::X || in.op == Op::Name) {
            stack.push_back(add({in.op, in.value, in.slot}));
        } else if (isArithmetic(in.op)) {
            const int right = pop();
            const int left = pop();
            stack.push_back(add({in.op, 0.0, 0, left, right}));
        } else if (inFamily(in.op, Op::AddConstant)) {
            const int left = pop();
            stack.push_back(add({arithmeticOf(in.op, Op::AddConstant), 0.0, 0, left, add(number)}));
        } else if (inFamily(in.op, Op::AddX)) {
            const int left = pop();
            stack.push_back(add({arithmeticOf(in.op, Op::AddX), 0.0, 0, left, x()}));
        } else if (inFamily(in.op, Op::XAddConstant)) {
            const int left = x();
            stack.push_back(
                add({arithmeticOf(in.op, Op::XAddConstant), 0.0, 0, left, add(number)}));
        } else if (inFamily(in.op, Op::ConstantAddX)) {
            const int left = add(number);
            stack.push_back(add({arithmeticOf(in.op, Op::ConstantAddX), 0.0, 0, left, x()}));
        } else if (inFamily(in.op, Op::XAddX)) {
            const int left = x();
            stack.push_back(add({arithmeticOf(in.op, Op::XAddX), 0.0, 0, left, x()}));
        } else {
            stack.push_back(add({in.op, 0.0, 0, pop()}));
        }
    }
    return nodes;
}

// Covers the tree by passes. A node's value goes to slot d, its left operand's to d as well and
// its right operand's to d + 1; x and numbers are read where they are and take no slot.
class PassCover {
public:
    explicit PassCover(const std::vector<Node>& nodes) : nodes_(nodes) {}

    void cover() { emit(static_cast<int>(nodes_.size()) - 1, 0); }

    std::vector<Pass> passes;
    std::vector<double> numbers;
    std::uint32_t slots = 1;

private:
    const Node& at(int n) const { return nodes_[static_cast<std::size_t>(n)]; }
    bool leaf(int n) const { return at(n).op == Op::X || at(n).op == Op::Constant; }
    bool pair(int n) const {
        return isArithmetic(at(n).op) && leaf(at(n).left) && leaf(at(n).right);
    }
    bool triple(int n) const {
        return isArithmetic(at(n).op) && pair(at(n).left) && leaf(at(n).right);
    }

    Operand operandOf(int n) {
        if (at(n).op == Op::X) {
            return {Operand::Kind::X, 0};
        }
        numbers.push_back(at(n).value);
        return {Operand::Kind::Number, static_cast<std::uint32_t>(numbers.size() - 1)};
    }

    // x or a number where it is, anything else computed into slot d.
    Operand single(int n, std::uint32_t d) {
        if (leaf(n)) {
            return operandOf(n);
        }
        emit(n, d);
        return {Operand::Kind::Slot, d};
    }

    void add(Shape shape, std::array<Op, 3> ops, std::uint32_t d, std::array<Operand, 4> operands) {
        passes.push_back({shape, ops, d, operands});
    }

    void emit(int n, std::uint32_t d) {
        slots = std::max(slots, d + 1);
        const Node& node = at(n);
        if (node.op == Op::Name) {
            add(Shape::Name, {}, d, {Operand{Operand::Kind::Slot, node.slot}});
        } else if (leaf(n)) {
            add(Shape::Copy, {}, d, {operandOf(n)});
        } else if (!isArithmetic(node.op)) {
            add(Shape::Function, {node.op}, d, {single(node.left, d)});
        } else {
            emitArithmetic(node, d);
        }
    }

    void emitArithmetic(const Node& node, std::uint32_t d) {
        const Node& left = at(node.left);
        const Node& right = at(node.right);
        if (pair(node.left) && pair(node.right)) {
            add(Shape::BothPairs, {left.op, right.op, node.op}, d,
                {operandOf(left.left), operandOf(left.right), operandOf(right.left),
                 operandOf(right.right)});
        } else if (pair(node.left)) {
            const Operand c = single(node.right, d + 1);
            add(Shape::LeftPair, {left.op, node.op}, d,
                {operandOf(left.left), operandOf(left.right), c});
        } else {
            const Operand a = single(node.left, d);
            if (triple(node.right)) {
                const Node& inner = at(right.left);
                add(Shape::RightTriple, {inner.op, right.op, node.op}, d,
                    {a, operandOf(inner.left), operandOf(inner.right), operandOf(right.right)});
            } else if (pair(node.right)) {
                add(Shape::RightPair, {right.op, node.op}, d,
                    {a, operandOf(right.left), operandOf(right.right)});
            } else {
                add(Shape::Apply, {node.op}, d, {a, single(node.right, d + 1)});
            }
        }
    }

    const std::vector<Node>& nodes_;
};

// Calls body with the operation op (Add .. Divide) as a function object.
template <class Body> void withArithmetic(Op op, Body&& body) {
    switch (op) {
    case Op::Add:
        body(std::plus<>{});
        break;
    case Op::Subtract:
        body(std::minus<>{});
        break;
    case Op::Multiply:
        body(std::multiplies<>{});
        break;
    default:
        body(std::divides<>{});
        break;
    }
}

// D[i] = value(i) at every point of a full block. D may be one of the operands value reads at i,
// never at another point.
template <class Value> void fill(double* d, Value value) {
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC ivdep
#endif
    for (std::size_t i = 0; i < kBlock; ++i) {
        d[i] = value(i);
    }
}

using Kernel = Formula::BlockKernel;

// The functions call the same library functions as the evaluation at one point.
template <Op F> double function(double a) {
    if constexpr (F == Op::Sin) {
        return std::sin(a);
    } else if constexpr (F == Op::Cos) {
        return std::cos(a);
    } else if constexpr (F == Op::Tg) {
        return std::tan(a);
    } else if constexpr (F == Op::Ctg) {
        return 1.0 / std::tan(a);
    } else if constexpr (F == Op::Exp) {
        return std::exp(a);
    } else if constexpr (F == Op::Sqrt) {
        return std::sqrt(a);
    } else {
        return std::fabs(a);
    }
}

template <Op F>
void functionKernel(double* d, const double* a, const double*, const double*, const double*) {
    fill(d, [a](std::size_t i) { return function<F>(a[i]); });
}

Kernel functionKernelOf(Op op) {
    switch (op) {
    case Op::Sin:
        return functionKernel<Op::Sin>;
    case Op::Cos:
        return functionKernel<Op::Cos>;
    case Op::Tg:
        return functionKernel<Op::Tg>;
    case Op::Ctg:
        return functionKernel<Op::Ctg>;
    case Op::Exp:
        return functionKernel<Op::Exp>;
    case Op::Sqrt:
        return functionKernel<Op::Sqrt>;
    default:
        return functionKernel<Op::Abs>;
    }
}

// The arithmetic passes over a full block, one function per shape and operations.
template <Shape S, class F1, class F2, class F3>
inline void arithmeticPass(double* d, const double* a, const double* b, const double* c,
                           const double* e) {
    const F1 f1;
    const F2 f2;
    const F3 f3;
    if constexpr (S == Shape::Apply) {
        fill(d, [=](std::size_t i) { return f1(a[i], b[i]); });
    } else if constexpr (S == Shape::LeftPair) {
        fill(d, [=](std::size_t i) { return f2(f1(a[i], b[i]), c[i]); });
    } else if constexpr (S == Shape::RightPair) {
        fill(d, [=](std::size_t i) { return f2(a[i], f1(b[i], c[i])); });
    } else if constexpr (S == Shape::RightTriple) {
        fill(d, [=](std::size_t i) { return f3(a[i], f2(f1(b[i], c[i]), e[i])); });
    } else {
        fill(d, [=](std::size_t i) { return f3(f1(a[i], b[i]), f2(c[i], e[i])); });
    }
}

template <Shape S, class F1, class F2, class F3>
void arithmeticKernel(double* d, const double* a, const double* b, const double* c,
                      const double* e) {
    arithmeticPass<S, F1, F2, F3>(d, a, b, c, e);
}

#if defined(__x86_64__) || defined(__i386__)
// The same pass in four-lane vectors: half the instructions, the same operations on the same
// operands at every point (no contraction), so the same values.
template <Shape S, class F1, class F2, class F3>
__attribute__((target("avx2"))) void arithmeticKernelAvx2(double* d, const double* a,
                                                          const double* b, const double* c,
                                                          const double* e) {
    arithmeticPass<S, F1, F2, F3>(d, a, b, c, e);
}
#endif

template <Shape S, class F1, class F2, class F3> Kernel arithmeticKernelFor() {
#if defined(__x86_64__) || defined(__i386__)
    if (platform::processorFeatures().avx2) {
        return arithmeticKernelAvx2<S, F1, F2, F3>;
    }
#endif
    return arithmeticKernel<S, F1, F2, F3>;
}

// The kernel of a pass, chosen once when the formula is compiled. The operations a shape does
// not use are taken as additions, so that each shape has one function per operations it uses.
template <Shape S> Kernel arithmeticKernelOf(const std::array<Op, 3>& ops) {
    constexpr int kUsed = S == Shape::Apply                               ? 1
                          : S == Shape::LeftPair || S == Shape::RightPair ? 2
                                                                          : 3;
    const auto used = [&ops](int k) {
        return k < kUsed ? ops[static_cast<std::size_t>(k)] : Op::Add;
    };
    Kernel kernel = nullptr;
    withArithmetic(used(0), [&](auto f1) {
        withArithmetic(used(1), [&](auto f2) {
            withArithmetic(used(2), [&](auto f3) {
                kernel = arithmeticKernelFor<S, decltype(f1), decltype(f2), decltype(f3)>();
            });
        });
    });
    return kernel;
}

Kernel kernelOf(const Pass& pass) {
    switch (pass.shape) {
    case Shape::Apply:
        return arithmeticKernelOf<Shape::Apply>(pass.ops);
    case Shape::LeftPair:
        return arithmeticKernelOf<Shape::LeftPair>(pass.ops);
    case Shape::RightPair:
        return arithmeticKernelOf<Shape::RightPair>(pass.ops);
    case Shape::RightTriple:
        return arithmeticKernelOf<Shape::RightTriple>(pass.ops);
    case Shape::BothPairs:
        return arithmeticKernelOf<Shape::BothPairs>(pass.ops);
    case Shape::Function:
        return functionKernelOf(pass.ops[0]);
    default:
        return nullptr; // names and copies are run by the block itself
    }
}

// The stack of one block: slot 0 is the block's output, the others lie in scratch.
struct BlockStack {
    const double* x;
    double* out;
    double* scratch;
    const double* numbers;
    // The names of the block's points (values[i * stride + slot]) and how many points it has.
    const double* values;
    std::size_t stride;
    std::size_t count;

    double* slot(std::uint32_t depth) const {
        return depth == 0 ? out : scratch + (depth - 1) * kBlock;
    }

    void run(const std::vector<Pass>& passes) const {
        const std::array<const double*, 4> bases{x, numbers, out, scratch};
        const auto operand = [&bases](const Operand& o) { return bases[o.base] + o.offset; };
        for (const Pass& pass : passes) {
            double* const d = slot(pass.dest);
            const auto& o = pass.operands;
            switch (pass.shape) {
            case Shape::Name: {
                // The points past the count of a short block read nothing.
                const std::uint32_t name = o[0].index;
                for (std::size_t i = 0; i < kBlock; ++i) {
                    d[i] = i < count ? values[i * stride + name] : 0.0;
                }
                break;
            }
            case Shape::Copy:
                std::copy_n(operand(o[0]), kBlock, d);
                break;
            default:
                pass.kernel(d, operand(o[0]), operand(o[1]), operand(o[2]), operand(o[3]));
                break;
            }
        }
    }
};

void locate(Operand& operand) {
    switch (operand.kind) {
    case Operand::Kind::X:
        operand.base = 0;
        operand.offset = 0;
        break;
    case Operand::Kind::Number:
        operand.base = 1;
        operand.offset = static_cast<std::uint32_t>(operand.index * kBlock);
        break;
    default:
        operand.base = operand.index == 0 ? 2 : 3;
        operand.offset =
            static_cast<std::uint32_t>(operand.index == 0 ? 0 : (operand.index - 1) * kBlock);
        break;
    }
}

// A formula that is a lone x, number or name: copied, filled or gathered, with no pass.
void evaluateLone(const Formula::Instruction& lone, std::span<const double> xs,
                  std::span<double> out, const double* values, std::size_t stride) {
    switch (lone.op) {
    case Op::X:
        if (out.data() == xs.data()) {
            break;
        }
        if (xs.size() == kBlock) {
            // A whole block, the usual call: a copy of known length, done in registers.
            std::memcpy(out.data(), xs.data(), kBlock * sizeof(double));
        } else {
            std::copy(xs.begin(), xs.end(), out.begin());
        }
        break;
    case Op::Constant:
        std::fill_n(out.begin(), xs.size(), lone.value);
        break;
    default: // a name
        for (std::size_t i = 0; i < xs.size(); ++i) {
            out[i] = values[i * stride + lone.slot];
        }
        break;
    }
}

} // namespace

void Formula::compileBlockPasses() {
    const std::vector<Node> nodes = treeOf(code_);
    PassCover cover(nodes);
    cover.cover();
    passes_ = std::move(cover.passes);
    for (Pass& pass : passes_) {
        pass.kernel = kernelOf(pass);
        for (Operand& operand : pass.operands) {
            locate(operand);
        }
    }
    blockSlots_ = cover.slots;
    numberBlocks_.clear();
    numberBlocks_.reserve(cover.numbers.size() * kBlock);
    for (const double number : cover.numbers) {
        numberBlocks_.insert(numberBlocks_.end(), kBlock, number);
    }
}

void Formula::evaluate(std::span<const double> xs, std::span<double> out, const double* values,
                       std::size_t stride) const {
    if (const Instruction* one = lone();
        one != nullptr && (one->op == Op::X || one->op == Op::Constant || one->op == Op::Name)) {
        evaluateLone(*one, xs, out, values, stride);
        return;
    }
    constexpr std::size_t kLocalSlots = 8;
    std::array<double, kLocalSlots * kBlock> local;
    std::vector<double> deep; // a tree deeper than the slots on the machine stack
    double* scratch = local.data();
    if (blockSlots_ > kLocalSlots + 1) {
        deep.resize((blockSlots_ - 1) * kBlock);
        scratch = deep.data();
    }
    std::size_t from = 0;
    for (; from + kBlock <= xs.size(); from += kBlock) {
        const double* const blockValues = values != nullptr ? values + from * stride : nullptr;
        const BlockStack stack{xs.data() + from,
                               out.data() + from,
                               scratch,
                               numberBlocks_.data(),
                               blockValues,
                               stride,
                               kBlock};
        stack.run(passes_);
    }
    if (from == xs.size()) {
        return;
    }
    // The last, short block: its points past the end repeat the last x, and their values are
    // dropped.
    const std::size_t count = xs.size() - from;
    std::array<double, kBlock> x;
    std::array<double, kBlock> value;
    std::copy_n(xs.data() + from, count, x.begin());
    std::fill(x.begin() + static_cast<std::ptrdiff_t>(count), x.end(), xs.back());
    const BlockStack stack{x.data(),
                           value.data(),
                           scratch,
                           numberBlocks_.data(),
                           values != nullptr ? values + from * stride : nullptr,
                           stride,
                           count};
    stack.run(passes_);
    std::copy_n(value.begin(), count, out.data() + from);
}

} // namespace axolite::reference
