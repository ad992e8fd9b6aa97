// Experiments in the training dialog: a record written by the dialog replays as identical with
// the tool, a record of the tool opens into every page and "Обучить" then continues exactly as in
// memory, a file that is no record changes nothing, "Загрузить сеть ..." continues a written
// network until the layers change, and the lint's warnings follow each run.
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/training/lint_panel.h"
#include "core/training/network_loading.h"
#include "core/training/training_record.h"

#include "training_support.h"

#include <QComboBox>
#include <QProcess>
#include <QRadioButton>

#include <cstring>

namespace {

constexpr std::uint32_t kSeed = 515;

// The tool's output and exit status.
std::pair<QByteArray, int> runCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(AXOLITE_CLI), arguments);
    cli.waitForFinished(60000);
    return {cli.readAllStandardOutput() + cli.readAllStandardError(), cli.exitCode()};
}

bool sameWeights(const axolite::training::LayeredNetwork& a,
                 const axolite::training::LayeredNetwork& b) {
    if (a.layerCount() != b.layerCount()) {
        return false;
    }
    for (int l = 0; l < a.layerCount(); ++l) {
        for (int i = 0; l < a.layerCount() && i < a.layerSize(l); ++i) {
            const auto& x = a.neuron(l, i);
            const auto& y = b.neuron(l, i);
            if (a.layerSize(l) != b.layerSize(l) ||
                std::memcmp(x.weights.data(), y.weights.data(), sizeof x.weights) != 0 ||
                std::memcmp(&x.bias, &y.bias, sizeof x.bias) != 0) {
                return false;
            }
        }
    }
    return true;
}

QString firstMessage() {
    const auto& captured = Notifier::instance().captured();
    return captured.empty() ? QString() : QString::fromStdString(captured.front().text);
}

} // namespace

class TrainingExperimentTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TTeachNetwork> dialog_;

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
        dialog_ = std::make_unique<TTeachNetwork>(nullptr);
    }
    void cleanup() { dialog_.reset(); }

    void aRecordOfTheDialogReplaysAsIdentical() {
        TTeachNetwork& d = *dialog_;
        setUpXor(d, kSeed, 40);
        find<QComboBox>(d, IdMethod)->setCurrentIndex(1); // randomized
        find<QAbstractButton>(d, IdLocalMinimum)->setChecked(false);
        find<QAbstractButton>(d, IdCurveError)->setChecked(true);
        QVERIFY(!find<QAbstractButton>(d, IdSaveExperiment)->isEnabled());
        click(d, IdTrain);
        QVERIFY(find<QAbstractButton>(d, IdSaveExperiment)->isEnabled());
        QVERIFY(d.saveExperiment(path("dialog.json")));
        const auto [out, status] = runCli({QStringLiteral("replay"), path("dialog.json")});
        QCOMPARE(QString::fromUtf8(out), QStringLiteral("identical\n"));
        QCOMPARE(status, 0);

        // Continued from its own record, the next run replays as identical too.
        QVERIFY(d.openExperiment(path("dialog.json")));
        click(d, IdTrain);
        QVERIFY(d.saveExperiment(path("continued.json")));
        QCOMPARE(
            QString::fromUtf8(runCli({QStringLiteral("replay"), path("continued.json")}).first),
            QStringLiteral("identical\n"));
    }

    void aRecordOfTheToolOpensAndContinuesAsInMemory() {
        const QString record = path("tool.json");
        QStringList arguments = xorArguments(15, kSeed);
        arguments << QStringLiteral("--local-minimum") << QStringLiteral("off")
                  << QStringLiteral("--record") << record;
        QCOMPARE(runCli(arguments).second, 0);

        TTeachNetwork& d = *dialog_;
        QVERIFY(d.openExperiment(record));
        QCOMPARE(field(d, IdInputCount)->text(), QStringLiteral("2"));
        QCOMPARE(field(d, IdHiddenCount)->text(), QStringLiteral("1"));
        QCOMPARE(field(d, IdHiddenNeurons)->text(), QStringLiteral("4"));
        QVERIFY(find<QRadioButton>(d, IdOutputKind + 2)->isChecked());
        QCOMPARE(field(d, IdPatterns)->text(), QStringLiteral("4"));
        QCOMPARE(field(d, IdIterations)->text(), QStringLiteral("15"));
        QCOMPARE(field(d, IdRate)->text(), QStringLiteral("0.5"));
        QCOMPARE(field(d, IdSeed)->text(), QString::number(kSeed));
        QCOMPARE(field(d, IdTargetFile)->text(), examplePath("xor_target.ptn"));
        QVERIFY(!find<QAbstractButton>(d, IdLocalMinimum)->isChecked());
        QCOMPARE(d.resultsModel()->rowCount(), 4);
        QCOMPARE(d.curve().norms.size(), std::size_t{0}); // 2 inputs, 1 output: no norm
        QCOMPARE(d.curve().errors.size(), std::size_t{15});
        QVERIFY(d.trained());
        QCOMPARE(d.continuationNote(),
                 QStringLiteral("Обучение продолжит сеть из файла tool.json"));

        // The same 15 iterations and 25 more, in memory.
        namespace tr = axolite::training;
        tr::NetworkTrainer memory(kSeed);
        tr::TrainingParameters p;
        p.patterns = 4;
        p.iterations = 15;
        p.inputFile = examplePath("xor_input.ptn").toStdString();
        p.targetFile = examplePath("xor_target.ptn").toStdString();
        p.learningRate = "0.5";
        p.stopAtLocalMinimum = false;
        memory.train(d.configuration(), p);
        QVERIFY(sameWeights(memory.network(), d.trainer().network()));
        memory.setSeed(kSeed + 1);
        memory.setStartNetwork(memory.network());
        p.iterations = 25;
        memory.train(d.configuration(), p);

        d.showPage(TTeachNetwork::TrainingPage);
        type(d, IdIterations, QStringLiteral("25"));
        type(d, IdSeed, QString::number(kSeed + 1));
        click(d, IdTrain);
        QVERIFY(sameWeights(memory.network(), d.trainer().network()));
        // The continued network was taken: the note is gone, the next run forms its own.
        QCOMPARE(d.continuationNote(), QString());
    }

    void aFileThatIsNoRecordChangesNothing() {
        TTeachNetwork& d = *dialog_;
        setUpXor(d, kSeed, 20);
        QFile other(path("other.json"));
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("{\"rows\": []}") > 0);
        other.close();
        QVERIFY(!d.openExperiment(path("other.json")));
        QVERIFY(firstMessage().contains(path("other.json")));
        QVERIFY(firstMessage().contains(QStringLiteral("не является записью эксперимента")));
        Notifier::instance().clearCaptured();
        QVERIFY(!d.openExperiment(path("none.json")));
        QCOMPARE(firstMessage(),
                 QStringLiteral("Невозможно прочитать файл %1.").arg(path("none.json")));
        QCOMPARE(field(d, IdIterations)->text(), QStringLiteral("20"));
        QCOMPARE(field(d, IdInputCount)->text(), QStringLiteral("2"));
        QVERIFY(!d.trained());
        QCOMPARE(d.continuationNote(), QString());
    }

    void aLoadedNetworkIsContinuedUntilTheLayersChange() {
        const QString net = path("xor.net");
        QStringList arguments = xorArguments(300, kSeed);
        arguments << QStringLiteral("--write-net") << net;
        QCOMPARE(runCli(arguments).second, 0);
        const auto written = axolite::training::readNetworkDescription(net.toStdString());

        TTeachNetwork& d = *dialog_;
        setUpXor(d, kSeed, 10);
        d.showPage(TTeachNetwork::FormPage);
        type(d, IdInputCount, QStringLiteral("3"));
        QVERIFY(d.loadNetwork(net));
        QCOMPARE(field(d, IdInputCount)->text(), QStringLiteral("2"));
        QCOMPARE(d.continuationNote(), QStringLiteral("Обучение продолжит сеть из файла xor.net"));
        d.showPage(TTeachNetwork::TrainingPage);
        click(d, IdTrain);
        QVERIFY(sameWeights(d.trainer().initialNetwork(), written.network));

        QVERIFY(d.loadNetwork(net));
        d.showPage(TTeachNetwork::FormPage);
        type(d, IdInputCount, QStringLiteral("3"));
        QCOMPARE(d.continuationNote(), QString());

        // A description the training did not write: the engine's refusal, nothing changes.
        QVERIFY(!d.loadNetwork(examplePath("ring.net")));
        QVERIFY(firstMessage().contains(QStringLiteral("не является описанием многослойной сети")));
        QCOMPARE(field(d, IdInputCount)->text(), QStringLiteral("3"));
        QCOMPARE(d.continuationNote(), QString());
    }

    void theLintListsWarningsWithTheirHelp() {
        TTeachNetwork& d = *dialog_;
        // Hebbian updates at rate 1 let the weights run away.
        d.showPage(TTeachNetwork::FormPage);
        type(d, IdInputCount, QStringLiteral("2"));
        type(d, IdOutputCount, QStringLiteral("2"));
        d.showPage(TTeachNetwork::TrainingPage);
        find<QComboBox>(d, IdMethod)->setCurrentIndex(2);
        type(d, IdPatterns, QStringLiteral("4"));
        field(d, IdInputFile)->setText(examplePath("xor_input.ptn"));
        type(d, IdIterations, QStringLiteral("12"));
        type(d, IdRate, QStringLiteral("1"));
        click(d, IdTrain);
        QVERIFY(d.lintText().startsWith(QStringLiteral("Итерация ")));
        auto* panel = d.lintPanel();
        QVERIFY(!panel->isHidden());
        QString shownText;
        for (const QLabel* label : panel->findChildren<QLabel*>()) {
            shownText += label->text();
        }
        QVERIFY(shownText.contains(QStringLiteral("href=\"training-lint.html#hebbian-runaway\"")));
        QString asked;
        panel->setHelpHandler([&asked](const QString& page) { asked = page; });
        panel->openHelp(QStringLiteral("training-lint.html#hebbian-runaway"));
        QCOMPARE(asked, QStringLiteral("training-lint.html#hebbian-runaway"));
        openHelpPage(QStringLiteral("training-lint.html#hebbian-runaway"));
        QCOMPARE(helpWindow()->currentPage().fragment(), QStringLiteral("hebbian-runaway"));
        QVERIFY(!helpWindow()->currentTitle().isEmpty());
        closeHelp();

        // The XOR example trains well (as the engine's lint test runs it): no warnings, no panel.
        setUpXor(d, 1, 3000);
        find<QComboBox>(d, IdMethod)->setCurrentIndex(0);
        d.showPage(TTeachNetwork::FormPage);
        type(d, IdOutputCount, QStringLiteral("1"));
        d.showPage(TTeachNetwork::TrainingPage);
        find<QAbstractButton>(d, IdCurveError)->setChecked(true);
        find<QAbstractButton>(d, IdLocalMinimum)->setChecked(false);
        click(d, IdTrain);
        QCOMPARE(d.lintText(), QString());
        QVERIFY(panel->isHidden());
    }
};

QTEST_MAIN(TrainingExperimentTest)
#include "training_experiment_test.moc"
