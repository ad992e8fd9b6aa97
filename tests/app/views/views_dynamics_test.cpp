// The dynamics view on records filled by hand: its controls and pop-up menu, a replay that
// completes with the beep and its progress, an abort without the beep, the controls disabled
// during a replay, a close request or a closed window during a replay, and the exported still.
#include "app/gui/command_ids.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/tool_windows.h"
#include "app/views/dynamics_view.h"
#include "render/dynamics_painter.h"

#include "dialog_controls.h"
#include "view_fixtures.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using axolite::language::SeriesFamily;

namespace {

std::unique_ptr<FakeDescription> ring(int steps) {
    auto window = std::make_unique<FakeDescription>();
    window->setGrid(0.0, steps, 1.0);
    for (int k = 0; k < 3; ++k) {
        window->setSeries(SeriesFamily::Network, k, [k](int j) { return std::sin(0.01 * j + k); });
    }
    return window;
}

QAction* menuEntry(TNetworkDynamic& view, const char* id) {
    return view.popupMenu()->findChild<QAction*>(QString::fromLatin1(id));
}

} // namespace

class ViewsDynamicsTest : public QObject {
    Q_OBJECT

private slots:
    void controlsAndPopupMenu() {
        auto window = ring(100);
        TNetworkDynamic view(window.get());
        QVERIFY(control<QCheckBox>(view, "1600")->isChecked());
        QVERIFY(control<QRadioButton>(view, "1614")->isChecked());
        QCOMPARE(control<QComboBox>(view, "1613")->currentText(), QStringLiteral(" 1"));
        QCOMPARE(control<QComboBox>(view, "1613")->itemText(3), QStringLiteral(" 16"));
        QVERIFY(!control<QPushButton>(view, "1607")->isEnabled());
        QVERIFY(control<QPushButton>(view, "1606")->isDefault());
        QCOMPARE(control<QProgressBar>(view, "1609")->geometry(), QRect(9, 292, 348, 10));
        QAction* marking = menuEntry(view, "1608");
        QVERIFY(marking->isCheckable() && marking->isChecked());
        marking->trigger();
        QVERIFY(!marking->isChecked());
        QVERIFY(!view.settings().colourMarking);
        menuEntry(view, "1611")->trigger();
        QVERIFY(view.settings().still == axolite::render::StillValues::Final);
        menuEntry(view, "1610")->trigger();
        QVERIFY(view.settings().still == axolite::render::StillValues::Initial);
        control<QCheckBox>(view, "1600")->setChecked(false);
        QVERIFY(!view.settings().gridShown);
        // The still picture is the painter's, pixel for pixel.
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage expected(shown.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        {
            QPainter painter(&expected);
            axolite::render::DynamicsPainter::paintStill(painter, &window->record(),
                                                         view.settings());
        }
        const QRect field = axolite::render::DynamicsPainter::fieldRect();
        QCOMPARE(shown.copy(field), expected.copy(field));

        // Edited: the field loses its columns at once.
        window->record().simulated = 0;
        emit window->stateChanged();
        const QImage edited = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        {
            QPainter painter(&expected);
            axolite::render::DynamicsPainter::paintStill(painter, nullptr, view.settings());
        }
        QCOMPARE(edited.copy(field), expected.copy(field));
        QVERIFY(edited.copy(field) != shown.copy(field));
    }

    void replayCompletesWithTheBeepAndStrides() {
        auto window = ring(1000);
        TNetworkDynamic view(window.get());
        view.show();
        control<QComboBox>(view, "1613")->setCurrentIndex(1); // k = 4
        QSignalSpy ended(&view, &TNetworkDynamic::replayEnded);
        QSignalSpy beeps(&view, &TNetworkDynamic::beeped);
        QList<int> percents;
        connect(control<QProgressBar>(view, "1609"), &QProgressBar::valueChanged, this,
                [&](int value) { percents.append(value); });
        control<QPushButton>(view, "1606")->click();
        QVERIFY(view.running());
        // Settings cannot change during the replay.
        for (const char* id : {"1606", "1", "1613", "1614", "1615", "1600"}) {
            QVERIFY2(!view.findChild<QWidget*>(QString::fromLatin1(id))->isEnabled(), id);
        }
        QVERIFY(control<QPushButton>(view, "1607")->isEnabled());
        for (const char* id : {"1608", "1610", "1611"}) {
            QVERIFY2(!menuEntry(view, id)->isEnabled(), id);
        }
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(ended[0][0].toBool(), true);
        QCOMPARE(beeps.size(), 1);
        // Steps 4, 8, ..., 996: 249 frames, the last one at 99 %; then the bar is back at 0.
        QCOMPARE(percents.at(percents.size() - 2), 99);
        QCOMPARE(control<QProgressBar>(view, "1609")->value(), 0);
        QVERIFY(control<QPushButton>(view, "1606")->isEnabled());
        QVERIFY(!control<QPushButton>(view, "1607")->isEnabled());
        QVERIFY(menuEntry(view, "1608")->isEnabled());

        // The slower mode with k = 1: stride 1 and no pause; 999 frames.
        control<QComboBox>(view, "1613")->setCurrentIndex(0);
        control<QRadioButton>(view, "1615")->setChecked(true);
        percents.clear();
        view.run();
        QTRY_COMPARE(ended.size(), 2);
        QCOMPARE(beeps.size(), 2);
        QCOMPARE(percents.at(percents.size() - 2), 99);
        QCOMPARE(percents.last(), 0);
    }

    void abortStopsAtTheNextFrameWithoutTheBeep() {
        // 100 steps, stride 1: the progress bar moves at every frame; the slower mode with k = 16
        // leaves time between the frames.
        auto window = ring(100);
        TNetworkDynamic view(window.get());
        view.show();
        control<QComboBox>(view, "1613")->setCurrentIndex(3);
        control<QRadioButton>(view, "1615")->setChecked(true);
        QSignalSpy ended(&view, &TNetworkDynamic::replayEnded);
        QSignalSpy beeps(&view, &TNetworkDynamic::beeped);
        auto* bar = control<QProgressBar>(view, "1609");
        view.run();
        QTRY_VERIFY(bar->value() >= 3);
        QVERIFY(view.running());
        QSignalSpy framesAfter(bar, &QProgressBar::valueChanged);
        control<QPushButton>(view, "1607")->click();
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(ended[0][0].toBool(), false);
        // No frame after the press; the bar goes back to 0.
        QCOMPARE(framesAfter.size(), 1);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(beeps.size(), 0);
        QVERIFY(control<QPushButton>(view, "1606")->isEnabled());
        QVERIFY(control<QPushButton>(view, "1")->isEnabled());
        QVERIFY(control<QCheckBox>(view, "1600")->isEnabled());
        QVERIFY(!control<QPushButton>(view, "1607")->isEnabled());
    }

    void closingOrLosingTheWindowDuringAReplayStopsIt() {
        {
            auto window = ring(100000);
            auto* view = new TNetworkDynamic(window.get());
            QPointer<TNetworkDynamic> guard(view);
            axolite::gui::ToolWindows::instance().hold(axolite::gui::CmDynamics, window.get(),
                                                       view);
            view->show();
            QSignalSpy beeps(view, &TNetworkDynamic::beeped);
            view->run();
            QTest::qWait(20);
            QVERIFY(view->close());
            QVERIFY(!view->running());
            QCOMPARE(beeps.size(), 0);
            QVERIFY(!axolite::gui::ToolWindows::instance().find(axolite::gui::CmDynamics,
                                                                window.get()));
            QTRY_VERIFY(guard.isNull());
        }
        {
            auto window = ring(100000);
            TNetworkDynamic view(window.get());
            view.show();
            QSignalSpy ended(&view, &TNetworkDynamic::replayEnded);
            view.run();
            QTest::qWait(20);
            window.reset();
            QTRY_COMPARE(ended.size(), 1);
            QCOMPARE(ended[0][0].toBool(), false);
            view.run(); // nothing to replay now
            QVERIFY(!view.running());
            view.grab();
        }
        {
            // An edit under the replay stops it, and the view shows its empty field (black and
            // the grid), not the last frame of data it may no longer read.
            auto window = ring(100000);
            TNetworkDynamic view(window.get());
            view.show();
            QSignalSpy ended(&view, &TNetworkDynamic::replayEnded);
            view.run();
            QTRY_VERIFY(control<QProgressBar>(view, "1609")->value() >= 1);
            window->record().simulated = 0;
            emit window->stateChanged();
            QTRY_COMPARE(ended.size(), 1);
            QCOMPARE(ended[0][0].toBool(), false);
            QCOMPARE(control<QProgressBar>(view, "1609")->value(), 0);
            const QRect field = axolite::render::DynamicsPainter::fieldRect();
            QImage empty(field.size(), QImage::Format_RGB32);
            {
                QPainter painter(&empty);
                painter.translate(-field.topLeft());
                axolite::render::DynamicsPainter::paintStill(painter, nullptr, view.settings());
            }
            QTRY_COMPARE(view.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(field),
                         empty);
        }
        {
            // A new simulation starting under the replay stops it too.
            auto window = ring(100000);
            TNetworkDynamic view(window.get());
            QSignalSpy ended(&view, &TNetworkDynamic::replayEnded);
            view.run();
            window->computing_ = true;
            QTRY_COMPARE(ended.size(), 1);
            QCOMPARE(ended[0][0].toBool(), false);
        }
    }

    void anEmptyConstantOrSingleStepSeriesAndTheStillExport() {
        for (const int steps : {0, 1, 2}) {
            FakeDescription window;
            window.setGrid(0.0, steps, 1.0);
            window.setSeries(SeriesFamily::Network, 0, [](int) { return 0.0; });
            TNetworkDynamic view(&window);
            QSignalSpy ended(&view, &TNetworkDynamic::replayEnded);
            view.run();
            QTRY_COMPARE(ended.size(), 1);
            view.grab();
        }
        auto window = ring(50);
        TNetworkDynamic view(window.get());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dynamics.png"));
        axolite::gui::setFileChooser(
            [&](QWidget*, const axolite::gui::FileDialogRequest&) { return path; });
        view.exportPicture(axolite::views_gui::PictureFormat::Png);
        axolite::gui::setFileChooser({});
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32),
                 shown.copy(axolite::render::DynamicsPainter::fieldRect()));
    }
};

QTEST_MAIN(ViewsDynamicsTest)
#include "views_dynamics_test.moc"
