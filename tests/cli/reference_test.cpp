// axolite-cli run with the reference options: input activation, exact values, Runge-Kutta
// solution, their pattern files, the error estimates and the stage counters.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using axolite::test::CliRun;
using axolite::test::quoted;
using axolite::test::runCli;

std::string example(const std::string& name) {
    std::string arguments = "'";
    arguments += axolite::test::examplePath(name).string();
    arguments += "' --models '";
    arguments += axolite::test::examplePath("models").string();
    arguments += "'";
    return arguments;
}

// two_neurons.net: S = 4 steps of 0.25, one output (neuron 2).
TEST(ReferenceOptions, JsonReportsFlagsEstimatesAndTheCountersOfEveryStage) {
    const CliRun run = runCli("run " + example("two_neurons.net") +
                              " --exact 1=x --exact 3=x --rk '0 0 0 0 1' --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["exact_present"], nlohmann::json({true, false, false, false}));
    EXPECT_EQ(json["rk_present"], nlohmann::json({true, false, false, false}));
    // y1' = 1 from 0 is x itself: the Runge-Kutta estimate is (close to) 0.
    EXPECT_LT(json["rk_error"].get<double>(), 1e-12);
    EXPECT_TRUE(json["network_error"].is_number());
    EXPECT_EQ(json["exact_stats"][0]["max"].get<double>(), 0.75);
    EXPECT_TRUE(json["exact_stats"][1].is_null());
    const auto& stages = json["stage_counters"];
    ASSERT_EQ(stages.size(), 3u);
    EXPECT_EQ(stages[0]["stage"], "simulation");
    EXPECT_GT(stages[0]["additions"].get<long long>(), 0);
    EXPECT_EQ(stages[1]["stage"], "exact");
    EXPECT_EQ(stages[1]["additions"].get<long long>(), 0); // the exact values reset the counters
    EXPECT_EQ(stages[2]["stage"], "rk");
    // 4 points cost 1 + 2 + 3 + 4 = 10 steps of one output: 26, 23, 8 each.
    EXPECT_EQ(stages[2]["additions"].get<long long>(), 260);
    EXPECT_EQ(stages[2]["multiplications"].get<long long>(), 230);
    EXPECT_EQ(stages[2]["divisions"].get<long long>(), 80);
}

TEST(ReferenceOptions, TheSimulationAddsTheActivationsToTheInputNeuron) {
    const CliRun plain = runCli("run " + example("ring.net") + " --json");
    const CliRun driven = runCli("run " + example("ring.net") + " --activate 1=1 --json");
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(driven.status, 0);
    const auto before = nlohmann::json::parse(plain.out);
    const auto after = nlohmann::json::parse(driven.out);
    // y2 watches neuron 3, two links down the ring from the input neuron 1: a constant input of 1
    // raises what reaches it.
    EXPECT_GT(after["stats"][1]["max"].get<double>(), before["stats"][1]["max"].get<double>());
    EXPECT_EQ(after["stage_counters"][0]["stage"], "activation");
    EXPECT_FALSE(before.contains("stage_counters"));
}

// The rows as the numeric view shows them: a number, "Недоступна" (Runge-Kutta series without
// exact values), or a disabled row, printed as its label alone and null in JSON.
TEST(ReferenceOptions, TextShowsTheEstimatesOrTheirAbsence) {
    const CliRun withExact = runCli("run " + example("two_neurons.net") + " --exact '1=0.5*x'");
    EXPECT_EQ(withExact.status, 0);
    EXPECT_NE(withExact.out.find("Работы нейроннной сети : 3.7500000000E-01\n"), std::string::npos)
        << withExact.out;
    EXPECT_NE(withExact.out.find("\nВычислений методом Рунге-Кутта : \n"), std::string::npos)
        << withExact.out;
    const CliRun exactJson =
        runCli("run " + example("two_neurons.net") + " --exact '1=0.5*x' --json");
    EXPECT_TRUE(nlohmann::json::parse(exactJson.out)["rk_error"].is_null());

    const CliRun rkOnly = runCli("run " + example("two_neurons.net") + " --rk '1 0 0 0 0'");
    EXPECT_EQ(rkOnly.status, 0);
    EXPECT_NE(rkOnly.out.find("\nРаботы нейроннной сети : \n"), std::string::npos) << rkOnly.out;
    EXPECT_NE(rkOnly.out.find("Вычислений методом Рунге-Кутта :        Недоступна\n"),
              std::string::npos);

    const CliRun plain = runCli("run " + example("two_neurons.net"));
    EXPECT_EQ(plain.out.find("Недоступна"), std::string::npos);
}

TEST(ReferenceOptions, FormulaErrorsStopWithTheirMessage) {
    const CliRun exact = runCli("run " + example("two_neurons.net") + " --exact 1=2x");
    EXPECT_EQ(exact.status, 1);
    EXPECT_NE(exact.out.find("Функциональная зависимость y1 введена неверно."), std::string::npos);

    const CliRun activation = runCli("run " + example("ring.net") + " --activate '1=sqrt(x)'");
    EXPECT_EQ(activation.status, 1);
    EXPECT_NE(activation.out.find("Функция активации для нейрона   1  введена неверно"),
              std::string::npos);
    EXPECT_EQ(activation.out.find("Шагов"), std::string::npos); // no simulation was run
}

TEST(ReferenceOptions, UnreadableOptionsAreUsageErrors) {
    EXPECT_EQ(runCli("run " + example("two_neurons.net") + " --exact 5=x").status, 2);
    EXPECT_EQ(runCli("run " + example("two_neurons.net") + " --exact x").status, 2);
    EXPECT_EQ(runCli("run " + example("two_neurons.net") + " --rk '1;2;3;4;5'").status, 2);
    EXPECT_EQ(runCli("run " + example("two_neurons.net") + " --rk-init '1 2 3 4 5'").status, 2);
    EXPECT_EQ(runCli("run " + example("ring.net") + " --activate 3=x").status, 2);
}

TEST(ReferenceOptions, PatternFilesAndCsvColumns) {
    axolite::test::TempDir dir;
    const std::string inputs = (dir / "inputs.ptn").string();
    const std::string exact = (dir / "exact.ptn").string();
    const std::string rk = (dir / "rk.ptn").string();
    const std::string csv = (dir / "out.csv").string();
    const CliRun run =
        runCli("run " + example("two_neurons.net") + " --exact '1=x' --ptn-exact '" + exact +
               "' --rk '0 0 0 0 1' --rk-init 2 --ptn-rk '" + rk + "' --csv '" + csv + "'");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(axolite::test::readFile(exact), "0 0.25 0.5 0.75 ");
    EXPECT_EQ(axolite::test::readFile(rk), "2 2.25 2.5 2.75 "); // point S = 1.0 is not written
    const std::string table = axolite::test::readFile(csv);
    EXPECT_EQ(table.substr(0, table.find('\n')), "i,x,y1,rk1,exact1");
    EXPECT_NE(table.find("\n3,0.75,"), std::string::npos);

    // ring.net: neuron 1 is the input layer, 2000 steps.
    const CliRun activated =
        runCli("run " + example("ring.net") + " --activate 1=1 --ptn-inputs '" + inputs + "'");
    ASSERT_EQ(activated.status, 0) << activated.out;
    std::string ones;
    for (int t = 0; t < 2000; ++t) {
        ones += "1 ";
    }
    EXPECT_EQ(axolite::test::readFile(inputs), ones);

    const CliRun unwritable =
        runCli("run " + example("two_neurons.net") + " --exact 1=x --ptn-exact '" +
               (dir / "no" / "x.ptn").string() + "'");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.out.find("Невозможно создать файл "), std::string::npos);

    // A full disk: the failed write is named, and the file written before stays whole.
    for (const char* option : {"--ptn-inputs", "--ptn-exact", "--ptn-rk"}) {
        axolite::test::FileSizeLimit limit(1000); // 2000 values take more
        const CliRun full = runCli("run " + example("ring.net") + " --activate 1=1 --exact 1=x" +
                                   " --rk '0 0 0 0 1' " + option + " '" + inputs + "'");
        EXPECT_EQ(full.status, 1) << option;
        EXPECT_NE(full.out.find("Ошибка при записи файла " + inputs), std::string::npos)
            << full.out;
        EXPECT_TRUE(axolite::test::readFile(inputs) == ones) << option;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 4);
}

} // namespace

// wait_counts.net has two outputs: what is typed for the third and fourth (their rows, their
// columns in the other rows, their initial values) is read as 0, as the dialog's disabled fields.
TEST(ReferenceOptions, RungeKuttaFieldsOfAbsentOutputsAreReadAsZero) {
    const std::string rk = " --json --rk ";
    const CliRun typed =
        runCli("run " + example("wait_counts.net") + rk +
               "'0 1 5 5 1; -1 0 5 5 0; 7 7 7 7 7; 1 1 1 1 1' --rk-init '1 0 3 3'");
    const CliRun plain = runCli("run " + example("wait_counts.net") + rk +
                                "'0 1 0 0 1; -1 0 0 0 0' --rk-init '1 0'");
    ASSERT_EQ(typed.status, 0);
    const auto json = nlohmann::json::parse(typed.out);
    EXPECT_EQ(json["rk_present"], nlohmann::json({true, true, false, false}));
    EXPECT_EQ(json["rk_stats"], nlohmann::json::parse(plain.out)["rk_stats"]);
}
