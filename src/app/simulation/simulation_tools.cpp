// The neuron-model command opens the model dialog on the folder settings of the run.
#include "app/simulation/simulation_tools.h"

#include "app/gui/command_ids.h"
#include "app/gui/tool_host.h"
#include "app/simulation/choose_model.h"

void registerSimulationTools() {
    axolite::gui::registerTool(axolite::gui::CmNeuronModel,
                               [](axolite::gui::ToolHost& host, DescriptionWindow*) {
                                   TChooseModel dialog(&host.folders(), host.frameWidget());
                                   dialog.exec();
                               });
}
