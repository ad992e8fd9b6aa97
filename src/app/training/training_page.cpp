// The page "Обучение сети" of the training dialog: its controls, and the run with its status.
#include "app/training/training_page.h"

#include "app/gui/notifier.h"
#include "app/gui/opened_note.h"
#include "app/gui/tool_host.h"
#include "app/training/teach_network_ids.h"
#include "app/training/training_controls.h"
#include "app/training/training_views.h"
#include "app/training/write_description.h"
#include "core/platform/folder_settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>

namespace axolite::training_ui {

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

// A field of whole numbers low … high (as typed), width pixels wide.
QLineEdit* wholeNumberField(const QString& text, int number, int low, int high, int width,
                            QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(id(number));
    field->setValidator(new WholeNumberValidator(low, high, false, field));
    field->setFixedWidth(width);
    return field;
}

QPushButton* button(const QString& text, int number, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(id(number));
    b->setAutoDefault(false);
    return b;
}

} // namespace

// "Определение эталонных образов": P and the two pattern files with their "Обзор ...".
QGroupBox* TrainingPage::buildPatternsGroup() {
    auto* patternsGroup = new QGroupBox(QStringLiteral("Определение эталонных образов"), this);
    patterns_ = wholeNumberField(QStringLiteral("1"), IdPatterns, 1, 30000, 60, patternsGroup);
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
QGroupBox* TrainingPage::buildParametersGroup() {
    auto* parametersGroup = new QGroupBox(QStringLiteral("Параметры и метод обучения"), this);
    method_ = new QComboBox(parametersGroup);
    method_->setObjectName(id(IdMethod));
    for (int m = 0; m < 4; ++m) {
        method_->addItem(QString::fromUtf8(axolite::training::trainingMethodName(
            static_cast<axolite::training::TrainingMethod>(m))));
    }
    iterations_ =
        wholeNumberField(QStringLiteral("200"), IdIterations, 1, 30000, 60, parametersGroup);
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
    seed_ = wholeNumberField(QString(), IdSeed, 0, INT_MAX, 100, parametersGroup);
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
QHBoxLayout* TrainingPage::buildStatus() {
    bar_ = new QProgressBar(this);
    bar_->setObjectName(id(IdProgress));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setFormat(QStringLiteral("%p%"));
    bar_->setTextVisible(true);
    patternShown_ = valueLabel(QString(), IdPatternShown, this);
    iterationShown_ = valueLabel(QString(), IdIterationShown, this);
    normShown_ = valueLabel(QStringLiteral("Недоступна"), IdNormShown, this);
    auto* status = new QHBoxLayout;
    status->addWidget(bar_, 1);
    status->addWidget(new QLabel(QStringLiteral("Образ :"), this));
    status->addWidget(patternShown_);
    status->addWidget(new QLabel(QStringLiteral("Итерация обучения :"), this));
    status->addWidget(iterationShown_);
    status->addWidget(new QLabel(QStringLiteral("Норма :"), this));
    status->addWidget(normShown_);

    return status;
}

// The buttons of the page and the curve's check boxes, in a column under the curve.
QVBoxLayout* TrainingPage::buildButtons() {
    trainButton_ = button(QStringLiteral("Обучить"), IdTrain, this);
    interruptButton_ = button(QStringLiteral("Прервать "), IdInterrupt, this);
    interruptButton_->setEnabled(false);
    describeButton_ =
        button(QStringLiteral("Файл описания нейронной сети ..."), IdWriteDescription, this);
    describeButton_->setEnabled(false);
    connect(trainButton_, &QPushButton::clicked, this, &TrainingPage::trainRequested);
    // The seed in its field (the last run's, or the one typed), else the time in seconds.
    compareButton_ = button(QStringLiteral("Сравнить ..."), IdCompare, this);
    connect(compareButton_, &QPushButton::clicked, this, [this] {
        emit compareRequested(parameters(), seed_->text().isEmpty()
                                                ? static_cast<std::uint32_t>(std::time(nullptr))
                                                : seed_->text().toUInt());
    });
    connect(interruptButton_, &QPushButton::clicked, this, [this] { state_.requestStop(); });
    connect(describeButton_, &QPushButton::clicked, this, &TrainingPage::writeDescriptionFile);

    curveView_ = new TrainingCurveView(state_.curve(), this);
    curveView_->setObjectName(id(IdCurve));
    curveLog_ = new QCheckBox(QStringLiteral("Логарифмическая шкала"), this);
    curveLog_->setObjectName(id(IdCurveLog));
    connect(curveLog_, &QCheckBox::toggled, this, [this](bool on) {
        state_.curve().logScale = on;
        curveView_->update();
    });
    // The error is a forward pass over every pattern after each iteration: asked for, since it
    // lengthens a run by a fifth to three quarters.
    curveError_ = new QCheckBox(QStringLiteral("Среднеквадратичная ошибка"), this);
    curveError_->setObjectName(id(IdCurveError));
    curveError_->setToolTip(
        QStringLiteral("После каждой итерации считается среднеквадратичная ошибка по всем "
                       "образам (красная кривая). Обучение идёт дольше, сами веса не меняются."));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(trainButton_);
    buttons->addWidget(compareButton_);
    buttons->addWidget(interruptButton_);
    buttons->addWidget(describeButton_);
    buttons->addStretch();
    buttons->addWidget(curveLog_);
    buttons->addWidget(curveError_);
    return buttons;
}

TrainingPage::TrainingPage(TrainingState& state, gui::ToolHost* host, QDialog* dialog)
    : QWidget(dialog), state_(state), host_(host) {
    QGroupBox* patternsGroup = buildPatternsGroup();
    QGroupBox* parametersGroup = buildParametersGroup();
    QVBoxLayout* buttons = buildButtons();
    QHBoxLayout* status = buildStatus();
    auto* top = new QHBoxLayout;
    auto* groups = new QVBoxLayout;
    groups->addWidget(patternsGroup);
    groups->addWidget(parametersGroup);
    top->addLayout(groups, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(curveView_, 1);
    right->addLayout(buttons);
    top->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(status);
    openedNote_ = new TOpenedNote(dialog, this);
    layout->addWidget(openedNote_);
    connect(&state_, &TrainingState::runStarted, this, &TrainingPage::runStarted);
    connect(&state_, &TrainingState::runEnded, this, &TrainingPage::runEnded);
}

void TrainingPage::shown() {
    if (!state_.trained()) {
        describeButton_->setEnabled(false);
    }
}

QList<QWidget*> TrainingPage::runButtons() const {
    return {trainButton_, compareButton_, interruptButton_, describeButton_};
}

QString trainingFolder(gui::ToolHost* host, int which) {
    if (host == nullptr || !host->folders().set) {
        return {};
    }
    const platform::FolderSettings& folders = host->folders();
    return QString::fromStdString(which == 0 ? folders.patterns : folders.modelsFolder().string());
}

void TrainingPage::browse(QLineEdit* field) {
    const QString path = chooseTrainingFile(
        window(), false, QStringLiteral("Открыть"), trainingFolder(host_, 0),
        QStringLiteral("Файлы образов (*.ptn);;Все типы файлов (*.*)"), QStringLiteral("ptn"));
    if (!path.isEmpty()) {
        field->setText(path.left(kMaxPathLength));
    }
}

void TrainingPage::setPercent(int percent) {
    percent_ = percent;
}

void TrainingPage::poll() {
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
void TrainingPage::flushStatus() {
    const training::TrainingStatus& status = state_.trainer().status();
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

void TrainingPage::runStarted() {
    trainButton_->setEnabled(false);
    compareButton_->setEnabled(false);
    describeButton_->setEnabled(false);
    interruptButton_->setEnabled(true);
}

void TrainingPage::runEnded(bool interrupted) {
    flushStatus();
    if (!interrupted) {
        QApplication::beep();
        describeButton_->setEnabled(true);
    }
    trainButton_->setEnabled(true);
    compareButton_->setEnabled(true);
    interruptButton_->setEnabled(false);
}

training::TrainingParameters TrainingPage::parameters() const {
    training::TrainingParameters parameters;
    parameters.patterns = leadingWholeNumber(patterns_->text());
    parameters.iterations = leadingWholeNumber(iterations_->text());
    parameters.inputFile = inputFile_->text().toStdString();
    parameters.targetFile = targetFile_->text().toStdString();
    parameters.method = static_cast<training::TrainingMethod>(method_->currentIndex());
    parameters.learningRate = rate_->text().toStdString();
    parameters.stopAtLocalMinimum = localMinimum_->isChecked();
    parameters.meanSquaredError = curveError_->isChecked();
    return parameters;
}

std::uint32_t TrainingPage::chooseSeed() {
    // Each run shows the seed it used.
    auto seed = static_cast<std::uint32_t>(std::time(nullptr));
    if (seedFixed_->isChecked() && !seed_->text().isEmpty()) {
        seed = static_cast<std::uint32_t>(seed_->text().toULongLong());
    }
    seed_->setText(QString::number(seed));
    return seed;
}

training::TrainingCallbacks TrainingPage::callbacks(const training::TrainingParameters& parameters,
                                                    std::uint32_t seed) {
    training::TrainingCallbacks callbacks;
    callbacks.progress = this;
    callbacks.history = &state_.history();
    callbacks.notify = [this](const Message& message) {
        flushStatus();
        Notifier::instance().show(message, window());
    };
    callbacks.askStopAtLocalMinimum = [this] {
        flushStatus();
        return Notifier::instance().show(
            Message{MessageKind::Question, training::localMinimumQuestion()}, window());
    };
    callbacks.started = [this, iterations = parameters.iterations, seed] {
        curveChanged_ = true;
        state_.beginRun(seed, iterations);
    };
    callbacks.normComputed = [this](int, float norm) {
        state_.curve().norms.push_back(norm);
        curveChanged_ = true;
    };
    callbacks.errorComputed = [this](int, double error) {
        state_.curve().errors.push_back(error);
        curveChanged_ = true;
    };
    callbacks.iterationDone = [this](const training::TrainingStatus& status) {
        emit iterationFinished(status.lastIteration);
    };
    return callbacks;
}

void TrainingPage::train(const training::LayerConfiguration& configuration) {
    if (state_.running()) {
        return;
    }
    state_.prepareRun();
    const training::TrainingParameters parameters = this->parameters();
    const std::uint32_t seed = chooseSeed();
    state_.trainer().setSeed(seed);
    training::TrainingCallbacks callbacks = this->callbacks(parameters, seed);
    state_.observeRun(callbacks, parameters, seed);
    clock_.start();
    lastEvents_ = 0;
    lastStatus_ = 0;

    training::TrainingOutcome outcome;
    try {
        outcome = state_.trainer().train(configuration, parameters, callbacks);
    } catch (const AxoliteError& refusal) {
        // Past the first two checks the network has been rebuilt with fresh weights: it is no
        // longer the trained one, so it is not offered for writing.
        refused(refusal.message(), refusal.kind() != MessageKind::Error, false);
        return;
    } catch (const std::exception&) {
        // The pattern tables or the results table could not be allocated: the dialog stays
        // usable and the list shows what the trainer holds.
        refused(Message{MessageKind::Error, "Недостаточно памяти для обучения нейронной сети."},
                false, true);
        return;
    }
    state_.keepOutcome(outcome);
    state_.endRun(outcome.interrupted);
    state_.showResults(seed);
}

void TrainingPage::fillSettings(training::RunSettings& settings) const {
    settings.patterns = patterns_->text().toStdString();
    settings.input = inputFile_->text().toStdString();
    settings.target = targetFile_->text().toStdString();
    settings.method =
        training::methodKey(static_cast<training::TrainingMethod>(method_->currentIndex()));
    settings.iterations = iterations_->text().toStdString();
    settings.rate = rate_->text().toStdString();
    settings.localMinimum = localMinimum_->isChecked() ? "stop" : "off";
    settings.meanSquaredError = curveError_->isChecked();
}

void TrainingPage::showRecord(const training::RunSettings& settings,
                              std::optional<std::uint32_t> seed, bool errorCurve) {
    patterns_->setText(QString::fromStdString(settings.patterns));
    inputFile_->setText(QString::fromStdString(settings.input));
    targetFile_->setText(QString::fromStdString(settings.target));
    method_->setCurrentIndex(static_cast<int>(
        training::methodOfKey(settings.method).value_or(training::TrainingMethod{})));
    iterations_->setText(QString::fromStdString(settings.iterations));
    rate_->setText(QString::fromStdString(settings.rate));
    localMinimum_->setChecked(settings.localMinimum != "off");
    seed_->setText(seed ? QString::number(*seed) : QString());
    seedFixed_->setChecked(seed.has_value());
    curveError_->setChecked(errorCurve || settings.meanSquaredError);
    percent_ = state_.trainer().status().percent;
    curveChanged_ = true;
    flushStatus();
    describeButton_->setEnabled(state_.trained());
}

void TrainingPage::refused(const Message& message, bool networkReplaced, bool rowsChanged) {
    if (state_.running()) {
        state_.endRun(true);
    }
    if (rowsChanged) {
        state_.showResults(std::nullopt);
    }
    flushStatus();
    if (networkReplaced) {
        describeButton_->setEnabled(false);
    }
    Notifier::instance().show(message, window());
}

void TrainingPage::writeDescriptionFile() {
    if (state_.running() || !state_.trained()) {
        return;
    }
    writeTrainedDescription(state_.trainer().network(), host_, *openedNote_, window());
}

} // namespace axolite::training_ui
