// The pictures of a run, as `axolite-cli plot` draws them: the graphs view or the dynamics view,
// as PNG or SVG bytes (drawn on Qt's offscreen platform, no display needed).
#include "bindings.h"
#include "run.h"

#include "cli/pictures/headless_gui.h"
#include "cli/pictures/plot_picture.h"

#include "render/picture_files.h"

#include <pybind11/stl.h>

namespace axolite::python {

namespace py = pybind11;

namespace {

// The picture of the run as PNG (format "png") or SVG bytes.
py::bytes picture(const RunHandle& run, const cli::PlotOptions& options,
                  const std::string& format) {
    const auto [area, paint] = cli::picture(options, *run.context);
    QByteArray bytes;
    {
        const cli::HeadlessGui gui;
        bytes = format == "svg" ? render::svgBytes(area, paint)
                                : render::pngBytes(render::renderImage(area, options.ratio, paint));
    }
    return py::bytes(bytes.constData(), static_cast<py::ssize_t>(bytes.size()));
}

} // namespace

void bindPictures(py::module_& m) {
    py::class_<cli::PlotOptions>(m, "_PlotOptions")
        .def(py::init<>())
        .def_readwrite("kind", &cli::PlotOptions::kind)
        .def_readwrite("grid", &cli::PlotOptions::grid)
        .def_readwrite("no_grid", &cli::PlotOptions::noGrid)
        .def_readwrite("grid_size", &cli::PlotOptions::gridSize)
        .def_readwrite("height", &cli::PlotOptions::height)
        .def_readwrite("spacing", &cli::PlotOptions::spacing)
        .def_readwrite("stretch", &cli::PlotOptions::stretch)
        .def_readwrite("from_step", &cli::PlotOptions::from)
        .def_readwrite("curves", &cli::PlotOptions::curves)
        .def_readwrite("final", &cli::PlotOptions::final)
        .def_readwrite("step", &cli::PlotOptions::step)
        .def_readwrite("no_marking", &cli::PlotOptions::noMarking)
        .def_readwrite("ratio", &cli::PlotOptions::ratio);
    m.def("_picture", &picture, py::arg("run"), py::arg("options"), py::arg("format"));
}

} // namespace axolite::python
