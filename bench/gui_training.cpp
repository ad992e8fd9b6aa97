// The training dialog against the engine alone, offscreen: online back-propagation of
// 18-18-18-18 and 2-10-1 over 1000 patterns × 100 iterations through "Обучить" (status line,
// curve and results list included) and through the training command without a window; filling
// the results list with 30000 rows (the model over the results table against 30000 widget
// items); and how long "Прервать " takes to stop 18-18-18-18 over 30000 patterns.
#include "app/gui/notifier.h"
#include "app/shell/memory_reuse.h"
#include "app/training/teach_network.h"
#include "app/training/training_views.h"
#include "core/training/network_trainer.h"
#include "core/training/pattern_file.h"
#include "gui_main.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <random>

using namespace axolite::training;
using namespace axolite::training_ui;

namespace {

struct Shape {
    int input;
    int hidden;
    int hiddenLayers;
    int output;
};

const Shape kShapes[] = {{18, 18, 2, 18}, {2, 10, 1, 1}};

std::vector<double> values(std::size_t count, unsigned seed, double scale) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-scale, scale);
    std::vector<double> result(count);
    for (double& v : result) {
        v = value(engine);
    }
    return result;
}

struct Files {
    std::string input;
    std::string target;
    Files(const Shape& shape, int patterns) {
        const auto folder = std::filesystem::temp_directory_path();
        const std::string tag = std::to_string(shape.input) + "_" + std::to_string(patterns);
        input = (folder / ("axolite_gui_bench_in_" + tag + ".ptn")).string();
        target = (folder / ("axolite_gui_bench_out_" + tag + ".ptn")).string();
        writePatternFile(input, values(static_cast<std::size_t>(patterns * shape.input), 1, 1.0));
        writePatternFile(target, values(static_cast<std::size_t>(patterns * shape.output), 2, 0.5));
    }
};

void setText(TTeachNetwork& dialog, int id, const QString& text) {
    dialog.findChild<QLineEdit*>(QString::number(id))->setText(text);
}

// The dialog set up for a shape, on the page "Обучение сети" with its curve in view.
std::unique_ptr<TTeachNetwork> dialogFor(const Shape& shape, const Files& files, int patterns,
                                         int iterations) {
    auto dialog = std::make_unique<TTeachNetwork>(nullptr);
    dialog->show();
    setText(*dialog, IdInputCount, QString::number(shape.input));
    setText(*dialog, IdOutputCount, QString::number(shape.output));
    setText(*dialog, IdHiddenCount, QString::number(shape.hiddenLayers));
    for (int h = 0; h < shape.hiddenLayers; ++h) {
        setText(*dialog, IdHiddenNeurons + h, QString::number(shape.hidden));
    }
    dialog->showPage(TTeachNetwork::TrainingPage);
    setText(*dialog, IdPatterns, QString::number(patterns));
    setText(*dialog, IdIterations, QString::number(iterations));
    setText(*dialog, IdRate, QStringLiteral("0.01"));
    setText(*dialog, IdInputFile, QString::fromStdString(files.input));
    setText(*dialog, IdTargetFile, QString::fromStdString(files.target));
    setText(*dialog, IdSeed, QStringLiteral("1"));
    dialog->findChild<QAbstractButton*>(QString::number(IdSeedFixed))->setChecked(true);
    dialog->findChild<QAbstractButton*>(QString::number(IdLocalMinimum))->setChecked(false);
    QApplication::processEvents();
    return dialog;
}

constexpr int kPatterns = 1000;
constexpr int kIterations = 100;

void BM_Train_Engine(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    const Files files(shape, kPatterns);
    auto dialog = dialogFor(shape, files, kPatterns, kIterations);
    const LayerConfiguration configuration = dialog->configuration();
    TrainingParameters parameters;
    parameters.patterns = kPatterns;
    parameters.iterations = kIterations;
    parameters.inputFile = files.input;
    parameters.targetFile = files.target;
    parameters.learningRate = "0.01";
    parameters.stopAtLocalMinimum = false;
    for (auto _ : state) {
        NetworkTrainer trainer(1);
        trainer.train(configuration, parameters);
        benchmark::DoNotOptimize(trainer.network().neuron(1, 0).weights[0]);
    }
}
BENCHMARK(BM_Train_Engine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Arguments: the shape, and what is in view: 1 the page "Обучение сети" with its curve, 2 the
// same page with the curve hidden (what the curve costs is the difference), 0 the page
// "Работа сети" (its list repainted after each run).
void BM_Train_Dialog(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    const Files files(shape, kPatterns);
    auto dialog = dialogFor(shape, files, kPatterns, kIterations);
    if (state.range(1) == 0) {
        dialog->showPage(TTeachNetwork::ResultsPage);
    } else if (state.range(1) == 2) {
        dialog->findChild<QWidget*>(QString::number(IdCurve))->hide();
    }
    for (auto _ : state) {
        dialog->train();
        benchmark::DoNotOptimize(dialog->trainer().network().neuron(1, 0).weights[0]);
    }
    state.counters["curve_points"] = static_cast<double>(dialog->curve().norms.size());
}
BENCHMARK(BM_Train_Dialog)
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

// 30000 rows listed (2-10-1, or 18-18-18-18 with 18 values in each column): the model over the
// results table, shown and drawn.
void BM_FillResults_Model(benchmark::State& state) {
    const Shape& shape = kShapes[state.range(0)];
    const Files files(shape, 30000);
    auto dialog = dialogFor(shape, files, 30000, 1);
    dialog->train();
    dialog->showPage(TTeachNetwork::ResultsPage);
    auto* model = static_cast<TrainingResultsModel*>(dialog->resultsModel());
    for (auto _ : state) {
        model->setRows(&dialog->trainer().rows());
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FillResults_Model)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The baseline: one widget item per row with its four texts formatted at once.
void BM_FillResults_WidgetItems(benchmark::State& state) {
    const Shape& shape = kShapes[1];
    const Files files(shape, 30000);
    auto dialog = dialogFor(shape, files, 30000, 1);
    dialog->train();
    QTreeWidget list;
    list.setColumnCount(4);
    list.show();
    for (auto _ : state) {
        list.clear();
        QList<QTreeWidgetItem*> items;
        for (const ResultRow& row : dialog->trainer().rows()) {
            items << new QTreeWidgetItem(
                QStringList{QString::fromStdString(inputColumnText(row)),
                            QString::fromStdString(targetColumnText(row)),
                            QString::fromStdString(responseColumnText(row)),
                            QString::fromStdString(errorColumnText(row))});
        }
        list.addTopLevelItems(items);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FillResults_WidgetItems)->Unit(benchmark::kMillisecond);

// "Прервать " pressed 100 ms into 18-18-18-18 over 30000 patterns × 30000 iterations: the time
// from the press until training has stopped (the end of the iteration in which it was pressed),
// and, as listed_ms, until "Обучить" has returned with the 30000 results listed.
void BM_InterruptLatency(benchmark::State& state) {
    const Shape& shape = kShapes[0];
    const Files files(shape, 30000);
    auto dialog = dialogFor(shape, files, 30000, 30000);
    QElapsedTimer sincePress;
    qint64 stoppedAt = 0;
    QObject::connect(dialog.get(), &TTeachNetwork::iterationFinished, dialog.get(), [&] {
        if (sincePress.isValid()) {
            stoppedAt = sincePress.nsecsElapsed();
        }
    });
    double worst = 0.0;
    double listed = 0.0;
    for (auto _ : state) {
        sincePress.invalidate();
        QTimer::singleShot(100, dialog.get(), [&] {
            sincePress.start();
            dialog->findChild<QAbstractButton*>(QString::number(IdInterrupt))->click();
        });
        dialog->train();
        listed = std::max(listed, static_cast<double>(sincePress.nsecsElapsed()) * 1e-6);
        const double seconds = static_cast<double>(stoppedAt) * 1e-9;
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1e3;
    state.counters["listed_ms"] = listed;
}
BENCHMARK(BM_InterruptLatency)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runGuiBenchmarks(argc, argv);
}
