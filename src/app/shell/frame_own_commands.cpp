// The commands the frame carries out itself, each with its enabling rule. Every other command is
// a registered tool's, dispatched to its opener (frame_commands.cpp).
#include "app/shell/axolite_app.h"

#include "app/editor/edit_file.h"
#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/shell/about_box.h"
#include "app/shell/find_replace.h"
#include "app/shell/folder_settings_dialog.h"
#include "app/shell/frame_commands.h"
#include "app/shell/frame_documents.h"
#include "app/shell/frame_printing.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include <QAction>

using namespace axolite::gui;

namespace {

bool always() {
    return true;
}

} // namespace

void TAxoliteApp::ownFileCommands() {
    const auto hasChild = [this] { return activeChild() != nullptr; };
    commands_->own(CmFileNew, {[this] { documents_->newDescription(); }, always, false});
    commands_->own(CmFileOpen, {[this] { documents_->chooseAndOpen(); }, always, true});
    // A save that asks for a file name opens a dialog.
    commands_->own(CmFileSave, {[this] { documents_->save(activeChild()); },
                                [this] {
                                    const TAxoliteMDIChild* child = activeChild();
                                    return child != nullptr && child->isModified() &&
                                           (!ComputationRegister::instance().anyBusy() ||
                                            !child->path().isEmpty());
                                },
                                false});
    commands_->own(CmFileSaveAs, {[this] { documents_->saveAs(activeChild()); }, hasChild, true});
    commands_->own(CmFileClose, {[this] {
                                     if (TAxoliteMDIChild* child = activeChild()) {
                                         child->close();
                                     }
                                 },
                                 hasChild, false});
    // PDF output is always there, so a printer is always available; printing needs a
    // description to print.
    commands_->own(CmPrintPreview,
                   {[this] { printing_->print(activeChild(), true); }, hasChild, true});
    commands_->own(CmPrint, {[this] { printing_->print(activeChild(), false); }, hasChild, true});
    commands_->own(CmPrintSetup, {[this] { printing_->setUp(); }, always, true});
    commands_->own(CmFolders, {[this] {
                                   TFolderSettingsDialog dialog(client_->folders(), this);
                                   dialog.setHelpHandler([] { openHelp(CmFolders); });
                                   dialog.exec();
                               },
                               always, true});
    commands_->own(CmExit, {[this] { close(); }, always, false});
}

void TAxoliteApp::ownEditCommands() {
    // Each editing command works on the active description's editor.
    const auto onEditor = [this](void (TAxoliteEditFile::*work)()) {
        return [this, work] {
            if (TAxoliteMDIChild* child = activeChild()) {
                (child->editor()->*work)();
            }
        };
    };
    const auto editor = [this]() -> const TAxoliteEditFile* {
        const TAxoliteMDIChild* child = activeChild();
        return child != nullptr ? child->editor() : nullptr;
    };
    const auto selection = [editor] { return editor() != nullptr && editor()->hasSelection(); };
    const auto hasEditor = [editor] { return editor() != nullptr; };
    commands_->own(CmEditUndo, {onEditor(&TAxoliteEditFile::undo), [editor] {
                                    return editor() != nullptr && editor()->isUndoAvailable();
                                }});
    commands_->own(CmEditCut, {onEditor(&TAxoliteEditFile::cut), selection});
    commands_->own(CmEditCopy, {onEditor(&TAxoliteEditFile::copy), selection});
    commands_->own(CmEditPaste, {onEditor(&TAxoliteEditFile::paste), [this, editor] {
                                     return editor() != nullptr && clipboardHasText_;
                                 }});
    commands_->own(CmEditDelete, {onEditor(&TAxoliteEditFile::deleteSelection), selection});
    commands_->own(CmEditClear, {onEditor(&TAxoliteEditFile::clearAll),
                                 [editor] { return editor() != nullptr && !editor()->isEmpty(); }});
    commands_->own(CmFind, {[this] { find_->show(false); }, hasEditor});
    commands_->own(CmReplace, {[this] { find_->show(true); }, hasEditor});
    commands_->own(CmFindNext,
                   {[this] { find_->findNext(); },
                    [this, editor] { return editor() != nullptr && find_->hasRequest(); }});
}

void TAxoliteApp::ownWindowAndHelpCommands() {
    commands_->own(CmCascade, {[this] { client_->cascadeSubWindows(); }, always});
    commands_->own(CmTile, {[this] { client_->tileSubWindows(); }, always});
    commands_->own(CmArrangeIcons, {[this] {
                                        // Minimised windows line up along the bottom.
                                        for (QMdiSubWindow* window : client_->subWindowList()) {
                                            if (window->isMinimized()) {
                                                window->showNormal();
                                                window->showMinimized();
                                            }
                                        }
                                    },
                                    always});
    commands_->own(CmCloseAll, {[this] { documents_->closeAllWindows(); }, always});
    commands_->own(CmHelpContents, {[] { openHelp(0); }, always});
    commands_->own(CmHelpOnHelp, {[] { openHelp(CmHelpOnHelp); }, always});
    commands_->own(CmAbout, {[this] {
                                 TAboutBox about(this);
                                 about.exec();
                             },
                             always, true});

    // F1 outside a menu opens the contents; Shift+F1 the help cursor.
    auto* help = new QAction(this);
    help->setObjectName(QStringLiteral("F1"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, [] { openHelp(0); });
    addAction(help);
    auto* helpCursor = new QAction(this);
    helpCursor->setObjectName(QStringLiteral("ShiftF1"));
    helpCursor->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    connect(helpCursor, &QAction::triggered, this, &TAxoliteApp::startHelpCursor);
    addAction(helpCursor);
}
