// The frame's own commands (files, editing, search, windows, help) with their menu texts,
// status-bar hints and accelerators, and the placement of every command, the frame's and the
// registered tools', in the menus, the toolbar and the editor's context menu. A tool's texts, key
// and caption are in its descriptor (gui/tool_register.h), not here.
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

// The commands the frame carries out itself, in no particular order.
const std::vector<CommandInfo>& frameCommandTable();
// Every command: the frame's own, then every registered tool's (the tools are registered first).
std::vector<CommandInfo> commandTable();

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

// The fixed prefix of a registered tool's caption, followed by the description's path.
QString toolCaptionPrefix(int id);

} // namespace axolite::shell
