// The check window on real descriptions: what a check shows, when "Посчитать ..." may be
// pressed, a simulation with its progress dialog, its interruption, and what closing does.
#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "core/language/lexer.h"
#include "core/language/network_record.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/neuron_model.h"
#include "dialog_controls.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <memory>
#include <sstream>

using axolite::MessageKind;
using axolite::language::NetworkRecord;

namespace {

bool enabled(QWidget& dialog, const char* id) {
    return control<QPushButton>(dialog, id)->isEnabled();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

const std::string kMinimal = "neurons 2;\n"
                             "simtime 0, 1;\n"
                             "timestep 0.1;\n"
                             "outputlayer {neuron 1, weight 1;}\n"
                             "networklayout {neuron 1, neuron 2, weight 0.5;}\n"
                             "end\n";

const std::string kTwoNeurons = "neurons 2;\n"
                                "simtime 0, 1;\n"
                                "timestep 0.25;\n"
                                "initstate { neuron 1, 1; }\n"
                                "suspend { (neuron 1, neuron 2), -1; }\n"
                                "inputlayer { neuron 1; }\n"
                                "outputlayer { neuron 2, weight 1; }\n"
                                "networklayout { neuron 1, neuron 2, weight 0.5; }\n"
                                "end\n";

// A ring of n neurons, each sending to the next with weight 1, over the given number of steps:
// the initial state of neuron 1 travels round the ring, so every computed step holds one 1.
std::string ringOf(int n, int steps) {
    std::string text =
        "neurons " + std::to_string(n) + ";\nsimtime 0, " + std::to_string(steps) +
        ";\ntimestep 1;\n" + "initstate { neuron 1, 1; }\nsuspend { neuron 1, -1; }\n" +
        "inputlayer { neuron 1; }\n" + "outputlayer { neuron 1, weight 1; }\nnetworklayout {\n";
    for (int k = 1; k <= n; ++k) {
        text += "neuron " + std::to_string(k) + ", neuron " + std::to_string(k % n + 1) +
                ", weight 1;\n";
    }
    return text + "}\nend\n";
}

// A description window's part of the work: the record lexed from the text, the folder of the
// default model, and the check window opened on them.
struct CheckFixture {
    QTemporaryDir models;
    axolite::platform::FolderSettings folders;
    NetworkRecord record;
    QPointer<TTranslateDialog> window;

    explicit CheckFixture(const std::string& text, bool withDefaultModel = true) {
        folders.models = models.path().toStdString();
        folders.set = true;
        if (withDefaultModel) {
            axolite::simulation::ModelTexts linear{"0", "10", "-10", "0"};
            const bool written = axolite::simulation::writeModel(
                folders.modelsFolder() / "0.neu", axolite::simulation::ModelKind::Linear, linear);
            if (!written) {
                qFatal("cannot write the default model");
            }
        }
        if (axolite::language::lexDescription(linesOf(text), record)) {
            qFatal("the description did not lex");
        }
        window = new TTranslateDialog(record, &folders);
        window->show();
        window->runCheck();
    }
    ~CheckFixture() { delete window.data(); }
};

const std::vector<axolite::Message>& shown() {
    return Notifier::instance().captured();
}

QString rowText(TTranslateDialog& window, int row, int column) {
    const QAbstractItemModel* model = control<QTreeView>(window, "2341")->model();
    return model->data(model->index(row, column)).toString();
}

} // namespace

class DialogsCheckTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
    }

    void aCorrectDescriptionShowsItsResultAndWarnings() {
        CheckFixture f(kMinimal);
        TTranslateDialog& w = *f.window;
        QCOMPARE(label(w, "131"), QStringLiteral("правильно"));
        QCOMPARE(label(w, "132"), QStringLiteral("6   "));
        QCOMPARE(label(w, "133"), QStringLiteral("Ошибок нет"));
        QCOMPARE(label(w, "134"), QStringLiteral("10  предупреждений"));
        QCOMPARE(label(w, "900"), QStringLiteral("Недоступна"));
        QVERIFY(enabled(w, "137"));
        QVERIFY(shown().empty());
        const QAbstractItemModel* rows = control<QTreeView>(w, "2341")->model();
        QCOMPARE(rows->rowCount(), 10);
        QCOMPARE(rows->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Тип сообщения"));
        QCOMPARE(rows->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Сообщение"));
        QCOMPARE(rowText(w, 0, 0), QStringLiteral("Предупреждение"));
        QCOMPARE(rowText(w, 0, 2), QStringLiteral("Пропущен оператор INITSTATE"));
        QCOMPARE(rowText(w, 0, 1).size(), 3); // "%-3i"
        QVERIFY(rows->data(rows->index(0, 0), Qt::DecorationRole)
                    .value<QIcon>()
                    .availableSizes()
                    .contains(QSize(12, 12)));
        QCOMPARE(control<QTreeView>(w, "2341")->columnWidth(1), 60);
        // The check's facts and the prepared run stand in the record.
        QCOMPARE(f.record.neurons, 2);
        QCOMPARE(f.record.steps, 10);
        QVERIFY(w.checkOpen());
        QVERIFY(w.correct());
    }

    void anIncorrectDescriptionCannotBeSimulated() {
        CheckFixture f("neurons 197;\nsimtime 5, 5;\ntimestep 0;\nend\n");
        TTranslateDialog& w = *f.window;
        QCOMPARE(label(w, "131"), QStringLiteral("неправильно"));
        const int errors = w.checkResult().errors();
        QVERIFY(errors >= 3);
        QCOMPARE(label(w, "133"), QString::asprintf("%-3i ", errors) + QStringLiteral("ошибок"));
        QCOMPARE(rowText(w, 0, 0), QStringLiteral("Ошибка"));
        QCOMPARE(rowText(w, 0, 2),
                 QStringLiteral("Число нейронов превышает максимально допустимое"));
        QVERIFY(!enabled(w, "137"));
        QVERIFY(!w.correct());
    }

    void threeErrorsAndOneWarningAreCountedInFieldsOfThree() {
        CheckFixture f("neurons 2;\nsimtime 0, 1;\ntimestep 0.1;\n"
                       "initstate {neuron 1, 1;}\n"
                       "suspend {(neuron 1, neuron 2), 1;}\n"
                       "model {(neuron 1, neuron 2), 5;}\n"
                       "inputlayer {neuron 3;}\n"
                       "outputlayer {neuron 1, weight 1;}\n"
                       "networklayout {neuron 1, neuron 4, weight 0.5;}\n"
                       "networklayout {neuron 1, neuron 5, weight 0.5;}\nend\n");
        TTranslateDialog& w = *f.window;
        QCOMPARE(label(w, "131"), QStringLiteral("неправильно"));
        QCOMPARE(label(w, "133"), QStringLiteral("3   ошибок"));
        QCOMPARE(label(w, "134"), QStringLiteral("1   предупреждений"));
        QCOMPARE(label(w, "132"), QStringLiteral("11  "));
        // The warning comes first, on line 4; its image is the second one.
        QCOMPARE(rowText(w, 0, 0), QStringLiteral("Предупреждение"));
        QCOMPARE(rowText(w, 0, 1), QStringLiteral("4  "));
        QCOMPARE(rowText(w, 1, 0), QStringLiteral("Ошибка"));
        QCOMPARE(rowText(w, 1, 1), QStringLiteral("7  "));
        QVERIFY(!enabled(w, "137"));
    }

    void aCheckAbandonedAtTheFiftiethErrorShowsNoResult() {
        std::string text = "neurons 2;\nsimtime 0, 1;\ntimestep 0.1;\n";
        for (int i = 0; i < 60; ++i) {
            text += "inputlayer {neuron 9;}\n";
        }
        CheckFixture f(text + "end\n");
        TTranslateDialog& w = *f.window;
        QCOMPARE(label(w, "131"), QString());
        QCOMPARE(label(w, "133"), QStringLiteral("50  ошибок"));
        QCOMPARE(label(w, "134"), QStringLiteral("Предупреждений нет"));
        QCOMPARE(control<QTreeView>(w, "2341")->model()->rowCount(), 50);
        QVERIFY(!enabled(w, "137"));
        QVERIFY(!w.correct());
    }

    void outputLayerBeforeNeuronsShowsTheBoxAndDisablesCalculate() {
        CheckFixture f("outputlayer {neuron 1, weight 1;}\n"
                       "neurons 2;\nsimtime 0, 1;\ntimestep 0.1;\n"
                       "networklayout {neuron 1, neuron 2, weight 0.5;}\nend\n");
        TTranslateDialog& w = *f.window;
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Error);
        QCOMPARE(shown()[0].text, std::string("Оператор NEURONS должен быть определен первым."));
        QVERIFY(!enabled(w, "137"));
    }

    void tooManyStepsRefusesThePreparation() {
        CheckFixture f("neurons 2;\nsimtime 0, 1000;\ntimestep 0.0001;\n"
                       "outputlayer {neuron 1, weight 1;}\n"
                       "networklayout {neuron 1, neuron 2, weight 0.5;}\nend\n");
        TTranslateDialog& w = *f.window;
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Information);
        QCOMPARE(shown()[0].text, std::string("Слишком много шагов пересчета."));
        QVERIFY(!w.correct());
        // The button stays enabled, and a press runs nothing.
        QVERIFY(enabled(w, "137"));
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(f.record.simulated, std::uint8_t{0});
        QVERIFY(!f.record.activity.allocated());
    }

    void aRecordWithoutTokensIsCheckedWithoutHarm() {
        NetworkRecord record;
        auto* window = new TTranslateDialog(record);
        QPointer<TTranslateDialog> alive(window);
        window->runCheck();
        QVERIFY(!window->correct());
        QVERIFY(window->checkOpen());
        QTest::mouseClick(control<QPushButton>(*window, "137"), Qt::LeftButton);
        QCOMPARE(record.simulated, std::uint8_t{0});
        QVERIFY(window->close());
        QVERIFY(!window->checkOpen());
        QTRY_VERIFY(alive.isNull());
    }

    void theCaretLineIsShownFromOne() {
        CheckFixture f(kMinimal);
        f.window->showCaretLine(4);
        QCOMPARE(label(*f.window, "900"), QStringLiteral("5"));
    }

    void aSimulationCompletesAndShowsItsStatistics() {
        CheckFixture f(kTwoNeurons);
        TTranslateDialog& w = *f.window;
        QVERIFY(w.correct());
        QSignalSpy ended(&w, &TTranslateDialog::simulationEnded);
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
        QVERIFY(shown().empty());
        QCOMPARE(f.record.simulated, std::uint8_t{1});
        QCOMPARE(f.record.networkPresent[0], std::uint8_t{1});
        QCOMPARE(f.record.outputSeries[0][1], 0.5);
        QVERIFY(!enabled(w, "137")); // a completed run is not repeated
        TCalculationProgress* progress = w.progressDialog();
        QVERIFY(progress != nullptr);
        QVERIFY(progress->isVisible());
        QVERIFY(progress->isFinished());
        QCOMPARE(label(*progress, "18013"),
                 QStringLiteral("Моделирование работы нейронной сети..."));
        QCOMPARE(control<QProgressBar>(*progress, "209")->value(), 75); // (S − 1) × 100 / S
        // Three steps of two neurons with two senders each; the default model divides nothing.
        QCOMPARE(label(*progress, "7778"), QStringLiteral("   12"));
        QCOMPARE(label(*progress, "7779"), QStringLiteral("   12"));
        QCOMPARE(label(*progress, "7780"), QStringLiteral("     -"));
        QVERIFY(!enabled(*progress, "2"));
        QVERIFY(enabled(*progress, "1"));

        // A reference computation interrupted afterwards leaves the completed run's series.
        f.record.cancelRequested = 1;
        w.close();
        QCOMPARE(f.record.networkPresent[0], std::uint8_t{1});
        QVERIFY(!w.checkOpen());
    }

    void aMissingModelFileStopsTheRunBeforeAnyStep() {
        CheckFixture f(kTwoNeurons, /*withDefaultModel=*/false);
        TTranslateDialog& w = *f.window;
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Error);
        const QString path =
            QString::fromStdString((f.folders.modelsFolder() / "0.neu").string()).toLower();
        QCOMPARE(QString::fromStdString(shown()[0].text),
                 QStringLiteral("Файл ") + path + QStringLiteral(" не существует или поврежден."));
        QCOMPARE(f.record.inputLayerReady, std::uint8_t{0});
        QCOMPARE(f.record.simulated, std::uint8_t{0});
        QVERIFY(enabled(w, "137"));
        QTRY_VERIFY(w.progressDialog() == nullptr || !w.progressDialog()->isVisible());
    }

    void interruptingAtFortyPercentStopsWithinAStep() {
        CheckFixture f(ringOf(30, 1000000));
        TTranslateDialog& w = *f.window;
        QVERIFY(w.correct());
        int percentAtInterrupt = -1;
        int timerTicks = 0;
        QTimer ticker;
        ticker.setInterval(5);
        connect(&ticker, &QTimer::timeout, [&] { ++timerTicks; });
        ticker.start();
        // The first time events are processed inside the run, hook the bar: at 40 % press
        // "Прервать" as a user would.
        QTimer::singleShot(0, &w, [&] {
            TCalculationProgress* progress = w.progressDialog();
            QVERIFY(progress != nullptr);
            QVERIFY(progress->isVisible());
            QVERIFY(axolite::gui::ComputationRegister::instance().busy(f.record));
            QVERIFY(!enabled(w, "137"));
            auto* bar = control<QProgressBar>(*progress, "209");
            connect(bar, &QProgressBar::valueChanged, progress, [&, progress](int value) {
                if (value >= 40 && percentAtInterrupt < 0) {
                    percentAtInterrupt = value;
                    QTest::mouseClick(control<QPushButton>(*progress, "2"), Qt::LeftButton);
                }
            });
        });
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        ticker.stop();
        QCOMPARE(percentAtInterrupt, 40);
        QVERIFY(timerTicks > 0); // the windows were served during the run
        QCOMPARE(f.record.simulated, std::uint8_t{0});
        QVERIFY(!w.checkOpen());
        QCOMPARE(f.record.cancelRequested, std::uint8_t{1});
        QVERIFY(enabled(w, "137")); // an interrupted run may be repeated
        QVERIFY(w.progressDialog() == nullptr || !w.progressDialog()->isVisible());
        // The run stopped right after the step that reached 40 %: the next was never computed.
        const auto stepSum = [&](std::int32_t i) {
            double sum = 0.0;
            for (std::int32_t n = 0; n < 30; ++n) {
                sum += f.record.activity.at(n, i);
            }
            return sum;
        };
        const std::int32_t stopStep = 400000; // the first step with i × 100 / S = 40
        QCOMPARE(stepSum(stopStep), 1.0);
        QCOMPARE(stepSum(stopStep + 1), 0.0);

        // Closing now leaves no output series for the views and frees the commands.
        f.record.inputLayerReady = 1;
        QSignalSpy closed(&w, &TTranslateDialog::closed);
        QTest::mouseClick(control<QPushButton>(w, "2"), Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(f.record.networkPresent[0], std::uint8_t{0});
        QCOMPARE(f.record.inputLayerReady, std::uint8_t{0});
        QVERIFY(!w.checkOpen());
        QTRY_VERIFY(f.window.isNull()); // the window releases itself and its arrays
    }

    void anInterruptedRunMayBeRepeatedAndTheCountersAccumulate() {
        CheckFixture f(ringOf(30, 1000000));
        TTranslateDialog& w = *f.window;
        QTimer::singleShot(0, &w, [&] { w.progressDialog()->interrupt(); });
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(f.record.simulated, std::uint8_t{0});
        const std::int64_t before = f.record.counters.additions;
        QVERIFY(before > 0);
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(f.record.simulated, std::uint8_t{1});
        QCOMPARE(f.record.cancelRequested, std::uint8_t{0});
        // Every step adds N × N additions: 30 × 30 for each of the S − 1 steps.
        QCOMPARE(f.record.counters.additions, before + std::int64_t{900} * 999999);
        QVERIFY(w.progressDialog()->isFinished());
        QVERIFY(!enabled(w, "137"));
    }

    // A run refused before its first step opens no progress dialog, so it leaves the record's
    // cancel request of the interrupted run before it: closing still takes the series away.
    void aRefusedRunAfterAnInterruptedOneLeavesNoSeries() {
        CheckFixture f(ringOf(30, 1000000));
        TTranslateDialog& w = *f.window;
        QTimer::singleShot(0, &w, [&] { w.progressDialog()->interrupt(); });
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(f.record.cancelRequested, std::uint8_t{1});
        QCOMPARE(f.record.networkPresent[0], std::uint8_t{1});
        QVERIFY(
            QFile::remove(QString::fromStdString((f.folders.modelsFolder() / "0.neu").string())));
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(shown().size(), std::size_t{1}); // the model file's message
        QCOMPARE(f.record.cancelRequested, std::uint8_t{1});
        QVERIFY(enabled(w, "137"));
        w.close();
        QCOMPARE(f.record.networkPresent[0], std::uint8_t{0});
    }

    void closingDuringARunStopsItFirst() {
        CheckFixture f(ringOf(30, 1000000));
        TTranslateDialog& w = *f.window;
        QSignalSpy closed(&w, &TTranslateDialog::closed);
        QTimer::singleShot(0, &w, [&] {
            QVERIFY(w.running());
            w.close();
            QCOMPARE(closed.count(), 0); // not from under the run
        });
        QTest::mouseClick(control<QPushButton>(w, "137"), Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(f.record.simulated, std::uint8_t{0});
        QVERIFY(!axolite::gui::ComputationRegister::instance().busy(f.record));
        QTRY_VERIFY(f.window.isNull());
    }
};

QTEST_MAIN(DialogsCheckTest)
#include "dialogs_check_test.moc"
