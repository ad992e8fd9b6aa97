// The association of the ".net" extension with the program on a freedesktop desktop: a MIME
// package with the comment "Нейронная сеть", a desktop entry and an icon under $XDG_DATA_HOME.
// Written at every start; the argument "unregister" removes them instead.
#pragma once

#include <QString>
#include <QStringList>

namespace axolite::shell {

// The MIME type that ".net" descriptions carry.
inline constexpr const char* kDescriptionMimeType = "application/x-axolite-network";

// $XDG_DATA_HOME, or ~/.local/share when it is unset or empty (or not an absolute path).
QString xdgDataHome();

// The files the association consists of, relative to the data home.
QStringList associationFiles();

// Writes the MIME package, the desktop entry (starting programPath with the file) and the icon.
// Answers false when a file could not be written.
bool writeFileAssociation(const QString& dataHome, const QString& programPath);

// Removes what writeFileAssociation wrote; files that are not there are no failure.
bool removeFileAssociation(const QString& dataHome);

// True when the arguments (after the program's name) ask for removal.
bool wantsUnregister(const QStringList& arguments);

// Refreshes the desktop's MIME and desktop-entry caches when their tools are installed
// (started detached; nothing waits for them).
void refreshDesktopDatabases(const QString& dataHome);

} // namespace axolite::shell
