// The experiment records of the training dialog.
#include "app/training/experiment_files.h"

#include "app/gui/notifier.h"
#include "app/training/network_form_page.h"
#include "app/training/teach_network_ids.h"
#include "app/training/training_page.h"
#include "app/training/training_views.h"
#include "core/training/training_record.h"

#include <QFileInfo>
#include <QPushButton>

namespace axolite::training_ui {

namespace {

const QString kFilter = QStringLiteral("Записи экспериментов (*.json);;Все типы файлов (*.*)");

QPushButton* button(const QString& text, int id, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    return b;
}

// The record of the dialog's last run.
nlohmann::ordered_json runRecord(const TrainingState& state) {
    const RunRecordParts& parts = state.lastRun();
    training::TrainingRun run(parts.seed);
    run.trainer = state.trainer();
    run.parameters = parts.parameters;
    run.outcome = parts.outcome;
    run.norms = state.curve().norms;
    run.errors = state.curve().errors;
    run.trace = parts.trace;
    return training::trainingRecord(parts.settings, parts.seed, run);
}

// The parts of a record the dialog keeps as its last run.
RunRecordParts recordParts(const training::RecordContents& contents, nlohmann::json record) {
    RunRecordParts parts;
    parts.settings = contents.settings;
    parts.seed = contents.seed;
    training::TrainingRun run(contents.seed);
    try {
        training::applySettings(contents.settings, run);
    } catch (const training::SettingsError&) {
        run.parameters.method = contents.method; // the layers come from the networks
    }
    parts.parameters = run.parameters;
    parts.outcome.interrupted = contents.interrupted;
    parts.outcome.stoppedAtLocalMinimum = contents.stoppedAtLocalMinimum;
    parts.lint = contents.lint;
    parts.opened = std::move(record);
    return parts;
}

} // namespace

QString recordRefusalText(const training::RecordError& failure) {
    const QString path = QString::fromStdString(failure.path());
    switch (failure.reason()) {
    case training::RecordError::Reason::Unreadable:
        return QStringLiteral("Невозможно прочитать файл %1.").arg(path);
    case training::RecordError::Reason::NotARecord:
        return QStringLiteral("Файл %1 не является записью эксперимента обучения.").arg(path);
    case training::RecordError::Reason::BadNetwork:
        return QStringLiteral("Запись эксперимента %1 повреждена: сеть в ней не является "
                              "многослойной сетью.")
            .arg(path);
    case training::RecordError::Reason::Incomplete:
        break;
    }
    return QStringLiteral("Запись эксперимента %1 неполна или повреждена.").arg(path);
}

ExperimentFiles::ExperimentFiles(TrainingState& state, NetworkFormPage& form, TrainingPage& page,
                                 gui::ToolHost* host, QWidget* dialog)
    : QObject(dialog), state_(state), form_(form), page_(page), host_(host), dialog_(dialog) {
    save_ = button(QStringLiteral("Сохранить эксперимент ..."), IdSaveExperiment, dialog);
    open_ = button(QStringLiteral("Открыть эксперимент ..."), IdOpenExperiment, dialog);
    save_->setEnabled(false);
    connect(save_, &QPushButton::clicked, this, &ExperimentFiles::chooseSave);
    connect(open_, &QPushButton::clicked, this, &ExperimentFiles::chooseOpen);
    // After the dialog has given the buttons back the state they had before the run.
    connect(&state_, &TrainingState::runEnded, this, &ExperimentFiles::enableSave);
    connect(&state_, &TrainingState::resultsChanged, this, &ExperimentFiles::enableSave);
}

void ExperimentFiles::enableSave() {
    save_->setEnabled(!state_.running() && state_.lastRun().available);
}

void ExperimentFiles::chooseSave() {
    if (state_.running() || !state_.lastRun().available) {
        return;
    }
    const QString path =
        chooseTrainingFile(dialog_, true, QStringLiteral("Сохранить эксперимент"),
                           trainingFolder(host_, 0), kFilter, QStringLiteral("json"));
    if (!path.isEmpty()) {
        save(path);
    }
}

void ExperimentFiles::chooseOpen() {
    if (state_.running()) {
        return;
    }
    const QString path =
        chooseTrainingFile(dialog_, false, QStringLiteral("Открыть эксперимент"),
                           trainingFolder(host_, 0), kFilter, QStringLiteral("json"));
    if (!path.isEmpty()) {
        open(path);
    }
}

bool ExperimentFiles::save(const QString& path) {
    const RunRecordParts& parts = state_.lastRun();
    if (!parts.available) {
        return false;
    }
    const std::string text = parts.opened.is_null() ? training::recordText(runRecord(state_))
                                                    : parts.opened.dump(1) + "\n";
    return writeTextFile(path, QString::fromStdString(text), dialog_);
}

bool ExperimentFiles::open(const QString& path) {
    if (state_.running()) {
        return false;
    }
    nlohmann::json record;
    training::RecordContents contents;
    try {
        record = training::readRecordFile(path.toStdString());
        contents = training::recordContents(record, path.toStdString());
    } catch (const training::RecordError& failure) {
        Notifier::instance().show(MessageKind::Error, recordRefusalText(failure), dialog_);
        return false;
    }
    form_.setConfiguration(contents.final.configuration);
    state_.trainer().restoreRun(contents.initial.network, contents.final.network, contents.method,
                                contents.status, contents.rows);
    TrainingCurve& curve = state_.curve();
    curve.norms = contents.norms;
    curve.errors = contents.errors;
    curve.iterations = training::countOfText(contents.settings.iterations);
    page_.showRecord(contents.settings, contents.seed, !contents.errors.empty());
    // "Обучить" continues from the final network, as the tool's --from-record does.
    Continuation next{contents.final.network, {}, path.toStdString(), QFileInfo(path).fileName()};
    state_.restoreRun(recordParts(contents, std::move(record)), std::move(next));
    return true;
}

} // namespace axolite::training_ui
