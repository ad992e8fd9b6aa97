// The study tools on the desktop: the Runge-Kutta dialog writes the Euler network and opens it
// (it checks with no error), the step-size study dialog shows the engine's rows and writes them
// as CSV, and "Объяснить значение ..." of the numeric view shows the engine's numbers and moves
// the editor's caret to a line clicked.
#include "app/editor/edit_file.h"
#include "app/gui/command_ids.h"
#include "app/language/translate_dialog.h"
#include "app/reference/runge_kutta_method.h"
#include "app/reference/step_study_dialog.h"
#include "app/shell/mdi_child.h"
#include "app/views/explain_dialog.h"
#include "app/views/numeric_view.h"
#include "core/common/number_text.h"

#include "reference_fixture.h"
#include "test_frame.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>

using axolite::gui::CmCheck;

namespace {

const QString kOscillator = QStringLiteral(AXOLITE_EXAMPLES_DIR "/oscillator.net");

// The oscillator y1' = y2, y2' = −y1, y(0) = (0, 1) on [0, 10], h = 0.01.
axolite::reference::LinearSystem oscillator() {
    axolite::reference::LinearSystem system{};
    system.rows[0][1] = 1.0;
    system.rows[1][0] = -1.0;
    system.initial[1] = 1.0;
    return system;
}

// Accepts the next modal dialog (the neuron and step choice) with the values set by `set`.
void acceptNextModal(const std::function<void(QWidget*)>& set) {
    QTimer::singleShot(0, [set] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr) {
            set(dialog);
            dialog->accept();
        }
    });
}

} // namespace

class StudyToolsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TAxoliteApp> frame_;

    // The description opened, checked and simulated.
    TAxoliteMDIChild* simulated(const QString& path) { return openSimulated(*frame_, path); }

private slots:
    void init() {
        frame_ = testFrame(dir_);
        startReferenceTest();
    }
    void cleanup() {
        axolite::gui::setFileChooser({});
        frame_.reset();
    }

    // "Построить сеть ...": the network of the dialog's system is written with its model file
    // into the models folder, opened in a new window, and checks with no error; its simulation
    // is the Euler loop of the oscillator.
    void buildNetworkWritesAndOpensACorrectDescription() {
        TAxoliteMDIChild* child = simulated(kOscillator);
        QVERIFY(child != nullptr);
        QTemporaryDir out;
        frame_->client()->folders().models = out.path().toStdString();
        // Before the folders are set, the save dialog starts beside the description.
        TRungeKuttaMethod unset(child->record(), &frame_->client()->folders(), child->path(),
                                frame_.get());
        QString startedIn;
        axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest& r) {
            startedIn = r.start;
            return QString();
        });
        click(unset, "2610");
        QCOMPARE(startedIn, QFileInfo(child->path()).absolutePath());
        TRungeKuttaMethod dialog(child->record(), &frame_->client()->folders(), child->path(),
                                 frame_.get());
        dialog.setDescriptionOpener(
            [this](const QString& p) { return frame_->openDescription(p); });
        control<QLineEdit>(dialog, "1102")->setText(QStringLiteral("1"));
        control<QLineEdit>(dialog, "1106")->setText(QStringLiteral("-1"));
        control<QLineEdit>(dialog, "1123")->setText(QStringLiteral("1"));
        const QString net = out.filePath(QStringLiteral("euler.net"));
        // The save dialog starts in the networks folder once the folders are set, with the
        // filter of the program's other description dialogs.
        QTemporaryDir networks;
        frame_->client()->folders().networks = networks.path().toStdString();
        frame_->client()->folders().set = true;
        axolite::gui::FileDialogRequest asked;
        axolite::gui::setFileChooser([&](QWidget*, const axolite::gui::FileDialogRequest& r) {
            asked = r;
            return net;
        });
        Notifier::instance().clearCaptured();
        click(dialog, "2610");
        QCOMPARE(asked.start, networks.path());
        QCOMPARE(asked.filter.section(QStringLiteral(";;"), 0, 0),
                 QStringLiteral("Нейронная сеть (*.net)"));
        QVERIFY(Notifier::instance().captured().empty());
        QVERIFY(QFile::exists(net));
        QVERIFY(QFile::exists(out.filePath(QStringLiteral("1.neu"))));

        auto* opened = qobject_cast<TAxoliteMDIChild*>(frame_->activeDescription());
        QVERIFY(opened != nullptr && opened != child);
        QCOMPARE(QFileInfo(opened->path()).canonicalFilePath(), QFileInfo(net).canonicalFilePath());
        // Opened behind the dialog: the dialog says so in a line of its own.
        auto* note = dialog.findChild<QLabel*>(QStringLiteral("openedNote"));
        QVERIFY(note != nullptr && note->isVisibleTo(&dialog));
        QVERIFY(note->text().contains(opened->displayName()));
        frame_->execute(CmCheck);
        QVERIFY(opened->checkWindow() != nullptr);
        QVERIFY(opened->checkWindow()->correct());
        QCOMPARE(opened->record().errorCount, 0);
        opened->checkWindow()->calculate();
        QVERIFY(opened->record().simulated != 0);
        // y(1) = W·y(0): y1 = 0.01, y2 = 1.
        QCOMPARE(opened->record().outputSeries[0][1], 0.01);
        QCOMPARE(opened->record().outputSeries[1][1], 1.0);
        // The same network as the example written by the command line (up to the model code).
        QCOMPARE(opened->record().outputSeries[0], child->record().outputSeries[0]);

        // A file that cannot be written is told; nothing opens.
        Notifier::instance().clearCaptured();
        answerFileDialogs(out.filePath(QStringLiteral("missing/euler.net")));
        click(dialog, "2610");
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(frame_->activeDescription(), opened);
    }

    // The study dialog's table holds the engine's rows for the oscillator, its texts mark the
    // missing orders and its CSV file reads back to the same numbers.
    void studyTableEqualsTheEngine() {
        const axolite::reference::EulerGrid grid{0.0, 10.0, 0.01};
        TStepStudyDialog dialog(oscillator(), 2, grid);
        dialog.exactField(0)->setText(QStringLiteral("sin(x)"));
        dialog.exactField(1)->setText(QStringLiteral("cos(x)"));
        QVERIFY(!dialog.exactField(2)->isEnabled());
        // 1000 steps: at most 9 halvings keep within 1000000 steps.
        QCOMPARE(dialog.halvings()->maximum(), 9);
        dialog.halvings()->setValue(3);
        click(dialog, "2606");
        QVERIFY(Notifier::instance().captured().empty());

        axolite::SilentProgress progress;
        const auto expected = axolite::reference::runStepStudy(dialog.request(), progress);
        const auto& rows = dialog.model()->rows();
        QCOMPARE(rows.size(), std::size_t{4});
        QCOMPARE(dialog.table()->model()->rowCount(), 4);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].h, expected.rows[i].h);
            QCOMPARE(rows[i].steps, expected.rows[i].steps);
            QCOMPARE(rows[i].networkError, expected.rows[i].networkError);
            QCOMPARE(rows[i].rungeKuttaError, expected.rows[i].rungeKuttaError);
            QCOMPARE(rows[i].networkOrder, expected.rows[i].networkOrder);
            QCOMPARE(rows[i].rungeKuttaOrder, expected.rows[i].rungeKuttaOrder);
        }
        QCOMPARE(dialog.model()->cellText(0, 3), QStringLiteral("—"));
        QCOMPARE(dialog.model()->cellText(1, 1), QStringLiteral("2000"));
        QCOMPARE(dialog.model()->cellText(1, 3), QString::asprintf("%.3f", *rows[1].networkOrder));
        QVERIFY(std::abs(*rows[3].networkOrder - 1.0) < 0.05);
        QVERIFY(std::abs(*rows[2].rungeKuttaOrder - 4.0) < 0.05);

        // Infinite and NaN errors as the command line writes them.
        TStepStudyModel model;
        axolite::reference::StepStudyRow diverged;
        diverged.networkError = std::numeric_limits<double>::infinity();
        diverged.rungeKuttaError = std::nan("");
        model.setRows({diverged});
        QCOMPARE(model.cellText(0, 2), QStringLiteral("inf"));
        QCOMPARE(model.cellText(0, 4), QStringLiteral("nan"));
        QCOMPARE(model.cellText(0, 5), QStringLiteral("—"));

        QTemporaryDir out;
        const QString csv = out.filePath(QStringLiteral("study.csv"));
        QVERIFY(dialog.writeTable(csv));
        const QList<QByteArray> lines = fileBytes(csv).split('\n');
        QCOMPARE(lines[0], QByteArray("h,steps,network_error,rk_error,network_order,rk_order"));
        const QList<QByteArray> first = lines[1].split(',');
        QCOMPARE(first[2].toDouble(), *rows[0].networkError);
        QCOMPARE(first[3].toDouble(), *rows[0].rungeKuttaError);
        QVERIFY(first[4].isEmpty() && first[5].isEmpty()); // no order on the first row
        QVERIFY(!dialog.writeTable(out.filePath(QStringLiteral("missing/study.csv"))));
    }

    // "Прервать" ends the study with the grids completed so far; a refused request is told and
    // leaves the table as it was.
    void studyInterruptedAndRefused() {
        TStepStudyDialog dialog(oscillator(), 2, {0.0, 10.0, 0.01});
        dialog.show();
        dialog.halvings()->setValue(7);
        InterruptAt interrupt(dialog, 20);
        click(dialog, "2606");
        QVERIFY(interrupt.seen() >= 20);
        QVERIFY(!dialog.model()->rows().empty());
        QVERIFY(dialog.model()->rows().size() < 8);
        QVERIFY(control<QLabel>(dialog, "2609")->text().contains(QStringLiteral("прервано")));
        const auto before = dialog.model()->rows().size();

        dialog.exactField(0)->setText(QStringLiteral("sin(x"));
        Notifier::instance().clearCaptured();
        click(dialog, "2606");
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(Notifier::instance().captured()[0].text,
                 std::string("Функциональная зависимость y1 введена неверно."));
        QCOMPARE(dialog.model()->rows().size(), before);
        QVERIFY(enabled(dialog, "2606"));
    }

    // "Объяснить значение ..." of the numeric view: the neuron of y1 by default at the current
    // step, the engine's numbers; a click on a term's line puts the editor's caret there.
    void explainFromTheNumericView() {
        TAxoliteMDIChild* child = simulated(kOscillator);
        QVERIFY(child != nullptr);
        TAxoliteNumeric view(child);
        view.setCurrentStep(7);
        int defaultNeuron = 0;
        int defaultStep = -1;
        acceptNextModal([&](QWidget* choice) {
            defaultNeuron = control<QSpinBox>(*choice, "2631")->value();
            defaultStep = control<QSpinBox>(*choice, "2632")->value();
        });
        TExplainDialog* dialog = view.explainCurrentValue();
        QVERIFY(dialog != nullptr);
        QCOMPARE(defaultNeuron, 1);
        QCOMPARE(defaultStep, 7);

        const auto expected = axolite::simulation::explainValue(
            child->record(), *child->checkResult(), *child->simulation(), 0, 7);
        const auto& shown = dialog->explanation();
        QCOMPARE(shown.value, expected.value);
        QCOMPARE(shown.net, expected.net);
        QCOMPARE(shown.terms.size(), std::size_t{2});
        QCOMPARE(shown.value, child->record().outputSeries[0][7]);
        const QString all = [&] {
            QString text;
            for (int i = 0; i < dialog->lines()->count(); ++i) {
                text += dialog->lines()->item(i)->text() + u'\n';
            }
            return text;
        }();
        // The numbers as the shortest texts that read back as them.
        QVERIFY(all.contains(QStringLiteral("net = ") +
                             QString::fromStdString(axolite::shortestNumberText(expected.net))));
        QVERIFY(all.contains(QStringLiteral("Значение: ") +
                             QString::fromStdString(axolite::shortestNumberText(expected.value))));
        QVERIFY(all.contains(QStringLiteral("линейная")));

        // The row of the second term (neuron 2 → 1, line "neuron 2, neuron 1, weight 0.01;").
        int row = -1;
        for (int i = 0; i < dialog->lines()->count(); ++i) {
            if (dialog->lines()->item(i)->text().startsWith(QStringLiteral("  нейрон 2"))) {
                row = i;
            }
        }
        QVERIFY(row >= 0);
        const int line = dialog->descriptionLine(row);
        QCOMPARE(line, expected.terms[1].line);
        QCOMPARE(expected.terms[1].weight, 0.01);
        QVERIFY(child->lineText(line).contains(QStringLiteral("neuron 2, neuron 1, weight 0.01")));
        child->editor()->setCaretLine(0);
        QListWidget* list = dialog->lines();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        QCOMPARE(child->editor()->caretLine(), line - 1);
        dialog->close();

        // Step 0: the initial state and the INITSTATE line that set it.
        acceptNextModal([](QWidget* choice) { control<QSpinBox>(*choice, "2631")->setValue(2); });
        view.setCurrentStep(0);
        TExplainDialog* initial = view.explainCurrentValue();
        QVERIFY(initial != nullptr);
        QCOMPARE(initial->explanation().value, 1.0);
        QVERIFY(child->lineText(initial->explanation().initialLine).contains(u"neuron 2, 1"));
        initial->close();

        // With the check window closed, the run's arrays are gone: refused with the engine's
        // message, no dialog asked.
        child->checkWindow()->close();
        QCoreApplication::processEvents();
        QVERIFY(!axolite::views_gui::canExplain(child));
        Notifier::instance().clearCaptured();
        QVERIFY(axolite::views_gui::explainValue(&view, child, 3) == nullptr);
        QCOMPARE(Notifier::instance().captured().size(), std::size_t{1});
        QCOMPARE(Notifier::instance().captured()[0].text, axolite::simulation::notSimulatedText());
    }
};

QTEST_MAIN(StudyToolsTest)
#include "study_tools_test.moc"
