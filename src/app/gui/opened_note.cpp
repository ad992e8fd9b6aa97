// The line that tells where a description opened from a modal dialog went.
#include "app/gui/opened_note.h"

#include "app/gui/description_window.h"

#include <QDialog>
#include <QEvent>
#include <QMdiArea>

TOpenedNote::TOpenedNote(QDialog* dialog, QWidget* parent) : QLabel(parent), dialog_(dialog) {
    setObjectName(QStringLiteral("openedNote"));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    hide();
    dialog_->installEventFilter(this);
}

void TOpenedNote::opened(DescriptionWindow* window) {
    if (window == nullptr) {
        return;
    }
    window_ = window;
    setText(QStringLiteral("Описание %1 открыто в главном окне; оно появится впереди, когда этот "
                           "диалог будет закрыт.")
                .arg(window->displayName()));
    show();
}

bool TOpenedNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dialog_ && event->type() == QEvent::Hide) {
        bringToFront();
    }
    return QLabel::eventFilter(watched, event);
}

void TOpenedNote::bringToFront() {
    if (!window_) {
        return;
    }
    if (QMdiArea* area = window_->mdiArea()) {
        area->setActiveSubWindow(window_);
    }
    window_->raise();
    QWidget* frame = window_->window();
    frame->raise();
    frame->activateWindow();
}
