// Renders the main windows offscreen into PNG files for the documentation: the frame with a
// description, the check window, the progress dialog after a simulation, the reference dialogs,
// the model dialog, the result views of the ring example with their companion windows, the
// debugger, and the "Первые шаги" walk-through, a picture a step.
// Usage: axolite_screenshots OUTPUT_FOLDER (run with QT_QPA_PLATFORM=offscreen).
#include "app/debugger/condition_list.h"
#include "app/debugger/debug_window.h"
#include "app/debugger/watch_panel.h"
#include "app/editor/edit_file.h"
#include "app/gui/calculation_progress.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/gui/platform_dialogs.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/reference/accurate_solutions.h"
#include "app/reference/input_activation_dialog.h"
#include "app/reference/runge_kutta_method.h"
#include "app/reference/step_study_dialog.h"
#include "app/shell/about_box.h"
#include "app/shell/axolite_app.h"
#include "app/shell/command_table.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "app/simulation/choose_model.h"
#include "app/tools/first_steps.h"
#include "app/training/comparison_window.h"
#include "app/training/run_network.h"
#include "app/training/teach_network.h"
#include "app/views/dynamics_view.h"
#include "app/views/explain_dialog.h"
#include "app/views/graphs_view.h"
#include "app/views/numeric_view.h"
#include "app/views/views_tools.h"
#include "core/reference/exact_values.h"
#include "core/reference/runge_kutta.h"
#include "core/training/network_description.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QThread>

#include <cstdio>

namespace {

const char* kDescription = "// Кольцо из четырех нейронов с входом и двумя выходами\n"
                           "neurons 4;\n"
                           "simtime 0, 10;\n"
                           "timestep 0.01;\n"
                           "initstate {neuron 1, 1;}\n"
                           "inputlayer {neuron 1;}\n"
                           "outputlayer {\n"
                           "  neuron 2, weight 1;\n"
                           "  neuron 4, weight -1;\n"
                           "}\n"
                           "networklayout {\n"
                           "  neuron 1, neuron 2, weight 0.9;\n"
                           "  neuron 2, neuron 3, weight 0.9;\n"
                           "  neuron 3, (neuron 4, neuron 1), weight 0.9, -0.3;\n"
                           "}\n"
                           "end\n";

void fill(QWidget& dialog, const char* id, const char* text) {
    if (auto* field = dialog.findChild<QLineEdit*>(QString::fromLatin1(id))) {
        field->setText(QString::fromUtf8(text));
    }
}

bool save(QWidget* widget, const QDir& folder, const QString& name) {
    QApplication::processEvents();
    const QPixmap picture = widget->grab();
    const QString path = folder.filePath(name);
    if (picture.isNull() || !picture.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A description opened, checked and simulated, its check window open (nullptr on failure).
TAxoliteMDIChild* openSimulated(TAxoliteApp& frame, const QString& path) {
    TAxoliteMDIChild* child = frame.openDescription(path);
    if (child == nullptr) {
        return nullptr;
    }
    frame.checkDescription(child);
    if (child->checkWindow() == nullptr) {
        return nullptr;
    }
    child->checkWindow()->calculate();
    if (TCalculationProgress* progress = child->checkWindow()->progressDialog()) {
        progress->close();
    }
    return child->record().simulated != 0 ? child : nullptr;
}

// The ring example of examples/, simulated, with exact values and the Runge-Kutta solution of a
// linear system that follows it; then the three views and the two companion windows.
bool saveResultViews(TAxoliteApp& frame, const QDir& folder) {
    const QDir copies(QDir::temp().filePath(QStringLiteral("axolite/examples")));
    copies.mkpath(QStringLiteral("."));
    const QString path = copies.filePath(QStringLiteral("ring.net"));
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(AXOLITE_EXAMPLES_DIR "/ring.net"), path)) {
        return false;
    }
    TAxoliteMDIChild* ring = openSimulated(frame, path);
    if (ring == nullptr) {
        return false;
    }
    ring->checkWindow()->close();

    axolite::language::NetworkRecord& record = ring->record();
    axolite::SilentProgress silent;
    axolite::reference::computeExactValues(
        record, {"exp(-0.5*x)", "0.9*x*exp(-x)", "0.4*x*x*exp(-x)", "-0.5*exp(-x)*sin(x)"}, silent);
    axolite::reference::LinearSystem system;
    system.rows = {
        {{-0.5, 0, 0, 0, 0}, {0.9, -1, 0, 0, 0}, {0, 0.9, -1, 0, 0}, {0, 0, -0.9, -1, 0}}};
    system.x0 = record.t0;
    system.initial = {1.0, -0.5, 0.0, 0.5};
    axolite::reference::computeRungeKutta(record, system, silent);

    using namespace axolite::gui;
    frame.client()->setActiveSubWindow(ring);
    frame.execute(CmGraphs);
    frame.execute(CmNumeric);
    frame.execute(CmDynamics);
    auto* graphs = qobject_cast<TAxoliteGraphs*>(
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, ring));
    auto* numeric = qobject_cast<TAxoliteNumeric*>(
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, ring));
    if (graphs == nullptr || numeric == nullptr ||
        !axolite::gui::ToolWindows::instance().find(axolite::gui::CmDynamics, ring) ||
        !axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow) ||
        !axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow)) {
        return false;
    }
    if (auto* grid = graphs->findChild<QCheckBox*>(QStringLiteral("15037"))) {
        grid->setChecked(true);
    }
    numeric->setCurrentStep(400);
    numeric->resize(numeric->sizeHint().width(), 360);
    bool ok = save(graphs, folder, QStringLiteral("graphs-view.png"));
    ok = save(numeric, folder, QStringLiteral("numeric-view.png")) && ok;
    // The dynamics view after a replay: the columns at the last step, the progress bar at 99 %.
    auto* dynamics = qobject_cast<TNetworkDynamic*>(
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmDynamics, ring));
    auto* bar =
        dynamics != nullptr ? dynamics->findChild<QProgressBar*>(QStringLiteral("1609")) : nullptr;
    if (bar == nullptr) {
        return false;
    }
    dynamics->run();
    QElapsedTimer waited;
    waited.start();
    while (dynamics->running() && waited.elapsed() < 30000) {
        QApplication::processEvents();
    }
    ok = save(dynamics, folder, QStringLiteral("dynamics-view.png")) && ok;
    ok = save(axolite::gui::ToolWindows::instance().find(axolite::views_gui::kColourLegendWindow),
              folder, QStringLiteral("colour-legend.png")) &&
         ok;
    ok = save(axolite::gui::ToolWindows::instance().find(axolite::views_gui::kScalesWindow), folder,
              QStringLiteral("scales-window.png")) &&
         ok;
    return ok;
}

void setField(QWidget& dialog, int id, const QString& text) {
    if (auto* field = dialog.findChild<QLineEdit*>(QString::number(id))) {
        field->setText(text);
    }
}

// "Сравнение обучения" of the training page's settings: the other method and a faster rate.
bool saveComparison(TTeachNetwork& dialog, const QDir& folder) {
    using namespace axolite::training_ui;
    using axolite::training::TrainingMethod;
    dialog.findChild<QAbstractButton*>(QString::number(IdCompare))->click();
    auto* window = dialog.findChild<ComparisonWindow*>();
    window->appendVariant(TrainingMethod::BackPropagationRandomized, QStringLiteral("0.2"), 2026);
    window->appendVariant(TrainingMethod::BackPropagationOnline, QStringLiteral("0.5"), 2026);
    window->findChild<QAbstractButton*>(QString::number(ComparisonWindow::IdCurveLog))
        ->setChecked(true);
    window->compare();
    while (window->running()) {
        QThread::msleep(10);
        QApplication::processEvents();
    }
    const bool ok = save(window, folder, QStringLiteral("training-comparison.png"));
    window->close();
    return ok;
}

// The training dialog's three pages and the investigation, after training 1-10-1 on the sine
// patterns of the examples with a fixed seed.
bool saveTraining(TAxoliteApp& frame, const QDir& folder) {
    using namespace axolite::training_ui;
    const QString examples = QDir::cleanPath(QStringLiteral(AXOLITE_EXAMPLES_MODELS "/.."));
    TTeachNetwork dialog(&frame, &frame);
    dialog.show();
    dialog.findChild<QWidget*>(QString::number(IdHiddenSpin))
        ->findChild<QAbstractButton*>(QStringLiteral("up"))
        ->click();
    bool ok = save(&dialog, folder, QStringLiteral("teach-network-form.png"));
    dialog.showPage(TTeachNetwork::TrainingPage);
    setField(dialog, IdPatterns, QStringLiteral("21"));
    setField(dialog, IdInputFile, examples + QStringLiteral("/sine_input.ptn"));
    setField(dialog, IdTargetFile, examples + QStringLiteral("/sine_target.ptn"));
    setField(dialog, IdIterations, QStringLiteral("3000"));
    setField(dialog, IdRate, QStringLiteral("0.2"));
    setField(dialog, IdSeed, QStringLiteral("2026"));
    dialog.findChild<QAbstractButton*>(QString::number(IdSeedFixed))->setChecked(true);
    dialog.findChild<QAbstractButton*>(QString::number(IdLocalMinimum))->setChecked(false);
    dialog.findChild<QAbstractButton*>(QString::number(IdCurveLog))->setChecked(true);
    dialog.train();
    ok = save(&dialog, folder, QStringLiteral("teach-network-training.png")) && ok;
    ok = saveComparison(dialog, folder) && ok;
    dialog.showPage(TTeachNetwork::ResultsPage);
    ok = save(&dialog, folder, QStringLiteral("teach-network-results.png")) && ok;
    dialog.setInvestigationRunner([&](QDialog& run) {
        setField(run, TRunNetwork::IdField, QStringLiteral("1.6"));
        static_cast<TRunNetwork&>(run).work();
        run.show();
        ok = save(&run, folder, QStringLiteral("run-network.png")) && ok;
    });
    dialog.investigate();
    // "Продолжить отсюда" from iteration 1000 at a larger rate: the curve shows both runs.
    setField(dialog, IdRate, QStringLiteral("0.6"));
    dialog.showPage(TTeachNetwork::ResultsPage);
    dialog.findChild<QSlider*>(QString::number(IdHistorySlider))->setValue(1000);
    dialog.findChild<QAbstractButton*>(QString::number(IdBranch))->click();
    ok = save(&dialog, folder, QStringLiteral("teach-network-branch.png")) && ok;
    return ok;
}

// The training dialog's experiments: a run with the lint's warnings (Hebbian updates running away)
// on the page "Работа сети", and the page "Описание сети" continuing the network it wrote.
bool saveExperiments(TAxoliteApp& frame, const QDir& folder) {
    using namespace axolite::training_ui;
    const QString examples = QDir::cleanPath(QStringLiteral(AXOLITE_EXAMPLES_MODELS "/.."));
    QTemporaryDir work;
    TTeachNetwork dialog(&frame, &frame);
    dialog.show();
    setField(dialog, IdInputCount, QStringLiteral("2"));
    setField(dialog, IdOutputCount, QStringLiteral("2"));
    dialog.showPage(TTeachNetwork::TrainingPage);
    dialog.findChild<QComboBox*>(QString::number(IdMethod))->setCurrentIndex(2);
    setField(dialog, IdPatterns, QStringLiteral("4"));
    setField(dialog, IdInputFile, examples + QStringLiteral("/xor_input.ptn"));
    setField(dialog, IdIterations, QStringLiteral("12"));
    setField(dialog, IdRate, QStringLiteral("1"));
    setField(dialog, IdSeed, QStringLiteral("2026"));
    dialog.findChild<QAbstractButton*>(QString::number(IdSeedFixed))->setChecked(true);
    dialog.train();
    dialog.showPage(TTeachNetwork::ResultsPage);
    bool ok = save(&dialog, folder, QStringLiteral("teach-network-lint.png"));
    const QString net = QDir(work.path()).filePath(QStringLiteral("hebbian.net"));
    axolite::training::writeDescription(dialog.trainer().network(), net.toStdString());
    ok = dialog.loadNetwork(net) && ok;
    dialog.showPage(TTeachNetwork::FormPage);
    return save(&dialog, folder, QStringLiteral("teach-network-continue.png")) && ok;
}

// The "Первые шаги" walk-through in a frame of its own with no folder settings, on copies of the
// examples in a fixed folder (the captions show the same paths in every run): a picture a step.
bool saveFirstSteps(const QDir& folder) {
    QTemporaryDir work;
    TAxoliteApp frame(work.filePath(QStringLiteral("Axolite.ini")));
    frame.resize(900, 600);
    frame.show();
    QDir examples(QDir::temp().filePath(QStringLiteral("axolite/first-steps")));
    examples.removeRecursively();
    examples.mkpath(QStringLiteral("models"));
    const QDir source(QStringLiteral(AXOLITE_EXAMPLES_DIR));
    for (const QString& name : {QStringLiteral("oscillator.net"), QStringLiteral("xor_input.ptn"),
                                QStringLiteral("xor_target.ptn")}) {
        QFile::copy(source.filePath(name), examples.filePath(name));
    }
    const QDir models(source.filePath(QStringLiteral("models")));
    for (const QString& name : models.entryList({QStringLiteral("*.neu")}, QDir::Files)) {
        QFile::copy(models.filePath(name), examples.filePath(QStringLiteral("models/") + name));
    }
    examples.mkpath(QStringLiteral("xor"));
    const axolite::first_steps::Setup setup{examples,
                                            examples.filePath(QStringLiteral("xor/xor.net")), 1};
    bool ok = true;
    const QString failure =
        axolite::first_steps::walk(frame, setup, [&](const axolite::first_steps::Step& step) {
            // The computing time differs from run to run: a fixed figure in the picture.
            if (auto* time = step.window->findChild<QLabel*>(QStringLiteral("7777"))) {
                time->setText(QString::asprintf("%f", 0.05));
            }
            if (auto* numeric = qobject_cast<TAxoliteNumeric*>(step.window)) {
                numeric->resize(numeric->sizeHint().width(), 300);
            }
            ok = save(step.window, folder, step.name) && ok;
            return true;
        });
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "first steps: %s\n", qPrintable(failure));
        return false;
    }
    return ok;
}

} // namespace

// The study tools on examples/oscillator.net: the step-size study of its system with the exact
// solution, and the explanation of y1 at step 7.
bool saveStudyTools(TAxoliteApp& frame, const QDir& folder) {
    TAxoliteMDIChild* child =
        openSimulated(frame, QStringLiteral(AXOLITE_EXAMPLES_DIR "/oscillator.net"));
    if (child == nullptr) {
        return false;
    }
    axolite::reference::LinearSystem system{};
    system.rows[0][1] = 1.0;
    system.rows[1][0] = -1.0;
    system.initial[1] = 1.0;
    TStepStudyDialog study(system, 2, {0.0, 10.0, 0.01}, &frame);
    study.exactField(0)->setText(QStringLiteral("sin(x)"));
    study.exactField(1)->setText(QStringLiteral("cos(x)"));
    study.halvings()->setValue(4);
    study.show();
    study.calculate();
    bool ok = save(&study, folder, QStringLiteral("step-study-dialog.png"));

    const auto explanation = axolite::simulation::explainValue(
        child->record(), *child->checkResult(), *child->simulation(), 0, 7);
    TExplainDialog explain(child, explanation, &frame);
    explain.show();
    ok = save(&explain, folder, QStringLiteral("explain-dialog.png")) && ok;
    child->close();
    return ok;
}

// "Отладка ..." on examples/wait_counts.net: neurons 1 and 3 watched, the condition n3 > 0.5 run
// to, and the description window with the lines that fed neuron 3's value marked.
bool saveDebugger(TAxoliteApp& frame, const QDir& folder) {
    // A copy in a fixed folder: the captions show the same path in every run.
    const QDir examples(QDir::temp().filePath(QStringLiteral("axolite/debugger")));
    examples.mkpath(QStringLiteral("."));
    const QString path = examples.filePath(QStringLiteral("wait_counts.net"));
    QFile::remove(path);
    QFile::copy(QStringLiteral(AXOLITE_EXAMPLES_DIR "/wait_counts.net"), path);
    TAxoliteMDIChild* child = openSimulated(frame, path);
    if (child == nullptr) {
        return false;
    }
    frame.client()->setActiveSubWindow(child);
    frame.execute(axolite::gui::CmDebugger);
    auto* debugger = qobject_cast<TDebugWindow*>(
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmDebugger, child));
    if (debugger == nullptr) {
        return false;
    }
    debugger->watches()->addWatch(1);
    debugger->watches()->addWatch(3);
    debugger->conditions()->addCondition(QStringLiteral("n3 > 0.5"));
    debugger->continueToCondition();
    bool ok = save(debugger, folder, QStringLiteral("debugger-window.png"));
    child->showNormal();
    child->resize(520, 520);
    ok = save(child, folder, QStringLiteral("debugger-marks.png")) && ok;
    debugger->close();
    child->close();
    return ok;
}

namespace {

// The ring description in a fixed folder, so that the caption (the file's path) is the same in
// every run; empty when it cannot be written.
QString writeRingDescription() {
    const QDir examples(QDir::temp().filePath(QStringLiteral("axolite")));
    examples.mkpath(QStringLiteral("."));
    const QString path = examples.filePath(QStringLiteral("ring.net"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    file.write(kDescription);
    file.close();
    return path;
}

// The check window, the input activation and the progress of the run; false when the check
// window did not come up (ok: whether every picture was saved).
bool saveCheckAndRun(TAxoliteApp& frame, TAxoliteMDIChild* child, const QString& path,
                     const QDir& folder, bool& ok) {
    frame.checkDescription(child);
    TTranslateDialog* check = child->checkWindow();
    if (check == nullptr) {
        return false;
    }
    check->adjustSize();
    ok = save(check, folder, QStringLiteral("check-window.png")) && ok;

    // The input activation between the check and the run, with the input neuron's function.
    {
        TInputActivation inputs(child->record(), &frame.client()->folders(), path, &frame);
        inputs.setWindowTitle(QStringLiteral("Активирование нейронов входного слоя сети ") +
                              child->displayName());
        fill(inputs, "101", "exp(-x)*sin(x*6)");
        // As if typed: "Посчитать ..." follows typing.
        if (auto* field = inputs.findChild<QLineEdit*>(QStringLiteral("101"))) {
            emit field->textEdited(field->text());
        }
        inputs.show();
        ok = save(&inputs, folder, QStringLiteral("input-activation-dialog.png")) && ok;
        inputs.calculate();
    }

    check->calculate();
    if (TCalculationProgress* progress = check->progressDialog()) {
        // The computing time differs from run to run; a fixed figure keeps the picture unchanged
        // until the dialog itself changes.
        if (auto* time = progress->findChild<QLabel*>(QStringLiteral("7777"))) {
            time->setText(QString::asprintf("%f", 0.05));
        }
        ok = save(progress, folder, QStringLiteral("progress-dialog.png")) && ok;
    } else {
        ok = false;
    }
    return true;
}

bool saveReferenceDialogs(TAxoliteApp& frame, TAxoliteMDIChild* child, const QString& path,
                          const QDir& folder) {
    bool ok = true;
    // The two reference solutions after the simulation, computed.
    {
        TAccurateSolutions exact(child->record(), &frame.client()->folders(), path, &frame);
        exact.setWindowTitle(QStringLiteral("Вычисление точных значений ") + child->displayName());
        fill(exact, "7000", "exp(-x/3)*sin(x)");
        fill(exact, "7001", "-0.5*cos(x*2)");
        exact.show();
        exact.calculate();
        if (exact.progressDialog() != nullptr) {
            exact.progressDialog()->close();
        }
        ok = save(&exact, folder, QStringLiteral("exact-dialog.png")) && ok;
    }
    {
        TRungeKuttaMethod rk(child->record(), &frame.client()->folders(), path, &frame);
        rk.setWindowTitle(QStringLiteral("Решение нормальной системы дифференциальных уравнений ") +
                          child->displayName());
        fill(rk, "1101", "-0.3");
        fill(rk, "1102", "1");
        fill(rk, "1106", "-1");
        fill(rk, "1122", "1");
        rk.show();
        ok = save(&rk, folder, QStringLiteral("runge-kutta-dialog.png")) && ok;
    }
    return ok;
}

bool saveModelAndAbout(TAxoliteApp& frame, const QDir& folder) {
    TChooseModel model(&frame.client()->folders(), &frame);
    model.selectKind(axolite::simulation::ModelKind::Sigmoid);
    model.show();
    bool ok = save(&model, folder, QStringLiteral("model-dialog.png"));
    TAboutBox about(&frame);
    about.show();
    ok = save(&about, folder, QStringLiteral("about-box.png")) && ok;
    return ok;
}

// The help window at the check's topic and at the first steps.
bool saveHelp(const QDir& folder) {
    using axolite::shell::CmCheck;
    bool ok = true;
    openHelp(CmCheck);
    if (THelpWindow* help = helpWindow()) {
        help->resize(560, 360);
        ok = save(help, folder, QStringLiteral("help-window.png")) && ok;
        // The first page the contents lead to.
        if (auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"))) {
            browser->setSource(QUrl(QStringLiteral("qrc:/help/first-steps.html")));
            help->resize(640, 520);
            ok = save(help, folder, QStringLiteral("first-steps-help.png")) && ok;
        }
    }
    closeHelp();
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    axolite::gui::installQtTranslations(application);
    if (argc < 2) {
        std::fprintf(stderr, "usage: axolite_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    Notifier::instance().setCapturing(true);

    // The recent-files list of this run stays in a temporary folder.
    QTemporaryDir work;
    TAxoliteApp frame(work.filePath(QStringLiteral("Axolite.ini")));
    frame.resize(900, 600);
    frame.client()->folders().models = AXOLITE_EXAMPLES_MODELS;
    frame.client()->folders().set = true;
    frame.show();

    const QString path = writeRingDescription();
    TAxoliteMDIChild* child = path.isEmpty() ? nullptr : frame.openDescription(path);
    if (child == nullptr) {
        return 1;
    }
    child->setGeometry(8, 8, 620, 430);
    child->editor()->moveCursor(QTextCursor::Start);
    child->editor()->moveCursor(QTextCursor::Down);
    frame.updateCommands();

    bool ok = save(&frame, folder, QStringLiteral("main-window.png"));

    if (!saveCheckAndRun(frame, child, path, folder, ok)) {
        return 1;
    }
    ok = saveReferenceDialogs(frame, child, path, folder) && ok;
    ok = saveModelAndAbout(frame, folder) && ok;
    ok = saveResultViews(frame, folder) && ok;
    ok = saveTraining(frame, folder) && ok;
    ok = saveExperiments(frame, folder) && ok;
    ok = saveStudyTools(frame, folder) && ok;
    ok = saveDebugger(frame, folder) && ok;
    ok = saveFirstSteps(folder) && ok;
    ok = saveHelp(folder) && ok;
    return ok ? 0 : 1;
}
