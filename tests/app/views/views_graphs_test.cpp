// The graphs view on records filled by hand: its controls, the slider fixed at set-up, R that
// only grows, a right click that moves the numeric view's step, the hover text, a window that is
// edited or closed under the view, values that are not numbers, and the exported pictures.
#include "app/gui/command_ids.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/tool_windows.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "render/graphs_painter.h"

#include "dialog_controls.h"
#include "view_fixtures.h"
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <memory>

using axolite::language::SeriesFamily;

namespace {

// The view as it is drawn now.
QImage picture(QWidget& view) {
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels inside the plot that are neither black nor grid grey.
int curvePixels(const QImage& image) {
    const QRect plot = axolite::render::GraphsPainter::plotRect();
    int count = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
        for (int x = plot.left(); x <= plot.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (p != qRgb(0, 0, 0) && p != qRgb(192, 192, 192)) {
                ++count;
            }
        }
    }
    return count;
}

void rightClick(QWidget& view, int x, int y) {
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(x, y));
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(x, y));
}

} // namespace

class ViewsGraphsTest : public QObject {
    Q_OBJECT

private slots:
    void controlsAreSetUpFromTheWindow() {
        FakeDescription window;
        window.setGrid(0.0, 10.5, 0.01); // D = 1050
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j * 1e-3; });
        window.setSeries(SeriesFamily::Network, 1, [](int j) { return -j * 1e-3; });
        window.setSeries(SeriesFamily::RungeKutta, 1, [](int j) { return j * 1e-3; });
        TAxoliteGraphs view(&window);
        auto* slider = control<QSlider>(view, "15036");
        QCOMPARE(slider->geometry(), QRect(4, 195, 605, 20));
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 1050);
        QCOMPARE(control<QCheckBox>(view, "15037")->text(), QStringLiteral("Наложить сетку"));
        QVERIFY(!control<QCheckBox>(view, "15037")->isChecked());
        QVERIFY(!control<QComboBox>(view, "15038")->isEnabled());
        QCOMPARE(control<QComboBox>(view, "15038")->currentText(), QStringLiteral(" 40 : 40"));
        QCOMPARE(control<QComboBox>(view, "15039")->currentText(), QStringLiteral(" 100 %"));
        QCOMPARE(control<QComboBox>(view, "15040")->itemText(3), QStringLiteral("  16 "));
        QVERIFY(control<QRadioButton>(view, "15041")->isChecked());
        // Present series ticked and enabled, absent ones disabled.
        const std::pair<const char*, bool> boxes[] = {
            {"15004", true},  {"15005", true}, {"15006", false}, {"15007", false},
            {"15000", false}, {"15001", true}, {"15002", false}, {"15008", false}};
        for (const auto& [id, present] : boxes) {
            auto* box = control<QCheckBox>(view, id);
            QCOMPARE(box->isEnabled(), present);
            QCOMPARE(box->isChecked(), present);
        }

        // The grid box enables the grid size; the settings follow the lists.
        control<QCheckBox>(view, "15037")->setChecked(true);
        QVERIFY(control<QComboBox>(view, "15038")->isEnabled());
        control<QComboBox>(view, "15038")->setCurrentIndex(3);
        control<QComboBox>(view, "15039")->setCurrentIndex(2);
        control<QComboBox>(view, "15040")->setCurrentIndex(1);
        control<QRadioButton>(view, "15042")->setChecked(true);
        QCOMPARE(view.settings().gridSpacing, 8);
        QCOMPARE(view.settings().heightFactor, 0.6);
        QCOMPARE(view.settings().pointSpacing, 4);
        QVERIFY(view.settings().mode == axolite::views::PlotMode::Stretch);
        control<QRadioButton>(view, "15041")->setChecked(true);
        QVERIFY(view.settings().mode == axolite::views::PlotMode::Compress);
        slider->setValue(300);
        QCOMPARE(view.settings().firstStep, 300);

        // A later, longer simulation does not change the slider.
        window.setGrid(0.0, 50.0, 0.01);
        emit window.stateChanged();
        QCOMPARE(slider->maximum(), 1050);
    }

    void displayRangeGrowsAndNeverShrinksWhileTheViewIsOpen() {
        FakeDescription window;
        window.setGrid(0.0, 1.0, 0.01);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j * 0.005; }); // range 0.495
        {
            TAxoliteGraphs view(&window);
            picture(view);
            QCOMPARE(view.displayRange(), 1.0);
            window.setSeries(SeriesFamily::RungeKutta, 2, [](int j) { return j % 2 ? 3.0 : 0.0; });
            emit window.stateChanged();
            picture(view);
            QCOMPARE(view.displayRange(), 3.0);
            // Its box cleared, a smaller range computed: R stays.
            window.setSeries(SeriesFamily::RungeKutta, 2, [](int) { return 0.25; });
            control<QCheckBox>(view, "15004")->setChecked(false);
            picture(view);
            QCOMPARE(view.displayRange(), 3.0);
        }
        // A view opened anew starts again from 1.0.
        TAxoliteGraphs again(&window);
        picture(again);
        QCOMPARE(again.displayRange(), 1.0);
    }

    void rightClickMarksAStepForTheNumericView() {
        FakeDescription window;
        window.setGrid(0.0, 100.0, 1.0);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j * 0.01; });
        TAxoliteGraphs view(&window);
        auto* numeric = new TAxoliteNumeric(&window);
        axolite::gui::ToolWindows::instance().hold(axolite::gui::CmNumeric, &window, numeric);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        control<QSlider>(view, "15036")->setValue(10);
        rightClick(view, 40, 100);
        QCOMPARE(numeric->currentStep(), 40 - 6 + 10);
        QCOMPARE(view.settings().cursorColumn, std::optional<int>(40));
        // The line is not remembered: the next change removes it.
        control<QCheckBox>(view, "15037")->setChecked(true);
        QVERIFY(!view.settings().cursorColumn);
        // Left of column 6: no line, but the step still moves (and lies outside the data).
        rightClick(view, 3, 100);
        QVERIFY(!view.settings().cursorColumn);
        QCOMPARE(numeric->currentStep(), 3 - 6 + 10);
        // Beyond the data (x ≥ D + 5): no line either.
        rightClick(view, 105, 100);
        QVERIFY(!view.settings().cursorColumn);
        QCOMPARE(numeric->currentStep(), 105 - 6 + 10);
        // With k = 16 a right click does nothing.
        control<QComboBox>(view, "15040")->setCurrentIndex(3);
        rightClick(view, 50, 100);
        QCOMPARE(numeric->currentStep(), 105 - 6 + 10);
        QVERIFY(!view.settings().cursorColumn);
        delete numeric;
    }

    void hoverNamesTheStepAndTheShownValues() {
        FakeDescription window;
        window.setGrid(0.0, 100.0, 0.5); // N = 200
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j * 0.5; });
        window.setSeries(SeriesFamily::Exact, 3, [](int j) { return -j; });
        TAxoliteGraphs view(&window);
        QCOMPARE(view.hoverText(16, 100), QStringLiteral("x(10) = 5.000000E+00\n"
                                                         "Сети y1 = 5.0000000000E+00\n"
                                                         "Точных y4 = -1.0000000000E+01"));
        control<QCheckBox>(view, "15011")->setChecked(false);
        control<QComboBox>(view, "15040")->setCurrentIndex(1); // k = 4
        QCOMPARE(view.hoverText(16, 100),
                 QStringLiteral("x(40) = 2.000000E+01\nСети y1 = 2.0000000000E+01"));
        control<QRadioButton>(view, "15042")->setChecked(true); // stretch: a step per 4 columns
        QCOMPARE(view.hoverText(16, 100).section(u'\n', 0, 0),
                 QStringLiteral("x(2) = 1.000000E+00"));
        // Off the curves, off the plot, beyond the data.
        QVERIFY(view.hoverText(5, 100).isEmpty());
        QVERIFY(view.hoverText(16, 30).isEmpty());
        control<QRadioButton>(view, "15041")->setChecked(true);
        QVERIFY(view.hoverText(600, 100).isEmpty()); // step 2376 > N
    }

    void anEditedOrClosedWindowLeavesTheEmptyPlot() {
        auto window = std::make_unique<FakeDescription>();
        window->setGrid(0.0, 10.0, 0.01);
        window->setSeries(SeriesFamily::Network, 0, [](int j) { return std::sin(j * 0.01); });
        TAxoliteGraphs view(window.get());
        QVERIFY(curvePixels(picture(view)) > 600);
        const QImage before = picture(view);

        window->record().simulated = 0;
        emit window->stateChanged();
        QImage empty = picture(view);
        QCOMPARE(curvePixels(empty), 0);
        // Only the plot changed.
        const QRect plot = axolite::render::GraphsPainter::plotRect();
        for (int y = 0; y < before.height(); y += 3) {
            for (int x = 0; x < before.width(); x += 3) {
                if (!plot.contains(x, y)) {
                    QCOMPARE(empty.pixel(x, y), before.pixel(x, y));
                }
            }
        }
        window->record().simulated = 1;
        QVERIFY(curvePixels(picture(view)) > 600);
        window.reset();
        QCoreApplication::processEvents();
        QCOMPARE(curvePixels(picture(view)), 0);
        QVERIFY(view.hoverText(100, 100).isEmpty());
        rightClick(view, 40, 100);
    }

    void divergingValuesAndTinyGridsDrawNothingOutsideThePlot() {
        const double inf = std::numeric_limits<double>::infinity();
        for (const double t1 : {1.0, 2.0, 1000.0}) {
            FakeDescription window;
            window.setGrid(0.0, t1, 1.0);
            window.setSeries(SeriesFamily::Network, 0, [inf](int j) {
                return j % 3 == 0 ? std::nan("") : (j % 3 == 1 ? inf : -1e300);
            });
            window.setSeries(SeriesFamily::Network, 1, [](int j) { return 1e308 * j; });
            TAxoliteGraphs view(&window);
            const QImage with = picture(view);
            window.record().simulated = 0;
            const QImage without = picture(view);
            const QRect plot = axolite::render::GraphsPainter::plotRect();
            for (int y = 0; y < with.height(); ++y) {
                for (int x = 0; x < with.width(); ++x) {
                    if (!plot.contains(x, y) && with.pixel(x, y) != without.pixel(x, y)) {
                        QFAIL(qPrintable(
                            QStringLiteral("pixel (%1, %2) outside the plot").arg(x).arg(y)));
                    }
                }
            }
        }
    }

    void picturesAreExportedAsOnTheScreen() {
        FakeDescription window;
        window.setGrid(0.0, 10.0, 0.01);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return std::sin(j * 0.01); });
        TAxoliteGraphs view(&window);
        const QImage shown = picture(view);
        rightClick(view, 40, 100); // the cursor line stays out of the file
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("graphs.png"));
        axolite::gui::setFileChooser(
            [&](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
        view.exportPicture(axolite::views_gui::PictureFormat::Png);
        QImage file(path);
        QCOMPARE(file.size(), QSize(605, 145));
        QCOMPARE(file.convertToFormat(QImage::Format_RGB32),
                 shown.copy(axolite::render::GraphsPainter::plotRect()));
        path = dir.filePath(QStringLiteral("graphs.svg"));
        view.exportPicture(axolite::views_gui::PictureFormat::Svg);
        QFile svg(path);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
        axolite::gui::setFileChooser({});
    }
};

QTEST_MAIN(ViewsGraphsTest)
#include "views_graphs_test.moc"
