// The history of a training run: the weights and biases of the network after every k-th
// iteration (every one when they fit), so that the results page can show the network as it was
// at any kept iteration and a new run can branch off from there.
#pragma once

#include "core/training/layered_network.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace axolite::training {

class PackedNetwork;

// Where a branch starts: the network of a kept iteration and, for the randomized method, the
// generator where it stood after that iteration. A branch without a generator seeds its own as
// any run does.
struct BranchPoint {
    int iteration = 0; // iterations completed, counted from the first run of the line
    LayeredNetwork network;
    std::optional<RandomSource> generator;
};

class TrainingHistory {
public:
    // The whole history stays under this many bytes; networks with more connection weights than
    // kMaxWeights keep none.
    static constexpr std::size_t kByteLimit = std::size_t{256} << 20;
    static constexpr long long kMaxWeights = 100000;

    // byteLimit: another limit than kByteLimit (for tests of a history that must skip).
    explicit TrainingHistory(std::size_t byteLimit = kByteLimit) : byteLimit_(byteLimit) {}

    // Every how many iterations a network of `weights` connection weights and `parameters`
    // weights and biases is kept over a run of `iterations` iterations, the network before the
    // first iteration and the last one included, within byteLimit bytes; 0 when none is kept.
    static int strideFor(long long weights, long long parameters, int iterations,
                         std::size_t byteLimit = kByteLimit);

    // The trainer's side. start: a run of `iterations` iterations begins from the packed
    // network (iteration `firstIteration` of its line) with the generator as it stands; the
    // history kept so far is dropped and the start is kept. record: `completed` iterations of
    // this run are done; the network is kept when completed is a multiple of the stride, or
    // when last is set (the run ends there).
    void start(const PackedNetwork& packed, const LayeredNetwork& network, int iterations,
               int firstIteration, const RandomSource& generator);
    void record(int completed, const PackedNetwork& packed, const RandomSource& generator,
                bool last = false);
    void clear();

    bool empty() const { return kept_.empty(); }
    // 0 when none is kept (then unavailable() says why).
    int stride() const { return stride_; }
    std::size_t bytes() const;
    const std::string& unavailable() const { return unavailable_; }
    // The kept iterations in ascending order: the count of iterations completed, from the start
    // of the first run of the line (a branch goes on counting from its branch point).
    const std::vector<int>& iterations() const { return kept_; }
    // The kept iteration nearest to the given one (the later of two as near); -1 when empty.
    int nearestKept(int iteration) const;
    bool kept(int iteration) const;

    // The network after the kept iteration: the weights and biases as they were, the rest as
    // the run started. AxoliteError for an iteration that is not kept.
    LayeredNetwork networkAt(int iteration) const;
    // A branch from the kept iteration; keepGenerator: the generator goes on from where it stood.
    BranchPoint branchPoint(int iteration, bool keepGenerator) const;

    // "История: каждая 3-я итерация, 212 МБ", or why none is kept; empty before any run.
    std::string summary() const;

private:
    std::size_t indexOf(int iteration) const;

    std::size_t byteLimit_;
    LayeredNetwork start_;
    int stride_ = 0;
    int first_ = 0;
    std::size_t parameters_ = 0;
    std::vector<int> kept_;
    std::vector<float> values_; // parameters_ values per kept iteration
    std::vector<RandomSource> generators_;
    std::string unavailable_;
};

// The name of a branch's norm curve from iteration k: "Норма (ветвь от k)"; "Норма" for k = 0.
std::string branchNormName(int firstIteration);

} // namespace axolite::training
