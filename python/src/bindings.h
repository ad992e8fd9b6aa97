// The parts of the extension module, each adding its functions and classes.
#pragma once

#include <pybind11/pybind11.h>

namespace axolite::python {

void bindRun(pybind11::module_& module);      // check, run and the run's handle
void bindTrain(pybind11::module_& module);    // train and the trained network's handle
void bindStudy(pybind11::module_& module);    // study, netgen
void bindPictures(pybind11::module_& module); // the pictures of a run

} // namespace axolite::python
