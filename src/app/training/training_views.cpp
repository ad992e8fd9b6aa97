// The results list's model, the CSV texts and the live curve of the training dialog.
#include "app/training/training_views.h"

#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "core/common/number_text.h"
#include "render/safe_file.h"

#include <QPainter>

namespace axolite::training_ui {

namespace {

const char* const kHeaders[4] = {"Входной образ", "Выходной образ", "Отклик сети", "Погрешность"};

QPixmap square(const QColor& colour) {
    QPixmap pixmap(10, 10);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(60, 60, 60));
    painter.drawRect(0, 0, 9, 9);
    return pixmap;
}

QString number(float value) {
    return QString::fromStdString(axolite::formatNumber("%.9g", static_cast<double>(value)));
}

void appendValues(QString& line, const std::vector<float>& values) {
    for (float v : values) {
        line += u',';
        line += number(v);
    }
}

void appendNames(QString& line, const char* name, std::size_t count) {
    for (std::size_t i = 1; i <= count; ++i) {
        line += QStringLiteral(",%1%2").arg(QString::fromLatin1(name)).arg(i);
    }
}

} // namespace

TrainingResultsModel::TrainingResultsModel(QObject* parent)
    : QAbstractTableModel(parent), violet_(square(markerColour(training::RowMarker::Violet))),
      yellow_(square(markerColour(training::RowMarker::Yellow))) {}

QColor TrainingResultsModel::markerColour(training::RowMarker marker) {
    switch (marker) {
    case training::RowMarker::Violet:
        return QColor(128, 0, 255);
    case training::RowMarker::Yellow:
        return QColor(255, 255, 0);
    case training::RowMarker::None:
        break;
    }
    return {};
}

void TrainingResultsModel::setRows(const std::vector<training::ResultRow>* rows) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

int TrainingResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || rows_ == nullptr ? 0 : static_cast<int>(rows_->size());
}

int TrainingResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant TrainingResultsModel::data(const QModelIndex& index, int role) const {
    if (rows_ == nullptr || !index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const training::ResultRow& row = (*rows_)[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0:
            return QString::fromStdString(training::inputColumnText(row));
        case 1:
            return QString::fromStdString(training::targetColumnText(row));
        case 2:
            return QString::fromStdString(training::responseColumnText(row));
        case 3:
            return QString::fromStdString(training::errorColumnText(row));
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::DecorationRole:
        if (index.column() == 0 && row.marker != training::RowMarker::None) {
            return row.marker == training::RowMarker::Violet ? violet_ : yellow_;
        }
        return {};
    default:
        return {};
    }
}

QVariant TrainingResultsModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= 4) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(kHeaders[section]);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    }
    return {};
}

QString resultsCsvText(const std::vector<training::ResultRow>& rows) {
    QString text = QStringLiteral("pattern");
    if (!rows.empty()) {
        appendNames(text, "input", rows.front().input.size());
        appendNames(text, "target", rows.front().target.size());
        appendNames(text, "response", rows.front().response.size());
        appendNames(text, "error", rows.front().error.size());
    }
    text += QStringLiteral(",marker\n");
    for (std::size_t p = 0; p < rows.size(); ++p) {
        const training::ResultRow& row = rows[p];
        QString line = QString::number(p);
        appendValues(line, row.input);
        appendValues(line, row.target);
        appendValues(line, row.response);
        appendValues(line, row.error);
        line += row.marker == training::RowMarker::Violet   ? QStringLiteral(",violet\n")
                : row.marker == training::RowMarker::Yellow ? QStringLiteral(",yellow\n")
                                                            : QStringLiteral(",\n");
        text += line;
    }
    return text;
}

QString investigationCsvText(
    const std::vector<std::pair<std::vector<float>, std::vector<float>>>& investigations) {
    QString text = QStringLiteral("row");
    if (!investigations.empty()) {
        appendNames(text, "input", investigations.front().first.size());
        appendNames(text, "response", investigations.front().second.size());
    }
    text += u'\n';
    for (std::size_t r = 0; r < investigations.size(); ++r) {
        QString line = QString::number(r);
        appendValues(line, investigations[r].first);
        appendValues(line, investigations[r].second);
        text += line + u'\n';
    }
    return text;
}

QString chooseTrainingFile(QWidget* parent, bool save, const QString& caption, const QString& start,
                           const QString& filter, const QString& suffix) {
    gui::FileDialogRequest request;
    request.mode = save ? gui::FileDialogRequest::Mode::Save : gui::FileDialogRequest::Mode::Open;
    request.caption = caption;
    request.start = start;
    request.filter = filter;
    request.defaultSuffix = suffix;
    return gui::chooseFile(parent, request);
}

QString chooseCsvFile(QWidget* parent) {
    return chooseTrainingFile(parent, true, QStringLiteral("Сохранить как CSV"), QString(),
                              QStringLiteral("Таблицы CSV (*.csv)"), QStringLiteral("csv"));
}

bool writeTextFile(const QString& path, const QString& text, QWidget* parent) {
    if (axolite::render::writeFile(path, text.toUtf8())) {
        Notifier::instance().show(MessageKind::Error,
                                  QStringLiteral("Невозможно создать файл ") + path, parent);
        return false;
    }
    return true;
}

TrainingCurveView::TrainingCurveView(const TrainingCurve& curve, QWidget* parent)
    : QWidget(parent), curve_(curve) {
    setMinimumSize(300, 120);
    // The painter fills every pixel: nothing behind the curve needs repainting with it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TrainingCurveView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TrainingCurvePainter::paint(painter, QRectF(rect()), curve_);
}

} // namespace axolite::training_ui
