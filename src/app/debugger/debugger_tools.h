// The debugger's command, registered in the register of tools.
#pragma once

void registerDebuggerTools();
