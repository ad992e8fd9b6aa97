// How the desktop program asks the C library's allocator to treat large blocks.
#pragma once

namespace axolite::shell {

// A check or a run of a large description allocates and frees tens of megabytes (tokens,
// lines, arrays) every time. Left to itself the allocator may give such memory back to the
// system after each check and have every page faulted in again at the next one. Called once at
// start: up to 64 MB of freed memory is kept for reuse; blocks of 32 MB and more (the histories
// of long runs) still come from the system and go back to it when freed.
void keepFreedMemoryForReuse();

} // namespace axolite::shell
