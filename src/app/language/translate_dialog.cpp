// The check window. The check itself is the engine's; this window shows what it found, keeps
// "Посчитать ..." enabled only when a run can follow, and guards the run so that neither the
// window nor its description is closed from under it.
#include "app/language/translate_dialog.h"

#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "core/platform/folder_settings.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QTreeView>
#include <QVBoxLayout>

#include <filesystem>
#include <vector>

using axolite::language::CheckRow;
using axolite::language::RowKind;

namespace {

const QString kSimulationText = QStringLiteral("Моделирование работы нейронной сети...");

// The two 12 × 12 images of the message list: a red stop disc for errors, a yellow triangle
// for warnings.
QIcon errorIcon() {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 0, 0), 1));
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(3.5, 3.5), QPointF(8.5, 8.5));
    p.drawLine(QPointF(8.5, 3.5), QPointF(3.5, 8.5));
    return QIcon(pixmap);
}

QIcon warningIcon() {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(6, 0.5);
    triangle.lineTo(11.5, 11.5);
    triangle.lineTo(0.5, 11.5);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(128, 96, 0), 1));
    p.setBrush(QColor(255, 210, 0));
    p.drawPath(triangle);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(6, 4), QPointF(6, 8));
    p.drawPoint(QPointF(6, 10));
    return QIcon(pixmap);
}

QString countText(std::int32_t count, const char* none, const char* word) {
    if (count == 0) {
        return QString::fromUtf8(none);
    }
    return QString::asprintf("%-3i ", count) + QString::fromUtf8(word);
}

// "Модели нейронов прочитаны из папки <folder>", or "из папок <a>; <b>" for several.
QString modelFoldersText(const std::vector<std::filesystem::path>& folders) {
    QStringList names;
    for (const std::filesystem::path& folder : folders) {
        names << QString::fromStdString(axolite::platform::utf8FromPath(folder));
    }
    return (names.size() == 1 ? QStringLiteral("Модели нейронов прочитаны из папки ")
                              : QStringLiteral("Модели нейронов прочитаны из папок ")) +
           names.join(QStringLiteral("; "));
}

QLabel* makeField(const char* id, const QString& text, QWidget* parent) {
    auto* field = new QLabel(text, parent);
    field->setObjectName(QString::fromLatin1(id));
    field->setMinimumWidth(150);
    return field;
}

} // namespace

// The rows of the check: kind with its image, line ("%-3i"), message. All rows are listed.
class TCheckRowModel : public QAbstractTableModel {
public:
    explicit TCheckRowModel(QObject* parent)
        : QAbstractTableModel(parent), error_(errorIcon()), warning_(warningIcon()) {}

    void setRows(std::vector<CheckRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        const CheckRow& row = rows_[static_cast<std::size_t>(index.row())];
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case 0:
                return QString::fromUtf8(axolite::language::rowKindText(row.kind)).left(20);
            case 1:
                return QString::asprintf("%-3i", row.line);
            default:
                return QString::fromStdString(row.text);
            }
        }
        if (role == Qt::DecorationRole && index.column() == 0) {
            return row.kind == RowKind::Error ? error_ : warning_;
        }
        return {};
    }

    int lineOf(int row) const { return rows_[static_cast<std::size_t>(row)].line; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        static const char* const titles[3] = {"Тип сообщения", "Строка", "Сообщение"};
        return section >= 0 && section < 3 ? QString::fromUtf8(titles[section]) : QVariant();
    }

private:
    std::vector<CheckRow> rows_;
    QIcon error_;
    QIcon warning_;
};

TTranslateDialog::TTranslateDialog(axolite::language::NetworkRecord& record,
                                   const axolite::platform::FolderSettings* folders,
                                   QWidget* parent)
    : QDialog(parent), record_(record), folders_(folders) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setModal(false);
    setWindowTitle(
        QStringLiteral("Проверка правильности описания нейронной сети - Нейронная сеть"));

    rows_ = new TCheckRowModel(this);
    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("2341"));
    list_->setModel(rows_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(12, 12));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setStretchLastSection(false);
    list_->setColumnWidth(0, 110);
    list_->setColumnWidth(1, 60);
    list_->setColumnWidth(2, 500);
    list_->setMinimumSize(504, 220);
    // Double click or Enter on a row: the description window takes its caret to the row's line.
    connect(list_, &QTreeView::activated, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() < rows_->rowCount()) {
            emit lineChosen(rows_->lineOf(index.row()));
        }
    });

    result_ = makeField("131", QString(), this);
    lines_ = makeField("132", QString(), this);
    errors_ = makeField("133", QString(), this);
    warnings_ = makeField("134", QString(), this);
    currentLine_ = makeField("900", QStringLiteral("Недоступна"), this);

    calculate_ = new QPushButton(QStringLiteral("Посчитать ..."), this);
    calculate_->setObjectName(QStringLiteral("137"));
    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QStringLiteral("2"));
    auto* helpButton = new QPushButton(QStringLiteral("Помощь"), this);
    helpButton->setObjectName(QStringLiteral("9"));
    for (QPushButton* b : {calculate_, closeButton, helpButton}) {
        b->setAutoDefault(false);
    }
    connect(calculate_, &QPushButton::clicked, this, &TTranslateDialog::calculate);
    connect(&axolite::gui::ComputationRegister::instance(),
            &axolite::gui::ComputationRegister::busyChanged, this,
            &TTranslateDialog::updateCalculate);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(helpButton, &QPushButton::clicked, this, [] { openHelp(0); });

    auto* figures = new QGridLayout;
    figures->addWidget(new QLabel(QStringLiteral("Результат :"), this), 0, 0);
    figures->addWidget(result_, 0, 1);
    figures->addWidget(new QLabel(QStringLiteral("Проанализировано строк :"), this), 1, 0);
    figures->addWidget(lines_, 1, 1);
    figures->addWidget(errors_, 0, 2);
    figures->addWidget(warnings_, 1, 2);
    figures->addWidget(new QLabel(QStringLiteral("Текущая строка :"), this), 2, 0);
    figures->addWidget(currentLine_, 2, 1);
    figures->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(calculate_);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addWidget(helpButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(figures);
    layout->addLayout(buttons);

    // Set-up: a fresh check on this record.
    record_.errorCount = 0;
    record_.warningCount = 0;
    checkOpen_ = true;
    refresh_.setInterval(1);
    connect(&refresh_, &QTimer::timeout, this, &TTranslateDialog::refreshCounts);
}

TTranslateDialog::~TTranslateDialog() {
    if (progress_) {
        delete progress_.data();
    }
}

void TTranslateDialog::refreshCounts() {
    lines_->setText(QString::asprintf("%-3i ", check_.linesAnalysed));
    errors_->setText(countText(record_.errorCount, "Ошибок нет", "ошибок"));
    warnings_->setText(countText(record_.warningCount, "Предупреждений нет", "предупреждений"));
}

void TTranslateDialog::showResult() {
    // A check abandoned at the 50th error shows no result.
    if (!check_.abandoned) {
        result_->setText(check_.correct ? QStringLiteral("правильно")
                                        : QStringLiteral("неправильно"));
    }
}

void TTranslateDialog::runCheck() {
    if (running_) {
        return;
    }
    // The counts follow the check while it runs; they are shown once more when it ends.
    refresh_.start();
    checkOpen_ = true;
    try {
        check_ = axolite::language::checkDescription(record_);
    } catch (const std::bad_alloc&) {
        // No result: nothing can be simulated, the failure is told like the preparation's.
        check_ = axolite::language::CheckResult{};
        check_.abandoned = true; // no result is shown
        check_.calculateEnabled = false;
        check_.messages.push_back(axolite::simulation::outOfMemoryMessage());
    }
    rows_->setRows(check_.rows);
    for (const axolite::Message& message : check_.messages) {
        Notifier::instance().show(message, this);
    }
    refresh_.stop();
    refreshCounts();
    showResult();
    setCalculateEnabled(check_.calculateEnabled);

    if (check_.correct) {
        try {
            simulation_.prepare(record_, check_);
        } catch (const axolite::AxoliteError& error) {
            // The window cannot simulate this description; "Посчитать ..." stays as it is and
            // a press does nothing.
            check_.correct = false;
            Notifier::instance().show(error.message(), this);
        }
    }
    // N and S for the views; a prepared run's figures are those its arrays were sized with.
    record_.steps = simulation_.steps();
    record_.neurons = simulation_.prepared() ? simulation_.neurons() : check_.neurons;
    checked_ = true;
}

void TTranslateDialog::setCalculateEnabled(bool enabled) {
    canCalculate_ = enabled;
    updateCalculate();
}

void TTranslateDialog::updateCalculate() {
    calculate_->setEnabled(canCalculate_ &&
                           !axolite::gui::ComputationRegister::instance().anyBusy());
}

void TTranslateDialog::setDescriptionFolder(const QString& folder) {
    descriptionFolder_ = folder;
}

void TTranslateDialog::showCaretLine(int zeroBasedLine) {
    currentLine_->setText(QString::number(zeroBasedLine + 1));
}

void TTranslateDialog::calculate() {
    // Never a run inside another one's event processing (this window's or another's).
    if (running_ || !checked_ || axolite::gui::ComputationRegister::instance().anyBusy()) {
        return;
    }
    running_ = true;
    lastRunCompleted_ = false;
    // The progress dialog lowers the cancel request when it is created; a run refused before its
    // first step never opened it, and the request of an earlier interrupted run must stand.
    const std::uint8_t cancelBefore = record_.cancelRequested;
    // No second run from under this one.
    setCalculateEnabled(false);
    if (progress_) {
        delete progress_.data();
    }
    progress_ = new TCalculationProgress(&record_, kSimulationText, this);

    axolite::simulation::Simulation::Result result;
    {
        const axolite::gui::ComputationGuard guard(record_);
        const axolite::platform::FolderSettings none;
        result = simulation_.run(record_, check_, *progress_, folders_ ? *folders_ : none,
                                 axolite::platform::pathFromUtf8(descriptionFolder_.toStdString()));
    }
    if (!result.modelFolders.empty()) {
        emit statusMessage(modelFoldersText(result.modelFolders));
    }
    running_ = false;

    switch (result.outcome) {
    case axolite::simulation::Simulation::Outcome::Completed:
        lastRunCompleted_ = true;
        checkOpen_ = true;
        QApplication::beep();
        progress_->finish();
        setCalculateEnabled(record_.errorCount != 0);
        break;
    case axolite::simulation::Simulation::Outcome::Cancelled:
        // An interrupted run no longer holds the check: a new check may replace this window.
        checkOpen_ = false;
        QApplication::beep();
        progress_->finish();
        progress_->deleteLater();
        setCalculateEnabled(true);
        break;
    case axolite::simulation::Simulation::Outcome::Refused:
    case axolite::simulation::Simulation::Outcome::NotRun:
        record_.cancelRequested = cancelBefore;
        progress_->deleteLater();
        setCalculateEnabled(true);
        break;
    }
    if (result.message) {
        Notifier::instance().show(*result.message, this);
    }
    emit simulationEnded();
    if (closeWhenIdle_) {
        close();
    }
}

void TTranslateDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Not from under the run: stop it and close when it has ended.
        closeWhenIdle_ = true;
        if (progress_) {
            progress_->interrupt();
        }
        record_.cancelRequested = 1;
        event->ignore();
        return;
    }
    // A run that was interrupted leaves no output series for the views. The flag may also have
    // been raised by a later computation on the record (an interrupted reference solution);
    // that one does not take away the series of a run that completed here.
    if (record_.cancelRequested != 0 && !lastRunCompleted_) {
        record_.networkPresent = {};
    }
    record_.inputLayerReady = 0;
    checkOpen_ = false;
    event->accept();
    emit closed();
}

void TTranslateDialog::reject() {
    close();
}
