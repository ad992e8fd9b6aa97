// The "Первые шаги" walk-through, step by step through the frame's commands: shared by the
// screenshot tool (a picture per step) and the GUI test (a check per step).
#pragma once

#include "app/gui/calculation_progress.h"
#include "app/gui/command_ids.h"
#include "app/gui/file_dialogs.h"
#include "app/gui/notifier.h"
#include "app/gui/tool_windows.h"
#include "app/language/translate_dialog.h"
#include "app/shell/axolite_app.h"
#include "app/shell/mdi_child.h"
#include "app/shell/mdi_client.h"
#include "app/training/teach_network.h"
#include "app/views/numeric_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace axolite::first_steps {

// One step done: its number (1 …), the name of its picture file and the window the user sees.
struct Step {
    int number = 0;
    QString name;
    QWidget* window = nullptr;
};

// What the walk-through works on: a folder holding oscillator.net, models/ and the XOR patterns,
// the path of the description the training writes, and the seed of the training.
struct Setup {
    QDir examples;
    QString written;
    std::uint32_t seed = 1;
};

// Called after each step with the window to show; false stops the walk.
using StepSeen = std::function<bool(const Step&)>;

// The step the numeric view shows beside the exact values (x = 1), and the step of the trained
// network's response to the inputs (0, 0) (three layers).
constexpr int kCompareStep = 100;
constexpr int kResponseStep = 2;

namespace detail {

inline QString firstMessage() {
    const auto& shown = Notifier::instance().captured();
    return shown.empty() ? QString() : QString::fromStdString(shown.front().text);
}

inline void setText(QWidget& dialog, int id, const QString& text) {
    if (auto* field = dialog.findChild<QLineEdit*>(QString::number(id))) {
        field->setText(text);
    }
}

// As if typed: "Посчитать ..." of the exact values follows typing.
inline void type(QWidget& dialog, int id, const QString& text) {
    if (auto* field = dialog.findChild<QLineEdit*>(QString::number(id))) {
        field->setText(text);
        emit field->textEdited(text);
    }
}

inline bool click(QWidget& dialog, int id) {
    auto* button = dialog.findChild<QAbstractButton*>(QString::number(id));
    if (button == nullptr || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

// Runs work on the modal dialog a command opens, then closes it.
inline void answerModal(TAxoliteApp& frame, const std::function<void(QWidget&)>& work) {
    QTimer::singleShot(0, &frame, [work] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            work(*dialog);
            dialog->close();
        }
    });
}

// Closes a view of the description, so that its command opens it anew.
inline void closeView(QWidget* view) {
    if (view) {
        view->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The walk in progress: what it works on, the windows it made, the first failure.
struct Walk {
    TAxoliteApp& frame;
    const Setup& setup;
    const StepSeen& seen;
    TAxoliteMDIChild* example = nullptr;
    TAxoliteMDIChild* trained = nullptr;
    QString failure;

    // One step done, showing the window (nullptr: the step did not work); false stops the walk.
    bool step(int number, const char* name, QWidget* window) {
        if (!failure.isEmpty()) {
            return false;
        }
        if (window == nullptr) {
            failure = QStringLiteral("step %1: no window").arg(number);
        } else if (!Notifier::instance().captured().empty()) {
            failure = QStringLiteral("step %1: %2").arg(number).arg(firstMessage());
        } else if (!seen({number, QString::fromLatin1(name), window})) {
            failure = QStringLiteral("step %1 not as expected").arg(number);
        }
        return failure.isEmpty();
    }
};

// 1. "Файл / Открыть ...": examples/oscillator.net; 2. the check; 3. "Посчитать ..." in the
// check window.
inline bool openCheckAndSimulate(Walk& walk) {
    using namespace axolite::gui;
    const QString example = walk.setup.examples.filePath(QStringLiteral("oscillator.net"));
    walk.frame.chooseOpenFile = [example](QWidget*, const QString&) { return example; };
    walk.frame.execute(CmFileOpen);
    walk.example = walk.frame.activeChild();
    if (!walk.step(1, "first-steps-1-open.png", walk.example != nullptr ? &walk.frame : nullptr)) {
        return false;
    }
    walk.frame.execute(CmCheck);
    TTranslateDialog* check = walk.example->checkWindow();
    if (!walk.step(2, "first-steps-2-check.png",
                   check != nullptr && check->correct() ? check : nullptr)) {
        return false;
    }
    click(*check, 137);
    TCalculationProgress* progress = check->progressDialog();
    if (!walk.step(3, "first-steps-3-simulate.png",
                   walk.example->record().simulated != 0 ? static_cast<QWidget*>(progress)
                                                         : nullptr)) {
        return false;
    }
    if (progress != nullptr) {
        progress->close();
    }
    check->close();
    return true;
}

// 4. Graphs; 5. numeric values.
inline bool showResults(Walk& walk) {
    walk.frame.execute(axolite::gui::CmGraphs);
    if (!walk.step(
            4, "first-steps-4-graphs.png",
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, walk.example))) {
        return false;
    }
    walk.frame.execute(axolite::gui::CmNumeric);
    return walk.step(
        5, "first-steps-5-numeric.png",
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, walk.example));
}

// 6. The exact values of the oscillator, y1 = sin(x) and y2 = cos(x), computed in their dialog.
inline bool computeExactValues(Walk& walk) {
    bool computed = false;
    TAxoliteMDIChild* example = walk.example;
    answerModal(walk.frame, [&walk, &computed, example](QWidget& dialog) {
        type(dialog, 7000, QStringLiteral("sin(x)"));
        type(dialog, 7001, QStringLiteral("cos(x)"));
        computed = click(dialog, 137) && example->record().exactPresent[0] != 0 &&
                   example->record().exactPresent[1] != 0;
        for (auto* shown : dialog.findChildren<TCalculationProgress*>()) {
            shown->close();
        }
        walk.step(6, "first-steps-6-exact.png", computed ? &dialog : nullptr);
    });
    walk.frame.execute(axolite::gui::CmExactValues);
    if (!computed && walk.failure.isEmpty()) {
        walk.failure = QStringLiteral("step 6: the exact values were not computed");
    }
    return walk.failure.isEmpty();
}

// 7. The numeric values beside the exact ones at x(100): a view sets up its fields, check boxes
// and estimates from the series present when it opens, so both views are opened anew.
inline bool compare(Walk& walk) {
    using namespace axolite::gui;
    closeView(axolite::gui::ToolWindows::instance().find(axolite::gui::CmGraphs, walk.example));
    closeView(axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, walk.example));
    walk.frame.client()->setActiveSubWindow(walk.example);
    walk.frame.execute(CmGraphs);
    walk.frame.client()->setActiveSubWindow(walk.example);
    walk.frame.execute(CmNumeric);
    if (auto* numeric = qobject_cast<TAxoliteNumeric*>(
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, walk.example))) {
        numeric->setCurrentStep(kCompareStep);
    }
    return walk.step(
        7, "first-steps-7-compare.png",
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, walk.example));
}

// 8. The training dialog: XOR by back-propagation, 2-4-1, 5000 iterations at rate 1 (enough to
// learn it), with a fixed seed; 9. the description it writes opens in a new window, which comes
// to the front when the dialog closes.
inline bool trainAndWrite(Walk& walk) {
    using namespace axolite::gui;
    using namespace axolite::training_ui;
    const Setup& setup = walk.setup;
    answerModal(walk.frame, [&walk, &setup](QWidget& widget) {
        auto* dialog = qobject_cast<TTeachNetwork*>(&widget);
        if (dialog == nullptr) {
            return;
        }
        dialog->showPage(TTeachNetwork::FormPage);
        setText(*dialog, IdInputCount, QStringLiteral("2"));
        if (auto* spin = dialog->findChild<QWidget*>(QString::number(IdHiddenSpin))) {
            if (auto* up = spin->findChild<QAbstractButton*>(QStringLiteral("up"))) {
                up->click();
            }
        }
        setText(*dialog, IdHiddenNeurons, QStringLiteral("4"));
        click(*dialog, IdOutputKind + 2);
        dialog->showPage(TTeachNetwork::TrainingPage);
        setText(*dialog, IdPatterns, QStringLiteral("4"));
        setText(*dialog, IdInputFile, setup.examples.filePath("xor_input.ptn"));
        setText(*dialog, IdTargetFile, setup.examples.filePath("xor_target.ptn"));
        setText(*dialog, IdIterations, QStringLiteral("5000"));
        setText(*dialog, IdRate, QStringLiteral("1"));
        if (auto* fixed = dialog->findChild<QAbstractButton*>(QString::number(IdSeedFixed))) {
            fixed->setChecked(true);
        }
        setText(*dialog, IdSeed, QString::number(setup.seed));
        click(*dialog, IdTrain);
        if (!walk.step(8, "first-steps-8-training.png",
                       dialog->lastSeed() == setup.seed ? dialog : nullptr)) {
            return;
        }
        const QString written = setup.written;
        setFileChooser([written](QWidget*, const FileDialogRequest&) { return written; });
        click(*dialog, IdWriteDescription);
        setFileChooser({});
        TAxoliteMDIChild* opened = walk.frame.activeChild();
        if (opened != nullptr && opened != walk.example && opened->path() == written) {
            walk.trained = opened;
        }
    });
    walk.frame.execute(CmTeachNetwork);
    return walk.failure.isEmpty() &&
           walk.step(9, "first-steps-9-written.png",
                     walk.trained != nullptr && walk.frame.activeChild() == walk.trained
                         ? &walk.frame
                         : nullptr);
}

// 10. The written description checked and simulated, its numeric values shown at x(2).
inline bool simulateWritten(Walk& walk) {
    using namespace axolite::gui;
    walk.frame.execute(CmCheck);
    TTranslateDialog* check = walk.trained->checkWindow();
    if (check == nullptr || !check->correct()) {
        walk.failure = QStringLiteral("step 10: the check window shows errors");
        return false;
    }
    if (!click(*check, 137) || walk.trained->record().simulated == 0) {
        walk.failure = QStringLiteral("step 10: not simulated: ") + firstMessage();
        return false;
    }
    check->close();
    walk.frame.execute(CmNumeric);
    if (auto* numeric = qobject_cast<TAxoliteNumeric*>(
            axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, walk.trained))) {
        numeric->setCurrentStep(kResponseStep);
    }
    return walk.step(
        10, "first-steps-10-trained.png",
        axolite::gui::ToolWindows::instance().find(axolite::gui::CmNumeric, walk.trained));
}

} // namespace detail

// Walks the steps; returns what went wrong, or an empty text when every step worked with no
// message shown to the user.
inline QString walk(TAxoliteApp& frame, const Setup& setup, const StepSeen& seen) {
    Notifier::instance().clearCaptured();
    detail::Walk walk{frame, setup, seen, nullptr, nullptr, QString()};
    for (bool (*part)(detail::Walk&) :
         {detail::openCheckAndSimulate, detail::showResults, detail::computeExactValues,
          detail::compare, detail::trainAndWrite, detail::simulateWritten}) {
        if (!part(walk)) {
            break;
        }
    }
    return walk.failure;
}

} // namespace axolite::first_steps
