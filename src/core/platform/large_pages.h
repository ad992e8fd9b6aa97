// Large blocks of memory that are filled right after they are allocated.
#pragma once

#include <cstddef>

namespace axolite::platform {

// Asks the system to back the block with large pages where it can (Linux transparent huge
// pages): one page fault per 2 MiB instead of per 4 KiB while the block is first written. Only
// advice: the contents and the size of the block do not change, and on other systems, or when
// the system declines, nothing happens. Call it before the block is first written.
void adviseLargePages(void* block, std::size_t bytes);

} // namespace axolite::platform
