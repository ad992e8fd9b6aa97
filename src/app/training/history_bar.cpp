// The history row of the page "Работа сети".
#include "app/training/history_bar.h"

#include "app/training/teach_network_ids.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace axolite::training_ui {

HistoryBar::HistoryBar(TrainingState& state, QWidget* parent) : QWidget(parent), state_(state) {
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QString::number(IdHistorySlider));
    slider_->setPageStep(1);
    shown_ = new QLabel(this);
    shown_->setObjectName(QString::number(IdHistoryShown));
    shown_->setMinimumWidth(60);
    summary_ = new QLabel(this);
    summary_->setObjectName(QString::number(IdHistorySummary));
    branch_ = new QPushButton(QStringLiteral("Продолжить отсюда"), this);
    branch_->setObjectName(QString::number(IdBranch));
    branch_->setAutoDefault(false);
    branch_->setToolTip(
        QStringLiteral("Новое обучение с текущими параметрами страницы \"Обучение сети\" от весов "
                       "этой итерации; его кривая начинается с этой итерации."));
    connect(slider_, &QSlider::valueChanged, this, &HistoryBar::showIndex);
    connect(branch_, &QPushButton::clicked, this, [this] {
        if (iteration() >= 0) {
            state_.requestBranch(iteration());
        }
    });

    // The history is refilled by the run: nothing of it is usable meanwhile.
    connect(&state_, &TrainingState::runStarted, this, [this] { setEnabled(false); });
    connect(&state_, &TrainingState::runEnded, this, [this] { setEnabled(true); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Итерация :"), this));
    layout->addWidget(slider_, 1);
    layout->addWidget(shown_);
    layout->addWidget(summary_);
    layout->addWidget(branch_);
    refresh();
}

void HistoryBar::refresh() {
    const training::TrainingHistory& history = state_.history();
    const int count = static_cast<int>(history.iterations().size());
    summary_->setText(QString::fromStdString(history.summary()));
    slider_->setEnabled(count > 1);
    branch_->setEnabled(count > 0);
    {
        const QSignalBlocker block(slider_);
        slider_->setRange(0, std::max(count - 1, 0));
        slider_->setValue(std::max(count - 1, 0));
    }
    showIndex(slider_->value());
}

void HistoryBar::showIteration(int iteration) {
    const auto& kept = state_.history().iterations();
    const auto at = std::find(kept.begin(), kept.end(), state_.history().nearestKept(iteration));
    if (at != kept.end()) {
        slider_->setValue(static_cast<int>(at - kept.begin()));
    }
}

int HistoryBar::iteration() const {
    const auto& kept = state_.history().iterations();
    const int index = slider_->value();
    return index >= 0 && index < static_cast<int>(kept.size()) ? kept[index] : -1;
}

bool HistoryBar::atLast() const {
    return state_.history().empty() || slider_->value() >= slider_->maximum();
}

void HistoryBar::showIndex(int) {
    const int shown = iteration();
    shown_->setText(shown >= 0 ? QString::number(shown) : QString());
    network_.reset();
    rows_.clear();
    if (!atLast()) {
        network_ = state_.history().networkAt(shown);
        rows_ = training::resultRowsOf(*network_, state_.trainer().rows());
    }
    // The curve marks the iteration last completed then.
    if (shown >= 0) {
        state_.curve().cursor = std::max(shown - 1, 0);
    } else {
        state_.curve().cursor.reset();
    }
    emit iterationShown();
}

const training::LayeredNetwork& HistoryBar::network() const {
    return network_ ? *network_ : state_.trainer().network();
}

const std::vector<training::ResultRow>& HistoryBar::rows() const {
    return network_ ? rows_ : state_.trainer().rows();
}

QList<QWidget*> HistoryBar::runButtons() const {
    return {branch_};
}

} // namespace axolite::training_ui
