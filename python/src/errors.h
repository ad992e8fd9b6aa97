// The exceptions of the module: axolite.Error carries a message of the system (its Russian text,
// its kind and, where there is one, the description's line); axolite.CheckError, a description
// the check did not accept, also carries the check's rows and result.
#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>

namespace axolite::python {

// Creates the exception types in the module and translates the engine's and the tool's C++
// failures: AxoliteError (and file-write failures) to axolite.Error, option errors to ValueError.
void registerErrors(pybind11::module_& module);

// Raises axolite.Error (or CheckError when check is given: the check's dict).
[[noreturn]] void raiseError(const std::string& text, const std::string& kind,
                             std::optional<int> line, pybind11::object check = pybind11::none());

} // namespace axolite::python
