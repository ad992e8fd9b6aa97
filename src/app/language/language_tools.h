// The tool of the language subsystem that the frame opens by command: the check of a description
// (18003), with its check window.
#pragma once

void registerLanguageTools();
