// The result views on a description of 10^6 steps with all twelve series, offscreen: opening the
// numeric view (its list of a million entries, the estimates) and scrolling it, repainting the
// graphs view, and a dynamics replay of 10^5 steps at stride 1 in the faster mode (frames per
// second). Run: build/bench/bench_views --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true
#include "app/gui/description_window.h"
#include "app/views/dynamics_view.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "core/views/series.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

using axolite::language::SeriesFamily;

class Description : public DescriptionWindow {
public:
    explicit Description(std::int32_t steps) {
        record_.t0 = 0.0;
        record_.h = 0.001;
        record_.t1 = steps * 0.001;
        record_.steps = axolite::views::gridPointCount(record_);
        record_.simulated = 1;
        const auto n = static_cast<std::size_t>(record_.steps);
        for (int k = 0; k < axolite::language::kOutputCount; ++k) {
            fill(SeriesFamily::Network, record_.outputSeries[k], record_.networkPresent[k], k, n,
                 0.0);
            fill(SeriesFamily::RungeKutta, record_.rungeKuttaSeries[k],
                 record_.rungeKuttaPresent[k], k, n, 0.01);
            fill(SeriesFamily::Exact, record_.exactSeries[k], record_.exactPresent[k], k, n, 0.02);
        }
    }
    axolite::language::NetworkRecord& record() override { return record_; }
    const axolite::language::NetworkRecord& record() const override { return record_; }
    const QString& path() const override { return path_; }
    QString displayName() const override { return path_; }
    bool computing() const override { return false; }

private:
    void fill(SeriesFamily family, std::vector<double>& series, std::uint8_t& present, int k,
              std::size_t n, double shift) {
        series.resize(n);
        for (std::size_t j = 0; j < n; ++j) {
            series[j] = std::sin(1e-4 * static_cast<double>(j) + k) + shift;
        }
        present = 1;
        record_.stats(family, k) = axolite::views::seriesStatistics(series);
    }

    axolite::language::NetworkRecord record_;
    QString path_ = QStringLiteral("/tmp/large.net");
};

Description& million() {
    static Description description(1000000);
    return description;
}

// Set-up, first layout and paint of the numeric view of 10^6 steps, and its closing.
void BM_NumericViewOpen(benchmark::State& state) {
    Description& description = million();
    for (auto _ : state) {
        auto view = std::make_unique<TAxoliteNumeric>(&description);
        view->show();
        view->repaint();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view->stepModel()->rowCount());
    }
}
BENCHMARK(BM_NumericViewOpen)->Unit(benchmark::kMillisecond);

// The numeric view of 10^6 steps, shown; each iteration moves its list's scroll bar to where next
// says and draws the list.
void scrollNumericView(benchmark::State& state, const std::function<int(const QScrollBar&)>& next) {
    TAxoliteNumeric view(&million());
    view.show();
    QApplication::processEvents();
    QScrollBar* bar = view.stepList()->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(next(*bar));
        view.stepList()->viewport()->repaint();
    }
}

// One page down in the list, drawn; the pages run from the top to the bottom and over again.
void BM_NumericViewScrollPage(benchmark::State& state) {
    scrollNumericView(state, [](const QScrollBar& bar) {
        const int next = bar.value() + bar.pageStep();
        return next > bar.maximum() ? 0 : next;
    });
}
BENCHMARK(BM_NumericViewScrollPage)->Unit(benchmark::kMicrosecond);

// A jump to a random place of the list (a drag of the scroll bar's thumb), drawn.
void BM_NumericViewJump(benchmark::State& state) {
    std::uint32_t seed = 12345;
    scrollNumericView(state, [&seed](const QScrollBar& bar) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed % static_cast<std::uint32_t>(bar.maximum() + 1));
    });
}
BENCHMARK(BM_NumericViewJump)->Unit(benchmark::kMicrosecond);

// A repaint of the graphs view's plot with its twelve curves, as a move of the slider asks.
void BM_GraphsViewRepaint(benchmark::State& state) {
    Description& description = million();
    TAxoliteGraphs view(&description);
    view.show();
    QApplication::processEvents();
    const QRect plot = axolite::render::GraphsPainter::plotRect();
    auto* slider = view.findChild<QSlider*>(QStringLiteral("15036"));
    int first = 0;
    for (auto _ : state) {
        first = (first + 601) % 990000;
        slider->setValue(first);
        view.repaint(plot);
    }
}
BENCHMARK(BM_GraphsViewRepaint)->Unit(benchmark::kMicrosecond);

// A replay of 10^5 steps at stride 1 in the faster mode, from "Запустить" to the beep.
void BM_DynamicsReplay(benchmark::State& state) {
    static Description description(100000);
    TNetworkDynamic view(&description);
    view.show();
    QApplication::processEvents();
    std::int64_t frames = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&view, &TNetworkDynamic::replayEnded, &loop, &QEventLoop::quit);
        view.run();
        loop.exec();
        frames += 99999;
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DynamicsReplay)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
