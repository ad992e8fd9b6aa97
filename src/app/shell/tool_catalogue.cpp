// The frame knows every tool through this one list; the tools know only the gui floor.
#include "app/shell/tool_catalogue.h"

#include "app/debugger/debugger_tools.h"
#include "app/language/language_tools.h"
#include "app/reference/reference_tools.h"
#include "app/simulation/simulation_tools.h"
#include "app/training/training_tools.h"
#include "app/views/views_tools.h"

void registerAllTools() {
    static const bool registered = [] {
        registerSimulationTools();
        registerLanguageTools();
        registerReferenceTools();
        registerTrainingTools();
        registerViewTools();
        registerDebuggerTools();
        return true;
    }();
    (void)registered;
}
