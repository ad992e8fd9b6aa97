// The watches, their table and the explanation of the selected value.
#include "app/debugger/watch_panel.h"

#include "app/debugger/debugger_ids.h"
#include "app/debugger/watch_table.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "core/common/message.h"
#include "core/debugger/debug_session.h"
#include "render/safe_file.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

using namespace axolite::debugger_gui;

TWatchPanel::TWatchPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* adding = new QHBoxLayout;
    adding->addWidget(new QLabel(QStringLiteral("Нейрон:"), this));
    number_ = named(new QSpinBox(this), kNeuronNumber);
    number_->setRange(1, 1);
    adding->addWidget(number_);
    auto* add = named(new QPushButton(QStringLiteral("Добавить"), this), kAddWatch);
    auto* outputs =
        named(new QPushButton(QStringLiteral("Нейроны выходного слоя"), this), kAddOutputWatches);
    auto* remove = named(new QPushButton(QStringLiteral("Убрать"), this), kRemoveWatch);
    for (QPushButton* button : {add, outputs, remove}) {
        button->setAutoDefault(false);
        adding->addWidget(button);
    }
    adding->addStretch(1);
    layout->addLayout(adding);

    model_ = new TWatchTableModel(this);
    table_ = named(new QTableView(this), kWatchTable);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 3);

    auto* saving = new QHBoxLayout;
    auto* copy = named(new QPushButton(QStringLiteral("Копировать таблицу"), this), kCopyTable);
    auto* save = named(new QPushButton(QStringLiteral("Сохранить как CSV ..."), this), kSaveTable);
    for (QPushButton* button : {copy, save}) {
        button->setAutoDefault(false);
        saving->addWidget(button);
    }
    saving->addStretch(1);
    layout->addLayout(saving);

    explanation_ = named(new QListWidget(this), kExplanation);
    layout->addWidget(explanation_, 2);
    controls_ = {number_, add, outputs, remove, copy, save};

    connect(add, &QPushButton::clicked, this, [this] { addWatch(number_->value()); });
    connect(outputs, &QPushButton::clicked, this, &TWatchPanel::addOutputWatches);
    connect(remove, &QPushButton::clicked, this, &TWatchPanel::removeSelectedWatch);
    connect(copy, &QPushButton::clicked, this, &TWatchPanel::copyTable);
    connect(save, &QPushButton::clicked, this, &TWatchPanel::exportTable);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TWatchPanel::explainSelected);
    connect(explanation_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (const int line = item->data(Qt::UserRole).toInt(); line > 0) {
            emit lineChosen(line);
        }
    });
}

void TWatchPanel::setSession(axolite::debugger::DebugSession* session) {
    session_ = session;
    for (QWidget* control : controls_) {
        control->setEnabled(session != nullptr);
    }
    if (session != nullptr) {
        number_->setRange(1, std::max(1, session->run().neurons));
    }
}

bool TWatchPanel::addWatch(int number) {
    if (session_ == nullptr) {
        return false;
    }
    try {
        session_->addWatch(number - 1);
    } catch (const axolite::AxoliteError& error) {
        Notifier::instance().show(error.message(), this);
        return false;
    }
    refresh();
    selectNeuron(number - 1);
    return true;
}

void TWatchPanel::addOutputWatches() {
    if (session_ == nullptr) {
        return;
    }
    session_->addOutputWatches();
    refresh();
}

void TWatchPanel::removeSelectedWatch() {
    if (const auto neuron = selectedNeuron(); neuron && session_ != nullptr) {
        session_->removeWatch(*neuron);
        refresh();
    }
}

void TWatchPanel::selectNeuron(std::int32_t neuron) {
    const auto& rows = model_->rows();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].neuron == neuron) {
            table_->selectRow(static_cast<int>(k));
            return;
        }
    }
}

std::optional<std::int32_t> TWatchPanel::selectedNeuron() const {
    const QModelIndexList selected = table_->selectionModel()->selectedRows();
    if (selected.isEmpty() || selected.front().row() >= model_->rowCount()) {
        return std::nullopt;
    }
    return model_->rows()[static_cast<std::size_t>(selected.front().row())].neuron;
}

void TWatchPanel::refresh() {
    if (session_ == nullptr) {
        return;
    }
    const auto before = selectedNeuron();
    const int rowsBefore = model_->rowCount();
    model_->setRows(session_->watchRows());
    if (model_->rowCount() != rowsBefore) {
        table_->resizeColumnsToContents();
        // The model was reset: the same neuron stays selected, else the first row.
        if (before) {
            selectNeuron(*before);
        }
        if (!selectedNeuron() && model_->rowCount() > 0) {
            table_->selectRow(0);
        }
    }
    explainSelected();
}

void TWatchPanel::explainSelected() {
    explanation_->clear();
    lines_.clear();
    const auto neuron = selectedNeuron();
    if (session_ != nullptr && neuron) {
        try {
            const auto explanation = session_->explain(*neuron);
            for (const auto& row : axolite::debugger::explanationRows(explanation)) {
                auto* item = new QListWidgetItem(QString::fromStdString(row.text), explanation_);
                item->setData(Qt::UserRole, row.line);
            }
            lines_ = axolite::debugger::explanationLines(explanation);
        } catch (const axolite::AxoliteError& error) {
            // The engine's refusal stands in the list instead of the explanation.
            explanation_->addItem(QString::fromStdString(error.text()));
        }
    }
    emit explained();
}

QString TWatchPanel::tableText() const {
    return QString::fromStdString(axolite::debugger::watchTableCsv(model_->rows()));
}

void TWatchPanel::copyTable() const {
    QApplication::clipboard()->setText(tableText());
}

bool TWatchPanel::saveTable(const QString& path) {
    if (axolite::render::writeFile(path, tableText().toUtf8())) {
        Notifier::instance().show(
            axolite::MessageKind::Error,
            QStringLiteral("Невозможно записать файл %1").arg(QDir::toNativeSeparators(path)),
            this);
        return false;
    }
    return true;
}

void TWatchPanel::exportTable() {
    if (const QString path = axolite::gui::chooseCsvFile(this); !path.isEmpty()) {
        saveTable(path);
    }
}
