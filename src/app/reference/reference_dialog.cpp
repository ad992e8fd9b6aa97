// The shared part of the reference dialogs: buttons, a computation with its progress dialog, the
// pattern file, closing, and the values remembered for the run.
#include "app/reference/reference_dialog.h"

#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/gui/pattern_file_dialog.h"
#include "app/gui/status_window.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/simulation.h"
#include "core/training/pattern_file.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <new>
#include <utility>

using axolite::reference::ComputationOutcome;

namespace {

// Per tool, per description file: the texts of the last computation or closing in this run.
QHash<QString, QHash<QString, QStringList>>& memory() {
    static QHash<QString, QHash<QString, QStringList>> values;
    return values;
}

QPushButton* makeButton(const QString& text, const char* id, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(id));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TReferenceDialog::TReferenceDialog(axolite::language::NetworkRecord& record,
                                   const axolite::platform::FolderSettings* folders, QString tool,
                                   QString descriptionPath, int helpTopic, QWidget* parent)
    : QDialog(parent), record_(record), folders_(folders), tool_(std::move(tool)),
      descriptionPath_(std::move(descriptionPath)), helpTopic_(helpTopic) {
    patterns_ = makeButton(QStringLiteral("Сформировать файл образов ..."), "1138", this);
    calculate_ = makeButton(QStringLiteral("Посчитать ..."), "137", this);
    restore_ = makeButton(QStringLiteral("Восстановить прежние значения"), "1139", this);
    patterns_->setEnabled(false);
    restore_->setEnabled(!rememberedValues(tool_, descriptionPath_).isEmpty());
    restore_->setToolTip(
        QStringLiteral("Значения, с которыми этот файл описания считался в последний раз"));
    connect(calculate_, &QPushButton::clicked, this, [this] { calculate(); });
    connect(patterns_, &QPushButton::clicked, this, [this] { writePatternFile(); });
    connect(restore_, &QPushButton::clicked, this,
            [this] { restoreValues(rememberedValues(tool_, descriptionPath_)); });
}

TReferenceDialog::~TReferenceDialog() {
    if (progress_) {
        delete progress_.data();
    }
}

QBoxLayout* TReferenceDialog::makeButtons(Qt::Orientation orientation) {
    auto* closeButton = makeButton(QStringLiteral("Закрыть"), "2", this);
    auto* helpButton = makeButton(QStringLiteral("Помощь"), "9", this);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(helpButton, &QPushButton::clicked, this, [this] { openHelp(helpTopic_); });
    auto* layout = orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout)
                                                 : static_cast<QBoxLayout*>(new QVBoxLayout);
    layout->addWidget(patterns_);
    layout->addWidget(calculate_);
    layout->addWidget(restore_);
    layout->addStretch();
    layout->addWidget(closeButton);
    layout->addWidget(helpButton);
    return layout;
}

std::array<TReferenceDialog::GridField, 3>
TReferenceDialog::makeGridFields(const std::array<const char*, 6>& ids,
                                 const std::array<QString, 3>& labels) {
    const double values[3] = {record_.t0, record_.h, record_.t1 - record_.t0};
    std::array<GridField, 3> fields{};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(labels[i], this);
        label->setObjectName(QString::fromLatin1(ids[2 * i]));
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(ids[2 * i + 1]));
        field->setMaxLength(9);
        field->setReadOnly(true);
        field->setText(QString::asprintf("%-9g", values[i]));
        field->setMaximumWidth(110);
        label->setEnabled(false);
        field->setEnabled(false);
        fields[i] = {label, field};
    }
    return fields;
}

QStringList TReferenceDialog::rememberedValues(const QString& tool,
                                               const QString& descriptionPath) {
    if (descriptionPath.isEmpty()) {
        return {};
    }
    return memory().value(tool).value(descriptionPath);
}

void TReferenceDialog::forgetRememberedValues() {
    memory().clear();
}

void TReferenceDialog::rememberValues(bool evenIfUntouched) {
    if (descriptionPath_.isEmpty()) {
        return;
    }
    const QStringList values = currentValues();
    // A dialog closed as it opened must not replace the values worth restoring.
    const bool untouched = std::all_of(values.begin(), values.end(), [this](const QString& v) {
        return v.section(u'\t', -1) == initialText();
    });
    if (evenIfUntouched || !untouched) {
        memory()[tool_][descriptionPath_] = values;
    }
}

void TReferenceDialog::showReading(const QString& problem) {
    if (statusLine_) {
        statusLine_(problem);
    }
}

TReferenceDialog::RunEnd TReferenceDialog::runComputation(
    const char* title, bool countsNothing,
    const std::function<ComputationOutcome(axolite::Progress&)>& compute) {
    if (running_) {
        return RunEnd::Failed;
    }
    rememberValues(/*evenIfUntouched=*/true);
    running_ = true;
    const bool calculateBefore = calculate_->isEnabled();
    calculate_->setEnabled(false); // no second run from inside this one's event processing
    // Neither may any other button of the dialog open its work (a file dialog, the step-size
    // study) from there: it would hold the run until it closed. "Закрыть" stops the run and
    // "Помощь" holds nothing.
    std::vector<std::pair<QPointer<QPushButton>, bool>> held;
    for (QPushButton* button : findChildren<QPushButton*>()) {
        const QString id = button->objectName();
        if (button->window() == this && button != calculate_ && id != QLatin1String("2") &&
            id != QLatin1String("9")) {
            held.emplace_back(button, button->isEnabledTo(button->parentWidget()));
            button->setEnabled(false);
        }
    }
    if (progress_) {
        delete progress_.data();
    }
    progress_ = new TCalculationProgress(&record_, QString::fromUtf8(title), this);
    if (countsNothing) {
        progress_->disableStatistics();
    }
    RunEnd end = RunEnd::Failed;
    std::optional<axolite::Message> refusal;
    try {
        const axolite::gui::ComputationGuard guard(record_);
        end = compute(*progress_) == ComputationOutcome::Completed ? RunEnd::Completed
                                                                   : RunEnd::Cancelled;
    } catch (const axolite::AxoliteError& error) {
        refusal = error.message();
    } catch (const std::bad_alloc&) {
        // The series of a grid that fits no longer in memory: told, nothing else lost.
        refusal = axolite::simulation::outOfMemoryMessage();
    }
    running_ = false;
    for (const auto& [button, enabled] : held) {
        if (button) {
            button->setEnabled(enabled);
        }
    }

    switch (end) {
    case RunEnd::Completed:
        QApplication::beep();
        progress_->finish();
        calculate_->setEnabled(false);
        patterns_->setEnabled(true);
        computationCompleted();
        break;
    case RunEnd::Cancelled:
        progress_->finish();
        progress_->deleteLater();
        calculate_->setEnabled(true);
        patterns_->setEnabled(false);
        break;
    case RunEnd::Failed:
        // The progress dialog goes before the message; the buttons stay as they were.
        delete progress_.data();
        calculate_->setEnabled(calculateBefore);
        break;
    }
    emit recordChanged();
    if (refusal) {
        Notifier::instance().show(*refusal, this);
    }
    if (closeWhenIdle_) {
        close();
    }
    return end;
}

void TReferenceDialog::writePatterns(
    const char* statusText,
    std::vector<double> (*values)(const axolite::language::NetworkRecord&)) {
    lastStatusText_ = QString::fromUtf8(statusText);
    try {
        axolite::gui::savePatternFile(this, folders_, lastStatusText_, values(record_));
    } catch (const std::bad_alloc&) {
        // The values did not fit in memory; the file under the name stays as it was.
        Notifier::instance().show(axolite::MessageKind::Error,
                                  QStringLiteral("Недостаточно памяти для моделирования работы "
                                                 "нейронной сети."),
                                  this);
    }
}

void TReferenceDialog::stopThenClose() {
    closeWhenIdle_ = true;
    if (progress_) {
        progress_->interrupt();
    }
    record_.cancelRequested = 1;
}

void TReferenceDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Not from under the computation: stop it and close when it has ended.
        stopThenClose();
        event->ignore();
        return;
    }
    rememberValues(/*evenIfUntouched=*/false);
    closeRecord();
    emit recordChanged();
    setResult(QDialog::Rejected);
    event->accept();
}

void TReferenceDialog::reject() {
    close();
}
