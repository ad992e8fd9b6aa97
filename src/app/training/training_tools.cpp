// Command 42 opens the forming and training dialog modally; while it is open the register of tool
// windows holds it and the command is disabled.
#include "app/training/training_tools.h"

#include "app/gui/command_glyphs.h"
#include "app/gui/command_ids.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/gui/tool_windows.h"
#include "app/training/teach_network.h"

#include <QPainter>

void registerTrainingTools() {
    using axolite::gui::CmTeachNetwork;
    using axolite::gui::ToolWindows;
    axolite::gui::registerTool({
        CmTeachNetwork,
        "Обучаемая нейронная сеть ...",
        "Сформировать и обучить многослойную нейронную сеть",
        {},
        [](QPainter& p) { axolite::gui::glyphNetwork(p, QColor(220, 60, 60)); },
        "",
        [](const DescriptionWindow*) {
            return ToolWindows::instance().find(CmTeachNetwork) == nullptr;
        },
        true,
        [](axolite::gui::ToolHost& host, DescriptionWindow*) {
            if (ToolWindows::instance().find(CmTeachNetwork) != nullptr) {
                return;
            }
            TTeachNetwork dialog(&host, host.frameWidget());
            ToolWindows::instance().hold(CmTeachNetwork, nullptr, &dialog);
            host.updateCommands();
            dialog.exec();
            ToolWindows::instance().release(&dialog);
            host.updateCommands();
        },
    });
}
