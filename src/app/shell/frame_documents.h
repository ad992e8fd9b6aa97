// The frame's documents: the description windows it opens (new, open, dropped files, the command
// line), saves (with a file name asked when there is none), lists among the recent files, and
// closes — one question at a time, never from under a computation.
#pragma once

#include "app/shell/recent_files.h"

#include <QList>
#include <QObject>

class QAction;
class QCloseEvent;
class QMenu;
class TAxoliteApp;
class TAxoliteMDIChild;
class TAxoliteMDIClient;

class TFrameDocuments : public QObject {
    Q_OBJECT
public:
    // profilePath: the INI file of the recent-files list.
    TFrameDocuments(TAxoliteApp& frame, TAxoliteMDIClient& client, const QString& profilePath);

    TAxoliteMDIChild* newDescription();
    // Opens a description file in a new window (nullptr when it could not be read; the reason
    // was shown, and a recent-files entry of the path is removed).
    TAxoliteMDIChild* openDescription(const QString& path);
    void openFiles(const QStringList& paths);
    // "Открыть ...": asks for a file in the networks folder and opens it.
    void chooseAndOpen();
    bool save(TAxoliteMDIChild* child);
    bool saveAs(TAxoliteMDIChild* child);

    axolite::shell::RecentFiles& recentFiles() { return recentFiles_; }
    // The recent files stand in this menu before this action; they are disabled while busy.
    void placeRecentFiles(QMenu* menu, QAction* before);
    void enableRecentFiles(bool enabled);

    // "Закрыть все окна": every description window is closed (each asks about its changes).
    void closeAllWindows();
    // The frame's close: false when it must not close now (a window kept its changes, or a
    // computation must stop first: the frame then closes once it has).
    bool closeFrame();
    // Carries out a close that waited for a computation to stop.
    void closeIfPending();

private:
    TAxoliteMDIChild* addChild();
    void rebuildRecentMenu();
    // Asks every computation to stop; answers whether one was running.
    bool stopComputations();

    TAxoliteApp& frame_;
    TAxoliteMDIClient& client_;
    axolite::shell::RecentFiles recentFiles_;
    QMenu* recentMenu_ = nullptr;
    QAction* recentBefore_ = nullptr;
    QList<QAction*> recentActions_;
    // A close of the frame or of every window requested during a computation: it is carried out
    // once the computation has stopped, from the frame's own event loop, one question at a time.
    enum class PendingClose { None, AllWindows, Frame };
    PendingClose pendingClose_ = PendingClose::None;
    bool closing_ = false; // the windows are being closed (their questions may be open)
};
