// Message boxes captioned with the application's title.
#include "app/gui/notifier.h"

#include "app/gui/computation_guard.h"

#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(axolite::MessageKind kind) {
    switch (kind) {
    case axolite::MessageKind::Information:
    case axolite::MessageKind::Question:
        return QMessageBox::Information;
    case axolite::MessageKind::Warning:
        return QMessageBox::Warning;
    case axolite::MessageKind::Error:
        break;
    }
    return QMessageBox::Critical;
}

// A message while a computation runs: the computation processes events on this thread, and a
// box run in a loop of its own would hold it (and its "Прервать") until the box was closed.
// The box is shown and left; it stays until the user closes it, so nothing is lost. It belongs
// to the window of the widget that asked (a description window that could not be read is gone
// a moment later, its frame stays).
void showWithoutHolding(axolite::MessageKind kind, const QString& caption, const QString& text,
                        QWidget* parent) {
    auto* box = new QMessageBox(iconOf(kind), caption, text, QMessageBox::Ok,
                                parent != nullptr ? parent->window() : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace

Notifier& Notifier::instance() {
    static Notifier notifier;
    return notifier;
}

bool Notifier::show(axolite::MessageKind kind, const QString& text, QWidget* parent) {
    return show(axolite::Message{kind, text.toStdString()}, parent);
}

bool Notifier::show(const axolite::Message& message, QWidget* parent) {
    if (capturing_) {
        captured_.push_back(message);
        if (message.kind != axolite::MessageKind::Question) {
            return true;
        }
        const bool yes = !answers_.empty() && answers_.front();
        if (!answers_.empty()) {
            answers_.pop_front();
        }
        return yes;
    }
    const QString text = QString::fromStdString(message.text);
    if (message.kind != axolite::MessageKind::Question &&
        axolite::gui::ComputationRegister::instance().anyRunning()) {
        showWithoutHolding(message.kind, title(), text, parent);
        return true;
    }
    switch (message.kind) {
    case axolite::MessageKind::Information:
        QMessageBox::information(parent, title(), text);
        return true;
    case axolite::MessageKind::Error:
        QMessageBox::critical(parent, title(), text);
        return true;
    case axolite::MessageKind::Warning:
        QMessageBox::warning(parent, title(), text);
        return true;
    case axolite::MessageKind::Question: {
        // The system's Yes/No decisions carry the information icon.
        QMessageBox box(QMessageBox::Information, title(), text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        return box.exec() == QMessageBox::Yes;
    }
    }
    return true;
}

Notifier::Answer Notifier::askYesNoCancel(const QString& text, QWidget* parent) {
    if (capturing_) {
        captured_.push_back(axolite::Message{axolite::MessageKind::Question, text.toStdString()});
        if (choices_.empty()) {
            return Answer::Cancel;
        }
        const Answer answer = choices_.front();
        choices_.pop_front();
        return answer;
    }
    const auto button = QMessageBox::question(
        parent, title(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    if (button == QMessageBox::Yes) {
        return Answer::Yes;
    }
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void Notifier::showTitled(axolite::MessageKind kind, const QString& caption, const QString& text,
                          QWidget* parent) {
    if (capturing_) {
        captured_.push_back(axolite::Message{kind, text.toStdString()});
        return;
    }
    if (axolite::gui::ComputationRegister::instance().anyRunning()) {
        showWithoutHolding(kind, caption, text, parent);
        return;
    }
    QMessageBox box(iconOf(kind), caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void Notifier::setCapturing(bool capturing) {
    capturing_ = capturing;
    if (!capturing) {
        answers_.clear();
        choices_.clear();
    }
}
