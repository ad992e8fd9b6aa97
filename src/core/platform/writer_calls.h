// The system calls through which every file is written (AtomicFile), replaceable so that a test
// can fail each of them in turn, as a full disk, a lost device or a refused rename would.
#pragma once

#include <sys/types.h>

namespace axolite::platform {

// Each call answers as its system call does: -1 (or a negative count) with errno set on failure.
struct WriterCalls {
    int (*create)(const char* path, int flags, mode_t mode);          // the temporary file
    ssize_t (*write)(int descriptor, const void* bytes, size_t size); // every block written
    int (*sync)(int descriptor);                                      // to the disk
    int (*close)(int descriptor);                                     // the finished file
    int (*rename)(const char* from, const char* to);                  // over the target
    int (*renameWithoutReplacing)(const char* from, const char* to);  // only where nothing is
};

// The calls in force.
const WriterCalls& writerCalls();

// Puts other calls in force (nullptr: the system's own) and answers the ones that were.
const WriterCalls* setWriterCalls(const WriterCalls* calls);

} // namespace axolite::platform
