// What every tool sees of a description window: its record, its name, the result views bound to
// it, and a signal when its state changes. Tools hold it by QPointer, so a window that closed is
// seen as gone and its record is never read after it.
#pragma once

#include "core/language/network_record.h"

namespace axolite::language {
struct CheckResult;
}
namespace axolite::simulation {
class Simulation;
}

#include <QMdiSubWindow>
#include <QPointer>

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

    // The result views bound to this description, each open at most once.
    QPointer<QWidget> graphsView;
    QPointer<QWidget> numericView;
    QPointer<QWidget> dynamicsView;

signals:
    // The text changed, a tool opened or closed, a computation ended: the frame re-evaluates
    // its commands and the views redraw.
    void stateChanged();
};
