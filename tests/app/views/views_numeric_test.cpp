// The numeric values view on records filled by hand: the list of steps for whole and fractional
// D, the fields as printf writes them (also NaN and infinities), absent series disabled, the two
// error estimates with and without exact values, steps outside the data, a window edited or
// closed under the view, and the table written as CSV.
#include "app/gui/file_dialogs.h"
#include "app/views/numeric_view.h"

#include "dialog_controls.h"
#include "view_fixtures.h"
#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>
#include <memory>

using axolite::language::SeriesFamily;

namespace {

QString field(QWidget& view, const char* id) {
    return control<QLineEdit>(view, id)->text();
}
bool enabled(QWidget& view, const char* id) {
    return view.findChild<QWidget*>(QString::fromLatin1(id))->isEnabled();
}

} // namespace

class ViewsNumericTest : public QObject {
    Q_OBJECT

private slots:
    void listAndFieldsForWholeD() {
        FakeDescription window;
        window.setGrid(0.0, 1.0, 0.1);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j == 0 ? 1.5 : j * 0.25; });
        window.setSeries(SeriesFamily::Network, 1, [](int j) { return -1.5 * (j + 1); });
        window.setSeries(SeriesFamily::RungeKutta, 1, [](int j) { return j * 1.0e-3; });
        TAxoliteNumeric view(&window);

        TStepListModel* model = view.stepModel();
        QCOMPARE(model->rowCount(), 10);
        QCOMPARE(model->entryText(0), QStringLiteral("x(0) = 0.000000E+00"));
        QCOMPARE(model->entryText(9), QStringLiteral("x(9) = 9.000000E-01"));
        QCOMPARE(view.stepList()->currentIndex().row(), 0);
        QCOMPARE(field(view, "801"), QStringLiteral("1.5000000000E+00"));
        QCOMPARE(field(view, "802"), QStringLiteral("-1.5000000000E+00"));
        QCOMPARE(field(view, "778"), QStringLiteral("0.0000000000E+00"));
        // Absent series: label and field disabled, nothing written.
        for (const char* id :
             {"803", "804", "777", "779", "800", "805", "806", "807", "808", "820", "854", "822"}) {
            QVERIFY2(!enabled(view, id), id);
        }
        QVERIFY(field(view, "803").isEmpty());
        QVERIFY(enabled(view, "818") && enabled(view, "815"));

        // A click in the list chooses the step.
        view.stepList()->setCurrentIndex(model->index(9, 0));
        QCOMPARE(view.currentStep(), 9);
        QCOMPARE(field(view, "801"), QStringLiteral("2.2500000000E+00"));
        QCOMPARE(field(view, "802"), QStringLiteral("-1.5000000000E+01"));
        QCOMPARE(field(view, "778"), QStringLiteral("9.0000000000E-03"));

        // From the graphs view: the step is shown and selected; outside the data nothing changes.
        view.setCurrentStep(4);
        QCOMPARE(view.stepList()->currentIndex().row(), 4);
        QCOMPARE(field(view, "801"), QStringLiteral("1.0000000000E+00"));
        for (const std::int64_t outside :
             {std::int64_t{-3}, std::int64_t{10}, std::int64_t{1} << 40}) {
            view.setCurrentStep(outside);
            QCOMPARE(view.stepList()->currentIndex().row(), 4);
            QCOMPARE(field(view, "801"), QStringLiteral("1.0000000000E+00"));
        }
    }

    void fractionalDListsOneEntryMoreThanTheData() {
        FakeDescription window;
        window.setGrid(0.0, 1.05, 0.1); // D = 10.5, N = 10
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j + 0.5; });
        // One value more than N, as a producer may leave: never shown.
        window.record().outputSeries[0].push_back(99.0);
        TAxoliteNumeric view(&window);
        QCOMPARE(view.stepModel()->rowCount(), 11);
        QCOMPARE(view.stepModel()->entryText(10), QStringLiteral("x(10) = 1.000000E+00"));
        view.stepList()->setCurrentIndex(view.stepModel()->index(9, 0));
        QCOMPARE(field(view, "801"), QStringLiteral("9.5000000000E+00"));
        view.stepList()->setCurrentIndex(view.stepModel()->index(10, 0));
        QCOMPARE(view.currentStep(), 10);
        QCOMPARE(field(view, "801"), QStringLiteral("9.5000000000E+00"));
    }

    void anEmptyGridListsNothing() {
        FakeDescription window;
        window.setGrid(1.0, 1.0, 0.1);
        window.setSeries(SeriesFamily::Network, 0, std::vector<double>{});
        TAxoliteNumeric view(&window);
        QCOMPARE(view.stepModel()->rowCount(), 0);
        view.setCurrentStep(0);
        QVERIFY(field(view, "801").isEmpty());
    }

    void valuesThatAreNotNumbersAreShownAsPrintfWritesThem() {
        FakeDescription window;
        window.setGrid(0.0, 3.0, 1.0);
        const double inf = std::numeric_limits<double>::infinity();
        window.setSeries(SeriesFamily::Network, 0, std::vector<double>{std::nan(""), inf, -inf});
        TAxoliteNumeric view(&window);
        QCOMPARE(field(view, "801"), QStringLiteral("             NAN"));
        view.setCurrentStep(1);
        QCOMPARE(field(view, "801"), QStringLiteral("             INF"));
        view.setCurrentStep(2);
        QCOMPARE(field(view, "801"), QStringLiteral("            -INF"));
    }

    void errorEstimatesWithAndWithoutExactValues() {
        {
            // Neither reference: both rows disabled.
            FakeDescription window;
            window.setGrid(0.0, 1.0, 0.1);
            window.setSeries(SeriesFamily::Network, 0, [](int j) { return j; });
            TAxoliteNumeric view(&window);
            for (const char* id : {"826", "809", "827", "810"}) {
                QVERIFY2(!enabled(view, id), id);
            }
        }
        {
            // Runge-Kutta without exact values.
            FakeDescription window;
            window.setGrid(0.0, 1.0, 0.1);
            window.setSeries(SeriesFamily::Network, 0, [](int j) { return j; });
            window.setSeries(SeriesFamily::RungeKutta, 0, [](int j) { return j; });
            TAxoliteNumeric view(&window);
            QCOMPARE(field(view, "809"), QStringLiteral("       Недоступна"));
            QVERIFY(enabled(view, "809") && enabled(view, "826"));
            QVERIFY(!enabled(view, "810") && !enabled(view, "827"));
        }
        {
            // Both, with D = 10.5: the estimates compare indices 0 .. 8; the largest differences
            // at index 9 (and at the value past N) take no part.
            FakeDescription window;
            window.setGrid(0.0, 1.05, 0.1);
            window.setSeries(SeriesFamily::Exact, 0, [](int) { return 1.0; });
            window.setSeries(SeriesFamily::Network, 0,
                             [](int j) { return j == 9 ? 100.0 : 1.0 + 0.01 * j; });
            window.setSeries(SeriesFamily::RungeKutta, 0,
                             [](int j) { return j == 9 ? -50.0 : 1.0 - 0.5 * j; });
            window.record().exactSeries[0].push_back(1000.0);
            TAxoliteNumeric view(&window);
            QCOMPARE(field(view, "810"), QStringLiteral("8.0000000000E-02"));
            QCOMPARE(field(view, "809"), QStringLiteral("4.0000000000E+00"));
            // Computed once: a later change of the series does not move them.
            window.record().outputSeries[0][3] = 7.0;
            view.setCurrentStep(3);
            QCOMPARE(field(view, "810"), QStringLiteral("8.0000000000E-02"));
        }
    }

    void aWindowEditedOrClosedUnderTheViewIsNotRead() {
        auto window = std::make_unique<FakeDescription>();
        window->setGrid(0.0, 1.0, 0.1);
        window->setSeries(SeriesFamily::Network, 0, [](int j) { return j; });
        TAxoliteNumeric view(window.get());
        view.setCurrentStep(2);
        QCOMPARE(field(view, "801"), QStringLiteral("2.0000000000E+00"));

        // Edited: no longer simulated, nothing is written.
        window->record().simulated = 0;
        view.setCurrentStep(5);
        QCOMPARE(field(view, "801"), QStringLiteral("2.0000000000E+00"));
        // Simulated again: the new values show at the next step chosen.
        window->record().simulated = 1;
        window->record().outputSeries[0][6] = -6.0;
        view.setCurrentStep(6);
        QCOMPARE(field(view, "801"), QStringLiteral("-6.0000000000E+00"));
        // A computation working on the record: its series are not read meanwhile.
        window->computing_ = true;
        view.setCurrentStep(7);
        QCOMPARE(field(view, "801"), QStringLiteral("-6.0000000000E+00"));
        window->computing_ = false;

        // Closed: the view stays usable and reads nothing.
        window.reset();
        QCoreApplication::processEvents();
        view.setCurrentStep(1);
        view.stepList()->setCurrentIndex(view.stepModel()->index(8, 0));
        QCOMPARE(field(view, "801"), QStringLiteral("-6.0000000000E+00"));
        QVERIFY(!view.writeTable(QStringLiteral("/nonexistent/never.csv")));
    }

    void tableIsWrittenAsCsvThroughATemporaryFile() {
        FakeDescription window;
        window.setGrid(0.0, 1.05, 0.1);
        window.setSeries(SeriesFamily::Network, 0, [](int j) { return j * 0.5; });
        window.setSeries(SeriesFamily::Network, 1, [](int j) { return -j; });
        window.setSeries(SeriesFamily::Exact, 1, [](int j) { return 0.1 * j; });
        TAxoliteNumeric view(&window);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("table.csv"));
        axolite::gui::setFileChooser(
            [&](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
        view.exportTable();
        axolite::gui::setFileChooser({});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 12); // header, ten steps, the empty rest after the last line end
        QCOMPARE(lines[0], QByteArray("i,x,y1,y2,exact2"));
        QCOMPARE(lines[1], QByteArray("0,0,0,0,0"));
        QCOMPARE(lines[3], QByteArray("2,0.2,1,-2,0.2"));
        QCOMPARE(lines[10], QByteArray("9,0.9,4.5,-9,0.9"));
        // Only the file itself is left in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("table.csv")});
        QVERIFY(!view.writeTable(dir.filePath(QStringLiteral("missing/table.csv"))));
    }
};

QTEST_MAIN(ViewsNumericTest)
#include "views_numeric_test.moc"
