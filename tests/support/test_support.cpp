// Helpers shared by the test programs.
#include "test_support.h"

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace axolite::test {

std::filesystem::path examplePath(const std::string& name) {
#ifdef AXOLITE_EXAMPLES_DIR
    return std::filesystem::path(AXOLITE_EXAMPLES_DIR) / name;
#else
    return std::filesystem::path("examples") / name;
#endif
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("axolite-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

FileSizeLimit::FileSizeLimit(unsigned long long bytes, bool ignoreSignal) {
    previousHandler_ = std::signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previous_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = previous_;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}

namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return;
    }
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

} // namespace

std::string golden(const std::filesystem::path& file, const std::string& actual,
                   const std::vector<std::pair<std::string, std::string>>& placeholders) {
    const char* update = std::getenv("AXOLITE_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::string kept = actual;
        for (const auto& [placeholder, value] : placeholders) {
            replaceAll(kept, value, placeholder);
        }
        writeFile(file, kept);
    }
    std::string expected = readFile(file);
    for (const auto& [placeholder, value] : placeholders) {
        replaceAll(expected, placeholder, value);
    }
    return expected;
}

bool nearlyEqual(double a, double b, double relative) {
    if (a == b) {
        return true;
    }
    const double scale = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) <= relative * std::max(scale, 1.0);
}

} // namespace axolite::test
