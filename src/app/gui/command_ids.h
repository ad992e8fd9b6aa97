// The numeric identifiers of the frame's commands and of the editor's context menu: the help
// topics of the commands, and the objectNames of their actions.
#pragma once

namespace axolite::gui {

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
    CmDebugger = 21,
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

} // namespace axolite::gui
