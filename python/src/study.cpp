// axolite.study and axolite.netgen: the step-size study and the Euler network of a linear system,
// as `axolite-cli study` and `axolite-cli netgen` make them.
#include "bindings.h"
#include "json_objects.h"
#include "python_progress.h"

#include "cli/study_commands.h"

#include <pybind11/stl.h>

#include <exception>

namespace axolite::python {

namespace py = pybind11;

namespace {

cli::SystemGridOptions systemGrid(std::string rk, std::string rkInit, std::string simtime,
                                  double h) {
    cli::SystemGridOptions options;
    options.rk = std::move(rk);
    options.rkInit = std::move(rkInit);
    options.simtime = std::move(simtime);
    options.h = h;
    return options;
}

py::object study(const cli::StudyOptions& options, py::object progressFunction) {
    PythonProgress progress(std::move(progressFunction));
    std::optional<reference::StepStudyResult> result;
    std::exception_ptr failure;
    {
        py::gil_scoped_release release;
        try {
            result = cli::runStudy(options, progress);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    progress.raiseIfStopped();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return toPython(cli::studyJson(*result));
}

} // namespace

void bindStudy(py::module_& m) {
    m.def(
        "_study",
        [](std::string rk, std::string rkInit, std::string simtime, double h,
           std::vector<std::string> exact, int halvings, py::object progress) {
            cli::StudyOptions options;
            options.system = systemGrid(std::move(rk), std::move(rkInit), std::move(simtime), h);
            options.exact = std::move(exact);
            options.halvings = halvings;
            return study(options, std::move(progress));
        },
        py::arg("rk"), py::arg("rk_init"), py::arg("simtime"), py::arg("timestep"),
        py::arg("exact"), py::arg("halvings"), py::arg("progress"));
    m.def(
        "_netgen",
        [](std::string rk, std::string rkInit, std::string simtime, double h, std::string out,
           std::string models) {
            cli::NetgenOptions options;
            options.system = systemGrid(std::move(rk), std::move(rkInit), std::move(simtime), h);
            options.out = std::move(out);
            options.models = std::move(models);
            cli::generateNetwork(options);
        },
        py::arg("rk"), py::arg("rk_init"), py::arg("simtime"), py::arg("timestep"), py::arg("out"),
        py::arg("models"));
}

} // namespace axolite::python
