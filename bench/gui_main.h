// The main function of the desktop program's benchmarks: an offscreen application with message
// boxes captured, set up as the program sets itself up, then Google Benchmark.
#pragma once

#include "app/gui/notifier.h"
#include "app/shell/memory_reuse.h"

#include <QApplication>

#include <benchmark/benchmark.h>

inline int runGuiBenchmarks(int argc, char** argv) {
    // As the program does at its start.
    axolite::shell::keepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    Notifier::instance().setCapturing(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
