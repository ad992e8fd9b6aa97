// The tool's offscreen GUI application object.
#include "cli/pictures/headless_gui.h"

#include <QGuiApplication>

#include <iostream>

namespace axolite::cli {

namespace {

// Qt's notes on its own set-up (a runtime folder it had to choose, ...) are no concern of a user
// of the tool; its errors still reach standard error.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << '\n';
    }
}

} // namespace

HeadlessGui::HeadlessGui() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtNotes);
    static int argc = 1;
    static char name[] = "axolite-cli";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QGuiApplication>(argc, argv);
}

HeadlessGui::~HeadlessGui() = default;

} // namespace axolite::cli
