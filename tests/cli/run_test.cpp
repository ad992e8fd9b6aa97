// axolite-cli run, as a user runs it: the golden folders (input.net, optional models/, the
// expected output and CSV), the examples, the JSON form and the usage errors.
#include "cli_runner.h"
#include "core/platform/profile_file.h"
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

fs::path goldenRunDir() {
    return fs::path(AXOLITE_GOLDEN_DIR) / "run";
}

fs::path examplesDir() {
    return fs::path(AXOLITE_EXAMPLES_DIR);
}

} // namespace

// Each folder runs with its own models/ when it has one, the examples' models otherwise. The
// expected text writes the models folder as {models}; an expected.csv means a completed run.
TEST(RunCommand, GoldenFolders) {
    axolite::test::TempDir out;
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(goldenRunDir())) {
        if (!entry.is_directory()) {
            continue;
        }
        ++cases;
        const fs::path dir = entry.path();
        const fs::path models =
            fs::is_directory(dir / "models") ? dir / "models" : examplesDir() / "models";
        const fs::path csv = out / (dir.filename().string() + ".csv");
        const CliRun run = runCli("run " + quoted(dir / "input.net") + " --models " +
                                  quoted(models) + " --csv " + quoted(csv));
        const std::string expected =
            axolite::test::golden(dir / "expected.txt", run.out,
                                  {{"{models}", axolite::platform::lowerCase(models.string())}});
        EXPECT_EQ(run.out, expected) << dir.filename();
        const bool completed = fs::exists(dir / "expected.csv");
        EXPECT_EQ(run.status, completed ? 0 : 1) << dir.filename();
        if (completed) {
            const std::string written = axolite::test::readFile(csv);
            EXPECT_EQ(written, axolite::test::golden(dir / "expected.csv", written))
                << dir.filename();
        } else {
            EXPECT_FALSE(fs::exists(csv)) << dir.filename();
        }
    }
    EXPECT_GE(cases, 10);
}

TEST(RunCommand, EveryExampleRunsWithTheExampleModels) {
    int examples = 0;
    for (const auto& entry : fs::directory_iterator(examplesDir())) {
        if (entry.path().extension() != ".net") {
            continue;
        }
        ++examples;
        const CliRun run = runCli("run " + quoted(entry.path()) + " --models " +
                                  quoted(examplesDir() / "models") + " --json");
        ASSERT_EQ(run.status, 0) << entry.path().filename() << run.out;
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_GT(json["steps"].get<int>(), 0);
        EXPECT_EQ(json["outputs_present"][0], true) << entry.path().filename();
    }
    EXPECT_GE(examples, 4);
}

TEST(RunCommand, JsonWithSeries) {
    const CliRun run = runCli("run " + quoted(goldenRunDir() / "two_neurons" / "input.net") +
                              " --models " + quoted(examplesDir() / "models") + " --json --series");
    ASSERT_EQ(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["correct"], true);
    EXPECT_EQ(json["steps"], 4);
    EXPECT_EQ(json["counters"]["additions"], 12);
    EXPECT_EQ(json["counters"]["multiplications"], 12);
    EXPECT_EQ(json["counters"]["divisions"], 0);
    EXPECT_EQ(json["outputs_present"], nlohmann::json::parse("[true,false,false,false]"));
    EXPECT_EQ(json["stats"][0]["max"], 0.5);
    EXPECT_EQ(json["stats"][0]["range"], 0.5);
    EXPECT_EQ(json["series"], nlohmann::json::parse("[[0.0,0.5,0.0,0.0]]"));
}

TEST(RunCommand, RefusalsAppearAmongTheJsonMessages) {
    const CliRun run = runCli("run " + quoted(goldenRunDir() / "too_many_steps" / "input.net") +
                              " --models " + quoted(examplesDir() / "models") + " --json");
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["messages"].size(), 1u);
    EXPECT_EQ(json["messages"][0]["icon"], "information");
    EXPECT_EQ(json["messages"][0]["text"], "Слишком много шагов пересчета.");
    EXPECT_FALSE(json.contains("steps"));
}

// Without --models: the current folder, then the description's folder and its models folder.
TEST(RunCommand, ModelsFromTheCurrentFolderOrBesideTheDescriptionWhenNoneIsNamed) {
    axolite::test::TempDir empty;
    const std::string inEmpty = "cd " + quoted(empty.path()) + " && '" + AXOLITE_CLI + "' run ";
    auto status = [](const std::string& command) {
        return WEXITSTATUS(std::system((command + " >/dev/null 2>&1").c_str()));
    };
    EXPECT_EQ(status(inEmpty + quoted(examplesDir() / "two_neurons.net")), 0);
    fs::copy_file(examplesDir() / "two_neurons.net", empty / "two_neurons.net");
    EXPECT_EQ(status(inEmpty + "two_neurons.net"), 1);
    const std::string fromModels = "cd " + quoted(examplesDir() / "models") + " && '" +
                                   AXOLITE_CLI + "' run " + quoted(empty / "two_neurons.net");
    EXPECT_EQ(status(fromModels), 0);
    // A models folder named is the only place looked in.
    EXPECT_EQ(status(inEmpty + quoted(examplesDir() / "two_neurons.net") + " --models ."), 1);
}

TEST(RunCommand, UsageAndFileErrors) {
    axolite::test::TempDir dir;
    const std::string net = quoted(examplesDir() / "two_neurons.net");
    const std::string models = " --models " + quoted(examplesDir() / "models");
    EXPECT_EQ(runCli("run").status, 2);
    EXPECT_EQ(runCli("run " + quoted(dir / "none.net")).status, 2);
    EXPECT_EQ(runCli("run " + net + " --models " + quoted(dir / "none")).status, 2);
    EXPECT_EQ(runCli("run " + net + models + " --csv " + quoted(dir / "no" / "x.csv")).status, 2);
    EXPECT_EQ(runCli("run " + net + models + " --csv " + quoted(dir / "x.csv")).status, 0);
}

TEST(RunCommand, OutputThatCannotBeWrittenFails) {
    const std::string models = " --models " + quoted(examplesDir() / "models");
    const std::string ring = quoted(examplesDir() / "ring.net") + models;
    EXPECT_EQ(runCli("run " + ring + " >/dev/full").status, 2);
    EXPECT_EQ(runCli("run " + ring + " --json >/dev/full").status, 2);
    EXPECT_EQ(runCli("run " + ring + " --json --series >/dev/full").status, 2);
    EXPECT_EQ(runCli("run " + ring + " --json --series >/dev/null").status, 0);
}

TEST(RunCommand, AFullDiskKeepsTheOldCsvFile) {
    axolite::test::TempDir dir;
    const fs::path csv = dir / "out.csv";
    axolite::test::writeFile(csv, "old");
    const std::string arguments = "run " + quoted(examplesDir() / "ring.net") + " --models " +
                                  quoted(examplesDir() / "models") + " --csv " + quoted(csv);
    // The limit's signal ignored by the caller, and with the system's action (the tool must not
    // die of it, leaving its temporary file).
    for (const bool callerIgnoresTheSignal : {true, false}) {
        {
            axolite::test::FileSizeLimit limit(4096, callerIgnoresTheSignal); // 2000 rows take more
            EXPECT_EQ(runCli(arguments).status, 2);
        }
        EXPECT_EQ(axolite::test::readFile(csv), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
    }
    EXPECT_EQ(runCli(arguments).status, 0);
    EXPECT_EQ(axolite::test::readFile(csv).substr(0, 8), "i,x,y1,y");
}
