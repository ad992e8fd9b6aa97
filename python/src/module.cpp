// The extension module axolite._axolite: the engine's functions as axolite-cli calls them. The
// package axolite (python/axolite) gives them their Python face: arguments, results, help.
#include "bindings.h"
#include "errors.h"

#include "core/platform/atomic_file.h"
#include "core/platform/folder_settings.h"

#include <string>

namespace py = pybind11;

PYBIND11_MODULE(_axolite, m) {
    m.doc() = "The Axolite engine (see the package axolite).";
    m.attr("version") = AXOLITE_VERSION;
    axolite::python::registerErrors(m);
    // Every file the module writes goes through the program's safe writer.
    m.def("_write_file", [](const std::string& path, const py::bytes& bytes) {
        namespace platform = axolite::platform;
        const std::string data = bytes;
        platform::AtomicFile file(platform::pathFromUtf8(path));
        if (!(file.open() && file.write(data) && file.commit())) {
            throw platform::FileWriteError(*file.failure());
        }
    });
    axolite::python::bindRun(m);
    axolite::python::bindTrain(m);
    axolite::python::bindStudy(m);
#ifdef AXOLITE_CLI_PLOT
    axolite::python::bindPictures(m);
#endif
}
