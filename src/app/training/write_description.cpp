// The trained network written as a description file.
#include "app/training/write_description.h"

#include "app/gui/notifier.h"
#include "app/gui/opened_note.h"
#include "app/gui/tool_host.h"
#include "app/training/training_page.h"
#include "app/training/training_views.h"
#include "core/platform/folder_settings.h"
#include "core/simulation/simulation.h"
#include "core/training/network_description.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace axolite::training_ui {

void writeTrainedDescription(const training::LayeredNetwork& network, gui::ToolHost* host,
                             TOpenedNote& note, QWidget* parent) {
    // Where the simulation looks its models up, so that the description simulates as written.
    const QString path = chooseTrainingFile(
        parent, true, QStringLiteral("Файл описания нейронной сети"), trainingFolder(host, 1),
        QStringLiteral("Нейронная сеть (*.net)"), QStringLiteral("net"));
    if (path.isEmpty()) {
        return;
    }
    try {
        training::writeDescription(network, platform::pathFromUtf8(path.toStdString()));
    } catch (const AxoliteError& failure) {
        Notifier::instance().show(failure.message(), parent);
        return;
    } catch (const std::exception&) {
        Notifier::instance().show(MessageKind::Error,
                                  QStringLiteral("Невозможно создать файл ") + path, parent);
        return;
    }
    if (host == nullptr) {
        return;
    }
    // The models are written beside the description; a simulation finds them there unless a
    // models folder has been set elsewhere.
    const QString written = QFileInfo(path).absolutePath();
    const auto searched = simulation::modelSearchFolders(
        host->folders(), platform::pathFromUtf8(written.toStdString()));
    const auto asDir = [](const std::filesystem::path& folder) {
        return QDir(QString::fromStdString(platform::utf8FromPath(folder)));
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
            parent);
    }
    note.opened(host->openDescription(path));
}

} // namespace axolite::training_ui
