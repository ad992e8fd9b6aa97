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
    // Shows a configuration in the fields (a loaded network's, a record's).
    void setConfiguration(const training::LayerConfiguration& configuration);
    // A row under the layers (the loading of a network).
    void addRow(QWidget* row);

signals:
    // The user changed a layer: a count, a hidden layer's neurons or a transfer function.
    void layersEdited();

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
