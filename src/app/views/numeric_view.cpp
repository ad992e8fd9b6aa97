// The numeric values view.
#include "app/views/numeric_view.h"

#include "app/views/explain_dialog.h"
#include "render/safe_file.h"

#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "core/views/series.h"
#include "core/views/series_table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

using axolite::language::NetworkRecord;
using axolite::language::SeriesFamily;
using axolite::views_gui::cFormat;

namespace {

// Entries j = 0, 1, ... while j < D; none for a D that is not a positive number. A simulated
// description has at most 10^6 steps; the bound only keeps an absurd grid from a huge list.
int entryCount(double extent) {
    constexpr double kMostEntries = 1000001.0;
    if (!(extent > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::ceil(std::min(extent, kMostEntries)));
}

struct SeriesIds {
    const char* label;
    const char* field;
};

// [family][k], family as in SeriesFamily: network, Runge-Kutta, exact.
constexpr SeriesIds kIds[3][4] = {
    {{"818", "801"}, {"819", "802"}, {"820", "803"}, {"821", "804"}},
    {{"854", "777"}, {"815", "778"}, {"816", "779"}, {"817", "800"}},
    {{"822", "805"}, {"823", "806"}, {"824", "807"}, {"825", "808"}},
};
constexpr const char* kFamilyTitles[3] = {
    "Нейронная сеть :", "Метод Рунге-Кутта :", "Точные значения :"};
// The order in which a repaint writes the fields.
constexpr SeriesFamily kFieldOrder[3] = {SeriesFamily::RungeKutta, SeriesFamily::Network,
                                         SeriesFamily::Exact};

QLineEdit* makeField(const char* id, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(id));
    field->setReadOnly(true);
    field->setMaxLength(32);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Room for 16 characters and the sign of a negative value.
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(18, u'0')) + 8);
    return field;
}

QLabel* makeLabel(const char* id, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(id));
    return label;
}

} // namespace

TStepListModel::TStepListModel(double t0, double h, double extent, QObject* parent)
    : QAbstractListModel(parent), t0_(t0), h_(h), rows_(entryCount(extent)) {}

int TStepListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QString TStepListModel::entryText(int j) const {
    return QStringLiteral("x(%1) = ").arg(j) + cFormat("%E", static_cast<double>(j) * h_ + t0_);
}

QVariant TStepListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) {
        return {};
    }
    return entryText(index.row());
}

TAxoliteNumeric::TAxoliteNumeric(DescriptionWindow* window, QWidget* parent)
    : QDialog(parent), binding_(window) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(axolite::views_gui::viewCaption(axolite::views_gui::kNumericCaption, window));

    const NetworkRecord* record = window != nullptr ? &window->record() : nullptr;
    QGroupBox* stepsBox = buildStepList(record);
    QGroupBox* valuesBox = buildValues();
    QGroupBox* errorBox = buildErrorEstimates();

    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("1"));
    auto* helpButton = new QPushButton(QStringLiteral("Помощь"), this);
    helpButton->setObjectName(QStringLiteral("9"));
    helpButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(helpButton, &QPushButton::clicked, this, [] { openHelp(axolite::gui::CmNumeric); });

    auto* right = new QVBoxLayout;
    right->addWidget(valuesBox);
    right->addWidget(errorBox);
    right->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addWidget(helpButton);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(stepsBox);
    layout->addLayout(right, 1);

    // The estimates, once, at set-up.
    showErrorEstimates(record);
    binding_.connectRefresh(this, [this] { refresh(); });
    current_ = 0;
    refresh();
    // A debugger of the description moves the current step.
    if (window != nullptr) {
        connect(window, &DescriptionWindow::stepCursorMoved, this,
                &TAxoliteNumeric::setCurrentStep);
        if (window->stepCursor()) {
            setCurrentStep(*window->stepCursor());
        }
    }
}

// "Независимая переменная": the list of steps.
QGroupBox* TAxoliteNumeric::buildStepList(const NetworkRecord* record) {
    model_ = record != nullptr ? new TStepListModel(record->t0, record->h,
                                                    axolite::views::gridExtent(*record), this)
                               : new TStepListModel(0.0, 0.0, 0.0, this);
    list_ = new QTableView(this);
    list_->setObjectName(QStringLiteral("811"));
    list_->horizontalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Before the model: set afterwards, it would resize a million rows one by one.
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 2);
    list_->setModel(model_);
    list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance(QString(28, u'0')) + 24);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TAxoliteNumeric::selectionChanged);

    auto* stepsBox = new QGroupBox(QStringLiteral("Независимая переменная"), this);
    auto* stepsLayout = new QVBoxLayout(stepsBox);
    stepsLayout->addWidget(list_);
    return stepsBox;
}

// "Числовые значения": per family of series the four outputs' fields.
QGroupBox* TAxoliteNumeric::buildValues() {
    auto* valuesBox = new QGroupBox(QStringLiteral("Числовые значения"), this);
    auto* values = new QGridLayout(valuesBox);
    for (int f = 0; f < 3; ++f) {
        values->addWidget(new QLabel(QString::fromUtf8(kFamilyTitles[f]), valuesBox), 0, 2 * f, 1,
                          2);
        for (int k = 0; k < 4; ++k) {
            labels_[f][k] =
                makeLabel(kIds[f][k].label, QStringLiteral("y%1 :").arg(k + 1), valuesBox);
            fields_[f][k] = makeField(kIds[f][k].field, valuesBox);
            values->addWidget(labels_[f][k], k + 1, 2 * f);
            values->addWidget(fields_[f][k], k + 1, 2 * f + 1);
        }
    }
    return valuesBox;
}

QGroupBox* TAxoliteNumeric::buildErrorEstimates() {
    auto* errorBox =
        new QGroupBox(QStringLiteral(" Оценка максимальной абсолютной погрешности  "), this);
    auto* errors = new QGridLayout(errorBox);
    networkErrorLabel_ = makeLabel("827", QStringLiteral("Работы нейроннной сети : "), errorBox);
    networkError_ = makeField("810", errorBox);
    rungeKuttaErrorLabel_ =
        makeLabel("826", QStringLiteral("Вычислений методом Рунге-Кутта : "), errorBox);
    rungeKuttaError_ = makeField("809", errorBox);
    errors->addWidget(networkErrorLabel_, 0, 0);
    errors->addWidget(networkError_, 0, 1);
    errors->addWidget(rungeKuttaErrorLabel_, 1, 0);
    errors->addWidget(rungeKuttaError_, 1, 1);
    errors->setColumnStretch(2, 1);
    return errorBox;
}

void TAxoliteNumeric::showErrorEstimates(const NetworkRecord* record) {
    const bool anyRungeKutta =
        record != nullptr &&
        std::any_of(record->rungeKuttaPresent.begin(), record->rungeKuttaPresent.end(),
                    [](std::uint8_t flag) { return flag != 0; });
    const auto networkEstimate =
        record != nullptr ? axolite::views::networkErrorEstimate(*record) : std::nullopt;
    if (!anyRungeKutta) {
        rungeKuttaErrorLabel_->setEnabled(false);
        rungeKuttaError_->setEnabled(false);
    } else {
        rungeKuttaError_->setText(QString::fromStdString(
            axolite::views::errorEstimateText(axolite::views::rungeKuttaErrorEstimate(*record))));
    }
    if (!networkEstimate) {
        networkErrorLabel_->setEnabled(false);
        networkError_->setEnabled(false);
    } else {
        networkError_->setText(
            QString::fromStdString(axolite::views::errorEstimateText(networkEstimate)));
    }
}

QAbstractItemView* TAxoliteNumeric::stepList() const {
    return list_;
}

void TAxoliteNumeric::writeFields(const NetworkRecord& record, bool disableAbsent) {
    for (const SeriesFamily family : kFieldOrder) {
        const int f = static_cast<int>(family);
        for (int k = 0; k < 4; ++k) {
            const std::optional<double> value =
                axolite::views::seriesValue(record, family, k, current_);
            const bool present = axolite::views::seriesPresent(record, family, k);
            if (disableAbsent) {
                // A series lowered since (a reference dialog opened anew) is disabled; one
                // computed again reads again.
                labels_[f][k]->setEnabled(present);
                fields_[f][k]->setEnabled(present);
            }
            if (present && value) {
                fields_[f][k]->setText(cFormat("%16.10E", *value));
            }
        }
    }
}

void TAxoliteNumeric::refresh() {
    const NetworkRecord* record = binding_.simulatedRecord();
    if (record == nullptr || current_ < 0 || current_ >= axolite::views::gridPointCount(*record) ||
        current_ >= model_->rowCount()) {
        return;
    }
    const QModelIndex entry = model_->index(current_, 0);
    if (list_->currentIndex() != entry) {
        selecting_ = true;
        list_->setCurrentIndex(entry);
        selecting_ = false;
    }
    writeFields(*record, true);
}

void TAxoliteNumeric::setCurrentStep(std::int64_t j) {
    if (j < std::numeric_limits<std::int32_t>::min() ||
        j > std::numeric_limits<std::int32_t>::max()) {
        j = -1;
    }
    current_ = static_cast<std::int32_t>(j);
    refresh();
    if (list_->currentIndex().row() == current_) {
        list_->scrollTo(list_->currentIndex());
    }
}

void TAxoliteNumeric::selectionChanged() {
    if (selecting_) {
        return;
    }
    const QModelIndex entry = list_->currentIndex();
    if (!entry.isValid()) {
        return;
    }
    current_ = entry.row();
    const NetworkRecord* record = binding_.simulatedRecord();
    if (record != nullptr && current_ < axolite::views::gridPointCount(*record)) {
        writeFields(*record, false);
    }
}

bool TAxoliteNumeric::writeTable(const QString& path) const {
    const NetworkRecord* shown = binding_.simulatedRecord();
    if (shown == nullptr) {
        return false;
    }
    const NetworkRecord& record = *shown;
    axolite::platform::AtomicFile file = axolite::render::fileWriter(path);
    if (!file.open()) {
        return false;
    }
    std::string chunk = axolite::views::seriesTableHeader(record);
    constexpr std::int32_t kRowsPerChunk = 16384;
    const std::int32_t rows = axolite::views::gridPointCount(record);
    for (std::int32_t first = 0;; first += kRowsPerChunk) {
        axolite::views::appendSeriesTableRows(record, first, kRowsPerChunk, chunk);
        if (!file.write(chunk)) {
            return false;
        }
        chunk.clear();
        if (first >= rows - kRowsPerChunk) {
            break;
        }
    }
    return file.commit();
}

void TAxoliteNumeric::exportTable() {
    if (binding_.simulatedRecord() == nullptr) {
        return;
    }
    const QString path = axolite::views_gui::chooseSaveFile(
        this, QStringLiteral("Таблица CSV (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = writeTable(path);
    QApplication::restoreOverrideCursor();
    if (!written) {
        axolite::views_gui::reportWriteFailure(this, path);
    }
}

TExplainDialog* TAxoliteNumeric::explainCurrentValue() {
    return axolite::views_gui::explainValue(this, binding_.window(), current_);
}

void TAxoliteNumeric::contextMenuEvent(QContextMenuEvent* event) {
    auto menu = std::make_unique<QMenu>(this);
    QAction* save = menu->addAction(QStringLiteral("Сохранить таблицу как CSV ..."), this,
                                    &TAxoliteNumeric::exportTable);
    // Its file dialog would hold a computation running meanwhile.
    save->setEnabled(binding_.simulatedRecord() != nullptr &&
                     !axolite::gui::ComputationRegister::instance().anyBusy());
    QAction* explain = menu->addAction(QStringLiteral("Объяснить значение ..."), this,
                                       &TAxoliteNumeric::explainCurrentValue);
    explain->setEnabled(axolite::views_gui::canExplain(binding_.window()));
    axolite::gui::showContextMenu(std::move(menu), event->globalPos());
}

void TAxoliteNumeric::closeEvent(QCloseEvent* event) {
    emit closed();
    event->accept();
}
