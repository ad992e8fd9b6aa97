// The frame client.
#include "app/shell/mdi_client.h"

#include "app/editor/edit_file.h"
#include "app/shell/mdi_child.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

TAxoliteMDIClient::TAxoliteMDIClient(QWidget* parent) : QMdiArea(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

int TAxoliteMDIClient::nextSlot() {
    slotCounter_ = slotCounter_ >= kSlotCount - 1 ? 0 : slotCounter_ + 1;
    return slotCounter_;
}

void TAxoliteMDIClient::storeInSlot(TAxoliteMDIChild* child) {
    const int slot = child->slot();
    if (slot >= 0 && slot < kSlotCount) {
        slots_[static_cast<std::size_t>(slot)] = child;
    }
}

TAxoliteMDIChild* TAxoliteMDIClient::windowInSlot(int slot) const {
    if (slot < 0 || slot >= kSlotCount) {
        return nullptr;
    }
    return slots_[static_cast<std::size_t>(slot)].data();
}

TAxoliteMDIChild* TAxoliteMDIClient::activeChild() const {
    return qobject_cast<TAxoliteMDIChild*>(activeSubWindow());
}

QList<TAxoliteMDIChild*> TAxoliteMDIClient::children() const {
    QList<TAxoliteMDIChild*> result;
    for (QMdiSubWindow* window : subWindowList()) {
        if (auto* child = qobject_cast<TAxoliteMDIChild*>(window)) {
            result.append(child);
        }
    }
    return result;
}

void TAxoliteMDIClient::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TAxoliteMDIClient::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TAxoliteMDIClient::dropEvent(QDropEvent* event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (!files.isEmpty()) {
        event->acceptProposedAction();
        emit filesDropped(files);
    }
}
