// The help cursor and F1 in the menus.
#include "app/shell/help_cursor.h"

#include "app/gui/help_window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

THelpCursor::~THelpCursor() {
    if (active_) {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }
}

void THelpCursor::start() {
    if (active_) {
        return;
    }
    active_ = true;
    emit changed();
    QApplication::setOverrideCursor(QCursor(Qt::WhatsThisCursor));
    qApp->installEventFilter(this);
}

void THelpCursor::stop() {
    if (!active_) {
        return;
    }
    active_ = false;
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    emit changed();
}

void THelpCursor::watchMenu(QMenu* menu) {
    menu->installEventFilter(this);
}

bool THelpCursor::eventFilter(QObject* watched, QEvent* event) {
    if (active_ && event->type() == QEvent::ShortcutOverride) {
        // A command's key chooses the command, which shows its topic, also where the editor
        // would answer the key itself (Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V).
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (active_ && key->key() == Qt::Key_Escape) {
            stop();
            return true;
        }
        // F1 on a highlighted menu item opens that command's topic.
        if (auto* menu = qobject_cast<QMenu*>(watched);
            menu != nullptr && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            const QAction* highlighted = menu->activeAction();
            bool isCommand = false;
            const int id = highlighted ? highlighted->objectName().toInt(&isCommand) : 0;
            menu->close();
            openHelp(isCommand ? id : 0);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
