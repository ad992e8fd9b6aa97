// The frame knows every tool through this one list; the tools know only the gui floor.
#include "shell/tool_catalogue.h"

#include "reference/reference_tools.h"
#include "simulation/simulation_tools.h"
#include "training/training_tools.h"
#include "views/views_tools.h"

void registerAllTools() {
    registerSimulationTools();
    registerReferenceTools();
    registerTrainingTools();
    registerViewTools();
}
