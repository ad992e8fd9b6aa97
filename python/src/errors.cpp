// The exceptions of the module.
#include "errors.h"

#include "cli/train_command.h"

#include "core/common/message.h"

#include <CLI/CLI.hpp>

namespace axolite::python {

namespace py = pybind11;

namespace {

// Kept for the life of the process: the module is never unloaded.
PyObject* errorType = nullptr;
PyObject* checkErrorType = nullptr;

const char* const kErrorDoc =
    "A message of the system: `text` (its Russian text), `kind` ('error', 'information',\n"
    "'warning') and `line` (the description's line, or None).";
const char* const kCheckErrorDoc =
    "The check did not accept the description: `rows` (kind, line, text) and `check` (the\n"
    "check's result, as axolite.check gives it); `text` and `line` are those of the first error.";

} // namespace

void raiseError(const std::string& text, const std::string& kind, std::optional<int> line,
                py::object check) {
    PyObject* type = check.is_none() ? errorType : checkErrorType;
    const std::string shown = line ? "строка " + std::to_string(*line) + ": " + text : text;
    py::object error = py::reinterpret_borrow<py::object>(type)(shown);
    error.attr("text") = text;
    error.attr("kind") = kind;
    error.attr("line") = line ? py::object(py::int_(*line)) : py::object(py::none());
    if (!check.is_none()) {
        error.attr("check") = check;
        error.attr("rows") = check["rows"];
    }
    PyErr_SetObject(type, error.ptr());
    throw py::error_already_set();
}

void registerErrors(py::module_& module) {
    errorType = PyErr_NewExceptionWithDoc("axolite.Error", kErrorDoc, PyExc_Exception, nullptr);
    checkErrorType =
        PyErr_NewExceptionWithDoc("axolite.CheckError", kCheckErrorDoc, errorType, nullptr);
    module.add_object("Error", py::handle(errorType));
    module.add_object("CheckError", py::handle(checkErrorType));
    py::register_exception_translator([](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const AxoliteError& e) {
            try {
                raiseError(e.text(), messageKindName(e.kind()), std::nullopt);
            } catch (py::error_already_set& raised) {
                raised.restore();
            }
        } catch (const CLI::ValidationError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const cli::TrainUsageError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        }
    });
}

} // namespace axolite::python
