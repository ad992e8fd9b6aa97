// The reference tools: exact values (18001), Runge-Kutta (18000) and input activation (37).
#pragma once

// Registers the three tools with the frame's register of tools.
void registerReferenceTools();
