// axolite-cli plot: the pictures it writes are the painters' own pictures of the same run, and
// what it refuses leaves no file behind.
#include "cli_runner.h"
#include "test_support.h"

#include "core/common/progress.h"
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/reference/exact_values.h"
#include "core/reference/input_activation.h"
#include "core/reference/runge_kutta.h"
#include "core/simulation/simulation.h"
#include "render/dynamics_painter.h"
#include "render/graphs_painter.h"
#include "render/picture_files.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

namespace fs = std::filesystem;
using axolite::test::quoted;
using axolite::test::runCli;
namespace language = axolite::language;
namespace reference = axolite::reference;
namespace render = axolite::render;
namespace views = axolite::views;

// The run the plot tests draw: the ring driven by sin 3x, with exact values and the solution of
// y1' = y2, y2' = −9·y1 (y1 = sin(3x)/3, y2 = cos 3x).
const std::string kReferences = " --activate '1=sin(3*x)' --exact '1=sin(3*x)/3' "
                                "--exact '2=cos(3*x)' --rk '0 1 0 0 0; -9 0 0 0 0' --rk-init '0 1'";

std::string ring() {
    return quoted(axolite::test::examplePath("ring.net")) + " --models " +
           quoted(axolite::test::examplePath("models"));
}

// The same run in this process, through the engine's own calls.
std::unique_ptr<language::NetworkRecord> ringRun() {
    auto record = std::make_unique<language::NetworkRecord>();
    const auto text = language::readDescriptionFile(axolite::test::examplePath("ring.net"));
    EXPECT_TRUE(text);
    EXPECT_FALSE(language::lexDescription(*text, *record));
    const language::CheckResult check = language::checkDescription(*record);
    EXPECT_TRUE(check.correct);
    axolite::SilentProgress progress;
    axolite::simulation::Simulation simulation;
    simulation.prepare(*record, check);
    reference::computeInputActivation(*record, {"sin(3*x)"}, progress);
    axolite::platform::FolderSettings folders;
    folders.models = axolite::test::examplePath("models").string();
    folders.set = true;
    EXPECT_EQ(simulation.run(*record, check, progress, folders).outcome,
              axolite::simulation::Simulation::Outcome::Completed);
    reference::computeExactValues(*record, {"sin(3*x)/3", "cos(3*x)", "0.0", "0.0"}, progress);
    std::array<std::string, reference::kSystemTextCount> texts;
    texts.fill("0.0");
    texts[1] = "1";
    texts[5] = "-9";
    texts[22] = "1";
    reference::LinearSystem system = reference::readLinearSystem(texts);
    system.x0 = record->t0;
    reference::clearAbsentOutputs(system, record->networkPresent);
    reference::computeRungeKutta(*record, system, progress);
    return record;
}

QImage loaded(const fs::path& path) {
    return QImage(QString::fromStdString(path.string())).convertToFormat(QImage::Format_RGB32);
}

TEST(PlotCommand, PicturesAreThePaintersPicturesOfTheSameRun) {
    axolite::test::TempDir dir;
    const auto graphs = runCli("plot " + ring() + kReferences +
                               " --grid --grid-size 20 --height 80 --spacing 4 --stretch --from 3 "
                               "--curves y1,y2,rk1,exact2 --png " +
                               quoted(dir / "graphs.png"));
    ASSERT_EQ(graphs.status, 0) << graphs.out;
    const auto dynamics = runCli("plot " + ring() + kReferences +
                                 " --kind dynamics --final --no-marking --ratio 2 --png " +
                                 quoted(dir / "dynamics.png"));
    ASSERT_EQ(dynamics.status, 0) << dynamics.out;

    const auto record = ringRun();
    render::GraphsSettings settings;
    settings.gridShown = true;
    settings.gridSpacing = 16;
    settings.heightFactor = 0.8;
    settings.pointSpacing = 4;
    settings.mode = views::PlotMode::Stretch;
    settings.firstStep = 3;
    settings.curveShown = {{{true, true, false, false},    // network
                            {true, false, false, false},   // Runge-Kutta
                            {false, true, false, false}}}; // exact
    const QImage expected =
        render::renderImage(render::GraphsPainter::plotRect(), 1.0, [&](QPainter& p) {
            render::GraphsPainter().paint(p, record.get(), settings);
        });
    const QImage written = loaded(dir / "graphs.png");
    EXPECT_EQ(written.size(), QSize(605, 145));
    EXPECT_EQ(written, expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(settings.displayRange.value(), 1.9); // the picture drew the references too

    render::DynamicsSettings still;
    still.colourMarking = false;
    still.still = render::StillValues::Final;
    const QImage expectedDynamics =
        render::renderImage(render::DynamicsPainter::fieldRect(), 2.0, [&](QPainter& p) {
            render::DynamicsPainter::paintStill(p, record.get(), still);
        });
    const QImage writtenDynamics = loaded(dir / "dynamics.png");
    EXPECT_EQ(writtenDynamics.size(), QSize(696, 472));
    EXPECT_EQ(writtenDynamics.convertToFormat(QImage::Format_RGB32),
              expectedDynamics.convertToFormat(QImage::Format_RGB32));
}

TEST(PlotCommand, SvgAndRefusals) {
    axolite::test::TempDir dir;
    const auto svg = runCli("plot " + ring() + " --grid --svg " + quoted(dir / "plot.svg"));
    ASSERT_EQ(svg.status, 0);
    const std::string text = axolite::test::readFile(dir / "plot.svg");
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("viewBox=\"0 0 605 145\""), std::string::npos);

    // Usage errors: a first step beyond the slider (2000 steps), an unknown curve, no output file,
    // both outputs, a folder that does not exist. Refusal: a description with errors.
    const auto out = dir / "out.png";
    EXPECT_EQ(runCli("plot " + ring() + " --from 2001 --png " + quoted(out)).status, 2);
    EXPECT_EQ(runCli("plot " + ring() + " --from 2000 --png " + quoted(out)).status, 0);
    fs::remove(out);
    EXPECT_EQ(runCli("plot " + ring() + " --curves y1,z2 --png " + quoted(out)).status, 2);
    EXPECT_EQ(runCli("plot " + ring()).status, 2);
    EXPECT_EQ(runCli("plot " + ring() + " --png " + quoted(out) + " --svg " + quoted(out)).status,
              2);
    EXPECT_EQ(runCli("plot " + ring() + " --kind dynamics --step 2000 --png " + quoted(out)).status,
              2);
    EXPECT_EQ(runCli("plot " + ring() + " --png " + quoted(dir / "none" / "out.png")).status, 2);
    const auto broken = axolite::test::examplePath("errors/unclosed_brace.net");
    EXPECT_EQ(runCli("plot " + quoted(broken) + " --png " + quoted(out)).status, 1);
    EXPECT_FALSE(fs::exists(out));
}

// A copy of the tool without its drawing module beside it: a command that draws says the painters
// could not be loaded and is refused; one that draws nothing runs as ever.
TEST(PlotCommand, WithoutItsDrawingModuleTheToolRefusesToDrawAndStillRuns) {
    axolite::test::TempDir dir;
    const auto tool = dir / "axolite-cli";
    fs::copy_file(AXOLITE_CLI, tool);
    const auto out = dir / "out.png";
    const auto plot = axolite::test::runShell(quoted(tool) + " plot " + ring() + " --png " +
                                              quoted(out) + " 2>&1 >/dev/null");
    EXPECT_EQ(plot.status, 1);
    EXPECT_NE(plot.out.find("axolite-cli-pictures.so could not be loaded"), std::string::npos)
        << plot.out;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(axolite::test::runShell(quoted(tool) + " run " + ring() + " >/dev/null").status, 0);
}

TEST(PlotCommand, NeverReplacesADeviceOrAPipe) {
    axolite::test::TempDir dir;
    const auto device = dir / "null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "making a device node needs root";
    }
    const auto pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    for (const auto& target : {device, pipe}) {
        for (const char* kind : {" --png ", " --svg "}) {
            EXPECT_EQ(runCli("plot " + ring() + kind + quoted(target)).status, 2) << target;
        }
    }
    struct stat node {};
    ASSERT_EQ(::lstat(device.c_str(), &node), 0);
    EXPECT_TRUE(S_ISCHR(node.st_mode));
    ASSERT_EQ(::lstat(pipe.c_str(), &node), 0);
    EXPECT_TRUE(S_ISFIFO(node.st_mode));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 2);
}

// Every option given is used or refused: an option of the other kind of picture, --ratio with
// SVG, a ratio that is no number, a negative step; the refusals name what is wrong in a line.
TEST(PlotCommand, OptionsThatWouldGoUnusedAreRefused) {
    axolite::test::TempDir dir;
    const std::string png = " --png " + quoted(dir / "out.png");
    // Standard error joins the output here, the status stays the tool's.
    auto refusal = [&](const std::string& options) {
        return runCli("plot " + ring() + png + " " + options + " 2>&1; exit $?");
    };
    for (const std::string options :
         {"--kind dynamics --curves y9", "--kind dynamics --curves y1", "--kind dynamics --grid",
          "--kind dynamics --from 3", "--kind dynamics --height 40", "--final",
          "--step 3 --kind graphs", "--no-marking", "--ratio nan", "--ratio 5"}) {
        const auto run = refusal(options);
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_EQ(run.out.find("Шагов"), std::string::npos) << options; // nothing was run
    }
    EXPECT_EQ(runCli("plot " + ring() + " --ratio 2 --svg " + quoted(dir / "out.svg")).status, 2);
    for (const std::string options : {"--from -1", "--kind dynamics --step -1"}) {
        const auto run = refusal(options);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.out.find("a step may not be negative"), std::string::npos) << run.out;
        EXPECT_LT(run.out.size(), 200u) << run.out;
    }
    EXPECT_FALSE(fs::exists(dir / "out.png"));
    EXPECT_FALSE(fs::exists(dir / "out.svg"));

    // A run of no steps (interval 1, step 2) has no step to show.
    axolite::test::writeFile(dir / "short.net",
                             "neurons 2;\nsimtime 0, 1;\ntimestep 2;\n"
                             "outputlayer {neuron 1, weight 1;}\n"
                             "networklayout {neuron 1, neuron 2, weight 0.5;}\nend\n");
    const auto noSteps = runCli("plot " + quoted(dir / "short.net") + " --models " +
                                quoted(axolite::test::examplePath("models")) + png +
                                " --kind dynamics --step 0" + " 2>&1; exit $?");
    EXPECT_EQ(noSteps.status, 2);
    EXPECT_NE(noSteps.out.find("--step: the run has no steps\n"), std::string::npos) << noSteps.out;
}

} // namespace
