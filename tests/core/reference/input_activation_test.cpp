// The input-layer activation and the three pattern files.
#include "core/reference/input_activation.h"
#include "core/reference/pattern_writers.h"

#include "record_builder.h"
#include "test_support.h"

#include "core/common/message.h"
#include "core/training/pattern_file.h"

#include <gtest/gtest.h>

namespace axolite::reference {
namespace {

using test::CancelAfter;
using test::gridRecord;

// Neurons 3 and 5 of six form the input layer (list entries 0 and 1); the grid has 4 steps.
language::NetworkRecord inputRecord() {
    auto record = gridRecord(1.0, 2.0, 0.25, 1);
    record.neurons = 6;
    record.inputLayer = std::vector<double>{3, 5, 0, 0, 0, 0};
    record.externalInput.allocate(6, 4);
    return record;
}

TEST(InputActivation, FunctionsFillTheirNeuronsOnTheGrid) {
    auto record = inputRecord();
    record.counters = {1, 2, 3};
    SilentProgress progress;
    EXPECT_EQ(computeInputActivation(record, {"1", "x"}, progress), ComputationOutcome::Completed);
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(record.externalInput.at(2, t), 1.0);
        EXPECT_EQ(record.externalInput.at(4, t), 1.0 + t * 0.25);
        EXPECT_EQ(record.externalInput.at(0, t), 0.0);
    }
    EXPECT_EQ(record.counters, language::OperationCounters{});
    EXPECT_EQ(inputActivationPatternValues(record),
              (std::vector<double>{1, 1, 1, 1.25, 1, 1.5, 1, 1.75}));
    EXPECT_EQ(inputActivationPatternWidth(record), 2);
}

TEST(InputActivation, ANeuronWithoutAFunctionGetsZero) {
    auto record = inputRecord();
    record.externalInput.at(4, 2) = 7.0;
    SilentProgress progress;
    computeInputActivation(record, {"exp(0)"}, progress);
    EXPECT_EQ(record.externalInput.at(2, 3), 1.0);
    EXPECT_EQ(record.externalInput.at(4, 2), 0.0);
}

TEST(InputActivation, AWrongFunctionNamesItsNeuron) {
    auto record = inputRecord();
    (*record.inputLayer)[1] = 12;
    record.externalInput.allocate(12, 4);
    SilentProgress progress;
    for (const char* wrong : {"", "sqrt(x)", "2x"}) {
        try {
            computeInputActivation(record, {"x", wrong}, progress);
            FAIL() << wrong;
        } catch (const AxoliteError& e) {
            EXPECT_EQ(e.kind(), MessageKind::Information);
            EXPECT_EQ(e.text(), "Функция активации для нейрона  12  введена неверно");
        }
    }
    EXPECT_EQ(record.externalInput.at(2, 0), 0.0); // nothing stored
}

TEST(InputActivation, NeuronNumbersBeyondTheHistoriesAreRefused) {
    auto record = inputRecord();
    (*record.inputLayer)[1] = 7; // more than the six neurons prepared
    SilentProgress progress;
    try {
        computeInputActivation(record, {"x", "x"}, progress);
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.text(), "Нейрон 7 входного слоя отсутствует в сети.");
    }
    EXPECT_THROW(inputActivationPatternValues(record), AxoliteError);
}

TEST(InputActivation, NeverWritesPastAShorterHistory) {
    auto record = inputRecord();
    record.t1 = 100.0; // the grid outgrew the prepared history
    SilentProgress progress;
    computeInputActivation(record, {"x", "x"}, progress);
    EXPECT_EQ(record.externalInput.at(4, 3), 1.75);
    EXPECT_EQ(inputActivationPatternValues(record).size(), 8u);

    language::NetworkRecord unprepared = gridRecord(0.0, 1.0, 0.1, 1);
    EXPECT_EQ(computeInputActivation(unprepared, {}, progress), ComputationOutcome::Completed);
    EXPECT_TRUE(inputActivationPatternValues(unprepared).empty());
}

TEST(InputActivation, CancelIsHonouredAfterAnEntry) {
    auto record = inputRecord();
    CancelAfter progress(7); // step 0: six entries; step 1: the first entry, then stop
    EXPECT_EQ(computeInputActivation(record, {"1", "2"}, progress), ComputationOutcome::Cancelled);
    EXPECT_EQ(record.externalInput.at(2, 1), 1.0);
    EXPECT_EQ(record.externalInput.at(4, 1), 0.0);
    EXPECT_EQ(record.cancelRequested, 1);
    EXPECT_EQ(progress.percents, std::vector<int>{0});
}

TEST(InputActivation, PercentagesFollowTheSteps) {
    auto record = inputRecord(); // R = 4
    CancelAfter progress(1 << 30);
    EXPECT_EQ(computeInputActivation(record, {"x", "1"}, progress), ComputationOutcome::Completed);
    EXPECT_EQ(progress.percents, (std::vector<int>{0, 25, 50, 75}));
}

TEST(PatternWriters, ReferenceSeriesArePatternsOfTheFlaggedComponents) {
    auto record = gridRecord(0.0, 1.0, 0.25, 4); // S = 4
    record.exactSeries = {std::vector<double>{1, 2, 3, 4}, std::vector<double>{5, 6, 7, 8},
                          std::vector<double>(4, 9.0), std::vector<double>{}};
    record.exactPresent = {1, 0, 1, 0};
    EXPECT_EQ(exactPatternValues(record), (std::vector<double>{1, 9, 2, 9, 3, 9, 4, 9}));
    EXPECT_EQ(exactPatternWidth(record), 2);
    // The Runge-Kutta point S is not written.
    record.rungeKuttaSeries = {std::vector<double>{}, std::vector<double>{0, 1, 2, 3, 4},
                               std::vector<double>{}, std::vector<double>{}};
    record.rungeKuttaPresent = {0, 1, 0, 0};
    EXPECT_EQ(rungeKuttaPatternValues(record), (std::vector<double>{0, 1, 2, 3}));
    // A series shorter than the grid (a cancelled run, an edited interval) is never read past.
    record.t1 = 3.0;
    EXPECT_EQ(rungeKuttaPatternValues(record).size(), 5u);
    EXPECT_EQ(exactPatternValues(record).size(), 8u);
}

TEST(PatternWriters, FilesRoundTripThroughTheTrainingReader) {
    axolite::test::TempDir dir;
    auto record = gridRecord(0.0, 1.0, 0.25, 2);
    record.exactSeries = {
        std::vector<double>{0.5, 1.5, 2.5, 3.5}, std::vector<double>{-1, -2, -3, 1e-5}, {}, {}};
    record.exactPresent = {1, 1, 0, 0};
    const std::string path = (dir / "exact.ptn").string();
    writeExactPatterns(record, path);
    EXPECT_EQ(axolite::test::readFile(path), "0.5 -1 1.5 -2 2.5 -3 3.5 1e-05 ");
    const auto read = training::readPatternFile(path, 4, 2, training::PatternRole::Target);
    EXPECT_FALSE(read.warning.has_value());
    EXPECT_EQ(read.table.at(3, 0), 3.5f);
    EXPECT_EQ(read.table.at(3, 1), 1e-5f);
    EXPECT_EQ(read.table.at(1, 1), -2.0f);

    try {
        writeExactPatterns(record, (dir / "missing" / "x.ptn").string());
        FAIL();
    } catch (const AxoliteError& e) {
        EXPECT_EQ(e.text(), "Невозможно создать файл " + (dir / "missing" / "x.ptn").string());
    }
}

} // namespace
} // namespace axolite::reference
