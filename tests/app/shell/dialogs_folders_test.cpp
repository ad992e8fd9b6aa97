// The folder settings dialog on a temporary tree: the depth-first scan, "<<", "Принять" with
// its check, and cancelling the scan from the status window.
#include "app/gui/notifier.h"
#include "app/gui/status_window.h"
#include "app/shell/folder_settings_dialog.h"
#include "core/platform/folder_settings.h"
#include "dialog_controls.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

// a/{a1/{deep}, a2}, b, and a file and a link that are no directories of the tree.
void makeTree(const QString& root) {
    QDir dir(root);
    QVERIFY(dir.mkpath(QStringLiteral("a/a1/deep")));
    QVERIFY(dir.mkpath(QStringLiteral("a/a2")));
    QVERIFY(dir.mkpath(QStringLiteral("b")));
    QFile file(dir.filePath(QStringLiteral("b/file.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    // A link back to the root would make the tree endless if it were followed.
    QVERIFY(QFile::link(root, dir.filePath(QStringLiteral("b/loop"))));
}

QStringList childTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) {
        texts << item->child(i)->text(0);
    }
    texts.sort();
    return texts;
}

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class DialogsFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
    }

    void theScanBuildsTheTreeDepthFirstWithoutFollowingLinks() {
        QTemporaryDir root;
        makeTree(root.path());
        axolite::platform::FolderSettings settings;
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        QStringList scanned;
        dialog.setScanObserver([&](const QString& path) {
            scanned << QDir(root.path()).relativeFilePath(path);
            QVERIFY(dialog.statusWindow() != nullptr);
            QVERIFY(dialog.statusWindow()->isVisible());
        });
        QVERIFY(dialog.scanDrive(root.path()));
        QVERIFY(dialog.statusWindow() == nullptr);
        // Every directory once, each one's subtree right after it.
        QCOMPARE(scanned.size(), 5);
        QVERIFY(scanned.indexOf("a/a1") == scanned.indexOf("a") + 1 ||
                scanned.indexOf("a/a2") == scanned.indexOf("a") + 1);
        QCOMPARE(scanned.indexOf("a/a1/deep"), scanned.indexOf("a/a1") + 1);
        QCOMPARE(dialog.directoryCount(), 6);
        auto* tree = control<QTreeWidget>(dialog, "directories");
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), root.path());
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QCOMPARE(childTexts(tree->topLevelItem(0)), QStringList({"a", "b"}));
        QCOMPARE(findNode(tree, "b")->childCount(), 0);
    }

    void aDriveWithoutSubdirectoriesIsTheRootAlone() {
        QTemporaryDir root;
        axolite::platform::FolderSettings settings;
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        QVERIFY(dialog.scanDrive(root.path()));
        QCOMPARE(dialog.directoryCount(), 1);
    }

    void theArrowsCopyTheSelectedNodesPath() {
        QTemporaryDir root;
        makeTree(root.path());
        axolite::platform::FolderSettings settings;
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        QVERIFY(dialog.scanDrive(root.path()));
        auto* tree = control<QTreeWidget>(dialog, "directories");
        tree->setCurrentItem(findNode(tree, "deep"));
        QTest::mouseClick(control<QPushButton>(dialog, "3100"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(dialog, "3098")->text(), root.path() + "/a/a1/deep");
        tree->setCurrentItem(findNode(tree, "b"));
        QTest::mouseClick(control<QPushButton>(dialog, "3106"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(dialog, "3105")->text(), root.path() + "/b");
        QVERIFY(control<QLineEdit>(dialog, "3099")->text().isEmpty());
        QCOMPARE(TFolderSettingsDialog::nodePath(nullptr), QString());
    }

    void acceptingChecksEveryFieldAndKeepsWhatWasCopied() {
        QTemporaryDir root;
        makeTree(root.path());
        axolite::platform::FolderSettings settings;
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        control<QLineEdit>(dialog, "3098")->setText(root.path() + "/a");
        control<QLineEdit>(dialog, "3099")->setText(root.path() + "/missing");
        control<QLineEdit>(dialog, "3105")->setText(root.path() + "/b/file.txt");
        QTest::mouseClick(control<QPushButton>(dialog, "1"), Qt::LeftButton);
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(Notifier::instance().captured()[0].text,
                 std::string("Имя директории введено неверно."));
        QCOMPARE(Notifier::instance().captured()[0].kind, axolite::MessageKind::Error);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!settings.set);
        QCOMPARE(QString::fromStdString(settings.models), root.path() + "/a");
        QCOMPARE(QString::fromStdString(settings.networks), root.path() + "/missing");

        control<QLineEdit>(dialog, "3099")->clear();
        control<QLineEdit>(dialog, "3105")->setText(root.path() + "/b");
        QTest::mouseClick(control<QPushButton>(dialog, "1"), Qt::LeftButton);
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(settings.set);
        QCOMPARE(settings.networks, std::string());
        QCOMPARE(QString::fromStdString(settings.patterns), root.path() + "/b");

        // Opened again, the fields show the stored paths.
        TFolderSettingsDialog again(settings, nullptr, {root.path()});
        QCOMPARE(control<QLineEdit>(again, "3098")->text(), root.path() + "/a");
        QCOMPARE(control<QLineEdit>(again, "3105")->maxLength(), 127);
    }

    void threeEmptyFieldsAreAcceptedAndCancelChangesNothing() {
        QTemporaryDir root;
        axolite::platform::FolderSettings settings;
        {
            TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
            QVERIFY(control<QLineEdit>(dialog, "3098")->text().isEmpty());
            QTest::mouseClick(control<QPushButton>(dialog, "1"), Qt::LeftButton);
            QVERIFY(Notifier::instance().captured().empty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(settings.set);
            QCOMPARE(settings.models + settings.networks + settings.patterns, std::string());
        }
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        control<QLineEdit>(dialog, "3099")->setText(root.path());
        QTest::mouseClick(control<QPushButton>(dialog, "2"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(settings.set);
        QCOMPARE(settings.networks, std::string());
    }

    void cancellingTheScanClosesTheDialogAndChangesNothing() {
        QTemporaryDir root;
        makeTree(root.path());
        axolite::platform::FolderSettings settings;
        settings.models = "/kept";
        settings.set = true;
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        int seen = 0;
        dialog.setScanObserver([&](const QString&) {
            if (++seen == 2) {
                auto* status = dialog.statusWindow();
                QCOMPARE(status->windowTitle(), QStringLiteral("Сканирование директорий"));
                QVERIFY(control<QLabel>(*status, "31200")
                            ->text()
                            .startsWith(QStringLiteral("Идет сканирование директорий... ")));
                QTest::mouseClick(control<QPushButton>(*status, "3456"), Qt::LeftButton);
                QVERIFY(status->cancelRequested());
            }
        });
        dialog.show();
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(seen, 2);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(settings.set);
        QCOMPARE(settings.models, std::string("/kept"));
    }

    // "Принять" with a wrong folder while a scan runs: the message does not hold the scan, and
    // it stays until the user closes it.
    void aMessageDuringTheScanHoldsNothing() {
        QTemporaryDir root;
        makeTree(root.path());
        axolite::platform::FolderSettings settings;
        TFolderSettingsDialog dialog(settings, nullptr, {root.path()});
        Notifier::instance().setCapturing(false);
        QTimer rescue; // a box run modally would hold the scan: closed after 5 s, the test fails
        rescue.setSingleShot(true);
        connect(&rescue, &QTimer::timeout, this, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->close();
            }
        });
        QPointer<QMessageBox> shown;
        bool answeredAtOnce = false;
        bool asked = false;
        dialog.setScanObserver([&](const QString&) {
            if (asked) {
                return;
            }
            asked = true;
            control<QLineEdit>(dialog, "3098")->setText(root.path() + "/missing");
            rescue.start(5000);
            QTest::mouseClick(control<QPushButton>(dialog, "1"), Qt::LeftButton);
            answeredAtOnce = rescue.isActive();
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                    shown = box;
                }
            }
        });
        dialog.show();
        QTRY_VERIFY(asked);
        Notifier::instance().setCapturing(true);
        QVERIFY(answeredAtOnce);
        QVERIFY(shown);
        QVERIFY(!shown->isModal());
        QCOMPARE(shown->text(), QStringLiteral("Имя директории введено неверно."));
        QVERIFY(dialog.isVisible());
        shown->close();
        QTRY_VERIFY(!shown);
    }

    // Another drive chosen while the first one is scanned: that scan stops and the drive the
    // selector shows is scanned.
    void choosingAnotherDriveDuringAScanScansIt() {
        QTemporaryDir first;
        QTemporaryDir second;
        makeTree(first.path());
        QVERIFY(QDir(second.path()).mkpath(QStringLiteral("only")));
        axolite::platform::FolderSettings settings;
        TFolderSettingsDialog dialog(settings, nullptr, {first.path(), second.path()});
        auto* drive = dialog.findChild<QComboBox*>(QStringLiteral("drive"));
        bool chosen = false;
        dialog.setScanObserver([&](const QString& path) {
            if (!chosen && path.startsWith(first.path())) {
                chosen = true;
                drive->setCurrentIndex(1);
                emit drive->activated(1);
            }
        });
        dialog.show();
        QTRY_COMPARE(dialog.directoryCount(), 2);
        QVERIFY(chosen);
        auto* tree = dialog.findChild<QTreeWidget*>();
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(tree->topLevelItem(0)->text(0), second.path());
        QCOMPARE(childTexts(tree->topLevelItem(0)), QStringList{"only"});
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.statusWindow() == nullptr);
    }

    void theStatusWindowKeepsItsTextAndCancelFlag() {
        TStatusWindow status(QStringLiteral("Запись файла"));
        QVERIFY(!status.cancelRequested());
        status.setText(QStringLiteral("другой текст"));
        QCOMPARE(status.text(), QStringLiteral("другой текст"));
        status.show();
        status.close(); // closing is cancelling; the work destroys the window
        QVERIFY(status.cancelRequested());
        QVERIFY(status.isVisible());
    }

    void drivesBeginWithTheHomeFolder() {
        QStringList drives = TFolderSettingsDialog::localDrives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first(), QDir::homePath());
        QCOMPARE(drives.removeDuplicates(), 0);
    }
};

QTEST_MAIN(DialogsFoldersTest)
#include "dialogs_folders_test.moc"
