// The formula language: values, operator order, numbers, functions, errors, and the compiled
// programs against the re-splitting evaluator.
#include "core/common/number_text.h"
#include "core/reference/formula.h"
#include "core/reference/splitting_evaluator.h"

#include "core/common/message.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace axolite::reference {
namespace {

double valueOf(const std::string& text, double x) {
    const auto formula = Formula::parse(text, FormulaDialect::Dependency);
    EXPECT_TRUE(formula.has_value()) << text;
    return formula ? formula->evaluate(x) : std::nan("");
}

bool accepted(const std::string& text, FormulaDialect dialect = FormulaDialect::Dependency) {
    return Formula::parse(text, dialect).has_value();
}

TEST(Formula, ConstantsAndTheVariable) {
    EXPECT_EQ(valueOf("0.0", 3.5), 0.0);
    EXPECT_EQ(valueOf("x", 3.5), 3.5);
    EXPECT_EQ(valueOf("((x))", -2.25), -2.25);
    EXPECT_EQ(valueOf("2e-3*x", 1000.0), 0.002 * 1000.0);
    EXPECT_EQ(valueOf("2e+1", 0.0), 20.0);
    EXPECT_EQ(valueOf("2.5E-3", 0.0), 0.0025);
    EXPECT_EQ(valueOf(".5", 0.0), 0.5);
    EXPECT_EQ(valueOf("1.", 0.0), 1.0);
}

TEST(Formula, UnarySignsAndOperatorOrder) {
    const double x = 0.7;
    EXPECT_EQ(valueOf("-x", x), 0.0 - x);
    EXPECT_EQ(valueOf("-x+1", x), (0.0 - x) + 1.0);
    EXPECT_EQ(valueOf("x-1-1", x), (x - 1.0) - 1.0);
    EXPECT_EQ(valueOf("8/4/2", x), 1.0);
    EXPECT_EQ(valueOf("2*3+4*5", x), 26.0);
    EXPECT_EQ(valueOf("+x", x), x);
    // The rightmost split point of the first operator found decides the association.
    const double a = 0.1, b = 0.2, c = 0.3;
    EXPECT_EQ(valueOf("0.1-0.2+0.3", 0), (a - b) + c);
    EXPECT_EQ(valueOf("0.1+0.2-0.3", 0), a + (b - c));
    EXPECT_EQ(valueOf("0.1*0.2/0.3", 0), a * (b / c));
    EXPECT_EQ(valueOf("0.1/0.2/0.3", 0), (a / b) / c);
    EXPECT_EQ(valueOf("0.1-0.2-0.3", 0), (a - b) - c);
    // With unary minus -0 is 0 - 0 = +0, not -0.
    EXPECT_FALSE(std::signbit(valueOf("-x", 0.0)));
}

TEST(Formula, ASignAfterTheExponentLetterIsNeverASplitPoint) {
    EXPECT_EQ(valueOf("x-2e-3", 1.0), 1.0 - 0.002);
    EXPECT_EQ(valueOf("2e-3-x", 1.0), 0.002 - 1.0);
    EXPECT_EQ(valueOf("1e+1+1", 0), 11.0);
    EXPECT_EQ(valueOf("x*1e-1/2e+0", 3.0), 3.0 * (0.1 / 2.0));
    // The same rule keeps "e-x" together as one atom, which is no number.
    EXPECT_FALSE(accepted("2e-x"));
    EXPECT_FALSE(accepted("x-e-1"));
}

TEST(Formula, Functions) {
    EXPECT_EQ(valueOf("ctg(1)", 0), 1.0 / std::tan(1.0));
    EXPECT_EQ(valueOf("sqrt(4)", 0), 2.0);
    EXPECT_EQ(valueOf("exp(0)", 0), 1.0);
    EXPECT_EQ(valueOf("sin(cos(0))", 0), std::sin(1.0));
    EXPECT_EQ(valueOf("tg(x)", 0.5), std::tan(0.5));
    EXPECT_EQ(valueOf("SIN(X)", 0.3), std::sin(0.3));
    EXPECT_EQ(valueOf("sin(x)*exp(-x/5)+2*x-1", 1.5),
              std::sin(1.5) * std::exp(0.0 - 1.5 / 5.0) + (2.0 * 1.5 - 1.0));
}

TEST(Formula, ErroneousTextsAreRefused) {
    for (const char* text :
         {"2x", "x2",  "x*-1", "e",     "sin(x, x)", ")(",     "",         "1.2.3",
          "2*", "(",   "()",   "sin()", "sin(x)x",   "(1)(2)", "2i3",      "x x",
          "1e", "e-1", ".",    "sin x", "exp",       "x^2",    "\xd1\x85", "1,5"}) {
        EXPECT_FALSE(accepted(text)) << text;
        bool valid = true;
        evaluateBySplitting(text, FormulaDialect::Dependency, 1.0, valid);
        EXPECT_FALSE(valid) << text;
    }
}

TEST(Formula, ActivationDialectHasNoSquareRoot) {
    EXPECT_TRUE(accepted("sqrt(x)", FormulaDialect::Dependency));
    EXPECT_FALSE(accepted("sqrt(x)", FormulaDialect::Activation));
    EXPECT_TRUE(accepted("exp(-x)*sin(x)", FormulaDialect::Activation));
}

// The debugger's conditions read names and abs(); the fields of the dependencies and activations
// know neither, and an unknown name is refused at its position.
TEST(Formula, OnlyTheConditionDialectReadsNamesAndAbs) {
    EXPECT_FALSE(accepted("abs(x)"));
    EXPECT_FALSE(accepted("abs(x)", FormulaDialect::Activation));
    EXPECT_FALSE(accepted("n1+x"));
    const Formula::Names names = [](std::string_view name) -> std::optional<std::uint32_t> {
        if (name == "n1") {
            return 1;
        }
        return std::nullopt;
    };
    const auto formula = Formula::parse("ABS(N1-x)*2", FormulaDialect::Condition, names);
    ASSERT_TRUE(formula);
    const double values[] = {100.0, 1.5};
    EXPECT_EQ(formula->evaluate(4.0, values), 5.0);
    std::size_t failedAt = 0;
    EXPECT_FALSE(Formula::parse("n1+n2*3", FormulaDialect::Condition, names, &failedAt));
    EXPECT_EQ(failedAt, 3u);
}

TEST(Formula, MessagesNameTheFormulaOrTheNeuron) {
    EXPECT_EQ(dependencyErrorText(3), "Функциональная зависимость y3 введена неверно.");
    EXPECT_EQ(activationErrorText(12), "Функция активации для нейрона  12  введена неверно");
    try {
        evaluateDependency("2x", 2, 0.0);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), MessageKind::Error);
        EXPECT_EQ(e.text(), dependencyErrorText(2));
    }
    try {
        parseActivation("", 5);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.kind(), MessageKind::Information);
        EXPECT_EQ(e.text(), "Функция активации для нейрона   5  введена неверно");
    }
}

TEST(Formula, HugeAndDeepTextsGiveAValueOrTheMessageWithoutCrashing) {
    const std::string deep = std::string(5000, '(') + "x" + std::string(5000, ')');
    EXPECT_FALSE(accepted(deep));
    const std::string shallow = std::string(200, '(') + "x" + std::string(200, ')');
    EXPECT_EQ(valueOf(shallow, 2.0), 2.0);
    std::string sum = "1";
    while (sum.size() < 10000) {
        sum += "+1";
    }
    EXPECT_FALSE(accepted(sum)); // 5000 nested splits
    std::string shortSum = "x";
    for (int i = 0; i < 300; ++i) {
        shortSum += "+x";
    }
    EXPECT_EQ(valueOf(shortSum, 1.0), 301.0);
    EXPECT_FALSE(accepted(std::string(10000, '-')));
    EXPECT_FALSE(accepted(std::string(10000, 'x')));
    EXPECT_EQ(valueOf("1e999999999999999999", 0), INFINITY);
    EXPECT_EQ(valueOf("1e-999999", 0), 0.0);
    EXPECT_EQ(valueOf("0.0000000000000000000001e-400", 0), 0.0);
    EXPECT_EQ(valueOf("10000000000000000000000e300", 0), INFINITY);
}

TEST(Formula, DeepProgramsUseTheSpillStack) {
    // 40 pending left operands: deeper than the machine stack of the evaluator.
    std::string text = "x";
    for (int i = 0; i < 40; ++i) {
        text = "x*(" + text + ")";
    }
    bool valid = false;
    const double expected = evaluateBySplitting(text, FormulaDialect::Dependency, 1.01, valid);
    ASSERT_TRUE(valid);
    EXPECT_EQ(valueOf(text, 1.01), expected);
}

const std::vector<std::string>& corpus() {
    static const std::vector<std::string> texts = {
        "0.0",
        "x",
        "-x",
        "-x+1",
        "x-1-1",
        "8/4/2",
        "2*3+4*5",
        "((x))",
        "2e-3*x",
        "2e+1",
        "ctg(1)",
        "sqrt(4)",
        "exp(0)",
        "sin(cos(0))",
        "SIN(X)",
        "x-0.3+x*0.7-x/3",
        "0.1-x+0.3",
        "x+0.2-0.3",
        "x*0.2/0.3",
        "x/0.7/x",
        "x/3*x/7",
        "-x*-(-x)",
        "sin(x)*exp(-x/5)+2*x-1",
        "((x+1)*(x-1))/(x*x+1)",
        "tg(x/3)-ctg(x+1)",
        "sqrt(x*x+1)-exp(-x*x)",
        "-(-(-(x)))",
        "1.5e-3*x*x-2.5e+2/x",
        "cos(sin(tg(x)))",
        "x-(x-(x-(x-1)))",
        "2*x/3*x/5",
        "exp(x/10)/sqrt(x*x+0.01)",
        "-sqrt(x*x)*ctg(x)",
        "1/x",
        "x+1",
        "x-1",
        "x*2",
        "x/3",
        "1+x",
        "1-x",
        "2*x",
        "3/x",
        "x+x",
        "x-x",
        "x*x",
        "x/x",
        "sin(x+1)*(2-x)/(x/x)",
        "(x*x)*(x*x)-(x+x)/(3*x)",
        "x/0",
        "sqrt(-1-x*x)",
        "exp(1000*x)",
        "+-x",
        "--x",
        "-+x",
        "x+-1",
        "x*.5e1",
    };
    return texts;
}

TEST(Formula, CompiledValuesAreBitIdenticalToTheSplittingEvaluator) {
    std::vector<double> points;
    for (int i = -200; i <= 200; ++i) {
        points.push_back(i * 0.037);
    }
    points.push_back(0.0);
    points.push_back(-0.0);
    points.push_back(1e300);
    for (const std::string& text : corpus()) {
        const auto formula = Formula::parse(text, FormulaDialect::Dependency);
        bool valid = false;
        evaluateBySplitting(text, FormulaDialect::Dependency, 0.0, valid);
        ASSERT_EQ(formula.has_value(), valid) << text;
        if (!formula) {
            continue;
        }
        for (const double x : points) {
            const double expected = evaluateBySplitting(text, FormulaDialect::Dependency, x, valid);
            const double actual = formula->evaluate(x);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
                << text << " at " << x;
        }
    }
}

// A random formula of the Condition dialect over x and the names n1, n2: numbers, signs, the four
// operations, brackets and every function.
std::string randomFormula(std::mt19937& random, int depth) {
    static const char* const atoms[] = {"x", "n1", "n2", "0.5", "3", "2e-1", "x", "n2"};
    static const char* const functions[] = {"sin(", "cos(", "tg(", "ctg(", "exp(", "sqrt(", "abs("};
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    if (depth <= 0 || pick(4) == 0) {
        return atoms[pick(8)];
    }
    switch (pick(4)) {
    case 0:
        return functions[pick(7)] + randomFormula(random, depth - 1) + ")";
    case 1:
        return "(" + randomFormula(random, depth - 1) + ")";
    case 2:
        return "-" + randomFormula(random, depth - 1);
    default:
        return randomFormula(random, depth - 1) + "+-*/"[pick(4)] +
               randomFormula(random, depth - 1);
    }
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The block evaluation against the evaluation at one point, over grids that end inside a block,
// on the corpus, random formulas with names read at a stride, and a program deeper than the
// block's slots on the machine stack.
TEST(Formula, BlockValuesAreBitIdenticalToTheValuesAtOnePoint) {
    std::mt19937 random(24);
    std::vector<std::string> texts = corpus();
    for (int i = 0; i < 300; ++i) {
        texts.push_back(randomFormula(random, 6));
    }
    std::string deep = "x";
    for (int i = 0; i < 40; ++i) {
        deep = (i % 2 == 0 ? "x*(" : "sin(x)-(") + deep + ")";
    }
    texts.push_back(deep);
    const Formula::Names names = [](std::string_view name) -> std::optional<std::uint32_t> {
        if (name == "n1") {
            return 0;
        }
        return name == "n2" ? std::optional<std::uint32_t>(2) : std::nullopt;
    };
    constexpr std::size_t kStride = 3;
    for (const std::size_t count :
         {std::size_t{1}, Formula::kBlock - 1, Formula::kBlock + 1, std::size_t{1000}}) {
        std::vector<double> xs(count);
        std::vector<double> values(count * kStride);
        std::uniform_real_distribution<double> uniform(-4.0, 4.0);
        for (std::size_t i = 0; i < count; ++i) {
            xs[i] = i % 97 == 5 ? 0.0 : uniform(random);
            values[i * kStride] = uniform(random);
            values[i * kStride + 2] = i % 89 == 3 ? -0.0 : uniform(random);
        }
        std::size_t parsed = 0;
        for (const std::string& text : texts) {
            const auto formula = Formula::parse(text, FormulaDialect::Condition, names);
            if (!formula) {
                continue; // a text the dialect refuses
            }
            ++parsed;
            std::vector<double> out(count);
            formula->evaluate(xs, out, values.data(), kStride);
            for (std::size_t i = 0; i < count; ++i) {
                const double expected = formula->evaluate(xs[i], values.data() + i * kStride);
                ASSERT_TRUE(sameBits(out[i], expected))
                    << text << " at point " << i << " of " << count;
            }
        }
        EXPECT_GT(parsed, texts.size() / 2);
    }
}

// Every joined pass with every choice of its operations, at points where the operations meet
// zeros, infinities, NaN and subnormals: the block values against the values at one point.
TEST(Formula, JoinedPassesKeepEveryOperationInItsPlace) {
    const char* const shapes[] = {"x{0}3",
                                  "(x{0}3){1}x",
                                  "n1{1}(x{0}0.5)",
                                  "n1{2}((x{0}x){1}3)",
                                  "(x{0}3){2}(3{1}x)",
                                  "sin(x){2}((3{0}x){1}x)"};
    const Formula::Names names = [](std::string_view name) -> std::optional<std::uint32_t> {
        return name == "n1" ? std::optional<std::uint32_t>(0) : std::nullopt;
    };
    const std::vector<double> xs = {0.0,  -0.0,  INFINITY, -INFINITY, NAN,  1e-310, 3.0,
                                    -2.5, 1e308, 0.5,      -3.0,      1.75, 2.0,    -1e-310};
    std::vector<double> values(xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        values[i] = xs[(i + 3) % xs.size()];
    }
    const std::string ops = "+-*/";
    for (const char* shape : shapes) {
        for (int combination = 0; combination < 64; ++combination) {
            std::string text = shape;
            for (int k = 0; k < 3; ++k) {
                const std::string mark = "{" + std::to_string(k) + "}";
                const std::size_t at = text.find(mark);
                if (at != std::string::npos) {
                    text.replace(at, mark.size(), 1, ops[(combination >> (2 * k)) & 3]);
                }
            }
            const auto formula = Formula::parse(text, FormulaDialect::Condition, names);
            ASSERT_TRUE(formula) << text;
            std::vector<double> out(xs.size());
            formula->evaluate(xs, out, values.data(), 1);
            for (std::size_t i = 0; i < xs.size(); ++i) {
                // Of two NaN operands, which one an addition or multiplication passes on is the
                // compiler's choice of operand order: any NaN stands for a NaN there.
                const double expected = formula->evaluate(xs[i], values.data() + i);
                ASSERT_TRUE(sameBits(out[i], expected) ||
                            (std::isnan(out[i]) && std::isnan(expected)))
                    << text << " at x = " << xs[i];
            }
        }
    }
}

TEST(NumberText, LeadingNumbersReadLikeFields) {
    EXPECT_EQ(readLeadingNumber("1.5"), 1.5);
    EXPECT_EQ(readLeadingNumber("  -2.5abc"), -2.5);
    EXPECT_EQ(readLeadingNumber("+.25"), 0.25);
    EXPECT_EQ(readLeadingNumber("3e2"), 300.0);
    EXPECT_EQ(readLeadingNumber("3e"), 3.0);
    EXPECT_EQ(readLeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(readLeadingNumber("-"), 0.0);
    EXPECT_EQ(readLeadingNumber(""), 0.0);
    EXPECT_EQ(readLeadingNumber("abc"), 0.0);
    EXPECT_EQ(readLeadingNumber("0x10"), 0.0);
    EXPECT_EQ(readLeadingNumber("1e999"), INFINITY);
}

} // namespace
} // namespace axolite::reference
