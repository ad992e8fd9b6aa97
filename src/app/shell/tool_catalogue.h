// Every tool of the program, registered by its subsystem in the register of tools.
#pragma once

// Registers the tools of every subsystem once (later calls do nothing, so a stand-in a test put in
// stays until it puts the original back).
void registerAllTools();
