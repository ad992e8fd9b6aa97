// The platform's own dialogs inside the program: their standard texts in Russian, file dialogs
// that never open the files they list (a special file such as /proc/kmsg would hold them for
// good), "Все типы файлов (*.*)" listing every file, and help that follows stacked modal dialogs.
#include "app/gui/file_dialogs.h"
#include "app/gui/help_window.h"
#include "app/gui/platform_dialogs.h"
#include "app/training/teach_network.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMutex>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>
#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>

// Every open of Qt passes here. While armed, a file directly in /proc is refused
// (never read, so a regression cannot hang the test) and its name is kept.
namespace {

std::atomic<bool> armed{false};
QMutex openedLock;
QStringList& openedInProc() {
    static QStringList names;
    return names;
}

bool refused(const char* path, int flags) {
    if (!armed || path == nullptr || (flags & O_DIRECTORY) != 0 ||
        std::strncmp(path, "/proc/", 6) != 0 || std::strchr(path + 6, '/') != nullptr) {
        return false;
    }
    const QMutexLocker lock(&openedLock);
    openedInProc() << QString::fromLocal8Bit(path);
    errno = EACCES;
    return true;
}

} // namespace

// Qt opens files through open64 (its only open of the C library).
extern "C" int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list rest;
        va_start(rest, flags);
        mode = va_arg(rest, mode_t);
        va_end(rest);
    }
    if (refused(path, flags)) {
        return -1;
    }
    using Real = int (*)(const char*, int, ...);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "open64"));
    return real(path, flags, mode);
}

class DialogsPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(axolite::gui::installQtTranslations(*qApp)); }

    void standardTextsReadInRussian() {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Axolite"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        const auto shown = [&box](QMessageBox::StandardButton which) {
            return box.button(which)->text().remove(u'&');
        };
        QCOMPARE(shown(QMessageBox::Yes), QStringLiteral("Да"));
        QCOMPARE(shown(QMessageBox::No), QStringLiteral("Нет"));
        QCOMPARE(shown(QMessageBox::Cancel), QStringLiteral("Отмена"));
        QCOMPARE(shown(QMessageBox::Ok), QStringLiteral("OK")); // the same word in Russian

        QFileDialog dialog(nullptr, QStringLiteral("Сохранить как"), QDir::tempPath());
        axolite::gui::prepareFileDialog(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(dialog.labelText(QFileDialog::Accept), QStringLiteral("&Сохранить"));
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            labels << label->text();
        }
        QVERIFY2(!labels.join(u' ').contains(QStringLiteral("File name")),
                 qPrintable(labels.join(u'|')));
        QVERIFY(!QCoreApplication::translate("QFileDialog",
                                             "%1 already exists.\nDo you want to replace it?")
                     .contains(QStringLiteral("already exists")));
    }

    void fileDialogsNeverOpenTheFilesTheyList() {
        QVERIFY(QFile::exists(QStringLiteral("/proc/version")));
        QFileDialog dialog(nullptr, QStringLiteral("Сохранить как"), QDir::tempPath(),
                           QStringLiteral("Файлы образов (*.ptn)"));
        axolite::gui::prepareFileDialog(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        auto* model = dialog.findChild<QFileSystemModel*>();
        QVERIFY(model != nullptr);
        armed = true;
        dialog.show();
        // The user types a special folder into the name field; the dialog lists it and tells
        // the type of every entry.
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                         QStringLiteral("/proc/"));
        dialog.setDirectory(QStringLiteral("/proc"));
        const QModelIndex proc = model->index(QStringLiteral("/proc"));
        QTRY_VERIFY_WITH_TIMEOUT(model->rowCount(proc) > 5, 10000);
        QTest::qWait(200);
        for (int row = 0; row < model->rowCount(proc); ++row) {
            const QModelIndex entry = model->index(row, 0, proc);
            model->data(entry.siblingAtColumn(2), Qt::DisplayRole); // the type column
            model->data(entry, Qt::DecorationRole);
        }
        QTest::qWait(200);
        armed = false;
        QVERIFY(!QDir(QStringLiteral("/proc")).entryList(QDir::Files).isEmpty());
        const QMutexLocker lock(&openedLock);
        QCOMPARE(openedInProc(), QStringList());
    }

    void qtsOwnDialogsGetTheNameOnlyProviderToo() {
        axolite::gui::guardFileSystemModels(*qApp);
        QPrintDialog print;
        print.show();
        const auto models = print.findChildren<QFileSystemModel*>();
        for (const QFileSystemModel* model : models) {
            QVERIFY(model->iconProvider() == axolite::gui::nameOnlyIconProvider());
        }
        print.hide();
    }

    void theAllFilesFilterListsEveryFile() {
        // The browse dialog of the training files offers it with its text.
        QString filter;
        axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest& request) {
            filter = request.filter;
            return QString();
        });
        {
            TTeachNetwork teach(nullptr);
            teach.showPage(TTeachNetwork::TrainingPage);
            teach.findChild<QPushButton*>(QString::number(axolite::training_ui::IdInputBrowse))
                ->click();
        }
        axolite::gui::setFileChooser({});
        QCOMPARE(filter, QStringLiteral("Файлы образов (*.ptn);;Все типы файлов (*.*)"));

        // Chosen in the dialog, it lists names without a dot as well.
        QTemporaryDir dir;
        for (const char* name : {"a.ptn", "b.txt", "plain"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFileDialog dialog(nullptr, QStringLiteral("Открыть"), dir.path(), filter);
        axolite::gui::prepareFileDialog(dialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.show();
        auto* model = dialog.findChild<QFileSystemModel*>();
        const QModelIndex folder = model->index(dir.path());
        QTRY_COMPARE(model->rowCount(folder), 1); // "a.ptn"
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types != nullptr);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("Все типы файлов (*.*)"));
        QTRY_COMPARE(model->rowCount(folder), 3);
    }

    void helpFollowsTheModalDialogOnTop() {
        QDialog lower;
        lower.setWindowModality(Qt::ApplicationModal);
        lower.show();
        openHelp(0);
        THelpWindow* help = helpWindow();
        QVERIFY(help != nullptr);
        QCOMPARE(help->parentWidget(), &lower);
        {
            // A second dialog over the first: the help moves over it, so it is not blocked.
            QDialog upper;
            upper.setWindowModality(Qt::ApplicationModal);
            upper.show();
            QTRY_COMPARE(help->parentWidget(), &upper);
            QVERIFY(help->isVisible());
            upper.hide();
            // The upper one gone: back over the lower one.
            QTRY_COMPARE(help->parentWidget(), &lower);
            QVERIFY(help->isVisible());
        }
        lower.hide();
        QTRY_VERIFY(help->parentWidget() == nullptr);
        closeHelp();
    }
};

QTEST_MAIN(DialogsPlatformTest)
#include "dialogs_platform_test.moc"
