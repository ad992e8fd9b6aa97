// The net-input kernel. Every variant computes, for each receiver j, the same chain of
// operations as the plain loop, (((0.0 + x0·w0) + x1·w1) + ...), each product rounded before its
// sum; the vector variants merely run eight (AVX-512) or four (AVX2) receivers side by side.
#include "core/simulation/step_kernel.h"

#include "core/platform/processor_features.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define AXOLITE_X86 1
#endif

namespace axolite::simulation {

void AlignedDoubles::Free::operator()(double* p) const {
    std::free(p);
}

void AlignedDoubles::assign(std::size_t count) {
    data_.reset();
    size_ = 0;
    if (count == 0) {
        return;
    }
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t bytes = (count * sizeof(double) + 63) / 64 * 64;
    auto* p = static_cast<double*>(std::aligned_alloc(64, bytes));
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    std::memset(p, 0, bytes);
    data_.reset(p);
    size_ = count;
}

void plainNetInputs(std::int32_t neurons, const double* weights, const double* x, double* net) {
    for (std::int32_t j = 0; j < neurons; ++j) {
        const double* row = weights + static_cast<std::size_t>(j) * neurons;
        double sum = 0.0;
        for (std::int32_t k = 0; k < neurons; ++k) {
            sum += x[k] * row[k];
        }
        net[j] = sum;
    }
}

namespace {

// Splits the blocks of a row into passes of nearly equal size, at most kMaxBlocks each: every
// pass keeps its sums in registers, and none is so short that its sums wait on one another.
std::vector<KernelPanel> panelsFor(std::size_t stride, std::size_t lanes, std::size_t maxBlocks) {
    std::vector<KernelPanel> panels;
    const std::size_t blocks = stride / lanes;
    const std::size_t passes = (blocks + maxBlocks - 1) / maxBlocks;
    std::size_t block = 0;
    for (std::size_t pass = 0; pass < passes; ++pass) {
        const std::size_t size = (blocks - block) / (passes - pass);
        panels.push_back({lanes * block, lanes * size});
        block += size;
    }
    return panels;
}

// Rows of the transposed matrix are padded to whole 64-byte lines.
constexpr std::size_t kLaneAlign = 8;

// Receivers per vector and most blocks per pass of the vector variants.
constexpr std::size_t kLanes512 = 8;
constexpr std::size_t kMaxBlocks512 = 16;
constexpr std::size_t kLanes256 = 4;
constexpr std::size_t kMaxBlocks256 = 12;

void transposedPlain(std::int32_t neurons, std::size_t stride, const double* wt, const double* x,
                     double* net) {
    std::fill(net, net + stride, 0.0);
    for (std::int32_t k = 0; k < neurons; ++k) {
        const double xk = x[k];
        const double* row = wt + static_cast<std::size_t>(k) * stride;
        for (std::size_t j = 0; j < stride; ++j) {
            net[j] = net[j] + xk * row[j];
        }
    }
}

#ifdef AXOLITE_X86

// B blocks of eight receivers starting at column `first`, every sender in index order. The B
// sums stay in registers for the whole pass over the senders.
template <int B>
__attribute__((target("avx512f"))) void chunkAvx512(std::int32_t neurons, std::size_t stride,
                                                    const double* wt, const double* x,
                                                    double* net) {
    __m512d acc[B];
    for (int b = 0; b < B; ++b) {
        acc[b] = _mm512_setzero_pd();
    }
    for (std::int32_t k = 0; k < neurons; ++k) {
        const __m512d xk = _mm512_set1_pd(x[k]);
        const double* row = wt + static_cast<std::size_t>(k) * stride;
        for (int b = 0; b < B; ++b) {
            const __m512d product = _mm512_mul_pd(xk, _mm512_load_pd(row + 8 * b));
            acc[b] = _mm512_add_pd(acc[b], product);
        }
    }
    for (int b = 0; b < B; ++b) {
        _mm512_store_pd(net + 8 * b, acc[b]);
    }
}

using ChunkFunction = void (*)(std::int32_t, std::size_t, const double*, const double*, double*);

// Each panel's columns are stored on their own, row after row, so a pass reads one contiguous
// stream of weights.
template <std::size_t kLanes>
void runPanels(const ChunkFunction* chunks, std::int32_t neurons,
               const std::vector<KernelPanel>& panels, const double* packed, const double* x,
               double* net) {
    for (const KernelPanel& panel : panels) {
        assert(reinterpret_cast<std::uintptr_t>(packed) % (kLanes * sizeof(double)) == 0);
        chunks[panel.width / kLanes](neurons, panel.width, packed, x, net + panel.first);
        packed += static_cast<std::size_t>(neurons) * panel.width;
    }
}

constexpr ChunkFunction kChunks512[kMaxBlocks512 + 1] = {
    nullptr,         chunkAvx512<1>,  chunkAvx512<2>,  chunkAvx512<3>,  chunkAvx512<4>,
    chunkAvx512<5>,  chunkAvx512<6>,  chunkAvx512<7>,  chunkAvx512<8>,  chunkAvx512<9>,
    chunkAvx512<10>, chunkAvx512<11>, chunkAvx512<12>, chunkAvx512<13>, chunkAvx512<14>,
    chunkAvx512<15>, chunkAvx512<16>};

void netAvx512(std::int32_t neurons, const std::vector<KernelPanel>& panels, const double* wt,
               const double* x, double* net) {
    runPanels<kLanes512>(kChunks512, neurons, panels, wt, x, net);
}

template <int B>
__attribute__((target("avx2"))) void chunkAvx2(std::int32_t neurons, std::size_t stride,
                                               const double* wt, const double* x, double* net) {
    __m256d acc[B];
    for (int b = 0; b < B; ++b) {
        acc[b] = _mm256_setzero_pd();
    }
    for (std::int32_t k = 0; k < neurons; ++k) {
        const __m256d xk = _mm256_set1_pd(x[k]);
        const double* row = wt + static_cast<std::size_t>(k) * stride;
        for (int b = 0; b < B; ++b) {
            const __m256d product = _mm256_mul_pd(xk, _mm256_load_pd(row + 4 * b));
            acc[b] = _mm256_add_pd(acc[b], product);
        }
    }
    for (int b = 0; b < B; ++b) {
        _mm256_store_pd(net + 4 * b, acc[b]);
    }
}

constexpr ChunkFunction kChunks256[kMaxBlocks256 + 1] = {
    nullptr,       chunkAvx2<1>,  chunkAvx2<2>, chunkAvx2<3>, chunkAvx2<4>,
    chunkAvx2<5>,  chunkAvx2<6>,  chunkAvx2<7>, chunkAvx2<8>, chunkAvx2<9>,
    chunkAvx2<10>, chunkAvx2<11>, chunkAvx2<12>};

void netAvx2(std::int32_t neurons, const std::vector<KernelPanel>& panels, const double* wt,
             const double* x, double* net) {
    runPanels<kLanes256>(kChunks256, neurons, panels, wt, x, net);
}

#endif

} // namespace

KernelVariant bestKernelVariant() {
#ifdef AXOLITE_X86
    if (platform::processorFeatures().avx512f) {
        return KernelVariant::Avx512;
    }
    if (platform::processorFeatures().avx2) {
        return KernelVariant::Avx2;
    }
#endif
    return KernelVariant::Plain;
}

const char* kernelVariantName(KernelVariant variant) {
    switch (variant) {
    case KernelVariant::Avx512:
        return "avx512";
    case KernelVariant::Avx2:
        return "avx2";
    case KernelVariant::Plain:
        return "plain";
    }
    return "plain";
}

void StepKernel::configure(std::int32_t neurons, const std::vector<double>& weights,
                           KernelVariant variant) {
    neurons_ = std::max<std::int32_t>(neurons, 0);
    // W holds neurons × neurons weights.
    assert(weights.size() >=
           static_cast<std::size_t>(neurons_) * static_cast<std::size_t>(neurons_));
    stride_ = (static_cast<std::size_t>(neurons_) + kLaneAlign - 1) / kLaneAlign * kLaneAlign;
    variant_ = variant;
    // A variant the processor cannot run falls back to the widest one it can.
    const KernelVariant best = bestKernelVariant();
    if (static_cast<int>(variant_) > static_cast<int>(best)) {
        variant_ = best;
    }
    switch (variant_) {
    case KernelVariant::Avx512:
        panels_ = panelsFor(stride_, kLanes512, kMaxBlocks512);
        break;
    case KernelVariant::Avx2:
        panels_ = panelsFor(stride_, kLanes256, kMaxBlocks256);
        break;
    default:
        panels_ = {KernelPanel{0, stride_}};
        break;
    }
    // Panel by panel, row k of a panel holds W[first .. first + width - 1][k] (zero past N).
    packed_.assign(static_cast<std::size_t>(neurons_) * stride_);
    net_.assign(stride_);
    const std::size_t n = static_cast<std::size_t>(neurons_);
    double* out = packed_.data();
    for (const KernelPanel& panel : panels_) {
        for (std::size_t k = 0; k < n; ++k) {
            for (std::size_t c = 0; c < panel.width; ++c) {
                const std::size_t j = panel.first + c;
                out[c] = j < n ? weights[j * n + k] : 0.0;
            }
            out += panel.width;
        }
    }
}

void StepKernel::netInputs(const double* x, double* net) const {
    if (neurons_ == 0) {
        return;
    }
    double* padded = net_.data();
    switch (variant_) {
#ifdef AXOLITE_X86
    case KernelVariant::Avx512:
        netAvx512(neurons_, panels_, packed_.data(), x, padded);
        break;
    case KernelVariant::Avx2:
        netAvx2(neurons_, panels_, packed_.data(), x, padded);
        break;
#endif
    default:
        transposedPlain(neurons_, stride_, packed_.data(), x, padded);
        break;
    }
    std::copy(padded, padded + neurons_, net);
}

} // namespace axolite::simulation
