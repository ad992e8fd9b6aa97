// The history row of the page "Работа сети": the slider "Итерация :" over the kept iterations of
// the last run, the stride and memory of its history, and "Продолжить отсюда". The network and
// rows of the iteration shown are the ones the results list and "Исследовать ..." use.
#pragma once

#include "app/training/training_state.h"

#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QSlider;

namespace axolite::training_ui {

class HistoryBar : public QWidget {
    Q_OBJECT
public:
    HistoryBar(TrainingState& state, QWidget* parent);

    // A run has filled the history anew: the slider over its iterations, at the last one.
    void refresh();
    // Shows the kept iteration nearest to the given one.
    void showIteration(int iteration);
    // The iteration shown; -1 when the history keeps none.
    int iteration() const;

    // The network and the rows of the iteration shown: at the last kept iteration (or without a
    // history) the trainer's own.
    const training::LayeredNetwork& network() const;
    const std::vector<training::ResultRow>& rows() const;

    QList<QWidget*> runButtons() const;

signals:
    // Another iteration is shown: its rows and network are to be listed.
    void iterationShown();

private:
    void showIndex(int index);
    bool atLast() const;

    TrainingState& state_;
    QSlider* slider_ = nullptr;
    QLabel* shown_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* branch_ = nullptr;
    // The iteration shown when it is not the last.
    std::optional<training::LayeredNetwork> network_;
    std::vector<training::ResultRow> rows_;
};

} // namespace axolite::training_ui
