// The README's commands without a display, run as a reader would run them (from a folder holding
// the examples), each checked for the result its comment promises.
#include "cli_runner.h"
#include "test_support.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Command {
    std::string comment;
    std::string text;
};

// The commands of the README's block "Without a display", each with the comment above it.
std::vector<Command> readmeCommands() {
    std::ifstream readme(AXOLITE_README);
    std::string line;
    while (std::getline(readme, line) && line != "## Without a display") {
    }
    while (std::getline(readme, line) && line != "```sh") {
    }
    std::vector<Command> commands;
    Command current;
    while (std::getline(readme, line) && line != "```") {
        if (line.starts_with("#")) {
            current.comment += line + "\n";
            continue;
        }
        current.text += line;
        if (!line.empty() && line.back() == '\\') {
            current.text.pop_back();
            continue;
        }
        commands.push_back(current);
        current = {};
    }
    return commands;
}

using Run = axolite::test::CliRun;

// The command in the folder, the tool's path as the build has it.
Run runIn(const fs::path& folder, std::string command) {
    const std::string tool = "build/src/cli/axolite-cli";
    const std::string built = AXOLITE_CLI;
    for (std::size_t at = command.find(tool); at != std::string::npos;
         at = command.find(tool, at + built.size())) {
        command.replace(at, tool.size(), built);
    }
    return axolite::test::runShell("cd '" + folder.string() + "' && { " + command + "; } 2>&1");
}

// The number after the text on its line.
double numberAfter(const std::string& out, const std::string& text) {
    const std::size_t at = out.find(text);
    return at == std::string::npos ? std::nan("") : std::stod(out.substr(at + text.size()));
}

// Pixels of a clearly red colour: the mean squared error's curve.
int redPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 150 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
        }
    }
    return count;
}

using Check = std::function<void(const Run&, const fs::path&)>;

void correct(const Run& run, const fs::path&) {
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Результат : правильно"), std::string::npos) << run.out;
}

// What each command of the block shows, in the block's order.
const std::vector<Check> kChecks = {
    correct,
    [](const Run& run, const fs::path&) {
        EXPECT_EQ(run.status, 0);
        const double error = numberAfter(run.out, "Работы нейроннной сети : ");
        EXPECT_GT(error, 0.04) << run.out;
        EXPECT_LT(error, 0.06) << run.out;
    },
    correct,
    [](const Run& run, const fs::path& folder) {
        EXPECT_EQ(run.status, 0);
        int rows = 0;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            const std::size_t tab = line.rfind('\t');
            if (line.ends_with("%") && tab != std::string::npos) {
                ++rows;
                EXPECT_LT(std::fabs(std::stod(line.substr(tab + 1))), 10.0) << line;
            }
        }
        EXPECT_EQ(rows, 4) << run.out;
        const QImage curve(QString::fromStdString((folder / "curve.png").string()));
        ASSERT_FALSE(curve.isNull());
        EXPECT_GT(redPixels(curve), 200);
    },
    [](const Run& run, const fs::path& folder) {
        EXPECT_EQ(run.status, 0);
        const QImage picture(QString::fromStdString((folder / "ring.png").string()));
        EXPECT_EQ(picture.size(), QSize(605, 145));
    },
    [](const Run& run, const fs::path&) {
        EXPECT_EQ(run.status, 0);
        // h, steps, the network's error and order, Runge-Kutta's error and order.
        const std::regex row(R"(\n\s*[0-9.e-]+\s+\d+\s+\S+\s+([0-9.]+)\s+\S+\s+([0-9.]+))");
        int rows = 0;
        for (auto it = std::sregex_iterator(run.out.begin(), run.out.end(), row);
             it != std::sregex_iterator(); ++it, ++rows) {
            EXPECT_NEAR(std::stod((*it)[1]), 1.0, 0.05) << run.out;
            EXPECT_NEAR(std::stod((*it)[2]), 4.0, 0.1) << run.out;
        }
        EXPECT_EQ(rows, 4) << run.out;
    },
    [](const Run& run, const fs::path&) {
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Значение: 0.8456705645316805"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("[строка 23: neuron 1, neuron 1, weight 1;]"), std::string::npos);
    },
    [](const Run& run, const fs::path&) {
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.out.find("Условие 1 выполнено на шаге 1 (x = 0.1): n3 > 0.5"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("смена знака"), std::string::npos) << run.out;
    },
};

TEST(ReadmeCommands, EachGivesTheResultItsCommentTells) {
    const auto commands = readmeCommands();
    ASSERT_EQ(commands.size(), kChecks.size()) << "a command of the README without its check";
    axolite::test::TempDir folder;
    fs::create_directory_symlink(AXOLITE_EXAMPLES_DIR, folder / "examples");
    for (std::size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(commands[i].comment + commands[i].text);
        EXPECT_FALSE(commands[i].comment.empty());
        kChecks[i](runIn(folder.path(), commands[i].text), folder.path());
    }
}

} // namespace
