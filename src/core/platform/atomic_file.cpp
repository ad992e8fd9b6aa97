// Writing a file through a temporary file in its folder, a flush to the disk and a rename.
#include "core/platform/atomic_file.h"

#include "core/platform/folder_settings.h"
#include "core/platform/writer_calls.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace axolite::platform {

namespace {

// What is buffered before it goes to the file.
constexpr std::size_t kBufferSize = 1 << 16;

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    static const unsigned start = std::random_device{}();
    char text[48];
    std::snprintf(text, sizeof text, ".%ld-%08x.tmp", static_cast<long>(::getpid()),
                  start + counter.fetch_add(1) * 2654435761u);
    return text;
}

void syncFolder(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// Moves from over to (never replacing anything at to): the kernel's no-replace rename, or a
// hard link and an unlink where the file system has no such rename.
int systemRenameWithoutReplacing(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return -1;
    }
    if (::link(from, to) != 0) {
        return -1;
    }
    ::unlink(from);
    return 0;
}

int systemCreate(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

const WriterCalls kSystemCalls{systemCreate, ::write,  ::fsync,
                               ::close,      ::rename, systemRenameWithoutReplacing};
std::atomic<const WriterCalls*> callsInForce{&kSystemCalls};

} // namespace

const WriterCalls& writerCalls() {
    return *callsInForce.load();
}

const WriterCalls* setWriterCalls(const WriterCalls* calls) {
    return callsInForce.exchange(calls != nullptr ? calls : &kSystemCalls);
}

Message fileWriteMessage(const FileWriteFailure& failure) {
    const std::string path = utf8FromPath(failure.path);
    switch (failure.step) {
    case FileWriteStep::Create:
        return {MessageKind::Error, "Невозможно создать файл " + path};
    case FileWriteStep::Write:
        return {MessageKind::Error, "Ошибка при записи файла " + path};
    case FileWriteStep::Replace:
        return {MessageKind::Error, "Невозможно заменить файл " + path};
    }
    return {MessageKind::Error, "Ошибка при записи файла " + path};
}

AtomicFile::AtomicFile(std::filesystem::path target, ExistingTarget existing)
    : target_(std::move(target)), destination_(target_), existing_(existing) {}

AtomicFile::~AtomicFile() {
    if (!committed_) {
        discard();
    }
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), destination_(std::move(other.destination_)),
      temporary_(std::move(other.temporary_)), existing_(other.existing_),
      descriptor_(other.descriptor_), buffer_(std::move(other.buffer_)), finished_(other.finished_),
      committed_(other.committed_), failure_(std::move(other.failure_)) {
    other.descriptor_ = -1;
    other.temporary_.clear();
    other.committed_ = true;
}

bool AtomicFile::fail(FileWriteStep step, int error) {
    if (!failure_) {
        failure_ = FileWriteFailure{step, target_, std::error_code(error, std::generic_category())};
    }
    discard();
    return false;
}

bool AtomicFile::open() {
    if (failure_ || descriptor_ >= 0) {
        return !failure_;
    }
    if (target_.empty() || !target_.has_filename()) { // no name, or a folder's ("out/")
        return fail(FileWriteStep::Create, target_.empty() ? ENOENT : EISDIR);
    }
    struct stat link {};
    const bool there = ::lstat(target_.c_str(), &link) == 0;
    if (!there && errno != ENOENT) {
        return fail(FileWriteStep::Create, errno);
    }
    mode_t keptMode = 0;
    if (there && existing_ == ExistingTarget::Keep) {
        return fail(FileWriteStep::Replace, EEXIST);
    }
    if (there) {
        struct stat file {};
        if (::stat(target_.c_str(), &file) != 0) {
            if (errno != ENOENT) { // a dangling link is replaced itself
                return fail(FileWriteStep::Create, errno);
            }
        } else {
            if (S_ISDIR(file.st_mode)) {
                return fail(FileWriteStep::Create, EISDIR);
            }
            if (!S_ISREG(file.st_mode)) {
                return fail(FileWriteStep::Create, EINVAL);
            }
            if ((file.st_mode & S_IWUSR) == 0 || ::access(target_.c_str(), W_OK) != 0) {
                return fail(FileWriteStep::Create, EACCES);
            }
            keptMode = file.st_mode & 07777;
            if (S_ISLNK(link.st_mode)) {
                std::error_code ec;
                destination_ = std::filesystem::canonical(target_, ec);
                if (ec) {
                    return fail(FileWriteStep::Create, ec.value());
                }
            }
        }
    }
    std::filesystem::path folder = destination_.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const std::string base = "." + destination_.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = folder / (base + uniqueSuffix());
        descriptor_ = writerCalls().create(
            candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (descriptor_ >= 0) {
            temporary_ = candidate;
            break;
        }
        if (errno != EEXIST) {
            return fail(FileWriteStep::Create, errno);
        }
    }
    if (descriptor_ < 0) {
        return fail(FileWriteStep::Create, EEXIST);
    }
    if (keptMode != 0) {
        ::fchmod(descriptor_, keptMode); // the replaced file's permissions stay
    }
    buffer_.reserve(kBufferSize);
    return true;
}

bool AtomicFile::flushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n =
            writerCalls().write(descriptor_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return fail(FileWriteStep::Write, n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return true;
}

bool AtomicFile::write(std::string_view bytes) {
    if (failure_ || finished_) {
        return failure_ ? false : fail(FileWriteStep::Write, EBADF);
    }
    if (descriptor_ < 0 && !open()) {
        return false;
    }
    if (buffer_.size() + bytes.size() > kBufferSize) {
        if (!flushBuffer()) {
            return false;
        }
        if (bytes.size() > kBufferSize) {
            buffer_ = bytes;
            return flushBuffer();
        }
    }
    buffer_ += bytes;
    return true;
}

bool AtomicFile::finish() {
    if (failure_ || finished_) {
        return !failure_;
    }
    if (descriptor_ < 0 && !open()) {
        return false;
    }
    if (!flushBuffer()) {
        return false;
    }
    // EINVAL: a file system that has no syncs.
    if (writerCalls().sync(descriptor_) != 0 && errno != EINVAL) {
        return fail(FileWriteStep::Write, errno);
    }
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (writerCalls().close(descriptor) != 0 && errno != EINTR) {
        return fail(FileWriteStep::Write, errno);
    }
    finished_ = true;
    return true;
}

bool AtomicFile::commit() {
    if (committed_ || !finish()) {
        return committed_ && !failure_;
    }
    if (existing_ == ExistingTarget::Keep) {
        if (writerCalls().renameWithoutReplacing(temporary_.c_str(), destination_.c_str()) != 0) {
            return fail(FileWriteStep::Replace, errno);
        }
    } else if (writerCalls().rename(temporary_.c_str(), destination_.c_str()) != 0) {
        return fail(FileWriteStep::Replace, errno);
    }
    temporary_.clear();
    committed_ = true;
    const std::filesystem::path folder = destination_.parent_path();
    syncFolder(folder.empty() ? std::filesystem::path(".") : folder);
    return true;
}

void AtomicFile::discard() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    buffer_.clear();
}

std::optional<FileWriteFailure> writeFileAtomically(const std::filesystem::path& path,
                                                    std::string_view bytes) {
    AtomicFile file(path);
    if (file.open() && file.write(bytes) && file.commit()) {
        return std::nullopt;
    }
    return file.failure();
}

} // namespace axolite::platform
