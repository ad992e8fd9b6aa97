// The main function of the desktop program's benchmarks: the memory policy of the program, an
// offscreen QApplication and message boxes captured instead of shown.
#pragma once

#include "gui/notifier.h"
#include "shell/memory_reuse.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
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
