// The recent-files list in the profile file.
#include "app/shell/recent_files.h"

#include "core/platform/profile_file.h"

#include <QFileInfo>

#include <algorithm>
#include <filesystem>
#include <string>

namespace axolite::shell {

namespace {

constexpr const char* kSection = "MRU";
constexpr const char* kCountKey = "Count";

std::string entryKey(int index) {
    return "File" + std::to_string(index + 1);
}

std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

// Two spellings of one file are one entry.
bool sameFile(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

RecentFiles::RecentFiles(QString profilePath) : profilePath_(std::move(profilePath)) {}

void RecentFiles::load() {
    entries_.clear();
    const auto path = toPath(profilePath_);
    const auto count = platform::readProfileString(path, kSection, kCountKey);
    if (!count) {
        return;
    }
    int n = 0;
    try {
        n = std::stoi(*count);
    } catch (const std::exception&) {
        return;
    }
    n = std::clamp(n, 0, kMaxEntries);
    for (int i = 0; i < n; ++i) {
        const auto value = platform::readProfileString(path, kSection, entryKey(i));
        if (value && !value->empty()) {
            entries_.append(QString::fromStdString(*value));
        }
    }
}

bool RecentFiles::add(const QString& path) {
    const QStringList before = entries_;
    for (qsizetype i = entries_.size() - 1; i >= 0; --i) {
        if (sameFile(entries_[i], path)) {
            entries_.removeAt(i);
        }
    }
    entries_.prepend(path);
    while (entries_.size() > kMaxEntries) {
        entries_.removeLast();
    }
    // A file opened again while at the top leaves the list, and so the profile, as it was.
    return entries_ == before || save();
}

bool RecentFiles::remove(const QString& path) {
    const auto before = entries_.size();
    for (qsizetype i = entries_.size() - 1; i >= 0; --i) {
        if (sameFile(entries_[i], path)) {
            entries_.removeAt(i);
        }
    }
    return before == entries_.size() || save();
}

bool RecentFiles::save() const {
    std::vector<std::pair<std::string, std::string>> values;
    values.emplace_back(kCountKey, std::to_string(entries_.size()));
    for (int i = 0; i < kMaxEntries; ++i) {
        values.emplace_back(entryKey(i),
                            i < entries_.size() ? entries_[i].toStdString() : std::string());
    }
    try {
        return platform::writeProfileStrings(toPath(profilePath_), kSection, values);
    } catch (const std::bad_alloc&) {
        return false; // the list is kept for the run; the file keeps its last entries
    }
}

} // namespace axolite::shell
