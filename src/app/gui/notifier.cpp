// Message boxes captioned with the application's title.
#include "gui/notifier.h"

#include <QMessageBox>

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
    const QMessageBox::Icon icon = kind == axolite::MessageKind::Information
                                       ? QMessageBox::Information
                                   : kind == axolite::MessageKind::Warning ? QMessageBox::Warning
                                                                           : QMessageBox::Critical;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void Notifier::setCapturing(bool capturing) {
    capturing_ = capturing;
    if (!capturing) {
        answers_.clear();
        choices_.clear();
    }
}
