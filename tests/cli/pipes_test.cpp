// axolite-cli in pipes: "-" and process substitutions as input files, and a reader that stops
// early.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using axolite::test::quoted;

fs::path example(const std::string& name) {
    return fs::path(AXOLITE_EXAMPLES_DIR) / name;
}

// Runs a bash script in a folder of its own, $CLI naming the tool; returns its exit status and
// output.
axolite::test::CliRun bash(const std::string& script) {
    axolite::test::TempDir dir;
    axolite::test::writeFile(dir / "script.sh", "cd " + quoted(dir.path()) +
                                                    "\nCLI=" + quoted(AXOLITE_CLI) + "\n" + script);
    axolite::test::CliRun run;
    const std::string command = "bash " + quoted(dir / "script.sh") + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t n = 0;
    while (pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

TEST(Pipes, StandardInputAndProcessSubstitutionsReadLikeTheFile) {
    const std::string ring = quoted(example("ring.net"));
    const auto fromFile = axolite::test::runCli("check " + ring);
    ASSERT_EQ(fromFile.status, 0);
    EXPECT_EQ(bash("$CLI check - < " + ring), fromFile);
    EXPECT_EQ(bash("cat " + ring + " | $CLI check -"), fromFile);
    EXPECT_EQ(bash("$CLI check <(cat " + ring + ")"), fromFile);
    EXPECT_EQ(bash("$CLI lex <(cat " + ring + ")"), axolite::test::runCli("lex " + ring));

    // run: models from the current folder (a stream has no folder of its own).
    const auto run = bash("cd " + quoted(example("models")) + " && cat " + ring + " | $CLI run -");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, axolite::test::runCli("run " + ring).out);
    // An empty stream is an empty description.
    EXPECT_EQ(bash("$CLI check - </dev/null").status, 1);
}

// explain prints description lines: they are the lines of the stream it ran, read once, not
// those of a file that happens to be named "-".
TEST(Pipes, ExplainShowsTheLinesOfTheStreamItRan) {
    const std::string ring = quoted(example("ring.net"));
    const std::string options = " --models " + quoted(example("models")) + " --neuron 3 --step 57";
    const auto fromFile = axolite::test::runCli("explain " + ring + options);
    ASSERT_EQ(fromFile.status, 0);
    ASSERT_NE(fromFile.out.find("[строка 28:   neuron 2, neuron 3, weight 0.9;]"),
              std::string::npos);
    EXPECT_EQ(bash("$CLI explain -" + options + " < " + ring), fromFile);
    EXPECT_EQ(bash("echo unrelated > ./-; $CLI explain -" + options + " < " + ring), fromFile);
    EXPECT_EQ(bash("$CLI explain <(cat " + ring + ")" + options), fromFile);
    EXPECT_EQ(bash("mkfifo f; cat " + ring + " > f & $CLI explain f" + options), fromFile);
}

// Standard input that cannot be read is no empty input: the readers' messages, status 2.
TEST(Pipes, AReadErrorOnStandardInputIsReported) {
    EXPECT_EQ(bash("$CLI check - < /tmp 2>&1"),
              (axolite::test::CliRun{2, "Невозможно прочитать файл -\n"}));
    EXPECT_EQ(bash("$CLI lex - < /tmp").status, 2);
    EXPECT_EQ(bash("$CLI train --input - --patterns 4 --input-layer 2 --iterations 5 < /tmp 2>&1"),
              (axolite::test::CliRun{2, "Файл - не существует или поврежден.\n"}));
}

TEST(Pipes, PatternFilesFromStreamsTrainAsFromFiles) {
    const std::string common = " --patterns 4 --input-layer 2 --hidden 4 --output-layer 1:sigmoid"
                               " --iterations 300 --rate 0.5 --seed 7 --json";
    const std::string input = quoted(example("xor_input.ptn"));
    const std::string target = quoted(example("xor_target.ptn"));
    const auto fromFiles =
        axolite::test::runCli("train --input " + input + " --target " + target + common);
    ASSERT_EQ(fromFiles.status, 0);
    EXPECT_EQ(bash("$CLI train --input - --target <(cat " + target + ")" + common + " < " + input),
              fromFiles);
    // The same stream for both: read once, both tables from it (the input's numbers).
    const auto same = bash("$CLI train --input - --target -" + common + " < " + input);
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same,
              axolite::test::runCli("train --input " + input + " --target " + input + common));
}

TEST(Pipes, AReaderThatStopsEarlyEndsTheCommandQuietly) {
    const std::string ring = quoted(example("ring.net"));
    const std::string models = " --models " + quoted(example("models"));
    // A long output into a reader that reads one line: the tool's own status, nothing on
    // standard error.
    const auto head = bash("set -o pipefail; $CLI run " + ring + models +
                           " --json --series 2>err | head -1 >/dev/null; echo $?; cat err");
    EXPECT_EQ(head.out, "0\n");
    const auto refused = bash("set -o pipefail; $CLI run " + quoted(example("ring.net")) +
                              " --models /nonexistent 2>err | head -c1 >/dev/null; echo $?");
    EXPECT_EQ(refused.out, "2\n");
    // A full device is still a failure.
    EXPECT_EQ(bash("$CLI run " + ring + models + " >/dev/full").status, 2);
}
