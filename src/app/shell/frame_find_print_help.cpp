// The frame's find and replace, printing, and the help cursor.
#include "app/shell/axolite_app.h"

#include "app/editor/edit_file.h"
#include "app/gui/command_ids.h"
#include "app/gui/help_window.h"
#include "app/gui/notifier.h"
#include "app/shell/mdi_child.h"
#include "app/shell/printing.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

using namespace axolite::shell;
using namespace axolite::gui;

void TAxoliteApp::showFind(bool replace) {
    TAxoliteMDIChild* child = activeChild();
    if (child == nullptr) {
        return;
    }
    if (!findDialog_) {
        findDialog_ = new TFindDialog(this);
        connect(findDialog_, &TFindDialog::findNext, this, [this] {
            lastFind_ = findDialog_->request();
            findNext();
        });
        connect(findDialog_, &TFindDialog::replace, this, &TAxoliteApp::replaceNext);
        connect(findDialog_, &TFindDialog::replaceAll, this, &TAxoliteApp::replaceAll);
    }
    const QString selected = child->editor()->selectedText();
    findDialog_->showFor(replace, selected.contains(QLatin1Char('\n')) ? QString() : selected);
}

void TAxoliteApp::findNext() {
    TAxoliteMDIChild* child = activeChild();
    if (child == nullptr || lastFind_.text.isEmpty()) {
        return;
    }
    if (!child->editor()->find(lastFind_.text, lastFind_.flags)) {
        Notifier::instance().show(axolite::MessageKind::Information,
                                  QStringLiteral("Строка \"%1\" не найдена.").arg(lastFind_.text),
                                  this);
    }
    updateCommands();
}

void TAxoliteApp::replaceNext() {
    TAxoliteMDIChild* child = activeChild();
    lastFind_ = findDialog_->request();
    if (child == nullptr || lastFind_.text.isEmpty()) {
        return;
    }
    if (!child->editor()->replaceAndFind(lastFind_.text, lastFind_.replacement, lastFind_.flags)) {
        Notifier::instance().show(axolite::MessageKind::Information,
                                  QStringLiteral("Строка \"%1\" не найдена.").arg(lastFind_.text),
                                  this);
    }
}

void TAxoliteApp::replaceAll() {
    TAxoliteMDIChild* child = activeChild();
    lastFind_ = findDialog_->request();
    if (child == nullptr || lastFind_.text.isEmpty()) {
        return;
    }
    if (child->editor()->replaceAll(lastFind_.text, lastFind_.replacement, lastFind_.flags) == 0) {
        Notifier::instance().show(axolite::MessageKind::Information,
                                  QStringLiteral("Строка \"%1\" не найдена.").arg(lastFind_.text),
                                  this);
    }
}

QPrinter& TAxoliteApp::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void TAxoliteApp::printActive(int id) {
    if (id == CmPrintSetup) {
        // The platform's print dialog: the printer and its settings, kept for the next print.
        QPrintDialog dialog(&printer(), this);
        dialog.setWindowTitle(QStringLiteral("Параметры печати"));
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
                ok->setText(QStringLiteral("OK"));
            }
        }
        dialog.exec();
        return;
    }
    TAxoliteMDIChild* child = activeChild();
    if (child == nullptr) {
        return;
    }
    const DescriptionPrintout printout(child->displayName(), child->editor()->rawText());
    if (id == CmPrintPreview && !showPrintPreview(printout, printer(), this)) {
        return;
    }
    QPrintDialog dialog(&printer(), this);
    if (dialog.exec() == QDialog::Accepted) {
        printWithAbortDialog(printout, printer(), this);
    }
}

void TAxoliteApp::startHelpCursor() {
    if (helpCursor_) {
        return;
    }
    helpCursor_ = true;
    updateCommands();
    QApplication::setOverrideCursor(QCursor(Qt::WhatsThisCursor));
    qApp->installEventFilter(this);
}

void TAxoliteApp::stopHelpCursor() {
    if (!helpCursor_) {
        return;
    }
    helpCursor_ = false;
    QApplication::restoreOverrideCursor();
    qApp->removeEventFilter(this);
    updateCommands();
}

bool TAxoliteApp::eventFilter(QObject* watched, QEvent* event) {
    if (helpCursor_ && event->type() == QEvent::ShortcutOverride) {
        // A command's key chooses the command, which shows its topic, also where the editor
        // would answer the key itself (Ctrl+Z, Ctrl+X, Ctrl+C, Ctrl+V).
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (helpCursor_ && key->key() == Qt::Key_Escape) {
            stopHelpCursor();
            return true;
        }
        // F1 on a highlighted menu item opens that command's topic.
        if (auto* menu = qobject_cast<QMenu*>(watched);
            menu != nullptr && key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            const QAction* active = menu->activeAction();
            bool isCommand = false;
            const int id = active ? active->objectName().toInt(&isCommand) : 0;
            QWidget* top = menu;
            while (auto* parentMenu = qobject_cast<QMenu*>(top->parentWidget())) {
                top = parentMenu;
            }
            menu->close();
            openHelp(isCommand ? id : 0);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
