// The forming and training dialog driven by its controls: the rules of the page "Описание сети",
// the refusals in their order, an interruption, the local-minimum question both ways, the
// Hebbian and competitive methods, investigation, the results' CSV and the help topics.
#include "app/gui/file_dialogs.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/training/run_network.h"
#include "app/training/training_views.h"
#include "core/training/pattern_file.h"
#include "render/training_curve_painter.h"

#include "training_support.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>

namespace {

QStringList capturedTexts() {
    QStringList texts;
    for (const axolite::Message& m : Notifier::instance().captured()) {
        texts << QString::fromStdString(m.text);
    }
    return texts;
}

QList<bool> hiddenFieldsEnabled(TTeachNetwork& dialog) {
    QList<bool> enabled;
    for (int h = 0; h < 10; ++h) {
        const bool neurons = field(dialog, IdHiddenNeurons + h)->isEnabled();
        // The two fields of a layer go together; a mismatch shows as a third value.
        enabled << (field(dialog, IdHiddenEnsembles + h)->isEnabled() == neurons ? neurons
                                                                                 : !neurons);
    }
    return enabled;
}

QList<bool> firstEnabled(int count) {
    QList<bool> enabled;
    for (int h = 0; h < 10; ++h) {
        enabled << (h < count);
    }
    return enabled;
}

} // namespace

class TrainingDialogTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TTeachNetwork> dialog_;

    QString write(const QString& name, const QByteArray& text) {
        QFile file(dir_.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return file.fileName();
    }
    void trainAndExpect(const QStringList& messages) {
        Notifier::instance().clearCaptured();
        click(*dialog_, IdTrain);
        QCOMPARE(capturedTexts(), messages);
        QVERIFY(!dialog_->running());
        QVERIFY(find<QPushButton>(*dialog_, IdTrain)->isEnabled());
        QVERIFY(find<QPushButton>(*dialog_, IdClose)->isEnabled());
        QVERIFY(!find<QPushButton>(*dialog_, IdInterrupt)->isEnabled());
    }

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
        dialog_ = std::make_unique<TTeachNetwork>(nullptr);
        dialog_->show();
    }
    void cleanup() {
        axolite::gui::setFileChooser({});
        dialog_.reset();
    }

    void opensOnTheFirstPageWithTheDefaults() {
        TTeachNetwork& d = *dialog_;
        QCOMPARE(d.windowTitle(), QStringLiteral("Формирование и обучение нейронной сети "));
        QCOMPARE(d.currentPage(), 0);
        QCOMPARE(field(d, IdInputCount)->text(), QStringLiteral("1"));
        QCOMPARE(field(d, IdHiddenCount)->text(), QStringLiteral("0"));
        QCOMPARE(field(d, IdOutputCount)->text(), QStringLiteral("1"));
        QCOMPARE(field(d, IdHiddenNeurons + 9)->text(), QStringLiteral("10"));
        QCOMPARE(field(d, IdHiddenEnsembles)->text(), QStringLiteral("10"));
        QVERIFY(find<QRadioButton>(d, IdInputKind)->isChecked());
        QVERIFY(find<QRadioButton>(d, IdHiddenKind + 2)->isChecked());
        QCOMPARE(find<QRadioButton>(d, IdOutputKind)->text(), QStringLiteral("Линейная "));
        QCOMPARE(hiddenFieldsEnabled(d), firstEnabled(0));
        QCOMPARE(field(d, IdPatterns)->text(), QStringLiteral("1"));
        QCOMPARE(field(d, IdIterations)->text(), QStringLiteral("200"));
        QCOMPARE(field(d, IdRate)->text(), QStringLiteral("0.25"));
        QCOMPARE(find<QComboBox>(d, IdMethod)->currentText(),
                 QStringLiteral("Back propagation online"));
        QCOMPARE(find<QComboBox>(d, IdMethod)->itemText(3), QStringLiteral("Competitive method"));
        QVERIFY(find<QAbstractButton>(d, IdLocalMinimum)->isChecked());
        QCOMPARE(shown(d, IdNormShown), QStringLiteral("Недоступна"));
        QCOMPARE(find<QProgressBar>(d, IdProgress)->text(), QStringLiteral("0%"));
    }

    void spinButtonsKeepTheirRangesAndEnableTheHiddenLayersShown() {
        TTeachNetwork& d = *dialog_;
        spin(d, IdHiddenSpin, false);
        QCOMPARE(field(d, IdHiddenCount)->text(), QStringLiteral("0"));
        for (int count = 1; count <= 10; ++count) {
            spin(d, IdHiddenSpin, true);
            QCOMPARE(field(d, IdHiddenCount)->text(), QString::number(count));
            QCOMPARE(hiddenFieldsEnabled(d), firstEnabled(count));
        }
        spin(d, IdHiddenSpin, true);
        QCOMPARE(field(d, IdHiddenCount)->text(), QStringLiteral("10"));
        spin(d, IdHiddenSpin, false);
        QCOMPARE(hiddenFieldsEnabled(d), firstEnabled(9));

        // Typing accepts 0 … 9 and changes the enabled fields only when the page shows again.
        type(d, IdHiddenCount, QStringLiteral("10"));
        QCOMPARE(field(d, IdHiddenCount)->text(), QStringLiteral("1"));
        type(d, IdHiddenCount, QStringLiteral("3"));
        QCOMPARE(hiddenFieldsEnabled(d), firstEnabled(9));
        d.showPage(TTeachNetwork::TrainingPage);
        d.showPage(TTeachNetwork::FormPage);
        QCOMPARE(hiddenFieldsEnabled(d), firstEnabled(3));
        QCOMPARE(d.configuration().hiddenLayers, 3);

        // The layer counts: 1 … 18 typed and spun; out-of-range keystrokes are refused.
        for (int id : {IdInputCount, IdOutputCount}) {
            const int spinId = id + 1;
            spin(d, spinId, false);
            QCOMPARE(field(d, id)->text(), QStringLiteral("1"));
            type(d, id, QStringLiteral("18"));
            spin(d, spinId, true);
            QCOMPARE(field(d, id)->text(), QStringLiteral("18"));
            type(d, id, QStringLiteral("19"));
            QCOMPARE(field(d, id)->text(), QStringLiteral("1"));
            type(d, id, QStringLiteral("0x-"));
            QCOMPARE(field(d, id)->text(), QString());
        }
        // P and T: typed 1 … 30000; their spin buttons have no upper bound.
        d.showPage(TTeachNetwork::TrainingPage);
        type(d, IdPatterns, QStringLiteral("30001"));
        QCOMPARE(field(d, IdPatterns)->text(), QStringLiteral("3000"));
        type(d, IdIterations, QStringLiteral("30000"));
        spin(d, IdIterationsSpin, true);
        QCOMPARE(field(d, IdIterations)->text(), QStringLiteral("30001"));
        type(d, IdIterations, QStringLiteral("1"));
        spin(d, IdIterationsSpin, false);
        QCOMPARE(field(d, IdIterations)->text(), QStringLiteral("1"));
        type(d, IdRate, QStringLiteral("-1,5e+2x"));
        QCOMPARE(field(d, IdRate)->text(), QStringLiteral("15e+2"));
    }

    // A layer count left empty takes back its last number when the field is left; an ensemble
    // count stays empty (and reads 0, which the competitive method refuses).
    void anEmptiedLayerCountTakesBackItsNumberWhenLeft() {
        TTeachNetwork& d = *dialog_;
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        spin(d, IdHiddenSpin, true);
        for (int id : {IdInputCount, IdHiddenNeurons, IdHiddenEnsembles}) {
            type(d, id, QStringLiteral("7"));
            field(d, id)->setFocus();
            type(d, id, QString());
            field(d, IdOutputCount)->setFocus();
        }
        QCOMPARE(field(d, IdInputCount)->text(), QStringLiteral("7"));
        QCOMPARE(field(d, IdHiddenNeurons)->text(), QStringLiteral("7"));
        QCOMPARE(field(d, IdHiddenEnsembles)->text(), QString());
        QCOMPARE(d.configuration().hiddenEnsembles[0], 0);
    }

    void pagesHideAndDisableTheOldOneAndKeepTheHiddenKindsDisabled() {
        TTeachNetwork& d = *dialog_;
        QLineEdit* input = field(d, IdInputCount);
        QLineEdit* patterns = field(d, IdPatterns);
        QVERIFY(input->isVisible() && input->isEnabled());
        QVERIFY(!patterns->isVisible() && !patterns->isEnabled());
        find<QTabBar>(d, IdTabs)->setCurrentIndex(1);
        QCOMPARE(d.currentPage(), 1);
        QVERIFY(!input->isVisible() && !input->isEnabled());
        QVERIFY(patterns->isVisible() && patterns->isEnabled());
        QVERIFY(!find<QPushButton>(d, IdWriteDescription)->isEnabled());
        QVERIFY(!find<QPushButton>(d, IdInterrupt)->isEnabled());
        find<QTabBar>(d, IdTabs)->setCurrentIndex(0);
        QVERIFY(!find<QRadioButton>(d, IdHiddenKind + 1)->isEnabled());
        QVERIFY(!find<QRadioButton>(d, IdHiddenKind + 3)->isEnabled());
        QVERIFY(find<QRadioButton>(d, IdHiddenKind)->isEnabled());

        QList<int> topics;
        d.setHelpHandler([&](int topic) { topics << topic; });
        for (int page = 0; page < 3; ++page) {
            d.showPage(page);
            click(d, IdHelp);
        }
        QCOMPARE(topics, (QList<int>{42, 4201, 4202}));
        for (int topic : {42, 4201, 4202, TRunNetwork::kHelpTopic}) {
            QVERIFY(THelpWindow::hasTopic(topic));
        }
    }

    void refusalsComeInTheirOrderAndLeaveNothingHalfChanged() {
        TTeachNetwork& d = *dialog_;
        setUpXor(d, 7, 20);
        click(d, IdTrain);
        QVERIFY(find<QPushButton>(d, IdWriteDescription)->isEnabled());
        QCOMPARE(d.resultsModel()->rowCount(), 4);

        type(d, IdPatterns, QString());
        trainAndExpect({QStringLiteral("Число эталонных образов введено неверно.")});
        QCOMPARE(Notifier::instance().captured()[0].kind, axolite::MessageKind::Error);
        // The first two refusals leave the trained network as it was.
        QVERIFY(find<QPushButton>(d, IdWriteDescription)->isEnabled());
        type(d, IdPatterns, QStringLiteral("4"));
        type(d, IdIterations, QString());
        trainAndExpect({QStringLiteral("Число итераций обучения введено неверно.")});
        type(d, IdIterations, QStringLiteral("20"));

        type(d, IdRate, QStringLiteral("1e99"));
        trainAndExpect(
            {QStringLiteral("Величина приращения весов межнейронных связей введена неверно.")});
        QCOMPARE(Notifier::instance().captured()[0].kind, axolite::MessageKind::Information);
        // The network has been rebuilt: it is no longer offered for writing.
        QVERIFY(!find<QPushButton>(d, IdWriteDescription)->isEnabled());
        QCOMPARE(d.resultsModel()->rowCount(), 4);

        type(d, IdRate, QStringLiteral("e")); // no number: 0, accepted
        field(d, IdInputFile)->clear();
        trainAndExpect({QStringLiteral("Файл входных эталонных образов не определен.")});
        const QString missing = dir_.filePath(QStringLiteral("missing.ptn"));
        field(d, IdInputFile)->setText(missing);
        trainAndExpect(
            {QStringLiteral("Файл ") + missing + QStringLiteral(" не существует или поврежден.")});
        field(d, IdInputFile)->setText(examplePath("xor_input.ptn"));
        field(d, IdTargetFile)->clear();
        trainAndExpect({QStringLiteral("Файл выходных эталонных образов не определен.")});

        // The competitive method checks the ensembles after the input file (4 neurons, 3).
        find<QComboBox>(d, IdMethod)->setCurrentIndex(3);
        d.showPage(TTeachNetwork::FormPage);
        type(d, IdHiddenEnsembles, QStringLiteral("3"));
        d.showPage(TTeachNetwork::TrainingPage);
        trainAndExpect(
            {QStringLiteral("Число нейронных ансамблей для 1-го скрытого слоя введено неверно.")});
        QCOMPARE(d.resultsModel()->rowCount(), 4);
        QVERIFY(!find<QPushButton>(d, IdWriteDescription)->isEnabled());
    }

    void damagedPatternFilesWarnAndTrainOnWhatTheyHold() {
        TTeachNetwork& d = *dialog_;
        setUpXor(d, 3, 5);
        field(d, IdInputFile)->setText(write(QStringLiteral("text.ptn"), "0 0 0 1 one 1 1"));
        field(d, IdTargetFile)->setText(write(QStringLiteral("huge.ptn"), "1e39 0.9 -1e99 0.1"));
        trainAndExpect({QStringLiteral("Некоторые эталонные образы пропущены, они будут приняты "
                                       "равными 0.0")});
        QCOMPARE(d.resultsModel()->rowCount(), 4);
        QCOMPARE(d.resultsModel()->index(2, 0).data().toString(), QStringLiteral(" 0 0"));
        QCOMPARE(d.resultsModel()->index(0, 1).data().toString(), QStringLiteral("  inf"));
        QCOMPARE(d.trainer().rows()[0].marker, axolite::training::RowMarker::Yellow);
        // Both files short: the input file's warning first.
        field(d, IdTargetFile)->setText(write(QStringLiteral("empty.ptn"), ""));
        trainAndExpect({QStringLiteral("Некоторые эталонные образы пропущены, они будут приняты "
                                       "равными 0.0"),
                        QStringLiteral("Некоторые эталонные образы пропущены. Они будут приняты "
                                       "равными 0.0")});
    }

    void interruptionStopsAfterTheIterationAndTheDialogStaysOpen() {
        TTeachNetwork& d = *dialog_;
        const int patterns = 30000;
        std::vector<double> values(static_cast<std::size_t>(patterns) * 18);
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = static_cast<double>(i % 97) / 97.0;
        }
        const QString in = dir_.filePath(QStringLiteral("in18.ptn"));
        axolite::training::writePatternFile(in.toStdString(), values);
        type(d, IdInputCount, QStringLiteral("18"));
        type(d, IdOutputCount, QStringLiteral("18"));
        spin(d, IdHiddenSpin, true);
        spin(d, IdHiddenSpin, true);
        type(d, IdHiddenNeurons, QStringLiteral("18"));
        type(d, IdHiddenNeurons + 1, QStringLiteral("18"));
        d.showPage(TTeachNetwork::TrainingPage);
        type(d, IdPatterns, QStringLiteral("30000"));
        type(d, IdIterations, QStringLiteral("30000"));
        type(d, IdRate, QStringLiteral("0.001"));
        field(d, IdInputFile)->setText(in);
        field(d, IdTargetFile)->setText(in);

        bool sawRun = false;
        QTimer::singleShot(30, &d, [&] {
            sawRun = d.running();
            QVERIFY(!find<QPushButton>(d, IdTrain)->isEnabled());
            QVERIFY(!find<QPushButton>(d, IdClose)->isEnabled());
            // Only "Прервать " of the buttons is usable: a file dialog opened from the run's
            // event processing would hold the run until it closed.
            for (QPushButton* b : d.findChildren<QPushButton*>()) {
                QVERIFY2(b->isEnabled() == (b->objectName() == QString::number(IdInterrupt)),
                         qPrintable(b->objectName()));
            }
            for (const SpinButtons* b : d.findChildren<SpinButtons*>()) {
                QVERIFY2(!b->upButton()->isEnabled(), qPrintable(b->objectName()));
            }
            bool browsed = false;
            axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest&) {
                browsed = true;
                return QString();
            });
            click(d, IdInputBrowse);
            QVERIFY(!browsed);
            // The pages can be switched meanwhile, but there is nothing to investigate yet.
            d.showPage(TTeachNetwork::ResultsPage);
            QVERIFY(!find<QPushButton>(d, IdInvestigate)->isEnabled());
            d.showPage(TTeachNetwork::TrainingPage);
            // Neither the title bar nor Escape closes the dialog from under the run.
            d.close();
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(d.isVisible());
            click(d, IdInterrupt);
        });
        trainAndExpect({});
        QVERIFY(sawRun);
        QVERIFY(d.isVisible());
        for (const int id : {IdInputBrowse, IdTargetBrowse, IdHelp}) {
            QVERIFY(find<QPushButton>(d, id)->isEnabled());
        }
        QVERIFY(find<SpinButtons>(d, IdPatternsSpin)->upButton()->isEnabled());
        const auto& status = d.trainer().status();
        QVERIFY(status.lastIteration >= 0 && status.lastIteration < 5);
        QCOMPARE(status.lastPattern, patterns - 1);
        QCOMPARE(shown(d, IdIterationShown), QString::number(status.lastIteration));
        QCOMPARE(shown(d, IdPatternShown), QString::number(patterns - 1));
        QCOMPARE(d.curve().norms.size(), static_cast<std::size_t>(status.lastIteration + 1));
        // Interrupted: the partly trained network is listed but not offered for writing.
        QVERIFY(!find<QPushButton>(d, IdWriteDescription)->isEnabled());
        QCOMPARE(d.resultsModel()->rowCount(), patterns);
        d.showPage(TTeachNetwork::ResultsPage);
        QVERIFY(find<QPushButton>(d, IdInvestigate)->isEnabled());
    }

    void theLocalMinimumQuestionIsAnsweredBothWays() {
        TTeachNetwork& d = *dialog_;
        d.showPage(TTeachNetwork::TrainingPage);
        field(d, IdInputFile)->setText(write(QStringLiteral("a.ptn"), "0.5"));
        field(d, IdTargetFile)->setText(write(QStringLiteral("b.ptn"), "0.75"));
        type(d, IdIterations, QStringLiteral("6"));
        type(d, IdRate, QStringLiteral("0")); // the weights stay: equal norms from iteration 1
        const QString question = QString::fromStdString(axolite::training::localMinimumQuestion());

        Notifier::instance().queueAnswer(true);
        trainAndExpect({question});
        QCOMPARE(shown(d, IdIterationShown), QStringLiteral("1"));
        // Yes ends the run as a normal end does.
        QVERIFY(find<QPushButton>(d, IdWriteDescription)->isEnabled());

        for (int i = 0; i < 5; ++i) {
            Notifier::instance().queueAnswer(false);
        }
        trainAndExpect(QStringList(5, question));
        QCOMPARE(shown(d, IdIterationShown), QStringLiteral("5"));
        QCOMPARE(d.curve().norms.size(), 6u);
        QCOMPARE(find<QProgressBar>(d, IdProgress)->value(), 83);

        find<QAbstractButton>(d, IdLocalMinimum)->setChecked(false);
        trainAndExpect({});
        QCOMPARE(shown(d, IdIterationShown), QStringLiteral("5"));
    }

    // XOR has no norm (2 inputs, 1 output); the error, when asked for, is drawn for every
    // iteration and the training gives the same responses as without it.
    void theMeanSquaredErrorIsDrawnWhenAskedFor() {
        TTeachNetwork& d = *dialog_;
        setUpXor(d, 7, 300);
        click(d, IdTrain);
        QVERIFY(d.curve().errors.empty());
        const auto plain = d.trainer().rows();
        find<QAbstractButton>(d, IdCurveError)->setChecked(true);
        click(d, IdTrain);
        QCOMPARE(d.curve().errors.size(), 300u);
        QVERIFY(d.curve().errors.back() < d.curve().errors.front());
        for (std::size_t r = 0; r < plain.size(); ++r) {
            QCOMPARE(d.trainer().rows()[r].response, plain[r].response);
        }
        find<QAbstractButton>(d, IdCurveError)->setChecked(false);
        click(d, IdTrain);
        QVERIFY(d.curve().errors.empty());
    }

    void hebbianAndCompetitiveRunsListResponsesOnly() {
        TTeachNetwork& d = *dialog_;
        type(d, IdInputCount, QStringLiteral("2"));
        type(d, IdOutputCount, QStringLiteral("2"));
        d.showPage(TTeachNetwork::TrainingPage);
        type(d, IdPatterns, QStringLiteral("4"));
        type(d, IdIterations, QStringLiteral("10"));
        field(d, IdInputFile)->setText(examplePath("xor_input.ptn"));
        find<QComboBox>(d, IdMethod)->setCurrentIndex(2);
        trainAndExpect({});
        QCOMPARE(d.resultsModel()->rowCount(), 4);
        QCOMPARE(d.resultsModel()->index(3, 0).data().toString(), QStringLiteral(" 1 1"));
        QVERIFY(d.resultsModel()->index(3, 1).data().toString().isEmpty());
        QVERIFY(d.resultsModel()->index(3, 3).data().toString().isEmpty());
        QVERIFY(d.resultsModel()->index(3, 0).data(Qt::DecorationRole).isNull());
        QCOMPARE(shown(d, IdNormShown), QStringLiteral("Недоступна"));
        QVERIFY(find<QPushButton>(d, IdWriteDescription)->isEnabled());

        // Hidden layers: the Hebbian method refuses, lists the results and offers nothing.
        d.showPage(TTeachNetwork::FormPage);
        spin(d, IdHiddenSpin, true);
        type(d, IdHiddenNeurons, QStringLiteral("4"));
        type(d, IdHiddenEnsembles, QStringLiteral("2"));
        d.showPage(TTeachNetwork::TrainingPage);
        trainAndExpect(
            {QStringLiteral("Должны быть сформированы только и входной и выходной слои сети.")});
        QCOMPARE(Notifier::instance().captured()[0].kind, axolite::MessageKind::Warning);
        QVERIFY(!find<QPushButton>(d, IdWriteDescription)->isEnabled());
        QCOMPARE(d.resultsModel()->rowCount(), 4);

        find<QComboBox>(d, IdMethod)->setCurrentIndex(3);
        trainAndExpect({});
        QCOMPARE(d.trainer().network().layerCount(), 3);
        QCOMPARE(d.trainer().lastMethod(), axolite::training::TrainingMethod::Competitive);
        QVERIFY(find<QPushButton>(d, IdWriteDescription)->isEnabled());
        // Each response of the output layer (one ensemble) is from the forward pass alone.
        QCOMPARE(d.resultsModel()->rowCount(), 4);
    }

    void investigationAnswersWithoutChangingTheNetwork() {
        TTeachNetwork& d = *dialog_;
        int opened = 0;
        d.setInvestigationRunner([&](QDialog& run) {
            ++opened;
            QVERIFY(!find<QPushButton>(d, IdInvestigate)->isEnabled());
            QCOMPARE(run.windowTitle(), QStringLiteral("Исследование работы нейронной сети "));
            QVERIFY(!find<QPushButton>(run, TRunNetwork::IdWork)->isEnabled());
            for (int i = 0; i < 18; ++i) {
                QVERIFY(!field(run, TRunNetwork::IdField + i)->isEnabled());
                QCOMPARE(field(run, TRunNetwork::IdField + i)->text(), QStringLiteral("0.0"));
            }
        });
        d.showPage(TTeachNetwork::ResultsPage);
        click(d, IdInvestigate);
        QCOMPARE(opened, 1);
        QVERIFY(find<QPushButton>(d, IdInvestigate)->isEnabled());

        setUpXor(d, 11, 200);
        click(d, IdTrain);
        const axolite::training::LayeredNetwork before = d.trainer().network();
        const auto rowsBefore = d.trainer().rows();
        QString csv;
        d.setInvestigationRunner([&](QDialog& run) {
            QVERIFY(field(run, TRunNetwork::IdField)->isEnabled());
            QVERIFY(field(run, TRunNetwork::IdField + 1)->isEnabled());
            QVERIFY(!field(run, TRunNetwork::IdField + 2)->isEnabled());
            QVERIFY(find<QLabel>(run, TRunNetwork::IdFieldLabel + 1)->isEnabled());
            QCOMPARE(find<QLabel>(run, TRunNetwork::IdFieldLabel + 12)->text(),
                     QStringLiteral("x13 :"));
            type(run, TRunNetwork::IdField, QStringLiteral("-1"));
            QCOMPARE(field(run, TRunNetwork::IdField)->text(), QStringLiteral("1"));
            type(run, TRunNetwork::IdField + 1, QStringLiteral("x"));
            click(run, TRunNetwork::IdWork);
            click(run, TRunNetwork::IdWork);
            const float y = axolite::training::investigate(before, {1.0f, 0.0f})[0];
            QCOMPARE(find<QPlainTextEdit>(run, TRunNetwork::IdResponse)->toPlainText(),
                     QString::asprintf("y1 = %g\n", static_cast<double>(y)));
            csv = static_cast<TRunNetwork&>(run).investigationsCsv();
        });
        d.showPage(TTeachNetwork::ResultsPage);
        click(d, IdInvestigate);
        QCOMPARE(csv.count(u'\n'), 3);
        QVERIFY(csv.startsWith(QStringLiteral("row,input1,input2,response1\n0,1,0,")));
        for (int l = 1; l < before.layerCount(); ++l) {
            for (int i = 0; i < before.layerSize(l); ++i) {
                QCOMPARE(d.trainer().network().neuron(l, i).weights, before.neuron(l, i).weights);
                QCOMPARE(d.trainer().network().neuron(l, i).bias, before.neuron(l, i).bias);
                QCOMPARE(d.trainer().network().neuron(l, i).activity, before.neuron(l, i).activity);
            }
        }
        QCOMPARE(d.trainer().rows().size(), rowsBefore.size());
        QCOMPARE(d.trainer().rows()[3].response, rowsBefore[3].response);
    }

    // The list lays itself out while the dialog's widgets are torn down, after the trainer that
    // holds its rows is gone (a read of freed memory; the sanitizer build sees it).
    void aDialogClosedOnItsResultsPageGoesCleanly() {
        setUpXor(*dialog_, 4, 10);
        click(*dialog_, IdTrain);
        dialog_->showPage(TTeachNetwork::ResultsPage);
        QApplication::processEvents();
        dialog_.reset();
    }

    // The curve leaves out what it cannot draw: nothing drawable shows no line at all.
    void theCurveDrawsOnlyNormsItCanPlace() {
        auto bluePixels = [](const TrainingCurve& curve) {
            QImage image(400, 240, QImage::Format_RGB32);
            QPainter painter(&image);
            TrainingCurvePainter::paint(painter, QRectF(image.rect()), curve);
            painter.end();
            int blue = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
                }
            }
            return blue;
        };
        const float inf = std::numeric_limits<float>::infinity();
        TrainingCurve curve;
        curve.iterations = 30000;
        curve.logScale = true;
        curve.norms = {0.0f, -1.0f, std::nanf(""), inf};
        QCOMPARE(bluePixels(curve), 0);
        curve.logScale = false;
        curve.norms = {std::nanf(""), inf, -inf};
        QCOMPARE(bluePixels(curve), 0);
        // 30000 norms, a few of them not drawable, on both scales.
        curve.norms.assign(30000, 0.0f);
        for (std::size_t t = 0; t < curve.norms.size(); ++t) {
            curve.norms[t] = t % 1000 == 0 ? std::nanf("") : 1.0f + 100.0f / (1.0f + t);
        }
        QVERIFY(bluePixels(curve) > 300);
        curve.logScale = true;
        QVERIFY(bluePixels(curve) > 300);
    }

    void resultsAreSavedAsCsv() {
        TTeachNetwork& d = *dialog_;
        setUpXor(d, 5, 50);
        click(d, IdTrain);
        // The list: four centred columns of 120 pixels, a square of the row's colour.
        auto* list = find<QTreeView>(d, IdResults);
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(list->columnWidth(c), 120);
            QCOMPARE(d.resultsModel()->index(1, c).data(Qt::TextAlignmentRole).toInt(),
                     int(Qt::AlignCenter));
        }
        QCOMPARE(d.resultsModel()->headerData(3, Qt::Horizontal).toString(),
                 QStringLiteral("Погрешность"));
        for (int r = 0; r < 4; ++r) {
            const QPixmap square =
                d.resultsModel()->index(r, 0).data(Qt::DecorationRole).value<QPixmap>();
            QCOMPARE(square.toImage().pixelColor(5, 5),
                     TrainingResultsModel::markerColour(d.trainer().rows()[r].marker));
        }
        const QString path = dir_.filePath(QStringLiteral("results.csv"));
        QVERIFY(d.saveResultsCsv(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        QCOMPARE(lines[0], QStringLiteral("pattern,input1,input2,target1,response1,error1,marker"));
        QCOMPARE(lines.size(), 6); // header, four rows, the final empty piece
        const auto& row = d.trainer().rows()[1];
        QCOMPARE(lines[2].split(u',')[4].toFloat(), row.response[0]);
        QVERIFY(lines[2].startsWith(QStringLiteral("1,0,1,0.899999976,")));
        // A folder that does not exist: the message, and nothing written.
        Notifier::instance().clearCaptured();
        QVERIFY(!d.saveResultsCsv(dir_.filePath(QStringLiteral("no/such/r.csv"))));
        QCOMPARE(capturedTexts().size(), 1);
        QVERIFY(capturedTexts()[0].startsWith(QStringLiteral("Невозможно создать файл ")));
    }
};

QTEST_MAIN(TrainingDialogTest)
#include "training_dialog_test.moc"
