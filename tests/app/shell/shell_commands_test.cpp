// The frame's commands driven by their identifiers: the menus, the toolbar and the context menu
// hold the right commands, each command is enabled exactly when its rule holds (before and after
// a check, a simulation and an edit), the check command opens the check window, and the window
// slots are used 1..20, then 0, 1, ...
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/computation_guard.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_register.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"

#include "sample_texts.h"
#include "test_frame.h"
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

using namespace axolite::shell;

namespace {

// Every command that a description's state decides.
const QList<int> kDescriptionCommands = {CmNeuronModel, CmCheck,  CmInputActivation, CmRungeKutta,
                                         CmExactValues, CmGraphs, CmNumeric,         CmDynamics};

} // namespace

class ShellCommandsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    bool enabled(int id) {
        frame_->updateCommands();
        QAction* action = frame_->command(id);
        return action != nullptr && action->isEnabled();
    }
    QList<int> enabledOf(const QList<int>& ids) {
        QList<int> result;
        for (int id : ids) {
            if (enabled(id)) {
                result.append(id);
            }
        }
        return result;
    }
    TAxoliteMDIChild* describe(const char* text) {
        TAxoliteMDIChild* child = frame_->newDescription();
        child->editor()->setPlainText(QString::fromUtf8(text));
        frame_->client()->setActiveSubWindow(child);
        return child;
    }

private slots:
    void init() { frame_ = testFrame(dir_); }
    void cleanup() { frame_.reset(); }

    void everyCommandIsAnActionNamedByItsIdentifier() {
        for (const CommandInfo& info : commandTable()) {
            QAction* action = frame_->findChild<QAction*>(QString::number(info.id));
            QVERIFY2(action != nullptr, info.menuText);
            QCOMPARE(action->text(), QString::fromUtf8(info.menuText));
            QVERIFY(!action->statusTip().isEmpty());
        }
        QCOMPARE(frame_->command(CmFileNew)->statusTip(), QStringLiteral("Описать нейронную сеть"));
        QCOMPARE(frame_->command(CmEditPaste)->text(), QStringLiteral("Вставить "));
        QCOMPARE(frame_->windowTitle(), QStringLiteral("Axolite"));
    }

    // The texts written out here, apart from the command table, so a slip in either shows.
    void menuTextsAndCaptionPrefixesAreTheProductsOwn() {
        const std::vector<std::pair<int, const char*>> texts = {
            {24331, "Новый"},
            {24332, "Открыть ..."},
            {24339, "Закрыть"},
            {24333, "Сохранить"},
            {24334, "Сохранить как ..."},
            {24340, "Предварительный просмотр ..."},
            {24337, "Печать ..."},
            {24338, "Параметры печати ..."},
            {5, "Установить директории ..."},
            {8, "Опредение модели нейроноподобного элемента ..."},
            {18003, "Проверка правильности описания нейронной сети"},
            {37, "Активирование нейронов входного слоя сети ..."},
            {18000, "Решение нормальной системы дифференциальных уравнений ..."},
            {18001, "Вычисление точных значений ..."},
            {14, "Графики активности нейронов выходного слоя сети"},
            {12, "Числовые значения активности нейронов выходного слоя сети"},
            {13, "Динамика нейронов выходного слоя сети ..."},
            {42, "Обучаемая нейронная сеть ..."},
            {24321, "Отменить"},
            {24322, "Вырезать"},
            {24323, "Копировать"},
            {24324, "Вставить "},
            {24325, "Удалить"},
            {24326, "Удалить все"},
            {24351, "Найти ..."},
            {24352, "Заменить ..."},
            {24353, "Следующий"},
            {24361, "Каскадировать"},
            {24362, "Черепица"},
            {24364, "Упорядочить иконки"},
            {24365, "Закрыть все окна"},
            {2001, "Содержание"},
            {2002, "Справка"},
            {2009, "О программе ..."},
            {24310, "Выйти"},
        };
        // Every command the frame carries out itself is among them.
        for (const CommandInfo& info : frameCommandTable()) {
            QVERIFY2(std::any_of(texts.begin(), texts.end(),
                                 [&info](const auto& text) { return text.first == info.id; }),
                     info.menuText);
        }
        for (const auto& [id, text] : texts) {
            QAction* action = frame_->command(id);
            QVERIFY2(action != nullptr, text);
            QCOMPARE(action->text(), QString::fromUtf8(text));
        }
        const std::vector<std::pair<int, const char*>> prefixes = {
            {18000, "Решение нормальной системы дифференциальных уравнений "},
            {18001, "Вычисление точных значений "},
            {18003, "Проверка правильности описания нейронной сети "},
            {14, "Графики активности нейронов выходного слоя сети "},
            {12, "Числовые значения активности нейронов выходного слоя сети "},
            {13, "Динамика нейронов выходного слоя сети "},
            {37, "Активирование нейронов входного слоя сети "},
        };
        for (const auto& [id, prefix] : prefixes) {
            QCOMPARE(toolCaptionPrefix(id), QString::fromUtf8(prefix));
        }
    }

    void theLayeredNetworkCommandWaitsWhileItsDialogIsOpen() {
        QVERIFY(enabled(CmTeachNetwork));
        {
            QWidget dialog;
            axolite::gui::ToolWindows::instance().hold(CmTeachNetwork, nullptr, &dialog);
            QVERIFY(!enabled(CmTeachNetwork));
        }
        // The register forgets a window that is destroyed.
        QVERIFY(enabled(CmTeachNetwork));
    }

    void menusAndToolbarHoldTheCommandsInOrder() {
        QStringList titles;
        for (QAction* menu : frame_->menuBar()->actions()) {
            titles << menu->text();
        }
        QCOMPARE(titles, (QStringList{"Файл", "Редактирование", "Поиск", "Нейронная сеть", "Окно",
                                      "Помощь"}));

        auto* bar = frame_->findChild<QToolBar*>(QStringLiteral("Toolbar"));
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->windowTitle(), QStringLiteral("Toolbar"));
        QStringList buttons;
        for (QAction* action : bar->actions()) {
            buttons << (action->isSeparator() ? QStringLiteral(";") : action->objectName());
        }
        QCOMPARE(buttons.join(u' '),
                 QStringLiteral("24331 ; 42 ; 24332 24333 ; 5 ; 24322 24323 24324 ; 24321 ; "
                                "24351 24353 ; 37 ; 8 ; 18003 ; 18000 18001 ; 14 12 13 ; "
                                "24337 24340 ; 2001"));
    }

    void withoutWindowsOnlyTheAlwaysCommandsAreEnabled() {
        for (int id :
             {CmFileNew, CmFileOpen, CmFolders, CmTeachNetwork, CmCascade, CmTile, CmArrangeIcons,
              CmCloseAll, CmHelpContents, CmHelpOnHelp, CmAbout, CmExit, CmPrintSetup}) {
            QVERIFY2(enabled(id), qPrintable(QString::number(id)));
        }
        // Nothing to print.
        for (int id :
             {CmPrint, CmPrintPreview, CmFileClose, CmFileSave, CmFileSaveAs, CmEditUndo, CmEditCut,
              CmEditCopy, CmEditDelete, CmEditClear, CmFind, CmReplace, CmFindNext}) {
            QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
        }
        QCOMPARE(enabledOf(kDescriptionCommands), QList<int>{});
    }

    void enablingFollowsCheckSimulationAndEdit() {
        TAxoliteMDIChild* child = describe(kCorrect);
        // A window never checked: only the check and the model dialog.
        QCOMPARE(enabledOf(kDescriptionCommands), (QList<int>{CmNeuronModel, CmCheck}));
        QVERIFY(enabled(CmFileClose));
        QVERIFY(enabled(CmEditClear));

        frame_->execute(CmCheck);
        TTranslateDialog* check = child->checkWindow();
        QVERIFY(check != nullptr);
        QVERIFY(check->correct());
        // While the check window is open neither the check nor the model dialog can run.
        QCOMPARE(enabledOf(kDescriptionCommands), QList<int>{CmInputActivation});

        check->calculate();
        QVERIFY(child->record().simulated != 0);
        // The run used the input layer up: activation waits for the next check.
        QCOMPARE(enabledOf(kDescriptionCommands),
                 (QList<int>{CmRungeKutta, CmExactValues, CmGraphs, CmNumeric, CmDynamics}));

        // A view open for this description disables its own command only.
        auto* view = new QWidget;
        axolite::gui::ToolWindows::instance().hold(axolite::gui::CmGraphs, child, view);
        QVERIFY(!enabled(CmGraphs));
        QVERIFY(enabled(CmNumeric));
        delete view;
        QVERIFY(enabled(CmGraphs));

        // Any edit makes the results out of date.
        child->editor()->moveCursor(QTextCursor::End);
        child->editor()->insertPlainText(QStringLiteral(" "));
        QVERIFY(child->record().simulated == 0);
        QCOMPARE(enabledOf(kDescriptionCommands), QList<int>{});
        QVERIFY(enabled(CmEditUndo));

        // Closing the check window makes the check available again.
        check->close();
        QTRY_VERIFY(child->checkWindow() == nullptr || !child->checkWindow()->isVisible());
        QCOMPARE(enabledOf(kDescriptionCommands), (QList<int>{CmNeuronModel, CmCheck}));
    }

    void commandsFollowTheActiveWindow() {
        TAxoliteMDIChild* simulated = describe(kCorrect);
        frame_->execute(CmCheck);
        simulated->checkWindow()->calculate();
        TAxoliteMDIChild* fresh = describe("neurons 1;\nend\n");
        QVERIFY(!enabled(CmGraphs));
        frame_->client()->setActiveSubWindow(simulated);
        QVERIFY(enabled(CmGraphs));
        frame_->client()->setActiveSubWindow(fresh);
        QVERIFY(!enabled(CmGraphs));
    }

    void selectionDecidesCutCopyDelete() {
        TAxoliteMDIChild* child = describe("neurons 2;");
        QVERIFY(!enabled(CmEditCut));
        child->editor()->selectAll();
        QVERIFY(enabled(CmEditCut));
        QVERIFY(enabled(CmEditCopy));
        QVERIFY(enabled(CmEditDelete));
        QApplication::clipboard()->clear();
        QTRY_VERIFY(!enabled(CmEditPaste));
        frame_->execute(CmEditCopy);
        QTRY_VERIFY(enabled(CmEditPaste));
        frame_->execute(CmEditDelete);
        QVERIFY(child->editor()->isEmpty());
        QVERIFY(!enabled(CmEditClear));
        frame_->execute(CmEditUndo);
        QCOMPARE(child->editor()->toPlainText(), QStringLiteral("neurons 2;"));
        frame_->execute(CmEditClear);
        QVERIFY(child->editor()->isEmpty());
    }

    void checkOfAnEmptyDescriptionOnlyTellsSo() {
        TAxoliteMDIChild* child = describe("");
        frame_->execute(CmCheck);
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(
            Notifier::instance().captured()[0],
            (axolite::Message{axolite::MessageKind::Information, "Нейронная сеть не описана."}));
        QVERIFY(child->checkWindow() == nullptr);
        QVERIFY(enabled(CmCheck));
    }

    void checkWindowIsCaptionedWithTheLowerCasedPath() {
        const QString path = dir_.filePath(QStringLiteral("Сеть_ABC.net"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kCorrect);
        file.close();
        TAxoliteMDIChild* child = frame_->openDescription(path);
        QVERIFY(child != nullptr);
        frame_->execute(CmCheck);
        QVERIFY(child->checkWindow() != nullptr);
        QCOMPARE(child->checkWindow()->windowTitle(),
                 QStringLiteral("Проверка правильности описания нейронной сети ") + path.toLower());
        QVERIFY(child->checkWindow()->isVisible());
    }

    void caretLineFollowsIntoTheCheckWindow() {
        TAxoliteMDIChild* child = describe(kCorrect);
        frame_->execute(CmCheck);
        auto* line = child->checkWindow()->findChild<QLabel*>(QStringLiteral("900"));
        QVERIFY(line != nullptr);
        QCOMPARE(line->text(), QStringLiteral("Недоступна")); // until the caret moves
        child->editor()->moveCursor(QTextCursor::Start);
        for (int i = 0; i < 4; ++i) {
            child->editor()->moveCursor(QTextCursor::Down);
        }
        QCOMPARE(line->text().trimmed(), QStringLiteral("5"));
    }

    void inputActivationWithoutAnInputLayerExplainsItself() {
        TAxoliteMDIChild* child = describe(kCorrect);
        child->record().inputLayerReady = 1; // ready, but no list
        frame_->execute(CmInputActivation);
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(Notifier::instance().captured()[0].text,
                 std::string("Входной слой нейронной сети не определен"));
    }

    void registeredToolsOpenFromTheirCommand() {
        int opened = 0;
        DescriptionWindow* seen = nullptr;
        const axolite::gui::ToolDescriptor original = *axolite::gui::findTool(CmRungeKutta);
        axolite::gui::ToolDescriptor standIn = original;
        standIn.open = [&](axolite::gui::ToolHost&, DescriptionWindow* child) {
            ++opened;
            seen = child;
        };
        axolite::gui::registerTool(standIn);
        TAxoliteMDIChild* child = describe(kCorrect);
        frame_->execute(CmRungeKutta); // disabled: not simulated
        QCOMPARE(opened, 0);
        child->record().simulated = 1;
        frame_->execute(CmRungeKutta);
        QCOMPARE(opened, 1);
        QCOMPARE(seen, static_cast<DescriptionWindow*>(child));
        axolite::gui::registerTool(original);
    }

    // A tool the frame has never heard of: registered, it becomes an action that is dispatched
    // to its opener, follows its enabling rule, and waits while a computation runs.
    void aNewlyRegisteredToolIsDispatchedByTheFrame() {
        constexpr int kNewTool = 31001;
        int opened = 0;
        bool allowed = true;
        axolite::gui::ToolDescriptor tool;
        tool.id = kNewTool;
        tool.menuText = "Новый инструмент";
        tool.enabled = [&allowed](const DescriptionWindow*) { return allowed; };
        tool.open = [&opened](axolite::gui::ToolHost&, DescriptionWindow*) { ++opened; };
        axolite::gui::registerTool(tool);
        frame_ = testFrame(dir_);
        frame_->execute(kNewTool);
        QCOMPARE(opened, 1);
        allowed = false;
        frame_->execute(kNewTool);
        QCOMPARE(opened, 1);
        allowed = true;
        {
            axolite::language::NetworkRecord record;
            const axolite::gui::ComputationGuard running(record);
            QVERIFY(!enabled(kNewTool));
            QVERIFY(!enabled(CmCheck));
            QVERIFY(!enabled(CmFileOpen));
            QVERIFY(enabled(CmFileNew)); // opens no modal loop
        }
        QVERIFY(enabled(kNewTool));
        axolite::gui::ToolDescriptor gone;
        gone.id = kNewTool;
        axolite::gui::registerTool(gone); // an opener no longer there opens nothing
        frame_->execute(kNewTool);
        QCOMPARE(opened, 1);
    }

    // The register of tool windows forgets a view when it is closed and when it is destroyed,
    // and tells its description at once.
    void theRegisterOfWindowsForgetsClosedAndDestroyedWindows() {
        auto& windows = axolite::gui::ToolWindows::instance();
        TAxoliteMDIChild* child = describe(kCorrect);
        auto* view = new QWidget;
        view->setAttribute(Qt::WA_DeleteOnClose);
        windows.hold(CmNumeric, child, view);
        view->show();
        QCOMPARE(windows.find(CmNumeric, child), view);
        QVERIFY(windows.find(CmNumeric) == nullptr);
        QSignalSpy changed(child, &DescriptionWindow::stateChanged);
        QVERIFY(view->close());
        QVERIFY(windows.find(CmNumeric, child) == nullptr);
        QCOMPARE(changed.size(), 1);

        auto* other = new QWidget;
        windows.hold(CmNumeric, child, other);
        delete other;
        QVERIFY(windows.find(CmNumeric, child) == nullptr);

        // A description that closes takes its entries along.
        auto* orphan = new QWidget;
        windows.hold(CmGraphs, child, orphan);
        delete child;
        QVERIFY(windows.find(CmGraphs, child) == nullptr);
        delete orphan;
    }

    void windowMenuListsAndActivatesTheWindows() {
        TAxoliteMDIChild* first = frame_->newDescription();
        TAxoliteMDIChild* second = frame_->newDescription();
        QCOMPARE(frame_->activeChild(), second);
        QMenu* window = frame_->menuBar()->actions()[4]->menu();
        emit window->aboutToShow();
        QList<QAction*> listed;
        for (QAction* action : window->actions()) {
            if (action->isCheckable()) {
                listed << action;
            }
        }
        QCOMPARE(listed.size(), 2);
        QVERIFY(!listed[0]->isChecked());
        QVERIFY(listed[1]->isChecked());
        listed[0]->trigger();
        QCOMPARE(frame_->activeChild(), first);
    }

    void acceleratorsRunTheirCommands() {
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        QTest::keyClick(frame_.get(), Qt::Key_N, Qt::ControlModifier);
        QPointer<TAxoliteMDIChild> child = frame_->activeChild();
        QVERIFY(child != nullptr);
        QTest::keyClicks(child->editor(), QStringLiteral("neurons 2;"));
        QCOMPARE(child->editor()->toPlainText(), QStringLiteral("neurons 2;"));
        QTest::keyClick(child->editor(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(child->editor()->toPlainText().size() < 10);
        child->editor()->setModified(false);
        QTest::keyClick(child->editor(), Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(child.isNull());
    }

    void anAmpersandInAFileNameIsShownAsItIs() {
        const QString path = dir_.filePath(QStringLiteral("a&b.net"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kCorrect);
        file.close();
        QVERIFY(frame_->openDescription(path) != nullptr);
        auto* recent = frame_->findChild<QAction*>(QStringLiteral("mru1"));
        QVERIFY(recent != nullptr);
        const QString shown =
            QStringLiteral("&1 ") + QString(path).replace(u'&', QStringLiteral("&&"));
        QCOMPARE(recent->text(), shown);
        QMenu* window = frame_->menuBar()->actions()[4]->menu();
        emit window->aboutToShow();
        QCOMPARE(window->actions().last()->text(), shown);
    }

    void contextMenuRepeatsTheDescriptionCommands() {
        QStringList ids;
        for (int id : contextMenuLayout()) {
            ids << QString::number(id);
        }
        QCOMPARE(ids.join(u' '), QStringLiteral("18003 8 37 18000 18001 14 12 13"));
    }

    void slotsRunOneToTwentyThenZero() {
        QList<int> used;
        TAxoliteMDIChild* first = nullptr;
        for (int i = 0; i < 22; ++i) {
            TAxoliteMDIChild* child = frame_->newDescription();
            if (i == 0) {
                first = child;
            }
            used << child->slot();
        }
        QCOMPARE(used.first(), 1);
        QCOMPARE(used[19], 20);
        QCOMPARE(used[20], 0);
        QCOMPARE(used[21], 1);
        // The table entry of slot 1 now names the new window, the old one still stands.
        QVERIFY(frame_->client()->windowInSlot(1) != first);
        QCOMPARE(frame_->client()->windowInSlot(1)->slot(), 1);
        QVERIFY(first->isVisible());
    }

    void closingAWindowDuringASimulationWaitsForIt() {
        TAxoliteMDIChild* child = describe("neurons 2;\nsimtime 0, 10;\ntimestep 0.00001;\n"
                                           "outputlayer {neuron 2, weight 1;}\n"
                                           "networklayout {neuron 1, neuron 2, weight 0.5;}\n"
                                           "end\n");
        child->editor()->setModified(false);
        frame_->execute(CmCheck);
        QPointer<TAxoliteMDIChild> guard(child);
        TTranslateDialog* check = child->checkWindow();
        // Close from inside the computation (as a click processed during a step would).
        bool triedDuringRun = false;
        QTimer::singleShot(0, child, [&] {
            triedDuringRun = check->running();
            child->close();
        });
        check->calculate();
        QVERIFY(triedDuringRun);
        QVERIFY(guard);                          // still there when the computation returned
        QVERIFY(guard->record().simulated == 0); // the close request stopped the run
        QTRY_VERIFY(!guard);
    }

    void anEditDuringASimulationLeavesItsResultsOutOfDate() {
        TAxoliteMDIChild* child = describe("neurons 2;\nsimtime 0, 10;\ntimestep 0.00001;\n"
                                           "outputlayer {neuron 2, weight 1;}\n"
                                           "networklayout {neuron 1, neuron 2, weight 0.5;}\n"
                                           "end\n");
        frame_->execute(CmCheck);
        TTranslateDialog* check = child->checkWindow();
        bool editedDuringRun = false;
        QTimer::singleShot(0, child, [&] {
            editedDuringRun = check->running();
            child->editor()->insertPlainText(QStringLiteral("// "));
        });
        check->calculate();
        QVERIFY(editedDuringRun);
        // The run finished, but for the text as it was checked.
        QCOMPARE(child->record().simulated, std::uint8_t{0});
        QVERIFY(!enabled(CmGraphs));
        // A later run raises it as usual.
        check->calculate();
        QCOMPARE(child->record().simulated, std::uint8_t{1});
        QVERIFY(enabled(CmGraphs));
    }
};

QTEST_MAIN(ShellCommandsTest)
#include "shell_commands_test.moc"
