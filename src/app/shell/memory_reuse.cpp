// Allocator settings of the desktop program.
#include "app/shell/memory_reuse.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace axolite::shell {

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    constexpr int kMegabyte = 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, 32 * kMegabyte);
    mallopt(M_TRIM_THRESHOLD, 64 * kMegabyte);
#endif
}

} // namespace axolite::shell
