// "Загрузить сеть ..." on the page "Описание сети": a network description written by the training
// is read back, its layers fill the page and the next run continues from its weights. The line
// beside it names the network the next run continues (loaded, or of an opened record); changing
// the layers drops it.
#pragma once

#include "app/training/training_state.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace axolite::gui {
class ToolHost;
}

namespace axolite::training_ui {

class NetworkFormPage;

class ContinuationRow : public QWidget {
    Q_OBJECT
public:
    // host may be nullptr: the file dialog then starts in the default folder.
    ContinuationRow(TrainingState& state, NetworkFormPage& form, gui::ToolHost* host,
                    QWidget* parent);

    // Reads the description; false after the engine's message when it is refused (nothing of
    // the dialog changes then).
    bool loadNetwork(const QString& path);
    // The line shown: "Обучение продолжит сеть из файла <name>", or empty.
    QString note() const;

private:
    void chooseNetwork();
    void showContinuation();

    TrainingState& state_;
    NetworkFormPage& form_;
    gui::ToolHost* host_ = nullptr;
    QPushButton* load_ = nullptr;
    QLabel* note_ = nullptr;
};

} // namespace axolite::training_ui
