// The progress dialog on its own: its figures, the counters' format, the statistics of
// computations that count nothing, "Прервать" and the end of a computation.
#include "app/gui/calculation_progress.h"
#include "core/language/network_record.h"
#include "dialog_controls.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {} // namespace

class DialogsProgressTest : public QObject {
    Q_OBJECT
private slots:
    void opensRunningWithNoCountsAndTheCancelFlagLowered() {
        axolite::language::NetworkRecord record;
        record.cancelRequested = 1;
        TCalculationProgress progress(&record, QStringLiteral("Вычисление точных значений..."));
        QCOMPARE(record.cancelRequested, std::uint8_t{0});
        QVERIFY(!progress.isVisible()); // shown when the computation first reports
        progress.setPercent(0);
        QVERIFY(progress.isVisible());
        QCOMPARE(progress.windowTitle(), QStringLiteral("Процесс счета"));
        QCOMPARE(label(progress, "18013"), QStringLiteral("Вычисление точных значений..."));
        for (const char* id : {"7778", "7779", "7780"}) {
            QCOMPARE(label(progress, id), QStringLiteral("     -"));
        }
        QVERIFY(control<QPushButton>(progress, "2")->isEnabled());
        QVERIFY(!control<QPushButton>(progress, "1")->isEnabled());
        QCOMPARE(control<QProgressBar>(progress, "209")->value(), 0);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d{6}$"))
                    .match(label(progress, "7777"))
                    .hasMatch());
    }

    void theBarIsPlacedAndItsPercentageReadsOnTheBlue() {
        TCalculationProgress progress(nullptr,
                                      QStringLiteral("Моделирование работы нейронной сети..."));
        progress.setPercent(0);
        auto* bar = control<QProgressBar>(progress, "209");
        QCOMPARE(bar->parentWidget(), &progress);
        QCOMPARE(bar->geometry(), QRect(14, 35, 274, 10));
        // Nothing else of the dialog lies over the bar.
        for (const QWidget* other : progress.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != bar && other->isVisible()) {
                QVERIFY2(!other->geometry().intersects(bar->geometry()),
                         qPrintable(other->objectName()));
            }
        }
        // At 100 % the bar is blue throughout: the percentage is drawn in a light colour there,
        // never black.
        progress.setPercent(100);
        const QImage picture = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int light = 0;
        int dark = 0;
        for (int y = 2; y < picture.height() - 2; ++y) {
            for (int x = 100; x < 174; ++x) {
                const QColor c = picture.pixelColor(x, y);
                light += c.red() > 200 && c.green() > 200 && c.blue() > 200 ? 1 : 0;
                dark += c.red() < 40 && c.green() < 40 && c.blue() < 40 ? 1 : 0;
            }
        }
        QVERIFY2(light > 10, qPrintable(QString::number(light)));
        QCOMPARE(dark, 0);
    }

    void theStatisticsCarryTheirLabels() {
        TCalculationProgress progress(nullptr, QString());
        QCOMPARE(label(progress, "7781"), QStringLiteral("Операций сложения :"));
        QCOMPARE(label(progress, "7782"), QStringLiteral(" Операций умножения :"));
        QCOMPARE(label(progress, "7783"), QStringLiteral("Операций деления :"));
        QStringList groups;
        for (const QGroupBox* box : progress.findChildren<QGroupBox*>()) {
            groups << box->title();
        }
        QCOMPARE(groups, QStringList{QStringLiteral(" Статистика процесса ")});
        QStringList texts;
        for (const QLabel* text : progress.findChildren<QLabel*>()) {
            texts << text->text();
        }
        QVERIFY(texts.contains(QStringLiteral("Время счета :")));
        QVERIFY(texts.contains(QStringLiteral("секунд")));
        QCOMPARE(control<QPushButton>(progress, "2")->text(), QStringLiteral("Прервать"));
        QCOMPARE(control<QPushButton>(progress, "1")->text(), QStringLiteral("Закрыть"));
        // Without a description the counters are never shown.
        progress.refreshFigures();
        QCOMPARE(label(progress, "7778"), QStringLiteral("     -"));
    }

    void countersShowWithFiveDigitsAndInFullWhenLarge() {
        axolite::language::NetworkRecord record;
        TCalculationProgress progress(&record,
                                      QStringLiteral("Моделирование работы нейронной сети..."));
        record.counters.additions = 12;
        record.counters.multiplications = 5'000'000'000LL; // beyond 32 bits
        progress.refreshFigures();
        QCOMPARE(label(progress, "7778"), QStringLiteral("   12"));
        QCOMPARE(label(progress, "7779"), QStringLiteral("5000000000"));
        QCOMPARE(label(progress, "7780"), QStringLiteral("     -")); // still zero
        // A counter that falls back to zero (reset by another computation) keeps its figure.
        record.counters.additions = 0;
        progress.refreshFigures();
        QCOMPARE(label(progress, "7778"), QStringLiteral("   12"));
    }

    void computationsThatCountNothingDisableTheStatistics() {
        axolite::language::NetworkRecord record;
        TCalculationProgress progress(&record,
                                      QStringLiteral("Вычисление значений функций активации ..."));
        progress.disableStatistics();
        for (const char* id : {"7781", "7778", "7782", "7779", "7783", "7780"}) {
            QVERIFY(!control<QLabel>(progress, id)->isEnabled());
        }
        QCOMPARE(label(progress, "7779"), QStringLiteral("     -"));
    }

    void thePercentageStaysWithinTheBar() {
        TCalculationProgress progress(nullptr, QString());
        progress.setPercent(75);
        QCOMPARE(control<QProgressBar>(progress, "209")->value(), 75);
        progress.setPercent(250);
        QCOMPARE(progress.percent(), 100);
        progress.setPercent(-3);
        QCOMPARE(progress.percent(), 0);
        QCOMPARE(control<QProgressBar>(progress, "209")->text(), QStringLiteral("0%"));
    }

    void interruptRaisesTheFlagAndClosesAtOnce() {
        axolite::language::NetworkRecord record;
        TCalculationProgress progress(&record, QString());
        progress.setPercent(40);
        QSignalSpy interrupted(&progress, &TCalculationProgress::interruptRequested);
        QTest::mouseClick(control<QPushButton>(progress, "2"), Qt::LeftButton);
        QCOMPARE(interrupted.count(), 1);
        QVERIFY(progress.cancelRequested());
        QCOMPARE(record.cancelRequested, std::uint8_t{1});
        QVERIFY(!progress.isVisible());
        // The computation ends as usual; the interrupted dialog does not come back.
        progress.setPercent(41);
        progress.poll();
        progress.finish();
        QVERIFY(!progress.isVisible());
    }

    void closingWhileRunningIsInterrupting() {
        axolite::language::NetworkRecord record;
        TCalculationProgress progress(&record, QString());
        progress.setPercent(1);
        progress.close();
        QVERIFY(progress.cancelRequested());
        QCOMPARE(record.cancelRequested, std::uint8_t{1});
    }

    void finishStopsTheTimeAndOffersClose() {
        axolite::language::NetworkRecord record;
        auto* progress = new TCalculationProgress(&record, QString());
        QPointer<TCalculationProgress> alive(progress);
        progress->setPercent(99);
        progress->finish();
        QVERIFY(progress->isVisible());
        QVERIFY(!control<QPushButton>(*progress, "2")->isEnabled());
        QVERIFY(control<QPushButton>(*progress, "1")->isEnabled());
        const QString time = label(*progress, "7777");
        QTest::qWait(30);
        progress->refreshFigures();
        QCOMPARE(label(*progress, "7777"), time);
        QCOMPARE(progress->percent(), 99);
        // Pressing "Прервать" after the end changes nothing; "Закрыть" closes and releases it.
        progress->interrupt();
        QCOMPARE(record.cancelRequested, std::uint8_t{0});
        QTest::mouseClick(control<QPushButton>(*progress, "1"), Qt::LeftButton);
        QTRY_VERIFY(alive.isNull());
    }

    void pollLetsPendingEventsThrough() {
        TCalculationProgress progress(nullptr, QString());
        bool delivered = false;
        QTimer::singleShot(0, &progress, [&] { delivered = true; });
        QElapsedTimer clock;
        clock.start();
        while (!delivered && clock.elapsed() < 2000) {
            progress.poll();
        }
        QVERIFY(delivered);
    }
};

QTEST_MAIN(DialogsProgressTest)
#include "dialogs_progress_test.moc"
