// `axolite-cli train --lint`: the warnings after the results (golden), the same warnings in the
// JSON "lint" array, silence on the examples that train well, and no lint beside --compare.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using axolite::test::CliRun;

std::string example(const std::string& name) {
    return axolite::test::examplePath(name).string();
}

// The competitive method with one pattern and three neurons in one ensemble (two never win), and
// the Hebbian method at rate 1 (its weights run into the halving).
const std::string kCompetitive = "train --input " + example("xor_input.ptn") +
                                 " --patterns 1 --input-layer 2 --output-layer 3"
                                 " --method competitive --iterations 4 --rate 0.01 --seed 1 --lint";
const std::string kHebbian = "train --input " + example("xor_input.ptn") +
                             " --patterns 4 --input-layer 2 --output-layer 2"
                             " --method hebbian --iterations 12 --rate 1 --seed 1 --lint";

// The lines from "Замечания к обучению :" on.
std::string lintSection(const std::string& out) {
    const std::size_t at = out.find("Замечания к обучению :");
    return at == std::string::npos ? "(no lint section)\n" : out.substr(at);
}

} // namespace

TEST(TrainLint, GoldenWarningsAfterTheResults) {
    const CliRun competitive = axolite::test::runCli(kCompetitive);
    const CliRun hebbian = axolite::test::runCli(kHebbian);
    ASSERT_EQ(competitive.status, 0);
    ASSERT_EQ(hebbian.status, 0);
    const std::string actual = lintSection(competitive.out) + lintSection(hebbian.out);
    EXPECT_EQ(actual, axolite::test::golden(fs::path(AXOLITE_GOLDEN_DIR) / "lint" / "warnings.txt",
                                            actual));
    // The section follows the results list.
    EXPECT_LT(competitive.out.find("Маркер\t"), competitive.out.find("Замечания к обучению :"));
}

TEST(TrainLint, JsonArrayCarriesTheSameWarnings) {
    const CliRun text = axolite::test::runCli(kCompetitive);
    const CliRun run = axolite::test::runCli(kCompetitive + " --json");
    ASSERT_EQ(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["lint"].size(), 1u);
    const auto& warning = json["lint"][0];
    EXPECT_EQ(warning["rule"], "competitive-never-won");
    EXPECT_EQ(warning["iteration"], 3);
    EXPECT_EQ(warning["help"], "training-lint.html#competitive-never-won");
    EXPECT_NE(text.out.find("Итерация 3: " + warning["text"].get<std::string>()), std::string::npos)
        << text.out;
}

TEST(TrainLint, SilentOnTheExamplesThatTrainWell) {
    const std::string xorRun = "train --input " + example("xor_input.ptn") + " --target " +
                               example("xor_target.ptn") +
                               " --patterns 4 --input-layer 2 --hidden 4 --output-layer 1:sigmoid"
                               " --rate 0.5 --seed 1 --iterations 3000 --lint";
    const std::string sine = "train --input " + example("sine_input.ptn") + " --target " +
                             example("sine_target.ptn") +
                             " --patterns 21 --hidden 6 --iterations 200 --rate 0.2"
                             " --method online --seed 7 --lint";
    for (const std::string& arguments : {xorRun, sine}) {
        const CliRun run = axolite::test::runCli(arguments);
        ASSERT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("\nЗамечания к обучению : нет\n"), std::string::npos) << run.out;
        const CliRun json = axolite::test::runCli(arguments + " --json");
        EXPECT_EQ(nlohmann::json::parse(json.out)["lint"], nlohmann::json::array());
    }
    // Without --lint nothing is said and the JSON has no "lint".
    const CliRun plain = axolite::test::runCli(xorRun.substr(0, xorRun.size() - 7) + " --json");
    EXPECT_FALSE(nlohmann::json::parse(plain.out).contains("lint"));
}

TEST(TrainLint, RefusedBesideAComparison) {
    const CliRun run = axolite::test::runShell(axolite::test::quoted(AXOLITE_CLI) + " " +
                                               kCompetitive + " --compare rate=0.1,0.2 2>&1");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("--lint"), std::string::npos) << run.out;
}
