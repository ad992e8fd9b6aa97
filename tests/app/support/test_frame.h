// The frame the GUI tests drive: messages captured instead of shown, the recent-files list in a
// temporary folder, the frame shown, and the example models as the models folder.
#pragma once

#include "app/gui/notifier.h"
#include "app/shell/axolite_app.h"
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
