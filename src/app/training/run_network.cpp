// The investigation dialog: eighteen input fields, "Работа" on a copy of the trained network, and
// the responses with their CSV export.
#include "app/training/run_network.h"

#include "app/gui/help_window.h"
#include "app/training/training_controls.h"
#include "app/training/training_views.h"
#include "core/common/number_text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TRunNetwork::TRunNetwork(const axolite::training::LayeredNetwork& network, int inputs,
                         QWidget* parent)
    : QDialog(parent), network_(network), inputs_(inputs) {
    setWindowTitle(QStringLiteral("Исследование работы нейронной сети "));

    auto* inputGroup = new QGroupBox(QStringLiteral("Входной образ"), this);
    auto* grid = new QGridLayout(inputGroup);
    for (int i = 0; i < 18; ++i) {
        auto* label = new QLabel(QStringLiteral("x%1 :").arg(i + 1), inputGroup);
        label->setObjectName(QString::number(IdFieldLabel + i));
        auto* field = new QLineEdit(QStringLiteral("0.0"), inputGroup);
        field->setObjectName(QString::number(IdField + i));
        field->setValidator(axolite::training_ui::numberCharacters(field));
        field->setFixedWidth(90);
        const bool used = i < inputs_;
        label->setEnabled(used);
        field->setEnabled(used);
        grid->addWidget(label, i % 6, (i / 6) * 2);
        grid->addWidget(field, i % 6, (i / 6) * 2 + 1);
        fields_[static_cast<std::size_t>(i)] = field;
    }

    auto* outputGroup = new QGroupBox(QStringLiteral("Выходной образ"), this);
    response_ = new QPlainTextEdit(outputGroup);
    response_->setObjectName(QString::number(IdResponse));
    response_->setReadOnly(true);
    response_->setMinimumHeight(110);
    response_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(response_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Сохранить как CSV ..."), this, &TRunNetwork::chooseCsv)
            ->setEnabled(!investigations_.empty());
        menu.exec(response_->mapToGlobal(at));
    });
    auto* outputLayout = new QVBoxLayout(outputGroup);
    outputLayout->addWidget(response_);

    workButton_ = new QPushButton(QStringLiteral("Работа"), this);
    workButton_->setObjectName(QString::number(IdWork));
    workButton_->setEnabled(inputs_ >= 1);
    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton->setObjectName(QString::number(IdClose));
    auto* helpButton = new QPushButton(QStringLiteral("Помощь"), this);
    helpButton->setObjectName(QString::number(IdHelp));
    for (QPushButton* b : {workButton_, closeButton, helpButton}) {
        b->setAutoDefault(false);
    }
    connect(workButton_, &QPushButton::clicked, this, &TRunNetwork::work);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        if (help_) {
            help_(kHelpTopic);
        } else {
            openHelp(kHelpTopic);
        }
    });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(workButton_);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addWidget(helpButton);
    auto* groups = new QVBoxLayout;
    groups->addWidget(inputGroup);
    groups->addWidget(outputGroup, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
}

void TRunNetwork::work() {
    if (inputs_ < 1 || network_.empty()) {
        return;
    }
    // A field that holds no number counts as 0.0, as the C conversion would read it.
    std::vector<float> inputs(static_cast<std::size_t>(inputs_), 0.0f);
    for (int i = 0; i < inputs_; ++i) {
        const std::string text = fields_[static_cast<std::size_t>(i)]->text().toStdString();
        axolite::parseFloatPrefix(text.c_str(), inputs[static_cast<std::size_t>(i)]);
    }
    const std::vector<float> response = axolite::training::investigate(network_, inputs);
    QString text;
    for (std::size_t s = 0; s < response.size(); ++s) {
        text +=
            QStringLiteral("y%1 = ").arg(s + 1) +
            QString::fromStdString(axolite::formatNumber("%g", static_cast<double>(response[s]))) +
            u'\n';
    }
    response_->setPlainText(text);
    investigations_.emplace_back(inputs, response);
}

QString TRunNetwork::investigationsCsv() const {
    return axolite::training_ui::investigationCsvText(investigations_);
}

bool TRunNetwork::saveInvestigationsCsv(const QString& path) {
    return axolite::training_ui::writeTextFile(path, investigationsCsv(), this);
}

void TRunNetwork::chooseCsv() {
    const QString path = axolite::training_ui::chooseCsvFile(this);
    if (!path.isEmpty()) {
        saveInvestigationsCsv(path);
    }
}
