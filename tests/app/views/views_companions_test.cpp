// The result views through the frame's commands: one view of each kind per description, the
// colour legend and the scales window brought up by the graphs and dynamics commands and closed
// as the views close, their own "Закрыть", and the scales themselves.
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/command_ids.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "app/views/activity_colors.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "app/views/show_scales.h"
#include "app/views/views_tools.h"

#include "dialog_controls.h"
#include "sample_texts.h"
#include "view_fixtures.h"
#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace axolite::gui;
using axolite::language::SeriesFamily;

class ViewsCompanionsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    bool enabled(int id) {
        frame_->updateCommands();
        return frame_->command(id)->isEnabled();
    }
    TAxoliteMDIChild* simulatedDescription() {
        TAxoliteMDIChild* child = frame_->newDescription();
        child->editor()->setPlainText(QString::fromUtf8(kCorrect));
        frame_->client()->setActiveSubWindow(child);
        frame_->execute(CmCheck);
        child->checkWindow()->calculate();
        return child;
    }
    void closeWidget(QWidget* widget) {
        QVERIFY(widget != nullptr);
        control<QPushButton>(*widget,
                             widget->findChild<QPushButton*>(QStringLiteral("2")) ? "2" : "1")
            ->click();
    }

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        frame_ = std::make_unique<TAxoliteApp>(dir_.filePath(QStringLiteral("Axolite.ini")));
        frame_->show();
        frame_->client()->folders().models = AXOLITE_EXAMPLES_DIR "/models";
        frame_->client()->folders().set = true;
    }
    void cleanup() { frame_.reset(); }

    void graphsAndDynamicsBringUpAndCloseTheCompanions() {
        TAxoliteMDIChild* child = simulatedDescription();
        QVERIFY(enabled(CmGraphs));
        frame_->execute(CmGraphs);
        QVERIFY(qobject_cast<TAxoliteGraphs*>(axolite::gui::ToolWindows::instance().find(
                    axolite::gui::CmGraphs, child)) != nullptr);
        QVERIFY(!enabled(CmGraphs));
        QPointer<QWidget> legend =
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow);
        QPointer<QWidget> scales =
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow);
        QVERIFY(qobject_cast<TActivityColors*>(legend.data()) != nullptr);
        QVERIFY(qobject_cast<TShowScales*>(scales.data()) != nullptr);
        QVERIFY(legend->isVisible() && scales->isVisible());

        // The dynamics command finds the legend open: still one.
        frame_->execute(CmDynamics);
        QVERIFY(axolite::gui::ToolWindows::instance().find(axolite::gui::CmDynamics, child));
        QCOMPARE(
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow),
            legend);
        QCOMPARE(frame_->findChildren<TActivityColors*>().size(), 1);

        // Closing the graphs view closes the scales window; the legend stays for the dynamics.
        closeWidget(axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child));
        QVERIFY(!axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child));
        QVERIFY(enabled(CmGraphs));
        QVERIFY(!axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow));
        QTRY_VERIFY(scales.isNull());
        QCOMPARE(
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow),
            legend);
        // Closing the dynamics view, with no graphs view left, closes the legend.
        closeWidget(axolite::gui::ToolWindows::instance().find(axolite::gui::CmDynamics, child));
        QVERIFY(
            !axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow));
        QTRY_VERIFY(legend.isNull());
        QVERIFY(enabled(CmDynamics));

        // Each companion's own "Закрыть" lets the next command bring it up again.
        frame_->execute(CmGraphs);
        closeWidget(axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow));
        closeWidget(
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow));
        QVERIFY(
            !axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow) &&
            !axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow));
        closeWidget(axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child));
        frame_->execute(CmGraphs);
        QVERIFY(
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow) &&
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow));

        // An edited description keeps the legend when its graphs view closes.
        child->editor()->insertPlainText(QStringLiteral(" "));
        QVERIFY(child->record().simulated == 0);
        closeWidget(axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child));
        QVERIFY(!axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow));
        QVERIFY(
            axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow));
    }

    void aViewClosedWhileAnotherDescriptionIsActiveFreesItsOwnCommand() {
        TAxoliteMDIChild* first = simulatedDescription();
        frame_->execute(CmNumeric);
        auto* numeric = qobject_cast<TAxoliteNumeric*>(
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, first));
        QVERIFY(numeric != nullptr);
        QCOMPARE(numeric->stepModel()->rowCount(), 4);
        frame_->execute(CmNumeric); // disabled now: no second view
        QCOMPARE(frame_->findChildren<TAxoliteNumeric*>().size(), 1);
        TAxoliteMDIChild* second = simulatedDescription();
        QVERIFY(enabled(CmNumeric));
        closeWidget(numeric);
        QVERIFY(!axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, first));
        frame_->client()->setActiveSubWindow(first);
        QVERIFY(enabled(CmNumeric));
        Q_UNUSED(second);
    }

    void aDescriptionClosedUnderItsViewsLeavesThemEmpty() {
        TAxoliteMDIChild* child = simulatedDescription();
        frame_->execute(CmGraphs);
        frame_->execute(CmNumeric);
        frame_->execute(CmDynamics);
        QPointer<QWidget> graphs =
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child);
        auto* numeric = qobject_cast<TAxoliteNumeric*>(
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, child));
        numeric->setCurrentStep(2);
        const QString before = control<QLineEdit>(*numeric, "801")->text();
        // Simulated again with the views open: they show the new run's values when it ends.
        child->record().outputSeries[0][2] = 1234.5;
        child->checkWindow()->calculate();
        QVERIFY(child->record().simulated != 0);
        QCOMPARE(control<QLineEdit>(*numeric, "801")->text(), before);
        graphs->grab();
        child->checkWindow()->close();
        child->close();
        QTRY_VERIFY(frame_->client()->subWindowList().isEmpty());
        QVERIFY(graphs);
        graphs->grab();
        closeWidget(graphs);
    }

    void scalesShowTheirRangesAndDisableAbsentRows() {
        FakeDescription window;
        window.setGrid(0.0, 10.0, 1.0);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j == 3 ? 0.5 : 0.0; });
        window.setSeries(SeriesFamily::Network, 1, [](int j) { return j == 2 ? -3.0 : 0.0; });
        window.setSeries(SeriesFamily::Network, 2, [](int) { return 0.0; });
        window.setSeries(SeriesFamily::RungeKutta, 1, [](int j) { return j * 0.1; });
        TShowScales scales(&window.record());
        QCOMPARE(label(scales, "110"), QStringLiteral("380.00000"));
        QCOMPARE(label(scales, "119"), QStringLiteral("63.33333"));
        // A series 0 throughout: no finite scale, but its row is there.
        QCOMPARE(label(scales, "120"), QStringLiteral("Недоступен"));
        QVERIFY(scales.findChild<QLabel*>(QStringLiteral("120"))->isEnabled());
        QCOMPARE(label(scales, "121"), QStringLiteral("Недоступен"));
        QVERIFY(!scales.findChild<QLabel*>(QStringLiteral("121"))->isEnabled());
        QVERIFY(!scales.findChild<QLabel*>(QStringLiteral("109"))->isEnabled());
        QVERIFY(scales.findChild<QGroupBox*>(QStringLiteral("102"))->isEnabled());
        // Runge-Kutta: y1 absent, y2 present: the group stays disabled, its y2 row does not.
        QVERIFY(!scales.findChild<QGroupBox*>(QStringLiteral("103"))->isEnabled());
        QVERIFY(scales.findChild<QLabel*>(QStringLiteral("112"))->isEnabled());
        QCOMPARE(label(scales, "123"), QStringLiteral("211.11111"));
        QVERIFY(!scales.findChild<QGroupBox*>(QStringLiteral("104"))->isEnabled());

        TShowScales none(nullptr);
        for (const char* id : {"110", "122", "129"}) {
            QCOMPARE(label(none, id), QStringLiteral("Недоступен"));
            QVERIFY(!none.findChild<QLabel*>(QString::fromLatin1(id))->isEnabled());
        }
    }
};

QTEST_MAIN(ViewsCompanionsTest)
#include "views_companions_test.moc"
