// The recent-files list: at most four description paths, most recent first, kept in the profile
// file (section "MRU", key "Count" and one key "File1".."File4" per entry).
#pragma once

#include <QString>
#include <QStringList>

namespace axolite::shell {

class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    explicit RecentFiles(QString profilePath);

    // Reads the list from the profile file; a missing or damaged file gives an empty list.
    void load();
    // Puts the path first (removing an older entry of the same file), keeps at most four entries
    // and writes the list back. Answers false when the profile file could not be written.
    bool add(const QString& path);
    // Drops an entry (a file that could no longer be read) and writes the list back.
    bool remove(const QString& path);

    const QStringList& entries() const { return entries_; }
    const QString& profilePath() const { return profilePath_; }

private:
    bool save() const;

    QString profilePath_;
    QStringList entries_;
};

} // namespace axolite::shell
