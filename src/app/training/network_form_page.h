// The page "Описание сети" of the training dialog: the input, hidden and output layers with
// their counts, spin buttons and transfer functions, and the configuration they give.
#pragma once

#include "core/training/network_trainer.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QGroupBox;
class QLineEdit;

namespace axolite::training_ui {

class NetworkFormPage : public QWidget {
    Q_OBJECT
public:
    explicit NetworkFormPage(QWidget* parent);

    // The layer configuration as the page shows it (counts clamped to their ranges).
    training::LayerConfiguration configuration() const;
    // Enables the fields of as many hidden layers as the count names.
    void enableHiddenLayers();

private:
    QGroupBox* buildHiddenGroup();

    QLineEdit* inputCount_ = nullptr;
    QLineEdit* hiddenCount_ = nullptr;
    QLineEdit* outputCount_ = nullptr;
    std::array<QLineEdit*, 10> hiddenNeurons_{};
    std::array<QLineEdit*, 10> hiddenEnsembles_{};
    QButtonGroup* inputKind_ = nullptr;
    QButtonGroup* hiddenKind_ = nullptr;
    QButtonGroup* outputKind_ = nullptr;
};

} // namespace axolite::training_ui
