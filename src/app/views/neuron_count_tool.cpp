// An example tool: a dialog that shows how many neurons the active description has (known once it
// was checked). All of it is here; outside this file it takes one line of the subsystem's
// registration and one placement entry in the frame.
#include "app/gui/description_window.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"

#include <QMessageBox>

axolite::gui::ToolDescriptor neuronCountTool() {
    axolite::gui::ToolDescriptor tool;
    tool.id = 31000;
    tool.menuText = "Число нейронов ...";
    tool.hint = "Показать число нейронов сети";
    tool.captionPrefix = "Число нейронов ";
    tool.enabled = [](const DescriptionWindow* active) { return active != nullptr; };
    tool.open = [](axolite::gui::ToolHost& host, DescriptionWindow* window) {
        if (window == nullptr) {
            return;
        }
        QMessageBox box(
            QMessageBox::Information, axolite::gui::toolCaption(31000, window->displayName()),
            QString::number(window->record().neurons), QMessageBox::Ok, host.frameWidget());
        box.exec();
    };
    return tool;
}
