// Every tool of the program, registered with the frame by its command identifier.
#pragma once

// Registers the tools of every subsystem (called by the frame; again is harmless).
void registerAllTools();
