// Conditions against the histories: random conditions (arithmetic, functions, comparisons, the
// logic words in both languages, brackets, blanks) agree at every step with a direct evaluation
// of the same tree, the scans find the steps a plain loop finds, and a text that is no condition
// is refused at the position of its fault.
#include "core/debugger/condition.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace axolite::debugger;

namespace {

// A run of random values held in arrays of its own, with a NaN and an infinity among them.
struct Values {
    std::int32_t neurons = 5;
    std::int32_t steps = 300;
    std::vector<double> activity;
    std::vector<std::vector<double>> outputs;
    RunValues run;

    explicit Values(std::mt19937& random) {
        std::uniform_real_distribution<double> value(-2.0, 2.0);
        std::uniform_int_distribution<int> coarse(-2, 2); // equal values happen
        activity.resize(static_cast<std::size_t>(neurons * steps));
        for (double& v : activity) {
            v = random() % 3 == 0 ? coarse(random) * 0.5 : value(random);
        }
        activity[17] = std::numeric_limits<double>::quiet_NaN();
        activity[101] = std::numeric_limits<double>::infinity();
        outputs.assign(2, std::vector<double>(static_cast<std::size_t>(steps)));
        for (auto& series : outputs) {
            for (double& v : series) {
                v = value(random);
            }
        }
        run.activity = activity.data();
        run.neurons = neurons;
        run.steps = steps;
        run.outputs = {outputs[0].data(), outputs[1].data(), nullptr, nullptr};
        run.outputCount = 2;
        run.t0 = 0.5;
        run.h = 0.01;
    }
};

// A random condition as text and as the function it means.
struct Generated {
    std::string text;
    std::function<bool(const RunValues&, std::int32_t)> holds;
    std::function<double(const RunValues&, std::int32_t)> value; // arithmetic only
};

class Generator {
public:
    explicit Generator(std::mt19937& random) : random_(random) {}

    Generated arithmetic(int depth) {
        const int choice = pick(depth > 0 ? 9 : 5);
        switch (choice) {
        case 0: {
            const std::int32_t n = pick(5);
            return {blank() + "n" + std::to_string(n + 1),
                    {},
                    [n](const RunValues& r, std::int32_t i) { return r.neuron(n, i); }};
        }
        case 1: {
            const int k = pick(2);
            return {"Y" + std::to_string(k + 1), {}, [k](const RunValues& r, std::int32_t i) {
                        return r.outputs[static_cast<std::size_t>(k)][i];
                    }};
        }
        case 2:
            return {"x", {}, [](const RunValues& r, std::int32_t i) { return r.x(i); }};
        case 3:
            return {"step", {}, [](const RunValues&, std::int32_t i) { return double(i); }};
        case 4: {
            const double c = pick(41) * 0.25 - 5.0;
            const std::string text = c < 0 ? "(" + number(c) + ")" : number(c);
            return {text, {}, [c](const RunValues&, std::int32_t) { return c; }};
        }
        case 5: {
            Generated inner = arithmetic(depth - 1);
            return {"abs(" + inner.text + blank() + ")",
                    {},
                    [f = inner.value](const RunValues& r, std::int32_t i) {
                        return std::fabs(f(r, i));
                    }};
        }
        case 6: {
            Generated inner = arithmetic(depth - 1);
            return {"SIN(" + inner.text + ")",
                    {},
                    [f = inner.value](const RunValues& r, std::int32_t i) {
                        return std::sin(f(r, i));
                    }};
        }
        default: {
            // Bracketed, so that the order of the operations is the one written.
            Generated a = arithmetic(depth - 1);
            Generated b = arithmetic(depth - 1);
            const char op = "+-*/"[pick(4)];
            return {"(" + a.text + blank() + op + blank() + b.text + ")",
                    {},
                    [op, fa = a.value, fb = b.value](const RunValues& r, std::int32_t i) {
                        const double x = fa(r, i);
                        const double y = fb(r, i);
                        return op == '+' ? x + y : op == '-' ? x - y : op == '*' ? x * y : x / y;
                    }};
        }
        }
    }

    // A name against a number (either side first) is scanned by a loop of its own.
    Generated comparison(bool simple = false) {
        Generated a = simple ? arithmetic(0) : arithmetic(2);
        Generated b = simple ? arithmetic(0) : arithmetic(1);
        static const std::vector<std::string> signs{"<", "<=", ">", ">=", "=", "<>", "!="};
        const std::string sign = signs[static_cast<std::size_t>(pick(7))];
        return {a.text + blank() + sign + blank() + b.text,
                [sign, fa = a.value, fb = b.value](const RunValues& r, std::int32_t i) {
                    const double x = fa(r, i);
                    const double y = fb(r, i);
                    if (sign == "<")
                        return x < y;
                    if (sign == "<=")
                        return x <= y;
                    if (sign == ">")
                        return x > y;
                    if (sign == ">=")
                        return x >= y;
                    if (sign == "=")
                        return x == y;
                    return x != y;
                },
                {}};
    }

    // Logic trees written with brackets only where the words' priority needs them ("и" binds
    // tighter than "или"), and sometimes where it does not.
    Generated logic(int depth, bool insideAnd) {
        if (depth == 0 || pick(3) == 0) {
            return comparison();
        }
        const bool isAnd = pick(2) == 0;
        Generated a = logic(depth - 1, isAnd);
        Generated b = logic(depth - 1, isAnd);
        const std::string word = isAnd ? (pick(2) ? " и " : " AND ") : (pick(2) ? " или " : " or ");
        std::string text = a.text + word + b.text;
        if ((insideAnd && !isAnd) || pick(4) == 0) {
            text = "(" + blank() + text + ")";
        }
        return {text,
                [isAnd, fa = a.holds, fb = b.holds](const RunValues& r, std::int32_t i) {
                    return isAnd ? fa(r, i) && fb(r, i) : fa(r, i) || fb(r, i);
                },
                {}};
    }

private:
    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    std::string blank() { return pick(2) ? " " : ""; }
    static std::string number(double c) {
        std::string text = std::to_string(c);
        return text;
    }

    std::mt19937& random_;
};

} // namespace

// Every step of every condition against the tree's own evaluation, and the scans against a plain
// loop over it, between random bounds (some outside the run).
TEST(Condition, RandomConditionsAgreeWithADirectLoop) {
    std::mt19937 random(2024);
    const Values values(random);
    Generator generate(random);
    for (int trial = 0; trial < 400; ++trial) {
        const Generated g = trial % 3 == 0 ? generate.comparison(true) : generate.logic(3, false);
        const auto parsed = Condition::parse(g.text, values.neurons, 2);
        ASSERT_TRUE(parsed.condition) << g.text << ": " << parsed.error->text();
        const std::int32_t from = static_cast<std::int32_t>(random() % 320) - 10;
        const std::int32_t end = static_cast<std::int32_t>(random() % 320) - 10;
        std::optional<std::int32_t> first;
        std::optional<std::int32_t> last;
        for (std::int32_t i = 0; i < values.steps; ++i) {
            const bool holds = g.holds(values.run, i);
            ASSERT_EQ(parsed.condition->holds(values.run, i), holds) << g.text << " at " << i;
            if (holds && i >= from && i < end) {
                first = first ? first : i;
                last = i;
            }
        }
        EXPECT_EQ(parsed.condition->firstFrom(values.run, from, end), first) << g.text;
        EXPECT_EQ(parsed.condition->lastBefore(values.run, end, from), last) << g.text;
    }
}

// The arithmetic is the formula language's own: its split rules give a + b - c = a + (b - c),
// which differs from the left-to-right order in the last bit here.
TEST(Condition, ArithmeticFollowsTheFormulaLanguage) {
    std::vector<double> activity{0.1, 0.2, 0.3};
    RunValues run;
    run.activity = activity.data();
    run.neurons = 3;
    run.steps = 1;
    const double split = 0.1 + (0.2 - 0.3);
    ASSERT_NE(split, (0.1 + 0.2) - 0.3);
    char text[64];
    std::snprintf(text, sizeof text, "n1 + n2 - n3 = %.17g", split);
    const auto parsed = Condition::parse(text, 3, 0);
    ASSERT_TRUE(parsed.condition);
    EXPECT_TRUE(parsed.condition->holds(run, 0));
}

// The position (in characters, from 1) of each fault; the texts themselves are the tool's golden
// output.
TEST(Condition, AFaultIsReportedWhereItStands) {
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"", 1},
        {"   ", 1},
        {"n1 > 0)", 7},
        {"((n1 > 0)", 1},
        {"n1", 1},
        {"n1 > 0 и", 9},
        {"или n1 > 0", 1},
        {"n1 > 0 и  или n2 < 1", 9},
        {"0 < n1 < 1", 8},
        {"n1 > ", 4},
        {"n1 ! 2", 4},
        {"n4 > 0", 1},
        {"y2 > 0", 1},
        {"y0 > 0", 1},
        {"n99999999999999999999 > 0", 1},
        {"z > 0", 1},
        {"abs(x) > lg(2)", 10},
        {"n 1 > 0", 2},
        {"1 > 2 2", 6},
        {"n1 > 2x", 6},
        {"n1 > 2*", 8},
        {"и > 0", 1},
        {"n1 > 0 и n2 ≥ 0", 13},
        {"()", 1},
        {"n1 > (0 < 1)", 9},
    };
    for (const auto& [text, position] : cases) {
        const auto parsed = Condition::parse(text, 3, 1);
        ASSERT_FALSE(parsed.condition) << text;
        ASSERT_TRUE(parsed.error) << text;
        EXPECT_EQ(parsed.error->position, position) << text << ": " << parsed.error->reason;
        EXPECT_FALSE(parsed.error->reason.empty());
    }
}
