// Pattern files (.ptn): blank-separated numbers with no header and no line structure. The writer
// used by every tool that produces patterns, and the reader of the training command.
#pragma once

#include "core/common/message.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace axolite::training {

// Each value formatted with "%g " (the value, then one blank), no line break anywhere.
std::string formatPatternValues(const std::vector<double>& values);

// Writes formatPatternValues(values) through a temporary file that replaces the file only when
// everything was written, so a failure leaves an existing file as it was. Throws
// platform::FileWriteError (an AxoliteError with the error icon) naming the step that failed:
// "Невозможно создать файл " + path, "Ошибка при записи файла " + path or
// "Невозможно заменить файл " + path.
void writePatternFile(const std::string& path, const std::vector<double>& values);

// Which of the two files of a training run is read: it decides the texts of the messages.
enum class PatternRole { Input, Target };

// P rows of N single-precision values, row-major.
struct PatternTable {
    int patterns = 0;
    int width = 0;
    std::vector<float> values;

    float at(int p, int j) const {
        return values[static_cast<std::size_t>(p) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(j)];
    }
    const float* row(int p) const {
        return values.data() + static_cast<std::size_t>(p) * static_cast<std::size_t>(width);
    }
};

// The table read, and the exclamation warning when the file held fewer than P × N numbers.
struct PatternReadResult {
    PatternTable table;
    std::optional<Message> warning;
};

// Reads the first patterns × width numbers of the file into a table. Positions that the file does
// not provide stay 0.0 and produce the warning. A field that is not a number ends the reading as
// the end of the file would (with the warning). Throws AxoliteError(Information, ...) for an
// empty name, or a file that cannot be opened or is no regular file (a folder, a device, a FIFO).
// Fields of more than 4096 characters count as text that is not a number.
PatternReadResult readPatternFile(const std::string& path, int patterns, int width,
                                  PatternRole role);

// Reads from text already in memory (the same rules; used by the reader and by the fuzz target).
PatternReadResult readPatternText(const std::string& text, int patterns, int width,
                                  PatternRole role);

// The text of a pattern stream (a pipe, standard input) that the reader would use for up to
// `values` numbers, read once: its fields, one blank after each, up to the `values`-th field or the
// first field longer than the reader takes (kept long enough to end the reading there). Memory
// stays bounded however long the stream; readPatternText on the result reads what the reader
// would read from the stream itself.
std::string acceptedPatternText(std::istream& in, std::size_t values);

// The messages of the reader.
std::string patternFileUndefinedText(PatternRole role);
std::string patternFileMissingText(const std::string& path);
std::string patternsMissingText(PatternRole role);

} // namespace axolite::training
