// The watch table's cells.
#include "app/debugger/watch_table.h"

#include "core/common/number_text.h"
#include "core/simulation/explain.h"

#include <QBrush>
#include <QColor>

using axolite::debugger::WatchRow;

namespace {

const char* const kHeaders[] = {"Нейрон",    "Значение", "Предыдущее",
                                "Изменение", "Модель",   "Отметки"};

QString number(double value) {
    return QString::fromStdString(axolite::shortestNumberText(value));
}

QString optionalNumber(const std::optional<double>& value) {
    return value ? number(*value) : QString();
}

} // namespace

void TWatchTableModel::setRows(std::vector<WatchRow> rows) {
    if (rows.size() == rows_.size()) {
        rows_ = std::move(rows);
        if (!rows_.empty()) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        }
        return;
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TWatchTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TWatchTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString TWatchTableModel::cellText(int row, int column) const {
    const WatchRow& r = rows_.at(static_cast<std::size_t>(row));
    switch (column) {
    case Neuron:
        return QString::number(r.neuron + 1);
    case Value:
        return number(r.value);
    case Previous:
        return optionalNumber(r.previous);
    case Change:
        return optionalNumber(r.change);
    case Model:
        return QStringLiteral("%1 (%2)").arg(r.code).arg(
            QString::fromStdString(axolite::simulation::modelKindText(r.kind)));
    case Marks:
        return QString::fromStdString(axolite::debugger::watchMarksText(r));
    default:
        return {};
    }
}

QVariant TWatchTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const WatchRow& r = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return index.column() == Model || index.column() == Marks
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        // A crossing of the model's limits weighs more than a change of sign.
        if (r.limitsCrossed) {
            return QBrush(QColor(255, 200, 200));
        }
        if (r.signChanged) {
            return QBrush(QColor(255, 230, 170));
        }
        return {};
    default:
        return {};
    }
}

QVariant TWatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= ColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromUtf8(kHeaders[section]);
}
