// What the tool draws: the plot command's pictures of a run and the training curves. The drawing
// needs Qt's GUI libraries, which take several milliseconds to load, so it lives in a module of
// its own (axolite-cli-pictures.so) that the tool loads when a command first draws; a run, a check
// or a training without a picture starts without Qt. A program that links the drawing in (the
// Python module, tests) uses it directly.
#pragma once

#include "core/platform/atomic_file.h"

#include <optional>
#include <string>
#include <vector>

namespace axolite::cli {

struct PlotOptions;
struct RunContext;

// A curve drawn beside the norm and the error: a comparison's mean, a branch.
struct CurveLine {
    std::string name; // in the legend
    std::vector<double> values;
    std::vector<double> deviation; // empty: no band
    int firstIteration = 0;        // values[0] belongs to this iteration
    bool branch = false;           // the line of a run that a branch was made from
};

// The training curve picture: the norms and errors of one run, or compared curves.
struct CurvePicture {
    std::vector<float> norms;
    std::vector<double> errors;
    std::vector<CurveLine> compared;
    int iterations = 0; // the horizontal axis runs over 0 … iterations − 1
    bool logScale = false;
};

struct PictureFunctions {
    // Draws the picture the plot options ask for of a simulated run into its file; the exit
    // status, after the message of a failure on standard error.
    int (*plot)(const PlotOptions& options, const RunContext& context);
    // Writes the curve into a PNG or SVG file (by the name's ending); the failure, if any.
    std::optional<platform::FileWriteFailure> (*curve)(const std::string& path,
                                                       const CurvePicture& curve);
};

// The drawing functions: linked into the program, or loaded from the module beside the tool (or
// where it is installed). nullptr after the reason has gone to standard error.
const PictureFunctions* pictureFunctions();

} // namespace axolite::cli
