// The input-layer activation dialog ("Активирование нейронов входного слоя сети").
#include "app/reference/input_activation_dialog.h"

#include "app/gui/command_ids.h"
#include "app/reference/formula_edit.h"
#include "core/reference/formula.h"
#include "core/reference/input_activation.h"
#include "core/reference/pattern_writers.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

namespace {

constexpr int kFunctionLength = 254;
const QString kFunctionCharacters = QStringLiteral("sincotgexp().+-/*0123456789");
const QString kInitialFunction = QStringLiteral("0");

} // namespace

TInputActivation::TInputActivation(axolite::language::NetworkRecord& record,
                                   const axolite::platform::FolderSettings* folders,
                                   const QString& descriptionPath, QWidget* parent)
    : TReferenceDialog(record, folders, QStringLiteral("inputs"), descriptionPath,
                       axolite::gui::CmInputActivation, parent) {
    setWindowTitle(QStringLiteral("Активация нейронов входного слоя сети - Нейронная сеть"));
    setModal(true);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("102"));
    tabs_->setDrawBase(true);
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);
    if (record_.inputLayer) {
        const std::vector<double>& list = *record_.inputLayer;
        for (std::size_t n = 0; n < list.size(); ++n) {
            functions_ << kInitialFunction;
            if (list[n] != 0.0) {
                tabs_->addTab(QString::asprintf("Нейрон%3g", list[n]));
                tabEntries_.push_back(static_cast<int>(n));
            }
        }
    }

    field_ = new TFormulaEdit("101", kFunctionLength, kFunctionCharacters,
                              axolite::reference::FormulaDialect::Activation, this);
    field_->setMinimumWidth(480);
    field_->setText(kInitialFunction);
    connect(field_, &TFormulaEdit::checked, this, [this](const QString& problem) {
        if (field_->hasFocus()) {
            showReading(problem);
        }
    });
    // The Qt form of the 10 ms poll of the field's modified mark: only typing counts.
    connect(field_, &QLineEdit::textEdited, this, [this] {
        if (watchEdits_) {
            calculate_->setEnabled(true);
        }
    });

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(new QLabel(QStringLiteral("Функция активации нейрона :"), this));
    fieldRow->addWidget(field_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(fieldRow);
    layout->addStretch();
    layout->addLayout(makeButtons(Qt::Horizontal));

    calculate_->setEnabled(false);
    currentTab_ = 0;
    tabs_->setCurrentIndex(0);
    changeTab(0);
    connect(tabs_, &QTabBar::currentChanged, this, &TInputActivation::changeTab);
}

int TInputActivation::entryOfTab(int tab) const {
    return tab >= 0 && tab < static_cast<int>(tabEntries_.size())
               ? tabEntries_[static_cast<std::size_t>(tab)]
               : -1;
}

void TInputActivation::storeField() {
    const int entry = entryOfTab(currentTab_);
    if (entry >= 0) {
        functions_[entry] = field_->text().left(kFunctionLength);
    }
}

void TInputActivation::changeTab(int index) {
    if (index != currentTab_) {
        storeField();
    }
    currentTab_ = index;
    const int entry = entryOfTab(index);
    if (entry < 0) {
        return;
    }
    // Putting the text in is no edit: it does not enable "Посчитать ...".
    field_->setText(functions_[entry]);
    field_->setErrorText(QString::fromStdString(
        axolite::reference::activationErrorText((*record_.inputLayer)[entry])));
}

std::vector<std::string> TInputActivation::functions() const {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(functions_.size()));
    for (const QString& text : functions_) {
        texts.push_back(text.toStdString());
    }
    const int entry = entryOfTab(currentTab_);
    if (entry >= 0) {
        texts[static_cast<std::size_t>(entry)] = field_->text().left(kFunctionLength).toStdString();
    }
    return texts;
}

void TInputActivation::calculate() {
    storeField();
    const std::vector<std::string> texts = functions();
    runComputation(axolite::reference::kInputActivationTitle, /*countsNothing=*/true,
                   [&](axolite::Progress& progress) {
                       return axolite::reference::computeInputActivation(record_, texts, progress);
                   });
}

void TInputActivation::computationCompleted() {
    watchEdits_ = false;
}

void TInputActivation::writePatternFile() {
    writePatterns(axolite::reference::kInputPatternsStatus,
                  &axolite::reference::inputActivationPatternValues);
}

// Remembered per neuron number, so that the functions find their neurons again after the
// input layer was edited: "number<TAB>function" for each used entry.
QStringList TInputActivation::currentValues() const {
    QStringList values;
    const std::vector<std::string> texts = functions();
    for (int entry : tabEntries_) {
        values << QString::asprintf("%g", (*record_.inputLayer)[static_cast<std::size_t>(entry)]) +
                      u'\t' + QString::fromStdString(texts[static_cast<std::size_t>(entry)]);
    }
    return values;
}

void TInputActivation::restoreValues(const QStringList& values) {
    bool changed = false;
    for (const QString& value : values) {
        const qsizetype tab = value.indexOf(u'\t');
        const QString number = value.left(tab);
        for (int entry : tabEntries_) {
            if (QString::asprintf("%g", (*record_.inputLayer)[static_cast<std::size_t>(entry)]) ==
                number) {
                functions_[entry] = value.mid(tab + 1);
                changed = true;
            }
        }
    }
    const int entry = entryOfTab(currentTab_);
    if (entry >= 0) {
        field_->setText(functions_[entry]);
    }
    if (changed && watchEdits_) {
        calculate_->setEnabled(true);
    }
}
