// `axolite-cli plot FILE.net [run options] --png OUT.png | --svg OUT.svg ...`: runs the
// description as `run` does, then draws the graphs or the dynamics view with the views' own
// painters (cli/pictures) into a PNG or SVG file, on Qt's offscreen platform (no display needed).
#include "cli/plot_command.h"

#include "cli/commands.h"
#include "cli/pictures.h"

#include <iostream>
#include <memory>

namespace axolite::cli {

namespace {

// The options that belong to one kind of picture only: giving one with the other kind is a
// usage error, not an option quietly left unused.
struct KindOptions {
    std::vector<CLI::Option*> graphs;
    std::vector<CLI::Option*> dynamics;
    CLI::Option* ratio = nullptr;
};

// The usage error of the options given, or nothing: every option given belongs to the kind (and
// --ratio to a PNG picture), and every curve name is known.
std::optional<std::string> optionsError(const PlotOptions& o, const KindOptions& kinds) {
    const bool dynamics = o.kind == "dynamics";
    for (const CLI::Option* option : dynamics ? kinds.graphs : kinds.dynamics) {
        if (option->count() > 0) {
            return option->get_name() + ": an option of --kind " +
                   (dynamics ? "graphs" : "dynamics");
        }
    }
    if (kinds.ratio->count() > 0 && o.png.empty()) {
        return "--ratio: an option of --png";
    }
    try {
        chosenCurves(o.curves);
    } catch (const CLI::ValidationError& e) {
        return e.what();
    }
    return std::nullopt;
}

// A whole number that may not be negative (CLI::NonNegativeNumber names a 309-digit bound).
const CLI::Validator kNotNegative(
    [](std::string& text) {
        return !text.empty() && text[0] == '-' ? std::string("a step may not be negative")
                                               : std::string();
    },
    "NONNEGATIVE");

// The device pixel ratio: a number from 1 to 4 (no NaN, which no comparison refuses).
const CLI::Validator kPixelRatio(
    [](std::string& text) {
        double value = 0.0;
        return CLI::detail::lexical_cast(text, value) && value >= 1.0 && value <= 4.0
                   ? std::string()
                   : "the ratio is a number from 1 to 4, not " + text;
    },
    "1..4");

} // namespace

void addPlotCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<PlotOptions>();
    CLI::App* command = app.add_subcommand(
        "plot", "Simulate a description and draw the graphs or the dynamics view as PNG or SVG");
    addRunDescriptionOptions(*command, o->run);
    auto* png = command->add_option("--png", o->png, "Write the picture as PNG to this file");
    auto* svg = command->add_option("--svg", o->svg, "Write the picture as SVG to this file");
    png->excludes(svg);
    command->add_option("--kind", o->kind, "graphs (the default) or dynamics")
        ->check(CLI::IsMember({"graphs", "dynamics"}));
    auto kinds = std::make_shared<KindOptions>();
    auto* grid = command->add_flag("--grid", o->grid, "Graphs: lay the grid over the plot");
    auto* noGrid = command->add_flag("--no-grid", o->noGrid, "Dynamics: leave the box grid out");
    noGrid->excludes(grid);
    kinds->graphs = {
        grid,
        command->add_option("--grid-size", o->gridSize, "Graphs: grid size 40, 30, 20 or 10")
            ->check(CLI::IsMember({40, 30, 20, 10})),
        command->add_option("--height", o->height, "Graphs: height 100, 80, 60 or 40 (%)")
            ->check(CLI::IsMember({100, 80, 60, 40})),
        command->add_option("--spacing", o->spacing, "Graphs: point spacing 1, 4, 8 or 16")
            ->check(CLI::IsMember({1, 4, 8, 16})),
        command->add_flag("--stretch", o->stretch,
                          "Graphs: stretch the curves (default: compress)"),
        command->add_option("--from", o->from, "Graphs: the first step shown (the slider)")
            ->check(kNotNegative),
        command
            ->add_option("--curves", o->curves,
                         "Graphs: the curves shown, e.g. y1,rk1,exact1 (default: all present)")
            ->delimiter(',')};
    auto* final = command->add_flag("--final", o->final, "Dynamics: the final values");
    kinds->dynamics = {
        noGrid, final,
        command->add_option("--step", o->step, "Dynamics: the columns at this step")
            ->check(kNotNegative)
            ->excludes(final),
        command->add_flag("--no-marking", o->noMarking, "Dynamics: every column in cyan")};
    kinds->ratio =
        command->add_option("--ratio", o->ratio, "Device pixel ratio of the PNG picture (1 to 4)")
            ->check(kPixelRatio);
    command->callback([o, kinds, &status] {
        if (o->png.empty() && o->svg.empty()) {
            std::cerr << "plot: --png OUT.png or --svg OUT.svg is required\n";
            status = UsageError;
            return;
        }
        if (const auto error = optionsError(*o, *kinds)) {
            std::cerr << *error << '\n';
            status = UsageError;
            return;
        }
        auto context = std::make_unique<RunContext>();
        context->options = o->run;
        status = runDescription(*context);
        if (status == Done) {
            try {
                const PictureFunctions* pictures = pictureFunctions();
                status = pictures != nullptr ? pictures->plot(*o, *context) : Refused;
            } catch (const CLI::ValidationError& e) {
                std::cerr << e.what() << '\n';
                status = UsageError;
            }
        }
    });
}

} // namespace axolite::cli
