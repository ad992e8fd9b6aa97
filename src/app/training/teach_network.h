// The dialog "Формирование и обучение нейронной сети ": its three pages ("Описание сети",
// "Обучение сети", "Работа сети") over one shared training state, the tabs between them,
// "Закрыть", "Помощь", and the guard against closing during a run.
#pragma once

#include "app/training/teach_network_ids.h"
#include "app/training/training_state.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QAbstractItemModel;
class QPushButton;
class QTabBar;

namespace axolite::gui {
class ToolHost;
}

namespace axolite::training_ui {
class ContinuationRow;
class ExperimentFiles;
class LintPanel;
class NetworkFormPage;
class ResultsPage;
class TrainingPage;
} // namespace axolite::training_ui

class TTeachNetwork : public QDialog {
    Q_OBJECT
public:
    enum Page : int { FormPage = 0, TrainingPage = 1, ResultsPage = 2 };

    // host may be nullptr (tests): the file dialogs then start in the default folder and a
    // written description is not opened.
    explicit TTeachNetwork(axolite::gui::ToolHost* host, QWidget* parent = nullptr);
    ~TTeachNetwork() override;

    int currentPage() const { return page_; }
    bool running() const { return state_.running(); }
    bool trained() const { return state_.trained(); }
    const axolite::training::NetworkTrainer& trainer() const { return state_.trainer(); }
    // The layer configuration as the page "Описание сети" shows it.
    axolite::training::LayerConfiguration configuration() const;
    // The seed of the last run that got past the checks.
    std::optional<std::uint32_t> lastSeed() const { return state_.lastSeed(); }
    QAbstractItemModel* resultsModel() const;
    const axolite::training_ui::TrainingCurve& curve() const { return state_.curve(); }
    const axolite::training::TrainingHistory& history() const { return state_.history(); }

    // What "Помощь" does instead of opening the help (tests); receives the page's topic.
    void setHelpHandler(std::function<void(int)> handler) { help_ = std::move(handler); }
    // What "Исследовать ..." does instead of running TRunNetwork modally (tests).
    void setInvestigationRunner(std::function<void(QDialog&)> runner);

    // The results list as CSV text, and written to a file (answers false after the message).
    QString resultsCsv() const;
    bool saveResultsCsv(const QString& path);

    // The experiment record of the last run written to a file, and a record opened into the
    // dialog (each false after its message).
    bool saveExperiment(const QString& path);
    bool openExperiment(const QString& path);
    // "Загрузить сеть ...": the next run continues the network of this description.
    bool loadNetwork(const QString& path);
    // The line naming the network the next run continues, empty when none.
    QString continuationNote() const;
    // The training lint's warnings of the last run, one line each.
    QString lintText() const;
    axolite::training_ui::LintPanel* lintPanel() const { return lintPanel_; }

signals:
    // An iteration of the running method has ended (its status is the trainer's).
    void iterationFinished(int iteration);

public slots:
    void showPage(int page);
    void train();
    void interrupt();
    void writeDescriptionFile();
    void investigate();
    // "Сравнить ...": a window "Сравнение обучения" of the form's network from these settings;
    // it stays usable beside the dialog and closes with it.
    void openComparison(const axolite::training::TrainingParameters& parameters,
                        std::uint32_t seed);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // The buttons of every page but those the run itself sets are held disabled during a run,
    // each given back the state it had.
    void holdDuringRun();
    void releaseAfterRun();

    axolite::training_ui::TrainingState state_;
    QTabBar* tabs_ = nullptr;
    axolite::training_ui::NetworkFormPage* formPage_ = nullptr;
    axolite::training_ui::TrainingPage* trainingPage_ = nullptr;
    axolite::training_ui::ResultsPage* resultsPage_ = nullptr;
    std::array<QWidget*, 3> pages_{};
    int page_ = FormPage;
    axolite::training_ui::ContinuationRow* continuationRow_ = nullptr;
    axolite::training_ui::ExperimentFiles* experiments_ = nullptr;
    axolite::training_ui::LintPanel* lintPanel_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    // The other buttons a run disables (browse, spin buttons, help), with the state each had.
    std::vector<std::pair<QPointer<QWidget>, bool>> heldDuringRun_;
    std::function<void(int)> help_;
};
