// The page "Описание сети" of the training dialog.
#include "app/training/network_form_page.h"

#include "app/training/teach_network_ids.h"
#include "app/training/training_controls.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace axolite::training_ui {

using training::TransferCode;

namespace {

const char* const kKindTexts[4] = {"Линейная", "Ступенчатая", "Сигмовидная", "Гауссова"};

QString id(int number) {
    return QString::number(number);
}

QLineEdit* countField(const QString& text, int number, int low, int high, bool restore,
                      QWidget* parent, int width = 36) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(id(number));
    field->setValidator(new WholeNumberValidator(low, high, restore, field));
    field->setFixedWidth(width);
    return field;
}

// Four radio buttons in a column, numbered from firstId; linearText is the first one's text.
QButtonGroup* kindButtons(QWidget* parent, QBoxLayout* column, int firstId,
                          const QString& linearText, int checked) {
    auto* group = new QButtonGroup(parent);
    for (int k = 0; k < 4; ++k) {
        auto* button =
            new QRadioButton(k == 0 ? linearText : QString::fromUtf8(kKindTexts[k]), parent);
        button->setObjectName(id(firstId + k));
        group->addButton(button, k);
        column->addWidget(button);
    }
    group->button(checked)->setChecked(true);
    return group;
}

// "label [field][spin]"
QHBoxLayout* countRow(const QString& label, QLineEdit* field, SpinButtons* spin, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(label, parent));
    row->addStretch();
    row->addWidget(field);
    row->addWidget(spin);
    return row;
}

// The input or the output layer: its count (1 … 18, spin buttons at countId + 1) and the four
// transfer functions (countId + 2 …).
QGroupBox* layerGroup(const QString& title, const QString& countText, int countId,
                      const QString& linearText, QWidget* page, QLineEdit*& count,
                      QButtonGroup*& kinds) {
    auto* group = new QGroupBox(title, page);
    count = countField(QStringLiteral("1"), countId, 1, 18, true, group);
    auto* spin = new SpinButtons(count, 1, 18, group);
    spin->setObjectName(id(countId + 1));
    auto* column = new QVBoxLayout(group);
    column->addLayout(countRow(countText, count, spin, group));
    kinds = kindButtons(group, column, countId + 2, linearText, 0);
    column->addStretch();
    return group;
}

int clamped(const QLineEdit* field, int low, int high) {
    return std::clamp(leadingWholeNumber(field->text()), low, high);
}

} // namespace

NetworkFormPage::NetworkFormPage(QWidget* parent) : QWidget(parent) {
    auto* inputGroup = layerGroup(
        QStringLiteral("Входной слой сети"), QStringLiteral("Число нейронов входного слоя сети :"),
        IdInputCount, QStringLiteral("Линейная"), this, inputCount_, inputKind_);
    auto* outputGroup =
        layerGroup(QStringLiteral("Выходной слой сети"),
                   QStringLiteral("Число нейронов выходного слоя сети :"), IdOutputCount,
                   QStringLiteral("Линейная "), this, outputCount_, outputKind_);
    QGroupBox* hiddenGroup = buildHiddenGroup();

    auto* outer = new QHBoxLayout;
    outer->addWidget(inputGroup);
    outer->addWidget(outputGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(outer);
    layout->addWidget(hiddenGroup);
    layout->addStretch();
    enableHiddenLayers();
    for (QLineEdit* field : {inputCount_, hiddenCount_, outputCount_}) {
        connect(field, &QLineEdit::textEdited, this, &NetworkFormPage::layersEdited);
    }
    for (QLineEdit* field : hiddenNeurons_) {
        connect(field, &QLineEdit::textEdited, this, &NetworkFormPage::layersEdited);
    }
    for (QButtonGroup* kinds : {inputKind_, hiddenKind_, outputKind_}) {
        connect(kinds, &QButtonGroup::idClicked, this, &NetworkFormPage::layersEdited);
    }
    for (SpinButtons* spin : findChildren<SpinButtons*>()) {
        connect(spin, &SpinButtons::stepped, this, &NetworkFormPage::layersEdited);
    }
}

void NetworkFormPage::addRow(QWidget* row) {
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertWidget(column->count() - 1, row);
}

void NetworkFormPage::setConfiguration(const training::LayerConfiguration& c) {
    inputCount_->setText(QString::number(c.inputNeurons));
    outputCount_->setText(QString::number(c.outputNeurons));
    hiddenCount_->setText(QString::number(c.hiddenLayers));
    for (int h = 0; h < training::kMaxHiddenLayers; ++h) {
        if (h < c.hiddenLayers) {
            hiddenNeurons_[h]->setText(QString::number(c.hiddenNeurons[h]));
        }
        hiddenEnsembles_[h]->setText(QString::number(c.hiddenEnsembles[h]));
    }
    inputKind_->button(static_cast<int>(c.inputTransfer))->setChecked(true);
    outputKind_->button(static_cast<int>(c.outputTransfer))->setChecked(true);
    hiddenKind_->button(c.hiddenTransfer == TransferCode::Linear ? 0 : 2)->setChecked(true);
    enableHiddenLayers();
}

// "Скрытые слои сети": their count with its spin buttons, per layer its neurons and ensembles,
// and their transfer function.
QGroupBox* NetworkFormPage::buildHiddenGroup() {
    auto* hiddenGroup = new QGroupBox(QStringLiteral("Скрытые слои сети"), this);
    // Typing takes 0 … 9; the spin buttons reach 10.
    hiddenCount_ = countField(QStringLiteral("0"), IdHiddenCount, 0, 9, true, hiddenGroup);
    auto* hiddenSpin = new SpinButtons(hiddenCount_, 0, 10, hiddenGroup);
    hiddenSpin->setObjectName(id(IdHiddenSpin));
    connect(hiddenSpin, &SpinButtons::stepped, this, &NetworkFormPage::enableHiddenLayers);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Число нейронов в слое :"), hiddenGroup), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Число нейронных ансамблей в слое :"), hiddenGroup),
                    2, 0);
    for (int h = 0; h < 10; ++h) {
        auto* number = new QLabel(QString::number(h + 1), hiddenGroup);
        number->setAlignment(Qt::AlignCenter);
        grid->addWidget(number, 0, h + 1);
        hiddenNeurons_[h] =
            countField(QStringLiteral("10"), IdHiddenNeurons + h, 1, 18, true, hiddenGroup, 30);
        hiddenEnsembles_[h] =
            countField(QStringLiteral("10"), IdHiddenEnsembles + h, 1, 18, false, hiddenGroup, 30);
        grid->addWidget(hiddenNeurons_[h], 1, h + 1);
        grid->addWidget(hiddenEnsembles_[h], 2, h + 1);
    }
    auto* kinds = new QHBoxLayout;
    hiddenKind_ = kindButtons(hiddenGroup, kinds, IdHiddenKind, QStringLiteral("Линейная"), 2);
    // Hidden layers are linear or sigmoid.
    hiddenKind_->button(1)->setEnabled(false);
    hiddenKind_->button(3)->setEnabled(false);
    auto* hiddenColumn = new QVBoxLayout(hiddenGroup);
    auto* countLine =
        countRow(QStringLiteral("Число скрытых слоев :"), hiddenCount_, hiddenSpin, hiddenGroup);
    countLine->addStretch(4);
    hiddenColumn->addLayout(countLine);
    hiddenColumn->addLayout(grid);
    hiddenColumn->addLayout(kinds);
    return hiddenGroup;
}

void NetworkFormPage::enableHiddenLayers() {
    const int shown = clamped(hiddenCount_, 0, training::kMaxHiddenLayers);
    for (int h = 0; h < training::kMaxHiddenLayers; ++h) {
        hiddenNeurons_[h]->setEnabled(h < shown);
        hiddenEnsembles_[h]->setEnabled(h < shown);
    }
    hiddenKind_->button(1)->setEnabled(false);
    hiddenKind_->button(3)->setEnabled(false);
}

training::LayerConfiguration NetworkFormPage::configuration() const {
    training::LayerConfiguration c;
    const int most = training::kMaxLayerNeurons;
    c.inputNeurons = clamped(inputCount_, 1, most);
    c.inputTransfer = static_cast<TransferCode>(inputKind_->checkedId());
    c.hiddenLayers = clamped(hiddenCount_, 0, training::kMaxHiddenLayers);
    for (int h = 0; h < training::kMaxHiddenLayers; ++h) {
        c.hiddenNeurons[h] = clamped(hiddenNeurons_[h], 1, most);
        // An ensemble count out of range is refused by the competitive method's check.
        c.hiddenEnsembles[h] = leadingWholeNumber(hiddenEnsembles_[h]->text());
    }
    c.hiddenTransfer = hiddenKind_->checkedId() == 0 ? TransferCode::Linear : TransferCode::Sigmoid;
    c.outputNeurons = clamped(outputCount_, 1, most);
    c.outputTransfer = static_cast<TransferCode>(outputKind_->checkedId());
    return c;
}

} // namespace axolite::training_ui
