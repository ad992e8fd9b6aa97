// The frame's documents: new, open, save, the recent files, and closing.
#include "app/shell/frame_documents.h"

#include "app/editor/edit_file.h"
#include "app/gui/computation_guard.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/frame_commands.h"
#include "app/shell/help_cursor.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include <algorithm>

using namespace axolite::shell;
using axolite::gui::ComputationRegister;

namespace {

// A path as a menu item shows it: an ampersand in a file name is a character, not a mnemonic.
QString menuText(const QString& path) {
    return QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"));
}

QString networksFolder(const TAxoliteMDIClient& client) {
    const auto& folders = client.folders();
    return folders.set && !folders.networks.empty() ? QString::fromStdString(folders.networks)
                                                    : QString();
}

} // namespace

TFrameDocuments::TFrameDocuments(TAxoliteApp& frame, TAxoliteMDIClient& client,
                                 const QString& profilePath)
    : QObject(&frame), frame_(frame), client_(client), recentFiles_(profilePath) {
    connect(&client_, &TAxoliteMDIClient::filesDropped, this, &TFrameDocuments::openFiles);
    connect(&ComputationRegister::instance(), &ComputationRegister::computationEnded, this,
            &TFrameDocuments::closeIfPending, Qt::QueuedConnection);
}

TAxoliteMDIChild* TFrameDocuments::addChild() {
    auto* child = new TAxoliteMDIChild(client_.nextSlot());
    client_.storeInSlot(child);
    client_.addSubWindow(child);
    QList<QAction*> context;
    for (const int id : contextMenuLayout()) {
        context.append(frame_.command(id));
    }
    child->editor()->setContextActions(context);
    child->setSaveHandler([this, child] { return save(child); });
    // The window's own system menu closes with Ctrl+F4 as "Закрыть" does: two actions on one
    // key would make the key do nothing, so the frame's command keeps it.
    if (QMenu* system = child->systemMenu()) {
        for (QAction* action : system->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            keys.removeIf([this](const QKeySequence& key) {
                const auto& actions = frame_.commands().actions();
                return std::any_of(actions.begin(), actions.end(), [&key](const auto& entry) {
                    return entry.second->shortcut() == key;
                });
            });
            action->setShortcuts(keys);
        }
    }
    connect(child, &TAxoliteMDIChild::stateChanged, &frame_, &TAxoliteApp::updateCommands);
    connect(child->editor(), &TAxoliteEditFile::filesDropped, this, &TFrameDocuments::openFiles);
    connect(child->editor(), &TAxoliteEditFile::contextMenuAboutToShow, this, [this](QMenu* menu) {
        // F1 on a highlighted item shows its topic, as in the frame's menus.
        frame_.helpCursor().watchMenu(menu);
        frame_.updateCommands();
    });
    connect(child, &QObject::destroyed, &frame_, &TAxoliteApp::updateCommands,
            Qt::QueuedConnection);
    return child;
}

TAxoliteMDIChild* TFrameDocuments::newDescription() {
    TAxoliteMDIChild* child = addChild();
    child->show();
    child->editor()->setFocus();
    frame_.updateCommands();
    return child;
}

TAxoliteMDIChild* TFrameDocuments::openDescription(const QString& path) {
    TAxoliteMDIChild* child = addChild();
    if (!child->load(path)) {
        client_.removeSubWindow(child);
        delete child;
        if (recentFiles_.entries().contains(path)) {
            recentFiles_.remove(path);
            rebuildRecentMenu();
        }
        frame_.updateCommands();
        return nullptr;
    }
    child->show();
    child->editor()->setFocus();
    recentFiles_.add(child->path());
    rebuildRecentMenu();
    frame_.updateCommands();
    return child;
}

void TFrameDocuments::openFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        openDescription(path);
    }
}

void TFrameDocuments::chooseAndOpen() {
    const QString path = frame_.chooseOpenFile(&frame_, networksFolder(client_));
    if (!path.isEmpty()) {
        openDescription(path);
    }
}

bool TFrameDocuments::save(TAxoliteMDIChild* child) {
    if (child == nullptr) {
        return false;
    }
    if (child->path().isEmpty()) {
        return saveAs(child);
    }
    const bool ok = child->saveTo(child->path());
    frame_.updateCommands();
    return ok;
}

bool TFrameDocuments::saveAs(TAxoliteMDIChild* child) {
    if (child == nullptr) {
        return false;
    }
    const QString proposed = child->path().isEmpty() ? networksFolder(client_) : child->path();
    QString path = frame_.chooseSaveFile(&frame_, proposed);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".net");
    }
    const bool ok = child->saveTo(path);
    frame_.updateCommands();
    return ok;
}

void TFrameDocuments::placeRecentFiles(QMenu* menu, QAction* before) {
    recentMenu_ = menu;
    recentBefore_ = before;
    recentFiles_.load();
    rebuildRecentMenu();
}

void TFrameDocuments::enableRecentFiles(bool enabled) {
    for (QAction* action : recentActions_) {
        action->setEnabled(enabled);
    }
}

void TFrameDocuments::rebuildRecentMenu() {
    if (recentMenu_ == nullptr) {
        return;
    }
    for (QAction* action : recentActions_) {
        recentMenu_->removeAction(action);
        delete action;
    }
    recentActions_.clear();
    const QStringList& entries = recentFiles_.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const QString path = entries[i];
        auto* action =
            new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(menuText(path)), &frame_);
        action->setObjectName(QStringLiteral("mru%1").arg(i + 1));
        action->setStatusTip(QStringLiteral("Открыть файл %1").arg(path));
        connect(action, &QAction::triggered, this, [this, path] { openDescription(path); });
        recentMenu_->insertAction(recentBefore_, action);
        recentActions_.append(action);
    }
}

bool TFrameDocuments::stopComputations() {
    bool busy = ComputationRegister::instance().anyBusy();
    for (TAxoliteMDIChild* child : client_.children()) {
        busy = busy || child->computing();
        child->stopComputation();
    }
    return busy;
}

void TFrameDocuments::closeIfPending() {
    if (pendingClose_ == PendingClose::None || closing_) {
        return;
    }
    const auto children = client_.children();
    const bool busy = std::any_of(children.begin(), children.end(),
                                  [](const TAxoliteMDIChild* c) { return c->computing(); });
    if (busy || ComputationRegister::instance().anyBusy()) {
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        // A message of the computation is still open: its questions come after it.
        QTimer::singleShot(100, this, &TFrameDocuments::closeIfPending);
        return;
    }
    const PendingClose pending = std::exchange(pendingClose_, PendingClose::None);
    if (pending == PendingClose::Frame) {
        frame_.close();
    } else {
        closeAllWindows();
    }
}

void TFrameDocuments::closeAllWindows() {
    if (closing_) {
        return;
    }
    if (stopComputations()) {
        pendingClose_ = std::max(pendingClose_, PendingClose::AllWindows);
        return;
    }
    closing_ = true;
    client_.closeAllSubWindows();
    closing_ = false;
}

bool TFrameDocuments::closeFrame() {
    // A close from inside a question of an earlier one (its event loop runs) is not another
    // close: the first one goes on.
    if (closing_) {
        return false;
    }
    // Not from under a computation: it is asked to stop, and the windows are closed when it
    // has, each asking about its changes as it would without a run.
    if (stopComputations()) {
        pendingClose_ = PendingClose::Frame;
        return false;
    }
    closing_ = true;
    for (TAxoliteMDIChild* child : client_.children()) {
        if (!child->close()) {
            closing_ = false;
            return false;
        }
    }
    closing_ = false;
    return true;
}
