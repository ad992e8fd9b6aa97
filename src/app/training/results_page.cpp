// The page "Работа сети": the results list over the engine's results table, its CSV export and
// "Исследовать ...".
#include "app/training/teach_network.h"

#include "app/training/run_network.h"
#include "app/training/training_views.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

using namespace axolite::training_ui;

namespace {

constexpr int kColumnWidth = 120;

} // namespace

QWidget* TTeachNetwork::buildResultsPage() {
    auto* page = new QWidget(this);
    resultsModel_ = new TrainingResultsModel(this);
    results_ = new QTreeView(page);
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
        if (running_) {
            return; // neither the menu nor its file dialog may hold the run
        }
        QMenu menu(this);
        menu.addAction(QStringLiteral("Сохранить как CSV ..."), this,
                       &TTeachNetwork::chooseResultsCsv);
        menu.exec(results_->viewport()->mapToGlobal(at));
    });

    investigateButton_ = new QPushButton(QStringLiteral("Исследовать ..."), page);
    investigateButton_->setObjectName(QString::number(IdInvestigate));
    investigateButton_->setAutoDefault(false);
    connect(investigateButton_, &QPushButton::clicked, this, &TTeachNetwork::investigate);
    seedUsed_ = new QLabel(page);
    seedUsed_->setObjectName(QString::number(IdSeedUsed));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(seedUsed_);
    bottom->addStretch();
    bottom->addWidget(investigateButton_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(results_, 1);
    layout->addLayout(bottom);
    return page;
}

QAbstractItemModel* TTeachNetwork::resultsModel() const {
    return resultsModel_;
}

QString TTeachNetwork::resultsCsv() const {
    return resultsCsvText(trainer_.rows());
}

bool TTeachNetwork::saveResultsCsv(const QString& path) {
    return writeTextFile(path, resultsCsv(), this);
}

void TTeachNetwork::chooseResultsCsv() {
    const QString path = chooseCsvFile(this);
    if (!path.isEmpty()) {
        saveResultsCsv(path);
    }
}

void TTeachNetwork::investigate() {
    investigateButton_->setEnabled(false);
    const int inputs = trainer_.network().empty() ? 0 : trainer_.network().inputCount();
    TRunNetwork dialog(trainer_.network(), inputs, this);
    if (runInvestigation_) {
        runInvestigation_(dialog);
    } else {
        dialog.exec();
    }
    investigateButton_->setEnabled(true);
}
