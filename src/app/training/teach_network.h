// The dialog "Формирование и обучение нейронной сети ": the layer configuration (page
// "Описание сети"), training on pattern files with its status line and curve (page "Обучение
// сети"), the results list (page "Работа сети"), investigation and the generated description.
#pragma once

#include "app/gui/computation_guard.h"
#include "core/common/progress.h"
#include "core/training/network_trainer.h"
#include "render/training_curve_painter.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QAbstractItemModel;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTreeView;
class QVBoxLayout;
class TOpenedNote;

namespace axolite::gui {
class ToolHost;
}

namespace axolite::training_ui {
class SpinButtons;
class TrainingResultsModel;
class TrainingCurveView;

// The numeric identifiers of the dialog's controls (their objectNames).
enum TeachNetworkControl : int {
    IdClose = 2,
    IdHelp = 9,
    IdTabs = 100,
    // Page "Описание сети"
    IdInputCount = 101,
    IdInputSpin = 102,
    IdInputKind = 103, // 103 … 106: "Линейная", "Ступенчатая", "Сигмовидная", "Гауссова"
    IdHiddenCount = 107,
    IdHiddenSpin = 108,
    IdHiddenNeurons = 111,   // 111 … 120
    IdHiddenEnsembles = 121, // 121 … 130
    IdHiddenKind = 131,      // 131 … 134
    IdOutputCount = 141,
    IdOutputSpin = 142,
    IdOutputKind = 143, // 143 … 146
    // Page "Обучение сети"
    IdPatterns = 201,
    IdPatternsSpin = 202,
    IdInputFile = 203,
    IdInputBrowse = 204,
    IdTargetFile = 205,
    IdTargetBrowse = 206,
    IdMethod = 207,
    IdIterations = 208,
    IdIterationsSpin = 209,
    IdRate = 210,
    IdLocalMinimum = 211,
    IdTrain = 212,
    IdInterrupt = 213,
    IdWriteDescription = 214,
    IdProgress = 215,
    IdPatternShown = 216,
    IdIterationShown = 217,
    IdNormShown = 218,
    IdSeed = 219,
    IdSeedFixed = 220,
    IdCurve = 221,
    IdCurveLog = 222,
    IdCurveError = 223,
    // Page "Работа сети"
    IdResults = 301,
    IdInvestigate = 302,
    IdSeedUsed = 303,
};

// Help topics of the three pages (the first is the command's own).
constexpr std::array<int, 3> kTeachNetworkTopics = {42, 4201, 4202};

} // namespace axolite::training_ui

class TTeachNetwork : public QDialog, private axolite::Progress {
    Q_OBJECT
public:
    enum Page : int { FormPage = 0, TrainingPage = 1, ResultsPage = 2 };

    // host may be nullptr (tests): the file dialogs then start in the default folder and a
    // written description is not opened.
    explicit TTeachNetwork(axolite::gui::ToolHost* host, QWidget* parent = nullptr);
    ~TTeachNetwork() override;

    int currentPage() const { return page_; }
    bool running() const { return running_; }
    bool trained() const { return trainer_.trained(); }
    const axolite::training::NetworkTrainer& trainer() const { return trainer_; }
    // The layer configuration as the page "Описание сети" shows it.
    axolite::training::LayerConfiguration configuration() const;
    // The seed of the last run that got past the checks.
    std::optional<std::uint32_t> lastSeed() const { return lastSeed_; }
    QAbstractItemModel* resultsModel() const;
    const axolite::training_ui::TrainingCurve& curve() const { return curve_; }

    // What "Помощь" does instead of opening the help (tests); receives the page's topic.
    void setHelpHandler(std::function<void(int)> handler) { help_ = std::move(handler); }
    // What "Исследовать ..." does instead of running TRunNetwork modally (tests).
    void setInvestigationRunner(std::function<void(QDialog&)> runner) {
        runInvestigation_ = std::move(runner);
    }

    // The results list as CSV text, and written to a file (answers false after the message).
    QString resultsCsv() const;
    bool saveResultsCsv(const QString& path);

signals:
    // An iteration of the running method has ended (its status is the trainer's).
    void iterationFinished(int iteration);

public slots:
    void showPage(int page);
    void train();
    void interrupt();
    void writeDescriptionFile();
    void investigate();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // Progress: the page's bar, pending events and "Прервать ".
    void setPercent(int percent) override;
    void poll() override;
    bool cancelRequested() const override { return stop_; }

    QWidget* buildFormPage();
    QWidget* buildTrainingPage();
    QGroupBox* buildPatternsGroup(QWidget* page);
    QGroupBox* buildParametersGroup(QWidget* page);
    QHBoxLayout* buildTrainingStatus(QWidget* page);
    QVBoxLayout* buildTrainingButtons(QWidget* page);
    QWidget* buildResultsPage();
    void enableHiddenLayers();
    void browse(QLineEdit* field);
    void flushStatus();
    void runStarted();
    void runEnded(bool interrupted);
    void chooseResultsCsv();
    QString folderOf(int which) const;

    axolite::gui::ToolHost* host_ = nullptr;
    axolite::training::NetworkTrainer trainer_;
    QTabBar* tabs_ = nullptr;
    std::array<QWidget*, 3> pages_{};
    int page_ = FormPage;

    // Page "Описание сети"
    QLineEdit* inputCount_ = nullptr;
    QLineEdit* hiddenCount_ = nullptr;
    QLineEdit* outputCount_ = nullptr;
    std::array<QLineEdit*, 10> hiddenNeurons_{};
    std::array<QLineEdit*, 10> hiddenEnsembles_{};
    QButtonGroup* inputKind_ = nullptr;
    QButtonGroup* hiddenKind_ = nullptr;
    QButtonGroup* outputKind_ = nullptr;

    // Page "Обучение сети"
    QLineEdit* patterns_ = nullptr;
    QLineEdit* inputFile_ = nullptr;
    QLineEdit* targetFile_ = nullptr;
    QComboBox* method_ = nullptr;
    QLineEdit* iterations_ = nullptr;
    QLineEdit* rate_ = nullptr;
    QCheckBox* localMinimum_ = nullptr;
    QLineEdit* seed_ = nullptr;
    QCheckBox* seedFixed_ = nullptr;
    QPushButton* trainButton_ = nullptr;
    QPushButton* interruptButton_ = nullptr;
    QPushButton* describeButton_ = nullptr;
    // Where the written description opened: in the main window, behind this dialog.
    TOpenedNote* openedNote_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* patternShown_ = nullptr;
    QLabel* iterationShown_ = nullptr;
    QLabel* normShown_ = nullptr;
    axolite::training_ui::TrainingCurveView* curveView_ = nullptr;
    QCheckBox* curveLog_ = nullptr;
    QCheckBox* curveError_ = nullptr;

    // Page "Работа сети"
    QTreeView* results_ = nullptr;
    axolite::training_ui::TrainingResultsModel* resultsModel_ = nullptr;
    QPushButton* investigateButton_ = nullptr;
    QLabel* seedUsed_ = nullptr;

    axolite::training_ui::TrainingCurve curve_;
    std::optional<std::uint32_t> lastSeed_;
    bool stop_ = false;
    bool running_ = false;
    // The other buttons a run disables (browse, spin buttons, help), with the state each had.
    std::vector<std::pair<QPointer<QWidget>, bool>> heldDuringRun_;
    // Messages shown during the run do not hold it.
    std::optional<axolite::gui::RunGuard> run_;
    int percent_ = 0;
    bool curveChanged_ = false;
    QElapsedTimer clock_;
    qint64 lastEvents_ = 0;
    qint64 lastStatus_ = 0;
    std::function<void(int)> help_;
    std::function<void(QDialog&)> runInvestigation_;
};
