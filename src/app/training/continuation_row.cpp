// "Загрузить сеть ..." and the network the next run continues.
#include "app/training/continuation_row.h"

#include "app/gui/notifier.h"
#include "app/training/network_form_page.h"
#include "app/training/teach_network_ids.h"
#include "app/training/training_page.h"
#include "app/training/training_views.h"
#include "core/platform/folder_settings.h"
#include "core/training/network_loading.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace axolite::training_ui {

ContinuationRow::ContinuationRow(TrainingState& state, NetworkFormPage& form, gui::ToolHost* host,
                                 QWidget* parent)
    : QWidget(parent), state_(state), form_(form), host_(host) {
    load_ = new QPushButton(QStringLiteral("Загрузить сеть ..."), this);
    load_->setObjectName(QString::number(IdLoadNetwork));
    load_->setAutoDefault(false);
    note_ = new QLabel(this);
    note_->setObjectName(QString::number(IdContinuation));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(load_);
    row->addWidget(note_, 1);
    connect(load_, &QPushButton::clicked, this, &ContinuationRow::chooseNetwork);
    connect(&form_, &NetworkFormPage::layersEdited, this,
            [this] { state_.setContinuation(std::nullopt); });
    connect(&state_, &TrainingState::continuationChanged, this, &ContinuationRow::showContinuation);
}

void ContinuationRow::chooseNetwork() {
    if (state_.running()) {
        return;
    }
    const QString path = chooseTrainingFile(
        window(), false, QStringLiteral("Загрузить сеть"), trainingFolder(host_, 1),
        QStringLiteral("Нейронная сеть (*.net);;Все типы файлов (*.*)"), QStringLiteral("net"));
    if (!path.isEmpty()) {
        loadNetwork(path);
    }
}

bool ContinuationRow::loadNetwork(const QString& path) {
    training::LoadedNetwork loaded;
    try {
        loaded = training::readNetworkDescription(platform::pathFromUtf8(path.toStdString()));
    } catch (const AxoliteError& failure) {
        Notifier::instance().show(failure.message(), window());
        return false;
    }
    // The ensembles do not shape the network: the page keeps its own.
    training::LayerConfiguration shown = loaded.configuration;
    shown.hiddenEnsembles = form_.configuration().hiddenEnsembles;
    form_.setConfiguration(shown);
    state_.setContinuation(Continuation{
        std::move(loaded.network), path.toStdString(), {}, QFileInfo(path).fileName()});
    return true;
}

QString ContinuationRow::note() const {
    return note_->text();
}

void ContinuationRow::showContinuation() {
    const auto& continuation = state_.continuation();
    note_->setText(
        continuation
            ? QStringLiteral("Обучение продолжит сеть из файла %1").arg(continuation->fileName)
            : QString());
}

} // namespace axolite::training_ui
