// What the processor offers beyond the baseline the programs are built for (SSE2 on x86-64): the
// vector extensions that the kernels with a wider variant choose by. Asked of the processor once.
#pragma once

namespace axolite::platform {

struct ProcessorFeatures {
    bool avx = false;
    bool avx2 = false;
    bool avx512f = false;
};

const ProcessorFeatures& processorFeatures();

} // namespace axolite::platform
