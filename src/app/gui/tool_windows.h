// The register of the windows the tools keep open: a result view of a description, a companion
// window shared by every description (the colour legend, the scales window), a tool's dialog
// while it is open. An entry is keyed by a kind (the tool's command identifier, or a number a
// subsystem chooses for a companion) and the description it belongs to (nullptr for a window of
// the whole program). The register forgets a window by itself as soon as it is closed, hidden
// or destroyed, and then tells its description (stateChanged) and the frame (changed), so no
// window keeps a pointer to itself anywhere.
#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

class DescriptionWindow;
class QWidget;

namespace axolite::gui {

class ToolWindows : public QObject {
    Q_OBJECT
public:
    static ToolWindows& instance();

    // Holds window as the one of this kind for this description (replacing an earlier one).
    void hold(int kind, DescriptionWindow* description, QWidget* window);
    // The window of this kind for this description, or nullptr.
    QWidget* find(int kind, const DescriptionWindow* description = nullptr) const;
    // Forgets the window (nothing when it is not held).
    void release(QWidget* window);

signals:
    // A window was forgotten: the commands that wait for it may be enabled again.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        int kind;
        QPointer<DescriptionWindow> description;
        const DescriptionWindow* key; // the description as it was when held (may be gone)
        QPointer<QWidget> window;
        QObject* address; // the window's address, to find it while it is being destroyed
    };
    void forget(const QObject* window);

    std::vector<Entry> entries_;
};

} // namespace axolite::gui
