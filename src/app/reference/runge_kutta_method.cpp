// The Runge-Kutta dialog ("Решение нормальной системы дифференциальных уравнений").
#include "app/reference/runge_kutta_method.h"

#include "app/gui/command_ids.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "app/gui/opened_note.h"
#include "app/reference/step_study_dialog.h"
#include "core/platform/folder_settings.h"
#include "core/reference/euler_network.h"
#include "core/reference/pattern_writers.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

using axolite::language::kOutputCount;

namespace {

constexpr int kFieldLength = 9;
const QString kInitialValue = QStringLiteral("0.0");

// Row k: the fields of a, b, c, d and e; the labels after a, b, c and d ("y1+" .. "y4 +").
const char* const kCoefficientIds[kOutputCount][5] = {{"1101", "1102", "1103", "1104", "1105"},
                                                      {"1106", "1107", "1108", "1109", "1110"},
                                                      {"1111", "1112", "1114", "1115", "1116"},
                                                      {"1117", "1118", "1113", "1119", "1120"}};
const char* const kColumnLabelIds[kOutputCount][4] = {{"404", "405", "413", "417"},
                                                      {"406", "409", "410", "418"},
                                                      {"407", "411", "414", "415"},
                                                      {"408", "412", "416", "419"}};
const char* const kColumnLabelTexts[4] = {"y1+", "y2 +", "y3 +", "y4 +"};
const char* const kRowLabelIds[kOutputCount] = {"400", "401", "402", "403"};
const char* const kInitialIds[kOutputCount] = {"1122", "1123", "1124", "1125"};
// "y1(x0) =" has no identifier of its own.
const char* const kInitialLabelIds[kOutputCount] = {nullptr, "420", "421", "422"};

QLabel* makeLabel(const QString& text, const char* id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (id != nullptr) {
        label->setObjectName(QString::fromLatin1(id));
    }
    return label;
}

} // namespace

TRungeKuttaMethod::TRungeKuttaMethod(axolite::language::NetworkRecord& record,
                                     const axolite::platform::FolderSettings* folders,
                                     const QString& descriptionPath, QWidget* parent)
    : TReferenceDialog(record, folders, QStringLiteral("rk"), descriptionPath,
                       axolite::gui::CmRungeKutta, parent) {
    setWindowTitle(
        QStringLiteral("Решение нормальной системы дифференциальных уравнений - Нейронная сеть"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Для аппроксимации решения нормальной системы "
                                              "дифференциальных уравнений используется метод "
                                              "Рунге-Кутта 4-го порядка"),
                               this);
    heading->setWordWrap(true);
    numberChars_ = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[.+\\-0123456789]*")), this);
    QGroupBox* coefficients = buildCoefficients();
    QHBoxLayout* lower = buildLower();

    // The pattern file holds the solution computed, not the fields edited since.
    solutionNote_ = new QLabel(
        QStringLiteral("Поля изменены после счета: файл образов будет содержать решение, "
                       "посчитанное с прежними значениями. Чтобы посчитать с новыми значениями, "
                       "закройте диалог и откройте его снова."),
        this);
    solutionNote_->setObjectName(QStringLiteral("1140"));
    solutionNote_->setWordWrap(true);
    solutionNote_->hide();
    for (QLineEdit* field : values_) {
        connect(field, &QLineEdit::textChanged, this, &TRungeKuttaMethod::updateSolutionNote);
    }
    openedNote_ = new TOpenedNote(this, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(coefficients);
    layout->addLayout(lower);
    layout->addWidget(solutionNote_);
    layout->addWidget(openedNote_);

    // A new opening: no Runge-Kutta series until this dialog computes them.
    record_.rungeKuttaPresent = {};
}

QLineEdit* TRungeKuttaMethod::makeField(const char* id, QWidget* parent) const {
    auto* field = new QLineEdit(kInitialValue, parent);
    field->setObjectName(QString::fromLatin1(id));
    field->setMaxLength(kFieldLength);
    field->setValidator(numberChars_);
    field->setMaximumWidth(80);
    return field;
}

bool TRungeKuttaMethod::outputPresent(int k) const {
    return record_.networkPresent[k] != 0;
}

// "Коэффициенты системы": row k holds y(k+1)' = a y1 + b y2 + c y3 + d y4 + e.
QGroupBox* TRungeKuttaMethod::buildCoefficients() {
    auto* coefficients = new QGroupBox(QStringLiteral("Коэффициенты системы"), this);
    auto* grid = new QGridLayout(coefficients);
    for (int k = 0; k < kOutputCount; ++k) {
        auto* rowLabel =
            makeLabel(QStringLiteral("y%1' = ").arg(k + 1), kRowLabelIds[k], coefficients);
        rowLabel->setEnabled(outputPresent(k));
        grid->addWidget(rowLabel, k, 0);
        for (int c = 0; c < 5; ++c) {
            QLineEdit* field = makeField(kCoefficientIds[k][c], coefficients);
            field->setEnabled(outputPresent(k) && (c == 4 || outputPresent(c)));
            values_[static_cast<std::size_t>(k * 5 + c)] = field;
            grid->addWidget(field, k, 1 + 2 * c);
            if (c < 4) {
                auto* columnLabel = makeLabel(QString::fromLatin1(kColumnLabelTexts[c]),
                                              kColumnLabelIds[k][c], coefficients);
                columnLabel->setEnabled(outputPresent(k) && outputPresent(c));
                grid->addWidget(columnLabel, k, 2 + 2 * c);
            }
        }
    }

    return coefficients;
}

// "Начальные значения", "Параметры независимой переменной" and the column of buttons.
QHBoxLayout* TRungeKuttaMethod::buildLower() {
    const auto gridFields =
        makeGridFields({"2222", "1121", "1438", "1136", "1437", "1135"},
                       {QStringLiteral("x0 = "), QStringLiteral("Шаг x , сек. :"),
                        QStringLiteral("Предел x , сек. :")});
    x0_ = gridFields[0].field;

    auto* initial = new QGroupBox(QStringLiteral("Начальные значения"), this);
    auto* initialGrid = new QGridLayout(initial);
    initialGrid->addWidget(gridFields[0].label, 0, 0);
    initialGrid->addWidget(gridFields[0].field, 0, 1);
    for (int k = 0; k < kOutputCount; ++k) {
        auto* label =
            makeLabel(QStringLiteral("y%1(x0) =").arg(k + 1), kInitialLabelIds[k], initial);
        QLineEdit* field = makeField(kInitialIds[k], initial);
        label->setEnabled(outputPresent(k));
        field->setEnabled(outputPresent(k));
        values_[static_cast<std::size_t>(20 + k)] = field;
        initialGrid->addWidget(label, 1 + k, 0);
        initialGrid->addWidget(field, 1 + k, 1);
    }

    auto* independent = new QGroupBox(QStringLiteral("Параметры независимой переменной"), this);
    auto* independentGrid = new QGridLayout(independent);
    for (int i = 1; i < 3; ++i) {
        independentGrid->addWidget(gridFields[i].label, i - 1, 0);
        independentGrid->addWidget(gridFields[i].field, i - 1, 1);
    }

    auto* lower = new QHBoxLayout;
    lower->addWidget(initial);
    lower->addWidget(independent, 0, Qt::AlignTop);
    QBoxLayout* buttons = makeButtons(Qt::Vertical);
    auto* network = new QPushButton(QStringLiteral("Построить сеть ..."), this);
    network->setObjectName(QStringLiteral("2610"));
    network->setAutoDefault(false);
    auto* study = new QPushButton(QStringLiteral("Исследование шага ..."), this);
    study->setObjectName(QStringLiteral("2611"));
    study->setAutoDefault(false);
    connect(network, &QPushButton::clicked, this, &TRungeKuttaMethod::buildNetwork);
    connect(study, &QPushButton::clicked, this, &TRungeKuttaMethod::openStepStudy);
    buttons->insertWidget(3, network);
    buttons->insertWidget(4, study);
    lower->addLayout(buttons);

    return lower;
}

std::array<std::string, axolite::reference::kSystemTextCount>
TRungeKuttaMethod::systemTexts() const {
    std::array<std::string, axolite::reference::kSystemTextCount> texts;
    for (int i = 0; i < 20; ++i) {
        texts[static_cast<std::size_t>(i)] =
            values_[static_cast<std::size_t>(i)]->text().toStdString();
    }
    texts[20] = x0_->text().toStdString();
    for (int k = 0; k < kOutputCount; ++k) {
        texts[static_cast<std::size_t>(21 + k)] =
            values_[static_cast<std::size_t>(20 + k)]->text().toStdString();
    }
    return texts;
}

QStringList TRungeKuttaMethod::currentValues() const {
    QStringList values;
    for (const QLineEdit* field : values_) {
        values << field->text();
    }
    return values;
}

void TRungeKuttaMethod::restoreValues(const QStringList& values) {
    for (std::size_t i = 0; i < values_.size() && i < static_cast<std::size_t>(values.size());
         ++i) {
        if (values_[i]->isEnabled()) {
            values_[i]->setText(values[static_cast<qsizetype>(i)]);
        }
    }
}

void TRungeKuttaMethod::calculate() {
    axolite::reference::LinearSystem system = axolite::reference::readLinearSystem(systemTexts());
    axolite::reference::clearAbsentOutputs(system, record_.networkPresent);
    runComputation(axolite::reference::kRungeKuttaTitle, /*countsNothing=*/false,
                   [&](axolite::Progress& progress) {
                       return axolite::reference::computeRungeKutta(record_, system, progress);
                   });
}

axolite::reference::LinearSystem TRungeKuttaMethod::studiedSystem(int& outputs) const {
    axolite::reference::LinearSystem system = axolite::reference::readLinearSystem(systemTexts());
    axolite::reference::clearAbsentOutputs(system, record_.networkPresent);
    system.x0 = record_.t0;
    outputs = 1;
    for (int k = 0; k < kOutputCount; ++k) {
        if (record_.networkPresent[k] != 0) {
            outputs = k + 1;
        }
    }
    return system;
}

axolite::reference::EulerGrid TRungeKuttaMethod::descriptionGrid() const {
    return {record_.t0, record_.t1, record_.h};
}

void TRungeKuttaMethod::buildNetwork() {
    if (running()) {
        return;
    }
    int outputs = 1;
    const axolite::reference::LinearSystem system = studiedSystem(outputs);
    axolite::gui::FileDialogRequest request;
    request.mode = axolite::gui::FileDialogRequest::Mode::Save;
    request.caption = QStringLiteral("Сохранить как");
    // The networks folder once the folders are set, as the frame's own file dialogs start.
    if (folders() != nullptr && folders()->set && !folders()->networks.empty()) {
        request.start = QString::fromStdString(folders()->networks);
    } else if (!descriptionPath().isEmpty()) {
        request.start = QFileInfo(descriptionPath()).absolutePath();
    }
    request.filter = QStringLiteral("Нейронная сеть (*.net);;Все типы файлов (*)");
    request.defaultSuffix = QStringLiteral("net");
    const QString path = axolite::gui::chooseFile(this, request);
    if (path.isEmpty()) {
        return;
    }
    // The model file goes where the simulation will look for it: the models folder once set,
    // beside the description otherwise.
    const auto netPath = axolite::platform::pathFromUtf8(path.toStdString());
    const auto models = folders() != nullptr && folders()->set && !folders()->models.empty()
                            ? folders()->modelsFolder()
                            : netPath.parent_path();
    try {
        axolite::reference::writeEulerNetwork(system, outputs, descriptionGrid(), netPath, models);
    } catch (const axolite::AxoliteError& error) {
        // A refused system, or a file that could not be written (FileWriteError).
        Notifier::instance().show(error.message(), this);
        return;
    }
    if (openDescription_) {
        openedNote_->opened(openDescription_(path));
    }
}

void TRungeKuttaMethod::openStepStudy() {
    if (running()) {
        return; // not from under the dialog's own computation
    }
    int outputs = 1;
    const axolite::reference::LinearSystem system = studiedSystem(outputs);
    TStepStudyDialog dialog(system, outputs, descriptionGrid(), this);
    dialog.exec();
}

void TRungeKuttaMethod::writePatternFile() {
    writePatterns(axolite::reference::kRungeKuttaPatternsStatus,
                  &axolite::reference::rungeKuttaPatternValues);
}

void TRungeKuttaMethod::computationCompleted() {
    computedValues_ = currentValues();
    updateSolutionNote();
}

void TRungeKuttaMethod::updateSolutionNote() {
    solutionNote_->setVisible(!computedValues_.isEmpty() && patterns_->isEnabled() &&
                              currentValues() != computedValues_);
}

void TRungeKuttaMethod::closeRecord() {
    // The last computation was interrupted: its series are not shown.
    if (record_.cancelRequested != 0) {
        record_.rungeKuttaPresent = {};
    }
}

void TRungeKuttaMethod::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    TReferenceDialog::keyPressEvent(event);
}
