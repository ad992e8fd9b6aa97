// Marks a description's record as busy while a long computation runs on it, so that its window
// (and the frame) are not closed from under the computation: a close request then asks the
// computation to stop and closes once it has ended.
//
// The rule every tool follows: a computation runs on the GUI thread and processes events while
// it works, so nothing may start a modal loop or a second computation meanwhile. While anyBusy()
// the frame disables its commands that open a modal dialog or compute, and a tool's own button
// that starts a computation is disabled too (it follows busyChanged) and refuses to start.
#pragma once

#include "core/language/network_record.h"

#include <QObject>

#include <memory>

class QMenu;
class QPoint;

namespace axolite::gui {

// Process-wide register of the records that a computation is working on.
class ComputationRegister : public QObject {
    Q_OBJECT
public:
    static ComputationRegister& instance();

    bool busy(const language::NetworkRecord& record) const;
    bool anyBusy() const { return !records_.empty(); }
    // True while any work processes events from inside its own handler: a computation on a
    // record, or a run without one (the training, the step-size study, the folder scan). A
    // modal loop started meanwhile would hold that work until it closed.
    bool anyRunning() const { return anyBusy() || runs_ > 0; }

signals:
    // A computation ended; windows that waited to close may try again. Sent once the
    // computation's caller has returned to the event loop.
    void computationEnded();
    // anyBusy() changed (sent at once, when a computation starts and when it ends).
    void busyChanged(bool busy);

private:
    friend class ComputationGuard;
    void enter(const language::NetworkRecord* record);
    void leave(const language::NetworkRecord* record);

    friend class RunGuard;
    std::vector<const language::NetworkRecord*> records_;
    int runs_ = 0;
};

// Held for the duration of a run that processes events but works on no record (RAII): the
// messages shown meanwhile do not hold it.
class RunGuard {
public:
    RunGuard() { ++ComputationRegister::instance().runs_; }
    ~RunGuard() { --ComputationRegister::instance().runs_; }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
};

// Held for the duration of a computation on a record (RAII).
class ComputationGuard {
public:
    explicit ComputationGuard(const language::NetworkRecord& record);
    ~ComputationGuard();
    ComputationGuard(const ComputationGuard&) = delete;
    ComputationGuard& operator=(const ComputationGuard&) = delete;

private:
    const language::NetworkRecord* record_;
};

// Shows a context menu at a point: in a loop of its own as usual, but while anything runs
// (anyRunning) only popped up and left to delete itself when it closes, so that the run goes on
// while the menu is open.
void showContextMenu(std::unique_ptr<QMenu> menu, const QPoint& at);

} // namespace axolite::gui
