// The plot command's picture of a simulated run: its area and how to draw it, and the drawing into
// the file the options name.
#pragma once

#include "cli/plot_command.h"

#include "render/picture_files.h"

#include <QRect>

#include <utility>

namespace axolite::cli {

// The picture's area and how to draw it. CLI::ValidationError when a step lies outside the run or
// a curve is unknown.
std::pair<QRect, render::PaintFunction> picture(const PlotOptions& options,
                                                const RunContext& context);

// Draws the picture into the PNG or SVG file of the options; the exit status, after the message
// of a failure.
int drawPlot(const PlotOptions& options, const RunContext& context);

} // namespace axolite::cli
