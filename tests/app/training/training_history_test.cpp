// The history row of the page "Работа сети": the slider lists the network of a kept iteration as
// the engine answers it (rows, investigation, the curve's cursor), and "Продолжить отсюда" trains
// the same branch as the engine.
#include "app/training/run_network.h"
#include "core/training/network_trainer.h"

#include "training_support.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include <cstring>

namespace {

constexpr std::uint32_t kSeed = 11;

bool sameWeights(const axolite::training::LayeredNetwork& a,
                 const axolite::training::LayeredNetwork& b) {
    for (int l = 1; l < a.layerCount(); ++l) {
        for (int i = 0; i < a.layerSize(l); ++i) {
            const auto& x = a.neuron(l, i);
            const auto& y = b.neuron(l, i);
            if (std::memcmp(&x.bias, &y.bias, sizeof x.bias) != 0 ||
                std::memcmp(x.weights.data(), y.weights.data(), sizeof x.weights) != 0) {
                return false;
            }
        }
    }
    return a.layerCount() == b.layerCount();
}

// The slider at the kept iteration nearest to the one given.
void slideTo(TTeachNetwork& dialog, int iteration) {
    const auto& kept = dialog.history().iterations();
    const auto at = std::find(kept.begin(), kept.end(), dialog.history().nearestKept(iteration));
    find<QSlider>(dialog, IdHistorySlider)->setValue(static_cast<int>(at - kept.begin()));
}

} // namespace

class TrainingHistoryTest : public QObject {
    Q_OBJECT

private slots:
    void theSliderListsAndInvestigatesTheNetworkOfItsIteration() {
        TTeachNetwork dialog(nullptr);
        setUpXor(dialog, kSeed, 60);
        click(dialog, IdTrain);
        dialog.showPage(TTeachNetwork::ResultsPage);
        QCOMPARE(dialog.history().iterations().size(), std::size_t{61});
        QCOMPARE(shown(dialog, IdHistoryShown), QStringLiteral("60"));
        QVERIFY(shown(dialog, IdHistorySummary)
                    .startsWith(QStringLiteral("История: каждая итерация, ")));

        slideTo(dialog, 25);
        const auto network = dialog.history().networkAt(25);
        const auto rows = axolite::training::resultRowsOf(network, dialog.trainer().rows());
        const QAbstractItemModel* model = dialog.resultsModel();
        QCOMPARE(model->rowCount(), 4);
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(model->index(r, 2).data().toString(),
                     QString::fromStdString(axolite::training::responseColumnText(rows[r])));
            QCOMPARE(model->index(r, 3).data().toString(),
                     QString::fromStdString(axolite::training::errorColumnText(rows[r])));
        }
        QVERIFY(model->index(0, 2).data().toString() !=
                QString::fromStdString(
                    axolite::training::responseColumnText(dialog.trainer().rows()[0])));
        QCOMPARE(dialog.curve().cursor.value_or(-1), 24.0);

        QString response;
        dialog.setInvestigationRunner([&](QDialog& run) {
            type(run, TRunNetwork::IdField, QStringLiteral("1"));
            click(run, TRunNetwork::IdWork);
            response = find<QPlainTextEdit>(run, TRunNetwork::IdResponse)->toPlainText();
        });
        click(dialog, IdInvestigate);
        const float y = axolite::training::investigate(network, {1.0f, 0.0f})[0];
        QCOMPARE(response, QString::asprintf("y1 = %g\n", static_cast<double>(y)));

        // Back at the last iteration: the trainer's own rows.
        slideTo(dialog, 60);
        QCOMPARE(model->index(0, 2).data().toString(),
                 QString::fromStdString(
                     axolite::training::responseColumnText(dialog.trainer().rows()[0])));
    }

    void continuingFromAnIterationTrainsTheEnginesBranch() {
        TTeachNetwork dialog(nullptr);
        setUpXor(dialog, kSeed, 40);
        click(dialog, IdTrain);
        const axolite::training::TrainingHistory before = dialog.history();
        dialog.showPage(TTeachNetwork::ResultsPage);
        slideTo(dialog, 15);

        // The training page's settings as they are now: another method and count.
        dialog.showPage(TTeachNetwork::TrainingPage);
        find<QComboBox>(dialog, IdMethod)->setCurrentIndex(1);
        type(dialog, IdIterations, QStringLiteral("30"));
        dialog.showPage(TTeachNetwork::ResultsPage);
        click(dialog, IdBranch);
        QVERIFY(!dialog.running());
        QCOMPARE(dialog.currentPage(), int(TTeachNetwork::TrainingPage));

        axolite::training::NetworkTrainer engine(kSeed);
        engine.setBranchPoint(before.branchPoint(15, true));
        axolite::training::TrainingParameters parameters;
        parameters.patterns = 4;
        parameters.iterations = 30;
        parameters.inputFile = examplePath("xor_input.ptn").toStdString();
        parameters.targetFile = examplePath("xor_target.ptn").toStdString();
        parameters.method = axolite::training::TrainingMethod::BackPropagationRandomized;
        parameters.learningRate = "0.5";
        engine.train(dialog.configuration(), parameters);
        QVERIFY(sameWeights(dialog.trainer().network(), engine.network()));

        // The branch's history and curve count on from 15; a new run starts afresh.
        QCOMPARE(dialog.history().iterations().front(), 15);
        QCOMPARE(dialog.history().iterations().back(), 45);
        QCOMPARE(dialog.curve().firstIteration, 15);
        QCOMPARE(dialog.curve().iterations, 45);
        click(dialog, IdTrain);
        QCOMPARE(dialog.history().iterations().front(), 0);
        QCOMPARE(dialog.curve().firstIteration, 0);
    }
};

QTEST_MAIN(TrainingHistoryTest)
#include "training_history_test.moc"
