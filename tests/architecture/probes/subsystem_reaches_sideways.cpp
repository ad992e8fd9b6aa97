// Must not compile: a tool of the desktop program does not see another subsystem's tools.
#include "app/training/teach_network.h"
