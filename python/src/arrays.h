// NumPy arrays of the module: read-only views over memory that a shared owner keeps alive (the
// array holds the owner, so it outlives the Python object it came from), and read-only arrays of
// their own.
#pragma once

#include <pybind11/numpy.h>

#include <memory>
#include <vector>

namespace axolite::python {

// A read-only view of data with the shape and strides (in bytes); owner keeps data alive.
template <typename T>
pybind11::array readOnlyView(const T* data, std::vector<pybind11::ssize_t> shape,
                             std::vector<pybind11::ssize_t> strides,
                             std::shared_ptr<const void> owner) {
    auto* kept = new std::shared_ptr<const void>(std::move(owner));
    pybind11::capsule base(
        kept, [](void* pointer) { delete static_cast<std::shared_ptr<const void>*>(pointer); });
    pybind11::array view(pybind11::dtype::of<T>(), std::move(shape), std::move(strides), data,
                         base);
    view.attr("setflags")(pybind11::arg("write") = false);
    return view;
}

// A read-only one-dimensional array holding a copy of the values.
template <typename T> pybind11::array readOnlyCopy(const std::vector<T>& values) {
    pybind11::array_t<T> array(static_cast<pybind11::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    array.attr("setflags")(pybind11::arg("write") = false);
    return array;
}

} // namespace axolite::python
