// The register of open tool windows.
#include "app/gui/tool_windows.h"

#include "app/gui/description_window.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace axolite::gui {

ToolWindows& ToolWindows::instance() {
    static ToolWindows* const windows = new ToolWindows;
    return *windows;
}

void ToolWindows::hold(int kind, DescriptionWindow* description, QWidget* window) {
    if (QWidget* earlier = find(kind, description)) {
        release(earlier);
    }
    entries_.push_back({kind, description, description, window, window});
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { forget(gone); });
}

QWidget* ToolWindows::find(int kind, const DescriptionWindow* description) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        // A description that closed has no windows left, whatever takes its address next.
        return entry.kind == kind && entry.key == description && entry.window &&
               (entry.key == nullptr || entry.description);
    });
    return it == entries_.end() ? nullptr : it->window.data();
}

void ToolWindows::release(QWidget* window) {
    forget(window);
}

bool ToolWindows::eventFilter(QObject* watched, QEvent* event) {
    // A window closed (or hidden by the program) is no longer open for the user: a minimised
    // one (a hide sent by the window system) still is.
    if (event->type() == QEvent::Hide && !event->spontaneous()) {
        forget(watched);
    }
    return QObject::eventFilter(watched, event);
}

void ToolWindows::forget(const QObject* window) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [window](const Entry& entry) { return entry.address == window; });
    if (it == entries_.end()) {
        return;
    }
    const QPointer<DescriptionWindow> description = it->description;
    if (QWidget* held = it->window.data()) {
        held->removeEventFilter(this);
        disconnect(held, &QObject::destroyed, this, nullptr);
    }
    entries_.erase(it);
    if (description) {
        emit description->stateChanged();
    }
    emit changed();
}

} // namespace axolite::gui
