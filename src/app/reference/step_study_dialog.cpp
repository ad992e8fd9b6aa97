// The step-size study dialog: its fields, the run under the progress dialog, the table, the plot
// and the CSV file.
#include "app/reference/step_study_dialog.h"

#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "render/safe_file.h"
#include "render/step_study_painter.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include <cmath>
#include <optional>

using axolite::reference::StepStudyRow;

namespace {

constexpr int kStepStudyHelp = 2611;

QString errorText(const std::optional<double>& value) {
    if (!value) {
        return QStringLiteral("—");
    }
    if (std::isnan(*value)) {
        return QStringLiteral("nan");
    }
    return QString::asprintf("%.6e", *value);
}

QString orderText(const std::optional<double>& value) {
    return value ? QString::asprintf("%.3f", *value) : QStringLiteral("—");
}

// A number of the CSV file: reads back to the same double; nothing where there is no value.
QString csvNumber(const std::optional<double>& value) {
    return value ? QString::asprintf("%.17g", *value) : QString();
}

// The most halvings whose finest grid keeps within the step limit.
int maxHalvings(const axolite::reference::EulerGrid& grid) {
    const double steps = (grid.t1 - grid.t0) / grid.h;
    if (!(steps > 0.0) || !std::isfinite(steps)) {
        return 0;
    }
    int halvings = 0;
    while (halvings < 30 &&
           steps * std::ldexp(1.0, halvings + 1) <= axolite::reference::kMaxGridPoints) {
        ++halvings;
    }
    return halvings;
}

} // namespace

void TStepStudyModel::setRows(std::vector<StepStudyRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TStepStudyModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TStepStudyModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 6;
}

QString TStepStudyModel::cellText(int row, int column) const {
    const StepStudyRow& r = rows_[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return QString::asprintf("%g", r.h);
    case 1:
        return QString::number(r.steps);
    case 2:
        return errorText(r.networkError);
    case 3:
        return orderText(r.networkOrder);
    case 4:
        return errorText(r.rungeKuttaError);
    default:
        return orderText(r.rungeKuttaOrder);
    }
}

QVariant TStepStudyModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return cellText(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant TStepStudyModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const headers[] = {"h",       "Шагов",          "Погрешность сети",
                                          "Порядок", "Погрешность РК", "Порядок"};
    return QString::fromUtf8(headers[section]);
}

TStepStudyPlot::TStepStudyPlot(const TStepStudyModel* model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setMinimumSize(320, 220);
}

void TStepStudyPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    axolite::render::StepStudyPainter::paint(painter, rect(), model_->rows());
}

TStepStudyDialog::TStepStudyDialog(const axolite::reference::LinearSystem& system, int outputs,
                                   const axolite::reference::EulerGrid& grid, QWidget* parent)
    : QDialog(parent), system_(system), outputs_(outputs), grid_(grid) {
    setWindowTitle(QStringLiteral("Исследование шага моделирования"));
    system_.x0 = grid_.t0;

    auto* form = new QFormLayout;
    form->addRow(
        QStringLiteral("Интервал:"),
        new QLabel(QString::asprintf("[%g, %g], шаг %g", grid_.t0, grid_.t1, grid_.h), this));
    for (int k = 0; k < axolite::language::kOutputCount; ++k) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::number(2601 + k));
        field->setEnabled(k < outputs_);
        field->setPlaceholderText(QStringLiteral("нет"));
        exact_[static_cast<std::size_t>(k)] = field;
        form->addRow(QStringLiteral("Точное решение y%1(x) =").arg(k + 1), field);
    }
    halvings_ = new QSpinBox(this);
    halvings_->setObjectName(QStringLiteral("2605"));
    halvings_->setRange(0, maxHalvings(grid_));
    halvings_->setValue(std::min(4, halvings_->maximum()));
    form->addRow(QStringLiteral("Число делений шага пополам:"), halvings_);

    calculate_ = new QPushButton(QStringLiteral("Посчитать ..."), this);
    calculate_->setObjectName(QStringLiteral("2606"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("2"));
    connect(calculate_, &QPushButton::clicked, this, &TStepStudyDialog::calculate);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* help = new QPushButton(QStringLiteral("Помощь"), this);
    help->setObjectName(QStringLiteral("9"));
    connect(help, &QPushButton::clicked, this, [] { openHelp(kStepStudyHelp); });

    model_ = new TStepStudyModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("2607"));
    table_->setModel(model_);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (running_) {
            return; // neither the menu nor its file dialog may hold the study
        }
        QMenu menu(this);
        QAction* save = menu.addAction(QStringLiteral("Сохранить таблицу как CSV ..."), this,
                                       &TStepStudyDialog::exportTable);
        save->setEnabled(!model_->rows().empty());
        menu.exec(table_->viewport()->mapToGlobal(pos));
    });
    plot_ = new TStepStudyPlot(model_, this);
    plot_->setObjectName(QStringLiteral("2608"));
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("2609"));
    note_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(calculate_);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* results = new QHBoxLayout;
    results->addWidget(table_, 3);
    results->addWidget(plot_, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addLayout(results, 1);
    layout->addWidget(note_);
    resize(980, 520);
}

axolite::reference::StepStudyRequest TStepStudyDialog::request() const {
    axolite::reference::StepStudyRequest request;
    request.system = system_;
    request.outputs = outputs_;
    request.grid = grid_;
    request.halvings = halvings_->value();
    for (int k = 0; k < outputs_ && k < axolite::language::kOutputCount; ++k) {
        request.exact[static_cast<std::size_t>(k)] =
            exact_[static_cast<std::size_t>(k)]->text().trimmed().toStdString();
    }
    return request;
}

void TStepStudyDialog::calculate() {
    if (running_) {
        return;
    }
    const auto studied = request();
    calculate_->setEnabled(false);
    running_ = true;
    std::optional<axolite::gui::RunGuard> run(std::in_place);
    if (progress_) {
        delete progress_.data();
    }
    progress_ = new TCalculationProgress(
        nullptr, QString::fromUtf8(axolite::reference::kStepStudyTitle), this);
    progress_->disableStatistics();
    std::optional<axolite::Message> refusal;
    try {
        const axolite::reference::StepStudyResult result =
            axolite::reference::runStepStudy(studied, *progress_);
        progress_->finish();
        model_->setRows(result.rows);
        QString note =
            result.againstExact
                ? QStringLiteral("Погрешность сети измерена по точным значениям.")
                : QStringLiteral("Погрешность сети измерена по решению методом Рунге-Кутта.");
        if (result.outcome == axolite::reference::ComputationOutcome::Cancelled) {
            note += QStringLiteral(" Исследование прервано.");
        }
        if (result.note) {
            note += QStringLiteral(" Примечание: ") + QString::fromStdString(*result.note);
        }
        note_->setText(note);
    } catch (const axolite::AxoliteError& error) {
        refusal = error.message();
    }
    run.reset();
    running_ = false;
    // The progress dialog goes before the message; a finished one stays until closed.
    if (refusal) {
        delete progress_.data();
        Notifier::instance().show(*refusal, this);
    }
    plot_->update();
    calculate_->setEnabled(true);
    if (closeWhenIdle_) {
        close();
    }
}

void TStepStudyDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        closeWhenIdle_ = true;
        if (progress_) {
            progress_->interrupt();
        }
        event->ignore();
        return;
    }
    if (progress_) {
        delete progress_.data();
    }
    setResult(QDialog::Rejected);
    event->accept();
}

bool TStepStudyDialog::writeTable(const QString& path) const {
    QByteArray text = "h,steps,network_error,rk_error,network_order,rk_order\n";
    for (const StepStudyRow& row : model_->rows()) {
        text += (QString::asprintf("%.17g,%d,", row.h, row.steps) + csvNumber(row.networkError) +
                 u',' + csvNumber(row.rungeKuttaError) + u',' + csvNumber(row.networkOrder) + u',' +
                 csvNumber(row.rungeKuttaOrder) + u'\n')
                    .toUtf8();
    }
    return !axolite::render::writeFile(path, text);
}

void TStepStudyDialog::exportTable() {
    const QString path = axolite::gui::chooseCsvFile(this);
    if (path.isEmpty()) {
        return;
    }
    if (!writeTable(path)) {
        Notifier::instance().show(axolite::MessageKind::Error,
                                  QStringLiteral("Невозможно записать файл %1").arg(path), this);
    }
}
