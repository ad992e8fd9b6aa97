// The shell's links to the desktop: the ".net" association in $XDG_DATA_HOME and its removal by
// "unregister", the help window on contents, help on help and command topics (menu F1, help
// cursor), the about box's figures, and printing a description to PDF.
#include "app/editor/edit_file.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/shell/about_box.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/file_association.h"
#include "app/shell/installation.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "app/shell/printing.h"
#include "app/simulation/choose_model.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace axolite::shell;

namespace {

// The printer writes out.pdf in dir.
void printToPdf(QPrinter& printer, const QTemporaryDir& dir) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
}

} // namespace

class ShellPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Notifier::instance().setCapturing(true); }

    void associationIsWrittenAndRemoved() {
        QTemporaryDir home;
        QVERIFY(writeFileAssociation(home.path(), QStringLiteral("/opt/my \"apps\"/axolite")));
        for (const QString& file : associationFiles()) {
            QVERIFY2(QFileInfo::exists(home.filePath(file)), qPrintable(file));
        }
        QFile mime(home.filePath(QStringLiteral("mime/packages/axolite-network.xml")));
        QVERIFY(mime.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(mime.readAll());
        QVERIFY(xml.contains(QStringLiteral("<glob pattern=\"*.net\"/>")));
        QVERIFY(xml.contains(QStringLiteral("<comment>Нейронная сеть</comment>")));
        QFile desktop(home.filePath(QStringLiteral("applications/axolite.desktop")));
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QString entry = QString::fromUtf8(desktop.readAll());
        QVERIFY(entry.contains(QStringLiteral("MimeType=application/x-axolite-network;")));
        // Quoted for the command line, then escaped as a string value: a quote inside the path
        // is written \\" and a reader gets back \" before it unquotes.
        QVERIFY(entry.contains(QStringLiteral("Exec=\"/opt/my \\\\\"apps\\\\\"/axolite\" %f")));
        // A percent sign is doubled (no field code), a backslash written as four.
        QVERIFY(writeFileAssociation(home.path(), QStringLiteral("/opt/100%/a\\b")));
        QFile again(home.filePath(QStringLiteral("applications/axolite.desktop")));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(again.readAll())
                    .contains(QStringLiteral("Exec=\"/opt/100%%/a\\\\\\\\b\" %f")));

        // Unrelated files in the same folders stay.
        QFile other(home.filePath(QStringLiteral("applications/other.desktop")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QVERIFY(removeFileAssociation(home.path()));
        for (const QString& file : associationFiles()) {
            QVERIFY(!QFileInfo::exists(home.filePath(file)));
        }
        QVERIFY(other.exists());
        QVERIFY(removeFileAssociation(home.path())); // nothing left to remove is no failure
    }

    void commandLineRegistersOrUnregisters() {
        QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        const QString desktop = dir.filePath(QStringLiteral("applications/axolite.desktop"));
        frame.applyCommandLine({QStringLiteral("axolite")}, dir.path(), false);
        QVERIFY(QFileInfo::exists(desktop));
        frame.applyCommandLine({QStringLiteral("axolite"), QStringLiteral("unregister")},
                               dir.path(), false);
        QVERIFY(!QFileInfo::exists(desktop));
        QVERIFY(frame.client()->children().isEmpty());

        // Files named on the command line (the desktop entry's %f) open in windows.
        const QString file = dir.filePath(QStringLiteral("arg.net"));
        QFile(file).open(QIODevice::WriteOnly);
        frame.applyCommandLine({QStringLiteral("axolite"), file}, dir.path(), false);
        QCOMPARE(frame.client()->children().size(), 1);
        QCOMPARE(frame.client()->children()[0]->path(), file);
        QVERIFY(QFileInfo::exists(desktop));
        QVERIFY(wantsUnregister({QStringLiteral("UNREGISTER")}));
        QVERIFY(!wantsUnregister({QStringLiteral("file.net")}));
    }

    // Installed: the desktop entry under <prefix>/share beside <prefix>/bin, the examples under
    // share/axolite; from a build, the source tree's examples.
    void theInstallationIsFoundBesideTheProgram() {
        QTemporaryDir prefix;
        const QDir root(prefix.path());
        root.mkpath(QStringLiteral("bin"));
        root.mkpath(QStringLiteral("share/axolite/examples"));
        const Installation build = installation(root.filePath(QStringLiteral("bin")));
        QVERIFY(!build.installed);
        QCOMPARE(build.examples, QStringLiteral(AXOLITE_EXAMPLES_DIR));
        root.mkpath(QStringLiteral("share/applications"));
        QFile entry(
            root.filePath(QStringLiteral("share/applications/org.axolite.Axolite.desktop")));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.close();
        const Installation installed = installation(root.filePath(QStringLiteral("bin")));
        QVERIFY(installed.installed);
        QCOMPARE(installed.examples, root.filePath(QStringLiteral("share/axolite/examples")));
        // The about box says which version runs and where.
        TAboutBox about;
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("version"))->text(), programVersion());
        QVERIFY(about.findChild<QLabel*>(QStringLiteral("examples"))
                    ->text()
                    .endsWith(QStringLiteral("examples")));
    }

    void dataHomeFollowsTheEnvironment() {
        qputenv("XDG_DATA_HOME", "/tmp/somewhere");
        QCOMPARE(xdgDataHome(), QStringLiteral("/tmp/somewhere"));
        qputenv("XDG_DATA_HOME", "relative/path");
        QCOMPARE(xdgDataHome(), QDir::homePath() + QStringLiteral("/.local/share"));
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(xdgDataHome(), QDir::homePath() + QStringLiteral("/.local/share"));
    }

    void everyCommandHasAHelpTopic() {
        QVERIFY(THelpWindow::hasTopic(0));
        for (const CommandInfo& info : commandTable()) {
            if (info.id != CmHelpContents) {
                QVERIFY2(THelpWindow::hasTopic(info.id), info.menuText);
            }
        }
        QCOMPARE(THelpWindow::topicUrl(99999), THelpWindow::topicUrl(0));
    }

    void helpOpensOnTheTopicAsked() {
        openHelp(CmCheck);
        QVERIFY(helpWindow() != nullptr);
        QCOMPARE(helpWindow()->currentPage(), QUrl(QStringLiteral("qrc:/help/18003.html")));
        QCOMPARE(helpWindow()->currentTitle(),
                 QStringLiteral("Проверка правильности описания нейронной сети"));
        openHelp();
        QCOMPARE(helpWindow()->currentTitle(), QStringLiteral("Содержание"));
        closeHelp();
        QTRY_VERIFY(helpWindow() == nullptr);
    }

    void helpCommandsAndF1InAMenu() {
        QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        frame.execute(CmHelpOnHelp);
        QCOMPARE(helpWindow()->currentPage(), QUrl(QStringLiteral("qrc:/help/2002.html")));
        frame.execute(CmHelpContents);
        QCOMPARE(helpWindow()->currentPage(), QUrl(QStringLiteral("qrc:/help/index.html")));

        // F1 on the highlighted item of an open menu.
        QMenu* file = frame.menuBar()->actions().first()->menu();
        file->popup(QPoint(0, 0));
        QTRY_VERIFY(file->isVisible());
        file->setActiveAction(frame.command(CmFileOpen));
        QTest::keyClick(file, Qt::Key_F1);
        QCOMPARE(helpWindow()->currentPage(), QUrl(QStringLiteral("qrc:/help/24332.html")));
        QTRY_VERIFY(!file->isVisible());

        // The same in the editor's context menu (101).
        TAxoliteMDIChild* child = frame.newDescription();
        QUrl shown;
        QTimer::singleShot(0, &frame, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr && menu->objectName() == QStringLiteral("101"));
            menu->setActiveAction(frame.command(CmCheck));
            QTest::keyClick(menu, Qt::Key_F1);
            shown = helpWindow()->currentPage();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                child->editor()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(child->editor(), &event);
        QCOMPARE(shown, QUrl(QStringLiteral("qrc:/help/18003.html")));
        closeHelp();
    }

    void helpCursorShowsTheNextCommandsTopicInsteadOfRunningIt() {
        QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        frame.startHelpCursor();
        QVERIFY(frame.helpCursorActive());
        // A command greyed out for lack of a description can still be asked about.
        QVERIFY(frame.command(CmGraphs)->isEnabled());
        frame.command(CmGraphs)->trigger();
        QCOMPARE(helpWindow()->currentPage(), QUrl(QStringLiteral("qrc:/help/14.html")));
        QVERIFY(!frame.command(CmGraphs)->isEnabled());
        frame.startHelpCursor();
        frame.command(CmFileNew)->trigger();
        QVERIFY(!frame.helpCursorActive());
        QVERIFY(frame.activeChild() == nullptr); // "Новый" did not run
        QCOMPARE(helpWindow()->currentPage(), QUrl(QStringLiteral("qrc:/help/24331.html")));

        frame.startHelpCursor();
        QTest::keyClick(&frame, Qt::Key_Escape);
        QVERIFY(!frame.helpCursorActive());
        frame.command(CmFileNew)->trigger();
        QVERIFY(frame.activeChild() != nullptr);
        closeHelp();
    }

    // The model dialog's "Помощь" opens the help on its contents, as the check window's does.
    void theModelDialogsHelpOpensTheContents() {
        QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        frame.newDescription();
        openHelp(CmCheck); // some other page first
        QUrl shown;
        bool found = false;
        QTimer::singleShot(0, &frame, [&] {
            auto* dialog = frame.findChild<TChooseModel*>();
            found = dialog != nullptr;
            if (dialog != nullptr) {
                dialog->findChild<QPushButton*>(QStringLiteral("9"))->click();
                shown = helpWindow() != nullptr ? helpWindow()->currentPage() : QUrl();
                dialog->reject();
            }
        });
        frame.execute(CmNeuronModel);
        QVERIFY(found);
        QCOMPARE(shown, QUrl(QStringLiteral("qrc:/help/index.html")));
        closeHelp();
    }

    // Help asked for from a modal dialog answers clicks while the dialog stays open, and
    // stays open as a window of its own when the dialog goes.
    void helpFromAModalDialogStaysUsable() {
        QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        const auto click = [](THelpWindow* help, const QString& text) {
            for (auto* button : help->findChildren<QPushButton*>()) {
                if (button->text() == text) {
                    QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {},
                                      button->mapTo(help, button->rect().center()));
                }
            }
        };
        QDialog dialog(&frame);
        dialog.setModal(true);
        QUrl afterClick;
        QTimer::singleShot(0, &dialog, [&] {
            openHelp(CmFolders);
            QVERIFY(QTest::qWaitForWindowExposed(helpWindow()));
            click(helpWindow(), QStringLiteral("Содержание"));
            afterClick = helpWindow()->currentPage();
            dialog.accept();
        });
        dialog.exec();
        QCOMPARE(afterClick, QUrl(QStringLiteral("qrc:/help/index.html")));
        QPointer<THelpWindow> help = helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->parentWidget(), nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(help.data()));
        click(help, QStringLiteral("Закрыть"));
        QTRY_VERIFY(!help);
    }

    void helpWindowClosesWithTheFrame() {
        {
            QTemporaryDir dir;
            TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
            frame.execute(CmHelpContents);
            QVERIFY(helpWindow() != nullptr);
            QVERIFY(frame.close());
        }
        QTRY_VERIFY(helpWindow() == nullptr);
    }

    void aboutBoxFigures() {
        QCOMPARE(processorTypeName(3), QStringLiteral("Intel 386"));
        QCOMPARE(processorTypeName(4), QStringLiteral("Intel 486"));
        QCOMPARE(processorTypeName(6), QStringLiteral("Intel PENTIUM"));
        QCOMPARE(processorTypeName(0), QStringLiteral("Intel PENTIUM"));
        QCOMPARE(processorFamilyFromCpuInfo(QStringLiteral(
                     "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 4\n")),
                 4);
        QCOMPARE(processorFamilyFromCpuInfo(QStringLiteral("garbage")), 0);
        QCOMPARE(memoryText(0), QStringLiteral("1 M"));
        QCOMPARE(memoryText((std::uint64_t{16} << 30) + 5), QStringLiteral("16385 M"));
        QVERIFY(totalPhysicalMemory() > 0);
        QCOMPARE(startupPicture().size(), QSize(290, 120));
    }

    void descriptionPrintsToPdf() {
        QTemporaryDir dir;
        QStringList lines;
        for (int i = 0; i < 200; ++i) {
            lines
                << QStringLiteral("neuron %1, neuron %2, weight 0.5; // нейрон").arg(i).arg(i + 1);
        }
        const DescriptionPrintout printout(QStringLiteral("сеть.net"), lines.join(u'\n'));
        QPrinter printer;
        printToPdf(printer, dir);
        QList<int> pages;
        int total = 0;
        QCOMPARE(printout.print(printer,
                                [&](int page, int count) {
                                    pages << page;
                                    total = count;
                                    return true;
                                }),
                 PrintOutcome::Printed);
        QVERIFY(total >= 3);
        QCOMPARE(pages.size(), total);
        QFile pdf(dir.filePath(QStringLiteral("out.pdf")));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().startsWith("%PDF"));
    }

    void cancelledPrintingStopsAtThePage() {
        QTemporaryDir dir;
        const DescriptionPrintout printout(QStringLiteral("x"), QString(5000, u'\n'));
        QPrinter printer;
        printToPdf(printer, dir);
        int seen = 0;
        QCOMPARE(printout.print(printer,
                                [&](int page, int) {
                                    seen = page;
                                    return page < 2;
                                }),
                 PrintOutcome::Cancelled);
        QCOMPARE(seen, 2);
    }

    void previewCaptionFollowsThePagesShown() {
        QStringList lines;
        for (int i = 0; i < 300; ++i) {
            lines << QStringLiteral("neuron %1;").arg(i);
        }
        const DescriptionPrintout printout(QStringLiteral("x.net"), lines.join(u'\n'));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        QStringList captions;
        QTimer::singleShot(0, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QPrintPreviewDialog*>(top);
                if (dialog == nullptr || !dialog->isVisible()) {
                    continue;
                }
                const auto action = [dialog](const char* text) {
                    for (QAction* a : dialog->findChildren<QAction*>()) {
                        if (a->text() == QLatin1String(text)) {
                            return a;
                        }
                    }
                    return static_cast<QAction*>(nullptr);
                };
                QApplication::processEvents();
                captions << dialog->windowTitle();
                action("Next page")->trigger();
                QApplication::processEvents();
                captions << dialog->windowTitle();
                action("First page")->trigger();
                action("Show facing pages")->trigger();
                QApplication::processEvents();
                captions << dialog->windowTitle();
                dialog->reject();
            }
        });
        showPrintPreview(printout, printer, nullptr);
        QCOMPARE(captions, (QStringList{"Page 1", "Page 2", "Page 1 - 2"}));
    }

    // The abort dialog is modal while the pages are printed; the preview's print button
    // closes the preview and leaves the printing to the caller (its print dialog, the abort
    // dialog and their messages) instead of printing round them.
    void printingGoesThroughTheAbortDialog() {
        QTemporaryDir dir;
        const DescriptionPrintout printout(QStringLiteral("x.net"), QString(300, u'\n'));
        QPrinter printer;
        printToPdf(printer, dir);
        QString modalTitle;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modalTitle = modal->windowTitle();
            }
        });
        QCOMPARE(printWithAbortDialog(printout, printer, nullptr), PrintOutcome::Printed);
        QCOMPARE(modalTitle, QStringLiteral("Печать нейронной сети"));

        QFile::remove(printer.outputFileName());
        // Whatever the preview's print opens of its own is closed, so the test goes on.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && qobject_cast<QPrintPreviewDialog*>(modal) == nullptr) {
                modal->close();
            }
        });
        closer.start(50);
        QTimer::singleShot(0, [] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            QVERIFY(preview != nullptr);
            for (QAction* action : preview->findChildren<QAction*>()) {
                if (action->text() == QStringLiteral("Print")) {
                    action->trigger();
                }
            }
            if (preview->isVisible()) {
                preview->reject();
            }
        });
        QVERIFY(showPrintPreview(printout, printer, nullptr));
        QVERIFY(!QFile::exists(printer.outputFileName()));
    }

    // "Параметры печати ..." is the platform's print dialog, where the printer is chosen.
    void printSetupOffersTheChoiceOfPrinter() {
        QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        bool printDialog = false;
        QTimer::singleShot(0, &frame, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            printDialog = qobject_cast<QPrintDialog*>(modal) != nullptr;
            if (modal != nullptr) {
                modal->close();
            }
        });
        frame.execute(CmPrintSetup);
        QVERIFY(printDialog);
    }

    void recentFilesLiveInTheCurrentFolder() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        {
            TAxoliteApp frame; // "./Axolite.ini"
            QFile file(QStringLiteral("a.net"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QVERIFY(frame.openDescription(QStringLiteral("a.net")) != nullptr);
        }
        QDir::setCurrent(previous);
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("Axolite.ini"))));
    }

    void printTexts() {
        QCOMPARE(previewCaption(3, 3), QStringLiteral("Page 3"));
        QCOMPARE(previewCaption(3, 4), QStringLiteral("Page 3 - 4"));
        QCOMPARE(printFailureText(QStringLiteral("a.net"), QStringLiteral("из-за ошибки принтера")),
                 QStringLiteral("'a.net' не напечатан из-за ошибки принтера."));
    }
};

QTEST_MAIN(ShellPlatformTest)
#include "shell_platform_test.moc"
