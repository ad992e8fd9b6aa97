// The reference commands open their dialogs modally on the active description, captioned with
// its name, and tell the description's views when the record changed.
#include "app/reference/reference_tools.h"

#include "app/gui/command_ids.h"
#include "app/gui/description_window.h"
#include "app/gui/tool_host.h"
#include "app/reference/accurate_solutions.h"
#include "app/reference/input_activation_dialog.h"
#include "app/reference/runge_kutta_method.h"

#include <type_traits>

namespace {

template <typename Dialog> axolite::gui::ToolOpener opener(const char* captionPrefix) {
    return [captionPrefix](axolite::gui::ToolHost& host, DescriptionWindow* window) {
        if (window == nullptr) {
            return;
        }
        const QPointer<DescriptionWindow> alive(window);
        Dialog dialog(window->record(), &host.folders(), window->path(), host.frameWidget());
        dialog.setWindowTitle(QString::fromUtf8(captionPrefix) + window->displayName());
        dialog.setStatusLine([&host](const QString& text) { host.showStatus(text); });
        if constexpr (std::is_same_v<Dialog, TRungeKuttaMethod>) {
            dialog.setDescriptionOpener(
                [&host](const QString& path) { return host.openDescription(path); });
        }
        QObject::connect(&dialog, &TReferenceDialog::recordChanged, window, [alive] {
            if (alive) {
                emit alive->stateChanged();
            }
        });
        // Opening lowered the dialog's presence flags: the open views stop showing the series.
        emit window->stateChanged();
        dialog.exec();
        host.showStatus(QString());
    };
}

} // namespace

void registerReferenceTools() {
    using namespace axolite::gui;
    registerTool(CmExactValues, opener<TAccurateSolutions>("Вычисление точных значений "));
    registerTool(CmRungeKutta, opener<TRungeKuttaMethod>(
                                   "Решение нормальной системы дифференциальных уравнений "));
    registerTool(CmInputActivation,
                 opener<TInputActivation>("Активирование нейронов входного слоя сети "));
}
