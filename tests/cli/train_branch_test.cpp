// `axolite-cli train --branch-from`: the branch goes on where the run stood, and the iterations
// and keys it cannot take are refused.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

using axolite::test::CliRun;

std::string xorRun(const std::string& more) {
    const auto example = [](const char* name) { return axolite::test::examplePath(name).string(); };
    return "train --input " + example("xor_input.ptn") + " --target " + example("xor_target.ptn") +
           " --patterns 4 --input-layer 2 --hidden 4 --output-layer 1:sigmoid --rate 0.5"
           " --seed 5 --method randomized " +
           more;
}

} // namespace

TEST(TrainBranch, UnchangedSettingsFromKGoOnAsTheRunItself) {
    const CliRun whole = axolite::test::runCli(xorRun("--iterations 20 --json"));
    const CliRun branched = axolite::test::runCli(
        xorRun("--iterations 20 --branch-from 8 --branch iterations=12 --json"));
    ASSERT_EQ(whole.status, 0) << whole.out;
    ASSERT_EQ(branched.status, 0) << branched.out;
    const auto a = nlohmann::json::parse(whole.out);
    const auto b = nlohmann::json::parse(branched.out);
    EXPECT_EQ(b["branch"]["rows"], a["rows"]);
    EXPECT_EQ(b["run"]["rows"], a["rows"]);
    EXPECT_EQ(b["branch"]["from"], 8);
    EXPECT_EQ(b["branch"]["seed"], "continued");
    EXPECT_EQ(b["history"]["stride"], 1);
    EXPECT_EQ(b["history"]["kept"], 21);

    // Another rate changes the branch and not the run.
    const auto c = nlohmann::json::parse(
        axolite::test::runCli(
            xorRun("--iterations 20 --branch-from 8 --branch iterations=12,rate=2 --json"))
            .out);
    EXPECT_EQ(c["run"]["rows"], a["rows"]);
    EXPECT_NE(c["branch"]["rows"], a["rows"]);
}

TEST(TrainBranch, IterationsNotKeptAndUnknownKeysAreRefused) {
    const CliRun late = axolite::test::runCli(xorRun("--iterations 5 --branch-from 6"));
    EXPECT_EQ(late.status, 1);
    EXPECT_NE(late.out.find("--branch-from: итерация 6 не сохранена в истории"), std::string::npos)
        << late.out;
    const CliRun key = axolite::test::runCli(xorRun("--iterations 5 --branch-from 2 --branch x=1"));
    EXPECT_EQ(key.status, 2);
}
