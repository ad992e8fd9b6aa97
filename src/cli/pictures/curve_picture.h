// The training curve of the train command as a picture file.
#pragma once

#include "cli/pictures.h"

namespace axolite::cli {

// Writes the curve into the PNG or SVG file; the failure, if any.
std::optional<platform::FileWriteFailure> drawCurve(const std::string& path,
                                                    const CurvePicture& picture);

} // namespace axolite::cli
