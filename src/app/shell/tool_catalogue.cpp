// The frame knows every tool through this one list; the tools know only the gui floor.
#include "shell/tool_catalogue.h"

#include "simulation/simulation_tools.h"
#include "training/training_tools.h"

void registerAllTools() {
    registerSimulationTools();
    registerTrainingTools();
}
