// Compiles: a tool sees the shared floor of the desktop program and the engine below it (the
// probes that must fail are set up the same way, so they fail for the include alone).
#include "app/gui/description_window.h"
#include "core/views/series.h"
