// The "Первые шаги" page walked as a new user follows it from a fresh clone: no folder settings,
// the examples where the clone has them, every step through the frame's commands, with what the
// user sees checked at each step; and the help contents leading to the page first.
#include "app/gui/command_ids.h"
#include "app/gui/help_window.h"
#include "app/gui/tool_windows.h"
#include "app/shell/mdi_client.h"
#include "app/tools/first_steps.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// The text of the numeric view's field with this identifier.
QString value(QWidget* window, int id) {
    auto* field = window->findChild<QLineEdit*>(QString::number(id));
    return field != nullptr ? field->text() : QString();
}

// Step 7 as the page tells it: the numeric view opened anew shows, at the entry x(100) it
// scrolled to, y1 = sin(1) and y2 = cos(1) beside the network's values and the network's
// largest error (about 0.049, as `axolite-cli run --exact` gives); the graphs view opened anew
// offers the exact curves, ticked.
bool exactValuesShown(QWidget* numeric, TAxoliteMDIChild* example) {
    auto* list = numeric->findChild<QAbstractItemView*>(QStringLiteral("811"));
    const double error = value(numeric, 810).toDouble();
    if (list == nullptr || list->currentIndex().row() != axolite::first_steps::kCompareStep ||
        !list->viewport()->rect().intersects(list->visualRect(list->currentIndex())) ||
        std::fabs(value(numeric, 805).toDouble() - std::sin(1.0)) > 1e-9 ||
        std::fabs(value(numeric, 806).toDouble() - std::cos(1.0)) > 1e-9 ||
        value(numeric, 801).isEmpty() || std::fabs(error - 0.0486) > 1e-3) {
        return false;
    }
    QWidget* graphs = axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, example);
    for (const char* id : {"15008", "15009"}) {
        auto* box = graphs != nullptr ? graphs->findChild<QCheckBox*>(QLatin1String(id)) : nullptr;
        if (box == nullptr || !box->isEnabled() || !box->isChecked()) {
            return false;
        }
    }
    return true;
}

} // namespace

class FirstStepsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Notifier::instance().setCapturing(true);
        Notifier::instance().clearCaptured();
    }

    void everyStepWorksFromAFreshClone() {
        QTemporaryDir dir;
        // Started elsewhere than the examples, as the README's run command does.
        QVERIFY(QDir::setCurrent(dir.path()));
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        QVERIFY(!frame.client()->folders().set);
        // The trained network goes to a folder of its own, not the current one: its models are
        // found beside it all the same, and nothing says otherwise.
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("xor")));
        const axolite::first_steps::Setup setup{QDir(QStringLiteral(AXOLITE_EXAMPLES_DIR)),
                                                dir.filePath(QStringLiteral("xor/xor.net")), 2026};
        QList<int> steps;
        TAxoliteMDIChild* example = nullptr;
        const QString failure =
            axolite::first_steps::walk(frame, setup, [&](const axolite::first_steps::Step& step) {
                steps << step.number;
                if (!step.window->isVisible()) {
                    return false;
                }
                TAxoliteMDIChild* active = frame.activeChild();
                switch (step.number) {
                case 1:
                    example = active;
                    return active->path() ==
                           setup.examples.filePath(QStringLiteral("oscillator.net"));
                case 3: { // two output series over 1000 steps, not all zero
                    const auto& series = active->record().outputSeries[1];
                    return active->record().networkPresent ==
                               std::array<std::uint8_t, 4>{1, 1, 0, 0} &&
                           series.size() == 1000 &&
                           std::any_of(series.begin(), series.end(),
                                       [](double y) { return y != 0.0; });
                }
                case 4:
                    return qobject_cast<TAxoliteGraphs*>(step.window) != nullptr;
                case 5:
                    return !value(step.window, 801).isEmpty();
                case 7: // sin and cos at x(100) = 1 beside the network, the x(100) entry shown
                    return exactValuesShown(step.window, example);
                case 8:
                    return step.window->isModal() && example->record().exactPresent[0] != 0;
                case 9:
                    return active != example && QFileInfo::exists(setup.written) &&
                           QFileInfo::exists(dir.filePath(QStringLiteral("xor/401.neu")));
                case 10: // the response to (0, 0) at x(2): learnt, near the target 0.1
                    return active->path() == setup.written && active->record().simulated != 0 &&
                           std::fabs(value(step.window, 801).toDouble() - 0.1) < 0.01;
                default:
                    return true;
                }
            });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(steps, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(frame.client()->subWindowList().size(), 2);
        QVERIFY(Notifier::instance().captured().empty());
        // The models of the trained network were found beside it.
        QCOMPARE(frame.activeChild()->record().simulated, std::uint8_t{1});
        frame.close();
    }

    // A step that does not work stops the walk with its number: here the training patterns are
    // missing, so nothing is trained and no description is written.
    void aStepThatFailsIsNamed() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(AXOLITE_EXAMPLES_DIR "/oscillator.net"),
                            dir.filePath(QStringLiteral("oscillator.net"))));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("models")));
        for (const char* model : {"2.neu"}) {
            QVERIFY(QFile::copy(QStringLiteral(AXOLITE_EXAMPLES_DIR "/models/") + model,
                                dir.filePath(QStringLiteral("models/")) + model));
        }
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        const axolite::first_steps::Setup setup{QDir(dir.path()),
                                                dir.filePath(QStringLiteral("xor.net")), 1};
        int last = 0;
        const QString failure =
            axolite::first_steps::walk(frame, setup, [&](const axolite::first_steps::Step& step) {
                last = step.number;
                return true;
            });
        QCOMPARE(last, 7);
        QVERIFY2(failure.startsWith(QStringLiteral("step 8")), qPrintable(failure));
        QVERIFY(!QFileInfo::exists(setup.written));
    }

    void theContentsOpenWithTheFirstSteps() {
        openHelp(axolite::gui::CmHelpContents);
        THelpWindow* help = helpWindow();
        QVERIFY(help != nullptr);
        auto* browser = help->findChild<QTextBrowser*>();
        QVERIFY(browser != nullptr);
        const QString contents = browser->toHtml();
        QVERIFY(contents.contains(QStringLiteral("Первые шаги")));
        QVERIFY(contents.indexOf(QStringLiteral("Первые шаги")) <
                contents.indexOf(QStringLiteral("Меню «Файл»")));
        browser->setSource(QUrl(QStringLiteral("qrc:/help/first-steps.html")));
        const QString page = browser->toHtml();
        QVERIFY(page.contains(QStringLiteral("Первые шаги")));
        // Every picture of the page is compiled in.
        const QStringList pictures =
            QDir(QStringLiteral(":/help")).entryList({QStringLiteral("first-steps-*.png")});
        QCOMPARE(pictures.size(), 10);
        for (const QString& picture : pictures) {
            QVERIFY2(page.contains(picture), qPrintable(picture));
        }
        // The pictures fit the help window's width (scaled down in proportion, never cut off)
        // and show at their own size when the window is wide enough, after every resize.
        const auto shownWidths = [browser] {
            QHash<QString, double> widths;
            for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next()) {
                for (auto it = b.begin(); !it.atEnd(); ++it) {
                    const QTextCharFormat format = it.fragment().charFormat();
                    if (format.isImageFormat()) {
                        widths[format.toImageFormat().name()] = format.toImageFormat().width();
                    }
                }
            }
            return widths;
        };
        for (const QSize size : {QSize(640, 520), QSize(1600, 900), QSize(640, 520)}) {
            help->resize(size);
            QCoreApplication::processEvents();
            const auto widths = shownWidths();
            QCOMPARE(widths.size(), pictures.size());
            for (const QString& picture : pictures) {
                const int own = QImage(QStringLiteral(":/help/") + picture).width();
                const double shown = widths.value(picture);
                QVERIFY2(shown > 0 && shown <= browser->viewport()->width(), qPrintable(picture));
                // Its own width, or the whole width of the page when that is narrower.
                QVERIFY2(shown == own || (shown < own && shown > browser->viewport()->width() - 40),
                         qPrintable(picture));
            }
            QCOMPARE(browser->horizontalScrollBar()->maximum(), 0);
        }
        closeHelp();
    }
};

QTEST_MAIN(FirstStepsTest)
#include "first_steps_test.moc"
