// "Объяснить значение ...": how the simulation computed the activity of one neuron at one step,
// with the engine's numbers; a click on a line that a term or the model came from shows that
// line in the description's editor.
#pragma once

#include "app/gui/description_window.h"
#include "core/simulation/explain.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <optional>

class QListWidget;
class QSpinBox;

// The small dialog that asks for the neuron (from 1) and the step.
class TExplainChoice : public QDialog {
    Q_OBJECT
public:
    // neurons: N; steps: S; the defaults as given (neuron from 1).
    TExplainChoice(std::int32_t neurons, std::int32_t steps, std::int32_t neuron, std::int32_t step,
                   QWidget* parent = nullptr);
    QSpinBox* neuron() const { return neuron_; }
    QSpinBox* step() const { return step_; }

private:
    QSpinBox* neuron_ = nullptr;
    QSpinBox* step_ = nullptr;
};

class TExplainDialog : public QDialog {
    Q_OBJECT
public:
    // The explanation of a value of the window's last simulation (neuron zero-based).
    TExplainDialog(DescriptionWindow* window, const axolite::simulation::Explanation& explanation,
                   QWidget* parent = nullptr);

    QListWidget* lines() const { return list_; }
    const axolite::simulation::Explanation& explanation() const { return explanation_; }
    // The description line (from 1) a row of the list refers to, 0 for none.
    int descriptionLine(int row) const;

private:
    // A line of the list; line: the description line (from 1) it refers to, 0 for none.
    void addLine(const QString& text, int line = 0);
    void addComputation();
    void addModel();

    QPointer<DescriptionWindow> window_;
    axolite::simulation::Explanation explanation_;
    QListWidget* list_ = nullptr;
};

namespace axolite::views_gui {

// "Объяснить значение ..." from a view: asks for the neuron (default: the neuron of output y1)
// and the step (default: step), explains the value and shows the dialog; a refusal is told.
// The dialog deletes itself when closed; answers it (nullptr when nothing was shown).
TExplainDialog* explainValue(QWidget* parent, DescriptionWindow* window, std::int32_t step);

// Whether the window's description can be explained: simulated and its check window open.
bool canExplain(const DescriptionWindow* window);

} // namespace axolite::views_gui
