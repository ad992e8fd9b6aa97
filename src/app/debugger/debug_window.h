// "Отладка ...": a modeless window over the last run of one description. It steps through the
// run (first, back, forward, last, a slider, to the next or previous step where a condition
// holds), shows the watch table and the explanation of the selected value, marks in the editor
// the description lines that fed that value, and moves the step cursor the result views of the
// description follow. An edit, the closing of the check window (which a new check needs), a new
// run, or the closing of the description ends the session: the window says why and keeps only
// its close and help buttons. The window reads the
// record and the run; it never changes them.
#pragma once

#include "app/gui/description_window.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QSlider;
class TConditionList;
class TWatchPanel;

namespace axolite::debugger {
class DebugSession;
}

class TDebugWindow : public QDialog {
    Q_OBJECT
public:
    // Why a session ended.
    enum class End { Edited, CheckClosed, RunChanged, Closed };
    static QString endText(End why);

    // A session at step 0 of the window's last run. Throws AxoliteError (information icon) when
    // the description holds no completed run, or its check window is not open. The window
    // deletes itself when closed.
    explicit TDebugWindow(DescriptionWindow* window, QWidget* parent = nullptr);
    ~TDebugWindow() override;

    DescriptionWindow* descriptionWindow() const { return window_.data(); }
    // The session; nullptr once it ended.
    const axolite::debugger::DebugSession* session() const { return session_.get(); }
    std::optional<End> ended() const { return end_; }

    // Moves; nothing once the session ended or while a computation works on the description.
    void goTo(std::int64_t step);
    void first();
    void back();
    void forward();
    void last();
    // "Продолжить до условия" / "Назад до условия": true when a condition held (the status line
    // names it), false when none did (the status line says so; the step stays).
    bool continueToCondition();
    bool backToCondition();

    TWatchPanel* watches() const { return watches_; }
    TConditionList* conditions() const { return conditions_; }
    QString stepText() const;
    QString statusText() const;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // After a move: the step line, the slider, the table and explanation, the editor's marks
    // and the views' cursor.
    void showStep();
    void showMarks();
    bool runToCondition(bool forward);
    // Whether the session may go on; ends it (and says why) when it may not.
    bool followDescription();
    // Forgets the session (and, when leaveDescription, takes its marks and cursor away from the
    // description, which must then be whole); disables the controls.
    void dropSession(bool leaveDescription);
    void endSession(End why);
    void setControlsEnabled(bool enabled);

    QPointer<DescriptionWindow> window_;
    QPointer<QWidget> check_; // the check window whose run is debugged
    std::unique_ptr<axolite::debugger::DebugSession> session_;
    std::optional<End> end_;
    bool busySeen_ = false; // a computation worked on the record since the last look
    QLabel* step_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* addCondition_ = nullptr;
    std::vector<QWidget*> stepping_;
    TWatchPanel* watches_ = nullptr;
    TConditionList* conditions_ = nullptr;
};

namespace axolite::debugger_gui {

// Whether "Отладка ..." can open on the description: simulated, its check window open, no
// computation working on it.
bool canDebug(const DescriptionWindow* window);

} // namespace axolite::debugger_gui
