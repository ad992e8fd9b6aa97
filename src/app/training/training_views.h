// What the training dialog shows of a run: the results list's model (the rows of the engine's
// results table, formatted only when a row is drawn) and the live training curve.
#pragma once

#include "core/training/network_trainer.h"
#include "render/training_curve_painter.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <QWidget>

#include <vector>

namespace axolite::training_ui {

// The four centred columns "Входной образ", "Выходной образ", "Отклик сети", "Погрешность";
// the first carries the row's violet or yellow square.
class TrainingResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TrainingResultsModel(QObject* parent = nullptr);

    // The rows stay owned by the trainer; they are read while they are shown.
    void setRows(const std::vector<training::ResultRow>* rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The marker's colour of a row, invalid for none.
    static QColor markerColour(training::RowMarker marker);

private:
    const std::vector<training::ResultRow>* rows_ = nullptr;
    QPixmap violet_;
    QPixmap yellow_;
};

// CSV of the results: a header, then per pattern its number, the input, target, response and
// error values ("%.9g") and the marker.
QString resultsCsvText(const std::vector<training::ResultRow>& rows);

// CSV of investigated patterns: per row the input values, then the response values.
QString investigationCsvText(
    const std::vector<std::pair<std::vector<float>, std::vector<float>>>& investigations);

// The file dialog of the training dialogs (Open or Save), through the replaceable chooser;
// empty when the user cancelled. The CSV exports pass an empty caption: "Сохранить как CSV".
QString chooseTrainingFile(QWidget* parent, bool save, const QString& caption, const QString& start,
                           const QString& filter, const QString& suffix);
QString chooseCsvFile(QWidget* parent);

// Writes text through a temporary file and a rename; false after showing
// "Невозможно создать файл <path>".
bool writeTextFile(const QString& path, const QString& text, QWidget* parent);

// The live curve: paints the dialog's curve with TrainingCurvePainter.
class TrainingCurveView : public QWidget {
public:
    TrainingCurveView(const TrainingCurve& curve, QWidget* parent);
    QSize sizeHint() const override { return {360, 150}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TrainingCurve& curve_;
};

} // namespace axolite::training_ui
