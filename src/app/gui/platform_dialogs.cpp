// Qt's translations, and file dialogs that never read a file to show it.
#include "app/gui/platform_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLibraryInfo>
#include <QMimeDatabase>
#include <QTranslator>
#include <QWidget>

namespace axolite::gui {

namespace {

class NameOnlyIconProvider : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }

    QIcon icon(const QFileInfo& info) const override {
        // A folder's icon needs no reading; a file's comes from the type its name gives.
        if (info.isRoot() || info.isDir()) {
            return QFileIconProvider::icon(info);
        }
        const QIcon themed = QIcon::fromTheme(typeOf(info).iconName());
        return themed.isNull() ? QFileIconProvider::icon(QAbstractFileIconProvider::File) : themed;
    }

    QString type(const QFileInfo& info) const override {
        if (info.isRoot() || info.isDir()) {
            return QFileIconProvider::type(info);
        }
        return typeOf(info).comment();
    }

private:
    QMimeType typeOf(const QFileInfo& info) const {
        // MatchExtension: the name alone, the file is never opened (a regular file of /proc
        // such as kmsg blocks its reader until the kernel writes).
        return mimes_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase mimes_;
};

void giveProvider(QObject& owner) {
    for (QFileSystemModel* model : owner.findChildren<QFileSystemModel*>()) {
        if (model->iconProvider() != nameOnlyIconProvider()) {
            model->setIconProvider(nameOnlyIconProvider());
        }
    }
}

// "(*.*)" selects every file: Qt's dialog would show only names with a dot.
void selectEveryFileFor(QFileDialog& dialog, const QString& filter) {
    if (!filter.trimmed().endsWith(QStringLiteral("(*.*)"))) {
        return;
    }
    if (auto* model = dialog.findChild<QFileSystemModel*>()) {
        model->setNameFilters({QStringLiteral("*")});
    }
}

class ModelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Polish && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            giveProvider(*watched);
        }
        return false;
    }
};

} // namespace

bool installQtTranslations(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

QAbstractFileIconProvider* nameOnlyIconProvider() {
    static NameOnlyIconProvider provider;
    return &provider;
}

void prepareFileDialog(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setIconProvider(nameOnlyIconProvider());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { selectEveryFileFor(dialog, filter); });
    selectEveryFileFor(dialog, dialog.selectedNameFilter());
}

void guardFileSystemModels(QApplication& application) {
    application.installEventFilter(new ModelGuard(&application));
}

} // namespace axolite::gui
