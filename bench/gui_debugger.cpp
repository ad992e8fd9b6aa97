// The debugger window's step: a move forward or back repaints the watch table of 50 neurons, the
// explanation of the selected value and the editor's marked lines. Measured offscreen on a
// network of 196 neurons, each fed by five others, over 2000 steps; the baseline is the same
// repaint without a move.
#include "app/debugger/debug_window.h"
#include "app/debugger/watch_panel.h"
#include "app/editor/edit_file.h"
#include "app/gui/command_ids.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "gui_main.h"

#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kNeurons = 196;
constexpr int kWatched = 50;

std::string sparseNetwork() {
    std::string text = "neurons 196;\nsimtime 0, 20;\ntimestep 0.01;\n";
    text += "initstate {neuron 1, 1;}\n";
    text += "outputlayer {\n  neuron 1, weight 1;\n  neuron 2, weight 1;\n}\n";
    text += "networklayout {\n";
    char line[96];
    for (int k = 1; k <= kNeurons; ++k) {
        for (int d = 1; d <= 5; ++d) {
            const int j = (k + d * 37) % kNeurons + 1;
            std::snprintf(line, sizeof line, "  neuron %d, neuron %d, weight %g;\n", j, k, 0.1 * d);
            text += line;
        }
    }
    text += "}\nend\n";
    return text;
}

// A frame with the network checked, simulated and open in the debugger, 50 neurons watched.
struct DebuggedNetwork {
    QTemporaryDir dir;
    std::unique_ptr<TAxoliteApp> frame;
    TAxoliteMDIChild* child = nullptr;
    TDebugWindow* window = nullptr;

    DebuggedNetwork() {
        frame = std::make_unique<TAxoliteApp>(dir.filePath(QStringLiteral("Axolite.ini")));
        frame->show();
        frame->client()->folders().models = AXOLITE_EXAMPLES_DIR "/models";
        frame->client()->folders().set = true;
        child = frame->newDescription();
        child->editor()->setPlainText(QString::fromStdString(sparseNetwork()));
        frame->client()->setActiveSubWindow(child);
        frame->execute(axolite::gui::CmCheck);
        child->checkWindow()->calculate();
        frame->client()->setActiveSubWindow(child);
        frame->execute(axolite::gui::CmDebugger);
        window = qobject_cast<TDebugWindow*>(
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmDebugger, child));
        for (int n = 1; n <= kWatched; ++n) {
            window->watches()->addWatch(n);
        }
        window->watches()->selectNeuron(0);
        window->goTo(1000);
    }

    void repaint() {
        window->watches()->table()->viewport()->repaint();
        child->editor()->viewport()->repaint();
    }
};

void BM_DebuggerStep(benchmark::State& state) {
    DebuggedNetwork network;
    if (network.window == nullptr || network.window->session() == nullptr) {
        state.SkipWithError("the network did not open in the debugger");
        return;
    }
    bool forward = true;
    for (auto _ : state) {
        forward ? network.window->forward() : network.window->back();
        forward = !forward;
        network.repaint();
    }
}
BENCHMARK(BM_DebuggerStep)->Unit(benchmark::kMillisecond);

// Baseline: the same repaint, no move.
void BM_DebuggerRepaintOnly(benchmark::State& state) {
    DebuggedNetwork network;
    for (auto _ : state) {
        network.repaint();
    }
}
BENCHMARK(BM_DebuggerRepaintOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
