// The page "Работа сети" of the training dialog.
#include "app/training/results_page.h"

#include "app/training/history_bar.h"
#include "app/training/run_network.h"
#include "app/training/teach_network_ids.h"
#include "app/training/training_views.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace axolite::training_ui {

namespace {

constexpr int kColumnWidth = 120;

} // namespace

ResultsPage::ResultsPage(TrainingState& state, QWidget* parent) : QWidget(parent), state_(state) {
    resultsModel_ = new TrainingResultsModel(this);
    results_ = new QTreeView(this);
    results_->setObjectName(QString::number(IdResults));
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->setItemsExpandable(false);
    results_->setAllColumnsShowFocus(true);
    results_->setModel(resultsModel_);
    results_->header()->setStretchLastSection(false);
    results_->header()->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < 4; ++c) {
        results_->setColumnWidth(c, kColumnWidth);
    }
    results_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(results_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (state_.running()) {
            return; // neither the menu nor its file dialog may hold the run
        }
        QMenu menu(window());
        menu.addAction(QStringLiteral("Сохранить как CSV ..."), this,
                       &ResultsPage::chooseResultsCsv);
        menu.exec(results_->viewport()->mapToGlobal(at));
    });

    investigateButton_ = new QPushButton(QStringLiteral("Исследовать ..."), this);
    investigateButton_->setObjectName(QString::number(IdInvestigate));
    investigateButton_->setAutoDefault(false);
    connect(investigateButton_, &QPushButton::clicked, this, &ResultsPage::investigate);
    seedUsed_ = new QLabel(this);
    seedUsed_->setObjectName(QString::number(IdSeedUsed));

    historyBar_ = new HistoryBar(state_, this);
    connect(historyBar_, &HistoryBar::iterationShown, this,
            [this] { resultsModel_->setRows(&historyBar_->rows()); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(seedUsed_);
    bottom->addStretch();
    bottom->addWidget(investigateButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(results_, 1);
    layout->addWidget(historyBar_);
    layout->addLayout(bottom);
    connect(&state_, &TrainingState::resultsChanged, this, &ResultsPage::showResults);
    // The network being trained is not the one the list shows: no investigation meanwhile.
    connect(&state_, &TrainingState::runStarted, this,
            [this] { investigateButton_->setEnabled(false); });
    connect(&state_, &TrainingState::runEnded, this,
            [this] { investigateButton_->setEnabled(true); });
}

ResultsPage::~ResultsPage() {
    resultsModel_->setRows(nullptr);
}

void ResultsPage::addRow(QWidget* row) {
    static_cast<QVBoxLayout*>(layout())->insertWidget(1, row);
}

QList<QWidget*> ResultsPage::runButtons() const {
    return QList<QWidget*>{investigateButton_} + historyBar_->runButtons();
}

void ResultsPage::showResults(std::optional<std::uint32_t> seed) {
    historyBar_->refresh(); // lists the rows of the last iteration
    if (seed) {
        seedUsed_->setText(QStringLiteral("Начальное значение генератора : %1").arg(*seed));
    }
}

QAbstractItemModel* ResultsPage::resultsModel() const {
    return resultsModel_;
}

QString ResultsPage::resultsCsv() const {
    return resultsCsvText(historyBar_->rows());
}

bool ResultsPage::saveResultsCsv(const QString& path) {
    return writeTextFile(path, resultsCsv(), window());
}

void ResultsPage::chooseResultsCsv() {
    const QString path = chooseCsvFile(window());
    if (!path.isEmpty()) {
        saveResultsCsv(path);
    }
}

void ResultsPage::investigate() {
    investigateButton_->setEnabled(false);
    const training::LayeredNetwork& network = historyBar_->network();
    const int inputs = network.empty() ? 0 : network.inputCount();
    TRunNetwork dialog(network, inputs, window());
    if (runInvestigation_) {
        runInvestigation_(dialog);
    } else {
        dialog.exec();
    }
    investigateButton_->setEnabled(true);
}

} // namespace axolite::training_ui
