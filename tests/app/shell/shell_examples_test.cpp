// The first hour with the program: every example opened through "Открыть ...", checked and
// simulated with no folder set, the status bar naming where its models came from; and the check
// window's rows leading to their lines in the text.
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include "dialog_controls.h"
#include <QDir>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace axolite::shell;

class ShellExamplesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    // Opens the file through the frame's open command, as a user choosing it in the dialog.
    TAxoliteMDIChild* open(const QString& path) {
        frame_->chooseOpenFile = [path](QWidget*, const QString&) { return path; };
        frame_->execute(CmFileOpen);
        return frame_->activeChild();
    }

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
        // Started elsewhere than the examples: the current folder holds no model.
        QVERIFY(QDir::setCurrent(dir_.path()));
        frame_ = std::make_unique<TAxoliteApp>(dir_.filePath(QStringLiteral("Axolite.ini")));
        frame_->show();
    }
    void cleanup() { frame_.reset(); }

    void everyExampleRunsAsShipped() {
        const QDir examples(QStringLiteral(AXOLITE_EXAMPLES_DIR));
        const QStringList names = examples.entryList({QStringLiteral("*.net")}, QDir::Files);
        QVERIFY(names.size() >= 4);
        for (const QString& name : names) {
            TAxoliteMDIChild* child = open(examples.filePath(name));
            QVERIFY2(child != nullptr, qPrintable(name));
            frame_->execute(CmCheck);
            TTranslateDialog* check = child->checkWindow();
            QVERIFY2(check != nullptr && check->correct(), qPrintable(name));
            control<QPushButton>(*check, "137")->click();
            const auto& shown = Notifier::instance().captured();
            QVERIFY2(
                shown.empty(),
                qPrintable(name + QStringLiteral(": ") +
                           (shown.empty() ? QString() : QString::fromStdString(shown[0].text))));
            QVERIFY2(child->record().simulated == 1, qPrintable(name));
            QCOMPARE(frame_->statusBar()->currentMessage(),
                     QStringLiteral("Модели нейронов прочитаны из папки ") +
                         QDir::cleanPath(examples.filePath(QStringLiteral("models"))));
            child->close();
        }
    }

    // With the models folder set, the folders beside the description are not looked in.
    void aSetModelsFolderIsTheOnlyPlace() {
        auto& folders = frame_->client()->folders();
        folders.models = dir_.path().toStdString();
        folders.set = true;
        TAxoliteMDIChild* child = open(QStringLiteral(AXOLITE_EXAMPLES_DIR "/minimal.net"));
        frame_->execute(CmCheck);
        child->checkWindow()->calculate();
        const auto& shown = Notifier::instance().captured();
        QCOMPARE(shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(shown[0].text),
                 QStringLiteral("Файл ") + QDir(dir_.path()).filePath("0.neu").toLower() +
                     QStringLiteral(" не существует или поврежден."));
        QCOMPARE(child->record().simulated, std::uint8_t{0});
    }

    void aRowLeadsToItsLine() {
        TAxoliteMDIChild* child =
            open(QStringLiteral(AXOLITE_EXAMPLES_DIR "/errors/missing_punctuation.net"));
        frame_->execute(CmCheck);
        Notifier::instance().clearCaptured();
        TTranslateDialog* check = child->checkWindow();
        QTreeView* list = check->messageList();
        const QAbstractItemModel* rows = list->model();
        QVERIFY(rows->rowCount() >= 2);
        QCOMPARE(rows->data(rows->index(0, 1)).toString().trimmed(), QStringLiteral("3"));
        QCOMPARE(rows->data(rows->index(1, 1)).toString().trimmed(), QStringLiteral("8"));
        auto* line = check->findChild<QLabel*>(QStringLiteral("900"));

        // Double click on the second row: the caret goes to the start of line 8 and is shown.
        child->editor()->moveCursor(QTextCursor::End);
        QVERIFY(QTest::qWaitForWindowExposed(check));
        list->scrollTo(rows->index(1, 2));
        const QRect second = list->visualRect(rows->index(1, 2));
        // (a double click begins with a click, which QTest's double click does not send)
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(child->editor()->caretLine(), 7);
        QCOMPARE(child->editor()->caretPosition(), child->editor()->anchorPosition());
        QCOMPARE(line->text(), QStringLiteral("8"));
        QCOMPARE(frame_->activeChild(), child);

        // Enter on the first row.
        list->setFocus();
        list->setCurrentIndex(rows->index(0, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(child->editor()->caretLine(), 2);
        QCOMPARE(line->text(), QStringLiteral("3"));
        // The rows stay as they were, in their order.
        QCOMPARE(rows->data(rows->index(0, 1)).toString().trimmed(), QStringLiteral("3"));
        QVERIFY(check->isVisible());
        QVERIFY(Notifier::instance().captured().empty());

        // A line beyond the text as it is now (shortened since the check): its last line.
        child->editor()->setPlainText(QStringLiteral("neurons 2;\nend"));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(child->editor()->caretLine(), 1);
    }
};

QTEST_MAIN(ShellExamplesTest)
#include "shell_examples_test.moc"
