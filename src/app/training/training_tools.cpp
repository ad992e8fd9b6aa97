// Command 42 opens the forming and training dialog modally; the frame's flag keeps the command
// disabled while it is open.
#include "app/training/training_tools.h"

#include "app/gui/command_ids.h"
#include "app/gui/tool_host.h"
#include "app/training/teach_network.h"

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
