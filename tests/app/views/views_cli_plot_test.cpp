// `axolite-cli plot` draws what the views show: the graphs view's own picture of the ring example,
// simulated through the frame, and the tool's picture of the same description are the same
// pixels, with and without the grid, in compress and stretch mode.
#include "app/gui/calculation_progress.h"
#include "app/gui/command_ids.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/mdi_child.h"
#include "app/views/graphs_view.h"

#include "dialog_controls.h"
#include "test_frame.h"

#include <QCheckBox>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class ViewsCliPlotTest : public QObject {
    Q_OBJECT
private slots:
    void theToolDrawsWhatTheGraphsViewShows() {
        QTemporaryDir dir;
        auto frame = testFrame(dir);
        const QString ring = QStringLiteral(AXOLITE_EXAMPLES_DIR "/ring.net");
        TAxoliteMDIChild* child = frame->openDescription(ring);
        QVERIFY(child != nullptr);
        frame->execute(axolite::gui::CmCheck);
        QVERIFY(child->checkWindow() != nullptr && child->checkWindow()->correct());
        control<QPushButton>(*child->checkWindow(), "137")->click();
        QCOMPARE(child->record().simulated, 1);
        frame->execute(axolite::gui::CmGraphs);
        auto* view = qobject_cast<TAxoliteGraphs*>(
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child));
        QVERIFY(view != nullptr);

        struct Case {
            bool grid;
            bool stretch;
            QStringList options;
        };
        for (const Case& c :
             {Case{true, false, {QStringLiteral("--grid")}},
              Case{false, false, {}}, // no grid: the graphs' default (--no-grid is the dynamics')
              Case{true, true, {QStringLiteral("--grid"), QStringLiteral("--stretch")}}}) {
            control<QCheckBox>(*view, "15037")->setChecked(c.grid);
            view->findChild<QRadioButton*>(QString::fromLatin1(c.stretch ? "15042" : "15041"))
                ->setChecked(true);
            const QString shown = dir.filePath(QStringLiteral("shown.png"));
            axolite::gui::setFileChooser(
                [&](QWidget*, const axolite::gui::FileDialogRequest&) { return shown; });
            view->exportPicture(axolite::views_gui::PictureFormat::Png);
            axolite::gui::setFileChooser({});

            const QString drawn = dir.filePath(QStringLiteral("drawn.png"));
            QProcess cli;
            cli.start(QStringLiteral(AXOLITE_CLI),
                      QStringList{QStringLiteral("plot"), ring, QStringLiteral("--png"), drawn} +
                          c.options);
            QVERIFY(cli.waitForFinished(60000));
            QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
            const QImage fromView = QImage(shown).convertToFormat(QImage::Format_RGB32);
            const QImage fromTool = QImage(drawn).convertToFormat(QImage::Format_RGB32);
            QVERIFY(!fromView.isNull());
            QCOMPARE(fromTool.size(), fromView.size());
            QVERIFY2(fromTool == fromView, qPrintable(c.options.join(u' ')));
        }
    }
};

QTEST_MAIN(ViewsCliPlotTest)
#include "views_cli_plot_test.moc"
