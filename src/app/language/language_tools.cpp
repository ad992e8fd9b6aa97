// The check command: the lexer reads the active description's text, then its check window opens
// beside it, runs the check and offers the simulation. One check window per description; the
// window of an earlier check (open after an interrupted run) closes first.
#include "app/language/language_tools.h"

#include "app/gui/command_glyphs.h"
#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/description_window.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/language/translate_dialog.h"
#include "core/language/lexer.h"
#include "core/simulation/simulation.h"

#include <QFileInfo>
#include <QPainter>

namespace {

using axolite::gui::ToolHost;

// Lexes the description into its record; false when a message was shown instead.
bool lex(ToolHost& host, DescriptionWindow& window) {
    const axolite::language::DescriptionText* text = window.checkText();
    if (text == nullptr) {
        return false;
    }
    std::optional<axolite::Message> message;
    try {
        message = axolite::language::lexDescription(*text, window.record());
    } catch (const std::bad_alloc&) {
        message = axolite::simulation::outOfMemoryMessage();
    }
    if (message) {
        Notifier::instance().show(*message, host.frameWidget());
        return false;
    }
    return true;
}

void openCheck(ToolHost& host, DescriptionWindow* window) {
    if (window == nullptr || window->checkOpen() || window->computing() ||
        axolite::gui::ComputationRegister::instance().anyBusy()) {
        return;
    }
    if (QWidget* previous = window->checkWidget();
        previous != nullptr && previous->isVisible() && !previous->close()) {
        return;
    }
    if (!lex(host, *window)) {
        return;
    }
    auto* dialog = new TTranslateDialog(window->record(), &host.folders(), host.frameWidget());
    const QString name = window->path().isEmpty() ? window->displayName() : window->path();
    dialog->setWindowTitle(axolite::gui::toolCaption(axolite::gui::CmCheck, name.toLower()));
    if (!window->path().isEmpty()) {
        dialog->setDescriptionFolder(QFileInfo(window->path()).absolutePath());
    }
    QObject::connect(dialog, &TTranslateDialog::statusMessage, host.frameWidget(),
                     [&host](const QString& text) { host.showStatus(text); });
    window->setCheckWidget(dialog);
    QObject::connect(dialog, &TTranslateDialog::simulationEnded, host.frameWidget(),
                     [&host] { host.updateCommands(); });
    dialog->show();
    dialog->runCheck();
}

void drawCheck(QPainter& p) {
    axolite::gui::glyphPage(p, QColor(255, 255, 220));
    p.setPen(QPen(QColor(20, 140, 20), 2));
    p.drawLine(5, 9, 8, 12);
    p.drawLine(8, 12, 13, 4);
}

} // namespace

void registerLanguageTools() {
    axolite::gui::registerTool({
        axolite::gui::CmCheck,
        "Проверка правильности описания нейронной сети",
        "Проверить правильность описания нейронной сети",
        QKeySequence(Qt::Key_F9),
        drawCheck,
        "Проверка правильности описания нейронной сети ",
        // Not while the description's check window holds its check.
        [](const DescriptionWindow* active) { return active != nullptr && !active->checkOpen(); },
        true,
        openCheck,
    });
}
