// The tool's JSON values as Python objects.
#include "json_objects.h"

#include <limits>
#include <string>

namespace axolite::python {

namespace py = pybind11;

namespace {

py::object textOrNumber(const std::string& text) {
    if (text == "nan") {
        return py::float_(std::numeric_limits<double>::quiet_NaN());
    }
    if (text == "inf" || text == "-inf") {
        const double infinity = std::numeric_limits<double>::infinity();
        return py::float_(text == "inf" ? infinity : -infinity);
    }
    return py::str(text);
}

template <typename Json> py::object convert(const Json& value) {
    switch (value.type()) {
    case nlohmann::json::value_t::object: {
        py::dict dict;
        for (auto it = value.begin(); it != value.end(); ++it) {
            dict[py::str(it.key())] = convert(it.value());
        }
        return dict;
    }
    case nlohmann::json::value_t::array: {
        py::list list;
        for (const auto& item : value) {
            list.append(convert(item));
        }
        return list;
    }
    case nlohmann::json::value_t::string:
        return textOrNumber(value.template get_ref<const std::string&>());
    case nlohmann::json::value_t::boolean:
        return py::bool_(value.template get<bool>());
    case nlohmann::json::value_t::number_integer:
        return py::int_(value.template get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
        return py::int_(value.template get<std::uint64_t>());
    case nlohmann::json::value_t::number_float:
        return py::float_(value.template get<double>());
    default:
        return py::none();
    }
}

} // namespace

py::object toPython(const nlohmann::ordered_json& value) {
    return convert(value);
}

py::object toPython(const nlohmann::json& value) {
    return convert(value);
}

} // namespace axolite::python
