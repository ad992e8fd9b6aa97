// The explain dialog and the small dialog that chooses its neuron and step.
#include "app/views/explain_dialog.h"

#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "core/common/number_text.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

using axolite::simulation::Explanation;
using axolite::simulation::ValueOrigin;

namespace {

constexpr int kLineRole = Qt::UserRole + 1;
constexpr int kExplainHelp = 2630;

// The shortest text that reads back to the same double.
QString number(double value) {
    return QString::fromStdString(axolite::shortestNumberText(value));
}

} // namespace

TExplainChoice::TExplainChoice(std::int32_t neurons, std::int32_t steps, std::int32_t neuron,
                               std::int32_t step, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Объяснить значение"));
    neuron_ = new QSpinBox(this);
    neuron_->setObjectName(QStringLiteral("2631"));
    neuron_->setRange(1, std::max(1, neurons));
    neuron_->setValue(neuron);
    step_ = new QSpinBox(this);
    step_->setObjectName(QStringLiteral("2632"));
    step_->setRange(0, std::max(0, steps - 1));
    step_->setValue(step);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Нейрон:"), neuron_);
    layout->addRow(QStringLiteral("Шаг:"), step_);
    layout->addRow(buttons);
}

TExplainDialog::TExplainDialog(DescriptionWindow* window, const Explanation& explanation,
                               QWidget* parent)
    : QDialog(parent), window_(window), explanation_(explanation) {
    const Explanation& e = explanation_;
    const QString n = QString::number(e.neuron + 1);
    setWindowTitle(QStringLiteral("Объяснение значения: нейрон %1, шаг %2").arg(n).arg(e.step));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("2633"));
    list_->setFont(QFont(QStringLiteral("Courier")));
    addLine(QStringLiteral("Нейрон %1, шаг %2 (x = %3)").arg(n).arg(e.step).arg(number(e.x)));
    if (e.origin == ValueOrigin::Initial) {
        addLine(QStringLiteral("Начальное состояние: %1").arg(number(e.value)) +
                    (e.initialLine == 0 ? QStringLiteral("  [не задано в INITSTATE]") : QString()),
                e.initialLine);
    } else {
        addComputation();
    }
    addLine(QStringLiteral("Значение: %1").arg(number(e.value)));

    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int line = item->data(kLineRole).toInt();
        if (line > 0 && window_) {
            window_->showLine(line);
        }
    });
    auto* hint = new QLabel(
        QStringLiteral("Щелчок по строке со ссылкой показывает ее в тексте описания."), this);
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("2"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* help = new QPushButton(QStringLiteral("Помощь"), this);
    help->setObjectName(QStringLiteral("9"));
    connect(help, &QPushButton::clicked, this, [] { openHelp(kExplainHelp); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hint, 1);
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(900, 320);
}

void TExplainDialog::addLine(const QString& text, int line) {
    QString shown = text;
    if (line > 0) {
        shown += QStringLiteral("   [строка %1: %2]")
                     .arg(line)
                     .arg(window_ ? window_->lineText(line).trimmed() : QString());
    }
    auto* item = new QListWidgetItem(shown, list_);
    item->setData(kLineRole, line);
    if (line > 0) {
        item->setToolTip(QStringLiteral("Показать строку %1 описания").arg(line));
    }
}

// A value computed at its step: the sum of the weighted inputs, the model, and the transfer
// function applied (or the value held).
void TExplainDialog::addComputation() {
    const Explanation& e = explanation_;
    const QString n = QString::number(e.neuron + 1);
    addLine(QStringLiteral("net = Σ (вход_k + активность_k) * w_%1k, значения шага %2:")
                .arg(n)
                .arg(e.step - 1));
    for (const auto& t : e.terms) {
        addLine(QStringLiteral("  нейрон %1: (%2 + %3) * %4 = %5")
                    .arg(t.source + 1)
                    .arg(number(t.input), number(t.activity), number(t.weight), number(t.product)),
                t.line);
    }
    if (e.terms.empty()) {
        addLine(QStringLiteral("  (нет связей с ненулевым весом)"));
    }
    addLine(QStringLiteral("net = %1").arg(number(e.net)));
    addModel();
    if (e.origin == ValueOrigin::Held) {
        addLine(QStringLiteral("Значение удержано: счетчик ожидания %1 (не 0 и не -1), значение "
                               "шага %2 сохранено; f(net) не применяется")
                    .arg(e.waitCounter)
                    .arg(e.step - 1),
                e.waitLine);
    } else {
        addLine(QStringLiteral("f(net) = %1 = %2")
                    .arg(QString::fromStdString(
                             axolite::simulation::transferCaseText(e.kind, e.parameters, e.net)),
                         number(e.result)));
        addLine(QStringLiteral("Счетчик ожидания: %1 (в начале шага %2)")
                    .arg(e.waitCount)
                    .arg(e.waitCounter),
                e.waitLine);
    }
}

// The model's code, kind and parameters, and where they come from.
void TExplainDialog::addModel() {
    const Explanation& e = explanation_;
    QString model = QStringLiteral("Модель %1 (%2): Y1 = %3, X1 = %4")
                        .arg(e.code)
                        .arg(QString::fromStdString(axolite::simulation::modelKindText(e.kind)),
                             number(e.parameters.y1), number(e.parameters.x1));
    if (axolite::simulation::kindHasShift(e.kind)) {
        model += QStringLiteral(", Xt = %1").arg(number(e.parameters.xt));
    }
    if (e.modelLine == 0) {
        model += QStringLiteral("  [модель по умолчанию]");
    }
    addLine(model, e.modelLine);
}

int TExplainDialog::descriptionLine(int row) const {
    const QListWidgetItem* item = list_->item(row);
    return item != nullptr ? item->data(kLineRole).toInt() : 0;
}

namespace axolite::views_gui {

bool canExplain(const DescriptionWindow* window) {
    // Its choice is a modal dialog: not while any computation runs (it would hold the run).
    return window != nullptr && !window->computing() &&
           !gui::ComputationRegister::instance().anyBusy() && window->record().simulated != 0 &&
           window->checkResult() != nullptr && window->simulation() != nullptr;
}

TExplainDialog* explainValue(QWidget* parent, DescriptionWindow* window, std::int32_t step) {
    if (window == nullptr) {
        return nullptr;
    }
    if (!canExplain(window)) {
        Notifier::instance().show(MessageKind::Information,
                                  QString::fromStdString(simulation::notSimulatedText()), parent);
        return nullptr;
    }
    const language::NetworkRecord& record = window->record();
    TExplainChoice choice(record.neurons, record.steps, record.outputIndices[0] + 1, step, parent);
    if (choice.exec() != QDialog::Accepted || !canExplain(window)) {
        return nullptr;
    }
    try {
        const simulation::Explanation e =
            simulation::explainValue(record, *window->checkResult(), *window->simulation(),
                                     choice.neuron()->value() - 1, choice.step()->value());
        auto* dialog = new TExplainDialog(window, e, parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        return dialog;
    } catch (const AxoliteError& error) {
        Notifier::instance().show(error.message(), parent);
        return nullptr;
    }
}

} // namespace axolite::views_gui
