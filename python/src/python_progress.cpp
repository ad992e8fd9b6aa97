// Progress of a computation started from Python.
#include "python_progress.h"

namespace axolite::python {

namespace py = pybind11;

namespace {

// How often Python is visited while the engine works, and how many units of work pass between
// two looks at the clock (a unit of a small network takes well under a microsecond).
constexpr std::chrono::milliseconds kVisitInterval{50};
constexpr unsigned kPollsPerClockReading = 64;

} // namespace

PythonProgress::PythonProgress(py::object callback)
    : callback_(callback.is_none() ? py::object() : std::move(callback)),
      nextVisit_(std::chrono::steady_clock::now() + kVisitInterval) {}

PythonProgress::~PythonProgress() {
    // The exception object belongs to Python: release it with the GIL held.
    if (error_) {
        py::gil_scoped_acquire gil;
        error_.reset();
    }
}

void PythonProgress::poll() {
    if (stopped_ || ++polls_ % kPollsPerClockReading != 0) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < nextVisit_) {
        return;
    }
    nextVisit_ = now + kVisitInterval;
    visitPython();
}

void PythonProgress::visitPython() {
    py::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0) {
        error_.emplace();
        stopped_ = true;
        return;
    }
    if (!callback_ || percent_ == reported_) {
        return;
    }
    reported_ = percent_;
    try {
        callback_(percent_);
    } catch (py::error_already_set& e) {
        error_.emplace(std::move(e));
        stopped_ = true;
    }
}

void PythonProgress::raiseIfStopped() {
    if (!error_) {
        return;
    }
    py::error_already_set error = std::move(*error_);
    error_.reset();
    throw error;
}

} // namespace axolite::python
