// The dialog "Формирование и обучение нейронной сети ": its pages, tabs and buttons, and what a
// run holds.
#include "app/training/teach_network.h"

#include "app/gui/help_window.h"
#include "app/training/comparison_window.h"
#include "app/training/continuation_row.h"
#include "app/training/experiment_files.h"
#include "app/training/lint_panel.h"
#include "app/training/network_form_page.h"
#include "app/training/results_page.h"
#include "app/training/training_controls.h"
#include "app/training/training_page.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

using namespace axolite::training_ui;

TTeachNetwork::TTeachNetwork(axolite::gui::ToolHost* host, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Формирование и обучение нейронной сети "));
    setModal(true);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QString::number(IdTabs));
    tabs_->addTab(QStringLiteral("Описание сети"));
    tabs_->addTab(QStringLiteral("Обучение сети"));
    tabs_->addTab(QStringLiteral("Работа сети"));
    tabs_->setDrawBase(true);

    closeButton_ = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton_->setObjectName(QString::number(IdClose));
    auto* helpButton = new QPushButton(QStringLiteral("Помощь"), this);
    helpButton->setObjectName(QString::number(IdHelp));
    for (QPushButton* b : {closeButton_, helpButton}) {
        b->setAutoDefault(false);
    }
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        const int topic = kTeachNetworkTopics[static_cast<std::size_t>(page_)];
        if (help_) {
            help_(topic);
        } else {
            openHelp(topic);
        }
    });

    formPage_ = new NetworkFormPage(this);
    trainingPage_ = new axolite::training_ui::TrainingPage(state_, host, this);
    resultsPage_ = new axolite::training_ui::ResultsPage(state_, this);
    connect(trainingPage_, &axolite::training_ui::TrainingPage::trainRequested, this,
            &TTeachNetwork::train);
    connect(trainingPage_, &axolite::training_ui::TrainingPage::compareRequested, this,
            &TTeachNetwork::openComparison);
    connect(trainingPage_, &axolite::training_ui::TrainingPage::iterationFinished, this,
            &TTeachNetwork::iterationFinished);
    // "Продолжить отсюда": the training page's settings from the kept iteration, watched there.
    connect(&state_, &TrainingState::branchRequested, this, [this] {
        showPage(TrainingPage);
        train();
        state_.endBranch();
    });
    connect(&state_, &TrainingState::runStarted, this, &TTeachNetwork::holdDuringRun);
    connect(&state_, &TrainingState::runEnded, this, &TTeachNetwork::releaseAfterRun);
    // After the connections above: a run's end gives the buttons back before they follow it.
    continuationRow_ = new ContinuationRow(state_, *formPage_, host, formPage_);
    formPage_->addRow(continuationRow_);
    lintPanel_ = new LintPanel(state_, resultsPage_);
    resultsPage_->addRow(lintPanel_);
    experiments_ = new ExperimentFiles(state_, *formPage_, *trainingPage_, host, this);
    state_.setSettingsSource([this] {
        axolite::training::RunSettings settings;
        axolite::training::setLayerTexts(formPage_->configuration(), settings);
        trainingPage_->fillSettings(settings);
        return settings;
    });

    pages_ = {formPage_, trainingPage_, resultsPage_};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    for (QWidget* page : pages_) {
        layout->addWidget(page, 1);
        page->setVisible(false);
        page->setEnabled(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(experiments_->openButton());
    buttons->addWidget(experiments_->saveButton());
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);

    page_ = -1;
    showPage(FormPage);
    connect(tabs_, &QTabBar::currentChanged, this, &TTeachNetwork::showPage);
    resize(820, 560);
}

TTeachNetwork::~TTeachNetwork() {
    // The pages go before the state they read: the list must not read the trainer's rows while
    // they are torn down.
    for (QWidget* page : pages_) {
        delete page;
    }
}

void TTeachNetwork::showPage(int page) {
    if (page < FormPage || page > ResultsPage || page == page_) {
        return;
    }
    if (page_ >= 0) {
        pages_[static_cast<std::size_t>(page_)]->setVisible(false);
        pages_[static_cast<std::size_t>(page_)]->setEnabled(false);
    }
    page_ = page;
    if (tabs_->currentIndex() != page) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(page);
    }
    QWidget* shown = pages_[static_cast<std::size_t>(page)];
    shown->setEnabled(true);
    shown->setVisible(true);
    if (page == FormPage) {
        formPage_->enableHiddenLayers();
    } else if (page == TrainingPage) {
        trainingPage_->shown();
    }
}

axolite::training::LayerConfiguration TTeachNetwork::configuration() const {
    return formPage_->configuration();
}

QAbstractItemModel* TTeachNetwork::resultsModel() const {
    return resultsPage_->resultsModel();
}

void TTeachNetwork::setInvestigationRunner(std::function<void(QDialog&)> runner) {
    resultsPage_->setInvestigationRunner(std::move(runner));
}

QString TTeachNetwork::resultsCsv() const {
    return resultsPage_->resultsCsv();
}

bool TTeachNetwork::saveResultsCsv(const QString& path) {
    return resultsPage_->saveResultsCsv(path);
}

bool TTeachNetwork::saveExperiment(const QString& path) {
    return experiments_->save(path);
}

bool TTeachNetwork::openExperiment(const QString& path) {
    return experiments_->open(path);
}

bool TTeachNetwork::loadNetwork(const QString& path) {
    return continuationRow_->loadNetwork(path);
}

QString TTeachNetwork::continuationNote() const {
    return continuationRow_->note();
}

QString TTeachNetwork::lintText() const {
    return lintPanel_->text();
}

void TTeachNetwork::train() {
    trainingPage_->train(formPage_->configuration());
}

void TTeachNetwork::interrupt() {
    state_.requestStop();
}

void TTeachNetwork::writeDescriptionFile() {
    trainingPage_->writeDescriptionFile();
}

void TTeachNetwork::investigate() {
    resultsPage_->investigate();
}

void TTeachNetwork::openComparison(const axolite::training::TrainingParameters& parameters,
                                   std::uint32_t seed) {
    auto* window = new ComparisonWindow(formPage_->configuration(), parameters, seed, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(this, &QDialog::finished, window, &QWidget::close);
    window->show();
}

void TTeachNetwork::holdDuringRun() {
    // Only "Прервать " stays usable: a file dialog ("Обзор ...") or any other button's work
    // opened from inside the run's event processing would hold the run until it closed.
    QList<QWidget*> ownButtons = trainingPage_->runButtons() + resultsPage_->runButtons();
    ownButtons.append(closeButton_);
    QList<QWidget*> held;
    for (QPushButton* b : findChildren<QPushButton*>()) {
        held.append(b);
    }
    for (SpinButtons* b : findChildren<SpinButtons*>()) {
        held.append(b);
    }
    heldDuringRun_.clear();
    for (QWidget* widget : held) {
        // The comparison windows keep their own buttons: their runs are on threads of their own.
        if (!ownButtons.contains(widget) && widget->window() == this) {
            // Its own state: a control of a hidden page is disabled with its page.
            heldDuringRun_.emplace_back(widget, widget->isEnabledTo(widget->parentWidget()));
            widget->setEnabled(false);
        }
    }
    closeButton_->setEnabled(false);
}

void TTeachNetwork::releaseAfterRun() {
    for (const auto& [widget, enabled] : heldDuringRun_) {
        if (widget) {
            widget->setEnabled(enabled);
        }
    }
    heldDuringRun_.clear();
    closeButton_->setEnabled(true);
}

void TTeachNetwork::closeEvent(QCloseEvent* event) {
    // Not from under a run: "Прервать " ends it, then the dialog can be closed.
    if (state_.running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TTeachNetwork::reject() {
    if (state_.running()) {
        return;
    }
    QDialog::reject();
}
