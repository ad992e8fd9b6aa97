// The pictures of `axolite-cli plot`: the options of the graphs and the dynamics view, and the
// picture they ask for of a simulated run.
#pragma once

#include "cli/run_command.h"

#include "render/picture_files.h"

#include <QRect>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace axolite::cli {

struct PlotOptions {
    RunOptions run;
    std::string png;
    std::string svg;
    std::string kind = "graphs";
    bool grid = false;
    bool noGrid = false;
    int gridSize = 0; // 0: the view's first spacing of 36 pixels
    int height = 100;
    int spacing = 1;
    bool stretch = false;
    std::int64_t from = 0;
    std::vector<std::string> curves; // empty: every present series
    bool final = false;
    std::int32_t step = -1; // -1: the still picture
    bool noMarking = false;
    double ratio = 1.0;
};

// The picture's area and how to draw it. CLI::ValidationError when a step lies outside the run or
// a curve is unknown.
std::pair<QRect, render::PaintFunction> picture(const PlotOptions& options,
                                                const RunContext& context);

} // namespace axolite::cli
