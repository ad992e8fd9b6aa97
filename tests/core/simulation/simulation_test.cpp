// The simulation: step count, preparation, the synchronous update, wait counts, outputs,
// statistics, counters, cancel, and descriptions that pass the check but cannot be simulated.
#include "core/simulation/simulation.h"

#include "core/platform/profile_file.h"
#include "core/simulation/network_structure.h"

#include "simulation_fixture.h"
#include "test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <new>
#include <sys/resource.h>

using namespace axolite;
using namespace axolite::simulation;
using axolite::test::lexAndAccept;
using axolite::test::TempDir;
using axolite::test::writeDefaultModel;
using axolite::test::writeModelFile;

namespace {

// A record, its check and the models folder of one test.
struct Bench {
    TempDir models;
    language::NetworkRecord record;
    language::CheckResult check;
    Simulation simulation;
    platform::FolderSettings folders;

    explicit Bench(const std::string& text) {
        writeDefaultModel(models.path());
        check = lexAndAccept(record, text);
        folders.models = models.path().string();
        folders.set = true;
    }
    Simulation::Result run(Progress& progress) {
        simulation.prepare(record, check);
        return simulation.run(record, check, progress, folders);
    }
    Simulation::Result run() {
        SilentProgress silent;
        return run(silent);
    }
    double activity(int neuron, int step) const { return record.activity.at(neuron, step); }
};

const char* const kTwoNeurons = R"(neurons 2;
simtime 0, 1;
timestep 0.25;
initstate { neuron 1, 1; }
outputlayer { neuron 2, weight 1; }
networklayout { neuron 1, neuron 2, weight 0.5; }
end)";

// Stops once the percentage reaches a given value.
class CancelAt : public Progress {
public:
    explicit CancelAt(int percent) : percent_(percent) {}
    void setPercent(int p) override {
        last = p;
        calls += 1;
    }
    bool cancelRequested() const override { return last >= percent_; }
    int last = -1;
    int calls = 0;

private:
    int percent_;
};

} // namespace

TEST(StepCount, TruncatesTowardZeroAndBoundsEveryQuotient) {
    EXPECT_EQ(stepCountOf(0, 1, 0.25), 4);
    EXPECT_EQ(stepCountOf(0, 1, 0.3), 3);
    EXPECT_EQ(stepCountOf(0, 1, 2), 0);
    EXPECT_EQ(stepCountOf(0, 1, -0.25), 0);
    EXPECT_EQ(stepCountOf(0, 2147483647.0, 1), 2147483647);
    EXPECT_FALSE(stepCountOf(0, 2147483648.0, 1));
    EXPECT_FALSE(stepCountOf(0, 1, 0));
    EXPECT_FALSE(stepCountOf(0, 1e308, 1e-308));
    EXPECT_FALSE(stepCountOf(0, std::numeric_limits<double>::quiet_NaN(), 1));
    EXPECT_FALSE(stepCountOf(0, 0, 0));
}

TEST(Preparation, SizesTheGridAndZeroesTheInputs) {
    Bench b(kTwoNeurons);
    b.simulation.prepare(b.record, b.check);
    EXPECT_EQ(b.simulation.steps(), 4);
    EXPECT_EQ(b.record.steps, 4);
    EXPECT_EQ(b.record.neurons, 2);
    EXPECT_EQ(b.record.activity.steps(), 4);
    EXPECT_EQ(b.record.externalInput.at(1, 3), 0.0);
    // Index 3, the last, stands for t0 + 3h = 0.75.
    EXPECT_EQ(b.record.t0 + 3 * b.record.h, 0.75);
    for (const auto& series : b.record.outputSeries) {
        EXPECT_EQ(series.size(), 4u);
    }
}

TEST(Preparation, TooManyStepsIsRefusedWithItsMessage) {
    Bench b("neurons 2; simtime 0, 1000; timestep 0.0001; end");
    try {
        b.simulation.prepare(b.record, b.check);
        FAIL() << "no exception";
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.message(), tooManyStepsMessage());
        EXPECT_EQ(e.text(), "Слишком много шагов пересчета.");
        EXPECT_EQ(e.kind(), MessageKind::Information);
    }
    EXPECT_FALSE(b.simulation.prepared());
    EXPECT_EQ(b.record.steps, 0);
    SilentProgress silent;
    EXPECT_EQ(b.simulation.run(b.record, b.check, silent, b.folders).outcome,
              Simulation::Outcome::NotRun);
}

TEST(Preparation, ARefusedPreparationKeepsNoArraysOfAnEarlierOne) {
    // A description simulated, then checked again with too many steps: the histories and
    // series of the earlier preparation go with it.
    Bench b(kTwoNeurons);
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    ASSERT_TRUE(b.record.activity.allocated());
    b.check = lexAndAccept(b.record, "neurons 2; simtime 0, 1000; timestep 0.0001; end");
    EXPECT_THROW(b.simulation.prepare(b.record, b.check), AxoliteError);
    EXPECT_EQ(b.record.steps, 0);
    EXPECT_FALSE(b.record.activity.allocated());
    EXPECT_FALSE(b.record.externalInput.allocated());
    EXPECT_TRUE(b.record.outputSeries[0].empty());
    EXPECT_EQ(b.record.networkPresent[0], 0);
    EXPECT_EQ(b.record.simulated, 0);
}

#if defined(__SANITIZE_ADDRESS__)
#define AXOLITE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define AXOLITE_ADDRESS_SANITIZER 1
#endif
#endif

// In a child process whose address space is limited to 1 GiB, 196 neurons over a million steps
// (3 GiB of histories) cannot be allocated: the preparation reports it and keeps no arrays.
TEST(Preparation, AFailedAllocationIsRefusedWithItsMessage) {
#ifdef AXOLITE_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto child = [] {
        Bench b("neurons 196; simtime 0, 1000000; timestep 1; end");
        const rlimit limit{1u << 30, 1u << 30};
        setrlimit(RLIMIT_AS, &limit);
        try {
            b.simulation.prepare(b.record, b.check);
        } catch (const AxoliteError& e) {
            const bool ok = e.message() == outOfMemoryMessage() && e.kind() == MessageKind::Error &&
                            !b.simulation.prepared() && b.record.steps == 0 &&
                            !b.record.activity.allocated() && b.record.outputSeries[0].empty();
            std::exit(ok ? 0 : 2);
        }
        std::exit(1);
    };
    EXPECT_EXIT(child(), testing::ExitedWithCode(0), "");
#endif
}

TEST(Run, TwoNeuronsFollowTheHandComputedValues) {
    Bench b(kTwoNeurons);
    b.record.inputLayerReady = 1;
    const auto result = b.run();
    ASSERT_EQ(result.outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.record.inputLayerReady, 0);
    EXPECT_EQ(b.activity(0, 0), 1.0);
    EXPECT_EQ(b.activity(1, 0), 0.0);
    EXPECT_EQ(b.activity(1, 1), 0.5);
    EXPECT_EQ(b.activity(0, 1), 0.0);
    EXPECT_EQ(b.activity(0, 2), 0.0);
    EXPECT_EQ(b.activity(1, 2), 0.0);
    EXPECT_EQ(b.record.simulated, 1);
    EXPECT_EQ(b.record.networkPresent, (std::array<std::uint8_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(b.record.outputSeries[0], (std::vector<double>{0, 0.5, 0, 0}));
    const auto& stats = b.record.stats(language::SeriesFamily::Network, 0);
    EXPECT_EQ(stats.minimum, 0.0);
    EXPECT_EQ(stats.maximum, 0.5);
    EXPECT_EQ(stats.range, 0.5);
}

TEST(Run, NotCorrectOrNotPreparedDoesNothing) {
    Bench b(kTwoNeurons);
    SilentProgress silent;
    b.record.inputLayerReady = 1;
    EXPECT_EQ(b.simulation.run(b.record, b.check, silent, b.folders).outcome,
              Simulation::Outcome::NotRun);
    EXPECT_EQ(b.record.inputLayerReady, 0);
    b.simulation.prepare(b.record, b.check);
    b.check.correct = false;
    EXPECT_EQ(b.simulation.run(b.record, b.check, silent, b.folders).outcome,
              Simulation::Outcome::NotRun);
    EXPECT_EQ(b.record.simulated, 0);
}

TEST(Run, ZeroStepsWritesNothingAndRaisesNoFlag) {
    Bench b(R"(neurons 2; simtime 0, 1; timestep 2; initstate { neuron 1, 1; }
outputlayer { neuron 2, weight 1; } networklayout { neuron 1, neuron 2, weight 0.5; } end)");
    EXPECT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.simulation.steps(), 0);
    EXPECT_TRUE(b.record.outputSeries[0].empty());
    EXPECT_EQ(b.record.networkPresent[0], 0);
    EXPECT_EQ(b.record.simulated, 0);
}

TEST(Run, WaitCountTwoHoldsTwoStepsThenComputesOnce) {
    // Neuron 1 doubles itself whenever it computes.
    Bench b(R"(neurons 1; simtime 0, 8; timestep 1; initstate { neuron 1, 1; }
suspend { neuron 1, 2; } outputlayer { neuron 1, weight 1; }
networklayout { neuron 1, neuron 1, weight 2; } end)");
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    const std::vector<double> expected{1, 1, 1, 2, 2, 2, 4, 4};
    EXPECT_EQ(b.record.outputSeries[0], expected);
}

TEST(Run, NegativeWaitCountsOtherThanMinusOneKeepTheInitialState) {
    Bench b(R"(neurons 2; simtime 0, 5; timestep 1; initstate { (neuron 1, neuron 2), 1; }
suspend { neuron 1, -1; neuron 2, -3; } outputlayer { neuron 1, weight 1; neuron 2, weight 1; }
networklayout { neuron 1, neuron 1, weight 2; neuron 2, neuron 2, weight 2; } end)");
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.record.outputSeries[0], (std::vector<double>{1, 2, 4, 8, 10}));
    EXPECT_EQ(b.record.outputSeries[1], (std::vector<double>{1, 1, 1, 1, 1}));
}

TEST(Run, OutputSeriesAreWeightedCopiesAndTheHistoryStaysUnscaled) {
    Bench b(R"(neurons 3; simtime 0, 3; timestep 1; initstate { neuron 3, 1.5; }
outputlayer { neuron 3, weight 2; } networklayout { neuron 3, neuron 3, weight 1; } end)");
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.record.outputSeries[0], (std::vector<double>{3, 3, 3}));
    EXPECT_EQ(b.activity(2, 2), 1.5);
    EXPECT_EQ(b.record.networkPresent, (std::array<std::uint8_t, 4>{1, 0, 0, 0}));

    // Two entries naming one neuron each get their own weight.
    Bench two(R"(neurons 1; simtime 0, 2; timestep 1; initstate { neuron 1, 1; }
outputlayer { neuron 1, weight 2; neuron 1, weight -3; } networklayout { neuron 1, neuron 1, weight 1; } end)");
    ASSERT_EQ(two.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(two.record.outputSeries[0], (std::vector<double>{2, 2}));
    EXPECT_EQ(two.record.outputSeries[1], (std::vector<double>{-3, -3}));
    EXPECT_EQ(two.record.stats(language::SeriesFamily::Network, 1).minimum, -3.0);
    EXPECT_EQ(two.record.stats(language::SeriesFamily::Network, 1).maximum, 0.0);
    EXPECT_EQ(two.record.stats(language::SeriesFamily::Network, 1).range, 3.0);
    EXPECT_EQ(two.record.networkPresent, (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
}

TEST(Run, ExternalInputReachesReceiversButNotItsOwnNeuron) {
    Bench b(R"(neurons 2; simtime 0, 3; timestep 1; inputlayer { neuron 1; }
outputlayer { neuron 2, weight 1; }
networklayout { neuron 1, neuron 2, weight 1; } end)");
    b.simulation.prepare(b.record, b.check);
    b.record.externalInput.at(0, 0) = 5.0;
    SilentProgress silent;
    ASSERT_EQ(b.simulation.run(b.record, b.check, silent, b.folders).outcome,
              Simulation::Outcome::Completed);
    EXPECT_EQ(b.activity(0, 1), 0.0);
    EXPECT_EQ(b.activity(1, 1), 5.0);
    EXPECT_EQ(b.activity(1, 2), 0.0);
}

TEST(Run, CancelAtFortyPercentStopsAfterThatStep) {
    Bench b(
        R"(neurons 1; simtime 0, 10; timestep 1; initstate { neuron 1, 1; } model { neuron 1, 1; }
outputlayer { neuron 1, weight 1; } networklayout { neuron 1, neuron 1, weight 2; } end)");
    writeModelFile(b.models / "1.neu", "Линейная",
                   {{"ID", "1"}, {"Y1", "100000"}, {"X1", "-1"}, {"Xt", "0"}});
    CancelAt progress(40);
    const auto result = b.run(progress);
    EXPECT_EQ(result.outcome, Simulation::Outcome::Cancelled);
    EXPECT_EQ(progress.last, 40);
    EXPECT_EQ(b.record.cancelRequested, 1);
    EXPECT_EQ(b.record.simulated, 0);
    EXPECT_EQ(b.activity(0, 4), 16.0);
    EXPECT_EQ(b.activity(0, 5), 0.0);
    // The run may be repeated after a cancel; the new progress lowers the old request.
    CancelAt never(101);
    EXPECT_EQ(b.simulation.run(b.record, b.check, never, b.folders).outcome,
              Simulation::Outcome::Completed);
    EXPECT_EQ(never.last, 90); // (S − 1) × 100 / S
    EXPECT_EQ(b.activity(0, 9), 512.0);
}

// An allocation that fails during the run (here in the caller's progress, at 0 % and in the
// middle) refuses the run with the memory message instead of escaping from it.
TEST(Run, AFailedAllocationDuringTheRunRefusesIt) {
    class FailingProgress : public Progress {
    public:
        explicit FailingProgress(int at) : at_(at) {}
        void setPercent(int p) override {
            if (p >= at_) {
                throw std::bad_alloc();
            }
        }

    private:
        int at_;
    };
    for (const int at : {0, 50}) {
        Bench b(kTwoNeurons);
        FailingProgress progress(at);
        Simulation::Result result;
        ASSERT_NO_THROW(result = b.run(progress)) << at;
        EXPECT_EQ(result.outcome, Simulation::Outcome::Refused) << at;
        EXPECT_EQ(result.message, outOfMemoryMessage()) << at;
        EXPECT_EQ(b.record.simulated, 0) << at;
        EXPECT_EQ(b.record.networkPresent, (std::array<std::uint8_t, 4>{})) << at;
    }
}

TEST(Counters, AccumulateOverRunsWithTheFixedIncrements) {
    Bench b(R"(neurons 2; simtime 0, 3; timestep 1; outputlayer { neuron 2, weight 1; }
networklayout { neuron 1, neuron 2, weight 0.5; } end)");
    b.record.counters = {100, 10, 1};
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.record.counters, (language::OperationCounters{108, 18, 1}));

    // Senders of code 1..100 add a multiplication and a division per term, 201..300 an
    // addition and a division; 101..200 nothing extra.
    Bench c(
        R"(neurons 3; simtime 0, 2; timestep 1; model { neuron 1, 7; neuron 2, 250; neuron 3, 150; }
outputlayer { neuron 2, weight 1; } networklayout { neuron 1, neuron 2, weight 0.5; } end)");
    writeModelFile(c.models / "7.neu", "Линейная",
                   {{"ID", "7"}, {"Y1", "1"}, {"X1", "-1"}, {"Xt", "0"}});
    writeModelFile(c.models / "150.neu", "Линейная",
                   {{"ID", "150"}, {"Y1", "1"}, {"X1", "-1"}, {"Xt", "0"}});
    writeModelFile(c.models / "250.neu", "Ступенчатая", {{"ID", "250"}, {"Y1", "1"}, {"X1", "-1"}});
    ASSERT_EQ(c.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(c.record.counters, (language::OperationCounters{9 + 3, 9 + 3, 6}));
}

TEST(Counters, TheExtraCountsFollowTheCodeRangesToTheirEnds) {
    // Codes 100 and 300 count extra; 101 and 301 do not. Two senders of each, N = 4, one step.
    Bench b(R"(neurons 4; simtime 0, 2; timestep 1;
model { neuron 1, 100; neuron 2, 101; neuron 3, 300; neuron 4, 301; }
outputlayer { neuron 1, weight 1; } networklayout { neuron 1, neuron 2, weight 0.5; } end)");
    writeModelFile(b.models / "100.neu", "Линейная",
                   {{"ID", "100"}, {"Y1", "1"}, {"X1", "-1"}, {"Xt", "0"}});
    writeModelFile(b.models / "101.neu", "Линейная",
                   {{"ID", "101"}, {"Y1", "1"}, {"X1", "-1"}, {"Xt", "0"}});
    writeModelFile(b.models / "300.neu", "Ступенчатая", {{"ID", "300"}, {"Y1", "1"}, {"X1", "-1"}});
    writeModelFile(b.models / "301.neu", "Ступенчатая", {{"ID", "301"}, {"Y1", "1"}, {"X1", "-1"}});
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.record.counters, (language::OperationCounters{16 + 4, 16 + 4, 8}));
}

TEST(Models, EveryNeuronReadsTheFileOfItsCode) {
    Bench b(R"(neurons 3; simtime 0, 2; timestep 1; initstate { (neuron 1, neuron 2, neuron 3), 1; }
model { neuron 1, 9; (neuron 2, neuron 3), 250; }
outputlayer { neuron 1, weight 1; neuron 2, weight 1; neuron 3, weight 1; }
networklayout { neuron 1, (neuron 1, neuron 2, neuron 3), weight 1, 1, -1; } end)");
    writeModelFile(b.models / "9.neu", "Линейная",
                   {{"ID", "9"}, {"Y1", "5"}, {"X1", "-5"}, {"Xt", "0.0001234"}});
    writeModelFile(b.models / "250.neu", "Ступенчатая", {{"ID", "250"}, {"Y1", "3"}, {"X1", "0"}});
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.simulation.codes(), (std::vector<std::int64_t>{9, 250, 250}));
    // Both neurons of code 250 carry the values of its file, read once.
    for (std::size_t j = 0; j < 3; ++j) {
        const std::int64_t code = b.simulation.codes()[j];
        EXPECT_EQ(b.simulation.models()[j], loadModel(modelFilePath(b.models.path(), code), code))
            << j;
    }
    EXPECT_EQ(b.activity(0, 1), 1.0 + 0.0001);
    EXPECT_EQ(b.activity(1, 1), 3.0);
    EXPECT_EQ(b.activity(2, 1), 0.0);
}

TEST(Models, CodesAndWaitCountsAreTruncatedTowardZero) {
    // 9.7 is code 9; −0.5 is code 0, the default model; a wait count of 1.9 holds one step.
    Bench b(R"(neurons 2; simtime 0, 4; timestep 1; initstate { (neuron 1, neuron 2), 1; }
model { neuron 1, 9.7; neuron 2, -0.5; } suspend { neuron 1, 1.9; }
outputlayer { neuron 1, weight 1; }
networklayout { neuron 1, neuron 1, weight 2; neuron 2, neuron 2, weight 1; } end)");
    writeModelFile(b.models / "9.neu", "Линейная",
                   {{"ID", "9"}, {"Y1", "100"}, {"X1", "-5"}, {"Xt", "0"}});
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.simulation.codes(), (std::vector<std::int64_t>{9, 0}));
    EXPECT_EQ(b.record.outputSeries[0], (std::vector<double>{1, 1, 2, 2}));
}

TEST(Models, AMissingModelRefusesTheRunWithTheLowerCasedPath) {
    Bench b(R"(neurons 2; simtime 0, 2; timestep 1; model { neuron 2, 42; }
outputlayer { neuron 2, weight 1; } networklayout { neuron 1, neuron 2, weight 0.5; } end)");
    b.folders.models = (b.models / "Sub").string();
    std::filesystem::create_directory(b.models / "Sub");
    writeDefaultModel(b.models / "Sub");
    b.record.inputLayerReady = 1;
    const auto result = b.run();
    EXPECT_EQ(result.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->kind, MessageKind::Error);
    EXPECT_EQ(result.message->text,
              "Файл " + platform::lowerCase((b.models / "Sub" / "42.neu").string()) +
                  " не существует или поврежден.");
    EXPECT_EQ(b.record.inputLayerReady, 0);
    EXPECT_EQ(b.record.simulated, 0);
}

// A file under a model's name too large to hold (here 8 GiB, sparse, in a process limited to
// 1 GiB of address space) is a file that cannot be read: the run is refused with the model-file
// message instead of the program ending.
TEST(Models, AModelFileTooLargeToHoldRefusesTheRun) {
#ifdef AXOLITE_ADDRESS_SANITIZER
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto child = [] {
        Bench b(kTwoNeurons);
        std::filesystem::resize_file(b.models / "0.neu", std::uintmax_t{8} << 30);
        const rlimit limit{1u << 30, 1u << 30};
        setrlimit(RLIMIT_AS, &limit);
        const auto result = b.run();
        const bool ok =
            result.outcome == Simulation::Outcome::Refused && result.message &&
            result.message->text.find("0.neu не существует или поврежден.") != std::string::npos;
        std::exit(ok ? 0 : 2);
    };
    EXPECT_EXIT(child(), testing::ExitedWithCode(0), "");
#endif
}

TEST(Models, CodesOutsideTheRangesRefuseTheRun) {
    for (const char* code : {"801", "-5", "1e300"}) {
        Bench b(std::string("neurons 1; simtime 0, 2; timestep 1; model { neuron 1, ") + code +
                "; }\noutputlayer { neuron 1, weight 1; } networklayout { neuron 1, neuron 1, "
                "weight 1; } end");
        const auto result = b.run();
        EXPECT_EQ(result.outcome, Simulation::Outcome::Refused) << code;
        ASSERT_TRUE(result.message);
        EXPECT_NE(result.message->text.find("не существует или поврежден."), std::string::npos);
    }
}

TEST(Structure, NeuronNumbersOutsideTheNetworkRefuseTheRun) {
    // Possible after the NEURONS-first box or a later, smaller NEURONS.
    for (const char* layout : {"neuron 1, neuron 3, weight 1;", "neuron 3, neuron 1, weight 1;",
                               "neuron 0.5, neuron 1, weight 1;"}) {
        Bench b(
            std::string("neurons 2; simtime 0, 2; timestep 1; outputlayer { neuron 1, weight 1; }\n"
                        "networklayout {\n") +
            layout + "\n} end");
        const auto result = b.run();
        EXPECT_EQ(result.outcome, Simulation::Outcome::Refused) << layout;
        ASSERT_TRUE(result.message);
        EXPECT_NE(result.message->text.find("в строке 3 лежит вне диапазона от 1 до 2"),
                  std::string::npos)
            << result.message->text;
    }
    for (const char* statement :
         {"initstate { neuron 5, 1; }", "suspend { (neuron 1, neuron 9), 1; }",
          "model { neuron 3, 1; }", "outputlayer { neuron 4, weight 1; }"}) {
        Bench b(std::string(
                    "neurons 2; simtime 0, 2; timestep 1; outputlayer { neuron 1, weight 1; }\n") +
                statement + " networklayout { neuron 1, neuron 2, weight 1; } end");
        EXPECT_EQ(b.run().outcome, Simulation::Outcome::Refused) << statement;
    }
}

TEST(Structure, EachEntryNeedsAWeightPerReceiver) {
    // The totals of the statement agree (three and three); the entries do not.
    Bench b(R"(neurons 2; simtime 0, 2; timestep 1; outputlayer { neuron 1, weight 1; }
networklayout {
neuron 1, (neuron 1, neuron 2), weight 1;
neuron 2, neuron 1, weight 1, 2;
} end)");
    const auto result = b.run();
    EXPECT_EQ(result.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, weightsDoNotMatchText(3));
}

TEST(Structure, RepeatedPairsBeyondNTimesNOverrideEarlierOnes) {
    std::string layout;
    for (int i = 0; i < 20; ++i) {
        layout += "neuron 1, (neuron 1, neuron 1), weight 3, 0.5;\n";
    }
    Bench b("neurons 1; simtime 0, 3; timestep 1; initstate { neuron 1, 1; }\n"
            "outputlayer { neuron 1, weight 1; }\nnetworklayout {\n" +
            layout + "} end");
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.record.outputSeries[0], (std::vector<double>{1, 0.5, 0.25}));
}

TEST(Structure, EveryOccurrenceOfAStatementCounts) {
    Bench b(
        R"(neurons 2; simtime 0, 2; timestep 1; initstate { neuron 1, 1; } initstate { neuron 2, 2; }
outputlayer { neuron 1, weight 1; } outputlayer { neuron 2, weight 1; }
networklayout { neuron 1, neuron 1, weight 1; } networklayout { neuron 2, neuron 2, weight 3; } end)");
    ASSERT_EQ(b.run().outcome, Simulation::Outcome::Completed);
    EXPECT_EQ(b.activity(0, 1), 1.0);
    EXPECT_EQ(b.activity(1, 1), 6.0);
    // The outputs are those of the last OUTPUTLAYER, whose neurons the check stored.
    EXPECT_EQ(b.record.outputSeries[0], (std::vector<double>{2, 6}));
    EXPECT_EQ(b.record.networkPresent[1], 0);
}

TEST(Structure, AStatementCutShortRefusesInsteadOfReadingPastTheStream) {
    Bench b("neurons 2; simtime 0, 2; timestep 1; outputlayer { neuron 1, weight 1; }\n"
            "networklayout { neuron 1, (neuron 1, neuron 2), weight 1, ");
    const auto result = b.run();
    EXPECT_EQ(result.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, "Нераспознаваемая ошибка описания нейронной сети.");
}

TEST(Structure, AKeywordOrMarkWhereANumberBelongsRefusesTheRun) {
    // The check takes any token as a number: "weight ;;" passes it with ";" as the weight.
    Bench b("neurons 2; simtime 0, 2; timestep 1; outputlayer { neuron 1, weight 1; }\n"
            "networklayout {\nneuron 1, neuron 2, weight ;;\n} end");
    const auto result = b.run();
    EXPECT_EQ(result.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, notANumberText(3));

    // A number beyond the range of a double passes the check as well; the refusal names it.
    Bench large("neurons 2; simtime 0, 2; timestep 1; outputlayer { neuron 1, weight 1; }\n"
                "networklayout {\nneuron 1, neuron 2, weight -1e999;\n} end");
    const auto refused = large.run();
    EXPECT_EQ(refused.outcome, Simulation::Outcome::Refused);
    ASSERT_TRUE(refused.message);
    EXPECT_EQ(refused.message->text, "В строке 3 слишком большое или слишком малое числовое "
                                     "выражение. Моделирование невозможно.");
}
