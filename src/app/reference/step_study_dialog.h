// "Исследование шага моделирования": the step-size study of the Runge-Kutta dialog's system on the
// description's grid and its halvings, as a table, a log-log plot of the errors and a CSV file.
#pragma once

#include "core/reference/step_study.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class TCalculationProgress;

// The rows of a study: h, steps, the network's error and order, Runge-Kutta's error and order.
class TStepStudyModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<axolite::reference::StepStudyRow> rows);
    const std::vector<axolite::reference::StepStudyRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text of a cell: "%g" for h, "%.6e" for an error ("inf", "nan"), "%.3f" for an order,
    // "—" where there is no value.
    QString cellText(int row, int column) const;

private:
    std::vector<axolite::reference::StepStudyRow> rows_;
};

// The plot of the errors against h (StepStudyPainter).
class TStepStudyPlot : public QWidget {
    Q_OBJECT
public:
    explicit TStepStudyPlot(const TStepStudyModel* model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {420, 300}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TStepStudyModel* model_;
};

class TStepStudyDialog : public QDialog {
    Q_OBJECT
public:
    // The system (its initial values at grid.t0) of outputs equations on the grid of the
    // description; the halvings are bounded so that the finest grid keeps within 1000000 steps.
    TStepStudyDialog(const axolite::reference::LinearSystem& system, int outputs,
                     const axolite::reference::EulerGrid& grid, QWidget* parent = nullptr);

    TStepStudyModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QSpinBox* halvings() const { return halvings_; }
    // The field of the exact solution yk(x), k from 0.
    QLineEdit* exactField(int k) const { return exact_[static_cast<std::size_t>(k)]; }
    // The request the fields describe.
    axolite::reference::StepStudyRequest request() const;

    // "Посчитать ...": runs the study with the progress dialog; a refusal is told.
    void calculate();
    // Writes the table as CSV through a temporary file; false when it cannot be written.
    bool writeTable(const QString& path) const;
    // "Сохранить таблицу как CSV ...": asks for the file, writes, reports a failure.
    void exportTable();

protected:
    // Closing during a run asks the study to stop; the dialog closes when it has.
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

private:
    axolite::reference::LinearSystem system_;
    int outputs_;
    axolite::reference::EulerGrid grid_;
    std::array<QLineEdit*, axolite::language::kOutputCount> exact_{};
    QSpinBox* halvings_ = nullptr;
    QPushButton* calculate_ = nullptr;
    TStepStudyModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    TStepStudyPlot* plot_ = nullptr;
    QLabel* note_ = nullptr;
    QPointer<TCalculationProgress> progress_;
    bool running_ = false;
    bool closeWhenIdle_ = false;
};
