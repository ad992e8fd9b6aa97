// The frame while a computation runs: exit and "Закрыть все окна" stop the run and then ask about
// every changed description with the real message box, a cancel keeps everything; commands that
// would open a modal loop wait for the run; a new check closes the old check window properly.
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/command_ids.h"
#include "app/gui/computation_guard.h"
#include "app/gui/notifier.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include "sample_texts.h"
#include "test_frame.h"
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace axolite::gui;

namespace {

// 10^6 steps of two neurons: long enough for events to be processed during the run.
const char* const kLongRun = "neurons 2;\nsimtime 0, 10;\ntimestep 0.00001;\n"
                             "outputlayer {neuron 2, weight 1;}\n"
                             "networklayout {neuron 1, neuron 2, weight 0.5;}\n"
                             "end\n";

// Answers the real message boxes as a user would: each box is left open for a while (so that
// whatever is queued meanwhile runs inside its event loop), then the next answer is clicked.
// A box that closes before it is answered was closed by the program, not by the user.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QList<QMessageBox::StandardButton> answers)
        : answers_(std::move(answers)) {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::look);
        timer_.start();
    }

    QStringList asked;        // the texts of the boxes shown
    int closedUnanswered = 0; // boxes that went away before the user answered them

private:
    void look() {
        if (box_ && ++ticks_ >= 20) {
            QAbstractButton* button = box_->button(answers_.value(asked.size() - 1));
            box_ = nullptr;
            waiting_ = false;
            if (button != nullptr) {
                button->click();
            }
            return;
        }
        if (!box_ && waiting_) {
            waiting_ = false;
            ++closedUnanswered;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box != seen_) {
            seen_ = box;
            box_ = box;
            waiting_ = true;
            ticks_ = 0;
            asked << box->text();
        }
    }

    QList<QMessageBox::StandardButton> answers_;
    QTimer timer_;
    QPointer<QMessageBox> box_;
    QPointer<QMessageBox> seen_;
    bool waiting_ = false;
    int ticks_ = 0;
};

QString question(const QString& name) {
    return QStringLiteral("Содержимое файла %1 изменено.\n\nСохранить изменения?").arg(name);
}

} // namespace

class ShellRunningTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    // A description with an unsaved edit, checked.
    TAxoliteMDIChild* editedAndChecked(const char* text) {
        TAxoliteMDIChild* child = frame_->newDescription();
        child->editor()->setPlainText(QString::fromUtf8(text));
        child->editor()->insertPlainText(QStringLiteral("// edit\n"));
        frame_->client()->setActiveSubWindow(child);
        frame_->execute(CmCheck);
        return child;
    }

private slots:
    void init() { frame_ = testFrame(dir_); }
    void cleanup() {
        Notifier::instance().setCapturing(true);
        frame_.reset();
    }

    // Exit, the frame's close box and "Закрыть все окна" during a run: the run stops, then
    // every changed description asks once; "Отмена" keeps the program and the text, "Нет"
    // closes.
    void closingDuringARunAsksAboutEveryChange_data() {
        QTest::addColumn<int>("how"); // a command, or 0 for the frame's close box
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("second"); // a second changed description, not running
        QTest::newRow("exit, cancel") << int(CmExit) << true << false;
        QTest::newRow("exit, cancel, two") << int(CmExit) << true << true;
        QTest::newRow("close box, cancel") << 0 << true << true;
        QTest::newRow("close all, cancel") << int(CmCloseAll) << true << true;
        QTest::newRow("exit, discard") << int(CmExit) << false << true;
        QTest::newRow("close all, discard") << int(CmCloseAll) << false << true;
    }
    void closingDuringARunAsksAboutEveryChange() {
        QFETCH(int, how);
        QFETCH(bool, cancel);
        QFETCH(bool, second);
        QPointer<TAxoliteMDIChild> idle = second ? editedAndChecked(kCorrect) : nullptr;
        QPointer<TAxoliteMDIChild> running = editedAndChecked(kLongRun);
        TTranslateDialog* check = running->checkWindow();
        Notifier::instance().setCapturing(false);
        const auto answer = cancel ? QMessageBox::Cancel : QMessageBox::No;
        BoxAnswerer answerer({answer, answer});
        bool requestedDuringRun = false;
        QTimer::singleShot(0, frame_.get(), [&] {
            requestedDuringRun = check->running();
            if (how == 0) {
                frame_->close();
            } else {
                frame_->execute(how);
            }
        });
        check->calculate();
        QVERIFY(requestedDuringRun);
        QVERIFY(running);
        QVERIFY(running->record().simulated == 0); // the run was stopped
        QVERIFY(answerer.asked.isEmpty());         // nothing is asked from inside the run

        // Exit stops at the first "Отмена"; "Закрыть все окна" asks every window, as without a
        // run.
        const QStringList expected =
            (cancel && how != int(CmCloseAll)) || !second
                ? QStringList{question(running->displayName())}
                : QStringList{question(running->displayName()), question(idle->displayName())};
        QTRY_COMPARE(answerer.asked.size(), expected.size());
        QTest::qWait(300);
        QCOMPARE(QSet<QString>(answerer.asked.begin(), answerer.asked.end()),
                 QSet<QString>(expected.begin(), expected.end()));
        QCOMPARE(answerer.closedUnanswered, 0);
        QCOMPARE(bool(running), cancel);
        if (cancel) {
            QVERIFY(frame_->isVisible());
            QVERIFY(running->isModified());
            QVERIFY(running->editor()->toPlainText().startsWith(QStringLiteral("// edit\n")));
        } else {
            QVERIFY(!idle);
            QCOMPARE(frame_->isVisible(), how != int(CmExit));
        }
    }

    // After an interrupted run the check window stays open and the check is available again:
    // a new check closes the old window as "Закрыть" does, so the partial series of the
    // interrupted run are not left for the views when the new check finds errors.
    void aNewCheckClosesTheOldCheckWindowAsClosingDoes() {
        TAxoliteMDIChild* child = editedAndChecked(kLongRun);
        QPointer<TTranslateDialog> old = child->checkWindow();
        QTimer::singleShot(0, old, [&] { old->progressDialog()->interrupt(); });
        old->calculate();
        QVERIFY(child->record().networkPresent[0] != 0); // the part computed
        frame_->updateCommands();
        QVERIFY(frame_->command(CmCheck)->isEnabled());
        QSignalSpy closed(old.data(), &TTranslateDialog::closed);

        child->editor()->moveCursor(QTextCursor::Start);
        child->editor()->insertPlainText(QStringLiteral("nonsense\n"));
        frame_->execute(CmCheck);
        QCOMPARE(closed.count(), 1);
        QVERIFY(child->checkWindow() != old);
        QVERIFY(!child->checkWindow()->correct());
        QCOMPARE(child->record().networkPresent, (std::array<std::uint8_t, 4>{}));
        QVERIFY(child->checkOpen());
    }

    // A message while a run goes on (here a dropped file that cannot be read) is shown without
    // a loop of its own: the run goes on meanwhile, and the box stays until the user closes it.
    void aMessageDuringARunHoldsNothing() {
        TAxoliteMDIChild* child = editedAndChecked(kLongRun);
        TTranslateDialog* check = child->checkWindow();
        Notifier::instance().setCapturing(false);
        const QString missing = dir_.filePath(QStringLiteral("missing.net"));
        // A box run modally would hold the run: it is closed after 5 s, so that the test fails
        // rather than waits.
        QTimer rescue;
        rescue.setSingleShot(true);
        connect(&rescue, &QTimer::timeout, this, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->close();
            }
        });
        rescue.start(5000);
        QPointer<QMessageBox> shown;
        bool runningAfter = false;
        QTimer::singleShot(0, check, [&] {
            emit frame_->client()->filesDropped({missing});
            runningAfter = check->running() && rescue.isActive();
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                    shown = box;
                }
            }
            check->progressDialog()->interrupt();
        });
        check->calculate();
        QVERIFY(runningAfter);
        QVERIFY(shown);
        QVERIFY(!shown->isModal());
        QVERIFY(shown->text().contains(QStringLiteral("missing.net")));
        QVERIFY(shown->isVisible()); // not lost when the run ended
        shown->close();
        QTRY_VERIFY(!shown);
    }

    // The editor's context menu during a run pops up and leaves the run going.
    void aContextMenuDuringARunHoldsNothing() {
        TAxoliteMDIChild* child = editedAndChecked(kLongRun);
        TTranslateDialog* check = child->checkWindow();
        QTimer rescue; // a menu run in its own loop would hold the run: closed after 5 s
        rescue.setSingleShot(true);
        connect(&rescue, &QTimer::timeout, this, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
        });
        rescue.start(5000);
        QPointer<QWidget> menu;
        bool returnedAtOnce = false;
        QTimer::singleShot(0, check, [&] {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                    child->editor()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(child->editor(), &event);
            returnedAtOnce = check->running() && rescue.isActive();
            menu = QApplication::activePopupWidget();
            check->progressDialog()->interrupt();
        });
        check->calculate();
        QVERIFY(returnedAtOnce);
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), QStringLiteral("101"));
        menu->close();
        QTRY_VERIFY(!menu); // it deletes itself
    }

    // During a run nothing may start a modal loop (it would hold the run until it closed) nor a
    // second computation: those commands are disabled, and so is "Посчитать ..." of another
    // description, whose press is refused; afterwards everything is back.
    void commandsThatWouldHoldTheRunWaitForIt() {
        const QString recent = dir_.filePath(QStringLiteral("recent.net"));
        QFile file(recent);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(frame_->openDescription(recent) != nullptr);
        TAxoliteMDIChild* other = editedAndChecked(kCorrect);
        TTranslateDialog* otherCheck = other->checkWindow();
        TAxoliteMDIChild* child = editedAndChecked(kLongRun);
        TTranslateDialog* check = child->checkWindow();
        TAxoliteMDIChild* fresh = frame_->newDescription();
        fresh->editor()->insertPlainText(QStringLiteral("neurons 1;\nend\n"));
        const QList<int> modal = {CmFileOpen, CmFileSave,     CmFileSaveAs, CmPrintPreview,
                                  CmPrint,    CmPrintSetup,   CmFolders,    CmNeuronModel,
                                  CmCheck,    CmTeachNetwork, CmAbout};
        const auto enabledOf = [&] {
            frame_->client()->setActiveSubWindow(fresh);
            frame_->updateCommands();
            QList<int> enabled;
            if (frame_->findChild<QAction*>(QStringLiteral("mru1"))->isEnabled()) {
                enabled << 0; // the recent file
            }
            for (const int id : modal) {
                if (frame_->command(id)->isEnabled()) {
                    enabled << id;
                }
            }
            return enabled;
        };
        auto* otherButton = otherCheck->findChild<QPushButton*>(QStringLiteral("137"));
        QCOMPARE(enabledOf(), QList<int>{0} + modal);
        QVERIFY(otherButton->isEnabled());

        QList<int> duringRun = modal;
        bool otherButtonDuringRun = true;
        bool otherRan = true;
        QTimer::singleShot(0, check, [&] {
            duringRun = enabledOf();
            otherButtonDuringRun = otherButton->isEnabled();
            otherCheck->calculate();
            otherRan = otherCheck->running() || other->record().simulated != 0;
            check->progressDialog()->interrupt();
        });
        check->calculate();
        QCOMPARE(duringRun, QList<int>{});
        QVERIFY(!otherButtonDuringRun);
        QVERIFY(!otherRan);
        QCOMPARE(enabledOf(), QList<int>{0} + modal);
        QVERIFY(otherButton->isEnabled());
    }
};

QTEST_MAIN(ShellRunningTest)
#include "shell_running_test.moc"
