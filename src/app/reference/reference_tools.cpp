// The reference commands open their dialogs modally on the active description, captioned with
// its name, and tell the description's views when the record changed.
#include "app/reference/reference_tools.h"

#include "app/gui/command_glyphs.h"
#include "app/gui/command_ids.h"
#include "app/gui/description_window.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/reference/accurate_solutions.h"
#include "app/reference/input_activation_dialog.h"
#include "app/reference/runge_kutta_method.h"

#include <QPainter>

namespace {

using axolite::gui::ToolDescriptor;
using axolite::gui::ToolHost;

// What a dialog needs beyond what every reference dialog gets (nothing by default).
template <typename Dialog> void prepare(Dialog&, ToolHost&) {}

template <> void prepare(TRungeKuttaMethod& dialog, ToolHost& host) {
    // The Euler network it writes opens in a new description window.
    dialog.setDescriptionOpener(
        [&host](const QString& path) { return host.openDescription(path); });
}

template <typename Dialog> void openDialog(int id, ToolHost& host, DescriptionWindow* window) {
    if (window == nullptr) {
        return;
    }
    const QPointer<DescriptionWindow> alive(window);
    Dialog dialog(window->record(), &host.folders(), window->path(), host.frameWidget());
    dialog.setWindowTitle(axolite::gui::toolCaption(id, window->displayName()));
    dialog.setStatusLine([&host](const QString& text) { host.showStatus(text); });
    prepare(dialog, host);
    QObject::connect(&dialog, &TReferenceDialog::recordChanged, window, [alive] {
        if (alive) {
            emit alive->stateChanged();
        }
    });
    // Opening lowered the dialog's presence flags: the open views stop showing the series.
    emit window->stateChanged();
    dialog.exec();
    host.showStatus(QString());
}

bool simulated(const DescriptionWindow* active) {
    return active != nullptr && active->record().simulated != 0;
}

void openInputActivation(ToolHost& host, DescriptionWindow* window) {
    if (window == nullptr) {
        return;
    }
    if (!window->record().inputLayer) {
        Notifier::instance().show(axolite::MessageKind::Information,
                                  QStringLiteral("Входной слой нейронной сети не определен"),
                                  host.frameWidget());
        return;
    }
    openDialog<TInputActivation>(axolite::gui::CmInputActivation, host, window);
}

ToolDescriptor exactValuesTool() {
    return {axolite::gui::CmExactValues,
            "Вычисление точных значений ...",
            "Вычислить точные значения аналитических зависимостей",
            {},
            [](QPainter& p) {
                axolite::gui::glyphLetter(p, QStringLiteral("y"), {170, 80, 30});
            },
            "Вычисление точных значений ",
            simulated,
            true,
            [](ToolHost& host, DescriptionWindow* window) {
                openDialog<TAccurateSolutions>(axolite::gui::CmExactValues, host, window);
            }};
}

ToolDescriptor rungeKuttaTool() {
    return {axolite::gui::CmRungeKutta,
            "Решение нормальной системы дифференциальных уравнений ...",
            "Решить нормальную систему дифференциальных уравнений методом Рунге-Кутта",
            {},
            [](QPainter& p) {
                axolite::gui::glyphLetter(p, QStringLiteral("RK"), {30, 80, 170});
            },
            "Решение нормальной системы дифференциальных уравнений ",
            simulated,
            true,
            [](ToolHost& host, DescriptionWindow* window) {
                openDialog<TRungeKuttaMethod>(axolite::gui::CmRungeKutta, host, window);
            }};
}

ToolDescriptor inputActivationTool() {
    return {axolite::gui::CmInputActivation,
            "Активирование нейронов входного слоя сети ...",
            "Задать функции активации нейронов входного слоя сети",
            {},
            [](QPainter& p) {
                axolite::gui::glyphLetter(p, QStringLiteral("x"), {40, 130, 60});
            },
            "Активирование нейронов входного слоя сети ",
            [](const DescriptionWindow* active) {
                return active != nullptr && active->record().inputLayerReady != 0;
            },
            true,
            openInputActivation};
}

} // namespace

void registerReferenceTools() {
    axolite::gui::registerTool(inputActivationTool());
    axolite::gui::registerTool(rungeKuttaTool());
    axolite::gui::registerTool(exactValuesTool());
}
