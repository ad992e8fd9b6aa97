// The owner's side and the parts of a progress shared by two threads.
#include "core/reference/shared_progress.h"

#include <algorithm>

namespace axolite::reference {

class SharedProgress::Part final : public Progress {
public:
    Part(SharedProgress& shared, std::size_t index) : shared_(shared), index_(index) {}
    void setPercent(int percent) override {
        shared_.percents_[index_].store(percent, std::memory_order_relaxed);
    }
    void poll() override {
        if (std::this_thread::get_id() == shared_.owner_) {
            shared_.pollOwner();
        }
    }
    bool cancelRequested() const override { return shared_.cancelled(); }

private:
    SharedProgress& shared_;
    std::size_t index_;
};

SharedProgress::SharedProgress(Progress& whole, const std::vector<double>& weights)
    : whole_(whole), owner_(std::this_thread::get_id()), weights_(weights),
      percents_(std::make_unique<std::atomic<int>[]>(weights.size())) {
    for (std::size_t i = 0; i < weights.size(); ++i) {
        total_ += weights[i];
        percents_[i].store(0, std::memory_order_relaxed);
        parts_.push_back(std::make_unique<Part>(*this, i));
    }
}

void SharedProgress::pollOwner() {
    whole_.poll();
    if (whole_.cancelRequested()) {
        cancel();
    }
    double done = 0.0;
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        done += weights_[i] * percents_[i].load(std::memory_order_relaxed);
    }
    const int percent = total_ > 0.0 ? std::clamp(static_cast<int>(done / total_), 0, 100) : 0;
    if (percent != last_) {
        last_ = percent;
        whole_.setPercent(percent);
    }
}

} // namespace axolite::reference
