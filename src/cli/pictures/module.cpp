// The drawing functions' entry: the tool loads it from axolite-cli-pictures.so, and a program
// that links the drawing in reaches it directly (cli/pictures.cpp).
#include "cli/pictures.h"
#include "cli/pictures/curve_picture.h"
#include "cli/pictures/plot_picture.h"

extern "C" __attribute__((visibility("default"))) const axolite::cli::PictureFunctions*
axolite_cli_picture_functions() {
    static const axolite::cli::PictureFunctions functions{&axolite::cli::drawPlot,
                                                          &axolite::cli::drawCurve};
    return &functions;
}
