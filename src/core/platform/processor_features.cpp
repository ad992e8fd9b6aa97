// The processor's vector extensions, from the compiler's run-time probe.
#include "core/platform/processor_features.h"

namespace axolite::platform {

const ProcessorFeatures& processorFeatures() {
    static const ProcessorFeatures features = [] {
        ProcessorFeatures f;
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
        __builtin_cpu_init();
        f.avx = __builtin_cpu_supports("avx") != 0;
        f.avx2 = __builtin_cpu_supports("avx2") != 0;
        f.avx512f = __builtin_cpu_supports("avx512f") != 0;
#endif
        return f;
    }();
    return features;
}

} // namespace axolite::platform
