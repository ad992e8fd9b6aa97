// The neuron-model command opens the model dialog on the folder settings of the run.
#include "app/simulation/simulation_tools.h"

#include "app/gui/command_glyphs.h"
#include "app/gui/command_ids.h"
#include "app/gui/description_window.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/simulation/choose_model.h"

#include <QPainter>

void registerSimulationTools() {
    axolite::gui::registerTool({
        axolite::gui::CmNeuronModel,
        "Опредение модели нейроноподобного элемента ...",
        "Определить модель нейроноподобного элемента",
        QKeySequence(Qt::Key_F7),
        [](QPainter& p) {
            axolite::gui::glyphLetter(p, QStringLiteral("f"), {120, 60, 150});
        },
        "",
        // Not while the description's check window holds its check.
        [](const DescriptionWindow* active) { return active != nullptr && !active->checkOpen(); },
        true,
        [](axolite::gui::ToolHost& host, DescriptionWindow*) {
            TChooseModel dialog(&host.folders(), host.frameWidget());
            dialog.exec();
        },
    });
}
