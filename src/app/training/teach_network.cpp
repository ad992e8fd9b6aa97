// The dialog "Формирование и обучение нейронной сети ": its three pages, "Закрыть", "Помощь",
// the guard against closing during a run, and the generated description.
#include "app/training/teach_network.h"

#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/gui/opened_note.h"
#include "app/gui/tool_host.h"
#include "app/training/training_views.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/simulation.h"
#include "core/training/network_description.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

using axolite::MessageKind;
using namespace axolite::training_ui;

TTeachNetwork::TTeachNetwork(axolite::gui::ToolHost* host, QWidget* parent)
    : QDialog(parent), host_(host) {
    setWindowTitle(QStringLiteral("Формирование и обучение нейронной сети "));
    setModal(true);

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QString::number(IdTabs));
    tabs_->addTab(QStringLiteral("Описание сети"));
    tabs_->addTab(QStringLiteral("Обучение сети"));
    tabs_->addTab(QStringLiteral("Работа сети"));
    tabs_->setDrawBase(true);

    closeButton_ = new QPushButton(QStringLiteral("Закрыть"), this);
    closeButton_->setObjectName(QString::number(IdClose));
    auto* helpButton = new QPushButton(QStringLiteral("Помощь"), this);
    helpButton->setObjectName(QString::number(IdHelp));
    for (QPushButton* b : {closeButton_, helpButton}) {
        b->setAutoDefault(false);
    }
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [this] {
        const int topic = kTeachNetworkTopics[static_cast<std::size_t>(page_)];
        if (help_) {
            help_(topic);
        } else {
            openHelp(topic);
        }
    });

    pages_ = {buildFormPage(), buildTrainingPage(), buildResultsPage()};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    for (QWidget* page : pages_) {
        layout->addWidget(page, 1);
        page->setVisible(false);
        page->setEnabled(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    buttons->addWidget(helpButton);
    layout->addLayout(buttons);

    page_ = -1;
    showPage(FormPage);
    connect(tabs_, &QTabBar::currentChanged, this, &TTeachNetwork::showPage);
    resize(820, 560);
}

TTeachNetwork::~TTeachNetwork() {
    // The trainer goes before the widgets: the list must not read its rows while it is torn down.
    resultsModel_->setRows(nullptr);
}

void TTeachNetwork::showPage(int page) {
    if (page < FormPage || page > ResultsPage || page == page_) {
        return;
    }
    if (page_ >= 0) {
        pages_[static_cast<std::size_t>(page_)]->setVisible(false);
        pages_[static_cast<std::size_t>(page_)]->setEnabled(false);
    }
    page_ = page;
    if (tabs_->currentIndex() != page) {
        const QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(page);
    }
    QWidget* shown = pages_[static_cast<std::size_t>(page)];
    shown->setEnabled(true);
    shown->setVisible(true);
    if (page == FormPage) {
        enableHiddenLayers();
    } else if (page == TrainingPage && !trainer_.trained()) {
        describeButton_->setEnabled(false);
    }
}

void TTeachNetwork::closeEvent(QCloseEvent* event) {
    // Not from under a run: "Прервать " ends it, then the dialog can be closed.
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TTeachNetwork::reject() {
    if (running_) {
        return;
    }
    QDialog::reject();
}

void TTeachNetwork::writeDescriptionFile() {
    if (running_ || !trainer_.trained()) {
        return;
    }
    // Where the simulation looks its models up, so that the description simulates as written.
    const QString path =
        chooseTrainingFile(this, true, QStringLiteral("Файл описания нейронной сети"), folderOf(1),
                           QStringLiteral("Нейронная сеть (*.net)"), QStringLiteral("net"));
    if (path.isEmpty()) {
        return;
    }
    try {
        axolite::training::writeDescription(trainer_.network(),
                                            axolite::platform::pathFromUtf8(path.toStdString()));
    } catch (const axolite::AxoliteError& failure) {
        Notifier::instance().show(failure.message(), this);
        return;
    } catch (const std::exception&) {
        Notifier::instance().show(MessageKind::Error,
                                  QStringLiteral("Невозможно создать файл ") + path, this);
        return;
    }
    if (host_ == nullptr) {
        return;
    }
    // The models are written beside the description; a simulation finds them there unless a
    // models folder has been set elsewhere.
    const QString written = QFileInfo(path).absolutePath();
    const auto searched = axolite::simulation::modelSearchFolders(
        host_->folders(), axolite::platform::pathFromUtf8(written.toStdString()));
    const auto asDir = [](const std::filesystem::path& folder) {
        return QDir(QString::fromStdString(axolite::platform::utf8FromPath(folder)));
    };
    const bool found = std::any_of(searched.begin(), searched.end(), [&](const auto& folder) {
        return asDir(folder).canonicalPath() == QDir(written).canonicalPath();
    });
    if (!found && !searched.empty()) {
        const QString lookedUp = asDir(searched.front()).absolutePath();
        Notifier::instance().show(
            MessageKind::Information,
            QStringLiteral("Файлы моделей нейронов записаны в директорию %1, а при моделировании "
                           "они ищутся в директории %2. Для моделирования этой сети установите "
                           "директорию моделей %1.")
                .arg(written, lookedUp),
            this);
    }
    openedNote_->opened(host_->openDescription(path));
}
