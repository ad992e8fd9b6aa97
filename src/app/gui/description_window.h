// What every tool sees of a description window: its record, its name, its text and check window,
// and a signal when its state changes (the result views bound to it are held by the register of
// tool windows, gui/tool_windows.h). Tools hold it by QPointer, so a window that closed is
// seen as gone and its record is never read after it.
#pragma once

#include "core/language/description_text.h"
#include "core/language/network_record.h"

namespace axolite::language {
struct CheckResult;
}
namespace axolite::simulation {
class Simulation;
}

#include <QMdiSubWindow>
#include <QPointer>

#include <cstdint>
#include <optional>
#include <vector>

class DescriptionWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    using QMdiSubWindow::QMdiSubWindow;

    virtual axolite::language::NetworkRecord& record() = 0;
    virtual const axolite::language::NetworkRecord& record() const = 0;
    // The file's path; empty for a description never saved.
    virtual const QString& path() const = 0;
    // What messages and captions call the file: its path, or "Без имени" for a new description.
    virtual QString displayName() const = 0;
    // True while a long computation works on this description's record.
    virtual bool computing() const = 0;

    // The check of the description and its simulation while its check window is open (nullptr
    // otherwise).
    virtual const axolite::language::CheckResult* checkResult() const { return nullptr; }
    virtual const axolite::simulation::Simulation* simulation() const { return nullptr; }
    // The text of a line of the editor (counted from 1); empty beyond the text.
    virtual QString lineText(int line) const {
        (void)line;
        return {};
    }
    // Shows the window with the editor's caret at the start of the line (counted from 1).
    virtual void showLine(int line) { (void)line; }

    // The check window while it is open (nullptr otherwise); a new one replaces the earlier.
    virtual QWidget* checkWidget() const { return nullptr; }
    virtual void setCheckWidget(QWidget* window) { (void)window; }
    // The check window is open and its check stands (no run in it was interrupted): the check
    // and the model dialog wait until it closes.
    virtual bool checkOpen() const { return false; }
    // The text as the lexer reads it (code page 1251 lines); nullptr when there is none.
    virtual const axolite::language::DescriptionText* checkText() { return nullptr; }

    // Marks these lines (counted from 1) in the editor, in place of those marked before; an empty
    // list takes the marks away. The debugger marks the lines that fed the value it explains.
    virtual void highlightLines(const std::vector<std::int32_t>& lines) { (void)lines; }

    // The step a debugger of this description stands on (nothing when none): the result views
    // follow it. Setting a step tells them (stepCursorMoved).
    std::optional<std::int64_t> stepCursor() const { return stepCursor_; }
    void setStepCursor(std::optional<std::int64_t> step) {
        stepCursor_ = step;
        if (step) {
            emit stepCursorMoved(*step);
        }
    }

signals:
    // The text changed, a tool opened or closed, a computation ended: the frame re-evaluates
    // its commands and the views redraw.
    void stateChanged();
    // A debugger moved to a step of the last run.
    void stepCursorMoved(std::int64_t step);

private:
    std::optional<std::int64_t> stepCursor_;
};
