// The window "Сравнение обучения": variants of the training dialog's settings (method, learning
// rate, seed, or a sweep of seeds for each) run side by side on two threads off the GUI thread,
// their error and norm curves overlaid with a legend, and a table of each run's outcome.
#pragma once

#include "core/training/training_comparison.h"
#include "render/training_curve_painter.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableWidget;
class QTimer;

namespace axolite::training_ui {

class TrainingCurveView;

class ComparisonWindow : public QWidget {
    Q_OBJECT
public:
    // The numeric identifiers of the window's controls (their objectNames).
    enum Control : int {
        IdClose = 2,
        IdHelp = 9,
        IdVariants = 501,
        IdAddVariant = 502,
        IdRemoveVariant = 503,
        IdSweep = 504,
        IdSweepSeeds = 505,
        IdCompare = 506,
        IdInterrupt = 507,
        IdProgress = 508,
        IdCurve = 509,
        IdCurveLog = 510,
        IdRuns = 511,
        IdSavePicture = 512,
    };
    static constexpr int kHelpTopic = 4204;
    // The columns of the variants table.
    enum Column : int { MethodColumn = 0, RateColumn = 1, SeedColumn = 2 };

    // The first variant is the dialog's parameters with its seed; the network is formed with the
    // configuration for every run. parent: the training dialog (the window stays usable beside
    // it and goes with it).
    ComparisonWindow(const training::LayerConfiguration& configuration,
                     const training::TrainingParameters& parameters, std::uint32_t seed,
                     QWidget* parent);
    // Stops a run in progress and waits for the runs in hand to end.
    ~ComparisonWindow() override;

    int variantCount() const;
    // A variant at the end of the table, selected.
    void appendVariant(training::TrainingMethod method, const QString& rate, std::uint32_t seed);
    // The variants as the table shows them, labelled for the legend.
    std::vector<training::ComparedVariant> variants() const;
    bool running() const { return worker_ != nullptr; }
    // The runs of the last comparison, their results (in the same order) and the picture.
    const std::vector<training::ComparedRun>& runs() const { return runs_; }
    const std::vector<training::ComparedResult>& results() const { return results_; }
    const TrainingCurve& curve() const { return curve_; }
    // Writes the picture (SVG or PNG by the extension); false after the message.
    bool savePicture(const QString& path);
    // What "Помощь" does instead of opening the help (tests).
    void setHelpHandler(std::function<void(int)> handler) { help_ = std::move(handler); }

public slots:
    // "Добавить": a copy of the selected variant (the last when none is selected).
    void addVariant();
    // "Удалить": the selected variant; the last one left stays.
    void removeVariant();
    // "Сравнить": starts the runs of every variant (each over the sweep's seeds).
    void compare();
    // "Прервать": the runs end after the iteration in hand; those not started are not started.
    void interrupt();

signals:
    // The runs ended (stopped or not) and their results are shown.
    void comparisonFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Worker; // the thread of a comparison with what it shares
    void buildControls();
    // The variants' table with its buttons, and the curve beside the runs' table.
    QGroupBox* buildVariants();
    QSplitter* buildResults();
    int sweepSeeds() const;
    void followRun();
    void finishRun();
    void stopAndWait();
    void showCurves();
    void showRuns();
    void setRunning(bool running);
    void choosePicture();

    training::LayerConfiguration configuration_;
    training::TrainingParameters parameters_;
    std::vector<training::ComparedVariant> compared_; // the variants of the last comparison
    std::vector<training::ComparedRun> runs_;
    std::vector<training::ComparedResult> results_;
    int comparedSeeds_ = 1;
    TrainingCurve curve_;
    std::unique_ptr<Worker> worker_;

    QTableWidget* variantsTable_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QCheckBox* sweep_ = nullptr;
    QSpinBox* sweepSeeds_ = nullptr;
    QPushButton* compareButton_ = nullptr;
    QPushButton* interruptButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QProgressBar* bar_ = nullptr;
    TrainingCurveView* curveView_ = nullptr;
    QTableWidget* runsTable_ = nullptr;
    QTimer* follow_ = nullptr;
    std::function<void(int)> help_;
};

} // namespace axolite::training_ui
