// The analytic-dependencies dialog ("Вычисление точных значений").
#include "app/reference/accurate_solutions.h"

#include "app/gui/command_ids.h"
#include "app/reference/formula_edit.h"
#include "core/reference/exact_values.h"
#include "core/reference/formula.h"
#include "core/reference/pattern_writers.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using axolite::language::kOutputCount;

namespace {

constexpr int kFormulaLength = 126;
const QString kFormulaCharacters = QStringLiteral("sqrincotgexp().+-/*0123456789");
const QString kInitialFormula = QStringLiteral("0.0");

const char* const kFormulaIds[kOutputCount] = {"7000", "7001", "7002", "7003"};
const char* const kLabelIds[kOutputCount] = {"1131", "1132", "1133", "1134"};
const char* const kLabelTexts[kOutputCount] = {"y1 = ", "y2 =", "y3 =", "y4 ="};

} // namespace

TAccurateSolutions::TAccurateSolutions(axolite::language::NetworkRecord& record,
                                       const axolite::platform::FolderSettings* folders,
                                       const QString& descriptionPath, QWidget* parent)
    : TReferenceDialog(record, folders, QStringLiteral("exact"), descriptionPath,
                       axolite::gui::CmExactValues, parent) {
    setWindowTitle(QStringLiteral("Аналитические зависимости - Нейронная сеть"));
    setModal(true);
    // This dialog's button carries a trailing blank.
    calculate_->setText(QStringLiteral("Посчитать ... "));

    auto* heading = new QGroupBox(
        QStringLiteral(" Аналитические зависимости активности нейронов выходного слоя сети  "),
        this);
    auto* rows = new QGridLayout(heading);
    for (int k = 0; k < kOutputCount; ++k) {
        auto* label = new QLabel(QString::fromUtf8(kLabelTexts[k]), heading);
        label->setObjectName(QString::fromLatin1(kLabelIds[k]));
        auto* field = new TFormulaEdit(kFormulaIds[k], kFormulaLength, kFormulaCharacters,
                                       axolite::reference::FormulaDialect::Dependency, heading);
        field->setErrorText(QString::fromStdString(axolite::reference::dependencyErrorText(k + 1)));
        field->setMinimumWidth(420);
        field->setText(kInitialFormula);
        connect(field, &TFormulaEdit::checked, this, [this, field](const QString& problem) {
            if (field->hasFocus()) {
                showReading(problem);
            }
        });
        // The formula of an output the network lacks is never evaluated.
        const bool present = record_.networkPresent[k] != 0;
        label->setEnabled(present);
        field->setEnabled(present);
        rows->addWidget(label, k, 0);
        rows->addWidget(field, k, 1);
        formulas_[k] = field;
    }

    const auto grid = makeGridFields({"400", "7004", "420", "7006", "421", "7005"},
                                     {QStringLiteral("x0 ="), QStringLiteral("Шаг x, сек. :"),
                                      QStringLiteral("Предел x, сек. :")});
    auto* gridRow = new QHBoxLayout;
    for (const GridField& g : grid) {
        gridRow->addWidget(g.label);
        gridRow->addWidget(g.field);
    }
    gridRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(gridRow);
    layout->addLayout(makeButtons(Qt::Horizontal));

    // A new opening: no exact series until this dialog computes them.
    record_.exactPresent = {};
}

QStringList TAccurateSolutions::currentValues() const {
    QStringList values;
    for (const TFormulaEdit* field : formulas_) {
        values << field->text();
    }
    return values;
}

void TAccurateSolutions::restoreValues(const QStringList& values) {
    for (int k = 0; k < kOutputCount && k < values.size(); ++k) {
        if (formulas_[k]->isEnabled()) {
            formulas_[k]->setText(values[k]);
        }
    }
}

void TAccurateSolutions::calculate() {
    std::array<std::string, kOutputCount> texts;
    for (int k = 0; k < kOutputCount; ++k) {
        texts[k] = formulas_[k]->text().toStdString();
    }
    runComputation(axolite::reference::kExactValuesTitle, /*countsNothing=*/true,
                   [&](axolite::Progress& progress) {
                       return axolite::reference::computeExactValues(record_, texts, progress);
                   });
}

void TAccurateSolutions::writePatternFile() {
    writePatterns(axolite::reference::kExactPatternsStatus,
                  &axolite::reference::exactPatternValues);
}

void TAccurateSolutions::closeRecord() {
    // The last computation was interrupted: its series are not shown.
    if (record_.cancelRequested != 0) {
        record_.exactPresent = {};
    }
}
