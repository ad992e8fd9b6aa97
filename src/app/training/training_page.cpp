// The page "Обучение сети": pattern files, parameters and method, the seed, "Обучить" with the
// engine's training command, the status line, the live curve and "Прервать ".
#include "app/training/teach_network.h"

#include "app/gui/notifier.h"
#include "app/gui/opened_note.h"
#include "app/gui/tool_host.h"
#include "app/training/training_controls.h"
#include "app/training/training_views.h"
#include "core/platform/folder_settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>

using axolite::MessageKind;
using namespace axolite::training_ui;

namespace {

constexpr int kMaxPathLength = 1024;
// Pending events are processed at most this often while training; the status line and the curve
// are rewritten at most this often (each rewrite costs a repaint of what changed).
constexpr qint64 kEventIntervalMs = 15;
constexpr qint64 kStatusIntervalMs = 100;

QString id(int number) {
    return QString::number(number);
}

QLabel* valueLabel(const QString& text, int number, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(id(number));
    label->setMinimumWidth(90);
    return label;
}

QPushButton* button(const QString& text, int number, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(id(number));
    b->setAutoDefault(false);
    return b;
}

} // namespace

// "Определение эталонных образов": P and the two pattern files with their "Обзор ...".
QGroupBox* TTeachNetwork::buildPatternsGroup(QWidget* page) {
    auto* patternsGroup = new QGroupBox(QStringLiteral("Определение эталонных образов"), page);
    patterns_ = new QLineEdit(QStringLiteral("1"), patternsGroup);
    patterns_->setObjectName(id(IdPatterns));
    patterns_->setValidator(new WholeNumberValidator(1, 30000, false, patterns_));
    patterns_->setFixedWidth(60);
    auto* patternsSpin = new SpinButtons(patterns_, 1, INT_MAX, patternsGroup);
    patternsSpin->setObjectName(id(IdPatternsSpin));
    inputFile_ = new QLineEdit(patternsGroup);
    inputFile_->setObjectName(id(IdInputFile));
    targetFile_ = new QLineEdit(patternsGroup);
    targetFile_->setObjectName(id(IdTargetFile));
    auto* inputBrowse = button(QStringLiteral("Обзор ..."), IdInputBrowse, patternsGroup);
    auto* targetBrowse = button(QStringLiteral("Обзор ..."), IdTargetBrowse, patternsGroup);
    for (QLineEdit* file : {inputFile_, targetFile_}) {
        file->setMaxLength(kMaxPathLength);
        file->setMinimumWidth(260);
    }
    connect(inputBrowse, &QPushButton::clicked, this, [this] { browse(inputFile_); });
    connect(targetBrowse, &QPushButton::clicked, this, [this] { browse(targetFile_); });
    auto* files = new QGridLayout(patternsGroup);
    files->addWidget(new QLabel(QStringLiteral("Число эталонных образов :"), patternsGroup), 0, 0);
    auto* patternsRow = new QHBoxLayout;
    patternsRow->addWidget(patterns_);
    patternsRow->addWidget(patternsSpin);
    patternsRow->addStretch();
    files->addLayout(patternsRow, 0, 1);
    files->addWidget(new QLabel(QStringLiteral("Файл входных эталонных  образов :"), patternsGroup),
                     1, 0, 1, 2);
    files->addWidget(inputFile_, 2, 0, 1, 2);
    files->addWidget(inputBrowse, 2, 2);
    files->addWidget(new QLabel(QStringLiteral("Файл выходных эталонных образов :"), patternsGroup),
                     3, 0, 1, 2);
    files->addWidget(targetFile_, 4, 0, 1, 2);
    files->addWidget(targetBrowse, 4, 2);

    return patternsGroup;
}

// "Параметры и метод обучения": method, T, rate, the local-minimum box and the seed.
QGroupBox* TTeachNetwork::buildParametersGroup(QWidget* page) {
    auto* parametersGroup = new QGroupBox(QStringLiteral("Параметры и метод обучения"), page);
    method_ = new QComboBox(parametersGroup);
    method_->setObjectName(id(IdMethod));
    for (int m = 0; m < 4; ++m) {
        method_->addItem(QString::fromUtf8(axolite::training::trainingMethodName(
            static_cast<axolite::training::TrainingMethod>(m))));
    }
    iterations_ = new QLineEdit(QStringLiteral("200"), parametersGroup);
    iterations_->setObjectName(id(IdIterations));
    iterations_->setValidator(new WholeNumberValidator(1, 30000, false, iterations_));
    iterations_->setFixedWidth(60);
    auto* iterationsSpin = new SpinButtons(iterations_, 1, INT_MAX, parametersGroup);
    iterationsSpin->setObjectName(id(IdIterationsSpin));
    rate_ = new QLineEdit(QStringLiteral("0.25"), parametersGroup);
    rate_->setObjectName(id(IdRate));
    rate_->setValidator(numberCharacters(rate_));
    rate_->setFixedWidth(80);
    localMinimum_ = new QCheckBox(
        QStringLiteral("Останавливать процесс обучения на локальном минимуме"), parametersGroup);
    localMinimum_->setObjectName(id(IdLocalMinimum));
    localMinimum_->setChecked(true);
    seed_ = new QLineEdit(parametersGroup);
    seed_->setObjectName(id(IdSeed));
    seed_->setValidator(new WholeNumberValidator(0, INT_MAX, false, seed_));
    seed_->setFixedWidth(100);
    seedFixed_ = new QCheckBox(QStringLiteral("Постоянное"), parametersGroup);
    seedFixed_->setObjectName(id(IdSeedFixed));
    seedFixed_->setToolTip(QStringLiteral(
        "Без отметки каждое обучение начинается с текущего времени в секундах; с отметкой - "
        "с введенного значения, и обучение можно повторить в точности."));
    auto* parameters = new QGridLayout(parametersGroup);
    parameters->addWidget(new QLabel(QStringLiteral("Метод обучения :"), parametersGroup), 0, 0);
    parameters->addWidget(method_, 0, 1, 1, 3);
    parameters->addWidget(new QLabel(QStringLiteral("Число итераций обучения :"), parametersGroup),
                          1, 0);
    auto* iterationsRow = new QHBoxLayout;
    iterationsRow->addWidget(iterations_);
    iterationsRow->addWidget(iterationsSpin);
    iterationsRow->addStretch();
    parameters->addLayout(iterationsRow, 1, 1);
    parameters->addWidget(new QLabel(QStringLiteral("Скорость обучения :"), parametersGroup), 2, 0);
    parameters->addWidget(rate_, 2, 1);
    parameters->addWidget(localMinimum_, 3, 0, 1, 4);
    parameters->addWidget(
        new QLabel(QStringLiteral("Начальное значение генератора :"), parametersGroup), 4, 0);
    auto* seedRow = new QHBoxLayout;
    seedRow->addWidget(seed_);
    seedRow->addWidget(seedFixed_);
    seedRow->addStretch();
    parameters->addLayout(seedRow, 4, 1, 1, 3);

    return parametersGroup;
}

// The progress bar and "Образ :", "Итерация обучения :", "Норма :".
QHBoxLayout* TTeachNetwork::buildTrainingStatus(QWidget* page) {
    bar_ = new QProgressBar(page);
    bar_->setObjectName(id(IdProgress));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setFormat(QStringLiteral("%p%"));
    bar_->setTextVisible(true);
    patternShown_ = valueLabel(QString(), IdPatternShown, page);
    iterationShown_ = valueLabel(QString(), IdIterationShown, page);
    normShown_ = valueLabel(QStringLiteral("Недоступна"), IdNormShown, page);
    auto* status = new QHBoxLayout;
    status->addWidget(bar_, 1);
    status->addWidget(new QLabel(QStringLiteral("Образ :"), page));
    status->addWidget(patternShown_);
    status->addWidget(new QLabel(QStringLiteral("Итерация обучения :"), page));
    status->addWidget(iterationShown_);
    status->addWidget(new QLabel(QStringLiteral("Норма :"), page));
    status->addWidget(normShown_);

    return status;
}

// The buttons of the page and the curve's check boxes, in a column under the curve.
QVBoxLayout* TTeachNetwork::buildTrainingButtons(QWidget* page) {
    trainButton_ = button(QStringLiteral("Обучить"), IdTrain, page);
    interruptButton_ = button(QStringLiteral("Прервать "), IdInterrupt, page);
    interruptButton_->setEnabled(false);
    describeButton_ =
        button(QStringLiteral("Файл описания нейронной сети ..."), IdWriteDescription, page);
    describeButton_->setEnabled(false);
    connect(trainButton_, &QPushButton::clicked, this, &TTeachNetwork::train);
    connect(interruptButton_, &QPushButton::clicked, this, &TTeachNetwork::interrupt);
    connect(describeButton_, &QPushButton::clicked, this, &TTeachNetwork::writeDescriptionFile);

    curveView_ = new TrainingCurveView(curve_, page);
    curveView_->setObjectName(id(IdCurve));
    curveLog_ = new QCheckBox(QStringLiteral("Логарифмическая шкала"), page);
    curveLog_->setObjectName(id(IdCurveLog));
    connect(curveLog_, &QCheckBox::toggled, this, [this](bool on) {
        curve_.logScale = on;
        curveView_->update();
    });
    // The error is a forward pass over every pattern after each iteration: asked for, since it
    // lengthens a run by a fifth to three quarters.
    curveError_ = new QCheckBox(QStringLiteral("Среднеквадратичная ошибка"), page);
    curveError_->setObjectName(id(IdCurveError));
    curveError_->setToolTip(
        QStringLiteral("После каждой итерации считается среднеквадратичная ошибка по всем "
                       "образам (красная кривая). Обучение идёт дольше, сами веса не меняются."));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(trainButton_);
    buttons->addWidget(interruptButton_);
    buttons->addWidget(describeButton_);
    buttons->addStretch();
    buttons->addWidget(curveLog_);
    buttons->addWidget(curveError_);
    return buttons;
}

QWidget* TTeachNetwork::buildTrainingPage() {
    auto* page = new QWidget(this);
    QGroupBox* patternsGroup = buildPatternsGroup(page);
    QGroupBox* parametersGroup = buildParametersGroup(page);
    QVBoxLayout* buttons = buildTrainingButtons(page);
    QHBoxLayout* status = buildTrainingStatus(page);
    auto* top = new QHBoxLayout;
    auto* groups = new QVBoxLayout;
    groups->addWidget(patternsGroup);
    groups->addWidget(parametersGroup);
    top->addLayout(groups, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(curveView_, 1);
    right->addLayout(buttons);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top, 1);
    layout->addLayout(status);
    openedNote_ = new TOpenedNote(this, page);
    layout->addWidget(openedNote_);
    return page;
}

QString TTeachNetwork::folderOf(int which) const {
    if (host_ == nullptr || !host_->folders().set) {
        return {};
    }
    const axolite::platform::FolderSettings& folders = host_->folders();
    return QString::fromStdString(which == 0 ? folders.patterns : folders.modelsFolder().string());
}

void TTeachNetwork::browse(QLineEdit* field) {
    const QString path = chooseTrainingFile(
        this, false, QStringLiteral("Открыть"), folderOf(0),
        QStringLiteral("Файлы образов (*.ptn);;Все типы файлов (*.*)"), QStringLiteral("ptn"));
    if (!path.isEmpty()) {
        field->setText(path.left(kMaxPathLength));
    }
}

void TTeachNetwork::setPercent(int percent) {
    percent_ = percent;
}

void TTeachNetwork::poll() {
    const qint64 now = clock_.elapsed();
    if (now - lastEvents_ >= kEventIntervalMs) {
        lastEvents_ = now;
        if (now - lastStatus_ >= kStatusIntervalMs) {
            lastStatus_ = now;
            flushStatus();
        }
        QCoreApplication::processEvents();
    }
}

// The status line as the run left it; written when events are let through, so a run of tiny
// iterations does not spend its time in label updates nobody could see.
void TTeachNetwork::flushStatus() {
    const axolite::training::TrainingStatus& status = trainer_.status();
    bar_->setValue(percent_);
    patternShown_->setText(status.lastPattern >= 0 ? QString::asprintf("%i", status.lastPattern)
                                                   : QString());
    iterationShown_->setText(
        status.lastIteration >= 0 ? QString::asprintf("%i", status.lastIteration) : QString());
    normShown_->setText(QString::fromStdString(status.normText));
    if (curveChanged_) {
        curveChanged_ = false;
        curveView_->update();
    }
}

void TTeachNetwork::interrupt() {
    stop_ = true;
}

void TTeachNetwork::runStarted() {
    running_ = true;
    run_.emplace();
    // Only "Прервать " stays usable: a file dialog ("Обзор ...") or any other button's work
    // opened from inside the run's event processing would hold the run until it closed.
    heldDuringRun_.clear();
    QList<QWidget*> held;
    for (QPushButton* b : findChildren<QPushButton*>()) {
        held.append(b);
    }
    for (SpinButtons* b : findChildren<SpinButtons*>()) {
        held.append(b);
    }
    for (QWidget* widget : held) {
        if (widget != interruptButton_ && widget != describeButton_ && widget != trainButton_ &&
            widget != closeButton_ && widget != investigateButton_) {
            // Its own state: a control of a hidden page is disabled with its page.
            heldDuringRun_.emplace_back(widget, widget->isEnabledTo(widget->parentWidget()));
            widget->setEnabled(false);
        }
    }
    describeButton_->setEnabled(false);
    trainButton_->setEnabled(false);
    closeButton_->setEnabled(false);
    // The network being trained is not the one the list shows: no investigation meanwhile.
    investigateButton_->setEnabled(false);
    interruptButton_->setEnabled(true);
}

void TTeachNetwork::runEnded(bool interrupted) {
    running_ = false;
    run_.reset();
    for (const auto& [widget, enabled] : heldDuringRun_) {
        if (widget) {
            widget->setEnabled(enabled);
        }
    }
    heldDuringRun_.clear();
    flushStatus();
    if (!interrupted) {
        QApplication::beep();
        describeButton_->setEnabled(true);
    }
    trainButton_->setEnabled(true);
    closeButton_->setEnabled(true);
    investigateButton_->setEnabled(true);
    interruptButton_->setEnabled(false);
}

void TTeachNetwork::train() {
    if (running_) {
        return;
    }
    stop_ = false;
    axolite::training::TrainingParameters parameters;
    parameters.patterns = leadingWholeNumber(patterns_->text());
    parameters.iterations = leadingWholeNumber(iterations_->text());
    parameters.inputFile = inputFile_->text().toStdString();
    parameters.targetFile = targetFile_->text().toStdString();
    parameters.method = static_cast<axolite::training::TrainingMethod>(method_->currentIndex());
    parameters.learningRate = rate_->text().toStdString();
    parameters.stopAtLocalMinimum = localMinimum_->isChecked();
    parameters.meanSquaredError = curveError_->isChecked();

    // The time in seconds unless the user fixed a seed: each run shows the seed it used.
    std::uint32_t seed = static_cast<std::uint32_t>(std::time(nullptr));
    if (seedFixed_->isChecked() && !seed_->text().isEmpty()) {
        seed = static_cast<std::uint32_t>(seed_->text().toULongLong());
    }
    seed_->setText(QString::number(seed));
    trainer_.setSeed(seed);

    axolite::training::TrainingCallbacks callbacks;
    callbacks.progress = this;
    callbacks.notify = [this](const axolite::Message& message) {
        flushStatus();
        Notifier::instance().show(message, this);
    };
    callbacks.askStopAtLocalMinimum = [this] {
        flushStatus();
        return Notifier::instance().show(
            axolite::Message{MessageKind::Question, axolite::training::localMinimumQuestion()},
            this);
    };
    callbacks.started = [this, &parameters, seed] {
        lastSeed_ = seed;
        curve_.norms.clear();
        curve_.norms.reserve(static_cast<std::size_t>(parameters.iterations));
        curve_.errors.clear();
        curve_.iterations = parameters.iterations;
        curveChanged_ = true;
        runStarted();
    };
    callbacks.normComputed = [this](int, float norm) {
        curve_.norms.push_back(norm);
        curveChanged_ = true;
    };
    callbacks.errorComputed = [this](int, double error) {
        curve_.errors.push_back(error);
        curveChanged_ = true;
    };
    callbacks.iterationDone = [this](const axolite::training::TrainingStatus& status) {
        emit iterationFinished(status.lastIteration);
    };
    clock_.start();
    lastEvents_ = 0;
    lastStatus_ = 0;

    axolite::training::TrainingOutcome outcome;
    try {
        outcome = trainer_.train(configuration(), parameters, callbacks);
    } catch (const axolite::AxoliteError& refusal) {
        if (running_) {
            runEnded(true);
        }
        flushStatus();
        // Past the first two checks the network has been rebuilt with fresh weights: it is no
        // longer the trained one, so it is not offered for writing.
        if (refusal.kind() != MessageKind::Error) {
            describeButton_->setEnabled(false);
        }
        Notifier::instance().show(refusal.message(), this);
        return;
    } catch (const std::exception&) {
        // The pattern tables or the results table could not be allocated: the dialog stays
        // usable and the list shows what the trainer holds.
        if (running_) {
            runEnded(true);
        }
        resultsModel_->setRows(&trainer_.rows());
        flushStatus();
        Notifier::instance().show(
            MessageKind::Error, QStringLiteral("Недостаточно памяти для обучения нейронной сети."),
            this);
        return;
    }
    runEnded(outcome.interrupted);
    resultsModel_->setRows(&trainer_.rows());
    seedUsed_->setText(QStringLiteral("Начальное значение генератора : %1").arg(seed));
}
