// The training dialog inside the frame and beside the command-line tool: command 42 and its
// open flag, a run matching `axolite-cli train --json` with the same seed row for row and weight
// for weight, and the written description opened, checked and simulated in its new window.
#include "app/gui/calculation_progress.h"
#include "app/gui/command_ids.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "app/gui/pattern_file_dialog.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "core/common/number_text.h"

#include "training_support.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMdiArea>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace {

constexpr std::uint32_t kSeed = 20260;

QByteArray runCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(AXOLITE_CLI), arguments);
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        qWarning() << cli.readAllStandardError();
        return {};
    }
    return cli.readAllStandardOutput();
}

QString joined(const QJsonArray& values, const char* format) {
    QString text;
    for (const QJsonValue& v : values) {
        text += QString::fromStdString(axolite::formatNumber(format, v.toDouble()));
    }
    return text;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TrainingRoadsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
        frame_ = std::make_unique<TAxoliteApp>(dir_.filePath(QStringLiteral("Axolite.ini")));
        frame_->show();
    }
    void cleanup() {
        axolite::gui::setFileChooser({});
        frame_.reset();
    }

    void commandFortyTwoOpensTheDialogOnceAndItsFlagDisablesIt() {
        QAction* command = frame_->command(42);
        QVERIFY(command->isEnabled());
        bool seen = false;
        QTimer::singleShot(0, frame_.get(), [&] {
            auto* dialog = qobject_cast<TTeachNetwork*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            seen = true;
            QVERIFY(axolite::gui::ToolWindows::instance().find(axolite::gui::CmTeachNetwork));
            frame_->updateCommands();
            QVERIFY(!command->isEnabled());
            click(*dialog, IdClose);
        });
        frame_->execute(42);
        QVERIFY(seen);
        QVERIFY(!axolite::gui::ToolWindows::instance().find(axolite::gui::CmTeachNetwork));
        QVERIFY(command->isEnabled());
    }

    void aRunMatchesTheCommandLineWithTheSameSeed() {
        TTeachNetwork dialog(frame_.get(), frame_.get());
        dialog.show();
        setUpXor(dialog, kSeed);
        click(dialog, IdTrain);
        QCOMPARE(dialog.lastSeed().value_or(0), kSeed);
        QCOMPARE(shown(dialog, IdSeedUsed),
                 QStringLiteral("Начальное значение генератора : %1").arg(kSeed));

        const QByteArray output = runCli(xorArguments(2000, kSeed) << "--json");
        const QJsonObject json = QJsonDocument::fromJson(output).object();
        const QJsonArray rows = json.value(QStringLiteral("rows")).toArray();
        const QAbstractItemModel* model = dialog.resultsModel();
        QCOMPARE(model->rowCount(), rows.size());
        QCOMPARE(rows.size(), 4);
        for (int r = 0; r < rows.size(); ++r) {
            const QJsonObject row = rows[r].toObject();
            QCOMPARE(model->index(r, 0).data().toString(),
                     joined(row.value(QStringLiteral("input")).toArray(), " %g"));
            QCOMPARE(model->index(r, 1).data().toString(),
                     joined(row.value(QStringLiteral("target")).toArray(), "  %g"));
            QCOMPARE(model->index(r, 2).data().toString(),
                     joined(row.value(QStringLiteral("response")).toArray(), "  %g"));
            QCOMPARE(model->index(r, 3).data().toString(),
                     joined(row.value(QStringLiteral("error")).toArray(), "  %6.3g%%"));
            const float response = dialog.trainer().rows()[r].response[0];
            QCOMPARE(static_cast<double>(response),
                     row.value(QStringLiteral("response")).toArray()[0].toDouble());
            const bool violet = row.value(QStringLiteral("marker")).toString() == "violet";
            QCOMPARE(dialog.trainer().rows()[r].marker == axolite::training::RowMarker::Violet,
                     violet);
            QCOMPARE(model->index(r, 0).data(Qt::DecorationRole).isNull(), false);
        }

        // The same weights: both write the same description and the same model files.
        QDir cliFolder(dir_.filePath(QStringLiteral("cli")));
        QDir dialogFolder(dir_.filePath(QStringLiteral("dialog")));
        cliFolder.mkpath(QStringLiteral("."));
        dialogFolder.mkpath(QStringLiteral("."));
        QVERIFY(!runCli(xorArguments(2000, kSeed)
                        << "--write-net" << cliFolder.filePath(QStringLiteral("xor.net")))
                     .isEmpty());
        axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest& r) {
            return r.mode == axolite::gui::FileDialogRequest::Mode::Save
                       ? dialogFolder.filePath(QStringLiteral("xor.net"))
                       : QString();
        });
        click(dialog, IdWriteDescription);
        const QStringList written = cliFolder.entryList(QDir::Files, QDir::Name);
        QCOMPARE(dialogFolder.entryList(QDir::Files, QDir::Name), written);
        QVERIFY(written.size() >= 3);
        for (const QString& name : written) {
            QCOMPARE(contents(dialogFolder.filePath(name)), contents(cliFolder.filePath(name)));
        }
    }

    void theWrittenDescriptionIsCheckedAndSimulatedInItsNewWindow() {
        auto& folders = frame_->client()->folders();
        folders.models = dir_.path().toStdString();
        folders.set = true;
        TTeachNetwork dialog(frame_.get(), frame_.get());
        dialog.show();
        setUpXor(dialog, 99);
        click(dialog, IdTrain);
        QString startedIn;
        const QString path = dir_.filePath(QStringLiteral("trained.net"));
        QString suffix;
        axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest& r) {
            startedIn = r.start;
            suffix = r.defaultSuffix;
            return path;
        });
        click(dialog, IdWriteDescription);
        QCOMPARE(startedIn, dir_.path());
        QCOMPARE(suffix, QStringLiteral("net"));
        QCOMPARE(Notifier::instance().captured().size(), 0u);
        TAxoliteMDIChild* child = frame_->activeChild();
        QVERIFY(child != nullptr);
        QCOMPARE(child->path(), path);
        // The window opened behind the dialog: a line of the dialog says where it is, and it is
        // the active window in front of the others once the dialog closes, even when another
        // description was made active meanwhile.
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("openedNote"));
        QVERIFY(note != nullptr && note->isVisible());
        QVERIFY(note->text().contains(path));
        QVERIFY(note->text().contains(QStringLiteral("главном окне")));
        TAxoliteMDIChild* other = frame_->openDescription(path);
        QVERIFY(other != nullptr && frame_->activeChild() == other);
        dialog.close();
        QCOMPARE(frame_->activeChild(), child);
        QVERIFY(frame_->client()->subWindowList(QMdiArea::StackingOrder).last() == child);
        other->close();

        frame_->checkDescription(child);
        TTranslateDialog* check = child->checkWindow();
        QVERIFY(check != nullptr);
        QVERIFY(check->correct());
        check->calculate();
        QCOMPARE(child->record().networkPresent[0], std::uint8_t{1});
        // With no input held, the inputs are 0: the response to pattern 0 (0, 0), from step 2
        // (three layers) on; the biases are written to about five digits.
        const double response = dialog.trainer().rows()[0].response[0];
        QVERIFY(std::fabs(child->record().outputSeries[0][2] - response) < 1e-3);
        check->close();
    }

    void aDescriptionWrittenAwayFromTheModelsFolderSaysWhereTheModelsAre() {
        auto& folders = frame_->client()->folders();
        folders.models = dir_.filePath(QStringLiteral("models")).toStdString();
        folders.set = true;
        QDir(dir_.path()).mkpath(QStringLiteral("models"));
        QDir(dir_.path()).mkpath(QStringLiteral("nets"));
        TTeachNetwork dialog(frame_.get(), frame_.get());
        dialog.show();
        setUpXor(dialog, 8, 10);
        click(dialog, IdTrain);
        const QString path = dir_.filePath(QStringLiteral("nets/x.net"));
        axolite::gui::setFileChooser(
            [&](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
        click(dialog, IdWriteDescription);
        QCOMPARE(Notifier::instance().captured().size(), 1u);
        const QString notice = QString::fromStdString(Notifier::instance().captured()[0].text);
        QVERIFY(notice.contains(dir_.filePath(QStringLiteral("nets"))));
        QVERIFY(notice.contains(dir_.filePath(QStringLiteral("models"))));
        QVERIFY(frame_->activeChild() != nullptr);
        QCOMPARE(frame_->activeChild()->path(), path);
    }

    // The writers' save dialog: the patterns folder, "%g " values, nothing on Cancel or failure.
    void patternFilesAreWrittenThroughTheirSaveDialog() {
        const QDir patterns(dir_.filePath(QStringLiteral("patterns")));
        patterns.mkpath(QStringLiteral("."));
        auto& folders = frame_->client()->folders();
        folders.patterns = patterns.path().toStdString();
        folders.set = true;
        QString answer = patterns.filePath(QStringLiteral("y.ptn"));
        axolite::gui::FileDialogRequest asked;
        axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest& r) {
            asked = r;
            return answer;
        });
        QVERIFY(axolite::gui::savePatternFile(frame_.get(), &folders,
                                              QStringLiteral("Создается файл образов..."),
                                              {0.1, 1e-05, -2.5, 123456789.0}));
        QCOMPARE(asked.start, patterns.path());
        QCOMPARE(asked.filter, QStringLiteral("Файлы образов (*.ptn)"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("ptn"));
        QCOMPARE(contents(answer), QByteArray("0.1 1e-05 -2.5 1.23457e+08 "));
        QCOMPARE(Notifier::instance().captured().size(), 0u);

        answer.clear();
        QVERIFY(!axolite::gui::savePatternFile(frame_.get(), &folders, QString(), {1.0}));
        answer = patterns.filePath(QStringLiteral("none/z.ptn"));
        QVERIFY(!axolite::gui::savePatternFile(frame_.get(), &folders, QString(), {1.0}));
        QCOMPARE(Notifier::instance().captured().size(), 1u);
        QCOMPARE(QString::fromStdString(Notifier::instance().captured()[0].text),
                 QStringLiteral("Невозможно создать файл ") + answer);
        QCOMPARE(patterns.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("y.ptn")});
    }

    void aDescriptionThatCannotBeWrittenSaysSoAndOpensNothing() {
        TTeachNetwork dialog(frame_.get(), frame_.get());
        dialog.show();
        setUpXor(dialog, 1, 10);
        click(dialog, IdTrain);
        const QString path = dir_.filePath(QStringLiteral("no/such/folder/x.net"));
        axolite::gui::setFileChooser(
            [&](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
        click(dialog, IdWriteDescription);
        QCOMPARE(Notifier::instance().captured().size(), 1u);
        QVERIFY(QString::fromStdString(Notifier::instance().captured()[0].text)
                    .startsWith(QStringLiteral("Невозможно создать файл ")));
        QVERIFY(frame_->activeChild() == nullptr);
        QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("no"))));
        // Cancelled: nothing at all.
        axolite::gui::setFileChooser(
            [](QWidget*, const axolite::gui::FileDialogRequest&) { return QString(); });
        Notifier::instance().clearCaptured();
        click(dialog, IdWriteDescription);
        QCOMPARE(Notifier::instance().captured().size(), 0u);
    }
};

QTEST_MAIN(TrainingRoadsTest)
#include "training_roads_test.moc"
