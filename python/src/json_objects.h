// The tool's JSON values as Python objects: objects become dicts (in the tool's order), arrays
// lists, numbers int or float, and the texts the tool writes for numbers JSON cannot hold
// ("inf", "-inf", "nan") the floats they stand for.
#pragma once

#include <nlohmann/json.hpp>
#include <pybind11/pybind11.h>

namespace axolite::python {

pybind11::object toPython(const nlohmann::ordered_json& value);
pybind11::object toPython(const nlohmann::json& value);

} // namespace axolite::python
