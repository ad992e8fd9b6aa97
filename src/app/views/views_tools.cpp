// The result views' commands. A view is opened for the active description at most once, bound
// to it and recorded in it. The graphs command brings up the colour legend and the scales window,
// the dynamics command the legend, each when the frame has none open. Closing the graphs view
// closes the scales window, and the legend when the description is simulated and has no dynamics
// view; closing the dynamics view closes the legend when the description is simulated and has no
// graphs view.
#include "app/views/views_tools.h"

#include "app/gui/command_ids.h"
#include "app/gui/description_window.h"
#include "app/gui/tool_host.h"
#include "app/views/activity_colors.h"
#include "app/views/dynamics_view.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "app/views/show_scales.h"

namespace {

using axolite::gui::ToolHost;

void closeCompanion(QPointer<QWidget>& companion) {
    if (QWidget* window = companion.data()) {
        companion = nullptr;
        window->close();
    }
}

// The companion is forgotten by the frame as soon as it closes, whoever closes it.
template <typename Companion> void remember(QPointer<QWidget>& slot, Companion* window) {
    slot = window;
    QObject::connect(window, &Companion::closed, window, [&slot, window] {
        if (slot == window) {
            slot = nullptr;
        }
    });
}

void bringUpLegend(ToolHost& host) {
    if (!host.colourLegend()) {
        auto* legend = new TActivityColors(host.frameWidget());
        remember(host.colourLegend(), legend);
        legend->show();
    }
}

void bringUpScales(ToolHost& host, const DescriptionWindow* window) {
    if (!host.scalesWindow()) {
        auto* scales =
            new TShowScales(window != nullptr ? &window->record() : nullptr, host.frameWidget());
        remember(host.scalesWindow(), scales);
        scales->show();
    }
}

bool simulated(const DescriptionWindow* window) {
    return window != nullptr && window->record().simulated != 0;
}

// A view already open for the description comes to the front instead of a second one.
bool raiseOpenView(QWidget* view) {
    if (view == nullptr) {
        return false;
    }
    view->show();
    view->raise();
    view->activateWindow();
    return true;
}

void openGraphs(ToolHost& host, DescriptionWindow* window) {
    if (!simulated(window) || raiseOpenView(window->graphsView)) {
        return;
    }
    auto* view = new TAxoliteGraphs(window, host.frameWidget());
    window->graphsView = view;
    QObject::connect(view, &TAxoliteGraphs::closed, view, [&host, view] {
        closeCompanion(host.scalesWindow());
        const DescriptionWindow* bound = view->descriptionWindow();
        if (simulated(bound) && !bound->dynamicsView) {
            closeCompanion(host.colourLegend());
        }
    });
    view->show();
    bringUpLegend(host);
    bringUpScales(host, window);
    emit window->stateChanged();
}

void openNumeric(ToolHost& host, DescriptionWindow* window) {
    if (!simulated(window) || raiseOpenView(window->numericView)) {
        return;
    }
    auto* view = new TAxoliteNumeric(window, host.frameWidget());
    window->numericView = view;
    view->show();
    emit window->stateChanged();
}

void openDynamics(ToolHost& host, DescriptionWindow* window) {
    if (!simulated(window) || raiseOpenView(window->dynamicsView)) {
        return;
    }
    auto* view = new TNetworkDynamic(window, host.frameWidget());
    window->dynamicsView = view;
    QObject::connect(view, &TNetworkDynamic::closed, view, [&host, view] {
        const DescriptionWindow* bound = view->descriptionWindow();
        if (simulated(bound) && !bound->graphsView) {
            closeCompanion(host.colourLegend());
        }
    });
    view->show();
    bringUpLegend(host);
    emit window->stateChanged();
}

} // namespace

void registerViewTools() {
    axolite::gui::registerTool(axolite::gui::CmGraphs, openGraphs);
    axolite::gui::registerTool(axolite::gui::CmNumeric, openNumeric);
    axolite::gui::registerTool(axolite::gui::CmDynamics, openDynamics);
}
