// The window "Сравнение обучения" opened from the training page: its runs and curves are those
// of separate single runs with the same settings and seed, a sweep's curve is their mean, a stop
// or a close during the runs ends them without a hang, and variants are added and removed.
#include "app/gui/notifier.h"
#include "app/training/comparison_window.h"

#include "training_support.h"

#include <QComboBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using axolite::training::ComparedResult;
using axolite::training::TrainingMethod;
using axolite::training::TrainingParameters;

namespace {

constexpr int kWaitMs = 60000;

// The mean squared errors of a run made alone, as the training page makes it.
std::vector<double> singleRunErrors(const axolite::training::LayerConfiguration& configuration,
                                    TrainingParameters parameters, std::uint32_t seed) {
    axolite::training::NetworkTrainer trainer(seed);
    std::vector<double> errors;
    axolite::training::TrainingCallbacks callbacks;
    callbacks.errorComputed = [&](int, double e) { errors.push_back(e); };
    parameters.meanSquaredError = true;
    trainer.train(configuration, parameters, callbacks);
    return errors;
}

void setVariant(ComparisonWindow& window, int row, TrainingMethod method, const QString& rate,
                const QString& seed) {
    auto* table = find<QTableWidget>(window, ComparisonWindow::IdVariants);
    static_cast<QComboBox*>(table->cellWidget(row, ComparisonWindow::MethodColumn))
        ->setCurrentIndex(static_cast<int>(method));
    static_cast<QLineEdit*>(table->cellWidget(row, ComparisonWindow::RateColumn))->setText(rate);
    static_cast<QLineEdit*>(table->cellWidget(row, ComparisonWindow::SeedColumn))->setText(seed);
}

} // namespace

class ComparisonWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TTeachNetwork> dialog_;

    ComparisonWindow& openComparison(std::uint32_t seed, int iterations) {
        setUpXor(*dialog_, seed, iterations);
        // The dialog's own run below answers no local-minimum question, as the comparison does.
        find<QAbstractButton>(*dialog_, IdLocalMinimum)->setChecked(false);
        click(*dialog_, IdCompare);
        auto* window = dialog_->findChild<ComparisonWindow*>();
        if (window == nullptr) {
            qFatal("no comparison window");
        }
        return *window;
    }

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
        dialog_ = std::make_unique<TTeachNetwork>(nullptr);
        dialog_->show();
    }
    void cleanup() { dialog_.reset(); }

    void runsAndCurvesEqualSeparateSingleRuns() {
        ComparisonWindow& window = openComparison(11, 300);
        QCOMPARE(window.windowTitle(), QStringLiteral("Сравнение обучения"));
        click(window, ComparisonWindow::IdAddVariant);
        click(window, ComparisonWindow::IdAddVariant);
        setVariant(window, 1, TrainingMethod::BackPropagationRandomized, "0.25", "11");
        setVariant(window, 2, TrainingMethod::BackPropagationOnline, "0.5", "12");
        click(window, ComparisonWindow::IdCompare);
        QTRY_VERIFY_WITH_TIMEOUT(!window.running(), kWaitMs);

        const auto variants = window.variants();
        QCOMPARE(window.results().size(), std::size_t{3});
        const auto* runs = find<QTableWidget>(window, ComparisonWindow::IdRuns);
        for (std::size_t i = 0; i < 3; ++i) {
            const ComparedResult& r = window.results()[i];
            const auto alone =
                singleRunErrors(dialog_->configuration(), variants[i].parameters, variants[i].seed);
            QCOMPARE(r.errors, alone);
            QCOMPARE(window.curve().compared[i].values, alone);
            QVERIFY(window.curve().compared[i].deviation.empty());
            QCOMPARE(*r.finalError, alone.back());
            QCOMPARE(r.iterations, 300);
            const int row = static_cast<int>(i);
            QCOMPARE(runs->item(row, 2)->text(), QString::asprintf("%g", alone.back()));
            QCOMPARE(runs->item(row, 3)->text(), QStringLiteral("300"));
        }
        QCOMPARE(window.curve().compared[1].name, QStringLiteral("randomized, η=0.25, 11"));

        // The first variant is the dialog's own run with its settings and seed.
        find<QAbstractButton>(*dialog_, IdCurveError)->setChecked(true);
        click(*dialog_, IdTrain);
        QCOMPARE(dialog_->curve().errors, window.results()[0].errors);
        QVERIFY(find<QPushButton>(window, ComparisonWindow::IdSavePicture)->isEnabled());
    }

    void aSweepDrawsTheMeanOfItsRunsWithABand() {
        ComparisonWindow& window = openComparison(30, 80);
        find<QAbstractButton>(window, ComparisonWindow::IdSweep)->setChecked(true);
        find<QSpinBox>(window, ComparisonWindow::IdSweepSeeds)->setValue(3);
        click(window, ComparisonWindow::IdCompare);
        QTRY_VERIFY_WITH_TIMEOUT(!window.running(), kWaitMs);
        QCOMPARE(window.runs().size(), std::size_t{3});
        std::vector<std::vector<double>> alone;
        for (std::uint32_t seed = 30; seed < 33; ++seed) {
            alone.push_back(
                singleRunErrors(dialog_->configuration(), window.variants()[0].parameters, seed));
        }
        const auto mean = axolite::training::meanCurve(alone);
        QCOMPARE(window.curve().compared.size(), std::size_t{1});
        QCOMPARE(window.curve().compared[0].values, mean.mean);
        QCOMPARE(window.curve().compared[0].deviation, mean.deviation);
        QCOMPARE(window.curve().compared[0].name,
                 QStringLiteral("online, η=0.5 (среднее по 3, ±σ)"));
    }

    void aStopEndsTheRunsAndAcloseDuringThemLeavesNoThread() {
        ComparisonWindow& window = openComparison(5, 30000);
        find<QAbstractButton>(window, ComparisonWindow::IdSweep)->setChecked(true);
        find<QSpinBox>(window, ComparisonWindow::IdSweepSeeds)->setValue(20);
        click(window, ComparisonWindow::IdCompare);
        QVERIFY(window.running());
        QVERIFY(!find<QPushButton>(window, ComparisonWindow::IdCompare)->isEnabled());
        QVERIFY(!find<QPushButton>(window, ComparisonWindow::IdAddVariant)->isEnabled());
        click(window, ComparisonWindow::IdInterrupt);
        QTRY_VERIFY_WITH_TIMEOUT(!window.running(), kWaitMs);
        QCOMPARE(window.results().size(), std::size_t{20});
        QCOMPARE(window.results().back().iterations, 0);
        for (const ComparedResult& r : window.results()) {
            QVERIFY(r.interrupted);
        }
        QVERIFY(find<QPushButton>(window, ComparisonWindow::IdCompare)->isEnabled());

        // Closing the window during the runs stops them; so does closing the dialog.
        click(window, ComparisonWindow::IdCompare);
        QPointer<ComparisonWindow> closed(&window);
        closed->close();
        QVERIFY(!closed->running());
        QTRY_VERIFY(closed.isNull());
        click(*dialog_, IdCompare);
        auto* second = dialog_->findChild<ComparisonWindow*>();
        click(*second, ComparisonWindow::IdCompare);
        QVERIFY(second->running());
        dialog_.reset();
    }

    void variantsAreAddedAsCopiesAndTheLastOneStays() {
        ComparisonWindow& window = openComparison(7, 10);
        QCOMPARE(window.variantCount(), 1);
        QVERIFY(!find<QPushButton>(window, ComparisonWindow::IdRemoveVariant)->isEnabled());
        setVariant(window, 0, TrainingMethod::BackPropagationRandomized, "0.1", "9");
        click(window, ComparisonWindow::IdAddVariant);
        QCOMPARE(window.variantCount(), 2);
        QCOMPARE(window.variants()[1].parameters.learningRate, std::string("0.1"));
        QCOMPARE(window.variants()[1].seed, 9u);
        QVERIFY(window.variants()[1].parameters.method ==
                TrainingMethod::BackPropagationRandomized);
        find<QTableWidget>(window, ComparisonWindow::IdVariants)->selectRow(0);
        click(window, ComparisonWindow::IdRemoveVariant);
        QCOMPARE(window.variantCount(), 1);
        click(window, ComparisonWindow::IdRemoveVariant);
        QCOMPARE(window.variantCount(), 1);
        // The variants share the dialog's patterns and iterations.
        QCOMPARE(window.variants()[0].parameters.iterations, 10);
        QCOMPARE(window.variants()[0].parameters.patterns, 4);
    }
};

QTEST_MAIN(ComparisonWindowTest)
#include "comparison_window_test.moc"
