// The caller's side of a long computation: the engine reports its percentage, lets the caller
// process pending events, and asks whether the user asked to stop. The GUI implements it with
// the progress dialog; tests and the command-line tool pass a silent one.
#pragma once

#include <cstdint>

namespace axolite {

class Progress {
public:
    virtual ~Progress() = default;

    // The computation has reached this percentage (0..100).
    virtual void setPercent(int /*percent*/) {}

    // Called after every unit of work: the GUI processes pending events here, throttled so that
    // a million-step run is not dominated by event processing.
    virtual void poll() {}

    // True once the user asked the computation to stop.
    virtual bool cancelRequested() const { return false; }
};

// A progress that shows nothing and never cancels.
class SilentProgress final : public Progress {};

// The engine's test after a unit of work of a computation on a description record: lets pending
// events be processed, carries a cancel request into the record's cancel-requested flag, and
// answers whether the computation must stop.
inline bool pollCancelled(Progress& progress, std::uint8_t& cancelRequestedFlag) {
    progress.poll();
    if (progress.cancelRequested()) {
        cancelRequestedFlag = 1;
    }
    return cancelRequestedFlag != 0;
}

} // namespace axolite
