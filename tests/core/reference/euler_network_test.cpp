// The Euler network of a linear system: the written description checks without error, and its
// simulation equals the loop y(i) = W·y(i−1) in the network's order bit for bit and the textbook
// Euler loop within rounding; the model file is written once and an existing one never replaced.
#include "core/reference/euler_network.h"

#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/simulation/simulation.h"
#include "core/simulation/step_kernel.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

namespace axolite::reference {
namespace {

using test::TempDir;

LinearSystem randomSystem(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-2.0, 2.0);
    LinearSystem s;
    for (auto& row : s.rows) {
        for (double& c : row) {
            c = value(random);
        }
    }
    for (double& y : s.initial) {
        y = value(random);
    }
    s.rows[1][2] = 0.0; // a zero coefficient: a connection the description leaves out
    s.initial[2] = 0.0; // a zero initial value: left to the default
    return s;
}

struct WrittenRun {
    language::NetworkRecord record;
    language::CheckResult check;
    simulation::Simulation simulation;
};

// Writes the network into a folder, reads it back as the check command does, and simulates it.
void writeAndRun(const LinearSystem& s, int outputs, const EulerGrid& grid, const TempDir& dir,
                 WrittenRun& run) {
    writeEulerNetwork(s, outputs, grid, dir / "system.net", dir.path());
    const auto text = language::readDescriptionFile(dir / "system.net");
    ASSERT_TRUE(text);
    ASSERT_FALSE(language::lexDescription(*text, run.record));
    run.check = language::checkDescription(run.record);
    ASSERT_TRUE(run.check.correct);
    ASSERT_EQ(run.check.errors(), 0);
    run.simulation.prepare(run.record, run.check);
    platform::FolderSettings folders;
    folders.models = dir.path().string();
    folders.set = true;
    SilentProgress silent;
    ASSERT_EQ(run.simulation.run(run.record, run.check, silent, folders).outcome,
              simulation::Simulation::Outcome::Completed);
}

TEST(EulerNetwork, TheSimulationIsTheMatrixLoopBitForBitAndEulerWithinRounding) {
    const LinearSystem s = randomSystem(3);
    const EulerGrid grid{0.5, 2.5, 0.01};
    TempDir dir;
    WrittenRun run;
    writeAndRun(s, 4, grid, dir, run);
    ASSERT_EQ(run.record.steps, 200);
    ASSERT_EQ(run.check.outputCount, 4);

    // y(i) = W·y(i−1): each row summed over the senders in index order from 0.0.
    const std::vector<double> w = eulerWeights(s, 4, grid.h);
    std::vector<double> y{s.initial[0], s.initial[1], s.initial[2], s.initial[3], 1.0};
    std::vector<double> next(5);
    // Euler as written in a textbook: y + h·(A·y + e).
    std::array<double, 4> euler{s.initial[0], s.initial[1], s.initial[2], s.initial[3]};
    for (std::int32_t i = 0; i < run.record.steps; ++i) {
        for (int k = 0; k < 4; ++k) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(run.record.outputSeries[k][i]),
                      std::bit_cast<std::uint64_t>(y[k]))
                << "step " << i << " y" << k + 1;
            ASSERT_NEAR(y[k], euler[k], 1e-12 * (1.0 + std::fabs(euler[k])));
        }
        ASSERT_EQ(run.record.activity.at(4, i), 1.0); // the constant neuron
        simulation::plainNetInputs(5, w.data(), y.data(), next.data());
        y = next;
        std::array<double, 4> slope{};
        for (int j = 0; j < 4; ++j) {
            slope[j] = s.rows[j][4];
            for (int k = 0; k < 4; ++k) {
                slope[j] += s.rows[j][k] * euler[k];
            }
        }
        for (int j = 0; j < 4; ++j) {
            euler[j] += grid.h * slope[j];
        }
    }
}

TEST(EulerNetwork, AnExistingModelFileIsKeptAndTheNextCodeIsWritten) {
    TempDir dir;
    test::writeFile(dir / "1.neu", "[Линейная]\r\nID=1\r\nY1=1\r\nX1=-10\r\nXt=0.05\r\n");
    LinearSystem s;
    s.rows[0] = {-1, 0, 0, 0, 0};
    s.initial[0] = 1;
    writeEulerNetwork(s, 1, EulerGrid{0, 1, 0.1}, dir / "decay.net", dir.path());
    EXPECT_EQ(test::readFile(dir / "1.neu"), "[Линейная]\r\nID=1\r\nY1=1\r\nX1=-10\r\nXt=0.05\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "2.neu"));
    EXPECT_NE(test::readFile(dir / "decay.net").find("(neuron 1, neuron 2), 2;"),
              std::string::npos);
    // Written again: the same model file is used again, nothing else appears.
    writeEulerNetwork(s, 1, EulerGrid{0, 1, 0.1}, dir / "decay.net", dir.path());
    EXPECT_FALSE(std::filesystem::exists(dir / "3.neu"));
}

TEST(EulerNetwork, WhatTheNetworkCannotHoldIsRefused) {
    LinearSystem s;
    s.rows[0] = {0, 1, 0, 0, 0}; // y1' = y2
    EXPECT_THROW(validateEulerNetwork(s, 1, EulerGrid{0, 1, 0.1}), AxoliteError);
    EXPECT_NO_THROW(validateEulerNetwork(s, 2, EulerGrid{0, 1, 0.1}));
    EXPECT_THROW(validateEulerNetwork(s, 2, EulerGrid{1, 1, 0.1}), AxoliteError);
    EXPECT_THROW(validateEulerNetwork(s, 2, EulerGrid{0, 1, 0.0}), AxoliteError);
    EXPECT_THROW(validateEulerNetwork(s, 5, EulerGrid{0, 1, 0.1}), AxoliteError);
    s.rows[0][1] = 1e308;
    EXPECT_THROW(validateEulerNetwork(s, 2, EulerGrid{0, 1, 1e10}), AxoliteError); // h·a = inf
}

} // namespace
} // namespace axolite::reference
