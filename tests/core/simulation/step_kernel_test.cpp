// The vectorised kernel and the whole run against the plain loops they replace, bit for bit.
#include "core/simulation/simulation.h"
#include "core/simulation/step_kernel.h"

#include "simulation_fixture.h"
#include "test_support.h"

#include <bit>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

using namespace axolite;
using namespace axolite::simulation;

namespace {

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

std::vector<KernelVariant> runnableVariants() {
    std::vector<KernelVariant> variants{KernelVariant::Plain};
    if (static_cast<int>(bestKernelVariant()) >= static_cast<int>(KernelVariant::Avx2)) {
        variants.push_back(KernelVariant::Avx2);
    }
    if (bestKernelVariant() == KernelVariant::Avx512) {
        variants.push_back(KernelVariant::Avx512);
    }
    return variants;
}

} // namespace

TEST(StepKernel, EveryVariantEqualsThePlainLoopBitForBit) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> value(-3.0, 3.0);
    for (const int n : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 50, 63, 64, 65, 127, 196}) {
        std::vector<double> weights(static_cast<std::size_t>(n) * n);
        for (double& w : weights) {
            // Sparse, with magnitudes far apart so the order of the sums shows in the bits.
            w = random() % 3 == 0
                    ? 0.0
                    : value(random) * std::ldexp(1.0, static_cast<int>(random() % 40) - 20);
        }
        std::vector<double> x(static_cast<std::size_t>(n));
        for (double& v : x) {
            v = value(random) * std::ldexp(1.0, static_cast<int>(random() % 30) - 15);
        }
        std::vector<double> expected(static_cast<std::size_t>(n));
        plainNetInputs(n, weights.data(), x.data(), expected.data());
        for (const KernelVariant variant : runnableVariants()) {
            StepKernel kernel;
            kernel.configure(n, weights, variant);
            ASSERT_EQ(kernel.variant(), variant);
            std::vector<double> net(static_cast<std::size_t>(n), -1.0);
            kernel.netInputs(x.data(), net.data());
            for (int j = 0; j < n; ++j) {
                ASSERT_EQ(bits(net[j]), bits(expected[j]))
                    << "N=" << n << " j=" << j << " " << kernelVariantName(variant);
            }
        }
    }
}

TEST(StepKernel, NoNeuronsNothingWritten) {
    StepKernel kernel;
    kernel.configure(0, {});
    double sentinel = 42.0;
    kernel.netInputs(nullptr, &sentinel);
    EXPECT_EQ(sentinel, 42.0);
}

// A random network with all four kinds and wait counts, run by the engine and by the plain
// algorithm written out here: every activity agrees bit for bit.
TEST(StepKernel, WholeRunsEqualThePlainAlgorithm) {
    test::TempDir models;
    test::writeModelFile(models / "0.neu", "Линейная",
                         {{"ID", "0"}, {"Y1", "2"}, {"X1", "-3"}, {"Xt", "0.1"}});
    test::writeModelFile(models / "50.neu", "Линейная",
                         {{"ID", "50"}, {"Y1", "1.5"}, {"X1", "-1"}, {"Xt", "-0.2"}});
    test::writeModelFile(models / "250.neu", "Ступенчатая",
                         {{"ID", "250"}, {"Y1", "0.7"}, {"X1", "0.1"}});
    test::writeModelFile(models / "450.neu", "Сигмовидная",
                         {{"ID", "450"}, {"Y1", "1.2"}, {"X1", "-5"}, {"Xt", "0.3"}});
    test::writeModelFile(models / "650.neu", "Гауссова",
                         {{"ID", "650"}, {"Y1", "0.05"}, {"X1", "-0.5"}, {"Xt", "-0.4"}});
    const int codes[] = {0, 50, 250, 450, 650};
    const int waits[] = {-1, 1, 2, 3, -2};
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> value(-1.0, 1.0);

    for (const int n : {3, 17, 64, 196}) {
        const int steps = 40;
        std::string text = "neurons " + std::to_string(n) + ";\nsimtime 0, " +
                           std::to_string(steps) +
                           ";\ntimestep 1;\noutputlayer {\nneuron 1, weight 1;\n}\n";
        std::vector<double> w(static_cast<std::size_t>(n) * n, 0.0);
        std::vector<double> initial(static_cast<std::size_t>(n), 0.0);
        std::vector<int> code(static_cast<std::size_t>(n)), wait(static_cast<std::size_t>(n));
        char number[64];
        text += "initstate {\n";
        for (int j = 0; j < n; ++j) {
            initial[j] = value(random);
            std::snprintf(number, sizeof number, "%.17g", initial[j]);
            text += "neuron " + std::to_string(j + 1) + ", " + number + ";\n";
        }
        text += "}\nmodel {\n";
        for (int j = 0; j < n; ++j) {
            code[j] = codes[random() % 5];
            if (code[j] != 0) {
                text += "neuron " + std::to_string(j + 1) + ", " + std::to_string(code[j]) + ";\n";
            }
        }
        text += "}\nsuspend {\n";
        for (int j = 0; j < n; ++j) {
            wait[j] = random() % 2 == 0 ? 0 : waits[random() % 5];
            if (wait[j] != 0) {
                text += "neuron " + std::to_string(j + 1) + ", " + std::to_string(wait[j]) + ";\n";
            }
        }
        text += "}\nnetworklayout {\n";
        for (int k = 0; k < n; ++k) {
            for (int j = 0; j < n; ++j) {
                if (random() % 4 != 0) {
                    continue;
                }
                const double weight = value(random) * 0.5;
                w[static_cast<std::size_t>(j) * n + k] = weight;
                std::snprintf(number, sizeof number, "%.17g", weight);
                text += "neuron " + std::to_string(k + 1) + ", neuron " + std::to_string(j + 1) +
                        ", weight " + number + ";\n";
            }
        }
        text += "}\nend\n";

        language::NetworkRecord record;
        const language::CheckResult check = test::lexAndAccept(record, text);
        Simulation simulation;
        simulation.prepare(record, check);
        platform::FolderSettings folders{models.path().string(), "", "", true};
        SilentProgress silent;
        ASSERT_EQ(simulation.run(record, check, silent, folders).outcome,
                  Simulation::Outcome::Completed);

        // The plain algorithm.
        std::vector<ModelParameters> params(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            params[j] = *loadModel(modelFilePath(models.path(), code[j]), code[j]);
        }
        std::vector<std::vector<double>> h(steps, std::vector<double>(static_cast<std::size_t>(n)));
        h[0] = initial;
        std::vector<long> counter(wait.begin(), wait.end());
        for (int i = 1; i < steps; ++i) {
            for (int j = 0; j < n; ++j) {
                double net = 0.0;
                for (int k = 0; k < n; ++k) {
                    net += (0.0 + h[i - 1][k]) * w[static_cast<std::size_t>(j) * n + k];
                }
                if (counter[j] != 0 && counter[j] != -1) {
                    h[i][j] = h[i - 1][j];
                    --counter[j];
                } else {
                    h[i][j] = transfer(evaluationKindOfCode(code[j]), params[j], net);
                    counter[j] = wait[j];
                }
            }
        }
        for (int i = 0; i < steps; ++i) {
            for (int j = 0; j < n; ++j) {
                ASSERT_EQ(bits(record.activity.at(j, i)), bits(h[i][j]))
                    << "N=" << n << " step " << i << " neuron " << j;
            }
        }
    }
}
