// The options of `axolite-cli plot`: the graphs and the dynamics view (drawn by cli/pictures).
#pragma once

#include "cli/run_command.h"

#include "core/language/network_record.h"

#include <array>
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

// The graphs' twelve curves, [family][k] with family as in language::SeriesFamily.
using CurveChoice = std::array<std::array<bool, language::kOutputCount>, 3>;

// The curves named ("y1".."y4", "rk1".."rk4", "exact1".."exact4"); every curve when none is.
// CLI::ValidationError for a name that is none of these.
CurveChoice chosenCurves(const std::vector<std::string>& names);

} // namespace axolite::cli
