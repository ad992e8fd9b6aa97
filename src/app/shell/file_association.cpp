// Writing and removing the ".net" association under $XDG_DATA_HOME.
#include "app/shell/file_association.h"

#include "render/safe_file.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace axolite::shell {

namespace {

const QString kMimePackage = QStringLiteral("mime/packages/axolite-network.xml");
const QString kDesktopEntry = QStringLiteral("applications/axolite.desktop");
const QString kAppIcon = QStringLiteral("icons/hicolor/scalable/apps/axolite.svg");
const QString kMimeIcon =
    QStringLiteral("icons/hicolor/scalable/mimetypes/application-x-axolite-network.svg");

QByteArray mimePackage() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-axolite-network\">\n"
        "    <comment>Нейронная сеть</comment>\n"
        "    <icon name=\"application-x-axolite-network\"/>\n"
        "    <sub-class-of type=\"text/plain\"/>\n"
        "    <glob pattern=\"*.net\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

// The Exec value of the desktop-entry format for a program path: the path in double quotes, with
// the double quote, backquote, dollar sign and backslash escaped by a backslash, and a percent
// sign doubled (it would start a field code). The value is then escaped as every string value
// is, which doubles each backslash again: readers undo that before they unquote.
QString execValue(const QString& program) {
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        } else if (c == u'%') {
            quoted += u'%';
        }
        quoted += c;
    }
    QString value = u'"' + quoted + u'"';
    return value.replace(u'\\', QStringLiteral("\\\\"));
}

QByteArray desktopEntry(const QString& programPath) {
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Axolite\n"
                                   "Comment=Моделирование искусственных нейронных сетей\n"
                                   "Icon=axolite\n"
                                   "Terminal=false\n"
                                   "Categories=Education;Science;\n"
                                   "MimeType=application/x-axolite-network;\n");
    // Line breaks in a path would end the key: such a path cannot be written into an entry.
    QString path = programPath;
    path.replace(u'\n', u' ').replace(u'\r', u' ');
    entry += QStringLiteral("Exec=") + execValue(path) + QStringLiteral(" %f\n");
    return entry.toUtf8();
}

QByteArray iconBytes() {
    QFile icon(QStringLiteral(":/resources/axolite.svg"));
    if (icon.open(QIODevice::ReadOnly)) {
        return icon.readAll();
    }
    return {};
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    return !axolite::render::writeFile(path, bytes);
}

} // namespace

QString xdgDataHome() {
    const QString env = qEnvironmentVariable("XDG_DATA_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env)) {
        return env;
    }
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QStringList associationFiles() {
    return {kMimePackage, kDesktopEntry, kAppIcon, kMimeIcon};
}

bool writeFileAssociation(const QString& dataHome, const QString& programPath) {
    const QDir home(dataHome);
    const QByteArray icon = iconBytes();
    bool ok = writeFile(home.filePath(kMimePackage), mimePackage());
    ok = writeFile(home.filePath(kDesktopEntry), desktopEntry(programPath)) && ok;
    if (!icon.isEmpty()) {
        ok = writeFile(home.filePath(kAppIcon), icon) && ok;
        ok = writeFile(home.filePath(kMimeIcon), icon) && ok;
    }
    return ok;
}

bool removeFileAssociation(const QString& dataHome) {
    const QDir home(dataHome);
    bool ok = true;
    for (const QString& file : associationFiles()) {
        const QString path = home.filePath(file);
        if (QFileInfo::exists(path) && !QFile::remove(path)) {
            ok = false;
        }
    }
    return ok;
}

bool wantsUnregister(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("unregister"), Qt::CaseInsensitive);
}

void refreshDesktopDatabases(const QString& dataHome) {
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!mime.isEmpty()) {
        QProcess::startDetached(mime, {QDir(dataHome).filePath(QStringLiteral("mime"))});
    }
    const QString desktop =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!desktop.isEmpty()) {
        QProcess::startDetached(desktop, {QDir(dataHome).filePath(QStringLiteral("applications"))});
    }
}

} // namespace axolite::shell
