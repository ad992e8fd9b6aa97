// The application's main window "Axolite": the frame with its menu, toolbar, status bar and
// client, every command of the command table (each a QAction whose objectName is its numeric
// identifier) with its enabling rule, the recent-files list, help, printing, and the one place
// where a tool of a description is opened.
#pragma once

#include "app/gui/tool_host.h"
#include "app/shell/find_dialog.h"
#include "app/shell/mdi_child.h"
#include "app/shell/recent_files.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class QPrinter;
class TAxoliteMDIClient;

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
    axolite::shell::RecentFiles& recentFiles() { return recentFiles_; }

    // Runs a command as if it were chosen (nothing when it is disabled).
    void execute(int id);
    // Re-evaluates the enabling of every command.
    void updateCommands() override;

    // New, open, save.
    TAxoliteMDIChild* newDescription();
    TAxoliteMDIChild* openDescription(const QString& path) override;
    bool save(TAxoliteMDIChild* child);
    bool saveAs(TAxoliteMDIChild* child);

    // The check command on a description window (lexer, then the check window).
    void checkDescription(TAxoliteMDIChild* child);

    // The one place where a tool of the active description (37, 18000, 18001, 14, 12, 13, 8) or
    // the layered-network tool (42) is opened. A tool not registered opens nothing.
    void openTool(int id);

    // What the frame lends to the tools it opens.
    QWidget* frameWidget() override { return this; }
    DescriptionWindow* activeDescription() const override;
    axolite::platform::FolderSettings& folders() override;
    void showStatus(const QString& text) override;
    QPointer<QWidget>& colourLegend() override;
    QPointer<QWidget>& scalesWindow() override;
    bool& teachNetworkOpen() override;

    // The command line after the window is shown: "unregister" removes the file association,
    // otherwise it is written; other arguments are files to open.
    void applyCommandLine(const QStringList& arguments, const QString& dataHome,
                          bool refreshDesktop = true);

    // Shift+F1: the next command chosen shows its help topic; Escape leaves.
    void startHelpCursor();
    void stopHelpCursor();
    bool helpCursorActive() const { return helpCursor_; }

    // The printer, created on first use (PDF output is always available).
    QPrinter& printer();

    // File choosers; tests replace them. An empty answer means the user cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> chooseOpenFile;
    std::function<QString(QWidget* parent, const QString& proposed)> chooseSaveFile;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCommands();
    void buildMenus();
    void buildToolBar();
    void rebuildRecentMenu();
    void rebuildWindowMenu();
    void onCommand(int id);
    void setEnabled(int id, bool enabled);
    TAxoliteMDIChild* addChild();
    void openFiles(const QStringList& paths);
    void showFind(bool replace);
    void findNext();
    void replaceNext();
    void replaceAll();
    void printActive(int id);
    void closeIfPending();
    // Asks every computation to stop; answers whether one was running.
    bool stopComputations();
    // "Закрыть все окна": every description window is closed (each asks about its changes).
    void closeAllWindows();

    TAxoliteMDIClient* client_ = nullptr;
    std::map<int, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> windowActions_;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    axolite::shell::RecentFiles recentFiles_;
    std::unique_ptr<QPrinter> printer_;
    QPointer<TFindDialog> findDialog_;
    FindRequest lastFind_;
    QTimer commandTimer_;
    bool helpCursor_ = false;
    bool clipboardHasText_ = false;
    // A close of the frame or of every window requested during a computation: it is carried out
    // once the computation has stopped, from the frame's own event loop, one question at a time.
    enum class PendingClose { None, AllWindows, Frame };
    PendingClose pendingClose_ = PendingClose::None;
    bool closing_ = false; // the windows are being closed (their questions may be open)
};
