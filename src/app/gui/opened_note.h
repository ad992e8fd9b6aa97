// A description that a modal dialog opens goes into the main window, where the dialog hides it
// until it closes. The dialog says so in a line of its own, and when the dialog closes the new
// window comes to the front, active in the main window.
#pragma once

#include "app/gui/description_window.h"

#include <QLabel>
#include <QPointer>

class QDialog;

class TOpenedNote : public QLabel {
    Q_OBJECT
public:
    // Hidden until a description is opened; watches the dialog for its closing.
    explicit TOpenedNote(QDialog* dialog, QWidget* parent);

    // The description window just opened (nullptr: nothing opened, the line stays as it was).
    void opened(DescriptionWindow* window);
    DescriptionWindow* openedWindow() const { return window_.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bringToFront();

    QDialog* dialog_;
    QPointer<DescriptionWindow> window_;
};
