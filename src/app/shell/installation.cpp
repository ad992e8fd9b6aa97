// The program's installation, found from the folder of its executable.
#include "app/shell/installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace axolite::shell {

QString programVersion() {
    return QStringLiteral(AXOLITE_VERSION);
}

Installation installation(const QString& programFolder) {
    const QString folder =
        programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
    const QDir share(QDir::cleanPath(folder + QStringLiteral("/../share")));
    Installation found;
    found.program = QCoreApplication::applicationFilePath();
    found.installed =
        QFileInfo(share.filePath(QStringLiteral("applications/org.axolite.Axolite.desktop")))
            .isFile();
    const QString installedExamples = share.filePath(QStringLiteral("axolite/examples"));
    const QString sourceExamples = QStringLiteral(AXOLITE_SOURCE_EXAMPLES);
    if (found.installed && QFileInfo(installedExamples).isDir()) {
        found.examples = installedExamples;
    } else if (!found.installed && QFileInfo(sourceExamples).isDir()) {
        found.examples = sourceExamples;
    }
    return found;
}

} // namespace axolite::shell
