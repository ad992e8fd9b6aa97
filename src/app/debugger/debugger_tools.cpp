// "Отладка ...": opens the debugger window of the active simulated description (or brings the one
// it has to the front) and holds it in the register of tool windows.
#include "app/debugger/debugger_tools.h"

#include "app/debugger/debug_window.h"
#include "app/gui/command_glyphs.h"
#include "app/gui/command_ids.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/gui/tool_windows.h"
#include "core/common/message.h"

#include <QPainter>

namespace {

using axolite::gui::CmDebugger;
using axolite::gui::ToolWindows;

// The window of the description whose session goes on (an ended one gives way to a new one).
TDebugWindow* runningDebugger(const DescriptionWindow* window) {
    auto* open = qobject_cast<TDebugWindow*>(ToolWindows::instance().find(CmDebugger, window));
    return open != nullptr && open->session() != nullptr ? open : nullptr;
}

void openDebugger(axolite::gui::ToolHost& host, DescriptionWindow* window) {
    if (TDebugWindow* open = runningDebugger(window)) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    if (QWidget* ended = ToolWindows::instance().find(CmDebugger, window)) {
        ended->close();
    }
    try {
        auto* debugger = new TDebugWindow(window, host.frameWidget());
        ToolWindows::instance().hold(CmDebugger, window, debugger);
        debugger->show();
        emit window->stateChanged();
    } catch (const axolite::AxoliteError& error) {
        Notifier::instance().show(error.message(), host.frameWidget());
    }
}

void drawDebugger(QPainter& p) {
    // A step mark on a line: the run stopped at one step.
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawLine(1, 12, 14, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QRect(5, 3, 6, 6));
}

} // namespace

// No modal loop and no computation: the window stays open while a run elsewhere goes on.
axolite::gui::ToolDescriptor debuggerTool() {
    return {CmDebugger,
            "Отладка ...",
            "Пройти шаги моделирования и объяснить значения нейронов",
            {},
            drawDebugger,
            "Отладка ",
            [](const DescriptionWindow* active) {
                return axolite::debugger_gui::canDebug(active) && !runningDebugger(active);
            },
            false,
            openDebugger};
}

void registerDebuggerTools() {
    AXOLITE_REGISTER_TOOL(debuggerTool);
}
