// A fault-injecting layer under the file writer: while an object lives, the writer's system calls
// on files in one folder are counted, and one chosen call (the n-th create, write, sync, close or
// rename) fails as a full disk or a lost device would make it fail. Files elsewhere (a profile the
// program keeps on the side) are written as usual.
#pragma once

#include <array>
#include <string>

namespace axolite::test {

enum class WriteCall { Create, Write, Sync, Close, Rename };

inline constexpr std::array<WriteCall, 5> kWriteCalls{
    WriteCall::Create, WriteCall::Write, WriteCall::Sync, WriteCall::Close, WriteCall::Rename};

std::string writeCallName(WriteCall call);

class WriteFaults {
public:
    // Counts the calls on files in the folder (and its subfolders) and fails none.
    explicit WriteFaults(std::string folder);
    // Fails the call of this kind with this index (0 is the first) with the error.
    WriteFaults(std::string folder, WriteCall call, int index, int error);
    ~WriteFaults();
    WriteFaults(const WriteFaults&) = delete;
    WriteFaults& operator=(const WriteFaults&) = delete;

    // How many calls of the kind were made while the object lived.
    int count(WriteCall call) const;
    // Whether the chosen call was reached (and failed).
    bool fired() const;
};

} // namespace axolite::test
