// The debugger's watch table: a row per watched neuron at the current step (its value, the value
// of the step before, the change, its model), a sign change or a crossing of the model's limits
// tinted; and the table as CSV text for the clipboard and a file.
#pragma once

#include "core/debugger/watch.h"

#include <QAbstractTableModel>

#include <vector>

class TWatchTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Neuron, Value, Previous, Change, Model, Marks, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // The rows of a step: a table of as many rows only repaints its cells.
    void setRows(std::vector<axolite::debugger::WatchRow> rows);
    const std::vector<axolite::debugger::WatchRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text of a cell as the table shows it.
    QString cellText(int row, int column) const;

private:
    std::vector<axolite::debugger::WatchRow> rows_;
};
