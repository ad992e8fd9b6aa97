// The window "Сравнение обучения": its controls, the runs on their own thread, and what they
// show.
#include "app/training/comparison_window.h"

#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/training/training_controls.h"
#include "app/training/training_views.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <ctime>

namespace axolite::training_ui {

namespace {

// The runs go on two threads: the machine the program is made for has two cores.
constexpr int kThreads = 2;
constexpr int kFollowIntervalMs = 50;
constexpr int kMethods = 4;

QPushButton* button(const QString& text, int number, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::number(number));
    b->setAutoDefault(false);
    return b;
}

QTableWidgetItem* readOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

// A comparison on its own thread: the thread reads only its own copies of the network's
// configuration and the runs, and writes only the results, read once it has finished.
struct ComparisonWindow::Worker {
    training::LayerConfiguration configuration;
    std::vector<training::ComparedRun> runs;
    training::ComparisonControl control;
    long long total = 0;
    std::vector<training::ComparedResult> results;
    std::atomic<bool> finished{false};
    std::thread thread;

    void start() {
        total = std::max(1LL, training::totalIterations(runs));
        thread = std::thread([this] {
            results = training::runComparison(configuration, runs, kThreads, &control);
            finished.store(true, std::memory_order_release);
        });
    }
};

ComparisonWindow::ComparisonWindow(const training::LayerConfiguration& configuration,
                                   const training::TrainingParameters& parameters,
                                   std::uint32_t seed, QWidget* parent)
    : QWidget(parent, Qt::Window), configuration_(configuration), parameters_(parameters) {
    setWindowTitle(QStringLiteral("Сравнение обучения"));
    buildControls();
    appendVariant(parameters.method, QString::fromStdString(parameters.learningRate), seed);
    follow_ = new QTimer(this);
    follow_->setInterval(kFollowIntervalMs);
    connect(follow_, &QTimer::timeout, this, &ComparisonWindow::followRun);
    setRunning(false);
    resize(980, 680);
}

ComparisonWindow::~ComparisonWindow() {
    stopAndWait();
}

QGroupBox* ComparisonWindow::buildVariants() {
    variantsTable_ = new QTableWidget(0, 3, this);
    variantsTable_->setObjectName(QString::number(IdVariants));
    variantsTable_->setHorizontalHeaderLabels({QStringLiteral("Метод обучения"),
                                               QStringLiteral("Скорость обучения"),
                                               QStringLiteral("Начальное значение генератора")});
    variantsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    variantsTable_->horizontalHeader()->setSectionResizeMode(MethodColumn, QHeaderView::Stretch);
    variantsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    variantsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    addButton_ = button(QStringLiteral("Добавить"), IdAddVariant, this);
    removeButton_ = button(QStringLiteral("Удалить"), IdRemoveVariant, this);
    sweep_ = new QCheckBox(QStringLiteral("Серия начальных значений, число :"), this);
    sweep_->setObjectName(QString::number(IdSweep));
    sweep_->setToolTip(
        QStringLiteral("Каждый вариант обучается с N начальными значениями подряд, начиная со "
                       "своего; рисуется средняя кривая и полоса ± одно стандартное отклонение."));
    sweepSeeds_ = new QSpinBox(this);
    sweepSeeds_->setObjectName(QString::number(IdSweepSeeds));
    sweepSeeds_->setRange(2, 1000);
    sweepSeeds_->setValue(20);
    connect(addButton_, &QPushButton::clicked, this, &ComparisonWindow::addVariant);
    connect(removeButton_, &QPushButton::clicked, this, &ComparisonWindow::removeVariant);

    auto* variantsGroup = new QGroupBox(QStringLiteral("Варианты"), this);
    auto* variantButtons = new QHBoxLayout;
    variantButtons->addWidget(addButton_);
    variantButtons->addWidget(removeButton_);
    variantButtons->addSpacing(16);
    variantButtons->addWidget(sweep_);
    variantButtons->addWidget(sweepSeeds_);
    variantButtons->addStretch();
    auto* variantsLayout = new QVBoxLayout(variantsGroup);
    variantsLayout->addWidget(variantsTable_);
    variantsLayout->addLayout(variantButtons);

    return variantsGroup;
}

QSplitter* ComparisonWindow::buildResults() {
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QString::number(IdProgress));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    curveView_ = new TrainingCurveView(curve_, this);
    curveView_->setObjectName(QString::number(IdCurve));
    auto* curveLog = new QCheckBox(QStringLiteral("Логарифмическая шкала"), this);
    curveLog->setObjectName(QString::number(IdCurveLog));
    connect(curveLog, &QCheckBox::toggled, this, [this](bool on) {
        curve_.logScale = on;
        curveView_->update();
    });
    runsTable_ = new QTableWidget(0, 5, this);
    runsTable_->setObjectName(QString::number(IdRuns));
    runsTable_->setHorizontalHeaderLabels(
        {QStringLiteral("Вариант"), QStringLiteral("Начальное значение"), QStringLiteral("Ошибка"),
         QStringLiteral("Итераций"), QStringLiteral("Время, с")});
    runsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    runsTable_->setWordWrap(false);
    runsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* curveColumn = new QWidget(this);
    auto* curveLayout = new QVBoxLayout(curveColumn);
    curveLayout->setContentsMargins(0, 0, 0, 0);
    curveLayout->addWidget(curveView_, 1);
    curveLayout->addWidget(curveLog);
    auto* results = new QSplitter(Qt::Horizontal, this);
    results->addWidget(curveColumn);
    results->addWidget(runsTable_);
    results->setStretchFactor(0, 1);
    results->setStretchFactor(1, 1);

    return results;
}

void ComparisonWindow::buildControls() {
    QGroupBox* variantsGroup = buildVariants();
    compareButton_ = button(QStringLiteral("Сравнить"), IdCompare, this);
    interruptButton_ = button(QStringLiteral("Прервать "), IdInterrupt, this);
    saveButton_ = button(QStringLiteral("Сохранить рисунок ..."), IdSavePicture, this);
    auto* closeButton = button(QStringLiteral("Закрыть"), IdClose, this);
    auto* helpButton = button(QStringLiteral("Помощь"), IdHelp, this);
    connect(compareButton_, &QPushButton::clicked, this, &ComparisonWindow::compare);
    connect(interruptButton_, &QPushButton::clicked, this, &ComparisonWindow::interrupt);
    connect(saveButton_, &QPushButton::clicked, this, &ComparisonWindow::choosePicture);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(helpButton, &QPushButton::clicked, this,
            [this] { help_ ? help_(kHelpTopic) : openHelp(kHelpTopic); });
    QSplitter* results = buildResults();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(compareButton_);
    buttons->addWidget(interruptButton_);
    buttons->addWidget(bar_, 1);
    buttons->addWidget(saveButton_);
    buttons->addWidget(closeButton);
    buttons->addWidget(helpButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(variantsGroup);
    layout->addLayout(buttons);
    layout->addWidget(results, 1);
}

void ComparisonWindow::appendVariant(training::TrainingMethod method, const QString& rate,
                                     std::uint32_t seed) {
    const int row = variantsTable_->rowCount();
    variantsTable_->insertRow(row);
    auto* methods = new QComboBox(variantsTable_);
    for (int m = 0; m < kMethods; ++m) {
        methods->addItem(QString::fromUtf8(
            training::trainingMethodName(static_cast<training::TrainingMethod>(m))));
    }
    methods->setCurrentIndex(static_cast<int>(method));
    auto* rateField = new QLineEdit(rate, variantsTable_);
    rateField->setValidator(numberCharacters(rateField));
    auto* seedField = new QLineEdit(QString::number(seed), variantsTable_);
    seedField->setValidator(new WholeNumberValidator(0, INT_MAX, false, seedField));
    variantsTable_->setCellWidget(row, MethodColumn, methods);
    variantsTable_->setCellWidget(row, RateColumn, rateField);
    variantsTable_->setCellWidget(row, SeedColumn, seedField);
    variantsTable_->selectRow(row);
    removeButton_->setEnabled(!running() && variantsTable_->rowCount() > 1);
}

int ComparisonWindow::variantCount() const {
    return variantsTable_->rowCount();
}

void ComparisonWindow::addVariant() {
    if (running()) {
        return;
    }
    const std::vector<training::ComparedVariant> shown = variants();
    const int selected = variantsTable_->currentRow();
    const training::ComparedVariant& model =
        shown[static_cast<std::size_t>(selected >= 0 ? selected : variantCount() - 1)];
    appendVariant(model.parameters.method, QString::fromStdString(model.parameters.learningRate),
                  model.seed);
}

void ComparisonWindow::removeVariant() {
    if (running() || variantCount() <= 1) {
        return;
    }
    const int selected = variantsTable_->currentRow();
    variantsTable_->removeRow(selected >= 0 ? selected : variantCount() - 1);
    removeButton_->setEnabled(variantCount() > 1);
}

std::vector<training::ComparedVariant> ComparisonWindow::variants() const {
    std::vector<training::ComparedVariant> variants;
    const bool sweep = sweep_->isChecked();
    for (int row = 0; row < variantCount(); ++row) {
        const auto* method = static_cast<QComboBox*>(variantsTable_->cellWidget(row, MethodColumn));
        const auto* rate = static_cast<QLineEdit*>(variantsTable_->cellWidget(row, RateColumn));
        const auto* seed = static_cast<QLineEdit*>(variantsTable_->cellWidget(row, SeedColumn));
        training::ComparedVariant variant;
        variant.parameters = parameters_;
        variant.parameters.method = static_cast<training::TrainingMethod>(method->currentIndex());
        variant.parameters.learningRate = rate->text().toStdString();
        variant.seed = static_cast<std::uint32_t>(seed->text().toULongLong());
        variant.label = training::variantLabel(variant.parameters,
                                               sweep ? std::nullopt : std::optional(variant.seed));
        variants.push_back(std::move(variant));
    }
    return variants;
}

int ComparisonWindow::sweepSeeds() const {
    return sweep_->isChecked() ? sweepSeeds_->value() : 1;
}

void ComparisonWindow::compare() {
    if (running()) {
        return;
    }
    // A seed left empty is the time in seconds, as on the training page; shown in its field.
    for (int row = 0; row < variantCount(); ++row) {
        auto* seed = static_cast<QLineEdit*>(variantsTable_->cellWidget(row, SeedColumn));
        if (seed->text().isEmpty()) {
            seed->setText(QString::number(static_cast<std::uint32_t>(std::time(nullptr))));
        }
    }
    compared_ = variants();
    comparedSeeds_ = sweepSeeds();
    worker_ = std::make_unique<Worker>();
    worker_->configuration = configuration_;
    worker_->runs = training::sweepRuns(compared_, comparedSeeds_);
    worker_->start();
    bar_->setValue(0);
    setRunning(true);
    follow_->start();
}

void ComparisonWindow::interrupt() {
    if (worker_) {
        worker_->control.stop = true;
    }
}

void ComparisonWindow::followRun() {
    if (!worker_) {
        follow_->stop();
        return;
    }
    const long long done = worker_->control.iterationsDone.load(std::memory_order_relaxed);
    bar_->setValue(static_cast<int>(std::min(100LL, done * 100 / worker_->total)));
    if (worker_->finished.load(std::memory_order_acquire)) {
        finishRun();
    }
}

void ComparisonWindow::finishRun() {
    follow_->stop();
    worker_->thread.join();
    runs_ = std::move(worker_->runs);
    results_ = std::move(worker_->results);
    worker_.reset();
    bar_->setValue(100);
    showCurves();
    showRuns();
    setRunning(false);
    emit comparisonFinished();
}

void ComparisonWindow::stopAndWait() {
    if (worker_) {
        follow_->stop();
        worker_->control.stop = true;
        worker_->thread.join();
        worker_.reset();
        setRunning(false);
    }
}

void ComparisonWindow::showCurves() {
    curve_.compared.clear();
    curve_.iterations = parameters_.iterations;
    const bool sweep = comparedSeeds_ > 1;
    for (const training::VariantCurves& variant :
         training::variantCurves(compared_, comparedSeeds_, results_)) {
        if (!variant.errors.mean.empty()) {
            curve_.compared.push_back({QString::fromStdString(variant.errorName),
                                       variant.errors.mean,
                                       sweep ? variant.errors.deviation : std::vector<double>{}});
        }
        if (!variant.norms.mean.empty()) {
            curve_.compared.push_back({QString::fromStdString(variant.normName), variant.norms.mean,
                                       sweep ? variant.norms.deviation : std::vector<double>{}});
        }
    }
    curveView_->update();
}

void ComparisonWindow::showRuns() {
    runsTable_->setRowCount(static_cast<int>(results_.size()));
    for (std::size_t i = 0; i < results_.size(); ++i) {
        const training::ComparedResult& r = results_[i];
        const int row = static_cast<int>(i);
        const QString error = r.refusal      ? QString::fromStdString(*r.refusal)
                              : r.finalError ? QString::asprintf("%g", *r.finalError)
                                             : QStringLiteral("-");
        const QString iterations =
            QString::number(r.iterations) + (r.interrupted ? QStringLiteral(" (прервано)") : "");
        runsTable_->setItem(row, 0, readOnlyItem(QString::fromStdString(runs_[i].label)));
        runsTable_->setItem(row, 1, readOnlyItem(QString::number(runs_[i].seed)));
        runsTable_->setItem(row, 2, readOnlyItem(error));
        runsTable_->setItem(row, 3, readOnlyItem(iterations));
        runsTable_->setItem(row, 4, readOnlyItem(QString::asprintf("%.3f", r.seconds)));
    }
}

void ComparisonWindow::setRunning(bool running) {
    compareButton_->setEnabled(!running);
    interruptButton_->setEnabled(running);
    saveButton_->setEnabled(!running && !curve_.compared.empty());
    addButton_->setEnabled(!running);
    removeButton_->setEnabled(!running && variantCount() > 1);
    variantsTable_->setEnabled(!running);
    sweep_->setEnabled(!running);
    sweepSeeds_->setEnabled(!running);
}

void ComparisonWindow::choosePicture() {
    // Not from inside the training dialog's run: the file dialog would hold it until it closed.
    if (gui::ComputationRegister::instance().anyRunning()) {
        QApplication::beep();
        return;
    }
    const QString path = chooseTrainingFile(
        this, true, QStringLiteral("Сохранить рисунок"), QString(),
        QStringLiteral("Рисунок SVG (*.svg);;Рисунок PNG (*.png)"), QStringLiteral("svg"));
    if (!path.isEmpty()) {
        savePicture(path);
    }
}

bool ComparisonWindow::savePicture(const QString& path) {
    if (const auto failure = writeTrainingCurve(path, curve_)) {
        Notifier::instance().show(platform::fileWriteMessage(*failure), this);
        return false;
    }
    return true;
}

void ComparisonWindow::closeEvent(QCloseEvent* event) {
    // The runs in hand end after their iteration; the window does not outlive its thread.
    stopAndWait();
    QWidget::closeEvent(event);
}

} // namespace axolite::training_ui
