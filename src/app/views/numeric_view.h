// The numeric values view: the steps of the simulated interval as a list, the twelve values of the
// chosen step, and the estimates of the maximal absolute error of the network and of the
// Runge-Kutta method against the exact values.
#pragma once

#include "app/views/view_binding.h"

#include <QAbstractListModel>
#include <QDialog>

#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QAbstractItemView;
class QTableView;
class TExplainDialog;

// The list "x(%d) = %E", one entry per step j while j < D. The entries are formatted when shown:
// a million steps cost no memory per entry. The grid is copied at set-up, so the list never
// reads the record.
class TStepListModel : public QAbstractListModel {
    Q_OBJECT
public:
    TStepListModel(double t0, double h, double extent, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The text of entry j.
    QString entryText(int j) const;

private:
    double t0_;
    double h_;
    int rows_;
};

class TAxoliteNumeric : public QDialog {
    Q_OBJECT
public:
    // Set up for the description window (which may be nullptr or not simulated: the list is then
    // empty and the fields stay empty). The view deletes itself when closed.
    explicit TAxoliteNumeric(DescriptionWindow* window, QWidget* parent = nullptr);

    DescriptionWindow* descriptionWindow() const { return binding_.window(); }
    std::int32_t currentStep() const { return current_; }
    QAbstractItemView* stepList() const;
    TStepListModel* stepModel() const { return model_; }

    // From the graphs view: the current step becomes j and the view shows it. A step outside
    // 0 .. N − 1 changes nothing on the screen.
    void setCurrentStep(std::int64_t j);

    // Shows the current step: selects its entry and writes the fields of the present series,
    // disabling those of the absent ones; only while the window is simulated.
    void refresh();

    // Writes the whole table (all steps, the present series) as CSV to path through a temporary
    // file; false when the file cannot be written.
    bool writeTable(const QString& path) const;
    // "Сохранить таблицу как CSV ...": asks for the file, writes, reports a failure.
    void exportTable();
    // "Объяснить значение ...": the neuron asked for (default: that of output y1) at the current
    // step; answers the explain dialog shown, nullptr when none.
    TExplainDialog* explainCurrentValue();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the view as "Закрыть" does.
    void reject() override { close(); }
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QGroupBox* buildStepList(const axolite::language::NetworkRecord* record);
    QGroupBox* buildValues();
    // " Оценка максимальной абсолютной погрешности  ": the network's and Runge-Kutta's.
    QGroupBox* buildErrorEstimates();
    // The estimates of the series present; the fields of the absent ones are disabled.
    void showErrorEstimates(const axolite::language::NetworkRecord* record);
    void selectionChanged();
    // Writes the fields of the present series at the current step; absent ones are disabled
    // when disableAbsent, untouched otherwise.
    void writeFields(const axolite::language::NetworkRecord& record, bool disableAbsent);

    axolite::views_gui::ViewBinding binding_;
    std::int32_t current_ = 0;
    TStepListModel* model_ = nullptr;
    QTableView* list_ = nullptr;
    // [family][k], family as in language::SeriesFamily.
    std::array<std::array<QLabel*, 4>, 3> labels_{};
    std::array<std::array<QLineEdit*, 4>, 3> fields_{};
    QLabel* networkErrorLabel_ = nullptr;
    QLineEdit* networkError_ = nullptr;
    QLabel* rungeKuttaErrorLabel_ = nullptr;
    QLineEdit* rungeKuttaError_ = nullptr;
    bool selecting_ = false;
};
