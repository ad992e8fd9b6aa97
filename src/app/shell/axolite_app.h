// The application's main window "Axolite": the root of the frame. It holds the client with the
// description windows, places the commands in its menus and toolbar, and lends itself to the
// tools as their ToolHost; each other job is a class of its own: the commands' actions, enabling
// and dispatch (TFrameCommands), the documents (TFrameDocuments), find and replace
// (TFindReplace), printing (TFramePrinting) and the help cursor (THelpCursor).
#pragma once

#include "app/gui/tool_host.h"
#include "app/shell/mdi_child.h"
#include "app/shell/recent_files.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class QPrinter;
class TAxoliteMDIClient;
class TFindReplace;
class TFrameCommands;
class TFrameDocuments;
class TFramePrinting;
class THelpCursor;

class TAxoliteApp : public QMainWindow, public axolite::gui::ToolHost {
    Q_OBJECT
public:
    // profilePath: the INI file of the recent-files list ("Axolite.ini" in the current folder).
    explicit TAxoliteApp(const QString& profilePath = QStringLiteral("./Axolite.ini"),
                         QWidget* parent = nullptr);
    ~TAxoliteApp() override;

    // The frame of the run (the last one created), for the dialogs that look up the active
    // description or the folder settings.
    static TAxoliteApp* instance();

    TAxoliteMDIClient* client() const { return client_; }
    TAxoliteMDIChild* activeChild() const;
    QAction* command(int id) const;
    TFrameCommands& commands() { return *commands_; }
    THelpCursor& helpCursor() { return *helpCursor_; }
    axolite::shell::RecentFiles& recentFiles();

    // Runs a command as if it were chosen (nothing when it is disabled).
    void execute(int id);
    // Re-evaluates the enabling of every command.
    void updateCommands() override;

    // New, open, save (TFrameDocuments).
    TAxoliteMDIChild* newDescription();
    TAxoliteMDIChild* openDescription(const QString& path) override;
    bool save(TAxoliteMDIChild* child);
    bool saveAs(TAxoliteMDIChild* child);
    // The check command on a description window, active or not.
    void checkDescription(TAxoliteMDIChild* child);

    // What the frame lends to the tools it opens.
    QWidget* frameWidget() override { return this; }
    DescriptionWindow* activeDescription() const override;
    axolite::platform::FolderSettings& folders() override;
    void showStatus(const QString& text) override;

    // The command line after the window is shown: "unregister" removes the file association,
    // otherwise it is written; other arguments are files to open.
    void applyCommandLine(const QStringList& arguments, const QString& dataHome,
                          bool refreshDesktop = true);

    // Shift+F1: the next command chosen shows its help topic; Escape leaves.
    void startHelpCursor();
    void stopHelpCursor();
    bool helpCursorActive() const;

    // The printer, created on first use (PDF output is always available).
    QPrinter& printer();

    // File choosers; tests replace them. An empty answer means the user cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> chooseOpenFile;
    std::function<QString(QWidget* parent, const QString& proposed)> chooseSaveFile;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The frame's own commands: files, printing, editing, search, windows, help.
    void ownFileCommands();
    void ownEditCommands();
    void ownWindowAndHelpCommands();
    void buildMenus();
    void buildToolBar();
    void rebuildWindowMenu();
    void watchClipboard();

    TAxoliteMDIClient* client_ = nullptr;
    THelpCursor* helpCursor_ = nullptr;
    TFrameCommands* commands_ = nullptr;
    TFrameDocuments* documents_ = nullptr;
    TFindReplace* find_ = nullptr;
    std::unique_ptr<TFramePrinting> printing_;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> windowActions_;
    QTimer commandTimer_;
    bool clipboardHasText_ = false;
};
