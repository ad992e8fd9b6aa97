// The debugging session on a simulated example: moves stay within the run, running to a
// condition stops where a plain scan of every active condition stops, the watch rows read the
// histories and mark sign changes and crossings of the model's limits, and the highlighted lines
// are the explanation's own.
#include "core/debugger/debug_session.h"

#include "core/common/message.h"
#include "core/common/progress.h"
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/simulation/simulation.h"

#include "test_support.h"

#include <gtest/gtest.h>
#include <set>

using namespace axolite;
using namespace axolite::debugger;

namespace {

struct SimulatedExample {
    language::NetworkRecord record;
    language::CheckResult check;
    simulation::Simulation simulation;

    explicit SimulatedExample(const std::string& name) {
        const auto text = language::readDescriptionFile(test::examplePath(name));
        if (!text || language::lexDescription(*text, record)) {
            throw std::runtime_error("cannot read " + name);
        }
        check = language::checkDescription(record);
        simulation.prepare(record, check);
        platform::FolderSettings folders;
        folders.models = test::examplePath("models").string();
        folders.set = true;
        SilentProgress silent;
        if (simulation.run(record, check, silent, folders).outcome !=
            simulation::Simulation::Outcome::Completed) {
            throw std::runtime_error("cannot simulate " + name);
        }
    }
};

// The hits of a plain scan over every step in the direction of travel: at each step, the first
// active condition that reads and holds.
std::vector<ConditionHit> plainHits(const DebugSession& session, std::int32_t from, bool forward) {
    std::vector<ConditionHit> hits;
    for (std::int32_t i = forward ? from + 1 : from - 1; i >= 0 && i < session.steps();
         i += forward ? 1 : -1) {
        for (std::size_t k = 0; k < session.conditions().size(); ++k) {
            const ConditionEntry& entry = session.conditions()[k];
            if (entry.active && entry.condition && entry.condition->holds(session.run(), i)) {
                hits.push_back({i, k});
                break;
            }
        }
    }
    return hits;
}

} // namespace

TEST(DebugSession, MovesStayWithinTheRun) {
    const SimulatedExample example("wait_counts.net");
    DebugSession session(example.record, example.check, example.simulation);
    ASSERT_EQ(session.steps(), 10);
    EXPECT_EQ(session.step(), 0);
    session.back();
    EXPECT_EQ(session.step(), 0);
    session.last();
    EXPECT_EQ(session.step(), 9);
    session.forward();
    EXPECT_EQ(session.step(), 9);
    session.goTo(-7);
    EXPECT_EQ(session.step(), 0);
    session.goTo(4);
    session.forward();
    EXPECT_EQ(session.step(), 5);
    EXPECT_DOUBLE_EQ(session.x(), 0.5);
}

TEST(DebugSession, RunningToAConditionStopsWhereAPlainScanStops) {
    const SimulatedExample example("ring.net");
    DebugSession session(example.record, example.check, example.simulation);
    session.addCondition("n3 > 0.5");
    session.addCondition("n9999 > 0"); // does not read: never stops
    session.addCondition("step = 40 or step = 3");
    session.addCondition("x >= 0"); // switched off below
    session.addCondition("abs(n1 - n2) < 0.05 и step > 5");
    session.setConditionActive(3, false);
    ASSERT_TRUE(session.conditions()[1].error);
    // y4 reads output entry 4, neuron 7.
    session.addCondition("n3 > 0 и (abs(N1 - n3) > y4 или n2 = step)");
    EXPECT_EQ(session.namedNeurons(5), (std::vector<std::int32_t>{2, 0, 6, 1}));
    session.removeCondition(5);

    const auto forward = plainHits(session, 0, true);
    ASSERT_GE(forward.size(), 3u);
    std::vector<ConditionHit> found;
    while (const auto hit = session.continueToCondition()) {
        EXPECT_EQ(session.step(), hit->step);
        found.push_back(*hit);
    }
    EXPECT_EQ(found, forward);

    session.last();
    const auto backward = plainHits(session, session.step(), false);
    found.clear();
    while (const auto hit = session.backToCondition()) {
        found.push_back(*hit);
    }
    EXPECT_EQ(found, backward);
    EXPECT_EQ(session.firstHit(0), forward.empty() ? std::nullopt : std::optional(forward[0]));

    // Without an active condition that reads, the session stays where it is.
    session.goTo(10);
    session.removeCondition(4);
    session.removeCondition(2);
    session.removeCondition(0);
    EXPECT_FALSE(session.continueToCondition());
    EXPECT_EQ(session.step(), 10);
}

TEST(DebugSession, WatchRowsReadTheHistories) {
    const SimulatedExample example("wait_counts.net");
    DebugSession session(example.record, example.check, example.simulation);
    session.addWatch(2);
    session.addOutputWatches(); // neurons 2 and 3 (zero-based 1 and 2): 2 is watched already
    session.addWatch(0);
    EXPECT_EQ(session.watches(), (std::vector<std::int32_t>{2, 1, 0}));
    EXPECT_THROW(session.addWatch(3), AxoliteError);

    const auto atStart = session.watchRows();
    EXPECT_FALSE(atStart[0].previous);
    session.goTo(1);
    const auto rows = session.watchRows();
    ASSERT_EQ(rows.size(), 3u);
    // Neuron 3 goes from its initial -1 to 1: the sign changes, the linear model's limits ±1 hold
    // both values.
    EXPECT_EQ(rows[0].value, example.record.activity.at(2, 1));
    EXPECT_EQ(rows[0].previous, example.record.activity.at(2, 0));
    EXPECT_EQ(rows[0].change, rows[0].value - *rows[0].previous);
    EXPECT_TRUE(rows[0].signChanged);
    EXPECT_FALSE(rows[0].limitsCrossed);
    EXPECT_EQ(rows[0].code, 1);
    EXPECT_FALSE(rows[1].signChanged);
}

TEST(DebugSession, MarksFollowTheModelsLimits) {
    std::vector<double> activity{0.5, 1.5, -0.5, 0.0, 2.5, 0.0};
    RunValues run;
    run.activity = activity.data();
    run.neurons = 1;
    run.steps = static_cast<std::int32_t>(activity.size());
    simulation::ModelParameters linear{0, 2.0, -10, 0};
    simulation::ModelParameters negative{0, -1.0, 0, 0};
    EXPECT_FALSE(watchRow(run, 0, 1, 0, linear).limitsCrossed);     // 0.5 -> 1.5 within ±2
    EXPECT_TRUE(watchRow(run, 0, 2, 0, linear).signChanged);        // 1.5 -> -0.5
    EXPECT_FALSE(watchRow(run, 0, 3, 0, linear).signChanged);       // -0.5 -> 0
    EXPECT_TRUE(watchRow(run, 0, 4, 0, linear).limitsCrossed);      // 0 -> 2.5 beyond 2
    EXPECT_TRUE(watchRow(run, 0, 5, 0, linear).limitsCrossed);      // 2.5 -> 0 back within
    EXPECT_TRUE(watchRow(run, 0, 2, 300, negative).limitsCrossed);  // step kind: [-1, 0]
    EXPECT_FALSE(watchRow(run, 0, 3, 300, negative).limitsCrossed); // -0.5 -> 0 within
    EXPECT_TRUE(watchRow(run, 0, 2, 700, linear).limitsCrossed);    // Gaussian: [0, 2]
}

TEST(DebugSession, HighlightedLinesAreTheExplanationsLines) {
    const SimulatedExample example("wait_counts.net");
    DebugSession session(example.record, example.check, example.simulation);
    for (std::int32_t neuron = 0; neuron < 3; ++neuron) {
        for (std::int32_t step = 0; step < session.steps(); ++step) {
            const auto e = session.explain(neuron, step);
            std::set<std::int32_t> expected;
            if (e.origin == simulation::ValueOrigin::Initial) {
                expected.insert(e.initialLine);
            } else {
                for (const auto& term : e.terms) {
                    expected.insert(term.line);
                }
                expected.insert(e.modelLine);
                expected.insert(e.waitLine);
            }
            expected.erase(0);
            const auto lines = explanationLines(e);
            EXPECT_EQ(std::set<std::int32_t>(lines.begin(), lines.end()), expected);
            EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
        }
    }
    // Neuron 2 holds its value at step 1: its SUSPEND entry (line 12) fed it.
    const auto held = explanationLines(session.explain(1, 1));
    EXPECT_NE(std::find(held.begin(), held.end(), 12), held.end());
}

TEST(DebugSession, RefusesARecordWithoutACompletedRun) {
    language::NetworkRecord record;
    language::CheckResult check;
    simulation::Simulation simulation;
    EXPECT_THROW(DebugSession(record, check, simulation), AxoliteError);
}
