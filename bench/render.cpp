// The painters of the result views, offscreen: a repaint of the graphs view with all twelve
// curves of a 10^6-step run (601 segments per curve, one batch per curve) against the same
// segments drawn one call each and with round caps; the dynamics view's still picture and one
// replay frame.
#include "core/views/series.h"
#include "render/dynamics_painter.h"
#include "render/graphs_painter.h"
#include "render/legend_swatches.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

using axolite::language::NetworkRecord;
using axolite::language::SeriesFamily;
namespace render = axolite::render;
namespace views = axolite::views;

constexpr int kSteps = 1000000;

// Twelve present series of 10^6 steps each, every one a different wave.
std::unique_ptr<NetworkRecord> millionStepRecord() {
    auto record = std::make_unique<NetworkRecord>();
    record->t0 = 0.0;
    record->h = 1.0;
    record->t1 = kSteps;
    record->simulated = 1;
    record->activity.allocate(1, 1);
    for (int k = 0; k < 4; ++k) {
        record->networkPresent[k] = 1;
        record->rungeKuttaPresent[k] = 1;
        record->exactPresent[k] = 1;
        for (auto* series :
             {&record->outputSeries[k], &record->rungeKuttaSeries[k], &record->exactSeries[k]}) {
            series->resize(kSteps);
            for (int j = 0; j < kSteps; ++j) {
                (*series)[j] = std::sin(0.01 * j * (k + 1) + static_cast<double>(series->size()));
            }
        }
        for (const SeriesFamily family : views::kCurveOrder) {
            record->stats(family, k) =
                views::seriesStatistics(views::seriesValues(*record, family, k));
        }
    }
    return record;
}

const NetworkRecord& record() {
    static const auto r = millionStepRecord();
    return *r;
}

QImage clientArea(qreal ratio) {
    QImage image(static_cast<int>(620 * ratio), static_cast<int>(300 * ratio),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

void BM_GraphsRepaintTwelveCurves(benchmark::State& state) {
    const NetworkRecord& r = record();
    QImage image = clientArea(static_cast<qreal>(state.range(1)));
    render::GraphsPainter painter;
    render::GraphsSettings settings;
    settings.gridShown = true;
    settings.mode = state.range(0) == 0 ? views::PlotMode::Compress : views::PlotMode::Stretch;
    settings.firstStep = kSteps / 2;
    for (auto _ : state) {
        QPainter p(&image);
        painter.paint(p, &r, settings);
    }
}
BENCHMARK(BM_GraphsRepaintTwelveCurves)
    ->ArgNames({"stretch", "ratio"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 2})
    ->Unit(benchmark::kMillisecond);

// Baselines: the same 601 segments per curve, each drawn by a call of its own, with the painter's
// square caps (cap:0) or with round caps (cap:1), which Qt strokes through its general stroker.
void BM_GraphsRepaintLineByLine(benchmark::State& state) {
    const Qt::PenCapStyle cap = state.range(0) == 0 ? Qt::SquareCap : Qt::RoundCap;
    const NetworkRecord& r = record();
    QImage image = clientArea(1.0);
    std::vector<views::PlotSegment> segments;
    views::plotSegments(views::PlotMode::Compress, 1, kSteps / 2, views::gridExtent(r), segments);
    views::DisplayRange range;
    range.grow(r);
    for (auto _ : state) {
        QPainter p(&image);
        p.setClipRect(render::GraphsPainter::plotRect());
        p.fillRect(render::GraphsPainter::plotRect(), Qt::black);
        for (const SeriesFamily family : views::kCurveOrder) {
            for (int k = 0; k < 4; ++k) {
                const auto values = views::seriesValues(r, family, k);
                const auto scale =
                    views::curveScale(r.stats(family, k).minimum, 0.9, range.value());
                p.setPen(QPen(render::seriesColor(family, k), 2, Qt::SolidLine, cap));
                for (const auto& s : segments) {
                    p.drawLine(s.fromColumn, *scale.row(values[s.fromStep]), s.toColumn,
                               *scale.row(values[s.toStep]));
                }
            }
        }
    }
}
BENCHMARK(BM_GraphsRepaintLineByLine)
    ->ArgName("cap")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

void BM_DynamicsStillPicture(benchmark::State& state) {
    const NetworkRecord& r = record();
    QImage image = clientArea(static_cast<qreal>(state.range(0)));
    render::DynamicsSettings settings;
    settings.still = render::StillValues::Final;
    for (auto _ : state) {
        QPainter p(&image);
        render::DynamicsPainter::paintStill(p, &r, settings); // scans 4 × 10^6 values for c
    }
}
BENCHMARK(BM_DynamicsStillPicture)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_DynamicsReplayFrame(benchmark::State& state) {
    const NetworkRecord& r = record();
    QImage image = clientArea(1.0);
    const render::DynamicsSettings settings;
    const views::VerticalScale scale = views::verticalScale(r);
    const views::ReplaySchedule schedule(kSteps, 1);
    std::int32_t i = 0;
    for (auto _ : state) {
        QPainter p(&image);
        render::DynamicsPainter::paintFrame(p, r, settings, scale, schedule.frame(i));
        i = (i + 1) % schedule.frameCount();
    }
}
BENCHMARK(BM_DynamicsReplayFrame)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
