// Files written whole or not at all: the bytes go to a new temporary file in the target's folder,
// which replaces the target by a rename only once everything was written and flushed to disk.
#pragma once

#include "core/common/message.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace axolite::platform {

// The step of a write that failed.
enum class FileWriteStep {
    Create,  // the temporary file could not be created, or the target may not be written
    Write,   // writing, flushing or closing the temporary file failed (a full disk)
    Replace, // the finished file could not take the target's name
};

struct FileWriteFailure {
    FileWriteStep step = FileWriteStep::Create;
    std::filesystem::path path; // the target
    std::error_code error;      // the system's reason
};

// The message of a failure, with the error icon: "Невозможно создать файл <path>" (Create),
// "Ошибка при записи файла <path>" (Write), "Невозможно заменить файл <path>" (Replace).
Message fileWriteMessage(const FileWriteFailure& failure);

// A failed write carried out of a writer: the message of fileWriteMessage and the failure.
class FileWriteError : public AxoliteError {
public:
    explicit FileWriteError(FileWriteFailure failure)
        : AxoliteError(fileWriteMessage(failure).kind, fileWriteMessage(failure).text),
          failure_(std::move(failure)) {}
    const FileWriteFailure& failure() const { return failure_; }
    FileWriteStep step() const { return failure_.step; }

private:
    FileWriteFailure failure_;
};

// What commit does with a target that is there.
enum class ExistingTarget {
    Replace, // the new file replaces it
    Keep,    // the target is never replaced: commit fails (Replace step) when it is there
};

// One file written through a temporary file. open, write as often as needed, then commit (or
// finish every file of a set first and commit them one after another). A file that was not
// committed is removed with the object, so a failure leaves the target as it was and no
// temporary file behind. The first failure is kept; every later call returns false.
//
// The target is refused at the Create step when it is a folder, a device or any other file that
// is not a regular file, or a regular file its owner may not write. A symbolic link to a regular
// file is followed, and the file it names is replaced; a dangling one is replaced itself. With
// ExistingTarget::Keep no link is followed and nothing that is there is replaced.
class AtomicFile {
public:
    explicit AtomicFile(std::filesystem::path target,
                        ExistingTarget existing = ExistingTarget::Replace);
    ~AtomicFile();
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&&) = delete;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file beside the target (a new name, never an existing file).
    bool open();
    // Appends bytes (buffered).
    bool write(std::string_view bytes);
    // Writes what is buffered, flushes it to the disk and closes the temporary file.
    bool finish();
    // Finishes (when not done yet) and renames the temporary file over the target.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    const std::filesystem::path& target() const { return target_; }
    const std::optional<FileWriteFailure>& failure() const { return failure_; }

private:
    bool fail(FileWriteStep step, int error);
    bool flushBuffer();

    std::filesystem::path target_;      // as given: messages name it
    std::filesystem::path destination_; // what the rename replaces (a followed link's file)
    std::filesystem::path temporary_;
    ExistingTarget existing_;
    int descriptor_ = -1;
    std::string buffer_;
    bool finished_ = false;
    bool committed_ = false;
    std::optional<FileWriteFailure> failure_;
};

// Writes the whole file through a temporary file. Nothing when written, the failure otherwise.
std::optional<FileWriteFailure> writeFileAtomically(const std::filesystem::path& path,
                                                    std::string_view bytes);

} // namespace axolite::platform
