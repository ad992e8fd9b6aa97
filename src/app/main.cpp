// The desktop program: the start-up picture, the frame, then the command line (file
// association, files to open).
#include "app/gui/platform_dialogs.h"
#include "app/shell/about_box.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_icons.h"
#include "app/shell/file_association.h"
#include "app/shell/installation.h"
#include "app/shell/memory_reuse.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // Answered before anything needs a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("axolite %s\n", axolite::shell::programVersion().toUtf8().constData());
        return 0;
    }
    axolite::shell::keepFreedMemoryForReuse();
    // A save that would outgrow the file-size limit fails like a full disk and says so, instead
    // of ending the program with the user's edits.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Axolite"));
    QApplication::setWindowIcon(axolite::shell::programIcon());
    axolite::gui::installQtTranslations(application);
    axolite::gui::guardFileSystemModels(application);

    // The start-up picture: borderless, centred, shown while the frame is built and at least a
    // moment after, never holding the start back for long.
    QElapsedTimer shown;
    shown.start();
    QSplashScreen splash(axolite::shell::startupPicture(), Qt::WindowStaysOnTopHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        splash.move(screen->geometry().center() - splash.rect().center());
    }
    splash.show();
    QApplication::processEvents();

    TAxoliteApp frame;
    constexpr qint64 kPictureMs = 300;
    while (shown.elapsed() < kPictureMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    frame.show();
    splash.finish(&frame);

    frame.applyCommandLine(QApplication::arguments(), axolite::shell::xdgDataHome());
    return QApplication::exec();
}
