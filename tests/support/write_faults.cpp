// The writer's system calls, counted and failed one at a time.
#include "write_faults.h"

#include "core/platform/writer_calls.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <unistd.h>

namespace axolite::test {

namespace {

struct Plan {
    std::string folder;        // with a final '/'
    std::set<int> descriptors; // files created in the folder, still open
    std::array<int, kWriteCalls.size()> counts{};
    std::optional<WriteCall> failing;
    int index = 0;
    int error = 0;
    bool fired = false;
    const platform::WriterCalls* system = nullptr;
};

Plan* plan = nullptr;

bool inFolder(const char* path) {
    return std::string_view(path).starts_with(plan->folder);
}

bool watched(int descriptor) {
    return plan->descriptors.count(descriptor) != 0;
}

// Counts the call and answers whether it is the one to fail (errno then set).
bool failsNow(WriteCall call) {
    const int seen = plan->counts[static_cast<std::size_t>(call)]++;
    if (plan->failing == call && seen == plan->index) {
        plan->fired = true;
        errno = plan->error;
        return true;
    }
    return false;
}

int create(const char* path, int flags, mode_t mode) {
    if (!inFolder(path)) {
        return plan->system->create(path, flags, mode);
    }
    if (failsNow(WriteCall::Create)) {
        return -1;
    }
    const int descriptor = plan->system->create(path, flags, mode);
    if (descriptor >= 0) {
        plan->descriptors.insert(descriptor);
    }
    return descriptor;
}

ssize_t write(int descriptor, const void* bytes, size_t size) {
    return watched(descriptor) && failsNow(WriteCall::Write)
               ? -1
               : plan->system->write(descriptor, bytes, size);
}

int sync(int descriptor) {
    return watched(descriptor) && failsNow(WriteCall::Sync) ? -1 : plan->system->sync(descriptor);
}

// A close that fails still releases the descriptor, as the system's does.
int close(int descriptor) {
    if (!watched(descriptor)) {
        return plan->system->close(descriptor);
    }
    plan->descriptors.erase(descriptor);
    if (failsNow(WriteCall::Close)) {
        const int error = errno;
        plan->system->close(descriptor);
        errno = error;
        return -1;
    }
    return plan->system->close(descriptor);
}

int rename(const char* from, const char* to) {
    return inFolder(from) && failsNow(WriteCall::Rename) ? -1 : plan->system->rename(from, to);
}

int renameWithoutReplacing(const char* from, const char* to) {
    return inFolder(from) && failsNow(WriteCall::Rename)
               ? -1
               : plan->system->renameWithoutReplacing(from, to);
}

const platform::WriterCalls kFaultyCalls{create, write,  sync,
                                         close,  rename, renameWithoutReplacing};

} // namespace

std::string writeCallName(WriteCall call) {
    switch (call) {
    case WriteCall::Create:
        return "create";
    case WriteCall::Write:
        return "write";
    case WriteCall::Sync:
        return "fsync";
    case WriteCall::Close:
        return "close";
    case WriteCall::Rename:
        return "rename";
    }
    return "?";
}

WriteFaults::WriteFaults(std::string folder) {
    if (plan != nullptr) {
        throw std::logic_error("one fault plan at a time");
    }
    plan = new Plan;
    plan->folder = std::move(folder);
    if (!plan->folder.ends_with('/')) {
        plan->folder += '/';
    }
    plan->system = &platform::writerCalls();
    platform::setWriterCalls(&kFaultyCalls);
}

WriteFaults::WriteFaults(std::string folder, WriteCall call, int index, int error)
    : WriteFaults(std::move(folder)) {
    plan->failing = call;
    plan->index = index;
    plan->error = error;
}

WriteFaults::~WriteFaults() {
    platform::setWriterCalls(plan->system);
    delete plan;
    plan = nullptr;
}

int WriteFaults::count(WriteCall call) const {
    return plan->counts[static_cast<std::size_t>(call)];
}

bool WriteFaults::fired() const {
    return plan->fired;
}

} // namespace axolite::test
