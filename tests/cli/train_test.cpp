// `axolite-cli train` on the example pattern files: status, results list, JSON, refusals,
// investigation and the written description.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <string>

namespace {

using axolite::test::CliRun;

CliRun runTrain(const std::string& arguments) {
    return axolite::test::runCli("train " + arguments);
}

std::string example(const std::string& name) {
    return axolite::test::examplePath(name).string();
}

std::string xorArguments() {
    return "--input " + example("xor_input.ptn") + " --target " + example("xor_target.ptn") +
           " --patterns 4 --input-layer 2 --hidden 4 --output-layer 1:sigmoid --rate 0.5"
           " --seed 1";
}

} // namespace

TEST(TrainCommand, PrintsStatusAndTheResultsList) {
    const CliRun run = runTrain(xorArguments() + " --iterations 3000");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("Образ : 3\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Итерация обучения : 2999\n"), std::string::npos);
    EXPECT_NE(run.out.find("Норма : Недоступна\n"), std::string::npos); // 2 inputs, 1 output
    EXPECT_NE(run.out.find("Маркер\tВходной образ\tВыходной образ\tОтклик сети\tПогрешность\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("\t 0 1\t  0.9\t  "), std::string::npos);
}

TEST(TrainCommand, JsonCarriesTheSameNumbersAndProbes) {
    const CliRun run = runTrain(xorArguments() + " --iterations 3000 --json --probe \"1 0\"");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["iterations_done"], 3000);
    EXPECT_EQ(json["last_pattern"], 3);
    EXPECT_TRUE(json["norm"].is_null());
    ASSERT_EQ(json["rows"].size(), 4u);
    for (const auto& row : json["rows"]) {
        const double target = row["target"][0];
        const double response = row["response"][0];
        const double error = row["error"][0];
        EXPECT_NEAR(error, (target - response) * 100.0 / response, 1e-3);
        EXPECT_EQ(row["marker"], std::abs(error) <= 10.0 ? "violet" : "yellow");
    }
    // XOR learnt: the probe (1, 0) answers like pattern 2.
    ASSERT_EQ(json["probes"].size(), 1u);
    EXPECT_EQ(json["probes"][0]["response"][0], json["rows"][2]["response"][0]);
    EXPECT_GT(json["probes"][0]["response"][0].get<double>(), 0.7);
}

TEST(TrainCommand, SameSeedSameResultsAndNormForEqualLayers) {
    const std::string arguments = "--input " + example("sine_input.ptn") + " --target " +
                                  example("sine_target.ptn") +
                                  " --patterns 21 --hidden 6 --iterations 200 --rate 0.2"
                                  " --method randomized --seed 7 --json";
    const CliRun first = runTrain(arguments);
    const CliRun second = runTrain(arguments);
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(first.out, second.out);
    const auto json = nlohmann::json::parse(first.out);
    EXPECT_TRUE(json["norm"].is_number());
    EXPECT_EQ(json["last_pattern"].get<int>() < 20, true); // the last pattern is never drawn
}

TEST(TrainCommand, RefusalsPrintTheirMessageAndExitOne) {
    CliRun run = runTrain(xorArguments() + " --iterations 0");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Число итераций обучения введено неверно.\n");
    run = runTrain("--input " + example("xor_input.ptn") + " --iterations 10 --patterns abc");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Число эталонных образов введено неверно.\n");
    run =
        runTrain("--input " + example("xor_input.ptn") + " --iterations 10 --patterns 1000000000");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Число эталонных образов введено неверно.\n");
    run = runTrain(xorArguments() + " --iterations 30001");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Число итераций обучения введено неверно.\n");
    run = runTrain("--patterns 4 --input-layer 2 --iterations 5");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Файл входных эталонных образов не определен.\n");
    run = runTrain("--input " + example("xor_input.ptn") +
                   " --patterns 4 --input-layer 2 --hidden 10/3 --method competitive"
                   " --iterations 5");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Число нейронных ансамблей для 1-го скрытого слоя введено неверно.\n");
    run = runTrain("--input " + example("xor_input.ptn") +
                   " --patterns 4 --input-layer 2 --hidden 3 --method hebbian --iterations 5");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("Должны быть сформированы только и входной и выходной слои сети.\n", 0),
              0u);
    EXPECT_NE(run.out.find("-\t 1 1\t\t  "), std::string::npos) << run.out; // still listed
    run = runTrain(xorArguments() + " --iterations 5 --input-layer 19");
    EXPECT_EQ(run.status, 2);
    // A rate that is no number is refused like one too large for single precision.
    for (const std::string rate : {"nan", "inf", "1e39"}) {
        run = runTrain("--input " + example("xor_input.ptn") + " --target " +
                       example("xor_target.ptn") +
                       " --patterns 4 --input-layer 2 --iterations 5 --rate " + rate);
        EXPECT_EQ(run.status, 1) << rate;
        EXPECT_EQ(run.out, "Величина приращения весов межнейронных связей введена неверно.\n");
    }
}

TEST(TrainCommand, WritesADescriptionTheCheckerAccepts) {
    axolite::test::TempDir dir;
    const std::string net = (dir / "xor.net").string();
    const CliRun run = runTrain(xorArguments() + " --iterations 100 --write-net " + net);
    ASSERT_EQ(run.status, 0) << run.out;
    const std::string text = axolite::test::readFile(net);
    EXPECT_NE(text.find("neurons 7;"), std::string::npos);
    EXPECT_NE(text.find("outputlayer {\r\nneuron 7, weight 1;\r\n}"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "1.neu"));
    EXPECT_TRUE(std::filesystem::exists(dir / "401.neu"));

    const CliRun check = axolite::test::runCli("check --json " + axolite::test::quoted(net));
    EXPECT_EQ(check.status, 0) << check.out;
}

TEST(TrainCommand, OutputThatCannotBeWrittenFails) {
    EXPECT_EQ(runTrain(xorArguments() + " --iterations 10 --json >/dev/full").status, 2);
    EXPECT_EQ(runTrain(xorArguments() + " --iterations 10 >/dev/full").status, 2);
}

TEST(TrainCommand, YesAtALocalMinimumEndsLikeAFullRunAndTheDescriptionIsWritten) {
    axolite::test::TempDir dir;
    const std::string net = (dir / "sine.net").string();
    // A rate of 0 leaves the weights, so the second norm equals the first.
    const std::string arguments = "--input " + example("sine_input.ptn") + " --target " +
                                  example("sine_target.ptn") +
                                  " --patterns 21 --iterations 50 --rate 0 --seed 2";
    CliRun run = runTrain(arguments + " --write-net " + axolite::test::quoted(net));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.rfind("Достигнут локальный минимум. Остановить \nпроцесс обучения нейронной "
                            "сети?\nДа\nОбраз : 20\nИтерация обучения : 1\n",
                            0),
              0u)
        << run.out;
    EXPECT_TRUE(std::filesystem::exists(net));

    // Answered No, the run goes to the end and asks at every iteration after the first.
    run = runTrain(arguments + " --local-minimum continue --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["iterations_done"], 50);
    EXPECT_EQ(json["messages"].size(), 49u);
    EXPECT_FALSE(json["stopped_at_local_minimum"].get<bool>());
}

TEST(TrainCommand, TheDescriptionNeverTakesOrFollowsTheNameOfAModelFile) {
    axolite::test::TempDir dir;
    axolite::test::writeFile(dir / "1.neu", "foreign");
    CliRun run = runTrain(xorArguments() + " --iterations 10 --write-net " +
                          axolite::test::quoted(dir / "1.neu"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("принадлежит файлу модели нейрона"), std::string::npos) << run.out;
    run = runTrain(xorArguments() + " --iterations 10 --write-net " +
                   axolite::test::quoted(dir / "401.neu"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(axolite::test::readFile(dir / "1.neu"), "foreign");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator{}),
              1);

    // A dangling link named like a model is passed over, never written through.
    axolite::test::TempDir other;
    std::filesystem::create_symlink(other / "outside.neu", dir / "2.neu");
    run = runTrain(xorArguments() + " --iterations 10 --write-net " +
                   axolite::test::quoted(dir / "xor.net"));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_FALSE(std::filesystem::exists(other / "outside.neu"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "2.neu"));
    EXPECT_EQ(axolite::test::readFile(dir / "1.neu"), "foreign");
}

TEST(TrainCommand, CurveIsDrawnAsPngOrSvgAndAFailedWriteLeavesNothing) {
#ifndef AXOLITE_CLI_PLOT
    GTEST_SKIP() << "the tool is built without the painters";
#endif
    axolite::test::TempDir dir;
    const std::string sine = "--input " + example("sine_input.ptn") + " --target " +
                             example("sine_target.ptn") +
                             " --patterns 21 --hidden 5 --iterations 300 --rate 0.2 --seed 3"
                             " --local-minimum off";
    const auto png = dir / "curve.png";
    ASSERT_EQ(runTrain(sine + " --curve " + axolite::test::quoted(png)).status, 0);
    const std::string pngBytes = axolite::test::readFile(png);
    ASSERT_GT(pngBytes.size(), 8u);
    EXPECT_EQ(pngBytes.substr(1, 3), "PNG");
    const auto svg = dir / "curve.svg";
    ASSERT_EQ(runTrain(sine + " --curve-log --curve " + axolite::test::quoted(svg)).status, 0);
    const std::string svgText = axolite::test::readFile(svg);
    EXPECT_NE(svgText.find("<svg"), std::string::npos);
    EXPECT_NE(svgText.find("<path"), std::string::npos);

    // Drawing needs no display, whatever platform the environment names.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string previous = platform != nullptr ? platform : "";
    for (const char* name : {"xcb", "wayland"}) {
        ::setenv("QT_QPA_PLATFORM", name, 1);
        const CliRun drawn = runTrain(sine + " --curve " + axolite::test::quoted(dir / "x.png"));
        EXPECT_EQ(drawn.status, 0) << name;
        EXPECT_NE(drawn.out.find("Норма"), std::string::npos) << name; // the report is printed
        EXPECT_EQ(axolite::test::readFile(dir / "x.png"), pngBytes) << name;
    }
    if (platform != nullptr) {
        ::setenv("QT_QPA_PLATFORM", previous.c_str(), 1);
    } else {
        ::unsetenv("QT_QPA_PLATFORM");
    }

    const auto missing = dir / "no" / "curve.png";
    const CliRun failed = runTrain(sine + " --curve " + axolite::test::quoted(missing));
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.out.find("Невозможно создать файл"), std::string::npos) << failed.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}
