// The whole number a typed text begins with, as the C library's atoi reads it: the fields of
// the dialogs that count things (codes, neurons, patterns) are read this way.
#pragma once

#include <QString>

namespace axolite::gui {

// Blanks, a sign, digits; 0 when the text begins with none. Clamped to ±10^12 instead of
// overflowing.
long long leadingNumber(const QString& text);

} // namespace axolite::gui
