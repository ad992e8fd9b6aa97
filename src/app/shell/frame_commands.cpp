// The frame's actions, enabling and dispatch.
#include "app/shell/frame_commands.h"

#include "app/gui/help_window.h"
#include "app/gui/tool_host.h"
#include "app/gui/tool_register.h"
#include "app/shell/command_icons.h"
#include "app/shell/command_table.h"
#include "app/shell/help_cursor.h"

#include <QAction>
#include <QWidget>

using namespace axolite::shell;

TFrameCommands::TFrameCommands(QWidget* frame, axolite::gui::ToolHost& host,
                               THelpCursor& helpCursor)
    : QObject(frame), frame_(frame), host_(host), helpCursor_(helpCursor) {}

void TFrameCommands::own(int id, OwnCommand command) {
    own_[id] = std::move(command);
}

void TFrameCommands::build() {
    for (const CommandInfo& info : commandTable()) {
        auto* action = new QAction(QString::fromUtf8(info.menuText), frame_);
        action->setObjectName(QString::number(info.id));
        action->setStatusTip(QString::fromUtf8(info.hint));
        action->setToolTip(QString::fromUtf8(info.menuText).trimmed());
        action->setIcon(commandIcon(info.id));
        action->setIconVisibleInMenu(false);
        if (!info.shortcut.isEmpty()) {
            action->setShortcut(info.shortcut);
        }
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { dispatch(id); });
        actions_[info.id] = action;
        frame_->addAction(action);
    }
}

QAction* TFrameCommands::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void TFrameCommands::dispatch(int id) {
    if (helpCursor_.active()) {
        helpCursor_.stop();
        openHelp(id);
        return;
    }
    if (const auto own = own_.find(id); own != own_.end()) {
        own->second.run();
    } else if (const axolite::gui::ToolDescriptor* tool = axolite::gui::findTool(id);
               tool != nullptr && tool->open) {
        tool->open(host_, host_.activeDescription());
    }
    host_.updateCommands();
}

void TFrameCommands::update(bool busy) {
    if (helpCursor_.active()) {
        // With the help cursor every command can be chosen: it shows its topic, runs nothing.
        for (auto& [id, command] : actions_) {
            command->setEnabled(true);
        }
        return;
    }
    const DescriptionWindow* active = host_.activeDescription();
    for (const auto& [id, command] : actions_) {
        bool enabled = true;
        bool holdsRun = false;
        if (const auto own = own_.find(id); own != own_.end()) {
            enabled = !own->second.enabled || own->second.enabled();
            holdsRun = own->second.holdsRun;
        } else if (const axolite::gui::ToolDescriptor* tool = axolite::gui::findTool(id)) {
            enabled = !tool->enabled || tool->enabled(active);
            holdsRun = tool->holdsRun;
        }
        // While a computation runs (it processes events on this thread), nothing may start a
        // modal loop, which would hold the computation until it closed, nor a second
        // computation.
        command->setEnabled(enabled && !(busy && holdsRun));
    }
}
