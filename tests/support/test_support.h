// Helpers shared by the test programs: reading example files, temporary folders, tolerances.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace axolite::test {

// Path of a file under examples/.
std::filesystem::path examplePath(const std::string& name);

// Whole file as bytes.
std::string readFile(const std::filesystem::path& path);

// Writes bytes to a file, creating its folder.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh empty folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// While it lives, no regular file may grow beyond `bytes` (in this process and the programs it
// starts): a write past the limit fails as on a full disk. The signal such a write raises is
// ignored, so the write returns its error instead of ending the process; with
// ignoreSignal false the signal keeps the system's action, which ends a program that does not
// ignore it itself.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long long bytes, bool ignoreSignal = true);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long previous_ = 0;
    void (*previousHandler_)(int) = nullptr;
};

// The expected text kept in a golden file, with each placeholder of the file replaced by its
// value (for example {"{models}", the models folder}). With AXOLITE_UPDATE_GOLDEN=1 in the
// environment the file is first written anew from the actual text, the values put back as their
// placeholders: `AXOLITE_UPDATE_GOLDEN=1 ctest -R Golden` regenerates every golden file (review
// the difference before committing it).
std::string golden(const std::filesystem::path& file, const std::string& actual,
                   const std::vector<std::pair<std::string, std::string>>& placeholders = {});

// True when a and b agree within a relative tolerance (absolute near zero).
bool nearlyEqual(double a, double b, double relative = 1e-12);

} // namespace axolite::test
