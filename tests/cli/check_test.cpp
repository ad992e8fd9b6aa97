// axolite-cli lex and check, run as a user runs them: the golden folders (input.net and the
// expected output) and the machine-readable forms.
#include "cli_runner.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using axolite::test::CliRun;
using axolite::test::quoted;
using axolite::test::runCli;

fs::path goldenCheckDir() {
    return fs::path(AXOLITE_GOLDEN_DIR) / "check";
}

TEST(CheckCommand, GoldenFolders) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(goldenCheckDir())) {
        if (!entry.is_directory()) {
            continue;
        }
        ++cases;
        const fs::path dir = entry.path();
        const CliRun run = runCli("check " + quoted(dir / "input.net"));
        const std::string expected = axolite::test::golden(dir / "expected.txt", run.out);
        EXPECT_EQ(run.out, expected) << dir.filename();
        const bool correct = expected.find("Результат : правильно\n") != std::string::npos;
        EXPECT_EQ(run.status, correct ? 0 : 1) << dir.filename();
    }
    EXPECT_GE(cases, 10);
}

TEST(CheckCommand, JsonOfTheMinimalDescription) {
    const CliRun run =
        runCli("check " + quoted(goldenCheckDir() / "minimal" / "input.net") + " --json");
    ASSERT_EQ(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["correct"], true);
    EXPECT_EQ(json["abandoned"], false);
    EXPECT_EQ(json["lines"], 6);
    EXPECT_EQ(json["errors"], 0);
    EXPECT_EQ(json["warnings"], 10);
    EXPECT_EQ(json["rows"].size(), 10u);
    EXPECT_EQ(json["rows"][0]["kind"], "Предупреждение");
    EXPECT_EQ(json["rows"][0]["line"], 6);
    EXPECT_EQ(json["rows"][0]["text"], "Пропущен оператор INITSTATE");
    EXPECT_TRUE(json["messages"].empty());
    EXPECT_EQ(json["neurons"], 2);
    EXPECT_EQ(json["t0"], 0.0);
    EXPECT_EQ(json["t1"], 1.0);
    EXPECT_EQ(json["h"], 0.1);
    EXPECT_TRUE(json["inputlayer"].empty());
    EXPECT_EQ(json["outputs"], nlohmann::json::array({0}));
    EXPECT_EQ(json["initstate_count"], 0);
}

TEST(CheckCommand, JsonListsLayersAndMessageBoxes) {
    CliRun run = runCli("check " + quoted(goldenCheckDir() / "complete" / "input.net") + " --json");
    auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["inputlayer"], nlohmann::json::array({1}));
    EXPECT_EQ(json["outputs"], nlohmann::json::array({2}));
    EXPECT_EQ(json["initstate_count"], 3);

    run = runCli("check " + quoted(goldenCheckDir() / "five_outputs" / "input.net") + " --json");
    EXPECT_EQ(run.status, 1);
    json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["messages"].size(), 1u);
    EXPECT_EQ(json["messages"][0]["icon"], "error");
    EXPECT_EQ(json["outputs"], nlohmann::json::array({0, 1, 2, 3}));

    run = runCli("check " + quoted(goldenCheckDir() / "unfinished" / "input.net") + " --json");
    json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["messages"].back()["icon"], "warning");
    EXPECT_EQ(json["messages"].back()["text"], "Нераспознаваемая ошибка описания нейронной сети.");

    run = runCli("check " + quoted(goldenCheckDir() / "sixty_errors" / "input.net") + " --json");
    json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["abandoned"], true);
    EXPECT_EQ(json["errors"], 50);
}

TEST(CheckCommand, EmptyDescriptionIsNotDescribed) {
    const CliRun run =
        runCli("check " + quoted(goldenCheckDir() / "empty" / "input.net") + " --json");
    EXPECT_EQ(run.status, 1);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["correct"], false);
    ASSERT_EQ(json["messages"].size(), 1u);
    EXPECT_EQ(json["messages"][0]["icon"], "information");
    EXPECT_EQ(json["messages"][0]["text"], "Нейронная сеть не описана.");
}

TEST(CheckCommand, UsageAndUnreadableFiles) {
    EXPECT_EQ(runCli("check").status, 2);
    EXPECT_EQ(runCli("check /nonexistent/file.net").status, 2);
    EXPECT_EQ(runCli("lex /nonexistent/file.net --json").status, 2);
    const std::string command = std::string("'") + AXOLITE_CLI + "' check /nonexistent/x.net 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[512] = {};
    const std::size_t n = fread(buffer, 1, sizeof buffer - 1, pipe);
    pclose(pipe);
    EXPECT_EQ(std::string(buffer, n), "Невозможно прочитать файл /nonexistent/x.net\n");
}

TEST(CheckCommand, OutputThatCannotBeWrittenFails) {
    const std::string net = quoted(goldenCheckDir() / "minimal" / "input.net");
    EXPECT_EQ(runCli("check " + net + " >/dev/full").status, 2);
    EXPECT_EQ(runCli("check --json " + net + " >/dev/full").status, 2);
    EXPECT_EQ(runCli("lex " + net + " >/dev/full").status, 2);
    EXPECT_EQ(runCli("check " + net + " >/dev/null").status, 0);
}

TEST(LexCommand, JsonTokens) {
    const axolite::test::TempDir dir;
    axolite::test::writeFile(dir / "a.net", "neurons 0;\n{x 1e999}\nend");
    const CliRun run = runCli("lex " + quoted(dir / "a.net") + " --json");
    ASSERT_EQ(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["total"], 12 + 11 + 5);
    EXPECT_EQ(json["capacity"], 10 + 9 + 4);
    const auto expected = nlohmann::json::parse(
        "[[65501,1],[65500,0],[65516,1],[65520,1],[65512,1],[65517,1],[65517,1],[65520,1]]");
    ASSERT_EQ(json["tokens"].size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(json["tokens"][i][0].get<double>(), expected[i][0].get<double>()) << i;
        EXPECT_EQ(json["tokens"][i][1], expected[i][1]) << i;
    }
}

TEST(LexCommand, ReadableListing) {
    const CliRun run = runCli("lex " + quoted(goldenCheckDir() / "minimal" / "input.net"));
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("0\t65501\t1\tneurons\n"), std::string::npos);
    EXPECT_NE(run.out.find("5\t65500\t0\tzero\n"), std::string::npos);
}

} // namespace
