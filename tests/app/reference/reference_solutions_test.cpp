// The exact-values and Runge-Kutta dialogs driven by their controls: what opening shows and
// disables, computations against the engine's own values, formula errors, interruptions and the
// flags they leave, bad field texts, pattern files against the engine's writer, remembered values.
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/reference/accurate_solutions.h"
#include "app/reference/formula_edit.h"
#include "app/reference/runge_kutta_method.h"
#include "core/reference/exact_values.h"
#include "core/reference/pattern_writers.h"
#include "dialog_controls.h"
#include "reference_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <cmath>
#include <csignal>

using axolite::MessageKind;
using axolite::language::NetworkRecord;

namespace {

const std::vector<axolite::Message>& shown() {
    return Notifier::instance().captured();
}

// The engine's exact values for the same record and formulas.
NetworkRecord engineExact(NetworkRecord record, const std::array<std::string, 4>& formulas) {
    axolite::SilentProgress silent;
    axolite::reference::computeExactValues(record, formulas, silent);
    return record;
}

const char* const kRkRowIds[4][5] = {{"1101", "1102", "1103", "1104", "1105"},
                                     {"1106", "1107", "1108", "1109", "1110"},
                                     {"1111", "1112", "1114", "1115", "1116"},
                                     {"1117", "1118", "1113", "1119", "1120"}};
const char* const kRkColumnLabelIds[4][4] = {{"404", "405", "413", "417"},
                                             {"406", "409", "410", "418"},
                                             {"407", "411", "414", "415"},
                                             {"408", "412", "416", "419"}};
const char* const kRkInitialIds[4] = {"1122", "1123", "1124", "1125"};

// A write beyond this many bytes fails (a full disk), as long as the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

} // namespace

class ReferenceSolutionsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

private slots:
    void init() { startReferenceTest(); }

    void exactOpeningShowsTheGridAndDisablesAbsentOutputs() {
        NetworkRecord record = gridRecord(0.0, 1.0, 0.1, 2);
        record.exactPresent = {1, 1, 1, 1};
        TAccurateSolutions dialog(record, nullptr, QString());
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{}));
        const char* const fields[4] = {"7000", "7001", "7002", "7003"};
        const char* const labels[4] = {"1131", "1132", "1133", "1134"};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(control<QLineEdit>(dialog, fields[k])->text(), QStringLiteral("0.0"));
            QCOMPARE(control<QLineEdit>(dialog, fields[k])->maxLength(), 126);
            QCOMPARE(enabled(dialog, fields[k]), k < 2);
            QCOMPARE(enabled(dialog, labels[k]), k < 2);
        }
        QCOMPARE(label(dialog, "1131"), QStringLiteral("y1 = "));
        QCOMPARE(control<QLineEdit>(dialog, "7004")->text(), QStringLiteral("0        "));
        QCOMPARE(control<QLineEdit>(dialog, "7006")->text(), QStringLiteral("0.1      "));
        QCOMPARE(control<QLineEdit>(dialog, "7005")->text(), QStringLiteral("1        "));
        for (const char* id : {"7004", "7005", "7006", "400", "420", "421"}) {
            QVERIFY(!enabled(dialog, id));
        }
        QVERIFY(control<QLineEdit>(dialog, "7004")->isReadOnly());
        QVERIFY(enabled(dialog, "137"));
        QCOMPARE(control<QPushButton>(dialog, "137")->text(), QStringLiteral("Посчитать ... "));
        QVERIFY(!enabled(dialog, "1138"));
        QVERIFY(!enabled(dialog, "1139")); // nothing remembered for a description without a file

        // The filter: capitals, blanks and other letters are not typed; a paste holding one of
        // them is refused whole.
        type(dialog, "7000", QStringLiteral("SIN(x) + 1b"));
        QCOMPARE(control<QLineEdit>(dialog, "7000")->text(), QStringLiteral("(x)+1"));
        QApplication::clipboard()->setText(QStringLiteral("sin(x) * 2"));
        control<QLineEdit>(dialog, "7000")->selectAll();
        control<QLineEdit>(dialog, "7000")->paste();
        QCOMPARE(control<QLineEdit>(dialog, "7000")->text(), QStringLiteral("(x)+1"));
    }

    void exactValuesAreTheEngineValues() {
        NetworkRecord record = gridRecord(0.5, 1.55, 0.1, 2);
        TAccurateSolutions dialog(record, nullptr, QString());
        dialog.show();
        type(dialog, "7000", QStringLiteral("sin(x)*2-ctg(x)/3"));
        type(dialog, "7001", QStringLiteral("-x+1"));
        control<QLineEdit>(dialog, "7002")->setText(QStringLiteral("2x")); // never evaluated
        QSignalSpy changed(&dialog, &TReferenceDialog::recordChanged);
        const NetworkRecord expected =
            engineExact(record, {"sin(x)*2-ctg(x)/3", "-x+1", "2x", "0.0"});
        click(dialog, "137");
        QVERIFY(shown().empty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
        for (int k = 0; k < 2; ++k) {
            QCOMPARE(record.exactSeries[k].size(), std::size_t{10});
            QVERIFY(record.exactSeries[k] == expected.exactSeries[k]); // bit for bit
            QCOMPARE(record.statistics[2][k].range, expected.statistics[2][k].range);
        }
        QCOMPARE(record.exactSeries[1][3], 1.0 - (0.5 + 3 * 0.1));
        TCalculationProgress* progress = dialog.progressDialog();
        QVERIFY(progress != nullptr && progress->isFinished() && progress->isVisible());
        QCOMPARE(label(*progress, "18013"), QStringLiteral("Вычисление точных значений..."));
        QVERIFY(!control<QLabel>(*progress, "7778")->isEnabled());
        QVERIFY(!enabled(dialog, "137"));
        QVERIFY(enabled(dialog, "1138"));
    }

    void aFormulaErrorIsShownWhileTypingAndWhenComputing() {
        NetworkRecord record = gridRecord(0.0, 1.0, 0.1, 2);
        TAccurateSolutions dialog(record, nullptr, QString());
        auto* y2 = static_cast<TFormulaEdit*>(control<QLineEdit>(dialog, "7001"));
        type(dialog, "7001", QStringLiteral("x2"));
        QVERIFY(!y2->reads());
        QVERIFY(y2->toolTip().startsWith(
            QStringLiteral("Функциональная зависимость y2 введена неверно.")));
        QVERIFY(!y2->styleSheet().isEmpty());
        type(dialog, "7001", QStringLiteral("(x"));
        QCOMPARE(y2->problem(), QStringLiteral("Не закрыто скобок: 1"));
        type(dialog, "7001", QStringLiteral("x)"));
        QCOMPARE(y2->problem(), QStringLiteral("Лишняя закрывающая скобка в позиции 2"));

        click(dialog, "137");
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Error);
        QCOMPARE(shown()[0].text, std::string("Функциональная зависимость y2 введена неверно."));
        QVERIFY(dialog.progressDialog() == nullptr);
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{}));
        QVERIFY(enabled(dialog, "137"));
        QVERIFY(!enabled(dialog, "1138"));

        // Corrected, the same dialog computes.
        type(dialog, "7001", QStringLiteral("x"));
        QVERIFY(y2->reads());
        QVERIFY(y2->styleSheet().isEmpty());
        click(dialog, "137");
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{1, 1, 0, 0}));
    }

    void hostileFormulasGiveAMessageOrAValue() {
        NetworkRecord record = gridRecord(0.0, 0.5, 0.125, 4);
        TAccurateSolutions dialog(record, nullptr, QString());
        // Ten thousand characters are cut to the field's 126; 63 nested brackets still read.
        control<QLineEdit>(dialog, "7000")->setText(QString(10000, u'('));
        QCOMPARE(control<QLineEdit>(dialog, "7000")->text().size(), 126);
        control<QLineEdit>(dialog, "7000")->setText(QString(62, u'(') + u'x' + QString(62, u')'));
        control<QLineEdit>(dialog, "7001")->setText(QStringLiteral("1/0"));
        control<QLineEdit>(dialog, "7002")->setText(QStringLiteral("exp(1000)-exp(1000)"));
        control<QLineEdit>(dialog, "7003")->setText(QStringLiteral("1e999*x"));
        click(dialog, "137");
        QVERIFY(shown().empty());
        QCOMPARE(record.exactSeries[0][2], 0.25);
        QVERIFY(std::isinf(record.exactSeries[1][0]));
        QVERIFY(std::isnan(record.exactSeries[2][1]));
        QVERIFY(std::isnan(record.exactSeries[3][0])); // infinity × 0
        QVERIFY(std::isinf(record.exactSeries[3][1]));
    }

    void anInterruptedExactComputationLeavesNoSeriesOnClose() {
        NetworkRecord record = gridRecord(0.0, 1000000.0, 1.0, 2);
        TAccurateSolutions dialog(record, nullptr, QString());
        computeAndInterruptAt40(dialog, record, "7000",
                                QStringLiteral("sin(x)*cos(x)+exp(x/1000000)"));
        // The point that reached 40 % was the last one computed.
        const double x = 400000.0;
        QCOMPARE(record.exactSeries[0][400000], std::sin(x) * std::cos(x) + std::exp(x / 1000000));
        QCOMPARE(record.exactSeries[0][400001], 0.0);
        QVERIFY(dialog.progressDialog() == nullptr || !dialog.progressDialog()->isVisible());
        click(dialog, "2");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{}));
    }

    void closingDuringAComputationStopsItFirst() {
        NetworkRecord record = gridRecord(0.0, 1000000.0, 1.0, 1);
        TAccurateSolutions dialog(record, nullptr, QString());
        dialog.show();
        type(dialog, "7000", QStringLiteral("sin(x)*cos(x)+exp(x/1000000)"));
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(dialog.running());
            dialog.close();
            QVERIFY(dialog.isVisible()); // not from under the computation
        });
        click(dialog, "137");
        QVERIFY(!dialog.running());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(record.exactPresent, (std::array<std::uint8_t, 4>{}));
    }

    void exactAndRungeKuttaPatternFilesAreTheEngineFiles() {
        NetworkRecord record = gridRecord(0.0, 2.0, 0.125, 3);
        const QString ours = dir_.filePath(QStringLiteral("ours.ptn"));
        const std::string engine = dir_.filePath(QStringLiteral("engine.ptn")).toStdString();
        // Computes with the typed fields, writes through "Сформировать файл образов ..." and
        // compares with the engine's writer on the same record.
        const auto writeBoth = [&](TReferenceDialog& dialog,
                                   const std::vector<std::pair<const char*, const char*>>& fields,
                                   void (*writer)(const NetworkRecord&, const std::string&)) {
            for (const auto& [id, text] : fields) {
                type(dialog, id, QString::fromLatin1(text));
            }
            click(dialog, "137");
            answerFileDialogs(ours);
            click(dialog, "1138");
            writer(record, engine);
            QCOMPARE(fileBytes(ours), fileBytes(engine));
        };
        TAccurateSolutions exact(record, nullptr, QString());
        writeBoth(exact, {{"7000", "sin(x)/7"}, {"7002", "x*x*1000000"}},
                  &axolite::reference::writeExactPatterns);
        QCOMPARE(exact.lastStatusText(), QStringLiteral("Формируется файл образов ..."));
        QVERIFY(fileBytes(ours).contains("e+06 "));
        TRungeKuttaMethod rk(record, nullptr, QString());
        writeBoth(rk, {{"1107", "-0.5"}, {"1110", "1"}, {"1122", "3"}},
                  &axolite::reference::writeRungeKuttaPatterns);
        QCOMPARE(rk.lastStatusText(), QStringLiteral("Формируется файл образов... "));
        QCOMPARE(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{0, 1, 0, 0}));
        QVERIFY(shown().empty());
    }

    void aPatternFileThatCannotBeWrittenLeavesWhatStoodThere() {
        NetworkRecord record = gridRecord(0.0, 10000.0, 1.0, 1);
        TAccurateSolutions dialog(record, nullptr, QString());
        type(dialog, "7000", QStringLiteral("x/3"));
        click(dialog, "137");

        // A folder that does not exist, and a name that is a folder.
        const QTemporaryDir dir;
        const QString nowhere = dir.filePath(QStringLiteral("missing/x.ptn"));
        answerFileDialogs(nowhere);
        click(dialog, "1138");
        QCOMPARE(shown().size(), std::size_t{1});
        QCOMPARE(shown()[0].kind, MessageKind::Error);
        QCOMPARE(QString::fromStdString(shown()[0].text),
                 QStringLiteral("Невозможно создать файл ") + nowhere);
        QVERIFY(!QFile::exists(nowhere));
        answerFileDialogs(dir.path());
        click(dialog, "1138");
        QCOMPARE(shown().size(), std::size_t{2});
        QVERIFY(QFileInfo(dir.path()).isDir());

        // The disk fills up part-way: the good file under the name stays whole.
        const QString good = dir.filePath(QStringLiteral("good.ptn"));
        {
            QFile file(good);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("1 2 3 ");
        }
        answerFileDialogs(good);
        {
            const FileSizeLimit full(4096);
            click(dialog, "1138");
        }
        QCOMPARE(shown().size(), std::size_t{3});
        QCOMPARE(QString::fromStdString(shown()[2].text),
                 QStringLiteral("Невозможно создать файл ") + good);
        QCOMPARE(fileBytes(good), QByteArray("1 2 3 "));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"good.ptn"});

        // Cancelling the file dialog writes nothing.
        answerFileDialogs(QString());
        click(dialog, "1138");
        QCOMPARE(shown().size(), std::size_t{3});
    }

    void formulasAreRememberedPerDescriptionFile() {
        NetworkRecord record = gridRecord(0.0, 1.0, 0.5, 2);
        const QString path = QStringLiteral("/descriptions/a.net");
        {
            TAccurateSolutions dialog(record, nullptr, path);
            QVERIFY(!enabled(dialog, "1139"));
            type(dialog, "7000", QStringLiteral("sin(x)"));
            type(dialog, "7001", QStringLiteral("x*x"));
            click(dialog, "137");
            dialog.close();
        }
        // Opened and closed untouched, a dialog keeps what was remembered.
        TAccurateSolutions(record, nullptr, path).close();
        TAccurateSolutions again(record, nullptr, path);
        QCOMPARE(control<QLineEdit>(again, "7000")->text(), QStringLiteral("0.0"));
        QVERIFY(enabled(again, "1139"));
        click(again, "1139");
        QCOMPARE(control<QLineEdit>(again, "7000")->text(), QStringLiteral("sin(x)"));
        QCOMPARE(control<QLineEdit>(again, "7001")->text(), QStringLiteral("x*x"));
        TAccurateSolutions other(record, nullptr, QStringLiteral("/descriptions/b.net"));
        QVERIFY(!enabled(other, "1139"));

        // The Runge-Kutta values of a description come back only into fields that are enabled.
        {
            TRungeKuttaMethod dialog(record, nullptr, path);
            type(dialog, "1101", QStringLiteral("-2"));
            type(dialog, "1107", QStringLiteral("1.5"));
            dialog.close();
        }
        NetworkRecord oneOutput = gridRecord(0.0, 1.0, 0.5, 1);
        TRungeKuttaMethod rk(oneOutput, nullptr, path);
        click(rk, "1139");
        QCOMPARE(control<QLineEdit>(rk, "1101")->text(), QStringLiteral("-2"));
        QCOMPARE(control<QLineEdit>(rk, "1107")->text(), QStringLiteral("0.0"));
    }

    void eachDialogsHelpOpensItsOwnPageWithItsPicture() {
        NetworkRecord record = gridRecord(0.0, 1.0, 0.5, 1);
        TAccurateSolutions exact(record, nullptr, QString());
        TRungeKuttaMethod rk(record, nullptr, QString());
        const std::pair<QWidget*, const char*> dialogs[] = {{&exact, "18001.html"},
                                                            {&rk, "18000.html"}};
        for (const auto& [dialog, page] : dialogs) {
            click(*dialog, "9");
            QVERIFY(helpWindow() != nullptr);
            QVERIFY(helpWindow()->currentPage().toString().endsWith(QLatin1String(page)));
        }
        for (const char* picture : {":/help/exact-dialog.png", ":/help/runge-kutta-dialog.png",
                                    ":/help/input-activation-dialog.png"}) {
            QVERIFY(QImage(QString::fromLatin1(picture)).width() > 300);
        }
        closeHelp();
    }

    void rungeKuttaDisablesTheRowsAndColumnsOfAbsentOutputs_data() {
        QTest::addColumn<int>("outputs");
        for (int n = 1; n <= 4; ++n) {
            QTest::addRow("%d outputs", n) << n;
        }
    }
    void rungeKuttaDisablesTheRowsAndColumnsOfAbsentOutputs() {
        QFETCH(int, outputs);
        NetworkRecord record = gridRecord(0.0, 2.0, 0.25, outputs);
        record.rungeKuttaPresent = {1, 1, 1, 1};
        TRungeKuttaMethod dialog(record, nullptr, QString());
        QCOMPARE(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{}));
        for (int k = 0; k < 4; ++k) {
            const bool row = k < outputs;
            QCOMPARE(enabled(dialog, QByteArray::number(400 + k).constData()), row);
            for (int c = 0; c < 5; ++c) {
                QCOMPARE(enabled(dialog, kRkRowIds[k][c]), row && (c == 4 || c < outputs));
                QCOMPARE(control<QLineEdit>(dialog, kRkRowIds[k][c])->text(),
                         QStringLiteral("0.0"));
                QCOMPARE(control<QLineEdit>(dialog, kRkRowIds[k][c])->maxLength(), 9);
            }
            for (int c = 0; c < 4; ++c) {
                QCOMPARE(enabled(dialog, kRkColumnLabelIds[k][c]), row && c < outputs);
            }
            QCOMPARE(enabled(dialog, kRkInitialIds[k]), row);
        }
        for (const char* id : {"420", "421", "422"}) {
            QCOMPARE(enabled(dialog, id), id[2] - '0' + 1 < outputs);
        }
        QCOMPARE(label(dialog, "417"), QStringLiteral("y4 +"));
        QCOMPARE(control<QLineEdit>(dialog, "1136")->text(), QStringLiteral("0.25     "));
        QCOMPARE(control<QLineEdit>(dialog, "1135")->text(), QStringLiteral("2        "));
        QCOMPARE(control<QLineEdit>(dialog, "1121")->text(), QStringLiteral("0        "));
        for (const char* id : {"2222", "1121", "1438", "1136", "1437", "1135"}) {
            QVERIFY(!enabled(dialog, id));
        }
        QVERIFY(enabled(dialog, "137"));
        QVERIFY(!enabled(dialog, "1138"));
    }

    void aSystemIsSolvedAsTheEngineSolvesIt() {
        NetworkRecord record = gridRecord(0.0, 3.0, 0.01, 4);
        record.counters = {1000, 2000, 0}; // left by the simulation: the counts add to them
        TRungeKuttaMethod dialog(record, nullptr, QString());
        type(dialog, "1102", QStringLiteral("1"));   // y1' = y2
        type(dialog, "1106", QStringLiteral("-1"));  // y2' = -y1
        type(dialog, "1114", QStringLiteral("0.5")); // y3' = 0.5 y3 + 1
        type(dialog, "1116", QStringLiteral("+1."));
        type(dialog, "1122", QStringLiteral("1e5")); // no exponent letter: 15
        type(dialog, "1125", QStringLiteral("7"));   // row 4 all zero: solved, not flagged
        QCOMPARE(control<QLineEdit>(dialog, "1122")->text(), QStringLiteral("15"));

        NetworkRecord expected = record;
        axolite::reference::LinearSystem system =
            axolite::reference::readLinearSystem(dialog.systemTexts());
        axolite::reference::clearAbsentOutputs(system, expected.networkPresent);
        axolite::SilentProgress silent;
        axolite::reference::computeRungeKutta(expected, system, silent);

        click(dialog, "137");
        QVERIFY(shown().empty());
        QCOMPARE(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{1, 1, 1, 0}));
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(record.rungeKuttaSeries[k].size(), std::size_t{301});
            QVERIFY(record.rungeKuttaSeries[k] == expected.rungeKuttaSeries[k]);
        }
        QCOMPARE(record.rungeKuttaSeries[0][0], 15.0);
        QCOMPARE(record.rungeKuttaSeries[3][300], 7.0);
        // 300 points, S(S + 1)/2 steps, 26 additions per step and output neuron.
        QCOMPARE(record.counters, expected.counters);
        QCOMPARE(record.counters.additions, 1000 + std::int64_t{300} * 301 / 2 * 26 * 4);
        TCalculationProgress* progress = dialog.progressDialog();
        QCOMPARE(label(*progress, "18013"),
                 QStringLiteral("Решение системы дифференциальных уравнений..."));
        QVERIFY(control<QLabel>(*progress, "7778")->isEnabled());
        QVERIFY(!enabled(dialog, "137"));
        QVERIFY(enabled(dialog, "1138"));
    }

    // Fields edited after "Посчитать ..." leave the computed solution in place, and the pattern
    // file holds it: a line of the dialog says so while the fields differ from what was computed.
    void editedFieldsSayThatThePatternFileHoldsTheComputedSolution() {
        NetworkRecord record = gridRecord(0.0, 2.0, 0.125, 2);
        TRungeKuttaMethod dialog(record, nullptr, QString());
        const auto noteShown = [&] {
            return control<QLabel>(dialog, "1140")->isVisibleTo(&dialog);
        };
        type(dialog, "1102", QStringLiteral("1"));
        type(dialog, "1106", QStringLiteral("-1"));
        type(dialog, "1123", QStringLiteral("1"));
        QVERIFY(!noteShown());
        click(dialog, "137");
        QVERIFY(!noteShown());
        const std::string engine = dir_.filePath(QStringLiteral("engine.ptn")).toStdString();
        axolite::reference::writeRungeKuttaPatterns(record, engine);

        type(dialog, "1106", QStringLiteral("-4"));
        QVERIFY(noteShown());
        QVERIFY(control<QLabel>(dialog, "1140")->text().contains(QStringLiteral("файл образов")));
        QVERIFY(!enabled(dialog, "137"));
        const QString ours = dir_.filePath(QStringLiteral("ours.ptn"));
        answerFileDialogs(ours);
        click(dialog, "1138");
        QCOMPARE(fileBytes(ours), fileBytes(engine));
        type(dialog, "1106", QStringLiteral("-1"));
        QVERIFY(!noteShown());
        QVERIFY(shown().empty());
    }

    // Texts that reach the fields without the filter read by their leading number.
    void coefficientTextsReadByTheirLeadingNumber() {
        NetworkRecord record = gridRecord(0.0, 1.0, 0.5, 4);
        TRungeKuttaMethod dialog(record, nullptr, QString());
        control<QLineEdit>(dialog, "1101")->setText(QStringLiteral("text"));
        control<QLineEdit>(dialog, "1102")->setText(QString());
        control<QLineEdit>(dialog, "1103")->setText(QStringLiteral("nan"));
        control<QLineEdit>(dialog, "1106")->setText(QStringLiteral("2.5abc"));
        control<QLineEdit>(dialog, "1110")->setText(QStringLiteral("1e999"));
        control<QLineEdit>(dialog, "1123")->setText(QStringLiteral("1"));
        click(dialog, "137");
        QVERIFY(shown().empty());
        // Row 1 reads all zero; row 2 has 2.5 and an infinite constant. The infinity reaches
        // every component through the zero coefficients (0 × ∞ is NaN), as IEEE arithmetic has it.
        QCOMPARE(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{0, 1, 0, 0}));
        QCOMPARE(record.rungeKuttaSeries[1][0], 1.0);
        QVERIFY(!std::isfinite(record.rungeKuttaSeries[1][1]));
        QVERIFY(std::isnan(record.rungeKuttaSeries[0][2]));
    }

    void duringAComputationOnlyCloseAndHelpAreUsable() {
        // A file dialog ("Построить сеть ...", the pattern file) or the step-size study opened
        // from inside the run's event processing would hold the run until it closed.
        NetworkRecord record = gridRecord(0.0, 1000000.0, 1.0, 1);
        TRungeKuttaMethod dialog(record, nullptr, QString());
        dialog.show();
        type(dialog, "1101", QStringLiteral("-0.000001"));
        QStringList usable;
        bool seen = false;
        QTimer::singleShot(0, &dialog, [&] {
            seen = dialog.running();
            for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
                if (b->window() == &dialog && b->isEnabled()) {
                    usable << b->objectName();
                }
            }
            dialog.progressDialog()->interrupt();
        });
        click(dialog, "137");
        QVERIFY(seen);
        QVERIFY(!dialog.running());
        usable.sort();
        QCOMPARE(usable, (QStringList{QStringLiteral("2"), QStringLiteral("9")}));
        // Back as they were: an interrupted run may be repeated, no pattern file.
        for (const char* id : {"2610", "2611", "137"}) {
            QVERIFY2(enabled(dialog, id), id);
        }
        QVERIFY(!enabled(dialog, "1138"));
    }

    void anInterruptedSolutionLeavesNoSeriesOnClose() {
        NetworkRecord record = gridRecord(0.0, 1000000.0, 0.000001 * 1000000.0, 2);
        TRungeKuttaMethod dialog(record, nullptr, QString());
        computeAndInterruptAt40(dialog, record, "1101", QStringLiteral("-0.000001"));
        // Enter closes the dialog as "Закрыть" does.
        QTest::keyClick(&dialog, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(record.rungeKuttaPresent, (std::array<std::uint8_t, 4>{}));
    }
};

QTEST_MAIN(ReferenceSolutionsTest)
#include "reference_solutions_test.moc"
