// The frame client: the MDI area that holds the description windows, the table of 21 window
// slots with its counter, the folder settings of the run, and the companion windows shared by
// all descriptions. Files dropped on it are opened.
#pragma once

#include "core/platform/folder_settings.h"

#include <QMdiArea>
#include <QPointer>

#include <array>

class TAxoliteMDIChild;

class TAxoliteMDIClient : public QMdiArea {
    Q_OBJECT
public:
    static constexpr int kSlotCount = 21;

    explicit TAxoliteMDIClient(QWidget* parent = nullptr);

    // Advances the slot counter (1, 2, ..., 20, 0, 1, ...) and answers the new slot.
    int nextSlot();
    int slotCounter() const { return slotCounter_; }
    // Puts a window in its slot; the slot then names this window.
    void storeInSlot(TAxoliteMDIChild* child);
    TAxoliteMDIChild* windowInSlot(int slot) const;

    TAxoliteMDIChild* activeChild() const;
    QList<TAxoliteMDIChild*> children() const;

    axolite::platform::FolderSettings& folders() { return folders_; }
    const axolite::platform::FolderSettings& folders() const { return folders_; }

    // The colour legend and the scales window (each open at most once), and whether the
    // layered-network tool is open (its command is then disabled).
    QPointer<QWidget> colourLegend;
    QPointer<QWidget> scalesWindow;
    bool teachNetworkOpen = false;

signals:
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::array<QPointer<TAxoliteMDIChild>, kSlotCount> slots_{};
    int slotCounter_ = 0;
    axolite::platform::FolderSettings folders_;
};
