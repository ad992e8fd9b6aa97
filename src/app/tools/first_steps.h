// The "Первые шаги" walk-through, step by step through the frame's commands: shared by the
// screenshot tool (a picture per step) and the GUI test (a check per step).
#pragma once

#include "gui/calculation_progress.h"
#include "gui/command_ids.h"
#include "gui/file_dialogs.h"
#include "gui/notifier.h"
#include "language/translate_dialog.h"
#include "shell/axolite_app.h"
#include "shell/mdi_child.h"
#include "shell/mdi_client.h"
#include "training/teach_network.h"
#include "views/numeric_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
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

// What the walk-through works on: a folder holding ring.net, models/ and the XOR patterns, the
// path of the description the training writes, and the seed of the training.
struct Setup {
    QDir examples;
    QString written;
    std::uint32_t seed = 1;
};

// Called after each step with the window to show; false stops the walk.
using StepSeen = std::function<bool(const Step&)>;

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

inline bool click(QWidget& dialog, int id) {
    auto* button = dialog.findChild<QAbstractButton*>(QString::number(id));
    if (button == nullptr || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

// Checks the active description and simulates it with "Посчитать ..." of the check window.
inline QString checkAndSimulate(TAxoliteApp& frame, TAxoliteMDIChild* child) {
    frame.execute(gui::CmCheck);
    TTranslateDialog* check = child->checkWindow();
    if (check == nullptr || !check->correct()) {
        return QStringLiteral("the check window shows errors");
    }
    if (!click(*check, 137) || child->record().simulated == 0) {
        return QStringLiteral("not simulated: ") + firstMessage();
    }
    return QString();
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

} // namespace detail

// Walks the steps; returns what went wrong, or an empty text when every step worked with no
// message shown to the user.
inline QString walk(TAxoliteApp& frame, const Setup& setup, const StepSeen& seen) {
    using namespace axolite::gui;
    using namespace axolite::training_ui;
    Notifier::instance().clearCaptured();
    QString failure;
    const auto step = [&](int number, const char* name, QWidget* window) {
        if (!failure.isEmpty()) {
            return false;
        }
        if (window == nullptr) {
            failure = QStringLiteral("step %1: no window").arg(number);
        } else if (!Notifier::instance().captured().empty()) {
            failure = QStringLiteral("step %1: %2").arg(number).arg(detail::firstMessage());
        } else if (!seen({number, QString::fromLatin1(name), window})) {
            failure = QStringLiteral("step %1 not as expected").arg(number);
        }
        return failure.isEmpty();
    };

    // 1. "Файл / Открыть ...": examples/ring.net.
    const QString ring = setup.examples.filePath(QStringLiteral("ring.net"));
    frame.chooseOpenFile = [ring](QWidget*, const QString&) { return ring; };
    frame.execute(CmFileOpen);
    TAxoliteMDIChild* child = frame.activeChild();
    if (!step(1, "first-steps-1-open.png", child != nullptr ? &frame : nullptr)) {
        return failure;
    }
    // 2. The check; 3. "Посчитать ..." in the check window.
    frame.execute(CmCheck);
    TTranslateDialog* check = child->checkWindow();
    if (!step(2, "first-steps-2-check.png",
              check != nullptr && check->correct() ? check : nullptr)) {
        return failure;
    }
    detail::click(*check, 137);
    TCalculationProgress* progress = check->progressDialog();
    if (!step(3, "first-steps-3-simulate.png",
              child->record().simulated != 0 ? static_cast<QWidget*>(progress) : nullptr)) {
        return failure;
    }
    if (progress != nullptr) {
        progress->close();
    }
    check->close();
    // 4. Graphs; 5. numeric values.
    frame.execute(CmGraphs);
    if (!step(4, "first-steps-4-graphs.png", child->graphsView.data())) {
        return failure;
    }
    frame.execute(CmNumeric);
    if (!step(5, "first-steps-5-numeric.png", child->numericView.data())) {
        return failure;
    }
    // 6. Exact values of the first output, y1 = exp(-x), computed in their dialog.
    bool computed = false;
    detail::answerModal(frame, [&](QWidget& dialog) {
        detail::setText(dialog, 7000, QStringLiteral("exp(-x)"));
        if (auto* y1 = dialog.findChild<QLineEdit*>(QStringLiteral("7000"))) {
            emit y1->textEdited(y1->text()); // as if typed: "Посчитать ..." follows typing
        }
        computed = detail::click(dialog, 137) && child->record().exactPresent[0] != 0;
        for (auto* shown : dialog.findChildren<TCalculationProgress*>()) {
            shown->close();
        }
        step(6, "first-steps-6-exact.png", computed ? &dialog : nullptr);
    });
    frame.execute(CmExactValues);
    if (!computed && failure.isEmpty()) {
        failure = QStringLiteral("step 6: the exact values were not computed");
    }
    if (!failure.isEmpty()) {
        return failure;
    }
    // 7. The numeric values beside the exact ones: the view is opened anew, since a view sets up
    // its fields and estimates from the series present when it opens.
    if (child->numericView) {
        child->numericView->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    frame.client()->setActiveSubWindow(child);
    frame.execute(CmNumeric);
    if (auto* numeric = qobject_cast<TAxoliteNumeric*>(child->numericView.data())) {
        numeric->setCurrentStep(100); // x = 0.5
    }
    if (!step(7, "first-steps-7-compare.png", child->numericView.data())) {
        return failure;
    }
    // 8. The training dialog: XOR by back-propagation, 2-4-1, 5000 iterations at rate 1 (enough
    // to learn it), with a fixed seed; 9. the description file it writes opens in a new window.
    TAxoliteMDIChild* trained = nullptr;
    const QString written = setup.written;
    detail::answerModal(frame, [&](QWidget& widget) {
        auto* dialog = qobject_cast<TTeachNetwork*>(&widget);
        if (dialog == nullptr) {
            return;
        }
        dialog->showPage(TTeachNetwork::FormPage);
        detail::setText(*dialog, IdInputCount, QStringLiteral("2"));
        if (auto* spin = dialog->findChild<QWidget*>(QString::number(IdHiddenSpin))) {
            if (auto* up = spin->findChild<QAbstractButton*>(QStringLiteral("up"))) {
                up->click();
            }
        }
        detail::setText(*dialog, IdHiddenNeurons, QStringLiteral("4"));
        detail::click(*dialog, IdOutputKind + 2);
        dialog->showPage(TTeachNetwork::TrainingPage);
        detail::setText(*dialog, IdPatterns, QStringLiteral("4"));
        detail::setText(*dialog, IdInputFile, setup.examples.filePath("xor_input.ptn"));
        detail::setText(*dialog, IdTargetFile, setup.examples.filePath("xor_target.ptn"));
        detail::setText(*dialog, IdIterations, QStringLiteral("5000"));
        detail::setText(*dialog, IdRate, QStringLiteral("1"));
        if (auto* fixed = dialog->findChild<QAbstractButton*>(QString::number(IdSeedFixed))) {
            fixed->setChecked(true);
        }
        detail::setText(*dialog, IdSeed, QString::number(setup.seed));
        detail::click(*dialog, IdTrain);
        if (!step(8, "first-steps-8-training.png",
                  dialog->lastSeed() == setup.seed ? dialog : nullptr)) {
            return;
        }
        setFileChooser([written](QWidget*, const FileDialogRequest&) { return written; });
        detail::click(*dialog, IdWriteDescription);
        setFileChooser({});
        TAxoliteMDIChild* opened = frame.activeChild();
        if (opened != nullptr && opened != child && opened->path() == written) {
            trained = opened;
        }
    });
    frame.execute(CmTeachNetwork);
    if (!failure.isEmpty()) {
        return failure;
    }
    if (!step(9, "first-steps-9-written.png", trained != nullptr ? &frame : nullptr)) {
        return failure;
    }
    // 10. The written description checked and simulated, its numeric values shown.
    failure = detail::checkAndSimulate(frame, trained);
    if (!failure.isEmpty()) {
        return QStringLiteral("step 10: ") + failure;
    }
    if (trained->checkWindow() != nullptr) {
        trained->checkWindow()->close();
    }
    frame.execute(CmNumeric);
    if (auto* numeric = qobject_cast<TAxoliteNumeric*>(trained->numericView.data())) {
        numeric->setCurrentStep(2); // the response of the three layers
    }
    step(10, "first-steps-10-trained.png", trained->numericView.data());
    return failure;
}

} // namespace axolite::first_steps
