// The frame and its description windows: new, open, save, check, the command line, and closing
// (one question at a time, never from under a computation).
#include "app/shell/axolite_app.h"

#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/command_table.h"
#include "app/shell/file_association.h"
#include "app/shell/installation.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "core/language/lexer.h"
#include "core/simulation/simulation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include <algorithm>

using namespace axolite::shell;
using namespace axolite::gui;

TAxoliteMDIChild* TAxoliteApp::addChild() {
    auto* child = new TAxoliteMDIChild(client_->nextSlot());
    client_->storeInSlot(child);
    client_->addSubWindow(child);
    child->editor()->setContextActions([this] {
        QList<QAction*> actions;
        for (const int id : contextMenuLayout()) {
            actions.append(command(id));
        }
        return actions;
    }());
    child->setSaveHandler([this, child] { return save(child); });
    // The window's own system menu closes with Ctrl+F4 as "Закрыть" does: two actions on one
    // key would make the key do nothing, so the frame's command keeps it.
    if (QMenu* system = child->systemMenu()) {
        for (QAction* action : system->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            keys.removeIf([this](const QKeySequence& key) {
                return std::any_of(actions_.begin(), actions_.end(), [&key](const auto& entry) {
                    return entry.second->shortcut() == key;
                });
            });
            action->setShortcuts(keys);
        }
    }
    connect(child, &TAxoliteMDIChild::stateChanged, this, &TAxoliteApp::updateCommands);
    connect(child->editor(), &TAxoliteEditFile::filesDropped, this, &TAxoliteApp::openFiles);
    connect(child->editor(), &TAxoliteEditFile::contextMenuAboutToShow, this, [this](QMenu* menu) {
        // F1 on a highlighted item shows its topic, as in the frame's menus.
        menu->installEventFilter(this);
        updateCommands();
    });
    connect(child, &QObject::destroyed, this, &TAxoliteApp::updateCommands, Qt::QueuedConnection);
    return child;
}

TAxoliteMDIChild* TAxoliteApp::newDescription() {
    TAxoliteMDIChild* child = addChild();
    child->show();
    child->editor()->setFocus();
    updateCommands();
    return child;
}

TAxoliteMDIChild* TAxoliteApp::openDescription(const QString& path) {
    TAxoliteMDIChild* child = addChild();
    if (!child->load(path)) {
        client_->removeSubWindow(child);
        delete child;
        if (recentFiles_.entries().contains(path)) {
            recentFiles_.remove(path);
            rebuildRecentMenu();
        }
        updateCommands();
        return nullptr;
    }
    child->show();
    child->editor()->setFocus();
    recentFiles_.add(child->path());
    rebuildRecentMenu();
    updateCommands();
    return child;
}

void TAxoliteApp::openFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        openDescription(path);
    }
}

bool TAxoliteApp::save(TAxoliteMDIChild* child) {
    if (child == nullptr) {
        return false;
    }
    if (child->path().isEmpty()) {
        return saveAs(child);
    }
    const bool ok = child->saveTo(child->path());
    updateCommands();
    return ok;
}

bool TAxoliteApp::saveAs(TAxoliteMDIChild* child) {
    if (child == nullptr) {
        return false;
    }
    QString proposed = child->path();
    if (proposed.isEmpty()) {
        const auto& folders = client_->folders();
        if (folders.set && !folders.networks.empty()) {
            proposed = QString::fromStdString(folders.networks);
        }
    }
    QString path = chooseSaveFile(this, proposed);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".net");
    }
    const bool ok = child->saveTo(path);
    updateCommands();
    return ok;
}

void TAxoliteApp::checkDescription(TAxoliteMDIChild* child) {
    if (child == nullptr || child->record().checkOpen != 0 || child->computing() ||
        ComputationRegister::instance().anyBusy()) {
        return;
    }
    // The window of an earlier check (open after an interrupted run) goes as "Закрыть" closes
    // it, so that its flags are cleared.
    if (TTranslateDialog* previous = child->checkWindow();
        previous != nullptr && previous->isVisible() && !previous->close()) {
        return;
    }
    auto& record = child->record();
    std::optional<axolite::Message> message;
    try {
        message = axolite::language::lexDescription(child->editor()->textCp1251(), record);
    } catch (const std::bad_alloc&) {
        message = axolite::simulation::outOfMemoryMessage();
    }
    if (message) {
        Notifier::instance().show(*message, this);
        return;
    }
    auto* window = new TTranslateDialog(record, &client_->folders(), this);
    const QString name = child->path().isEmpty() ? child->displayName() : child->path();
    window->setWindowTitle(toolCaptionPrefix(CmCheck) + name.toLower());
    if (!child->path().isEmpty()) {
        window->setDescriptionFolder(QFileInfo(child->path()).absolutePath());
    }
    connect(window, &TTranslateDialog::statusMessage, this, &TAxoliteApp::showStatus);
    child->setCheckWindow(window);
    connect(window, &TTranslateDialog::simulationEnded, this, &TAxoliteApp::updateCommands);
    connect(window, &TTranslateDialog::simulationEnded, this, &TAxoliteApp::closeIfPending,
            Qt::QueuedConnection);
    window->show();
    window->runCheck();
    updateCommands();
}

void TAxoliteApp::applyCommandLine(const QStringList& arguments, const QString& dataHome,
                                   bool refreshDesktop) {
    const QStringList rest = arguments.mid(1);
    if (wantsUnregister(rest)) {
        removeFileAssociation(dataHome);
    } else if (!installation().installed) {
        // An installed program has its association in the system's desktop entry and MIME
        // package; a second one for the user would shadow it.
        writeFileAssociation(dataHome, QApplication::applicationFilePath());
    }
    if (refreshDesktop) {
        refreshDesktopDatabases(dataHome);
    }
    for (const QString& argument : rest) {
        if (argument.compare(QStringLiteral("unregister"), Qt::CaseInsensitive) != 0 &&
            !argument.startsWith(u'-')) {
            openDescription(argument);
        }
    }
}

bool TAxoliteApp::stopComputations() {
    bool busy = ComputationRegister::instance().anyBusy();
    for (TAxoliteMDIChild* child : client_->children()) {
        busy = busy || child->computing();
        child->stopComputation();
    }
    return busy;
}

void TAxoliteApp::closeIfPending() {
    if (pendingClose_ == PendingClose::None || closing_) {
        return;
    }
    const auto children = client_->children();
    const bool busy = std::any_of(children.begin(), children.end(),
                                  [](const TAxoliteMDIChild* c) { return c->computing(); });
    if (busy || ComputationRegister::instance().anyBusy()) {
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        // A message of the computation is still open: its questions come after it.
        QTimer::singleShot(100, this, &TAxoliteApp::closeIfPending);
        return;
    }
    const PendingClose pending = std::exchange(pendingClose_, PendingClose::None);
    if (pending == PendingClose::Frame) {
        close();
    } else {
        closeAllWindows();
    }
}

void TAxoliteApp::closeAllWindows() {
    if (closing_) {
        return;
    }
    if (stopComputations()) {
        pendingClose_ = std::max(pendingClose_, PendingClose::AllWindows);
        return;
    }
    closing_ = true;
    client_->closeAllSubWindows();
    closing_ = false;
}

void TAxoliteApp::closeEvent(QCloseEvent* event) {
    // A close from inside a question of an earlier one (its event loop runs) is not another
    // close: the first one goes on.
    if (closing_) {
        event->ignore();
        return;
    }
    // Not from under a computation: it is asked to stop, and the windows are closed when it
    // has, each asking about its changes as it would without a run.
    if (stopComputations()) {
        pendingClose_ = PendingClose::Frame;
        event->ignore();
        return;
    }
    closing_ = true;
    for (TAxoliteMDIChild* child : client_->children()) {
        if (!child->close()) {
            closing_ = false;
            event->ignore();
            return;
        }
    }
    closing_ = false;
    stopHelpCursor();
    closeHelp();
    if (findDialog_) {
        findDialog_->close();
    }
    event->accept();
}
