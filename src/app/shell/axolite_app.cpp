// The root of the frame: its parts, menus, toolbar, enabling, and what it lends to the tools.
#include "app/shell/axolite_app.h"

#include "app/editor/edit_file.h"
#include "app/gui/computation_guard.h"
#include "app/gui/help_window.h"
#include "app/gui/platform_dialogs.h"
#include "app/gui/tool_register.h"
#include "app/gui/tool_windows.h"
#include "app/shell/command_icons.h"
#include "app/shell/command_table.h"
#include "app/shell/file_association.h"
#include "app/shell/find_replace.h"
#include "app/shell/frame_commands.h"
#include "app/shell/frame_documents.h"
#include "app/shell/frame_printing.h"
#include "app/shell/help_cursor.h"
#include "app/shell/installation.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "app/shell/tool_catalogue.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>

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

} // namespace

TAxoliteApp::TAxoliteApp(const QString& profilePath, QWidget* parent) : QMainWindow(parent) {
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

    helpCursor_ = new THelpCursor(this);
    connect(helpCursor_, &THelpCursor::changed, this, &TAxoliteApp::updateCommands);
    commands_ = new TFrameCommands(this, *this, *helpCursor_);
    documents_ = new TFrameDocuments(*this, *client_, profilePath);
    find_ = new TFindReplace(this, [this] { return activeChild(); });
    connect(find_, &TFindReplace::changed, this, &TAxoliteApp::updateCommands);
    printing_ = std::make_unique<TFramePrinting>(this);

    statusBar()->setObjectName(QStringLiteral("statusBar"));
    ownFileCommands();
    ownEditCommands();
    ownWindowAndHelpCommands();
    commands_->build();
    buildMenus();
    buildToolBar();

    // The state that enabling depends on also changes inside dialogs (a simulation ends, a view
    // closes): a light periodic re-evaluation keeps the commands right in every case.
    commandTimer_.setInterval(250);
    connect(&commandTimer_, &QTimer::timeout, this, &TAxoliteApp::updateCommands);
    commandTimer_.start();
    connect(qApp, &QApplication::focusChanged, this, &TAxoliteApp::updateCommands);
    watchClipboard();
    connect(&ComputationRegister::instance(), &ComputationRegister::busyChanged, this,
            &TAxoliteApp::updateCommands);
    connect(&ToolWindows::instance(), &ToolWindows::changed, this, &TAxoliteApp::updateCommands);
    updateCommands();
}

TAxoliteApp::~TAxoliteApp() {
    // Nothing may reach this object's slots while its base class tears the widgets down.
    commandTimer_.stop();
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    disconnect(&ComputationRegister::instance(), nullptr, this, nullptr);
    disconnect(&ComputationRegister::instance(), nullptr, documents_, nullptr);
    disconnect(&ToolWindows::instance(), nullptr, this, nullptr);
    disconnect(client_, nullptr, this, nullptr);
    helpCursor_->stop();
    closeHelp();
    delete find_;
    // The description windows close their check windows while the frame still stands.
    for (TAxoliteMDIChild* child : client_->children()) {
        disconnect(child, nullptr, this, nullptr);
        disconnect(child, nullptr, documents_, nullptr);
        disconnect(child->editor(), nullptr, documents_, nullptr);
        delete child;
    }
    delete client_;
    if (currentFrame() == this) {
        currentFrame() = nullptr;
    }
}

// Asking the clipboard may cost a round trip to the program that owns it: the answer is kept and
// renewed when the clipboard changes.
void TAxoliteApp::watchClipboard() {
    const auto readClipboard = [this] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        clipboardHasText_ = data != nullptr && data->hasText();
        updateCommands();
    };
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, readClipboard);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    clipboardHasText_ = data != nullptr && data->hasText();
}

TAxoliteApp* TAxoliteApp::instance() {
    return currentFrame();
}

TAxoliteMDIChild* TAxoliteApp::activeChild() const {
    return client_->activeChild();
}

QAction* TAxoliteApp::command(int id) const {
    return commands_->action(id);
}

axolite::shell::RecentFiles& TAxoliteApp::recentFiles() {
    return documents_->recentFiles();
}

void TAxoliteApp::buildMenus() {
    menuBar()->setObjectName(QStringLiteral("100"));
    QMenu* fileMenu = nullptr;
    for (const MenuLayout& layout : menuLayouts()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(layout.title));
        helpCursor_->watchMenu(menu);
        connect(menu, &QMenu::aboutToShow, this, &TAxoliteApp::updateCommands);
        for (const int id : layout.commands) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(command(id));
            }
        }
        if (fileMenu == nullptr) {
            fileMenu = menu;
        }
        if (layout.commands.front() == CmCascade) {
            windowMenu_ = menu;
            connect(menu, &QMenu::aboutToShow, this, &TAxoliteApp::rebuildWindowMenu);
        }
    }
    // The recent files stand before the last separator and "Выйти".
    documents_->placeRecentFiles(fileMenu, fileMenu->insertSeparator(command(CmExit)));
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
        QString name = QDir::toNativeSeparators(child->displayName());
        auto* action = windowMenu_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(name.replace(u'&', QStringLiteral("&&"))));
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

void TAxoliteApp::updateCommands() {
    const bool busy = ComputationRegister::instance().anyBusy();
    commands_->update(busy);
    // A recent file opens as "Открыть ..." does, and tells in a message box when it is gone.
    if (!helpCursor_->active()) {
        documents_->enableRecentFiles(!busy);
    }
}

void TAxoliteApp::execute(int id) {
    updateCommands();
    QAction* action = command(id);
    if (action != nullptr && action->isEnabled()) {
        action->trigger();
    }
}

TAxoliteMDIChild* TAxoliteApp::newDescription() {
    return documents_->newDescription();
}

TAxoliteMDIChild* TAxoliteApp::openDescription(const QString& path) {
    return documents_->openDescription(path);
}

bool TAxoliteApp::save(TAxoliteMDIChild* child) {
    return documents_->save(child);
}

bool TAxoliteApp::saveAs(TAxoliteMDIChild* child) {
    return documents_->saveAs(child);
}

void TAxoliteApp::checkDescription(TAxoliteMDIChild* child) {
    if (const ToolDescriptor* check = findTool(CmCheck); check != nullptr && check->open) {
        check->open(*this, child);
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

void TAxoliteApp::startHelpCursor() {
    helpCursor_->start();
}

void TAxoliteApp::stopHelpCursor() {
    helpCursor_->stop();
}

bool TAxoliteApp::helpCursorActive() const {
    return helpCursor_->active();
}

QPrinter& TAxoliteApp::printer() {
    return printing_->printer();
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

void TAxoliteApp::closeEvent(QCloseEvent* event) {
    if (!documents_->closeFrame()) {
        event->ignore();
        return;
    }
    helpCursor_->stop();
    closeHelp();
    find_->closeDialog();
    event->accept();
}
