// The one way the program and the tool write a file from Qt's data: the engine's AtomicFile (a
// temporary file beside the target, every write, the flush and the sync checked, a rename only
// when all of it succeeded). Not Qt's save-file class: it can rename a file whose flush failed.
#pragma once

#include "core/platform/atomic_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace axolite::render {

// Writes the bytes as the file. Nothing when written; otherwise the failure, and the file that
// was there stays as it was.
std::optional<platform::FileWriteFailure> writeFile(const QString& path, const QByteArray& bytes);

// The writer for a file written in parts (a long table): open, write, commit.
platform::AtomicFile fileWriter(const QString& path);

// The message of a failure: its text names the step that failed and the path.
QString failureText(const platform::FileWriteFailure& failure);

} // namespace axolite::render
