// One caller's progress shared by computations that run on two threads. Only the thread that
// owns the caller's Progress calls it (the desktop program's progress dialog processes events
// there); the parts running elsewhere store their percentages and read the cancel request through
// atomics, and the owner passes their weighted sum on whenever it polls.
#pragma once

#include "core/common/progress.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace axolite::reference {

class SharedProgress {
public:
    // weights: the share of each part in the whole (any positive scale).
    SharedProgress(Progress& whole, const std::vector<double>& weights);

    // The progress a part reports to, on whichever thread it runs.
    Progress& part(std::size_t index) { return *parts_[index]; }

    // On the owner's thread: lets the caller's progress process events, takes its cancel request
    // and passes the whole's percentage on when it changed.
    void pollOwner();

    bool cancelled() const { return cancel_.load(std::memory_order_acquire); }
    void cancel() { cancel_.store(true, std::memory_order_release); }

    // On the owner's thread: waits for a part running elsewhere while polling every few ms.
    template <class T> T wait(std::future<T>& running) {
        while (running.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            pollOwner();
        }
        pollOwner();
        return running.get();
    }

private:
    class Part;

    Progress& whole_;
    std::thread::id owner_;
    std::vector<double> weights_;
    double total_ = 0.0;
    std::unique_ptr<std::atomic<int>[]> percents_;
    std::vector<std::unique_ptr<Progress>> parts_;
    std::atomic<bool> cancel_{false};
    int last_ = -1;
};

} // namespace axolite::reference
