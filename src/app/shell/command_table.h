// The commands of the frame: their numeric identifiers, menu texts, status-bar hints and
// accelerators, named once here for the menus, the toolbar, the context menu and the help.
#pragma once

#include <QKeySequence>
#include <QString>

#include <vector>

namespace axolite::shell {

enum CommandId : int {
    CmFileNew = 24331,
    CmFileOpen = 24332,
    CmFileSave = 24333,
    CmFileSaveAs = 24334,
    CmFileClose = 24339,
    CmPrintPreview = 24340,
    CmPrint = 24337,
    CmPrintSetup = 24338,
    CmExit = 24310,
    CmFolders = 5,
    CmNeuronModel = 8,
    CmCheck = 18003,
    CmInputActivation = 37,
    CmRungeKutta = 18000,
    CmExactValues = 18001,
    CmGraphs = 14,
    CmNumeric = 12,
    CmDynamics = 13,
    CmTeachNetwork = 42,
    CmEditUndo = 24321,
    CmEditCut = 24322,
    CmEditCopy = 24323,
    CmEditPaste = 24324,
    CmEditDelete = 24325,
    CmEditClear = 24326,
    CmFind = 24351,
    CmReplace = 24352,
    CmFindNext = 24353,
    CmCascade = 24361,
    CmTile = 24362,
    CmArrangeIcons = 24364,
    CmCloseAll = 24365,
    CmHelpContents = 2001,
    CmHelpOnHelp = 2002,
    CmAbout = 2009,
};

// The context menu of a description's editor (menu 101).
inline constexpr int kContextMenuId = 101;

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
