// Find and replace.
#include "app/shell/find_replace.h"

#include "app/editor/edit_file.h"
#include "app/gui/notifier.h"
#include "app/shell/mdi_child.h"

TFindReplace::TFindReplace(QWidget* frame, std::function<TAxoliteMDIChild*()> active)
    : QObject(frame), frame_(frame), active_(std::move(active)) {}

TFindReplace::~TFindReplace() {
    if (dialog_) {
        delete dialog_;
    }
}

void TFindReplace::show(bool replace) {
    TAxoliteMDIChild* child = active_();
    if (child == nullptr) {
        return;
    }
    if (!dialog_) {
        dialog_ = new TFindDialog(frame_);
        connect(dialog_, &TFindDialog::findNext, this, [this] {
            lastFind_ = dialog_->request();
            findNext();
        });
        connect(dialog_, &TFindDialog::replace, this, &TFindReplace::replaceNext);
        connect(dialog_, &TFindDialog::replaceAll, this, &TFindReplace::replaceAll);
    }
    const QString selected = child->editor()->selectedText();
    dialog_->showFor(replace, selected.contains(QLatin1Char('\n')) ? QString() : selected);
}

void TFindReplace::closeDialog() {
    if (dialog_) {
        dialog_->close();
    }
}

void TFindReplace::notFound() {
    Notifier::instance().show(axolite::MessageKind::Information,
                              QStringLiteral("Строка \"%1\" не найдена.").arg(lastFind_.text),
                              frame_);
}

void TFindReplace::findNext() {
    TAxoliteMDIChild* child = active_();
    if (child == nullptr || lastFind_.text.isEmpty()) {
        return;
    }
    if (!child->editor()->find(lastFind_.text, lastFind_.flags)) {
        notFound();
    }
    emit changed();
}

void TFindReplace::replaceNext() {
    TAxoliteMDIChild* child = active_();
    lastFind_ = dialog_->request();
    if (child == nullptr || lastFind_.text.isEmpty()) {
        return;
    }
    if (!child->editor()->replaceAndFind(lastFind_.text, lastFind_.replacement, lastFind_.flags)) {
        notFound();
    }
}

void TFindReplace::replaceAll() {
    TAxoliteMDIChild* child = active_();
    lastFind_ = dialog_->request();
    if (child == nullptr || lastFind_.text.isEmpty()) {
        return;
    }
    if (child->editor()->replaceAll(lastFind_.text, lastFind_.replacement, lastFind_.flags) == 0) {
        notFound();
    }
}
