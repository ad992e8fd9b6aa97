// Must not compile: a tool does not see the frame; it reaches it through ToolHost only.
#include "app/shell/axolite_app.h"
