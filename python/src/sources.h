// A description given to the module: the path of a file, or its text.
#pragma once

#include "core/language/description_text.h"

#include <optional>
#include <string>

namespace axolite::python {

// The description of a file (path) or of a text (UTF-8 or code page 1251 bytes, read as a file's
// bytes are). Raises axolite.Error "Невозможно прочитать файл ..." for a file that cannot be read.
language::DescriptionText readSource(const std::optional<std::string>& path,
                                     const std::optional<std::string>& text);

} // namespace axolite::python
