// The register of running computations.
#include "app/gui/computation_guard.h"

#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace axolite::gui {

ComputationRegister& ComputationRegister::instance() {
    static ComputationRegister reg;
    return reg;
}

bool ComputationRegister::busy(const language::NetworkRecord& record) const {
    return std::find(records_.begin(), records_.end(), &record) != records_.end();
}

void ComputationRegister::enter(const language::NetworkRecord* record) {
    records_.push_back(record);
    emit busyChanged(true);
}

void ComputationRegister::leave(const language::NetworkRecord* record) {
    const auto it = std::find(records_.begin(), records_.end(), record);
    if (it != records_.end()) {
        records_.erase(it);
    }
    emit busyChanged(anyBusy());
    // Deferred: the computation's caller still runs on the stack and may touch the record.
    QTimer::singleShot(0, this, &ComputationRegister::computationEnded);
}

ComputationGuard::ComputationGuard(const language::NetworkRecord& record) : record_(&record) {
    ComputationRegister::instance().enter(record_);
}

ComputationGuard::~ComputationGuard() {
    ComputationRegister::instance().leave(record_);
}

void showContextMenu(std::unique_ptr<QMenu> menu, const QPoint& at) {
    if (!ComputationRegister::instance().anyRunning()) {
        menu->exec(at);
        return;
    }
    QMenu* shown = menu.release();
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->popup(at);
}

} // namespace axolite::gui
