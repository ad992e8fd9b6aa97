// Command 42 opens the forming and training dialog modally; the frame's flag keeps the command
// disabled while it is open.
#include "training/training_tools.h"

#include "gui/command_ids.h"
#include "gui/tool_host.h"
#include "training/teach_network.h"

void registerTrainingTools() {
    axolite::gui::registerTool(axolite::gui::CmTeachNetwork,
                               [](axolite::gui::ToolHost& host, DescriptionWindow*) {
                                   if (host.teachNetworkOpen()) {
                                       return;
                                   }
                                   host.teachNetworkOpen() = true;
                                   host.updateCommands();
                                   TTeachNetwork dialog(&host, host.frameWidget());
                                   dialog.exec();
                                   host.teachNetworkOpen() = false;
                                   host.updateCommands();
                               });
}
