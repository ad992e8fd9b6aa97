// The description checker.
#include "language/checker.h"

namespace axolite::language {

const char* rowKindText(RowKind kind) {
    return kind == RowKind::Error ? "Ошибка" : "Предупреждение";
}

std::int32_t CheckResult::errors() const {
    std::int32_t n = 0;
    for (const CheckRow& row : rows) {
        n += row.kind == RowKind::Error ? 1 : 0;
    }
    return n;
}

std::int32_t CheckResult::warnings() const {
    std::int32_t n = 0;
    for (const CheckRow& row : rows) {
        n += row.kind == RowKind::Warning ? 1 : 0;
    }
    return n;
}

CheckResult checkDescription(NetworkRecord& record) {
    record.errorCount = 0;
    record.warningCount = 0;
    record.checkOpen = 1;
    CheckResult result;
    return result;
}

} // namespace axolite::language
