// The page "Обучение сети" of the training dialog: the pattern files, the parameters and method,
// the seed, "Обучить" with the engine's training command, the status line, the live curve,
// "Прервать " and the written description.
#pragma once

#include "app/training/training_state.h"
#include "core/common/progress.h"
#include "core/training/training_run.h"

#include <QElapsedTimer>
#include <QWidget>

#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;
class TOpenedNote;

namespace axolite::gui {
class ToolHost;
}

namespace axolite::training_ui {

class TrainingCurveView;

class TrainingPage : public QWidget, private Progress {
    Q_OBJECT
public:
    // host may be nullptr: the file dialogs then start in the default folder and a written
    // description is not opened. dialog: where the note on an opened description watches.
    TrainingPage(TrainingState& state, gui::ToolHost* host, QDialog* dialog);

    // Trains a network of this configuration with the page's parameters; messages go to the
    // page. Returns when the run has ended.
    void train(const training::LayerConfiguration& configuration);
    void writeDescriptionFile();
    // The page is shown: a network not trained is not offered for writing.
    void shown();
    // The buttons the run itself enables and disables (the others are held by the dialog).
    QList<QWidget*> runButtons() const;

    // The page's fields as the settings of a run's record (layers are the form page's).
    void fillSettings(training::RunSettings& settings) const;
    // The fields of a record's settings and seed (fixed); errorCurve: the record holds the error
    // of every iteration. The status line shows the trainer's status.
    void showRecord(const training::RunSettings& settings, std::optional<std::uint32_t> seed,
                    bool errorCurve);

signals:
    // "Обучить" was clicked: the dialog trains the network its form page describes.
    void trainRequested();
    // "Сравнить ...": the dialog opens a comparison of these parameters, from this seed.
    void compareRequested(const axolite::training::TrainingParameters& parameters,
                          std::uint32_t seed);
    // An iteration of the running method has ended.
    void iterationFinished(int iteration);

private:
    // Progress: the page's bar, pending events and "Прервать ".
    void setPercent(int percent) override;
    void poll() override;
    bool cancelRequested() const override { return state_.stopRequested(); }

    QGroupBox* buildPatternsGroup();
    QGroupBox* buildParametersGroup();
    QHBoxLayout* buildStatus();
    QVBoxLayout* buildButtons();
    void browse(QLineEdit* field);

    // The parameters as the page shows them.
    training::TrainingParameters parameters() const;
    // The time in seconds unless the user fixed a seed; shown in the seed's field.
    std::uint32_t chooseSeed();
    training::TrainingCallbacks callbacks(const training::TrainingParameters& parameters,
                                          std::uint32_t seed);
    // The run ended without a result: refused by a check, or out of memory (the results table
    // may then hold new rows). networkReplaced: the trained network is gone.
    void refused(const Message& message, bool networkReplaced, bool rowsChanged);
    void flushStatus();
    void runStarted();
    void runEnded(bool interrupted);

    TrainingState& state_;
    gui::ToolHost* host_ = nullptr;

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
    QPushButton* compareButton_ = nullptr;
    QPushButton* interruptButton_ = nullptr;
    QPushButton* describeButton_ = nullptr;
    // Where the written description opened: in the main window, behind the dialog.
    TOpenedNote* openedNote_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* patternShown_ = nullptr;
    QLabel* iterationShown_ = nullptr;
    QLabel* normShown_ = nullptr;
    TrainingCurveView* curveView_ = nullptr;
    QCheckBox* curveLog_ = nullptr;
    QCheckBox* curveError_ = nullptr;

    int percent_ = 0;
    bool curveChanged_ = false;
    QElapsedTimer clock_;
    qint64 lastEvents_ = 0;
    qint64 lastStatus_ = 0;
};

// The folder a training file dialog starts in: the patterns folder (which = 0) or the models
// folder (which = 1) of the folder settings, when they are set.
QString trainingFolder(gui::ToolHost* host, int which);

} // namespace axolite::training_ui
