// The frame: commands, menus, toolbar, enabling, and the tools it opens.
#include "app/shell/axolite_app.h"

#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/gui/platform_dialogs.h"
#include "app/language/translate_dialog.h"
#include "app/shell/about_box.h"
#include "app/shell/command_icons.h"
#include "app/shell/command_table.h"
#include "app/shell/file_association.h"
#include "app/shell/folder_settings_dialog.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "app/shell/printing.h"
#include "app/shell/tool_catalogue.h"
#include "core/language/lexer.h"
#include "core/simulation/simulation.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

using namespace axolite::shell;
using namespace axolite::gui;

namespace {

TAxoliteApp*& currentFrame() {
    static TAxoliteApp* frame = nullptr;
    return frame;
}

// "(*.*)" lists every file when opening; a save dialog keeps "(*)", under which Qt's dialog
// would otherwise replace the suffix of the typed name by "*".
const QString kOpenFilter =
    QStringLiteral("Нейронная сеть (*.net);;Файлы образов (*.ptn);;Все типы файлов (*.*)");
const QString kSaveFilter =
    QStringLiteral("Нейронная сеть (*.net);;Файлы образов (*.ptn);;Все типы файлов (*)");

QString defaultOpenFile(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QStringLiteral("Открыть"), folder, kOpenFilter);
    axolite::gui::prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString defaultSaveFile(QWidget* parent, const QString& proposed) {
    QFileDialog dialog(parent, QStringLiteral("Сохранить как"), proposed, kSaveFilter);
    axolite::gui::prepareFileDialog(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("net"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

// A path as a menu item shows it: an ampersand in a file name is a character, not a mnemonic.
QString menuText(const QString& path) {
    return QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"));
}

} // namespace

TAxoliteApp::TAxoliteApp(const QString& profilePath, QWidget* parent)
    : QMainWindow(parent), recentFiles_(profilePath) {
    currentFrame() = this;
    registerAllTools();
    setObjectName(QStringLiteral("Axolite"));
    setWindowTitle(QStringLiteral("Axolite"));
    setWindowIcon(axolite::shell::programIcon());
    resize(900, 640);

    chooseOpenFile = defaultOpenFile;
    chooseSaveFile = defaultSaveFile;

    client_ = new TAxoliteMDIClient(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    connect(client_, &QMdiArea::subWindowActivated, this, &TAxoliteApp::updateCommands);
    connect(client_, &TAxoliteMDIClient::filesDropped, this, &TAxoliteApp::openFiles);

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    buildCommands();
    buildMenus();
    buildToolBar();
    recentFiles_.load();
    rebuildRecentMenu();

    // The state that enabling depends on also changes inside dialogs (a simulation ends, a view
    // closes): a light periodic re-evaluation keeps the commands right in every case.
    commandTimer_.setInterval(250);
    connect(&commandTimer_, &QTimer::timeout, this, &TAxoliteApp::updateCommands);
    commandTimer_.start();
    connect(qApp, &QApplication::focusChanged, this, &TAxoliteApp::updateCommands);
    // Asking the clipboard may cost a round trip to the program that owns it: the answer is
    // kept and renewed when the clipboard changes.
    const auto readClipboard = [this] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        clipboardHasText_ = data != nullptr && data->hasText();
        updateCommands();
    };
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, readClipboard);
    clipboardHasText_ = QApplication::clipboard()->mimeData() != nullptr &&
                        QApplication::clipboard()->mimeData()->hasText();
    connect(&ComputationRegister::instance(), &ComputationRegister::computationEnded, this,
            &TAxoliteApp::closeIfPending, Qt::QueuedConnection);
    connect(&ComputationRegister::instance(), &ComputationRegister::busyChanged, this,
            &TAxoliteApp::updateCommands);
    updateCommands();
}

TAxoliteApp::~TAxoliteApp() {
    // Nothing may reach this object's slots while its base class tears the widgets down.
    commandTimer_.stop();
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    disconnect(&ComputationRegister::instance(), nullptr, this, nullptr);
    disconnect(client_, nullptr, this, nullptr);
    stopHelpCursor();
    closeHelp();
    if (findDialog_) {
        delete findDialog_;
    }
    // The description windows close their check windows while the frame still stands.
    for (TAxoliteMDIChild* child : client_->children()) {
        disconnect(child, nullptr, this, nullptr);
        disconnect(child->editor(), nullptr, this, nullptr);
        delete child;
    }
    delete client_;
    if (currentFrame() == this) {
        currentFrame() = nullptr;
    }
}

TAxoliteApp* TAxoliteApp::instance() {
    return currentFrame();
}

TAxoliteMDIChild* TAxoliteApp::activeChild() const {
    return client_->activeChild();
}

QAction* TAxoliteApp::command(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void TAxoliteApp::buildCommands() {
    for (const CommandInfo& info : commandTable()) {
        auto* action = new QAction(QString::fromUtf8(info.menuText), this);
        action->setObjectName(QString::number(info.id));
        action->setStatusTip(QString::fromUtf8(info.hint));
        action->setToolTip(QString::fromUtf8(info.menuText).trimmed());
        action->setIcon(commandIcon(info.id));
        action->setIconVisibleInMenu(false);
        if (!info.shortcut.isEmpty()) {
            action->setShortcut(info.shortcut);
        }
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
        actions_[info.id] = action;
        addAction(action);
    }

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

void TAxoliteApp::buildMenus() {
    menuBar()->setObjectName(QStringLiteral("100"));
    for (const MenuLayout& layout : menuLayouts()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(layout.title));
        menu->installEventFilter(this);
        connect(menu, &QMenu::aboutToShow, this, &TAxoliteApp::updateCommands);
        for (const int id : layout.commands) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(command(id));
            }
        }
        if (fileMenu_ == nullptr) {
            fileMenu_ = menu;
        }
        if (layout.commands.front() == CmCascade) {
            windowMenu_ = menu;
            connect(menu, &QMenu::aboutToShow, this, &TAxoliteApp::rebuildWindowMenu);
        }
    }
    // The recent files stand before the last separator and "Выйти".
    recentSeparator_ = fileMenu_->insertSeparator(command(CmExit));
}

void TAxoliteApp::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar"));
    bar->setMovable(true);
    bar->setFloatable(true);
    bar->setIconSize(QSize(16, 16));
    for (const int id : toolbarLayout()) {
        if (id == kSeparator) {
            bar->addSeparator();
        } else {
            bar->addAction(command(id));
        }
    }
}

void TAxoliteApp::rebuildRecentMenu() {
    for (QAction* action : recentActions_) {
        fileMenu_->removeAction(action);
        delete action;
    }
    recentActions_.clear();
    const QStringList& entries = recentFiles_.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const QString path = entries[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(menuText(path)), this);
        action->setObjectName(QStringLiteral("mru%1").arg(i + 1));
        action->setStatusTip(QStringLiteral("Открыть файл %1").arg(path));
        connect(action, &QAction::triggered, this, [this, path] { openDescription(path); });
        fileMenu_->insertAction(recentSeparator_, action);
        recentActions_.append(action);
    }
}

// The open description windows at the end of the "Окно" menu, the active one checked.
void TAxoliteApp::rebuildWindowMenu() {
    for (QAction* action : windowActions_) {
        windowMenu_->removeAction(action);
        delete action;
    }
    windowActions_.clear();
    const QList<TAxoliteMDIChild*> children = client_->children();
    if (children.isEmpty()) {
        return;
    }
    windowActions_.append(windowMenu_->addSeparator());
    for (int i = 0; i < children.size(); ++i) {
        TAxoliteMDIChild* child = children[i];
        auto* action = windowMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(menuText(child->displayName())));
        action->setCheckable(true);
        action->setChecked(child == activeChild());
        connect(action, &QAction::triggered, this,
                [this, window = QPointer<TAxoliteMDIChild>(child)] {
                    if (window) {
                        client_->setActiveSubWindow(window);
                    }
                });
        windowActions_.append(action);
    }
}

void TAxoliteApp::setEnabled(int id, bool enabled) {
    if (QAction* action = command(id)) {
        action->setEnabled(enabled);
    }
}

void TAxoliteApp::updateCommands() {
    if (helpCursor_) {
        // With the help cursor every command can be chosen: it shows its topic, runs nothing.
        for (auto& [id, action] : actions_) {
            action->setEnabled(true);
        }
        return;
    }
    TAxoliteMDIChild* child = activeChild();
    const axolite::language::NetworkRecord* record = child ? &child->record() : nullptr;
    const TAxoliteEditFile* editor = child ? child->editor() : nullptr;
    const bool simulated = record != nullptr && record->simulated != 0;
    const bool selection = editor != nullptr && editor->hasSelection();

    const bool busy = ComputationRegister::instance().anyBusy();
    // Always available, unless a computation runs (below).
    for (const int id : {CmFileOpen, CmFolders, CmAbout}) {
        setEnabled(id, true);
    }
    setEnabled(CmFileClose, child != nullptr);
    // A save that asks for a file name opens a dialog.
    setEnabled(CmFileSave,
               child != nullptr && child->isModified() && (!busy || !child->path().isEmpty()));
    setEnabled(CmFileSaveAs, child != nullptr);
    // PDF output is always there, so a printer is always available; printing needs a
    // description to print.
    setEnabled(CmPrintPreview, child != nullptr);
    setEnabled(CmPrint, child != nullptr);
    setEnabled(CmPrintSetup, true);
    setEnabled(CmNeuronModel, record != nullptr && record->checkOpen == 0);
    setEnabled(CmCheck, record != nullptr && record->checkOpen == 0);
    setEnabled(CmInputActivation, record != nullptr && record->inputLayerReady != 0);
    setEnabled(CmRungeKutta, simulated);
    setEnabled(CmExactValues, simulated);
    setEnabled(CmGraphs, simulated && !child->graphsView);
    setEnabled(CmNumeric, simulated && !child->numericView);
    setEnabled(CmDynamics, simulated && !child->dynamicsView);
    setEnabled(CmTeachNetwork, !client_->teachNetworkOpen);
    setEnabled(CmEditUndo, editor != nullptr && editor->isUndoAvailable());
    setEnabled(CmEditCut, selection);
    setEnabled(CmEditCopy, selection);
    setEnabled(CmEditPaste, editor != nullptr && clipboardHasText_);
    setEnabled(CmEditDelete, selection);
    setEnabled(CmEditClear, editor != nullptr && !editor->isEmpty());
    setEnabled(CmFind, editor != nullptr);
    setEnabled(CmReplace, editor != nullptr);
    setEnabled(CmFindNext, editor != nullptr && !lastFind_.text.isEmpty());

    // While a computation runs (it processes events on this thread), nothing may start a
    // modal loop, which would hold the computation until it closed, nor a second computation.
    if (busy) {
        for (const int id : {CmFileOpen, CmFileSaveAs, CmPrintPreview, CmPrint, CmPrintSetup,
                             CmFolders, CmNeuronModel, CmCheck, CmInputActivation, CmRungeKutta,
                             CmExactValues, CmTeachNetwork, CmAbout}) {
            setEnabled(id, false);
        }
    }
    // A recent file opens as "Открыть ..." does, and tells in a message box when it is gone.
    for (QAction* action : recentActions_) {
        action->setEnabled(!busy);
    }
}

void TAxoliteApp::execute(int id) {
    updateCommands();
    QAction* action = command(id);
    if (action != nullptr && action->isEnabled()) {
        action->trigger();
    }
}

void TAxoliteApp::onCommand(int id) {
    if (helpCursor_) {
        stopHelpCursor();
        openHelp(id);
        return;
    }
    TAxoliteMDIChild* child = activeChild();
    TAxoliteEditFile* editor = child ? child->editor() : nullptr;
    switch (id) {
    case CmFileNew:
        newDescription();
        break;
    case CmFileOpen: {
        const auto& folders = client_->folders();
        const QString folder = folders.set && !folders.networks.empty()
                                   ? QString::fromStdString(folders.networks)
                                   : QString();
        const QString path = chooseOpenFile(this, folder);
        if (!path.isEmpty()) {
            openDescription(path);
        }
        break;
    }
    case CmFileSave:
        save(child);
        break;
    case CmFileSaveAs:
        saveAs(child);
        break;
    case CmFileClose:
        if (child != nullptr) {
            child->close();
        }
        break;
    case CmPrintPreview:
    case CmPrint:
    case CmPrintSetup:
        printActive(id);
        break;
    case CmExit:
        close();
        break;
    case CmFolders: {
        TFolderSettingsDialog dialog(client_->folders(), this);
        dialog.setHelpHandler([] { openHelp(CmFolders); });
        dialog.exec();
        break;
    }
    case CmCheck:
        checkDescription(child);
        break;
    case CmNeuronModel:
    case CmInputActivation:
    case CmRungeKutta:
    case CmExactValues:
    case CmGraphs:
    case CmNumeric:
    case CmDynamics:
    case CmTeachNetwork:
        openTool(id);
        break;
    case CmEditUndo:
        if (editor != nullptr) {
            editor->undo();
        }
        break;
    case CmEditCut:
        if (editor != nullptr) {
            editor->cut();
        }
        break;
    case CmEditCopy:
        if (editor != nullptr) {
            editor->copy();
        }
        break;
    case CmEditPaste:
        if (editor != nullptr) {
            editor->paste();
        }
        break;
    case CmEditDelete:
        if (editor != nullptr) {
            editor->deleteSelection();
        }
        break;
    case CmEditClear:
        if (editor != nullptr) {
            editor->clearAll();
        }
        break;
    case CmFind:
        showFind(false);
        break;
    case CmReplace:
        showFind(true);
        break;
    case CmFindNext:
        findNext();
        break;
    case CmCascade:
        client_->cascadeSubWindows();
        break;
    case CmTile:
        client_->tileSubWindows();
        break;
    case CmArrangeIcons:
        // Minimised windows line up along the bottom of the client.
        for (QMdiSubWindow* window : client_->subWindowList()) {
            if (window->isMinimized()) {
                window->showNormal();
                window->showMinimized();
            }
        }
        break;
    case CmCloseAll:
        closeAllWindows();
        break;
    case CmHelpContents:
        openHelp(0);
        break;
    case CmHelpOnHelp:
        openHelp(CmHelpOnHelp);
        break;
    case CmAbout: {
        TAboutBox about(this);
        about.exec();
        break;
    }
    default:
        break;
    }
    updateCommands();
}

void TAxoliteApp::openTool(int id) {
    TAxoliteMDIChild* child = activeChild();
    if (id == CmInputActivation) {
        if (child == nullptr) {
            return;
        }
        if (!child->record().inputLayer) {
            Notifier::instance().show(axolite::MessageKind::Information,
                                      QStringLiteral("Входной слой нейронной сети не определен"),
                                      this);
            return;
        }
    }
    if (const ToolOpener* opener = registeredTool(id)) {
        (*opener)(*this, child);
    }
    updateCommands();
}

DescriptionWindow* TAxoliteApp::activeDescription() const {
    return activeChild();
}

axolite::platform::FolderSettings& TAxoliteApp::folders() {
    return client_->folders();
}

void TAxoliteApp::showStatus(const QString& text) {
    statusBar()->showMessage(text);
}

QPointer<QWidget>& TAxoliteApp::colourLegend() {
    return client_->colourLegend;
}

QPointer<QWidget>& TAxoliteApp::scalesWindow() {
    return client_->scalesWindow;
}

bool& TAxoliteApp::teachNetworkOpen() {
    return client_->teachNetworkOpen;
}
