// Names of the message kinds.
#include "core/common/message.h"

namespace axolite {

const char* messageKindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return "information";
    case MessageKind::Error:
        return "error";
    case MessageKind::Warning:
        return "warning";
    case MessageKind::Question:
        return "question";
    }
    return "information";
}

} // namespace axolite
