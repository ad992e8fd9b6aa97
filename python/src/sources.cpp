// A description given to the module.
#include "sources.h"

#include "errors.h"

#include "cli/check_report.h"
#include "cli/input_streams.h"

namespace axolite::python {

language::DescriptionText readSource(const std::optional<std::string>& path,
                                     const std::optional<std::string>& text) {
    if (text) {
        return language::decodeDescription(*text);
    }
    auto read = cli::readDescriptionInput(path.value_or(""));
    if (!read) {
        raiseError(cli::unreadableFileText(path.value_or("")), "error", std::nullopt);
    }
    return std::move(*read);
}

} // namespace axolite::python
