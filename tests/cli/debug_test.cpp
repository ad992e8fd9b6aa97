// axolite-cli debug, as a user runs it: the step found is the first a plain scan of the run's own
// series finds, the watched values are the run's, and the texts and exit statuses of a condition
// that held, of none holding and of every kind of refusal are those of the golden transcript.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using axolite::test::CliRun;
using axolite::test::quoted;
using axolite::test::runCli;
const auto example = axolite::test::exampleWithModels;

// Output 2 of the ring is neuron 3 with weight 1, output 4 neuron 7 with weight -1.
TEST(DebugCommand, StopsAtTheFirstStepAPlainScanOfTheSeriesFinds) {
    const std::string ring = example("ring.net");
    const CliRun run = runCli("run " + ring + " --json --series");
    ASSERT_EQ(run.status, 0);
    const auto series = nlohmann::json::parse(run.out)["series"];
    for (const std::string from : {"0", "700", "1500"}) {
        const CliRun debug = runCli("debug " + ring + " --until 'y2 > 0.3' --until 'n7 > 0.4' " +
                                    "--watch 3,outputs --json --from " + from);
        std::optional<std::size_t> expected;
        for (std::size_t i = std::stoul(from); i < series[1].size() && !expected; ++i) {
            if (series[1][i].get<double>() > 0.3 || -series[3][i].get<double>() > 0.4) {
                expected = i;
            }
        }
        ASSERT_TRUE(expected) << "no step after " << from;
        ASSERT_EQ(debug.status, 0) << debug.out;
        const auto json = nlohmann::json::parse(debug.out);
        const std::size_t step = *expected;
        EXPECT_EQ(json["step"], step);
        EXPECT_EQ(json["condition"]["index"], series[1][step].get<double>() > 0.3 ? 1 : 2);
        const auto watch = json["watch"];
        ASSERT_EQ(watch.size(), 4u); // neuron 3, then neurons 1, 5, 7 of the outputs
        EXPECT_EQ(watch[0]["neuron"], 3);
        EXPECT_EQ(watch[0]["value"].get<double>(), series[1][step].get<double>());
        if (step > 0) {
            EXPECT_EQ(watch[0]["previous"].get<double>(), series[1][step - 1].get<double>());
        }
        EXPECT_EQ(watch[3]["neuron"], 7);
        EXPECT_EQ(watch[3]["value"].get<double>(), -series[3][step].get<double>());
        // The explanation of the neuron the condition that held names: y2 names neuron 3.
        ASSERT_EQ(json["explanations"].size(), 1u);
        EXPECT_EQ(json["explanations"][0]["neuron"], json["condition"]["index"] == 1 ? 3 : 7);
        EXPECT_EQ(json["explanations"][0]["step"], step);
    }
}

TEST(DebugCommand, GoldenTranscript) {
    const std::string waits = example("wait_counts.net");
    const std::vector<std::string> commands{
        // Why does neuron 3 turn positive only at step 1?
        "--until 'n3 > 0.5'",
        "--until 'n2 > 1' --until 'x > 5'",
        "--until 'y2 < 0.5 и step > 0' --watch outputs,1 --from 1",
        "--until 'n2 = 1 and n1 = 1' --watch 2",
        "--until 'n9 > 1' --until 'abs(n1) > lg(2)' --until 'y3 > 0' --until 'z < 1'",
        "--until '' --until 'n1 > 0)' --until '((n1 > 0)' --until 'n1' --until 'n1 > 0 или'",
        "--until '0 < n1 < 1' --until 'n1 > ' --until 'n1 ! 2' --until 'n 1 > 0' --until 'n1 > 2x'",
        "--until 'n1 > 0 и n2 ≥ 0' --until '()' --until 'y0 > 1'",
        "--until 'n1 > 0' --watch 1,x",
        "--until 'n1 > 0' --watch 4",
        "--until 'n1 > 0' --from 10",
    };
    std::string transcript;
    for (const std::string& arguments : commands) {
        const CliRun run = runCli("debug " + waits + " " + arguments);
        transcript += "$ debug wait_counts.net " + arguments + "\n" + run.out + "status " +
                      std::to_string(run.status) + "\n\n";
    }
    EXPECT_EQ(transcript,
              axolite::test::golden(fs::path(AXOLITE_GOLDEN_DIR) / "debug" / "wait_counts.txt",
                                    transcript));
}

// A description that cannot be simulated is reported as `run` reports it, with its status.
TEST(DebugCommand, ADescriptionThatIsNotCorrectIsReportedAsRunReportsIt) {
    const std::string broken =
        quoted(fs::path(AXOLITE_GOLDEN_DIR) / "run" / "not_correct" / "input.net");
    const CliRun run = runCli("run " + broken);
    const CliRun debug = runCli("debug " + broken + " --until 'n1 > 0'");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(debug, run);
}

} // namespace
