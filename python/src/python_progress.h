// The engine's Progress for a computation started from Python: the engine runs without the GIL;
// every ~50 ms the progress takes the GIL back to let Python see Ctrl+C (KeyboardInterrupt) and to
// call the caller's progress function. Either stops the computation at its next unit of work.
#pragma once

#include "core/common/progress.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <optional>

namespace axolite::python {

class PythonProgress final : public Progress {
public:
    // callback: None or a callable taking the percentage (0..100).
    explicit PythonProgress(pybind11::object callback);
    ~PythonProgress() override;

    void setPercent(int percent) override { percent_ = percent; }
    void poll() override;
    bool cancelRequested() const override { return stopped_; }

    // With the GIL held, after the computation: raises the KeyboardInterrupt or the progress
    // function's exception that stopped it.
    void raiseIfStopped();

private:
    void visitPython();

    pybind11::object callback_;
    int percent_ = 0;
    int reported_ = -1;
    unsigned polls_ = 0;
    std::chrono::steady_clock::time_point nextVisit_;
    bool stopped_ = false;
    std::optional<pybind11::error_already_set> error_;
};

} // namespace axolite::python
