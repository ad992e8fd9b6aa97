// axolite-cli netgen, study and explain, as a user runs them: the oscillator example is what
// netgen writes, the study's table (golden), JSON and CSV, the explanation against the run's own
// series, and the refusals.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using axolite::test::CliRun;
using axolite::test::quoted;
using axolite::test::runCli;
using axolite::test::TempDir;

const std::string kOscillator = "--rk '0 1; -1 0' --rk-init '0 1' --simtime 0,10 --timestep 0.01";

TEST(NetgenCommand, WritesTheOscillatorExampleWithItsModel) {
    TempDir dir;
    fs::copy(axolite::test::examplePath("models"), dir / "models");
    fs::remove(dir / "models" / "2.neu");
    const CliRun run = runCli("netgen " + kOscillator + " --out " + quoted(dir / "osc.net") +
                              " --models " + quoted(dir / "models"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(axolite::test::readFile(dir / "osc.net"),
              axolite::test::readFile(axolite::test::examplePath("oscillator.net")));
    EXPECT_EQ(axolite::test::readFile(dir / "models" / "2.neu"),
              axolite::test::readFile(axolite::test::examplePath("models/2.neu")));
    // Without --models the model goes beside the description; the check finds no error.
    const CliRun beside = runCli("netgen " + kOscillator + " --out " + quoted(dir / "beside.net"));
    ASSERT_EQ(beside.status, 0);
    EXPECT_TRUE(fs::exists(dir / "1.neu"));
    const CliRun check = runCli("check " + quoted(dir / "beside.net"));
    EXPECT_EQ(check.status, 0);
    EXPECT_NE(check.out.find("Ошибок нет"), std::string::npos) << check.out;
}

TEST(NetgenCommand, RefusesASystemItCannotDescribe) {
    TempDir dir;
    const CliRun absent =
        runCli("netgen --rk '0 1' --simtime 0,1 --timestep 0.1 --out " + quoted(dir / "a.net"));
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.out.find("Уравнение y1' содержит y2"), std::string::npos) << absent.out;
    EXPECT_FALSE(fs::exists(dir / "a.net"));
    EXPECT_EQ(
        runCli("netgen --rk '-1' --simtime '0;1' --timestep 0.1 --out " + quoted(dir / "b.net"))
            .status,
        2);
    EXPECT_EQ(runCli("netgen --rk '1;1;1;1;1' --simtime 0,1 --timestep 0.1 --out " +
                     quoted(dir / "c.net"))
                  .status,
              2);
}

// A description and its model are one set: when the description cannot take its name (here it
// has none), the model written beside it goes too. A negative start is refused for its sign.
TEST(NetgenCommand, AFailedSetLeavesNothing) {
    TempDir dir;
    const std::string netgen = "cd " + quoted(dir.path()) + " && " + quoted(AXOLITE_CLI) +
                               " netgen " + kOscillator + " --out '' >/dev/null 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(netgen.c_str())), 1);
    EXPECT_TRUE(fs::is_empty(dir.path()));

    const CliRun negative =
        runCli("netgen --rk -1 --simtime -1,1 --timestep 0.1 --out " + quoted(dir / "n.net"));
    EXPECT_EQ(negative.status, 1);
    EXPECT_EQ(negative.out, "Сообщение: Знаковое выражение недопустимо\n");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(StudyCommand, GoldenTableOfTheDecay) {
    const CliRun run = runCli("study --rk -1 --rk-init 1 --simtime 0,2 --timestep 0.1 "
                              "--exact '1=exp(-x)' --halvings 3");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              axolite::test::golden(fs::path(AXOLITE_GOLDEN_DIR) / "study" / "decay.txt", run.out));
}

TEST(StudyCommand, JsonAndCsvOfTheOscillator) {
    TempDir dir;
    const CliRun run = runCli("study " + kOscillator +
                              " --exact '1=sin(x)' --exact '2=cos(x)' --halvings 3 --json --csv " +
                              quoted(dir / "study.csv"));
    ASSERT_EQ(run.status, 0) << run.out;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["against"], "exact");
    ASSERT_EQ(json["rows"].size(), 4u);
    EXPECT_TRUE(json["rows"][0]["network_order"].is_null());
    EXPECT_EQ(json["rows"][3]["steps"], 8000);
    for (int r = 1; r < 4; ++r) {
        EXPECT_NEAR(json["rows"][r]["network_order"].get<double>(), 1.0, 0.05);
        EXPECT_NEAR(json["rows"][r]["rk_order"].get<double>(), 4.0, 0.1);
    }
    const std::string csv = axolite::test::readFile(dir / "study.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "h,steps,network_error,rk_error,network_order,rk_order");
    EXPECT_NE(csv.find("\n0.01,1000,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",,\n"), std::string::npos); // the first row has no orders
}

TEST(StudyCommand, DivergenceAndRefusals) {
    const CliRun diverging = runCli("study --rk -100 --rk-init 1 --simtime 0,100 --timestep 0.1 "
                                    "--exact '1=exp(-100*x)' --halvings 1 --json");
    ASSERT_EQ(diverging.status, 0);
    const auto json = nlohmann::json::parse(diverging.out);
    EXPECT_EQ(json["rows"][0]["network_error"], "inf");
    EXPECT_TRUE(json["rows"][1]["network_order"].is_null());
    const CliRun wrong = runCli("study --rk -1 --simtime 0,1 --timestep 0.1 --exact '1=exp(' "
                                "--halvings 1");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.out.find("Функциональная зависимость y1 введена неверно."), std::string::npos);
    EXPECT_EQ(
        runCli("study --rk -1 --simtime 0,1 --timestep 0.1 --exact '2=x' --halvings 1").status, 2);
    // A formula named empty is refused as `run` refuses it, not taken for no formula.
    const CliRun empty =
        runCli("study --rk -1 --simtime 0,1 --timestep 0.1 --exact '1=' --halvings 1");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "Сообщение: Функциональная зависимость y1 введена неверно.\n");
}

// An order wider than its column still stands apart from the error before it.
TEST(StudyCommand, WideNumbersKeepTheirColumnsApart) {
    const CliRun run = runCli("study --rk -3010 --rk-init 1 --simtime 0,1 --timestep 0.001 "
                              "--exact '1=exp(-3010*x)' --halvings 1");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(" 7.270173e-01 1006.648 "), std::string::npos) << run.out;
}

TEST(ExplainCommand, TheExplainedValueIsTheRunsOwnAndOutsideValuesAreRefused) {
    const std::string example = quoted(axolite::test::examplePath("ring.net")) + " --models " +
                                quoted(axolite::test::examplePath("models"));
    const CliRun run = runCli("run " + example + " --activate '1=sin(3*x)' --json --series");
    const CliRun explained =
        runCli("explain " + example + " --activate '1=sin(3*x)' --neuron 3 --step 57 --json");
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(explained.status, 0) << explained.out;
    const auto series = nlohmann::json::parse(run.out)["series"];
    const auto e = nlohmann::json::parse(explained.out);
    // Output 2 is neuron 3 with weight 1: the numbers are equal bit for bit.
    EXPECT_EQ(e["value"].get<double>(), series[1][57].get<double>());
    EXPECT_EQ(e["result"].get<double>(), e["value"].get<double>());
    EXPECT_EQ(e["origin"], "computed");
    ASSERT_EQ(e["terms"].size(), 1u);
    EXPECT_EQ(e["terms"][0]["source"], 2);
    EXPECT_EQ(e["terms"][0]["line"], 28);

    const CliRun text = runCli("explain " + example + " --neuron 3 --step 57");
    EXPECT_NE(text.out.find("[строка 28:   neuron 2, neuron 3, weight 0.9;]"), std::string::npos)
        << text.out;
    const CliRun step = runCli("explain " + example + " --neuron 3 --step 2000");
    EXPECT_EQ(step.status, 2);
    EXPECT_NE(step.out.find("Шаг 2000 вне интервала моделирования: шаги от 0 до 1999."),
              std::string::npos);
    const CliRun neuron = runCli("explain " + example + " --neuron 9 --step 1");
    EXPECT_EQ(neuron.status, 2);
    EXPECT_NE(neuron.out.find("Нейрон 9 отсутствует в сети: нейроны от 1 до 8."),
              std::string::npos);
    // The number is reported as it was given, the lowest integer too.
    for (const std::string number : {"0", "-9223372036854775808"}) {
        const CliRun low = runCli("explain " + example + " --neuron " + number + " --step 1");
        EXPECT_EQ(low.status, 2);
        EXPECT_NE(low.out.find("Нейрон " + number + " отсутствует в сети: нейроны от 1 до 8."),
                  std::string::npos)
            << low.out;
    }
}

} // namespace
