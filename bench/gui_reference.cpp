// What the reference dialogs add to the engine's work, offscreen: exact values of four formulas
// and a 4 × 4 Runge-Kutta system over 10^6 grid points, each through its dialog (progress dialog,
// computation guard, event processing) against the same engine call without any window, and how
// the windows are served meanwhile: the longest gap between processed events and the time from
// "Прервать" to the end of the computation.
#include "app/gui/calculation_progress.h"
#include "app/gui/notifier.h"
#include "app/reference/accurate_solutions.h"
#include "app/reference/runge_kutta_method.h"
#include "core/reference/exact_values.h"
#include "core/reference/runge_kutta.h"
#include "gui_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>

using axolite::language::NetworkRecord;

namespace {

constexpr double kPoints = 1000000.0;

const std::array<std::string, 4> kFormulas = {"sin(x)*2+1", "exp(-x/1000000)*cos(x)", "x*x/3-x",
                                              "sqrt(x)+tg(x/7)"};

// y' = A y + e with a rotation in (y1, y2), a decay in y3 and a drive of y4.
const std::array<const char*, 25> kSystem = {
    "-0.001", "1",      "0",    "0",    "0",  // y1'
    "-1",     "-0.001", "0",    "0",    "0",  // y2'
    "0",      "0",      "-0.5", "0",    "1",  // y3'
    "0.1",    "0",      "0",    "-0.2", "0",  // y4'
    "0",      "1",      "0",    "2",    "0"}; // x0, y1(x0)..y4(x0)

// The record a completed simulation of four outputs leaves: 10^6 grid points of step 0.001.
std::unique_ptr<NetworkRecord> simulatedRecord() {
    auto record = std::make_unique<NetworkRecord>();
    record->t0 = 0.0;
    record->h = 0.001;
    record->t1 = kPoints * record->h;
    record->networkPresent = {1, 1, 1, 1};
    record->simulated = 1;
    return record;
}

std::array<std::string, axolite::reference::kSystemTextCount> systemTexts() {
    std::array<std::string, axolite::reference::kSystemTextCount> texts;
    std::copy(kSystem.begin(), kSystem.end(), texts.begin());
    return texts;
}

// Fills a dialog's fields by identifier.
void fill(QWidget& dialog, const char* id, const std::string& text) {
    dialog.findChild<QLineEdit*>(QString::fromLatin1(id))->setText(QString::fromStdString(text));
}

// The longest wait between two ticks of a 1 ms timer while the computation runs: the longest
// time the windows were not served.
class EventGap {
public:
    EventGap() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, clock_.elapsed() - last_);
            last_ = clock_.elapsed();
        });
    }
    void start() {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    qint64 stop() {
        timer_.stop();
        return std::max(longest_, clock_.elapsed() - last_);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

void BM_ExactValues_Engine(benchmark::State& state) {
    auto record = simulatedRecord();
    for (auto _ : state) {
        axolite::SilentProgress silent;
        axolite::reference::computeExactValues(*record, kFormulas, silent);
        benchmark::DoNotOptimize(record->exactSeries[3].data());
    }
}
BENCHMARK(BM_ExactValues_Engine)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine call with the progress dialog alone, without the tool dialog.
void BM_ExactValues_Progress(benchmark::State& state) {
    auto record = simulatedRecord();
    for (auto _ : state) {
        TCalculationProgress progress(record.get(), QStringLiteral("x"));
        axolite::reference::computeExactValues(*record, kFormulas, progress);
        benchmark::DoNotOptimize(record->exactSeries[3].data());
    }
}
BENCHMARK(BM_ExactValues_Progress)->Unit(benchmark::kMillisecond)->Iterations(5);

template <typename Dialog>
void throughDialog(benchmark::State& state, const std::function<void(Dialog&)>& fillIn) {
    auto record = simulatedRecord();
    EventGap gap;
    qint64 longestGap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dialog = std::make_unique<Dialog>(*record, nullptr, QString());
        fillIn(*dialog);
        dialog->show();
        QApplication::processEvents();
        gap.start();
        state.ResumeTiming();
        dialog->calculate();
        state.PauseTiming();
        longestGap = std::max(longestGap, gap.stop());
        if (record->cancelRequested != 0 || dialog->progressDialog() == nullptr) {
            state.SkipWithError("the computation did not complete");
        }
        dialog.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["event_gap_ms"] = static_cast<double>(longestGap);
}

void fillExact(TAccurateSolutions& dialog) {
    const char* const ids[4] = {"7000", "7001", "7002", "7003"};
    for (int k = 0; k < 4; ++k) {
        fill(dialog, ids[k], kFormulas[k]);
    }
}

void BM_ExactValues_Gui(benchmark::State& state) {
    throughDialog<TAccurateSolutions>(state, fillExact);
}
BENCHMARK(BM_ExactValues_Gui)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RungeKutta_Engine(benchmark::State& state) {
    auto record = simulatedRecord();
    for (auto _ : state) {
        axolite::reference::LinearSystem system =
            axolite::reference::readLinearSystem(systemTexts());
        axolite::reference::clearAbsentOutputs(system, record->networkPresent);
        axolite::SilentProgress silent;
        axolite::reference::computeRungeKutta(*record, system, silent);
        benchmark::DoNotOptimize(record->rungeKuttaSeries[3].data());
    }
}
BENCHMARK(BM_RungeKutta_Engine)->Unit(benchmark::kMillisecond)->Iterations(5);

const char* const kSystemIds[25] = {"1101", "1102", "1103", "1104", "1105", "1106", "1107",
                                    "1108", "1109", "1110", "1111", "1112", "1114", "1115",
                                    "1116", "1117", "1118", "1113", "1119", "1120", "1121",
                                    "1122", "1123", "1124", "1125"};

void fillRungeKutta(TRungeKuttaMethod& dialog) {
    // x0 (1121) shows the grid and is not typed.
    for (int i = 0; i < 25; ++i) {
        if (i != 20) {
            fill(dialog, kSystemIds[i], kSystem[static_cast<std::size_t>(i)]);
        }
    }
}

void BM_RungeKutta_Gui(benchmark::State& state) {
    throughDialog<TRungeKuttaMethod>(state, fillRungeKutta);
}
BENCHMARK(BM_RungeKutta_Gui)->Unit(benchmark::kMillisecond)->Iterations(5);

// The engine call and the dialog's computation alternately in one loop, so that both meet the
// same load of the machine: the fastest of each (the least disturbed) and their ratio.
// The calling thread's processor time in milliseconds: what the work itself costs, without the
// time the shared machine gave to other processes.
double threadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

template <typename Dialog>
void paired(benchmark::State& state, const std::function<void(Dialog&)>& fillIn,
            const std::function<void(NetworkRecord&)>& engine) {
    auto record = simulatedRecord();
    double engineWall = 1e300;
    double dialogWall = 1e300;
    double engineCpu = 1e300;
    double dialogCpu = 1e300;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        double cpu = threadMs();
        engine(*record);
        engineCpu = std::min(engineCpu, threadMs() - cpu);
        engineWall = std::min(engineWall, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        auto dialog = std::make_unique<Dialog>(*record, nullptr, QString());
        fillIn(*dialog);
        dialog->show();
        QApplication::processEvents();
        clock.restart();
        cpu = threadMs();
        dialog->calculate();
        dialogCpu = std::min(dialogCpu, threadMs() - cpu);
        dialogWall = std::min(dialogWall, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        dialog.reset();
        QApplication::processEvents();
    }
    state.counters["engine_ms"] = engineWall;
    state.counters["dialog_ms"] = dialogWall;
    state.counters["wall_ratio"] = dialogWall / engineWall;
    state.counters["engine_cpu_ms"] = engineCpu;
    state.counters["dialog_cpu_ms"] = dialogCpu;
    state.counters["cpu_ratio"] = dialogCpu / engineCpu;
}

void BM_ExactValues_Paired(benchmark::State& state) {
    paired<TAccurateSolutions>(state, fillExact, [](NetworkRecord& record) {
        axolite::SilentProgress silent;
        axolite::reference::computeExactValues(record, kFormulas, silent);
    });
}
BENCHMARK(BM_ExactValues_Paired)->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_RungeKutta_Paired(benchmark::State& state) {
    paired<TRungeKuttaMethod>(state, fillRungeKutta, [](NetworkRecord& record) {
        axolite::reference::LinearSystem system =
            axolite::reference::readLinearSystem(systemTexts());
        axolite::reference::clearAbsentOutputs(system, record.networkPresent);
        axolite::SilentProgress silent;
        axolite::reference::computeRungeKutta(record, system, silent);
    });
}
BENCHMARK(BM_RungeKutta_Paired)->Unit(benchmark::kMillisecond)->Iterations(15);

// "Прервать" pressed 20 ms into the computation: the time until the computation has returned.
template <typename Dialog>
void interruptDialog(benchmark::State& state, const std::function<void(Dialog&)>& fillIn) {
    auto record = simulatedRecord();
    double longest = 0.0;
    for (auto _ : state) {
        auto dialog = std::make_unique<Dialog>(*record, nullptr, QString());
        fillIn(*dialog);
        dialog->show();
        QApplication::processEvents();
        QElapsedTimer sincePress;
        QTimer::singleShot(20, dialog.get(), [&] {
            if (TCalculationProgress* progress = dialog->progressDialog()) {
                sincePress.start();
                progress->findChild<QPushButton*>(QStringLiteral("2"))->click();
            }
        });
        dialog->calculate();
        if (!sincePress.isValid() || record->cancelRequested == 0) {
            state.SkipWithError("the computation ended before the press");
            break;
        }
        const double ms = static_cast<double>(sincePress.nsecsElapsed()) / 1e6;
        longest = std::max(longest, ms);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["interrupt_ms_max"] = longest;
}

void BM_ExactValues_Interrupt(benchmark::State& state) {
    interruptDialog<TAccurateSolutions>(state, fillExact);
}
BENCHMARK(BM_ExactValues_Interrupt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RungeKutta_Interrupt(benchmark::State& state) {
    interruptDialog<TRungeKuttaMethod>(state, fillRungeKutta);
}
BENCHMARK(BM_RungeKutta_Interrupt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
