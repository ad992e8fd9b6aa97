// Must not compile: the language subsystem of the engine does not see the views above it.
#include "core/views/series.h"
