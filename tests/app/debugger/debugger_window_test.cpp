// The debugger window on a simulated example: stepping moves the table, the editor's marks (the
// explanation's own lines) and the result views' cursors; a run to a condition stops where a
// plain scan of the histories does; every way the session ends leaves the window disabled with
// its reason and the description without marks; the run is never changed.
#include "app/debugger/condition_list.h"
#include "app/debugger/debug_window.h"
#include "app/debugger/watch_panel.h"
#include "app/debugger/watch_table.h"
#include "app/editor/edit_file.h"
#include "app/gui/command_ids.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/mdi_child.h"
#include "app/views/dynamics_view.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "core/debugger/debug_session.h"
#include "core/debugger/explanation_rows.h"
#include "core/debugger/run_values.h"
#include "core/simulation/explain.h"

#include "dialog_controls.h"
#include "test_frame.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <optional>

using axolite::gui::CmCheck;
using axolite::gui::CmDebugger;
using axolite::gui::ToolWindows;

namespace {

const QString kWaitCounts = QStringLiteral(AXOLITE_EXAMPLES_DIR "/wait_counts.net");

void click(QWidget& window, const char* id) {
    control<QPushButton>(window, id)->click();
}

// The first step in [from, end) (forward) or the last in [end, from) (backward) where the test
// holds, by a plain loop over the histories.
std::optional<std::int32_t> plainScan(std::int32_t from, std::int32_t end,
                                      const std::function<bool(std::int32_t)>& holds) {
    if (from <= end) {
        for (std::int32_t s = from; s < end; ++s) {
            if (holds(s)) {
                return s;
            }
        }
    } else {
        for (std::int32_t s = from - 1; s >= end; --s) {
            if (holds(s)) {
                return s;
            }
        }
    }
    return std::nullopt;
}

} // namespace

class DebuggerWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    TAxoliteMDIChild* simulated(const QString& path) { return openSimulated(*frame_, path); }

    // "Отладка ..." of the active description.
    TDebugWindow* debugger(TAxoliteMDIChild* child) {
        frame_->client()->setActiveSubWindow(child);
        frame_->execute(CmDebugger);
        return qobject_cast<TDebugWindow*>(ToolWindows::instance().find(CmDebugger, child));
    }

    static std::vector<std::int32_t> explainedLines(TAxoliteMDIChild* child, std::int32_t neuron,
                                                    std::int32_t step) {
        return axolite::debugger::explanationLines(axolite::simulation::explainValue(
            child->record(), *child->checkResult(), *child->simulation(), neuron, step));
    }

    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

private slots:
    void init() { frame_ = testFrame(dir_); }
    void cleanup() {
        frame_.reset();
        settle();
    }

    // Each move shows the step and x, the table's values of the step and the step before, and
    // marks in the editor exactly the lines the explanation of the selected value lists; the
    // histories stay as they were.
    void steppingMovesTableAndMarks() {
        TAxoliteMDIChild* child = simulated(kWaitCounts);
        QVERIFY(child != nullptr);
        const auto run = axolite::debugger::RunValues::of(child->record());
        const std::vector<double> before(run.activity, run.activity + run.neurons * run.steps);
        TDebugWindow* window = debugger(child);
        QVERIFY(window != nullptr && window->session() != nullptr);
        frame_->updateCommands();
        QVERIFY(!frame_->command(CmDebugger)->isEnabled()); // one window per description

        QVERIFY(window->watches()->addWatch(3));
        QVERIFY(!window->watches()->addWatch(4)); // outside the network: refused
        click(*window, "2104");
        click(*window, "2104");
        QCOMPARE(window->session()->step(), 2);
        const auto& row = window->watches()->model()->rows().at(0);
        QCOMPARE(row.value, run.neuron(2, 2));
        QCOMPARE(*row.previous, run.neuron(2, 1));
        QCOMPARE(child->editor()->markedLines(), explainedLines(child, 2, 2));
        QVERIFY(!child->editor()->markedLines().empty());
        QCOMPARE(window->watches()->explanation()->count(),
                 static_cast<int>(
                     axolite::debugger::explanationRows(
                         axolite::simulation::explainValue(child->record(), *child->checkResult(),
                                                           *child->simulation(), 2, 2))
                         .size()));

        click(*window, "2103");
        QCOMPARE(window->session()->step(), 1);
        QCOMPARE(child->editor()->markedLines(), explainedLines(child, 2, 1));
        click(*window, "2105");
        QCOMPARE(window->session()->step(), run.steps - 1);
        click(*window, "2104"); // beyond the last step: stays
        QCOMPARE(window->session()->step(), run.steps - 1);
        click(*window, "2102");
        QCOMPARE(window->session()->step(), 0);
        QCOMPARE(child->editor()->markedLines(), explainedLines(child, 2, 0));
        control<QSlider>(*window, "2108")->setValue(5);
        QCOMPARE(window->session()->step(), 5);
        QVERIFY(window->stepText().contains(QStringLiteral("x = 0.5")));

        // Another row selected: its value's lines are marked.
        window->watches()->addOutputWatches();
        window->watches()->selectNeuron(1);
        QCOMPARE(child->editor()->markedLines(), explainedLines(child, 1, 5));

        // Closing the window takes the marks away; the run is as it was.
        window->close();
        settle();
        QVERIFY(child->editor()->markedLines().empty());
        QVERIFY(std::equal(before.begin(), before.end(), run.activity));
    }

    // A condition with an error is marked with its reason as typed; a run to a condition stops
    // where a plain scan does and names it, forward and back; switched off, it is not run to.
    void conditionsStopWhereAPlainScanDoes() {
        TAxoliteMDIChild* child = simulated(kWaitCounts);
        QVERIFY(child != nullptr);
        const auto run = axolite::debugger::RunValues::of(child->record());
        TDebugWindow* window = debugger(child);
        QVERIFY(window != nullptr);
        TConditionList* conditions = window->conditions();
        click(*window, "2117");
        QCOMPARE(conditions->count(), 1);
        conditions->field(0)->setText(QStringLiteral("n3 >"));
        QVERIFY(!conditions->problem(0).isEmpty());
        QVERIFY(conditions->field(0)->styleSheet().contains(QStringLiteral("d00000")));
        conditions->field(0)->setText(QStringLiteral("n3 > 0.5"));
        QVERIFY(conditions->problem(0).isEmpty());
        QVERIFY(conditions->field(0)->styleSheet().isEmpty());

        const auto n3Above = [&](std::int32_t s) { return run.neuron(2, s) > 0.5; };
        std::int32_t at = 0;
        while (const auto expected = plainScan(at + 1, run.steps, n3Above)) {
            QVERIFY(window->continueToCondition());
            QCOMPARE(window->session()->step(), *expected);
            QVERIFY(window->statusText().contains(QStringLiteral("n3 > 0.5")));
            at = *expected;
        }
        QVERIFY(at > 0); // the example reaches the value
        QVERIFY(!window->continueToCondition());
        QCOMPARE(window->session()->step(), at);

        window->goTo(run.steps - 1);
        QVERIFY(window->backToCondition());
        QCOMPARE(window->session()->step(), *plainScan(run.steps - 1, 0, n3Above));

        // Two conditions: the earlier step wins.
        window->first();
        conditions->addCondition(QStringLiteral("step = 3 или x >= 0.75"));
        QVERIFY(window->continueToCondition());
        QCOMPARE(window->session()->step(), std::min(3, *plainScan(1, run.steps, n3Above)));

        conditions->activeBox(0)->setChecked(false);
        conditions->activeBox(1)->setChecked(false);
        const std::int32_t stay = window->session()->step();
        QVERIFY(!window->continueToCondition());
        QCOMPARE(window->session()->step(), stay);
        QCOMPARE(window->statusText(), QStringLiteral("Нет включённых условий без ошибок."));
    }

    // The graphs view's cursor, the numeric view's step and the dynamics view's columns (when
    // chosen) follow the debugger; a view opened later starts at its step.
    void viewsFollowTheStep() {
        TAxoliteMDIChild* child = simulated(kWaitCounts);
        QVERIFY(child != nullptr);
        frame_->execute(axolite::gui::CmGraphs);
        frame_->execute(axolite::gui::CmDynamics);
        auto* graphs = qobject_cast<TAxoliteGraphs*>(
            ToolWindows::instance().find(axolite::gui::CmGraphs, child));
        auto* dynamics = qobject_cast<TNetworkDynamic*>(
            ToolWindows::instance().find(axolite::gui::CmDynamics, child));
        QVERIFY(graphs != nullptr && dynamics != nullptr);
        TDebugWindow* window = debugger(child);
        QVERIFY(window != nullptr);

        window->goTo(7);
        QCOMPARE(graphs->settings().cursorColumn, std::optional<int>(6 + 7));
        dynamics->popupMenu()->findChild<QAction*>(QStringLiteral("1612"))->trigger();
        QCOMPARE(dynamics->settings().still, axolite::render::StillValues::Step);
        QCOMPARE(dynamics->settings().stillStep, 7);
        window->goTo(9);
        QCOMPARE(dynamics->settings().stillStep, 9);
        QCOMPARE(graphs->settings().cursorColumn, std::optional<int>(6 + 9));

        frame_->client()->setActiveSubWindow(child);
        frame_->execute(axolite::gui::CmNumeric);
        auto* numeric = qobject_cast<TAxoliteNumeric*>(
            ToolWindows::instance().find(axolite::gui::CmNumeric, child));
        QVERIFY(numeric != nullptr);
        QCOMPARE(numeric->currentStep(), 9);
        window->back();
        QCOMPARE(numeric->currentStep(), 8);
    }

    // An edit, the closing of the check window (before a new check) and the closing of the
    // description each end the session: the window says why, its moves are disabled, the marks
    // are gone; a new session opens after a new run.
    void everyWayTheSessionEnds() {
        using End = TDebugWindow::End;
        TAxoliteMDIChild* child = simulated(kWaitCounts);
        QVERIFY(child != nullptr);
        TDebugWindow* window = debugger(child);
        QVERIFY(window != nullptr);
        window->watches()->addWatch(2);
        window->goTo(3);
        QVERIFY(!child->editor()->markedLines().empty());
        child->editor()->insertPlainText(QStringLiteral(" "));
        QCOMPARE(window->ended(), std::optional<End>(End::Edited));
        QVERIFY(window->session() == nullptr);
        QCOMPARE(window->statusText(), TDebugWindow::endText(End::Edited));
        QVERIFY(!control<QPushButton>(*window, "2104")->isEnabled());
        QVERIFY(child->editor()->markedLines().empty());
        QVERIFY(!child->stepCursor());
        window->forward(); // nothing to move
        child->editor()->undo();
        child->editor()->setModified(false);

        // Re-checking: the check window closes first; a new run opens a new session in place
        // of the ended window.
        child->checkWindow()->close();
        settle();
        frame_->execute(CmCheck);
        QVERIFY(child->checkWindow() != nullptr && child->checkWindow()->correct());
        child->checkWindow()->calculate();
        TDebugWindow* second = debugger(child);
        QVERIFY(second != nullptr && second != window && second->session() != nullptr);
        settle();
        child->checkWindow()->close();
        settle();
        QCOMPARE(second->ended(), std::optional<End>(End::CheckClosed));
        QCOMPARE(second->statusText(), TDebugWindow::endText(End::CheckClosed));

        // Closing the description (its check window goes with it).
        TAxoliteMDIChild* other = simulated(kWaitCounts);
        QVERIFY(other != nullptr);
        QPointer<TDebugWindow> third = debugger(other);
        QVERIFY(third != nullptr);
        third->watches()->addWatch(3);
        other->close();
        settle();
        QVERIFY(third != nullptr);
        QCOMPARE(third->ended(), std::optional<End>(End::Closed));
        QCOMPARE(third->statusText(), TDebugWindow::endText(End::Closed));
        third->goTo(2); // nothing is read of the closed description
        third->close();
    }

    // The table saved as CSV holds what the table shows.
    void tableSavedAsCsv() {
        TAxoliteMDIChild* child = simulated(kWaitCounts);
        QVERIFY(child != nullptr);
        TDebugWindow* window = debugger(child);
        QVERIFY(window != nullptr);
        window->watches()->addOutputWatches();
        window->goTo(4);
        const QString path = dir_.filePath(QStringLiteral("watch.csv"));
        QVERIFY(window->watches()->saveTable(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text, window->watches()->tableText());
        QCOMPARE(text.count(u'\n'), 1 + window->watches()->model()->rowCount());
        QVERIFY(text.contains(QStringLiteral("\n2;4;")));
    }
};

QTEST_MAIN(DebuggerWindowTest)
#include "debugger_window_test.moc"
