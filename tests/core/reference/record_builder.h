// A description record with just the items the reference computations read.
#pragma once

#include "core/common/progress.h"
#include "core/language/network_record.h"

#include <vector>

namespace axolite::reference::test {

inline language::NetworkRecord gridRecord(double t0, double t1, double h, int outputs) {
    language::NetworkRecord record;
    record.t0 = t0;
    record.t1 = t1;
    record.h = h;
    for (int k = 0; k < outputs; ++k) {
        record.networkPresent[k] = 1;
    }
    return record;
}

// Asks to stop once it has been polled a given number of times.
class CancelAfter final : public Progress {
public:
    explicit CancelAfter(int polls) : remaining_(polls) {}
    void setPercent(int percent) override { percents.push_back(percent); }
    void poll() override { --remaining_; }
    bool cancelRequested() const override { return remaining_ <= 0; }
    std::vector<int> percents;

private:
    int remaining_;
};

} // namespace axolite::reference::test
