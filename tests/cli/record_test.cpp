// Continuing a training from a written description or a record, experiment records and their
// replay: identical runs, and every kind of change named.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

using axolite::test::CliRun;
using axolite::test::TempDir;

std::string q(const std::filesystem::path& path) {
    return axolite::test::quoted(path);
}

std::string xorArguments(const std::string& input, const std::string& target) {
    return "train --input " + q(input) + " --target " + q(target) +
           " --patterns 4 --local-minimum off";
}

struct XorFolder {
    TempDir dir;
    std::string input = (dir / "xor_input.ptn").string();
    std::string target = (dir / "xor_target.ptn").string();
    XorFolder() {
        axolite::test::writeFile(
            input, axolite::test::readFile(axolite::test::examplePath("xor_input.ptn")));
        axolite::test::writeFile(
            target, axolite::test::readFile(axolite::test::examplePath("xor_target.ptn")));
    }
    std::string layered() const {
        return xorArguments(input, target) + " --input-layer 2 --hidden 4 --output-layer 1:sigmoid";
    }
};

nlohmann::json readJson(const std::filesystem::path& path) {
    return nlohmann::json::parse(axolite::test::readFile(path));
}

CliRun replayEdited(const XorFolder& xor_, const nlohmann::json& record, const std::string& name) {
    const auto path = xor_.dir / name;
    axolite::test::writeFile(path, record.dump(1));
    return axolite::test::runCli("replay " + q(path));
}

} // namespace

TEST(TrainingRecord, ReplayIsIdenticalAndNamesEveryKindOfChange) {
    XorFolder xor_;
    const auto recordPath = xor_.dir / "run.json";
    ASSERT_EQ(axolite::test::runCli(xor_.layered() +
                                    " --iterations 40 --method randomized"
                                    " --seed 3 --record " +
                                    q(recordPath))
                  .status,
              0);
    const nlohmann::json record = readJson(recordPath);
    EXPECT_EQ(record["seed"], 3);
    EXPECT_EQ(record["errors"].size(), 40u);
    EXPECT_EQ(record["pattern_files"][0]["sha256"].get<std::string>().size(), 64u);

    const CliRun same = axolite::test::runCli("replay " + q(recordPath));
    EXPECT_EQ(same.status, 0) << same.out;
    EXPECT_EQ(same.out, "identical\n");

    nlohmann::json rate = record;
    rate["settings"]["rate"] = "0.75";
    CliRun run = replayEdited(xor_, rate, "rate.json");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("differs: /final_network"), std::string::npos) << run.out;

    nlohmann::json seed = record;
    seed["seed"] = 4;
    run = replayEdited(xor_, seed, "seed.json");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("differs: /initial_network"), std::string::npos) << run.out;

    nlohmann::json version = record;
    version["program_version"] = "0.0.1";
    run = replayEdited(xor_, version, "version.json");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.find("differs: program version: recorded 0.0.1"), 0u) << run.out;

    // The target file changed in a way that changes no training number: still named.
    axolite::test::writeFile(xor_.target, axolite::test::readFile(xor_.target) + "\n");
    run = axolite::test::runCli("replay " + q(recordPath));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "differs: pattern file changed: " + xor_.target + " (SHA-256 recorded " +
                           record["pattern_files"][1]["sha256"].get<std::string>() + ", now " +
                           axolite::test::runShell("sha256sum " + q(xor_.target) + " | cut -c1-64")
                               .out.substr(0, 64) +
                           ")\n");
}

TEST(TrainingRecord, ARunWithTheLintReplaysWithIt) {
    XorFolder xor_;
    const auto recordPath = xor_.dir / "linted.json";
    ASSERT_EQ(axolite::test::runCli(xor_.layered() + " --iterations 10 --seed 5 --lint --record " +
                                    q(recordPath))
                  .status,
              0);
    ASSERT_TRUE(readJson(recordPath)["results"].contains("lint"));
    EXPECT_EQ(axolite::test::runCli("replay " + q(recordPath)).out, "identical\n");
}

TEST(TrainingRecord, ReplayRefusesWhatIsNoRecord) {
    XorFolder xor_;
    axolite::test::writeFile(xor_.dir / "other.json", "{\"rows\": []}");
    EXPECT_EQ(axolite::test::runCli("replay " + q(xor_.dir / "other.json")).status, 2);
    EXPECT_EQ(axolite::test::runCli("replay " + q(xor_.dir / "none.json")).status, 2);
}

TEST(TrainingContinuation, FromARecordEqualsOneLongerRun) {
    // Online back-propagation: 15 iterations continued by 25 from the record are 40 in one run.
    XorFolder xor_;
    const auto first = xor_.dir / "first.json";
    const auto second = xor_.dir / "second.json";
    const auto whole = xor_.dir / "whole.json";
    ASSERT_EQ(
        axolite::test::runCli(xor_.layered() + " --iterations 15 --seed 2 --record " + q(first))
            .status,
        0);
    ASSERT_EQ(axolite::test::runCli(xorArguments(xor_.input, xor_.target) +
                                    " --iterations 25 --seed 2 --from-record " + q(first) +
                                    " --record " + q(second))
                  .status,
              0);
    ASSERT_EQ(
        axolite::test::runCli(xor_.layered() + " --iterations 40 --seed 2 --record " + q(whole))
            .status,
        0);
    EXPECT_EQ(readJson(second)["initial_network"], readJson(first)["final_network"]);
    EXPECT_EQ(readJson(second)["final_network"], readJson(whole)["final_network"]);
    // A continued run replays from its recorded start.
    EXPECT_EQ(axolite::test::runCli("replay " + q(second)).out, "identical\n");
}

TEST(TrainingContinuation, FromAWrittenDescription) {
    XorFolder xor_;
    const auto net = xor_.dir / "xor.net";
    ASSERT_EQ(
        axolite::test::runCli(xor_.layered() + " --iterations 500 --seed 1 --write-net " + q(net))
            .status,
        0);
    const CliRun continued = axolite::test::runCli(xorArguments(xor_.input, xor_.target) +
                                                   " --iterations 500 --json --from-net " + q(net));
    ASSERT_EQ(continued.status, 0) << continued.out;
    EXPECT_EQ(nlohmann::json::parse(continued.out)["rows"].size(), 4u);

    // Layers given beside the file, and a description the training did not write.
    EXPECT_EQ(axolite::test::runCli(xor_.layered() + " --iterations 5 --from-net " + q(net)).status,
              2);
    const CliRun other = axolite::test::runShell(
        std::string(AXOLITE_CLI) + " " + xorArguments(xor_.input, xor_.target) +
        " --iterations 5 --from-net " + axolite::test::examplePath("ring.net").string() +
        " 2>&1 >/dev/null");
    EXPECT_EQ(other.status, 2);
    EXPECT_NE(other.out.find("не является описанием многослойной сети"), std::string::npos)
        << other.out;
}

TEST(TrainingComparison, EveryVariantIsTheRunMadeAlone) {
    XorFolder xor_;
    const CliRun compared =
        axolite::test::runCli(xor_.layered() + " --iterations 30 --seed 4 --compare rate=0.1,0.5"
                                               " --compare method=online,random --json");
    ASSERT_EQ(compared.status, 0) << compared.out;
    const auto json = nlohmann::json::parse(compared.out);
    ASSERT_EQ(json["runs"].size(), 4u);
    EXPECT_EQ(json["runs"][1]["label"], "rate=0.1 method=random");
    for (const auto& run : json["runs"]) {
        const std::string label = run["label"];
        const std::string rate = label.substr(5, 3);
        const std::string method =
            label.find("random") != std::string::npos ? "randomized" : "online";
        const CliRun alone = axolite::test::runCli(
            xor_.layered() + " --iterations 30 --seed 4 --mse --json --rate " + rate +
            " --method " + method);
        EXPECT_EQ(run["errors"], nlohmann::json::parse(alone.out)["mse_per_iteration"]) << label;
    }
    EXPECT_EQ(axolite::test::runCli(xor_.layered() + " --iterations 3 --compare speed=1").status,
              2);
}
