// The training lint's warnings after a run, under the results list: each with its iteration and
// a link to its section of the help. Hidden when there are none.
#pragma once

#include "app/training/training_state.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace axolite::training_ui {

class LintPanel : public QWidget {
    Q_OBJECT
public:
    LintPanel(TrainingState& state, QWidget* parent);

    // What a help link does instead of opening the help (tests); receives the page and section.
    void setHelpHandler(std::function<void(const QString&)> handler) { help_ = std::move(handler); }
    // The warnings' text as shown (one line each).
    QString text() const;
    // Follows the help link of a warning, as a click on it does.
    void openHelp(const QString& page);

private:
    void showWarnings();

    TrainingState& state_;
    QLabel* list_ = nullptr;
    std::function<void(const QString&)> help_;
};

} // namespace axolite::training_ui
