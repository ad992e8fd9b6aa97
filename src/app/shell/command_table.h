// The commands of the frame: their numeric identifiers, menu texts, status-bar hints and
// accelerators, named once here for the menus, the toolbar, the context menu and the help.
#pragma once

#include "app/gui/command_ids.h"

#include <QKeySequence>
#include <QString>

#include <vector>

namespace axolite::shell {

// The identifiers are named once, on the floor every tool can see.
using namespace axolite::gui;

// A toolbar position that holds a separator instead of a command.
inline constexpr int kSeparator = 0;

struct CommandInfo {
    int id;
    const char* menuText; // UTF-8, exactly as the menu shows it
    const char* hint;     // the status-bar hint (string table entry of the same identifier)
    QKeySequence shortcut;
};

// Every command of the frame, in no particular order.
const std::vector<CommandInfo>& commandTable();
const CommandInfo* findCommand(int id);

// Menu layouts: each menu's commands in order, kSeparator for a separator.
struct MenuLayout {
    const char* title;
    std::vector<int> commands;
};
const std::vector<MenuLayout>& menuLayouts();

// The toolbar's buttons in order, kSeparator for a separator.
const std::vector<int>& toolbarLayout();

// The context menu of the editor (menu 101).
const std::vector<int>& contextMenuLayout();

// The fixed prefix of a tool's caption, followed by the description's path.
QString toolCaptionPrefix(int id);

} // namespace axolite::shell
