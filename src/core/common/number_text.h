// Numbers as text independent of the locale: the shortest text that reads back as the same double
// (0.05, not 0.050000000000000003); "inf", "-inf" and "nan" for the others.
#pragma once

#include <string>

namespace axolite {

std::string shortestNumberText(double value);

// Appends the shortest text of the value.
void appendShortestNumberText(double value, std::string& out);

} // namespace axolite
