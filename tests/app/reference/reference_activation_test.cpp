// The input-activation dialog driven by its controls (tabs, the function field, the enabling of
// "Посчитать ...", computations against the engine, errors, interruption, its pattern file), and
// the three reference commands of the frame opening their dialogs on the active description.
#include "app/gui/command_ids.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/reference/accurate_solutions.h"
#include "app/reference/input_activation_dialog.h"
#include "app/reference/runge_kutta_method.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "core/reference/input_activation.h"
#include "core/reference/pattern_writers.h"
#include "dialog_controls.h"
#include "reference_fixture.h"

#include <QImage>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using axolite::MessageKind;
using axolite::language::NetworkRecord;

namespace {

// Types into the function field.
void type(QWidget& dialog, const QString& text) {
    type(dialog, "101", text);
}

const std::vector<axolite::Message>& shown() {
    return Notifier::instance().captured();
}

// A record after a check of a description whose input layer lists these neurons (0: unused
// entries), with the external input history prepared for the grid.
NetworkRecord inputRecord(std::vector<double> list, std::int32_t neurons, double t1, double h) {
    NetworkRecord record = gridRecord(0.25, t1, h, 1);
    record.simulated = 0;
    record.inputLayer = std::move(list);
    record.inputLayerReady = 1;
    record.externalInput.allocate(neurons, axolite::reference::gridPointCount(record));
    return record;
}

} // namespace

class ReferenceActivationTest : public QObject {
    Q_OBJECT
private slots:
    void init() { startReferenceTest(); }

    void neuronsThreeAndFiveGetATabEachAndTheirFunctions() {
        NetworkRecord record = inputRecord({3, 5, 0, 0, 0}, 5, 2.25, 0.5);
        TInputActivation dialog(record, nullptr, QString());
        dialog.show();
        auto* tabs = control<QTabBar>(dialog, "102");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Нейрон  3"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Нейрон  5"));
        QCOMPARE(control<QLineEdit>(dialog, "101")->text(), QStringLiteral("0"));
        QCOMPARE(control<QLineEdit>(dialog, "101")->maxLength(), 254);
        QVERIFY(!enabled(dialog, "137"));
        QVERIFY(!enabled(dialog, "1138"));

        // Switching tabs is no edit; typing one character is.
        tabs->setCurrentIndex(1);
        tabs->setCurrentIndex(0);
        QVERIFY(!enabled(dialog, "137"));
        type(dialog, QStringLiteral("1"));
        QVERIFY(enabled(dialog, "137"));
        tabs->setCurrentIndex(1);
        QCOMPARE(control<QLineEdit>(dialog, "101")->text(), QStringLiteral("0"));
        type(dialog, QStringLiteral("sqrt(x)")); // the filter refuses q and r
        QCOMPARE(control<QLineEdit>(dialog, "101")->text(), QStringLiteral("st(x)"));
        type(dialog, QStringLiteral("x"));
        tabs->setCurrentIndex(0);
        QCOMPARE(control<QLineEdit>(dialog, "101")->text(), QStringLiteral("1"));

        NetworkRecord expected = record;
        axolite::SilentProgress silent;
        axolite::reference::computeInputActivation(expected, {"1", "x", "0", "0", "0"}, silent);
        QSignalSpy changed(&dialog, &TReferenceDialog::recordChanged);
        click(dialog, "137");
        QVERIFY(shown().empty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(record.externalInput.steps(), 4);
        for (std::int32_t t = 0; t < 4; ++t) {
            QCOMPARE(record.externalInput.at(2, t), 1.0);
            QCOMPARE(record.externalInput.at(4, t), 0.25 + t * 0.5);
            QCOMPARE(record.externalInput.at(0, t), 0.0);
        }
        QCOMPARE(record.counters, expected.counters);
        TCalculationProgress* progress = dialog.progressDialog();
        QCOMPARE(label(*progress, "18013"),
                 QStringLiteral("Вычисление значений функций активации ..."));
        QVERIFY(!control<QLabel>(*progress, "7780")->isEnabled());
        // A completed computation is not repeated: typing no longer enables it.
        QVERIFY(!enabled(dialog, "137"));
        QVERIFY(enabled(dialog, "1138"));
        type(dialog, QStringLiteral("2"));
        QVERIFY(!enabled(dialog, "137"));

        const QTemporaryDir dir;
        const QString ours = dir.filePath(QStringLiteral("inputs.ptn"));
        const std::string engine = dir.filePath(QStringLiteral("engine.ptn")).toStdString();
        answerFileDialogs(ours);
        click(dialog, "1138");
        QCOMPARE(dialog.lastStatusText(), QStringLiteral("Создается файл образов..."));
        axolite::reference::writeInputActivationPatterns(record, engine);
        QCOMPARE(fileBytes(ours), fileBytes(engine));
        QCOMPARE(fileBytes(ours), QByteArray("1 0.25 1 0.75 1 1.25 1 1.75 "));
    }

    void aWrongFunctionNamesItsNeuron() {
        NetworkRecord record = inputRecord({12, 0}, 12, 1.0, 0.25);
        record.externalInput.at(11, 0) = 7.0;
        TInputActivation dialog(record, nullptr, QString());
        QCOMPARE(control<QTabBar>(dialog, "102")->count(), 1);
        QCOMPARE(control<QTabBar>(dialog, "102")->tabText(0), QStringLiteral("Нейрон 12"));
        control<QLineEdit>(dialog, "101")->setText(QStringLiteral("sqrt(x)"));
        type(dialog, QString()); // an empty function is wrong as well
        QVERIFY(enabled(dialog, "137"));
        const QString message =
            QStringLiteral("Функция активации для нейрона  12  введена неверно");
        QVERIFY(control<QLineEdit>(dialog, "101")->toolTip().startsWith(message));
        click(dialog, "137");
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Information);
        QCOMPARE(QString::fromStdString(shown()[0].text), message);
        QCOMPARE(record.externalInput.at(11, 0), 7.0); // nothing stored
        QVERIFY(enabled(dialog, "137"));
        QVERIFY(!enabled(dialog, "1138"));
        QVERIFY(dialog.progressDialog() == nullptr);
    }

    void anInterruptedActivationMayBeRepeated() {
        NetworkRecord record = inputRecord({1}, 1, 1000000.25, 1.0);
        TInputActivation dialog(record, nullptr, QString());
        computeAndInterruptAt40(dialog, record, "101", QStringLiteral("sin(x)*cos(x)"));
        // The step that reached 40 % was followed by one more entry, the one after which the
        // request was seen.
        QVERIFY(record.externalInput.at(0, 400001) != 0.0);
        QCOMPARE(record.externalInput.at(0, 400002), 0.0);
        click(dialog, "137");
        QCOMPARE(record.cancelRequested, std::uint8_t{0});
        QVERIFY(record.externalInput.at(0, 999999) != 0.0);
        QVERIFY(enabled(dialog, "1138"));
    }

    void functionsAreRememberedByNeuron() {
        const QString path = QStringLiteral("/descriptions/inputs.net");
        {
            NetworkRecord record = inputRecord({3, 5}, 5, 1.25, 0.5);
            TInputActivation dialog(record, nullptr, path);
            type(dialog, QStringLiteral("x*2"));
            control<QTabBar>(dialog, "102")->setCurrentIndex(1);
            type(dialog, QStringLiteral("exp(x)"));
            dialog.close();
        }
        // The description now lists neuron 5 first and neuron 4 instead of 3.
        NetworkRecord record = inputRecord({5, 4}, 5, 1.25, 0.5);
        TInputActivation dialog(record, nullptr, path);
        QVERIFY(enabled(dialog, "1139"));
        click(dialog, "1139");
        QCOMPARE(control<QLineEdit>(dialog, "101")->text(), QStringLiteral("exp(x)"));
        QVERIFY(enabled(dialog, "137"));
        click(dialog, "137");
        QCOMPARE(record.externalInput.at(4, 1), std::exp(0.75));
        QCOMPARE(record.externalInput.at(3, 1), 0.0);
    }

    // Through the frame: check, activation, simulation, then the two reference dialogs, each
    // captioned with the description's path and working on its record.
    void theCommandsOpenTheirDialogsOnTheActiveDescription() {
        const QTemporaryDir dir;
        TAxoliteApp frame(dir.filePath(QStringLiteral("Axolite.ini")));
        frame.show();
        frame.client()->folders().models = AXOLITE_EXAMPLES_DIR "/models";
        frame.client()->folders().set = true;
        const QString path = dir.filePath(QStringLiteral("two.net"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("neurons 3;\nsimtime 0, 1;\ntimestep 0.25;\ninputlayer {neuron 1;}\n"
                       "outputlayer {neuron 2, weight 1; neuron 3, weight 2;}\n"
                       "networklayout {neuron 1, (neuron 2, neuron 3), weight 0.5, 1;}\nend\n");
        }
        TAxoliteMDIChild* child = frame.openDescription(path);
        QVERIFY(child != nullptr);
        frame.checkDescription(child);
        NetworkRecord& record = child->record();
        QVERIFY(record.inputLayerReady != 0);

        QStringList captions;
        const auto answer = [&](const std::function<void(QWidget&)>& work) {
            QTimer::singleShot(0, &frame, [&captions, work] {
                QWidget* dialog = QApplication::activeModalWidget();
                QVERIFY(dialog != nullptr);
                captions << dialog->windowTitle();
                work(*dialog);
                dialog->close();
            });
        };
        answer([](QWidget& dialog) {
            QVERIFY(qobject_cast<TInputActivation*>(&dialog) != nullptr);
            type(dialog, QStringLiteral("1"));
            click(dialog, "137");
        });
        frame.execute(axolite::gui::CmInputActivation);
        QCOMPARE(record.externalInput.at(0, 2), 1.0);

        child->checkWindow()->calculate();
        QVERIFY(record.simulated != 0);
        // The input reached neuron 2 through the weight 0.5.
        QVERIFY(record.outputSeries[0][3] != 0.0);

        answer([](QWidget& dialog) {
            QVERIFY(qobject_cast<TAccurateSolutions*>(&dialog) != nullptr);
            QVERIFY(!enabled(dialog, "7002"));
            auto* y1 = control<QLineEdit>(dialog, "7000");
            y1->selectAll();
            QTest::keyClicks(y1, QStringLiteral("x*3"));
            click(dialog, "137");
        });
        frame.execute(axolite::gui::CmExactValues);
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
        QCOMPARE(record.exactSeries[0][3], 0.75 * 3);

        answer([](QWidget& dialog) {
            QVERIFY(qobject_cast<TRungeKuttaMethod*>(&dialog) != nullptr);
            QVERIFY(!enabled(dialog, "1108"));
            auto* e2 = control<QLineEdit>(dialog, "1110");
            e2->selectAll();
            QTest::keyClicks(e2, QStringLiteral("1"));
            click(dialog, "137");
        });
        frame.execute(axolite::gui::CmRungeKutta);
        QCOMPARE(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{0, 1, 0, 0}));
        QCOMPARE(record.rungeKuttaSeries[1][2], 0.5);
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
        QVERIFY(record.simulated != 0);

        const QString shownPath = child->displayName();
        QCOMPARE(
            captions,
            (QStringList{QStringLiteral("Активирование нейронов входного слоя сети ") + shownPath,
                         QStringLiteral("Вычисление точных значений ") + shownPath,
                         QStringLiteral("Решение нормальной системы дифференциальных "
                                        "уравнений ") +
                             shownPath}));
        QVERIFY(shown().empty());

        // The views open on these series; a reference dialog opened and closed without
        // computing lowers its flags, and the views stop showing the series at once.
        frame.execute(axolite::gui::CmGraphs);
        frame.execute(axolite::gui::CmNumeric);
        QWidget* graphs = axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child);
        QWidget* numeric =
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, child);
        QVERIFY(graphs != nullptr && numeric != nullptr);
        const auto exactDrawn = [graphs] {
            const QImage plot = graphs->grab().toImage().copy(QRect(4, 46, 606, 146));
            for (int y = 0; y < plot.height(); ++y) {
                for (int x = 0; x < plot.width(); ++x) {
                    if (plot.pixelColor(x, y) == QColor(0, 128, 0)) { // exact y1
                        return true;
                    }
                }
            }
            return false;
        };
        QVERIFY(exactDrawn());
        QVERIFY(enabled(*numeric, "805") && enabled(*graphs, "15008"));
        const QString shownExact = control<QLineEdit>(*numeric, "805")->text();
        answer([&](QWidget& dialog) {
            QVERIFY(qobject_cast<TAccurateSolutions*>(&dialog) != nullptr);
            // Already while the dialog is open: no exact series to show.
            QVERIFY(!enabled(*numeric, "805") && !enabled(*numeric, "806"));
        });
        frame.execute(axolite::gui::CmExactValues);
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{}));
        for (const char* id : {"805", "806", "822", "823"}) {
            QVERIFY2(!enabled(*numeric, id), id);
        }
        QCOMPARE(control<QLineEdit>(*numeric, "805")->text(), shownExact); // disabled, not emptied
        QVERIFY(enabled(*numeric, "777") == false && enabled(*numeric, "778"));
        for (const char* id : {"15008", "15009"}) {
            QVERIFY2(!enabled(*graphs, id), id);
        }
        QVERIFY(enabled(*graphs, "15004") && enabled(*graphs, "15001"));
        QVERIFY(!exactDrawn());

        // Computed again: the series come back in both views.
        answer([](QWidget& dialog) {
            auto* y1 = control<QLineEdit>(dialog, "7000");
            y1->selectAll();
            QTest::keyClicks(y1, QStringLiteral("x*3"));
            click(dialog, "137");
        });
        frame.execute(axolite::gui::CmExactValues);
        QVERIFY(enabled(*numeric, "805") && enabled(*graphs, "15008"));
        QVERIFY(exactDrawn());
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, child)->close();
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, child)->close();
    }
};

QTEST_MAIN(ReferenceActivationTest)
#include "reference_activation_test.moc"
