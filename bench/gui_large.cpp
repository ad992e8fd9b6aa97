// A description at the limits of memory in the desktop program, offscreen: opened into a
// description window, and opened and checked. The file is the one AXOLITE_LARGE_FILE names, or
// 30 MB of empty lines made for the run. One iteration each: run one benchmark at a time under
// `/usr/bin/time -v` for the peak of the program's memory, e.g.
//   AXOLITE_LARGE_FILE=big.net /usr/bin/time -v bench_gui_large --benchmark_filter=Open_
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "gui_main.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

QString largeFile() {
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = qEnvironmentVariable("AXOLITE_LARGE_FILE");
    }
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("large.net"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            const std::string lines(30'000'000, '\n');
            file.write(lines.data(), static_cast<qint64>(lines.size()));
        }
    }
    return path;
}

void openLarge(benchmark::State& state, bool check) {
    static QTemporaryDir settings;
    const QString file = largeFile();
    auto frame = std::make_unique<TAxoliteApp>(settings.filePath(QStringLiteral("Axolite.ini")));
    frame->show();
    for (auto _ : state) {
        TAxoliteMDIChild* child = frame->openDescription(file);
        if (check && child != nullptr) {
            frame->checkDescription(child);
        }
        QApplication::processEvents();
        benchmark::DoNotOptimize(child);
        state.PauseTiming();
        delete child;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_Open_Gui(benchmark::State& state) {
    openLarge(state, false);
}
BENCHMARK(BM_Open_Gui)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OpenCheck_Gui(benchmark::State& state) {
    openLarge(state, true);
}
BENCHMARK(BM_OpenCheck_Gui)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
