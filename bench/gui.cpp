// What the desktop program adds to the engine's work, measured offscreen: the whole way from a
// 1 MB description of 196 fully connected neurons on disk to its simulation over 10^5 steps
// (open, check, "Посчитать ..."), its parts (opening and checking; the run with its progress
// dialog), each against the same engine calls without any window; and the time to a usable main
// window.
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "core/common/progress.h"
#include "core/language/checker.h"
#include "core/language/description_text.h"
#include "core/language/lexer.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/simulation.h"
#include "gui_main.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kNeurons = 196;

// A fully connected network of 196 neurons, one connection per line (about 1.2 MB of text),
// simulated over the interval [0, t1) with step 0.01.
std::string fullNetwork(double t1) {
    std::string text = "// 196 neurons, every pair connected\n";
    text += "neurons 196;\n";
    text += "simtime 0, " + std::to_string(t1) + ";\n";
    text += "timestep 0.01;\n";
    text += "initstate {neuron 1, 1;}\n";
    text += "outputlayer {\n  neuron 1, weight 1;\n  neuron 2, weight 1;\n}\n";
    text += "networklayout {\n";
    char line[96];
    for (int k = 1; k <= kNeurons; ++k) {
        for (int j = 1; j <= kNeurons; ++j) {
            std::snprintf(line, sizeof line, "  neuron %d, neuron %d, weight %g;\n", k, j,
                          0.0005 * ((k + j) % 7 + 1));
            text += line;
        }
    }
    text += "}\nend\n";
    return text;
}

struct Fixture {
    QTemporaryDir dir;
    QString checkFile;
    QString runFile;
    QString millionFile;
    axolite::platform::FolderSettings folders;

    Fixture() {
        checkFile = dir.filePath(QStringLiteral("check.net"));
        runFile = dir.filePath(QStringLiteral("run.net"));
        write(checkFile, fullNetwork(1.0));
        write(runFile, fullNetwork(1000.0)); // 10^5 steps
        millionFile = dir.filePath(QStringLiteral("million.net"));
        write(millionFile, fullNetwork(10000.0)); // 10^6 steps
        folders.models = AXOLITE_EXAMPLES_DIR "/models";
        folders.set = true;
    }
    static void write(const QString& path, const std::string& text) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text.data(), static_cast<qint64>(text.size()));
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::unique_ptr<TAxoliteApp> makeFrame() {
    auto frame =
        std::make_unique<TAxoliteApp>(fixture().dir.filePath(QStringLiteral("Axolite.ini")));
    frame->client()->folders() = fixture().folders;
    frame->show();
    return frame;
}

// What the check window does with the lines of a description: lex, check, and prepare the run
// of a correct one.
void checkLines(const std::vector<std::string>& lines) {
    axolite::language::NetworkRecord record;
    auto message = axolite::language::lexDescription(lines, record);
    auto check = axolite::language::checkDescription(record);
    axolite::simulation::Simulation simulation;
    if (check.correct) {
        simulation.prepare(record, check);
    }
    benchmark::DoNotOptimize(message);
    benchmark::DoNotOptimize(check.correct);
}

// Engine only: read the file, then check as above.
void openCheckEngine(benchmark::State& state, const QString& file) {
    const auto path = std::filesystem::path(file.toStdString());
    for (auto _ : state) {
        checkLines(axolite::language::readDescriptionFile(path)->lineList());
    }
}

// Through the frame: open into an editor window, check command, check window, events processed
// until the windows are drawn.
void openCheckGui(benchmark::State& state, const QString& file) {
    auto frame = makeFrame();
    for (auto _ : state) {
        TAxoliteMDIChild* child = frame->openDescription(file);
        frame->checkDescription(child);
        QApplication::processEvents();
        benchmark::DoNotOptimize(child->checkWindow()->correct());
        state.PauseTiming();
        delete child;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_OpenCheck_Engine(benchmark::State& state) {
    openCheckEngine(state, fixture().checkFile);
}
BENCHMARK(BM_OpenCheck_Engine)->Unit(benchmark::kMillisecond);

void BM_OpenCheck_Gui(benchmark::State& state) {
    openCheckGui(state, fixture().checkFile);
}
BENCHMARK(BM_OpenCheck_Gui)->Unit(benchmark::kMillisecond);

// The same for a description of six lines: what the windows cost whatever the text's length.
QString smallDescription() {
    const QString file = fixture().dir.filePath(QStringLiteral("small.net"));
    Fixture::write(file, "neurons 2;\nsimtime 0, 1;\ntimestep 0.1;\n"
                         "outputlayer {neuron 1, weight 1;}\n"
                         "networklayout {neuron 1, neuron 2, weight 1;}\nend\n");
    return file;
}

void BM_OpenCheckSmall_Engine(benchmark::State& state) {
    openCheckEngine(state, smallDescription());
}
BENCHMARK(BM_OpenCheckSmall_Engine)->Unit(benchmark::kMillisecond);

void BM_OpenCheckSmall_Gui(benchmark::State& state) {
    openCheckGui(state, smallDescription());
}
BENCHMARK(BM_OpenCheckSmall_Gui)->Unit(benchmark::kMillisecond);

// The two halves of the large open and check: the check command on an open window, and the
// engine's check of lines already read.
void BM_Check_Engine(benchmark::State& state) {
    const auto path = std::filesystem::path(fixture().checkFile.toStdString());
    const auto text = axolite::language::readDescriptionFile(path);
    for (auto _ : state) {
        checkLines(text->lineList());
    }
}
BENCHMARK(BM_Check_Engine)->Unit(benchmark::kMillisecond);

void BM_Check_Gui(benchmark::State& state) {
    auto frame = makeFrame();
    TAxoliteMDIChild* child = frame->openDescription(fixture().checkFile);
    for (auto _ : state) {
        frame->checkDescription(child);
        QApplication::processEvents();
        benchmark::DoNotOptimize(child->checkWindow()->correct());
        state.PauseTiming();
        child->checkWindow()->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Check_Gui)->Unit(benchmark::kMillisecond);

void BM_Open_Gui(benchmark::State& state) {
    auto frame = makeFrame();
    for (auto _ : state) {
        TAxoliteMDIChild* child = frame->openDescription(fixture().checkFile);
        QApplication::processEvents();
        state.PauseTiming();
        delete child;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open_Gui)->Unit(benchmark::kMillisecond);

// The same with the active description window maximised: the new window opens maximised.
void BM_Open_GuiMaximized(benchmark::State& state) {
    auto frame = makeFrame();
    TAxoliteMDIChild* first = frame->newDescription();
    for (auto _ : state) {
        state.PauseTiming();
        first->showMaximized();
        QApplication::processEvents();
        state.ResumeTiming();
        TAxoliteMDIChild* child = frame->openDescription(fixture().checkFile);
        QApplication::processEvents();
        state.PauseTiming();
        state.counters["maximized"] = child->isMaximized() ? 1 : 0;
        delete child;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open_GuiMaximized)->Unit(benchmark::kMillisecond);

// A description checked and prepared as the check window leaves it, ready for its run.
struct PreparedRun {
    axolite::language::NetworkRecord record;
    axolite::language::CheckResult check;
    axolite::simulation::Simulation simulation;

    explicit PreparedRun(const std::vector<std::string>& lines) {
        axolite::language::lexDescription(lines, record);
        check = axolite::language::checkDescription(record);
        simulation.prepare(record, check);
    }
    // "Посчитать ..." without a window.
    void run(benchmark::State& state) {
        axolite::SilentProgress progress;
        const auto result = simulation.run(record, check, progress, fixture().folders);
        if (result.outcome != axolite::simulation::Simulation::Outcome::Completed) {
            state.SkipWithError("the simulation did not complete");
        }
    }
};

void BM_Simulate_Engine(benchmark::State& state) {
    const auto path = std::filesystem::path(fixture().runFile.toStdString());
    auto text = axolite::language::readDescriptionFile(path);
    for (auto _ : state) {
        state.PauseTiming();
        auto prepared = std::make_unique<PreparedRun>(text->lineList());
        state.ResumeTiming();
        prepared->run(state);
        state.counters["steps"] = prepared->simulation.steps();
    }
}
BENCHMARK(BM_Simulate_Engine)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole way: read, check, prepare and run 10^5 steps.
void BM_OpenCheckSimulate_Engine(benchmark::State& state) {
    const auto path = std::filesystem::path(fixture().runFile.toStdString());
    for (auto _ : state) {
        PreparedRun prepared(axolite::language::readDescriptionFile(path)->lineList());
        prepared.run(state);
    }
}
BENCHMARK(BM_OpenCheckSimulate_Engine)->Unit(benchmark::kMillisecond)->Iterations(3);

// Open, check command, "Посчитать ..." through the frame, events processed until the windows are
// drawn; the timing is paused on return.
TAxoliteMDIChild* openCheckSimulate(TAxoliteApp& frame, const QString& file,
                                    benchmark::State& state) {
    TAxoliteMDIChild* child = frame.openDescription(file);
    frame.checkDescription(child);
    QApplication::processEvents();
    child->checkWindow()->calculate();
    QApplication::processEvents();
    state.PauseTiming();
    if (child->record().simulated == 0) {
        state.SkipWithError("the simulation did not complete");
    }
    return child;
}

// The same through the frame: open into a description window, check command, check window,
// "Посчитать ..." with the progress dialog, events processed until the windows are drawn.
void BM_OpenCheckSimulate_Gui(benchmark::State& state) {
    auto frame = makeFrame();
    for (auto _ : state) {
        TAxoliteMDIChild* child = openCheckSimulate(*frame, fixture().runFile, state);
        delete child;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenCheckSimulate_Gui)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Посчитать ..." in the check window: the same run with the progress dialog processing events.
void BM_Simulate_Gui(benchmark::State& state) {
    auto frame = makeFrame();
    TAxoliteMDIChild* child = frame->openDescription(fixture().runFile);
    for (auto _ : state) {
        state.PauseTiming();
        frame->checkDescription(child);
        TTranslateDialog* check = child->checkWindow();
        QApplication::processEvents();
        state.ResumeTiming();
        check->calculate();
        state.PauseTiming();
        if (child->record().simulated == 0) {
            state.SkipWithError("the simulation did not complete");
        }
        if (TCalculationProgress* progress = check->progressDialog()) {
            progress->close();
        }
        check->close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Simulate_Gui)->Unit(benchmark::kMillisecond)->Iterations(3);

// The peak memory of the process so far (VmHWM of /proc/self/status), in MiB.
double peakMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0.0;
}

// Open, check and "Посчитать ..." of the 196 neurons over 10^6 steps through the frame, once:
// the time, the peak memory of the process (run it alone with --benchmark_filter) and the
// record's two neuron histories, each 196 x 10^6 doubles.
void BM_OpenCheckSimulateMillion_Gui(benchmark::State& state) {
    auto frame = makeFrame();
    for (auto _ : state) {
        TAxoliteMDIChild* child = openCheckSimulate(*frame, fixture().millionFile, state);
        state.counters["histories_MiB"] =
            2.0 * kNeurons * child->record().steps * sizeof(double) / (1024.0 * 1024.0);
        state.counters["peak_MiB"] = peakMiB();
        delete child;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenCheckSimulateMillion_Gui)->Unit(benchmark::kMillisecond)->Iterations(1);

// From nothing to a shown main window with its menus, toolbar and commands.
void BM_StartUp(benchmark::State& state) {
    for (auto _ : state) {
        auto frame = makeFrame();
        QApplication::processEvents();
        benchmark::DoNotOptimize(frame.get());
        state.PauseTiming();
        frame.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The editor's text as the lexer reads it (code page 1251 lines).
void BM_Lines_Gui(benchmark::State& state) {
    auto frame = makeFrame();
    TAxoliteMDIChild* child = frame->openDescription(fixture().checkFile);
    for (auto _ : state) {
        // A fresh copy each time: the editor keeps the lines of an unchanged text.
        child->editor()->setPlainText(child->editor()->rawText());
        auto lines = child->editor()->linesCp1251();
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_Lines_Gui)->Unit(benchmark::kMillisecond);

QString checkFileText() {
    QFile file(fixture().checkFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A bare editor set up as the description editor is ("Courier" 15 pixels, no wrapping, the
// window's size), shown; made and destroyed outside the measured time.
std::unique_ptr<QPlainTextEdit> bareEditor(benchmark::State& state) {
    state.PauseTiming();
    auto editor = std::make_unique<QPlainTextEdit>();
    QFont font(QStringLiteral("Courier"));
    font.setPixelSize(15);
    editor->setFont(font);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->resize(560, 380);
    editor->show();
    QApplication::processEvents();
    state.ResumeTiming();
    return editor;
}

// Baselines of the open, the text put into a bare editor: with its own setPlainText, and the
// way the description editor does it (the document takes the text, undo off). The second is
// the floor of any editor that holds the text as Qt's document of one block per line.
void BM_EditorSetText(benchmark::State& state) {
    const QString text = checkFileText();
    for (auto _ : state) {
        auto editor = bareEditor(state);
        editor->setPlainText(text);
        QApplication::processEvents();
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorSetText)->Unit(benchmark::kMillisecond);

void BM_EditorFill(benchmark::State& state) {
    const QString text = checkFileText();
    for (auto _ : state) {
        auto editor = bareEditor(state);
        editor->document()->setUndoRedoEnabled(false);
        editor->document()->setPlainText(text);
        editor->document()->setUndoRedoEnabled(true);
        QApplication::processEvents();
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorFill)->Unit(benchmark::kMillisecond);

// Qt's document alone, without any view: building its blocks.
void BM_DocumentFill(benchmark::State& state) {
    const QString text = checkFileText();
    for (auto _ : state) {
        auto document = std::make_unique<QTextDocument>();
        document->setUndoRedoEnabled(false);
        document->setPlainText(text);
        benchmark::DoNotOptimize(document->blockCount());
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DocumentFill)->Unit(benchmark::kMillisecond);

// A key typed into a description of 10^6 lines, in its middle, until the window is drawn again:
// the colours are worked out for the lines in view only, however long the text.
void BM_KeyInMillionLines_Gui(benchmark::State& state) {
    const QString file = fixture().dir.filePath(QStringLiteral("million.net"));
    std::string text = "neurons 2;\nsimtime 0, 1;\ntimestep 0.1;\nnetworklayout {\n";
    for (int i = 0; i < 1000000; ++i) {
        text += "  neuron 1, neuron 2, weight 0.5;\n";
    }
    text += "}\nend\n";
    Fixture::write(file, text);
    auto frame = makeFrame();
    TAxoliteMDIChild* child = frame->openDescription(file);
    TAxoliteEditFile* editor = child->editor();
    const qsizetype middle = static_cast<qsizetype>(text.size() / 2);
    editor->setSelection(middle, middle);
    editor->setFocus();
    QApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(editor, &press);
        editor->viewport()->repaint();
    }
    delete child;
    QApplication::processEvents();
}
BENCHMARK(BM_KeyInMillionLines_Gui)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
