// The debugger's watches: the neurons added by number or all output neurons at once, their table
// at the session's step, copied or saved as CSV, and below it the explanation of the selected
// row's value with the description lines that fed it.
#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QListWidget;
class QPushButton;
class QSpinBox;
class QTableView;
class TWatchTableModel;

namespace axolite::debugger {
class DebugSession;
}

class TWatchPanel : public QWidget {
    Q_OBJECT
public:
    explicit TWatchPanel(QWidget* parent = nullptr);

    // The session the panel shows; nullptr when it ended (the table stays, the controls are
    // disabled).
    void setSession(axolite::debugger::DebugSession* session);

    // Adds the neuron numbered from 1; a number outside the network is refused with the
    // engine's message. Answers whether it is watched now.
    bool addWatch(int number);
    void addOutputWatches();
    // Takes the selected row's neuron away.
    void removeSelectedWatch();
    // Selects the row of the neuron (zero-based) when it is watched.
    void selectNeuron(std::int32_t neuron);

    // The table and the explanation at the session's step.
    void refresh();

    // The neuron (zero-based) of the selected row, nothing without one.
    std::optional<std::int32_t> selectedNeuron() const;
    // The description lines that fed the selected value at the step (empty without one).
    const std::vector<std::int32_t>& explanationLines() const { return lines_; }

    TWatchTableModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QListWidget* explanation() const { return explanation_; }

    // The table at the step as CSV text.
    QString tableText() const;
    // Puts the CSV text on the clipboard.
    void copyTable() const;
    // Writes it to the file through the safe writer; false (and the message shown) on failure.
    bool saveTable(const QString& path);
    // Asks for the file and saves.
    void exportTable();

signals:
    // The selected row or its explanation changed.
    void explained();
    // A row of the explanation that names a description line was clicked.
    void lineChosen(int line);

private:
    void explainSelected();

    axolite::debugger::DebugSession* session_ = nullptr;
    std::vector<std::int32_t> lines_;
    TWatchTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QListWidget* explanation_ = nullptr;
    QSpinBox* number_ = nullptr;
    std::vector<QWidget*> controls_;
};
