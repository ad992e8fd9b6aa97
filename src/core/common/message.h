// Messages that the engine hands to whoever shows them, and the one exception type that carries
// a message out of a computation. The engine never shows anything itself.
#pragma once

#include <stdexcept>
#include <string>

namespace axolite {

// The icon of a message box; the kind of a message decides it.
enum class MessageKind { Information, Error, Warning, Question };

// A message text (UTF-8) with the icon it is shown with.
struct Message {
    MessageKind kind = MessageKind::Information;
    std::string text;

    bool operator==(const Message&) const = default;
};

// "information", "error", "warning" or "question": the names used in machine-readable output.
const char* messageKindName(MessageKind kind);

// A failure that the user must see: carries the exact text and its icon. The command that started
// the work catches it once and shows it.
class AxoliteError : public std::runtime_error {
public:
    AxoliteError(MessageKind kind, const std::string& text)
        : std::runtime_error(text), message_{kind, text} {}

    const Message& message() const { return message_; }
    MessageKind kind() const { return message_.kind; }
    const std::string& text() const { return message_.text; }

private:
    Message message_;
};

} // namespace axolite
