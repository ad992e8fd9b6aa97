// The one way the program shows a message box: captioned with the application's title, with the
// icon of the message's kind. Tests switch it to capture mode and read what would have been shown.
#pragma once

#include "core/common/message.h"

#include <QString>

#include <deque>
#include <vector>

class QWidget;

class Notifier {
public:
    static Notifier& instance();

    // Shows the message; for a question asks Yes/No and answers true for Yes.
    bool show(const axolite::Message& message, QWidget* parent = nullptr);
    bool show(axolite::MessageKind kind, const QString& text, QWidget* parent = nullptr);

    // A message box with a caption of its own ("Ошибка печати").
    void showTitled(axolite::MessageKind kind, const QString& caption, const QString& text,
                    QWidget* parent = nullptr);

    // A question with Yes, No and Cancel (closing a changed description: Cancel keeps it open).
    enum class Answer { Yes, No, Cancel };
    Answer askYesNoCancel(const QString& text, QWidget* parent = nullptr);

    // Capture mode: nothing is shown; messages are kept, questions take the queued answers
    // (No when the queue is empty).
    void setCapturing(bool capturing);
    bool capturing() const { return capturing_; }
    void queueAnswer(bool yes) { answers_.push_back(yes); }
    // Answers for askYesNoCancel in capture mode (Cancel when the queue is empty: nothing lost).
    void queueChoice(Answer answer) { choices_.push_back(answer); }
    const std::vector<axolite::Message>& captured() const { return captured_; }
    void clearCaptured() { captured_.clear(); }

    static QString title() { return QStringLiteral("Axolite"); }

private:
    bool capturing_ = false;
    std::deque<bool> answers_;
    std::deque<Answer> choices_;
    std::vector<axolite::Message> captured_;
};
