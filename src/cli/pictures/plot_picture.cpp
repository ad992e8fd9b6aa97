// The plot command's pictures: the graphs or the dynamics view of a simulated run, drawn with the
// views' own painters.
#include "cli/pictures/plot_picture.h"

#include "cli/commands.h"
#include "cli/pictures/headless_gui.h"

#include "core/views/series.h"
#include "render/dynamics_painter.h"
#include "render/graphs_painter.h"

#include <QPainter>

#include <iostream>
#include <memory>

namespace axolite::cli {

namespace {

render::GraphsSettings graphsSettings(const PlotOptions& o) {
    render::GraphsSettings settings;
    settings.gridShown = o.grid;
    if (o.gridSize != 0) {
        settings.gridSpacing = *views::gridSpacingForSize(o.gridSize);
    }
    settings.heightFactor = *views::heightFactorForPercent(o.height);
    settings.pointSpacing = o.spacing;
    settings.mode = o.stretch ? views::PlotMode::Stretch : views::PlotMode::Compress;
    settings.firstStep = o.from;
    settings.curveShown = chosenCurves(o.curves);
    return settings;
}

render::DynamicsSettings dynamicsSettings(const PlotOptions& o) {
    render::DynamicsSettings settings;
    settings.gridShown = !o.noGrid;
    settings.colourMarking = !o.noMarking;
    settings.still = o.final ? render::StillValues::Final : render::StillValues::Initial;
    return settings;
}

} // namespace

std::pair<QRect, render::PaintFunction> picture(const PlotOptions& o, const RunContext& c) {
    const language::NetworkRecord* record = &c.record;
    if (o.kind == "dynamics") {
        const std::int32_t points = views::gridPointCount(c.record);
        if (o.step >= points) {
            throw CLI::ValidationError("--step", points == 0 ? std::string("the run has no steps")
                                                             : "the run has steps 0.." +
                                                                   std::to_string(points - 1));
        }
        const render::DynamicsSettings settings = dynamicsSettings(o);
        const std::int32_t step = o.step;
        return std::pair{
            render::DynamicsPainter::fieldRect(), [record, settings, step](QPainter& painter) {
                if (step < 0) {
                    render::DynamicsPainter::paintStill(painter, record, settings);
                } else {
                    render::DynamicsPainter::paintStep(painter, record, settings, step);
                }
            }};
    }
    const std::int32_t last = views::lastFirstStep(views::gridExtent(c.record));
    if (o.from > last) {
        throw CLI::ValidationError("--from",
                                   "the first step shown is at most " + std::to_string(last));
    }
    auto settings = std::make_shared<render::GraphsSettings>(graphsSettings(o));
    return std::pair{render::GraphsPainter::plotRect(), [record, settings](QPainter& painter) {
                         render::GraphsPainter().paint(painter, record, *settings);
                     }};
}

int drawPlot(const PlotOptions& o, const RunContext& c) {
    const auto [area, paint] = picture(o, c);
    const HeadlessGui gui;
    const std::string& path = o.png.empty() ? o.svg : o.png;
    const QString file = QString::fromStdString(path);
    const auto failure = o.png.empty()
                             ? render::saveSvg(file, area, paint)
                             : render::savePng(render::renderImage(area, o.ratio, paint), file);
    if (failure) {
        std::cerr << platform::fileWriteMessage(*failure).text << '\n';
        return UsageError;
    }
    return Done;
}

} // namespace axolite::cli
