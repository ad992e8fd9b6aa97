// The result views' commands. A view is opened for the active description at most once, bound
// to it and held in the register of tool windows. The graphs command brings up the colour legend
// and the scales window, the dynamics command the legend, each when none is open. Closing the
// graphs view closes the scales window, and the legend when the description is simulated and has
// no dynamics view; closing the dynamics view closes the legend when the description is simulated
// and has no graphs view.
#include "app/views/views_tools.h"

#include "app/gui/command_glyphs.h"
#include "app/gui/command_ids.h"
#include "app/gui/description_window.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/gui/tool_windows.h"
#include "app/views/activity_colors.h"
#include "app/views/dynamics_view.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "app/views/show_scales.h"
#include "app/views/view_binding.h"

#include <QPainter>

namespace {

using axolite::gui::ToolDescriptor;
using axolite::gui::ToolHost;
using axolite::gui::ToolWindows;
using namespace axolite::views_gui;

void closeCompanion(int kind) {
    if (QWidget* window = ToolWindows::instance().find(kind)) {
        window->close();
    }
}

void bringUpLegend(ToolHost& host) {
    if (!ToolWindows::instance().find(kColourLegendWindow)) {
        auto* legend = new TActivityColors(host.frameWidget());
        ToolWindows::instance().hold(kColourLegendWindow, nullptr, legend);
        legend->show();
    }
}

void bringUpScales(ToolHost& host, const DescriptionWindow* window) {
    if (!ToolWindows::instance().find(kScalesWindow)) {
        auto* scales =
            new TShowScales(window != nullptr ? &window->record() : nullptr, host.frameWidget());
        ToolWindows::instance().hold(kScalesWindow, nullptr, scales);
        scales->show();
    }
}

bool simulated(const DescriptionWindow* window) {
    return window != nullptr && window->record().simulated != 0;
}

// Enabled for a simulated description that has no view of this kind open.
axolite::gui::EnablingRule noViewOpen(int kind) {
    return [kind](const DescriptionWindow* active) {
        return simulated(active) && !ToolWindows::instance().find(kind, active);
    };
}

// A view already open for the description comes to the front instead of a second one.
bool raiseOpenView(int kind, const DescriptionWindow* window) {
    QWidget* view = ToolWindows::instance().find(kind, window);
    if (view == nullptr) {
        return false;
    }
    view->show();
    view->raise();
    view->activateWindow();
    return true;
}

template <typename View> View* openView(int kind, ToolHost& host, DescriptionWindow* window) {
    if (!simulated(window) || raiseOpenView(kind, window)) {
        return nullptr;
    }
    auto* view = new View(window, host.frameWidget());
    ToolWindows::instance().hold(kind, window, view);
    return view;
}

void openGraphs(ToolHost& host, DescriptionWindow* window) {
    auto* view = openView<TAxoliteGraphs>(axolite::gui::CmGraphs, host, window);
    if (view == nullptr) {
        return;
    }
    QObject::connect(view, &TAxoliteGraphs::closed, view, [view] {
        closeCompanion(kScalesWindow);
        const DescriptionWindow* bound = view->descriptionWindow();
        if (simulated(bound) && !ToolWindows::instance().find(axolite::gui::CmDynamics, bound)) {
            closeCompanion(kColourLegendWindow);
        }
    });
    view->show();
    bringUpLegend(host);
    bringUpScales(host, window);
    emit window->stateChanged();
}

void openNumeric(ToolHost& host, DescriptionWindow* window) {
    if (auto* view = openView<TAxoliteNumeric>(axolite::gui::CmNumeric, host, window)) {
        view->show();
        emit window->stateChanged();
    }
}

void openDynamics(ToolHost& host, DescriptionWindow* window) {
    auto* view = openView<TNetworkDynamic>(axolite::gui::CmDynamics, host, window);
    if (view == nullptr) {
        return;
    }
    QObject::connect(view, &TNetworkDynamic::closed, view, [view] {
        const DescriptionWindow* bound = view->descriptionWindow();
        if (simulated(bound) && !ToolWindows::instance().find(axolite::gui::CmGraphs, bound)) {
            closeCompanion(kColourLegendWindow);
        }
    });
    view->show();
    bringUpLegend(host);
    emit window->stateChanged();
}

void drawGraphs(QPainter& p) {
    axolite::gui::glyphCurve(p, QColor(200, 30, 30));
}

void drawNumeric(QPainter& p) {
    axolite::gui::glyphLetter(p, QStringLiteral("12"), QColor(90, 90, 90));
}

void drawDynamics(QPainter& p) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(60, 160, 220));
    p.drawRect(2, 8, 3, 7);
    p.drawRect(7, 4, 3, 11);
    p.drawRect(12, 1, 3, 14);
}

// A view opens no modal loop and computes nothing: it stays available during a run.
ToolDescriptor graphsTool() {
    return {axolite::gui::CmGraphs,
            "Графики активности нейронов выходного слоя сети",
            "Показать графики активности нейронов выходного слоя сети",
            {},
            drawGraphs,
            kGraphsCaption,
            noViewOpen(axolite::gui::CmGraphs),
            false,
            openGraphs};
}

ToolDescriptor numericTool() {
    return {axolite::gui::CmNumeric,
            "Числовые значения активности нейронов выходного слоя сети",
            "Показать числовые значения активности нейронов выходного слоя сети",
            {},
            drawNumeric,
            kNumericCaption,
            noViewOpen(axolite::gui::CmNumeric),
            false,
            openNumeric};
}

ToolDescriptor dynamicsTool() {
    return {axolite::gui::CmDynamics,
            "Динамика нейронов выходного слоя сети ...",
            "Показать динамику нейронов выходного слоя сети",
            {},
            drawDynamics,
            kDynamicsCaption,
            noViewOpen(axolite::gui::CmDynamics),
            false,
            openDynamics};
}

} // namespace

void registerViewTools() {
    axolite::gui::registerTool(graphsTool());
    axolite::gui::registerTool(numericTool());
    axolite::gui::registerTool(dynamicsTool());
}
