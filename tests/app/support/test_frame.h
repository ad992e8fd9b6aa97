// The frame the GUI tests drive: messages captured instead of shown, the recent-files list in a
// temporary folder, the frame shown, and the example models as the models folder.
#pragma once

#include "app/gui/command_ids.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include <QTemporaryDir>

#include <memory>

inline std::unique_ptr<TAxoliteApp> testFrame(const QTemporaryDir& dir) {
    Notifier::instance().setCapturing(true);
    Notifier::instance().clearCaptured();
    auto frame = std::make_unique<TAxoliteApp>(dir.filePath(QStringLiteral("Axolite.ini")));
    frame->show();
    auto& folders = frame->client()->folders();
    folders.models = AXOLITE_EXAMPLES_DIR "/models";
    folders.set = true;
    return frame;
}

// The description opened, made active, checked and simulated, its check window left open (where
// the check and the run live); nullptr when any of it failed.
inline TAxoliteMDIChild* openSimulated(TAxoliteApp& frame, const QString& path) {
    TAxoliteMDIChild* child = frame.openDescription(path);
    if (child == nullptr) {
        return nullptr;
    }
    frame.client()->setActiveSubWindow(child);
    frame.execute(axolite::gui::CmCheck);
    if (child->checkWindow() == nullptr || !child->checkWindow()->correct()) {
        return nullptr;
    }
    child->checkWindow()->calculate();
    return child->record().simulated != 0 ? child : nullptr;
}
