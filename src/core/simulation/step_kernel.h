// The hot part of a simulation step: the net input of every neuron, net[j] = Σ_k x[k]·W[j][k],
// each receiver summing its terms in index order from 0.0 with a separate multiply and add, so
// every result equals the plain loop's bit for bit. Vectorised across receivers (the matrix is
// kept transposed and padded), with AVX-512 or AVX2 chosen at run time and a plain fallback.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace axolite::simulation {

// Doubles on 64-byte boundaries, zero-filled.
class AlignedDoubles {
public:
    void assign(std::size_t count);
    double* data() { return data_.get(); }
    const double* data() const { return data_.get(); }
    std::size_t size() const { return size_; }

private:
    struct Free {
        void operator()(double* p) const;
    };
    std::unique_ptr<double[], Free> data_;
    std::size_t size_ = 0;
};

enum class KernelVariant { Plain, Avx2, Avx512 };

// The widest variant this processor runs.
KernelVariant bestKernelVariant();
const char* kernelVariantName(KernelVariant variant);

// Columns first .. first + width - 1 of the transposed matrix, which one pass of a vector variant
// computes with its sums in registers.
struct KernelPanel {
    std::size_t first = 0;
    std::size_t width = 0;
};

class StepKernel {
public:
    // Takes the weights W[j][k] (row-major, neurons × neurons) of a network.
    void configure(std::int32_t neurons, const std::vector<double>& weights,
                   KernelVariant variant = bestKernelVariant());

    // net[j] for every receiver j from the senders' values x[0..N-1].
    void netInputs(const double* x, double* net) const;

    std::int32_t neurons() const { return neurons_; }
    KernelVariant variant() const { return variant_; }

private:
    std::int32_t neurons_ = 0;
    std::size_t stride_ = 0; // padded row length of the transposed matrix
    KernelVariant variant_ = KernelVariant::Plain;
    std::vector<KernelPanel> panels_;
    AlignedDoubles packed_; // WT[k][j] = W[j][k], panel by panel
    mutable AlignedDoubles net_;
};

// The reference loop: net[j] = 0.0 + x[0]·W[j][0] + x[1]·W[j][1] + ... in index order.
void plainNetInputs(std::int32_t neurons, const double* weights, const double* x, double* net);

} // namespace axolite::simulation
